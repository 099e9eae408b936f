#include "platform/win32/Win32Registry.h"

#include <windows.h>

#include "platform/win32/Win32Text.h"

namespace tarnwick::win32 {

namespace {

HKEY AsHkey(RegKey key) {
    return reinterpret_cast<HKEY>(key);
}
RegKey FromHkey(HKEY key) {
    return reinterpret_cast<RegKey>(key);
}

} // namespace

std::int32_t TWin32RegistryPlatform::RegOpenKeyExW(RegKey Key, const char16_t* SubKey, std::uint32_t Options,
                                                   std::uint32_t SamDesired, RegKey& Result) {
    HKEY result = nullptr;
    const LONG status = ::RegOpenKeyExW(AsHkey(Key), AsWide(SubKey), Options, SamDesired, &result);
    Result = FromHkey(result);
    return status;
}

std::int32_t TWin32RegistryPlatform::RegCreateKeyExW(RegKey Key, const char16_t* SubKey,
                                                     std::uint32_t Options, std::uint32_t SamDesired,
                                                     RegKey& Result, std::uint32_t* Disposition) {
    HKEY result = nullptr;
    DWORD disposition = 0;
    const LONG status = ::RegCreateKeyExW(AsHkey(Key), AsWide(SubKey), 0, nullptr, Options, SamDesired,
                                          nullptr, &result, &disposition);
    Result = FromHkey(result);
    if (Disposition != nullptr) {
        *Disposition = disposition;
    }
    return status;
}

std::int32_t TWin32RegistryPlatform::RegQueryValueExW(RegKey Key, const char16_t* ValueName,
                                                      std::uint32_t* Type, std::uint8_t* Data,
                                                      std::uint32_t* DataSize) {
    DWORD type = 0;
    DWORD size = DataSize != nullptr ? *DataSize : 0;
    const LONG status =
        ::RegQueryValueExW(AsHkey(Key), AsWide(ValueName), nullptr, Type != nullptr ? &type : nullptr, Data,
                           DataSize != nullptr ? &size : nullptr);
    if (Type != nullptr) {
        *Type = type;
    }
    if (DataSize != nullptr) {
        *DataSize = size;
    }
    return status;
}

std::int32_t TWin32RegistryPlatform::RegSetValueExW(RegKey Key, const char16_t* ValueName, std::uint32_t Type,
                                                    const std::uint8_t* Data, std::uint32_t DataSize) {
    return ::RegSetValueExW(AsHkey(Key), AsWide(ValueName), 0, Type, Data, DataSize);
}

std::int32_t TWin32RegistryPlatform::RegDeleteValueW(RegKey Key, const char16_t* ValueName) {
    return ::RegDeleteValueW(AsHkey(Key), AsWide(ValueName));
}

std::int32_t TWin32RegistryPlatform::RegCloseKey(RegKey Key) {
    return ::RegCloseKey(AsHkey(Key));
}

} // namespace tarnwick::win32
