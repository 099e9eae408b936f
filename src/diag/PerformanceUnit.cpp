#include "diag/PerformanceUnit.h"

#include <algorithm>

#include "core/Errors.h"

namespace tarnwick {

TMeasurement::TMeasurement(IPerformanceCounter& counter, TMeasurement* AParent,
                           std::u16string_view AMeasurementLabel)
    : FCounter(counter), FParentMeasurement(AParent), FMeasurementLabel(AMeasurementLabel) {
    FPath = AParent ? AParent->FPath + u"." + FMeasurementLabel : FMeasurementLabel;
}

double TMeasurement::TotalTimeSecs() const {
    return static_cast<double>(FTotalTime) / static_cast<double>(FCounter.QueryPerformanceFrequency());
}

void TMeasurement::StartMeasure() {
    StartMeasure(FCounter.QueryPerformanceCounter());
}

void TMeasurement::StartMeasure(std::int64_t now) {
    FLastStartTime = now;
    FInAction = true;
}

void TMeasurement::EndMeasure() {
    if (FLastStartTime == 0) {
        throw EGeneralError(u"StartMeasure should be called before EndMeasure!");
    }
    EndMeasure(FCounter.QueryPerformanceCounter());
}

void TMeasurement::EndMeasure(std::int64_t now) {
    if (FLastStartTime == 0) {
        throw EGeneralError(u"StartMeasure should be called before EndMeasure!");
    }
    ++FCallCount;
    FTotalTime += now - FLastStartTime;
    FLastStartTime = 0;
    FInAction = false;
}

TPerformanceRackman::TPerformanceRackman()
    : FOwnCounter(std::make_unique<TSteadyPerformanceCounter>()), FCounter(*FOwnCounter) {}

TPerformanceRackman::TPerformanceRackman(IPerformanceCounter& counter) : FCounter(counter) {}

TPerformanceRackman::~TPerformanceRackman() {
    Clear();
}

void TPerformanceRackman::Clear() {
    FLastMeasurement = nullptr;
    FTopLevelByLabel.clear();
    FTopLevelBySlot.clear();
    FMeasurementLabels.clear();
    FMeasurements.clear();
}

TMeasurement* TPerformanceRackman::FindMeasurement(std::u16string_view path) const {
    const auto found = FMeasurementLabels.find(std::u16string(path));
    return found == FMeasurementLabels.end() ? nullptr : found->second;
}

TMeasurement& TPerformanceRackman::FindOrCreate(std::u16string_view label) {
    auto& byLabel = FLastMeasurement ? FLastMeasurement->FChildByLabel : FTopLevelByLabel;
    for (const auto& [knownLabel, measurement] : byLabel) {
        if (knownLabel.size() == label.size() && knownLabel == label) {
            return *measurement;
        }
    }
    // First time this label is started under the open step: look its path up, ignoring case.
    std::u16string path = FLastMeasurement ? FLastMeasurement->Path() + u"." : std::u16string();
    path += label;
    TMeasurement* measurement = nullptr;
    if (const auto found = FMeasurementLabels.find(path); found != FMeasurementLabels.end()) {
        measurement = found->second;
    } else {
        FMeasurements.push_back(std::make_unique<TMeasurement>(FCounter, FLastMeasurement, label));
        measurement = FMeasurements.back().get();
        FMeasurementLabels.emplace(std::move(path), measurement);
    }
    byLabel.emplace_back(std::u16string(label), measurement);
    return *measurement;
}

TMeasurement& TPerformanceRackman::FindOrCreate(const TMeasurementLabel& label) {
    auto& bySlot = FLastMeasurement ? FLastMeasurement->FChildBySlot : FTopLevelBySlot;
    for (const auto& [slot, measurement] : bySlot) {
        if (slot == &label) {
            return *measurement;
        }
    }
    TMeasurement& measurement = FindOrCreate(label.Text);
    if (measurement.FSlot == nullptr && measurement.MeasurementLabel() == label.Text) {
        measurement.FSlot = &label;
    }
    bySlot.emplace_back(&label, &measurement);
    return measurement;
}

bool TPerformanceRackman::OnMeasuredThread() {
    const std::uint32_t thread = FCounter.GetCurrentThreadId();
    if (FAllowedThreadId == 0) {
        FAllowedThreadId = thread; // the first thread to start a measurement is the measured one
    }
    return thread == FAllowedThreadId;
}

void TPerformanceRackman::Open(TMeasurement& Measurement) {
    Measurement.StartMeasure();
    FLastMeasurement = &Measurement;
}

void TPerformanceRackman::StartTime(const TMeasurementLabel& MeasurementLabel) {
    if (OnMeasuredThread()) {
        Open(FindOrCreate(MeasurementLabel));
    }
}

void TPerformanceRackman::EndTime(const TMeasurementLabel& MeasurementLabel) {
    if (CheckEnd(MeasurementLabel.Text, &MeasurementLabel)) {
        FLastMeasurement->EndMeasure();
        FLastMeasurement = FLastMeasurement->ParentMeasurement();
    }
}

void TPerformanceRackman::SwitchTime(const TMeasurementLabel& Ending, const TMeasurementLabel& Starting) {
    if (!CheckEnd(Ending.Text, &Ending)) {
        return;
    }
    if (&Starting == &Ending) {
        // The same step again: its pairs join end to start, so their total is the time from the first
        // start to the last end. Count this pair now; the clock is read when the step finally ends.
        ++FLastMeasurement->FCallCount;
        return;
    }
    TMeasurement& ending = *FLastMeasurement;
    const std::int64_t now = FCounter.QueryPerformanceCounter();
    ending.EndMeasure(now);
    FLastMeasurement = ending.ParentMeasurement();
    if (ending.FNextSlot != &Starting) {
        ending.FNext = &FindOrCreate(Starting);
        ending.FNextSlot = &Starting;
    }
    ending.FNext->StartMeasure(now);
    FLastMeasurement = ending.FNext;
}

bool TPerformanceRackman::CheckEnd(std::u16string_view label, const TMeasurementLabel* slot) {
    if (FCounter.GetCurrentThreadId() != FAllowedThreadId) {
        return false;
    }
    if (FLastMeasurement == nullptr) {
        throw EGeneralError(u"Please call PerformanceRackman.StartTime before EndTime");
    }
    // A constant label that opened this measurement is known to carry its text.
    if ((slot == nullptr || slot != FLastMeasurement->FSlot) &&
        label != FLastMeasurement->MeasurementLabel()) {
        throw EGeneralError(
            FormatText(u"PerformanceRackman.EndTime was called with the different MeasurementLabel "
                       u"(%s)  from the previous StartTime (%s). Be sure that you use "
                       u"PerformanceRackman correctly.",
                       {label, std::u16string_view(FLastMeasurement->MeasurementLabel())}));
    }
    return true;
}

void TPerformanceRackman::StartTime(std::u16string_view MeasurementLabel) {
    if (OnMeasuredThread()) {
        Open(FindOrCreate(MeasurementLabel));
    }
}

void TPerformanceRackman::EndTime(std::u16string_view MeasurementLabel) {
    if (CheckEnd(MeasurementLabel, nullptr)) {
        FLastMeasurement->EndMeasure();
        FLastMeasurement = FLastMeasurement->ParentMeasurement();
    }
}

namespace {

std::u16string PadToWidth(std::u16string text, std::size_t width) {
    if (text.size() < width) {
        text.append(width - text.size(), u' ');
    } else if (text.size() > width) {
        text += u' ';
    }
    return text;
}

std::u16string FormatMilliseconds(double seconds) {
    return FormatText(u"%.3f", {seconds * 1000.0});
}

} // namespace

std::u16string TPerformanceRackman::MeasurementToText(const TMeasurement& m,
                                                      const std::u16string& indent) const {
    std::u16string childBlocks;
    std::int64_t childTicks = 0;
    for (const auto& child : FMeasurements) {
        if (child->ParentMeasurement() == &m) {
            childBlocks += MeasurementToText(*child, indent + u"  ");
            childTicks += child->TotalTime();
        }
    }
    // A step still open for the first time has no completed pair: its average shows as 0.
    const double average = m.CallCount() == 0 ? 0.0 : m.TotalTimeSecs() / m.CallCount();
    std::u16string line =
        u"\r\n" + PadToWidth(indent + m.MeasurementLabel(), 40) + PadToWidth(IntToText(m.CallCount()), 12) +
        PadToWidth(FormatMilliseconds(average), 10) + PadToWidth(FormatMilliseconds(m.TotalTimeSecs()), 10);
    if (childTicks != 0 && childTicks < m.TotalTime()) {
        const double outside = static_cast<double>(m.TotalTime() - childTicks) /
                               static_cast<double>(FCounter.QueryPerformanceFrequency());
        line += u" (" + FormatMilliseconds(outside) + u"\?\?\?)";
    }
    return line + childBlocks;
}

std::u16string TPerformanceRackman::GetMeasurementsAsText() const {
    std::u16string text = PadToWidth(u"Label name", 40) + PadToWidth(u"Call count", 12) +
                          PadToWidth(u"Average", 10) + PadToWidth(u"Total", 10);
    for (const auto& measurement : FMeasurements) {
        if (measurement->ParentMeasurement() == nullptr) {
            text += MeasurementToText(*measurement, u"");
        }
    }
    return text;
}

TMeasurementScope::~TMeasurementScope() {
    try {
        FRackman.EndTime(*FLabel);
    } catch (const EGeneralError&) {
        // Scopes nest strictly, so the label always matches; nothing else may leave a destructor.
    }
}

} // namespace tarnwick
