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
    void Clear();
    bool HasMeasurements() const noexcept { return !FMeasurements.empty(); }
    std::u16string GetMeasurementsAsText() const;

    // Measurements in order of creation, and the innermost open one.
    const std::vector<std::unique_ptr<TMeasurement>>& Measurements() const noexcept { return FMeasurements; }
    TMeasurement* LastMeasurement() const noexcept { return FLastMeasurement; }
    TMeasurement* FindMeasurement(std::u16string_view path) const;

private:
    TMeasurement& FindOrCreate(std::u16string_view label);
    std::u16string MeasurementToText(const TMeasurement& measurement, const std::u16string& indent) const;

    std::unique_ptr<IPerformanceCounter> FOwnCounter;
    IPerformanceCounter& FCounter;
    // FMeasurementLabels: the measurements in creation order, indexed by path ignoring case.
    std::vector<std::unique_ptr<TMeasurement>> FMeasurements;
    std::unordered_map<std::u16string, TMeasurement*, AsciiCaseInsensitiveHash, AsciiCaseInsensitiveEqual>
        FMeasurementLabels;
    std::vector<std::pair<std::u16string, TMeasurement*>> FTopLevelByLabel;
    TMeasurement* FLastMeasurement = nullptr;
    std::uint32_t FAllowedThreadId = 0;
};

// Brackets one step: StartTime on construction, EndTime on leaving the scope, also by an exception.
class TMeasurementScope {
public:
    TMeasurementScope(TPerformanceRackman& rackman, std::u16string_view label)
        : FRackman(rackman), FLabel(label) {
        FRackman.StartTime(FLabel);
    }
    ~TMeasurementScope();
    TMeasurementScope(const TMeasurementScope&) = delete;
    TMeasurementScope& operator=(const TMeasurementScope&) = delete;

private:
    TPerformanceRackman& FRackman;
    std::u16string_view FLabel;
};

} // namespace tarnwick
