#include "netcore/NetCore.h"

#include <optional>
#include <unordered_set>

#include "core/PlatformConstants.h"
#include "core/Text.h"
#include "device/DeviceErrorText.h"
#include "diag/EasyLog.h"
#include "netcore/NetAdapterWalk.h"

namespace tarnwick {

TPhysicalDeviceList GetNetAdapters(IDevicePlatform& platform) {
    TPhysicalDeviceList adapters;
    TNetAdapterWalk walk(platform);
    for (TNetAdapter& adapter : walk.Adapters()) {
        if (adapter.Shown()) {
            adapters.Add(std::move(adapter.Record));
        }
    }
    return adapters;
}

namespace {

// Counts for the state and is switched: shown, not kept, and Windows lets it be disabled.
bool Switchable(const TNetAdapter& adapter, const TKeepList& keep) {
    return adapter.Shown() && adapter.Disableable() && !keep.Keeps(*adapter.Record);
}

} // namespace

TInternetState InternetState(IDevicePlatform& platform, const TKeepList& keep) {
    TNetAdapterWalk walk(platform);
    bool any = false;
    for (const TNetAdapter& adapter : walk.Adapters()) {
        if (!adapter.StatusKnown() || !Switchable(adapter, keep)) {
            continue;
        }
        if (adapter.On()) {
            return TInternetState::On;
        }
        any = true;
    }
    return any ? TInternetState::Off : TInternetState::NoAdapter;
}

bool IsInternetActive(IDevicePlatform& platform, const TKeepList& keep) {
    return InternetState(platform, keep) == TInternetState::On;
}

namespace {

// Enabling a parent can bring back adapters below it, and those can bring back more: the class is
// listed again after a round that enabled something, this many rounds at most.
constexpr int MaxTurnOnRounds = 4;

// One property change handed to the class installer for a member of the walk's set: none when it was
// carried out, else the error code. Restart is set when the install parameters ask for one.
std::optional<std::uint32_t> ChangeState(IDevicePlatform& platform, HDEVINFO set, SP_DEVINFO_DATA& data,
                                         std::uint32_t stateChange, std::uint32_t scope, bool& restart,
                                         std::u16string& note) {
    SP_PROPCHANGE_PARAMS params{};
    params.ClassInstallHeader.cbSize = sizeof(SP_CLASSINSTALL_HEADER);
    params.ClassInstallHeader.InstallFunction = DIF_PROPERTYCHANGE;
    params.StateChange = stateChange;
    params.Scope = scope;
    params.HwProfile = 0; // the current hardware profile
    if (!platform.SetupDiSetClassInstallParamsW(set, &data, &params.ClassInstallHeader, sizeof params) ||
        !platform.SetupDiCallClassInstaller(DIF_PROPERTYCHANGE, set, &data)) {
        return platform.GetLastError();
    }
    SP_DEVINSTALL_PARAMS_W installParams{};
    installParams.cbSize = sizeof installParams;
    if (platform.SetupDiGetDeviceInstallParamsW(set, &data, installParams)) {
        restart = restart || (installParams.Flags & (DI_NEEDRESTART | DI_NEEDREBOOT)) != 0;
    } else {
        note = u"Cannot get device install params! " + DeviceErrorText(platform, platform.GetLastError());
    }
    return std::nullopt;
}

// An adapter handed to the class installer, waiting for its state to be read back.
struct TTriedAdapter {
    TAdapterSwitchResult Result;
    DEVINST DevInst = 0;
    bool Accepted = false;                // the class installer carried out a change
    std::optional<std::uint32_t> Refusal; // its error when it did not (the first one, for a turn-on)
};

TTriedAdapter TryAdapter(IDevicePlatform& platform, HDEVINFO set, TNetAdapter& adapter, bool turnOn,
                         std::size_t place) {
    TTriedAdapter tried;
    tried.DevInst = adapter.Data.DevInst;
    tried.Result.Name = AdapterDisplayName(*adapter.Record);
    tried.Result.PnPName = adapter.Record->PnPName();
    if (tried.Result.Name.empty()) {
        tried.Result.Name = u"Network adapter " + IntToText(static_cast<std::int64_t>(place));
    }
    bool restart = false;
    if (turnOn) {
        // As devcon enables: globally first, then for the current hardware profile. A global enable
        // leaves a disable made for the profile (as devcon and tools like it disable) in force and still
        // answers success; the profile's enable clears that one. Either may find nothing to clear.
        const auto global = ChangeState(platform, set, adapter.Data, DICS_ENABLE, DICS_FLAG_GLOBAL, restart,
                                        tried.Result.Reason);
        const auto profile = ChangeState(platform, set, adapter.Data, DICS_ENABLE, DICS_FLAG_CONFIGSPECIFIC,
                                         restart, tried.Result.Reason);
        tried.Accepted = !global || !profile;
        tried.Refusal = global ? global : profile;
    } else {
        // Disabled globally, as Device Manager disables: the adapter stays off in every hardware
        // profile, and Device Manager, where people look, shows the disable and undoes it.
        tried.Refusal = ChangeState(platform, set, adapter.Data, DICS_DISABLE, DICS_FLAG_GLOBAL, restart,
                                    tried.Result.Reason);
        tried.Accepted = !tried.Refusal;
    }
    tried.Result.NeedsRestart = restart;
    tried.Result.ErrorCode = tried.Refusal.value_or(0);
    return tried;
}

// Judges an adapter by the state read back after the whole switch: the count and the exit code say
// what the adapters are, not what the class installer promised.
void Judge(IDevicePlatform& platform, TTriedAdapter& tried, bool turnOn) {
    TAdapterSwitchResult& result = tried.Result;
    const TNodeState state = ReadNodeState(platform, tried.DevInst);
    if (!state.Present()) {
        if (state.Result == CR_NO_SUCH_DEVINST && !turnOn) {
            // Windows removes the children of a disabled device: gone with its parent, it is off.
            result.Outcome = TAdapterOutcome::Removed;
            result.NowInWantedState = true;
            return;
        }
        result.Outcome = TAdapterOutcome::Failed;
        result.Reason = state.Result == CR_NO_SUCH_DEVINST
                            ? u"It is not present any more."
                            : u"Its state cannot be read: " + ConfigRetText(state.Result);
        if (state.Result != CR_NO_SUCH_DEVINST) {
            result.ErrorCode = state.Result;
        }
        return;
    }
    result.NowInWantedState = (state.Problem == 0) == turnOn;
    if (result.NowInWantedState) {
        result.Outcome = TAdapterOutcome::Switched;
    } else if (tried.Accepted && result.NeedsRestart) {
        result.Outcome = TAdapterOutcome::RestartPending;
    } else if (tried.Refusal) {
        result.Outcome = TAdapterOutcome::Failed;
        result.Reason = DeviceErrorText(platform, *tried.Refusal);
    } else {
        result.Outcome = TAdapterOutcome::Failed;
        result.Reason = u"Windows took the change, but the adapter is still " + StateWord(!turnOn) +
                        (state.Problem != 0 ? FormatText(u" (problem %u).", {std::uint64_t(state.Problem)})
                                            : std::u16string(u"."));
    }
}

TSwitchReport SwitchEveryAdapter(IDevicePlatform& platform, bool turnOn, const TKeepList& keep) {
    TSwitchReport report;
    report.TurnOn = turnOn;
    std::vector<TTriedAdapter> tried;
    std::unordered_set<DEVINST> seen;
    for (int round = 0; round < (turnOn ? MaxTurnOnRounds : 1); ++round) {
        std::optional<TNetAdapterWalk> walk;
        try {
            walk.emplace(platform);
        } catch (const EAdapterListFailed& e) {
            if (round == 0) {
                WriteToLog(e.Message());
                throw;
            }
            // The adapters switched so far are told as they are.
            WriteToLog(e.Message());
            break;
        }
        bool enabledAny = false;
        std::size_t place = 0;
        // Every adapter is tried, also those already in the wanted state, those after one that refused,
        // and those with a property that cannot be read.
        for (TNetAdapter& adapter : walk->Adapters()) {
            ++place;
            if (!seen.insert(adapter.Data.DevInst).second || !adapter.Shown() ||
                keep.Keeps(*adapter.Record)) {
                continue;
            }
            if (!adapter.Disableable()) {
                report.Left.push_back(AdapterDisplayName(*adapter.Record));
                WriteToLog(LeftLogLine(AdapterDisplayName(*adapter.Record), adapter.Record->PnPName()));
                continue;
            }
            const bool wasOff = !adapter.On();
            tried.push_back(TryAdapter(platform, walk->Set(), adapter, turnOn, place));
            enabledAny = enabledAny || (tried.back().Accepted && wasOff);
        }
        if (!enabledAny) {
            break;
        }
    }
    for (TTriedAdapter& each : tried) {
        Judge(platform, each, turnOn);
        if (each.Result.Outcome == TAdapterOutcome::Failed && each.Refusal == ERROR_NOT_DISABLEABLE) {
            // Windows would not have it disabled after all: left, as one it says so of beforehand.
            report.Left.push_back(each.Result.Name);
            WriteToLog(LeftLogLine(each.Result.Name, each.Result.PnPName));
            continue;
        }
        report.Adapters.push_back(std::move(each.Result));
        WriteToLog(AdapterLogLine(report.Adapters.back(), turnOn));
    }
    WriteToLog(report.Adapters.empty() ? NoAdapterText(report) : CountText(report));
    return report;
}

} // namespace

TSwitchReport TurnOffInternet(IDevicePlatform& platform, const TKeepList& keep) {
    return SwitchEveryAdapter(platform, false, keep);
}

TSwitchReport TurnOnInternet(IDevicePlatform& platform, const TKeepList& keep) {
    return SwitchEveryAdapter(platform, true, keep);
}

} // namespace tarnwick
