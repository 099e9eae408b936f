// Checks every platform constant of the portable logic against the SDK's own value.
// The portable values are captured before <windows.h> turns their names into macros.

#include "core/PlatformConstants.h"

namespace portable_values {
#define TARNWICK_PLATFORM_CONSTANT(type, name, value)                                                        \
    constexpr auto v_##name = static_cast<unsigned long long>(tarnwick::name)
#include "core/PlatformConstantList.h"
#undef TARNWICK_PLATFORM_CONSTANT
} // namespace portable_values

#include <windows.h>
// clang-format off
#include <cfgmgr32.h>
#include <commctrl.h>
#include <oleacc.h>
#include <setupapi.h>
#include <shellapi.h>
#include <shlobj.h>
#include <taskschd.h>
#include <winioctl.h>
// clang-format on

#define TARNWICK_PLATFORM_CONSTANT(type, name, value)                                                        \
    static_assert(portable_values::v_##name == static_cast<unsigned long long>(static_cast<DWORD>(name)),    \
                  #name " differs from the SDK")
#include "core/PlatformConstantList.h"
#undef TARNWICK_PLATFORM_CONSTANT
