#pragma once
// Enabling, disabling or restarting one device, named by its instance ID, through the class installer.

#include <cstdint>
#include <memory>
#include <string>

#include "device/DeviceInformationKt.h"

namespace tarnwick {

enum TControlDeviceAction : std::uint8_t { cdaEnable = 0, cdaDisable = 1, cdaRestart = 2 };

// Carries the requested action into the enumeration and the outcome out of it.
class TControlDeviceCallBack : public TSearchDevicesCallBack {
public:
    TControlDeviceCallBack(IDevicePlatform& platform, std::u16string ASearchForPNPName,
                           TControlDeviceAction AAction);

    // A device with the searched instance ID was met by the enumeration.
    bool Found() const noexcept { return FFound; }
    // The class installer carried out the change for the matching device.
    bool Result() const noexcept { return FResult; }
    // The device's install parameters ask for a restart or a reboot after the change.
    bool ResultIsRebootRequired() const noexcept { return FResultIsRebootRequired; }
    const SP_DEVINSTALL_PARAMS_W& ResultDevParams() const noexcept { return FResultDevParams; }

    void CallBackProc(TPhysicalDevice& PhysicalDevice, HDEVINFO DevSet, SP_DEVINFO_DATA DeviceInfoData,
                      std::int32_t DevIndex) override;

private:
    IDevicePlatform& FPlatform;
    bool FFound = false;
    bool FResult = false;
    bool FResultIsRebootRequired = false;
    SP_DEVINSTALL_PARAMS_W FResultDevParams{};
    TControlDeviceAction FAction;
};

// Runs the action on the device with that instance ID (ASCII case ignored) while enumerating every
// device of every class. No matching device: Result false, no error. Errors of the class installer
// are raised with the system's text.
std::unique_ptr<TControlDeviceCallBack>
ControlDevice(IDevicePlatform& platform, const std::u16string& APnPName, TControlDeviceAction AAction);

// What one control request did, told without raising: the switch of many devices goes on after one
// refuses, and the system's reason is kept for the user.
struct TControlDeviceOutcome {
    bool Found = false;          // the enumeration met a device with that instance ID
    bool Changed = false;        // the class installer carried out the change
    bool RebootRequired = false; // the change takes effect only after a restart of Windows
    std::uint32_t ErrorCode = 0; // of the step that failed; 0 when none did
    std::u16string Error; // the system's reason ("Windows error 5 (Access is denied)"); empty when none
};

// ControlDevice, with every error of the platform caught into the outcome. A change that was carried out
// counts as Changed even when reading its install parameters failed afterwards.
TControlDeviceOutcome TryControlDevice(IDevicePlatform& platform, const std::u16string& APnPName,
                                       TControlDeviceAction AAction);

} // namespace tarnwick
