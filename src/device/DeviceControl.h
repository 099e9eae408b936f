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

    // The class installer carried out the change for the matching device.
    bool Result() const noexcept { return FResult; }
    // The device's install parameters ask for a restart or a reboot after the change.
    bool ResultIsRebootRequired() const noexcept { return FResultIsRebootRequired; }
    const SP_DEVINSTALL_PARAMS_W& ResultDevParams() const noexcept { return FResultDevParams; }

    void CallBackProc(TPhysicalDevice& PhysicalDevice, HDEVINFO DevSet, SP_DEVINFO_DATA DeviceInfoData,
                      std::int32_t DevIndex) override;

private:
    IDevicePlatform& FPlatform;
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

} // namespace tarnwick
