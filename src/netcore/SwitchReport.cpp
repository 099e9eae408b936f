#include "netcore/SwitchReport.h"

#include "core/Text.h"

namespace tarnwick {

namespace {

constexpr char16_t LineBreak[] = u"\r\n";

} // namespace

bool TSwitchReport::AllSucceeded() const noexcept {
    for (const TAdapterSwitchResult& adapter : Adapters) {
        if (adapter.Outcome == TAdapterOutcome::Failed) {
            return false;
        }
    }
    return true;
}

std::size_t TSwitchReport::CountInWantedState() const noexcept {
    std::size_t count = 0;
    for (const TAdapterSwitchResult& adapter : Adapters) {
        count += adapter.NowInWantedState ? 1 : 0;
    }
    return count;
}

bool TSwitchReport::AnyNeedsRestart() const noexcept {
    for (const TAdapterSwitchResult& adapter : Adapters) {
        if (adapter.Outcome == TAdapterOutcome::RestartPending) {
            return true;
        }
    }
    return false;
}

std::u16string StateWord(bool TurnOn) {
    return TurnOn ? u"on" : u"off";
}

std::u16string CountText(const TSwitchReport& Report) {
    const std::size_t now = Report.CountInWantedState();
    const std::size_t all = Report.Adapters.size();
    return IntToText(std::int64_t(now)) + u" of " + IntToText(std::int64_t(all)) +
           (all == 1 ? u" adapter " : u" adapters ") + (now == 1 ? u"is" : u"are") + u" now " +
           StateWord(Report.TurnOn);
}

std::u16string NoAdapterText(const TSwitchReport& Report) {
    const std::u16string what = u"No network adapter could be turned " + StateWord(Report.TurnOn) + u": ";
    if (!Report.Left.empty()) {
        return what + u"Windows does not let " + Report.Left.front() +
               (Report.Left.size() == 1 ? u"" : u" and the others") + u" be disabled.";
    }
    return what + u"Device Manager shows none that is not kept.";
}

std::u16string RestartText(const TSwitchReport& Report) {
    std::u16string text;
    for (const TAdapterSwitchResult& adapter : Report.Adapters) {
        if (adapter.Outcome == TAdapterOutcome::RestartPending) {
            if (!text.empty()) {
                text += LineBreak;
            }
            text +=
                adapter.Name + u" is turned " + StateWord(Report.TurnOn) + u" only after Windows restarts.";
        }
    }
    return text;
}

std::u16string SwitchFailureText(const TSwitchReport& Report) {
    std::u16string text = u"Not every network adapter could be turned " + StateWord(Report.TurnOn) + u":";
    text += LineBreak;
    for (const TAdapterSwitchResult& adapter : Report.Adapters) {
        if (adapter.Outcome == TAdapterOutcome::Failed) {
            text += LineBreak + adapter.Name + u": " + adapter.Reason;
        }
    }
    text += LineBreak;
    if (Report.AnyNeedsRestart()) {
        text += LineBreak + RestartText(Report) + LineBreak;
    }
    text += LineBreak + CountText(Report) + u".";
    return text;
}

std::u16string AdapterLogLine(const TAdapterSwitchResult& Adapter, bool TurnOn) {
    std::u16string line = u"Adapter \"" + Adapter.Name + u"\" (" + Adapter.PnPName + u"): ";
    switch (Adapter.Outcome) {
    case TAdapterOutcome::Failed:
        return line + u"not turned " + StateWord(TurnOn) + u": " + Adapter.Reason;
    case TAdapterOutcome::RestartPending:
        line += u"turned " + StateWord(TurnOn) + u" once Windows restarts";
        break;
    case TAdapterOutcome::Removed:
        line += u"turned " + StateWord(TurnOn) + u" with the device it belongs to";
        break;
    case TAdapterOutcome::Switched:
        line += u"turned " + StateWord(TurnOn);
        break;
    }
    if (!Adapter.Reason.empty()) {
        line += u" (" + Adapter.Reason + u")";
    }
    return line;
}

std::u16string LeftLogLine(std::u16string_view Name, std::u16string_view PnPName) {
    return u"Adapter \"" + std::u16string(Name) + u"\" (" + std::u16string(PnPName) +
           u"): left as it is: Windows does not let it be disabled";
}

} // namespace tarnwick
