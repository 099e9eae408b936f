#pragma once
// The registry seam on Windows.

#include "platform/RegistryPlatform.h"

namespace tarnwick::win32 {

class TWin32RegistryPlatform : public IRegistryPlatform {
public:
    std::int32_t RegOpenKeyExW(RegKey Key, const char16_t* SubKey, std::uint32_t Options,
                               std::uint32_t SamDesired, RegKey& Result) override;
    std::int32_t RegCreateKeyExW(RegKey Key, const char16_t* SubKey, std::uint32_t Options,
                                 std::uint32_t SamDesired, RegKey& Result,
                                 std::uint32_t* Disposition) override;
    std::int32_t RegQueryValueExW(RegKey Key, const char16_t* ValueName, std::uint32_t* Type,
                                  std::uint8_t* Data, std::uint32_t* DataSize) override;
    std::int32_t RegSetValueExW(RegKey Key, const char16_t* ValueName, std::uint32_t Type,
                                const std::uint8_t* Data, std::uint32_t DataSize) override;
    std::int32_t RegDeleteValueW(RegKey Key, const char16_t* ValueName) override;
    std::int32_t RegCloseKey(RegKey Key) override;
};

} // namespace tarnwick::win32
