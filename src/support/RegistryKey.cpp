#include "support/RegistryKey.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "core/PlatformConstants.h"

namespace tarnwick {

std::optional<TRegistryKey> TRegistryKey::Open(IRegistryPlatform& Registry, RegKey Root,
                                               std::u16string_view Path, std::uint32_t Access,
                                               std::int32_t* Status) {
    const std::u16string path(Path);
    RegKey key = 0;
    const std::int32_t status = Registry.RegOpenKeyExW(Root, path.c_str(), 0, Access, key);
    if (Status) {
        *Status = status;
    }
    if (status != std::int32_t(ERROR_SUCCESS)) {
        return std::nullopt;
    }
    return TRegistryKey(Registry, key);
}

std::optional<TRegistryKey> TRegistryKey::Create(IRegistryPlatform& Registry, RegKey Root,
                                                 std::u16string_view Path, std::uint32_t Access) {
    const std::u16string path(Path);
    RegKey key = 0;
    if (Registry.RegCreateKeyExW(Root, path.c_str(), REG_OPTION_NON_VOLATILE, Access, key, nullptr) !=
        std::int32_t(ERROR_SUCCESS)) {
        return std::nullopt;
    }
    return TRegistryKey(Registry, key);
}

TRegistryKey::TRegistryKey(TRegistryKey&& other) noexcept : FRegistry(other.FRegistry), FKey(other.FKey) {
    other.FRegistry = nullptr;
}

TRegistryKey& TRegistryKey::operator=(TRegistryKey&& other) noexcept {
    if (this != &other) {
        Close();
        FRegistry = other.FRegistry;
        FKey = other.FKey;
        other.FRegistry = nullptr;
    }
    return *this;
}

TRegistryKey::~TRegistryKey() {
    Close();
}

void TRegistryKey::Close() noexcept {
    if (FRegistry != nullptr) {
        FRegistry->RegCloseKey(FKey);
        FRegistry = nullptr;
    }
}

std::int32_t TRegistryKey::ReadValue(std::u16string_view Name, std::uint32_t& Type,
                                     std::vector<std::uint8_t>& Data) const {
    const std::u16string name(Name);
    Data.resize(256);
    std::int32_t status = std::int32_t(ERROR_MORE_DATA);
    // The value may grow between the calls; a few rounds settle it.
    for (int round = 0; round < 4 && status == std::int32_t(ERROR_MORE_DATA); ++round) {
        auto size = static_cast<std::uint32_t>(Data.size());
        status = FRegistry->RegQueryValueExW(FKey, name.c_str(), &Type, Data.data(), &size);
        if (status == std::int32_t(ERROR_MORE_DATA)) {
            Data.resize(std::size_t(size) + 2);
        } else if (status == std::int32_t(ERROR_SUCCESS)) {
            Data.resize(std::min<std::size_t>(size, Data.size()));
        }
    }
    if (status != std::int32_t(ERROR_SUCCESS)) {
        Data.clear();
    }
    return status;
}

std::optional<std::u16string> TRegistryKey::ReadString(std::u16string_view Name) const {
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    if (ReadValue(Name, type, data) != std::int32_t(ERROR_SUCCESS) ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return std::nullopt;
    }
    std::u16string text(data.size() / sizeof(char16_t), u'\0');
    std::memcpy(text.data(), data.data(), text.size() * sizeof(char16_t));
    if (const auto nul = text.find(u'\0'); nul != std::u16string::npos) {
        text.resize(nul);
    }
    return text;
}

bool TRegistryKey::WriteString(std::u16string_view Name, std::u16string_view Value) {
    const std::u16string name(Name);
    const std::u16string value(Value);
    const std::size_t bytes = (value.size() + 1) * sizeof(char16_t);
    if (bytes > std::numeric_limits<std::uint32_t>::max()) {
        return false;
    }
    return FRegistry->RegSetValueExW(FKey, name.c_str(), REG_SZ,
                                     reinterpret_cast<const std::uint8_t*>(value.c_str()),
                                     std::uint32_t(bytes)) == std::int32_t(ERROR_SUCCESS);
}

bool TRegistryKey::DeleteValue(std::u16string_view Name) {
    const std::u16string name(Name);
    return FRegistry->RegDeleteValueW(FKey, name.c_str()) == std::int32_t(ERROR_SUCCESS);
}

} // namespace tarnwick
