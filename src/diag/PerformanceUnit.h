#pragma once
// Adds up how often and for how long named steps run. Steps nest: a step started while another is open
// is its child, so measurements form a tree keyed by the path of labels ("A.B").

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/Text.h"
#include "diag/PerformanceCounter.h"

namespace tarnwick {

// A label that lives as long as the program (a constant of the measuring code): the registry finds the
// measurement of a repeated step by the label's identity, without comparing its text.
struct TMeasurementLabel {
    std::u16string_view Text;
};

class TMeasurement {
public:
    TMeasurement(IPerformanceCounter& counter, TMeasurement* AParent, std::u16string_view AMeasurementLabel);

    std::int32_t CallCount() const noexcept { return FCallCount; }
    std::int64_t TotalTime() const noexcept { return FTotalTime; }
    std::int64_t LastStartTime() const noexcept { return FLastStartTime; }
    bool InAction() const noexcept { return FInAction; }
    double TotalTimeSecs() const;
    TMeasurement* ParentMeasurement() const noexcept { return FParentMeasurement; }
    const std::u16string& MeasurementLabel() const noexcept { return FMeasurementLabel; }
    const std::u16string& Path() const noexcept { return FPath; }

    void StartMeasure();
    void EndMeasure();
    // The same with the counter value already read, so that one reading serves a step boundary.
    void StartMeasure(std::int64_t now);
    void EndMeasure(std::int64_t now);

private:
    friend class TPerformanceRackman;

    IPerformanceCounter& FCounter;
    std::int32_t FCallCount = 0;
    std::int64_t FTotalTime = 0;
    std::int64_t FLastStartTime = 0;
    TMeasurement* FParentMeasurement;
    bool FInAction = false;
    std::u16string FMeasurementLabel;
    std::u16string FPath;
    // Labels already started under this measurement, exactly as given, so that a repeated step finds
    // its measurement without building its path.
    std::vector<std::pair<std::u16string, TMeasurement*>> FChildByLabel;
    // The same for constant labels, by identity.
    std::vector<std::pair<const TMeasurementLabel*, TMeasurement*>> FChildBySlot;
    // The constant label this measurement was first started with, if any.
    const TMeasurementLabel* FSlot = nullptr;
    // The step that last followed this one through SwitchTime: steps of a loop follow each other in the
    // same order, so the next one is found without a search.
    const TMeasurementLabel* FNextSlot = nullptr;
    TMeasurement* FNext = nullptr;
};

class TPerformanceRackman {
public:
    TPerformanceRackman();
    // The registry reads the given counter, which must outlive it.
    explicit TPerformanceRackman(IPerformanceCounter& counter);
    ~TPerformanceRackman();
    TPerformanceRackman(const TPerformanceRackman&) = delete;
    TPerformanceRackman& operator=(const TPerformanceRackman&) = delete;

    void StartTime(std::u16string_view MeasurementLabel);
    void EndTime(std::u16string_view MeasurementLabel);
    // The same for constant labels; they behave exactly like their texts.
    void StartTime(const TMeasurementLabel& MeasurementLabel);
    void EndTime(const TMeasurementLabel& MeasurementLabel);
    // Ends the open step and starts the next one beside it with one counter reading; none when the next
    // step is the same one again.
    void SwitchTime(const TMeasurementLabel& Ending, const TMeasurementLabel& Starting);
    void Clear();
    bool HasMeasurements() const noexcept { return !FMeasurements.empty(); }
    std::u16string GetMeasurementsAsText() const;

    // Measurements in order of creation, and the innermost open one.
    const std::vector<std::unique_ptr<TMeasurement>>& Measurements() const noexcept { return FMeasurements; }
    TMeasurement* LastMeasurement() const noexcept { return FLastMeasurement; }
    TMeasurement* FindMeasurement(std::u16string_view path) const;

private:
    TMeasurement& FindOrCreate(std::u16string_view label);
    TMeasurement& FindOrCreate(const TMeasurementLabel& label);
    // False for another thread's call; raises when no step is open or the label is not the open one's.
    bool CheckEnd(std::u16string_view label, const TMeasurementLabel* slot);
    // Whether this thread's measurements count: only the first thread that starts one is measured.
    bool OnMeasuredThread();
    // Starts the measurement and makes it the open one.
    void Open(TMeasurement& Measurement);
    std::u16string MeasurementToText(const TMeasurement& measurement, const std::u16string& indent) const;

    std::unique_ptr<IPerformanceCounter> FOwnCounter;
    IPerformanceCounter& FCounter;
    // FMeasurementLabels: the measurements in creation order, indexed by path ignoring case.
    std::vector<std::unique_ptr<TMeasurement>> FMeasurements;
    std::unordered_map<std::u16string, TMeasurement*, AsciiCaseInsensitiveHash, AsciiCaseInsensitiveEqual>
        FMeasurementLabels;
    std::vector<std::pair<std::u16string, TMeasurement*>> FTopLevelByLabel;
    std::vector<std::pair<const TMeasurementLabel*, TMeasurement*>> FTopLevelBySlot;
    TMeasurement* FLastMeasurement = nullptr;
    std::uint32_t FAllowedThreadId = 0;
};

// Brackets one step: StartTime on construction, EndTime on leaving the scope, also by an exception.
// Next closes the step and opens the one that follows it, reading the counter once for both.
class TMeasurementScope {
public:
    TMeasurementScope(TPerformanceRackman& rackman, const TMeasurementLabel& label)
        : FRackman(rackman), FLabel(&label) {
        FRackman.StartTime(label);
    }
    ~TMeasurementScope();
    TMeasurementScope(const TMeasurementScope&) = delete;
    TMeasurementScope& operator=(const TMeasurementScope&) = delete;

    void Next(const TMeasurementLabel& label) {
        FRackman.SwitchTime(*FLabel, label);
        FLabel = &label;
    }

private:
    TPerformanceRackman& FRackman;
    const TMeasurementLabel* FLabel;
};

} // namespace tarnwick
