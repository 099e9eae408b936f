#pragma once
// An in-memory registry for the registry seam: keys under the predefined roots, values with their type
// and bytes, roots that refuse access, and a record of every call.

#include <cstdint>
#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/PlatformConstants.h"
#include "core/Text.h"
#include "platform/RegistryPlatform.h"

namespace tarnwick::testing {

class FakeRegistryPlatform : public IRegistryPlatform {
public:
    struct Value {
        std::uint32_t Type;
        std::vector<std::uint8_t> Data;
    };
    struct Call {
        std::string Function;
        RegKey Root;
        std::u16string Path; // of the key the call works on
        std::u16string Name; // value name, or the sub-key for open and create
        std::uint32_t Access;
    };

    std::set<RegKey> DeniedRoots; // opening or creating any key under these fails
    // This many value writes succeed, and every later one fails with ERROR_ACCESS_DENIED (none: all succeed).
    std::optional<std::size_t> WritesBeforeRefusal;
    bool RefuseDeletes = false; // every value deletion fails with ERROR_ACCESS_DENIED
    std::vector<Call> Calls;

    // Test-side access to the stored state.
    void PutString(RegKey root, const std::u16string& path, const std::u16string& name,
                   const std::u16string& text, std::uint32_t type = REG_SZ) {
        std::vector<std::uint8_t> data((text.size() + 1) * 2);
        std::memcpy(data.data(), text.c_str(), data.size());
        Keys[{root, UpperAscii(path)}][UpperAscii(name)] = Value{type, data};
    }
    void PutValue(RegKey root, const std::u16string& path, const std::u16string& name, Value value) {
        Keys[{root, UpperAscii(path)}][UpperAscii(name)] = std::move(value);
    }
    bool KeyExists(RegKey root, const std::u16string& path) const {
        return Keys.count({root, UpperAscii(path)}) != 0;
    }
    std::optional<Value> Get(RegKey root, const std::u16string& path, const std::u16string& name) const {
        const auto key = Keys.find({root, UpperAscii(path)});
        if (key == Keys.end()) {
            return std::nullopt;
        }
        const auto value = key->second.find(UpperAscii(name));
        if (value == key->second.end()) {
            return std::nullopt;
        }
        return value->second;
    }
    std::optional<std::u16string> GetString(RegKey root, const std::u16string& path,
                                            const std::u16string& name) const {
        const auto value = Get(root, path, name);
        if (!value) {
            return std::nullopt;
        }
        std::u16string text(value->Data.size() / 2, u'\0');
        std::memcpy(text.data(), value->Data.data(), text.size() * 2);
        if (!text.empty() && text.back() == u'\0') {
            text.pop_back();
        }
        return text;
    }
    std::size_t CountCalls(const std::string& function) const {
        std::size_t n = 0;
        for (const Call& call : Calls) {
            n += call.Function == function;
        }
        return n;
    }
    std::size_t OpenHandles() const { return Handles.size(); }

    std::int32_t RegOpenKeyExW(RegKey key, const char16_t* subKey, std::uint32_t, std::uint32_t sam,
                               RegKey& result) override {
        Calls.push_back({"RegOpenKeyExW", key, u"", subKey, sam});
        if (DeniedRoots.count(key)) {
            return std::int32_t(ERROR_ACCESS_DENIED);
        }
        if (!KeyExists(key, subKey)) {
            return std::int32_t(ERROR_FILE_NOT_FOUND);
        }
        result = NewHandle(key, subKey);
        return std::int32_t(ERROR_SUCCESS);
    }
    std::int32_t RegCreateKeyExW(RegKey key, const char16_t* subKey, std::uint32_t, std::uint32_t sam,
                                 RegKey& result, std::uint32_t* disposition) override {
        Calls.push_back({"RegCreateKeyExW", key, u"", subKey, sam});
        if (DeniedRoots.count(key)) {
            return std::int32_t(ERROR_ACCESS_DENIED);
        }
        const bool existed = KeyExists(key, subKey);
        Keys[{key, UpperAscii(subKey)}];
        if (disposition) {
            *disposition = existed ? 2 : 1;
        }
        result = NewHandle(key, subKey);
        return std::int32_t(ERROR_SUCCESS);
    }
    std::int32_t RegQueryValueExW(RegKey key, const char16_t* name, std::uint32_t* type, std::uint8_t* data,
                                  std::uint32_t* size) override {
        const auto& [root, path] = Handles.at(key);
        Calls.push_back({"RegQueryValueExW", root, path, name, 0});
        const auto value = Get(root, path, name);
        if (!value) {
            return std::int32_t(ERROR_FILE_NOT_FOUND);
        }
        if (type) {
            *type = value->Type;
        }
        const auto needed = std::uint32_t(value->Data.size());
        if (data && size && *size < needed) {
            *size = needed;
            return std::int32_t(ERROR_MORE_DATA);
        }
        if (data) {
            std::memcpy(data, value->Data.data(), needed);
        }
        if (size) {
            *size = needed;
        }
        return std::int32_t(ERROR_SUCCESS);
    }
    std::int32_t RegSetValueExW(RegKey key, const char16_t* name, std::uint32_t type,
                                const std::uint8_t* data, std::uint32_t size) override {
        const auto& [root, path] = Handles.at(key);
        Calls.push_back({"RegSetValueExW", root, path, name, 0});
        if (WritesBeforeRefusal && CountCalls("RegSetValueExW") > *WritesBeforeRefusal) {
            return std::int32_t(ERROR_ACCESS_DENIED);
        }
        PutValue(root, path, name, Value{type, std::vector<std::uint8_t>(data, data + size)});
        return std::int32_t(ERROR_SUCCESS);
    }
    std::int32_t RegDeleteValueW(RegKey key, const char16_t* name) override {
        const auto& [root, path] = Handles.at(key);
        Calls.push_back({"RegDeleteValueW", root, path, name, 0});
        if (RefuseDeletes) {
            return std::int32_t(ERROR_ACCESS_DENIED);
        }
        auto& values = Keys[{root, UpperAscii(path)}];
        return values.erase(UpperAscii(name)) ? std::int32_t(ERROR_SUCCESS)
                                              : std::int32_t(ERROR_FILE_NOT_FOUND);
    }
    std::int32_t RegCloseKey(RegKey key) override {
        Calls.push_back({"RegCloseKey", 0, u"", u"", 0});
        return Handles.erase(key) ? std::int32_t(ERROR_SUCCESS) : std::int32_t(ERROR_INVALID_HANDLE);
    }

private:
    RegKey NewHandle(RegKey root, const std::u16string& path) {
        const RegKey handle = NextHandle++;
        Handles[handle] = {root, path};
        return handle;
    }

    std::map<std::pair<RegKey, std::u16string>, std::map<std::u16string, Value>> Keys;
    std::map<RegKey, std::pair<RegKey, std::u16string>> Handles;
    RegKey NextHandle = 0x100;
};

} // namespace tarnwick::testing
