#include "device/DeviceErrorText.h"

#include <cstdio>
#include <string_view>

#include "core/PlatformConstants.h"
#include "core/Text.h"

namespace tarnwick {

namespace {

struct TCodeText {
    std::uint32_t Code;
    std::u16string_view Text;
};

// The SetupAPI codes a switch can meet, in the words of their SPAPI_E_* descriptions.
constexpr TCodeText SetupApiTexts[] = {
    {ERROR_INVALID_REG_PROPERTY, u"The device registry property is not valid"},
    {ERROR_NO_SUCH_DEVINST, u"The device instance does not exist in the hardware tree"},
    {ERROR_INVALID_CLASS_INSTALLER, u"The class installer registry entry is not valid"},
    {ERROR_DI_DO_DEFAULT, u"The class installer asked for the default action"},
    {ERROR_INVALID_HWPROFILE, u"The hardware profile number is not valid"},
    {ERROR_NO_DEVICE_SELECTED, u"No device is selected"},
    {ERROR_NO_CLASSINSTALL_PARAMS, u"There are no class installer parameters for the device"},
    {ERROR_NOT_DISABLEABLE, u"The device cannot be disabled"},
    {ERROR_IN_WOW64, u"This operation cannot be carried out by a 32-bit program on 64-bit Windows"},
    {ERROR_PNP_REGISTRY_ERROR, u"A Plug and Play registry operation failed"},
};

// The configuration manager's codes (cfgmgr32.h) a switch can meet.
constexpr TCodeText ConfigRetTexts[] = {
    {CR_INVALID_POINTER, u"CR_INVALID_POINTER: an address given is not valid"},
    {CR_INVALID_FLAG, u"CR_INVALID_FLAG: a flag given is not valid"},
    {CR_INVALID_DEVNODE, u"CR_INVALID_DEVNODE: the device node handle is not valid"},
    {CR_NO_SUCH_DEVINST, u"CR_NO_SUCH_DEVINST: the device is not present"},
    {CR_FAILURE, u"CR_FAILURE: the request failed"},
    {CR_BUFFER_SMALL, u"CR_BUFFER_SMALL: the buffer is too small"},
    {CR_NO_SUCH_VALUE, u"CR_NO_SUCH_VALUE: the value does not exist"},
    {CR_ACCESS_DENIED, u"CR_ACCESS_DENIED: access is denied"},
    {CR_REMOTE_COMM_FAILURE, u"CR_REMOTE_COMM_FAILURE: the Plug and Play service cannot be reached"},
};

template <std::size_t N> std::u16string_view Lookup(const TCodeText (&table)[N], std::uint32_t code) {
    for (const TCodeText& row : table) {
        if (row.Code == code) {
            return row.Text;
        }
    }
    return {};
}

std::u16string Hexadecimal(std::uint32_t code) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", unsigned(code));
    return FromUtf8(text);
}

constexpr std::uint32_t SetupApiMask = 0xE0000000; // APPLICATION_ERROR_MASK | ERROR_SEVERITY_ERROR
constexpr std::uint32_t FacilitySetupApi = 15;
constexpr std::uint32_t FacilityWin32 = 7;

} // namespace

std::uint32_t HResultFromSetupApi(std::uint32_t Code) noexcept {
    if ((Code & SetupApiMask) == SetupApiMask) {
        return (Code & 0xFFFF) | (FacilitySetupApi << 16) | 0x80000000;
    }
    if (Code == 0 || (Code & 0x80000000) != 0) {
        return Code;
    }
    return (Code & 0xFFFF) | (FacilityWin32 << 16) | 0x80000000;
}

std::u16string DeviceErrorText(IDevicePlatform& platform, std::uint32_t Code) {
    std::u16string text = TrimSystemMessage(platform.SysErrorMessage(Code));
    if (text.empty() && (Code & SetupApiMask) == SetupApiMask) {
        text = TrimSystemMessage(platform.SysErrorMessage(HResultFromSetupApi(Code)));
    }
    if (text.empty()) {
        text = Lookup(SetupApiTexts, Code);
    }
    if (text.empty()) {
        text = u"unknown error";
    }
    return u"Windows error " + Hexadecimal(Code) + u" (" + text + u")";
}

std::u16string ConfigRetText(CONFIGRET Code) {
    std::u16string_view text = Lookup(ConfigRetTexts, Code);
    return u"Configuration manager error: " + Hexadecimal(Code) + u" (" +
           std::u16string(text.empty() ? u"unknown error" : text) + u")";
}

} // namespace tarnwick
