#pragma once
// An open registry key that closes itself, with the string reads and writes the units need.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/RegistryPlatform.h"

namespace tarnwick {

class TRegistryKey {
public:
    // An existing key, or none when it cannot be opened with Access (Status, if given, says why).
    static std::optional<TRegistryKey> Open(IRegistryPlatform& Registry, RegKey Root,
                                            std::u16string_view Path, std::uint32_t Access,
                                            std::int32_t* Status = nullptr);
    // The key, created when missing, or none when it can be neither opened nor created.
    static std::optional<TRegistryKey> Create(IRegistryPlatform& Registry, RegKey Root,
                                              std::u16string_view Path, std::uint32_t Access);

    TRegistryKey(TRegistryKey&& other) noexcept;
    TRegistryKey& operator=(TRegistryKey&& other) noexcept;
    TRegistryKey(const TRegistryKey&) = delete;
    TRegistryKey& operator=(const TRegistryKey&) = delete;
    ~TRegistryKey();

    RegKey Handle() const noexcept { return FKey; }

    // The text of a REG_SZ or REG_EXPAND_SZ value up to its first NUL (unexpanded); none when the value
    // is missing, unreadable or of another type.
    std::optional<std::u16string> ReadString(std::u16string_view Name) const;
    // A value's type and bytes, however long; the platform's status (ERROR_FILE_NOT_FOUND when missing).
    std::int32_t ReadValue(std::u16string_view Name, std::uint32_t& Type,
                           std::vector<std::uint8_t>& Data) const;
    // Writes a REG_SZ value with its terminating NUL. True on success.
    bool WriteString(std::u16string_view Name, std::u16string_view Value);
    bool DeleteValue(std::u16string_view Name);

private:
    TRegistryKey(IRegistryPlatform& Registry, RegKey Key) noexcept : FRegistry(&Registry), FKey(Key) {}
    void Close() noexcept;

    IRegistryPlatform* FRegistry;
    RegKey FKey;
};

} // namespace tarnwick
