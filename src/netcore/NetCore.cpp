#include "netcore/NetCore.h"

#include "core/PlatformConstants.h"
#include "core/Text.h"
#include "device/DeviceControl.h"
#include "device/DeviceInformationKt.h"
#include "diag/EasyLog.h"

namespace tarnwick {

TPhysicalDeviceList GetNetAdapters(IDevicePlatform& platform) {
    TPhysicalDeviceList adapters;
    TPhysicalDeviceList enumerated; // released on every path with its records
    GetDevicesByGuid(platform, &NetAdapterClassGuid, TReadDetails::Yes, enumerated, DIGCF_PRESENT);
    for (const auto& device : enumerated) {
        if ((device->ulStatus() & DN_NO_SHOW_IN_DM) == 0) {
            adapters.Add(device->GetCopy());
        }
    }
    return adapters;
}

bool IsInternetActive(IDevicePlatform& platform, const TKeepList& keep) {
    const TPhysicalDeviceList adapters = GetNetAdapters(platform);
    for (const auto& adapter : adapters) {
        if (adapter->ulProblemNumber() == 0 && !keep.Keeps(*adapter)) {
            return true;
        }
    }
    return false;
}

namespace {

std::u16string DisplayName(const TPhysicalDevice& adapter) {
    if (!adapter.VendorName().empty()) {
        return std::u16string(adapter.VendorName()); // the friendly name
    }
    return std::u16string(adapter.DEVICEDESC().empty() ? adapter.PnPName() : adapter.DEVICEDESC());
}

TAdapterSwitchResult SwitchAdapter(IDevicePlatform& platform, const TPhysicalDevice& adapter,
                                   TControlDeviceAction action) {
    TAdapterSwitchResult result;
    result.Name = DisplayName(adapter);
    result.PnPName = adapter.PnPName();
    const TControlDeviceOutcome outcome = TryControlDevice(platform, result.PnPName, action);
    result.ErrorCode = outcome.ErrorCode;
    result.Reason = outcome.Error;
    result.NeedsRestart = outcome.RebootRequired;
    if (outcome.Changed) {
        result.Outcome = TAdapterOutcome::Switched;
    } else if (!outcome.Found) {
        result.Outcome = TAdapterOutcome::NotFound;
        result.Reason = u"The adapter was not found any more.";
    } else {
        result.Outcome = TAdapterOutcome::Failed;
    }
    return result;
}

// Reads the adapters' states back: the count the user is told is what the adapters say, not what the
// class installer promised.
void ReadBack(IDevicePlatform& platform, TSwitchReport& report) {
    const TPhysicalDeviceList now = GetNetAdapters(platform);
    for (TAdapterSwitchResult& result : report.Adapters) {
        for (const auto& adapter : now) {
            if (SameTextAscii(adapter->PnPName(), result.PnPName)) {
                result.NowInWantedState = (adapter->ulProblemNumber() == 0) == report.TurnOn;
                break;
            }
        }
    }
}

TSwitchReport SwitchEveryAdapter(IDevicePlatform& platform, TControlDeviceAction action,
                                 const TKeepList& keep) {
    TSwitchReport report;
    report.TurnOn = action == cdaEnable;
    const TPhysicalDeviceList adapters = GetNetAdapters(platform);
    // Every adapter is tried, also those already in the wanted state and those after one that refused.
    for (const auto& adapter : adapters) {
        if (keep.Keeps(*adapter)) {
            continue;
        }
        report.Adapters.push_back(SwitchAdapter(platform, *adapter, action));
        WriteToLog(AdapterLogLine(report.Adapters.back(), report.TurnOn));
    }
    if (!report.Adapters.empty()) {
        ReadBack(platform, report);
    }
    WriteToLog(CountText(report));
    return report;
}

} // namespace

TSwitchReport TurnOffInternet(IDevicePlatform& platform, const TKeepList& keep) {
    return SwitchEveryAdapter(platform, cdaDisable, keep);
}

TSwitchReport TurnOnInternet(IDevicePlatform& platform, const TKeepList& keep) {
    return SwitchEveryAdapter(platform, cdaEnable, keep);
}

} // namespace tarnwick
