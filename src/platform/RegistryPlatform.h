#pragma once
// The registry seam: opening, creating and closing keys, and reading, writing and deleting values.
// Each method is one platform call and returns the platform's status code (ERROR_SUCCESS on success).

#include <cstdint>

namespace tarnwick {

using RegKey = std::uintptr_t;
// The predefined roots as a 64-bit process sees them (the platform sign-extends the 32-bit values).
inline constexpr RegKey HKeyClassesRoot = 0xFFFFFFFF80000000ull;
inline constexpr RegKey HKeyCurrentUser = 0xFFFFFFFF80000001ull;
inline constexpr RegKey HKeyLocalMachine = 0xFFFFFFFF80000002ull;
inline constexpr RegKey HKeyUsers = 0xFFFFFFFF80000003ull;

class IRegistryPlatform {
public:
    virtual ~IRegistryPlatform() = default;

    virtual std::int32_t RegOpenKeyExW(RegKey Key, const char16_t* SubKey, std::uint32_t Options,
                                       std::uint32_t SamDesired, RegKey& Result) = 0;
    // No class and no security attributes; Disposition may be null.
    virtual std::int32_t RegCreateKeyExW(RegKey Key, const char16_t* SubKey, std::uint32_t Options,
                                         std::uint32_t SamDesired, RegKey& Result,
                                         std::uint32_t* Disposition) = 0;
    // Type and Data may be null; DataSize is in bytes, in and out (ERROR_MORE_DATA when the buffer is short).
    virtual std::int32_t RegQueryValueExW(RegKey Key, const char16_t* ValueName, std::uint32_t* Type,
                                          std::uint8_t* Data, std::uint32_t* DataSize) = 0;
    virtual std::int32_t RegSetValueExW(RegKey Key, const char16_t* ValueName, std::uint32_t Type,
                                        const std::uint8_t* Data, std::uint32_t DataSize) = 0;
    virtual std::int32_t RegDeleteValueW(RegKey Key, const char16_t* ValueName) = 0;
    virtual std::int32_t RegCloseKey(RegKey Key) = 0;
};

} // namespace tarnwick
