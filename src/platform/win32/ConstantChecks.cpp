// Checks every platform constant of the portable logic against the SDK's own value.
// The portable values are captured before <windows.h> turns their names into macros.

#include "core/PlatformConstants.h"

// X-list of the names checked; each must exist both in PlatformConstants.h and in the SDK headers.
#define TARNWICK_CHECKED_CONSTANTS(X)                                                                             \
    X(ERROR_SUCCESS) X(ERROR_FILE_NOT_FOUND) X(ERROR_ACCESS_DENIED) X(ERROR_INVALID_HANDLE)                       \
    X(ERROR_NOT_ENOUGH_MEMORY) X(ERROR_INVALID_PARAMETER) X(ERROR_INSUFFICIENT_BUFFER) X(ERROR_NO_MORE_ITEMS)    \
    X(ERROR_INVALID_DATA) X(ERROR_NOT_FOUND) X(ERROR_NO_SUCH_DEVINST) X(ERROR_INVALID_REG_PROPERTY)              \
    X(ERROR_DI_DO_DEFAULT) X(DIGCF_DEFAULT) X(DIGCF_PRESENT) X(DIGCF_ALLCLASSES) X(DIGCF_PROFILE)                \
    X(DIGCF_DEVICEINTERFACE) X(SPDRP_DEVICEDESC) X(SPDRP_HARDWAREID) X(SPDRP_COMPATIBLEIDS) X(SPDRP_CLASS)       \
    X(SPDRP_CLASSGUID) X(SPDRP_DRIVER) X(SPDRP_MFG) X(SPDRP_FRIENDLYNAME) X(SPDRP_LOCATION_INFORMATION)          \
    X(SPDRP_PHYSICAL_DEVICE_OBJECT_NAME) X(SPDRP_CAPABILITIES) X(SPDRP_UI_NUMBER) X(SPDRP_MAXIMUM_PROPERTY)      \
    X(REG_NONE) X(REG_SZ) X(REG_BINARY) X(REG_DWORD) X(REG_MULTI_SZ) X(DN_ROOT_ENUMERATED) X(DN_DRIVER_LOADED)  \
    X(DN_STARTED) X(DN_LIAR) X(DN_HAS_PROBLEM) X(DN_DISABLEABLE) X(DN_REMOVABLE) X(DN_WILL_BE_REMOVED)          \
    X(DN_NO_SHOW_IN_DM) X(CM_PROB_FAILED_START) X(CM_PROB_DISABLED) X(CM_PROB_DEVICE_NOT_THERE)                  \
    X(CM_PROB_FAILED_ADD) X(CM_PROB_HELD_FOR_EJECT) X(CM_DEVCAP_REMOVABLE) X(CM_DEVCAP_DOCKDEVICE)               \
    X(CM_DEVCAP_SURPRISEREMOVALOK) X(CR_SUCCESS) X(CR_INVALID_POINTER) X(CR_INVALID_DEVNODE)                     \
    X(CR_NO_SUCH_DEVNODE) X(CR_BUFFER_SMALL) X(CR_NO_SUCH_DEVINST) X(CR_FAILURE) X(DIF_PROPERTYCHANGE)           \
    X(DICS_ENABLE) X(DICS_DISABLE) X(DICS_PROPCHANGE) X(DICS_FLAG_GLOBAL) X(DI_NEEDRESTART) X(DI_NEEDREBOOT)     \
    X(IOCTL_STORAGE_QUERY_PROPERTY) X(IOCTL_STORAGE_GET_DEVICE_NUMBER) X(FILE_DEVICE_CD_ROM) X(FILE_DEVICE_DISK) \
    X(OPEN_EXISTING) X(FILE_ATTRIBUTE_NORMAL) X(GENERIC_READ) X(GENERIC_WRITE) X(FILE_SHARE_READ)                \
    X(FILE_SHARE_WRITE) X(CREATE_NEW) X(CREATE_ALWAYS) X(FILE_BEGIN) X(FILE_END) X(FILE_ATTRIBUTE_DIRECTORY)      \
    X(INVALID_FILE_ATTRIBUTES) X(MAX_PATH) X(ERROR_SHARING_VIOLATION) X(ERROR_FILE_EXISTS) X(ERROR_MORE_DATA)    \
    X(ERROR_CANCELLED) X(REG_EXPAND_SZ) X(REG_OPTION_NON_VOLATILE) X(KEY_QUERY_VALUE) X(KEY_READ)               \
    X(KEY_ALL_ACCESS) X(KEY_WOW64_64KEY) X(CSIDL_APPDATA) X(SEE_MASK_NOASYNC) X(SEE_MASK_FLAG_NO_UI)            \
    X(SW_SHOWNORMAL) X(WC_DISCARDNS) X(WC_SEPCHARS) X(WC_DEFAULTCHAR) X(WC_COMPOSITECHECK)                      \
    X(LOCALE_USER_DEFAULT) X(LOCALE_STIME) X(WM_TIMER) X(WM_MOUSEMOVE) X(WM_LBUTTONDOWN) X(WM_RBUTTONDOWN)     \
    X(BCM_SETSHIELD) X(SW_HIDE) X(SW_SHOW) X(SW_RESTORE) X(SWP_NOSIZE) X(SWP_NOZORDER) X(SWP_NOACTIVATE)         \
    X(WS_POPUP) X(WS_CAPTION) X(WS_SYSMENU) X(WS_MINIMIZEBOX) X(WS_CLIPSIBLINGS) X(WS_CLIPCHILDREN)              \
    X(WS_EX_DLGMODALFRAME) X(WS_EX_TOOLWINDOW) X(MONITOR_DEFAULTTONEAREST) X(MB_OK) X(MB_ICONSTOP) X(NIM_ADD)    \
    X(NIM_MODIFY) X(NIM_DELETE) X(NIF_MESSAGE) X(NIF_ICON) X(NIF_TIP) X(NIF_INFO) X(NIIF_NONE) X(NIIF_INFO)      \
    X(NIIF_WARNING) X(NIIF_ERROR) X(ABM_GETSTATE) X(ABS_AUTOHIDE) X(ABS_ALWAYSONTOP) X(ABE_LEFT) X(ABE_TOP)      \
    X(ABE_RIGHT) X(ABE_BOTTOM) X(EXCEPTION_NONCONTINUABLE) X(EXCEPTION_STACK_OVERFLOW)                          \
    X(EXCEPTION_CONTINUE_SEARCH)

namespace portable_values {
#define TARNWICK_CAPTURE(name) constexpr auto v_##name = static_cast<unsigned long long>(tarnwick::name);
TARNWICK_CHECKED_CONSTANTS(TARNWICK_CAPTURE)
#undef TARNWICK_CAPTURE
constexpr auto tarnwick_bus_usb = tarnwick::BusTypeUsb;
constexpr auto tarnwick_bus_unknown = tarnwick::BusTypeUnknown;
} // namespace portable_values

#include <windows.h>
// clang-format off
#include <cfgmgr32.h>
#include <commctrl.h>
#include <setupapi.h>
#include <shellapi.h>
#include <shlobj.h>
#include <winioctl.h>
// clang-format on

#define TARNWICK_CHECK(name)                                                                                      \
    static_assert(portable_values::v_##name == static_cast<unsigned long long>(static_cast<DWORD>(name)),         \
                  #name " differs from the SDK");
TARNWICK_CHECKED_CONSTANTS(TARNWICK_CHECK)
#undef TARNWICK_CHECK

static_assert(portable_values::tarnwick_bus_usb == BusTypeUsb && portable_values::tarnwick_bus_unknown == BusTypeUnknown);
