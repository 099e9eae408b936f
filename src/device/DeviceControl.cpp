#include "device/DeviceControl.h"

#include "core/Errors.h"
#include "core/PlatformConstants.h"
#include "core/Text.h"
#include "diag/EasyLog.h"

namespace tarnwick {

namespace {

// The error of the last error code the platform left.
EOSError LastDeviceError(IDevicePlatform& platform, std::u16string_view pattern = OsErrorPattern) {
    const std::uint32_t code = platform.GetLastError();
    return OsError(code, platform.SysErrorMessage(code), pattern);
}

std::uint32_t StateChangeOf(TControlDeviceAction action) {
    switch (action) {
    case cdaEnable:
        return DICS_ENABLE;
    case cdaDisable:
        return DICS_DISABLE;
    case cdaRestart:
        return DICS_PROPCHANGE;
    }
    throw EGeneralError(u"Unknown control device action!");
}

} // namespace

TControlDeviceCallBack::TControlDeviceCallBack(IDevicePlatform& platform, std::u16string ASearchForPNPName,
                                               TControlDeviceAction AAction)
    : TSearchDevicesCallBack(std::move(ASearchForPNPName)), FPlatform(platform), FAction(AAction) {}

void TControlDeviceCallBack::CallBackProc(TPhysicalDevice&, HDEVINFO DevSet, SP_DEVINFO_DATA DeviceInfoData,
                                          std::int32_t) {
    WriteDebugToLog(u"TControlDeviceCallBack.CallBackProc called");
    FFound = true;
    FResult = false;
    SP_PROPCHANGE_PARAMS params{};
    params.ClassInstallHeader.cbSize = sizeof(SP_CLASSINSTALL_HEADER);
    params.ClassInstallHeader.InstallFunction = DIF_PROPERTYCHANGE;
    params.StateChange = StateChangeOf(FAction);
    params.Scope = DICS_FLAG_GLOBAL;
    params.HwProfile = 0; // the current hardware profile

    // A change that cannot even be handed to the class installer leaves the device as it was: that is a
    // failure the caller must hear of, not a silent "done".
    if (!FPlatform.SetupDiSetClassInstallParamsW(DevSet, &DeviceInfoData, &params.ClassInstallHeader,
                                                 sizeof params)) {
        throw LastDeviceError(FPlatform);
    }
    const bool installed = FPlatform.SetupDiCallClassInstaller(DIF_PROPERTYCHANGE, DevSet, &DeviceInfoData);
    EOSError outcome = LastDeviceError(FPlatform);
    WriteDebugToLog(u"SetupDiCallClassInstaller finished, " + outcome.Message());
    if (!installed) {
        throw outcome;
    }
    FResult = true;

    SP_DEVINSTALL_PARAMS_W installParams{};
    installParams.cbSize = sizeof installParams;
    if (!FPlatform.SetupDiGetDeviceInstallParamsW(DevSet, &DeviceInfoData, installParams)) {
        throw LastDeviceError(FPlatform, u"Cannot get device install params! Windows error %d (%s)");
    }
    FResultDevParams = installParams;
    FResultIsRebootRequired = (installParams.Flags & (DI_NEEDRESTART | DI_NEEDREBOOT)) != 0;
    WriteDebugToLog(u"TControlDeviceCallBack.CallBackProc finished");
}

namespace {

void RunControlEnumeration(IDevicePlatform& platform, TControlDeviceCallBack& callback,
                           TControlDeviceAction AAction) {
    TPhysicalDeviceList devices;
    // Enabling looks beyond the present devices; nodes without a device node are still skipped.
    const std::uint32_t flags = AAction == cdaEnable ? DIGCF_ALLCLASSES : DIGCF_ALLCLASSES | DIGCF_PRESENT;
    WriteDebugToLog(u"GetDevicesByGuid for ControlDevice Started");
    GetDevicesByGuid(platform, nullptr, TReadDetails::Yes, devices, flags, &callback);
    WriteDebugToLog(u"GetDevicesByGuid for ControlDevice Ended");
}

} // namespace

std::unique_ptr<TControlDeviceCallBack>
ControlDevice(IDevicePlatform& platform, const std::u16string& APnPName, TControlDeviceAction AAction) {
    auto callback = std::make_unique<TControlDeviceCallBack>(platform, APnPName, AAction);
    RunControlEnumeration(platform, *callback, AAction);
    return callback;
}

TControlDeviceOutcome TryControlDevice(IDevicePlatform& platform, const std::u16string& APnPName,
                                       TControlDeviceAction AAction) {
    TControlDeviceCallBack callback(platform, APnPName, AAction);
    TControlDeviceOutcome outcome;
    try {
        RunControlEnumeration(platform, callback, AAction);
    } catch (const EOSError& e) {
        outcome.ErrorCode = e.ErrorCode();
        outcome.Error = e.Message();
    } catch (const EGeneralError& e) {
        outcome.Error = e.Message();
    }
    outcome.Found = callback.Found();
    outcome.Changed = callback.Result();
    outcome.RebootRequired = callback.ResultIsRebootRequired();
    return outcome;
}

} // namespace tarnwick
