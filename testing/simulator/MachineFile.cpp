#include "simulator/MachineFile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/PlatformConstants.h"
#include "core/Text.h"

namespace tarnwick::sim {

namespace {

constexpr const char* CallNames[] = {
    "GetClassDevs",
    "EnumDeviceInfo",
    "GetDeviceInstanceId",
    "GetDeviceRegistryProperty",
    "EnumDeviceInterfaces",
    "GetDeviceInterfaceDetail",
    "SetClassInstallParams",
    "CallClassInstaller",
    "GetDeviceInstallParams",
    "GetDevNodeStatus",
    "GetParent",
    "GetDeviceIdEx",
    "CreateFile",
    "DeviceIoControl",
    "FindFirstVolume",
    "FindVolumeClose",
    "GetVolumePathNames",
};
static_assert(std::size(CallNames) == static_cast<std::size_t>(SimCall::Count));

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

// Splits "word rest" at the first blank.
std::pair<std::string_view, std::string_view> Word(std::string_view text) {
    const auto blank = text.find(' ');
    if (blank == std::string_view::npos) {
        return {text, {}};
    }
    return {text.substr(0, blank), Trim(text.substr(blank + 1))};
}

std::uint32_t Number(std::string_view text, std::size_t line) {
    const std::string digits(text);
    try {
        std::size_t used = 0;
        const unsigned long value = std::stoul(digits, &used, 0);
        if (used == digits.size()) {
            return static_cast<std::uint32_t>(value);
        }
    } catch (const std::exception&) {
    }
    throw std::runtime_error("machine file line " + std::to_string(line) + ": not a number: " + digits);
}

std::u16string TextOf(const SimProperty& property) {
    std::u16string text(property.Bytes.size() / 2, u'\0');
    std::memcpy(text.data(), property.Bytes.data(), text.size() * 2);
    return text;
}

} // namespace

const char* SimCallName(SimCall call) {
    return CallNames[static_cast<std::size_t>(call)];
}

namespace {

// What a key's reader works on: the device of the block, its multi-strings gathered until the block
// ends, and the parents named (resolved once every device is known).
struct TLoading {
    explicit TLoading(TDeviceSimulator& simulator) : Simulator(simulator) {}

    TDeviceSimulator& Simulator;
    DEVINST Current = 0;
    std::size_t Line = 0;
    std::vector<std::pair<DEVINST, std::u16string>> Parents;
    std::vector<std::pair<std::uint32_t, std::vector<std::u16string>>> Multi;

    SimDevice& Device() { return Simulator.Device(Current); }
    // The message is made of its parts: the line and what is wrong with it.
    [[noreturn]] void Fail(std::initializer_list<std::string_view> why) const {
        std::string message = "machine file line " + std::to_string(Line) + ": ";
        for (const std::string_view part : why) {
            message.append(part);
        }
        throw std::runtime_error(message);
    }
    std::uint32_t Number(std::string_view text) const { return sim::Number(text, Line); }
    void FlushMulti() {
        for (const auto& [property, strings] : Multi) {
            Simulator.SetMultiText(Current, property, strings);
        }
        Multi.clear();
    }
};

// Where a key's writer puts its lines.
struct TSaving {
    const TDeviceSimulator& Simulator;
    std::string& Out;

    void Line(std::string_view key, std::string_view value = {}) {
        Out.append("  ").append(key);
        if (!value.empty()) {
            Out.append(" ").append(value);
        }
        Out.append("\n");
    }
};

std::string Hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", unsigned(value));
    return text;
}

// One key of a device block: how it is read from its line and written back. The table below is the
// file's one description of a device, so that every key read is also written.
struct TDeviceKey {
    std::string_view Name;
    void (*Load)(TLoading& loading, std::string_view rest);
    // Writes the key's lines for a device (none when it has nothing to say); null for keys another
    // key's writer covers.
    void (*Save)(TSaving& saving, std::string_view key, const SimDevice& device);
};

// A key that is there or not.
template <bool SimDevice::*Flag> void LoadFlag(TLoading& loading, std::string_view) {
    loading.Device().*Flag = true;
}
template <bool SimDevice::*Flag>
void SaveFlag(TSaving& saving, std::string_view key, const SimDevice& device) {
    if (device.*Flag) {
        saving.Line(key);
    }
}

// A number, written in hexadecimal or decimal, always or only when it is not 0.
template <std::uint32_t SimDevice::*Field> void LoadNumber(TLoading& loading, std::string_view rest) {
    loading.Device().*Field = loading.Number(rest);
}
template <std::uint32_t SimDevice::*Field, bool Hexadecimal, bool Always>
void SaveNumber(TSaving& saving, std::string_view key, const SimDevice& device) {
    const std::uint32_t value = device.*Field;
    if (Always || value != 0) {
        saving.Line(key, Hexadecimal ? Hex(value) : std::to_string(value));
    }
}

void LoadClass(TLoading& loading, std::string_view rest) {
    Guid guid{};
    if (!TextToGuid(FromUtf8(rest), guid)) {
        loading.Fail({"not a class GUID: ", rest});
    }
    loading.Device().ClassGuid = guid;
    loading.Simulator.SetText(loading.Current, SPDRP_CLASSGUID, GuidToText(guid));
}
void SaveClass(TSaving& saving, std::string_view key, const SimDevice& device) {
    saving.Line(key, ToUtf8(GuidToText(device.ClassGuid)));
}

void LoadParent(TLoading& loading, std::string_view rest) {
    loading.Parents.emplace_back(loading.Current, FromUtf8(rest));
}
void SaveParent(TSaving& saving, std::string_view key, const SimDevice& device) {
    if (device.Parent != 0) {
        saving.Line(key, ToUtf8(saving.Simulator.Device(device.Parent).InstanceId));
    }
}

// "text", "multi" and "dword": a property code, then its value.
std::uint32_t PropertyCode(TLoading& loading, std::string_view code) {
    const std::uint32_t property = loading.Number(code);
    if (property >= loading.Device().Properties.size()) {
        loading.Fail({"no such property ", code});
    }
    return property;
}
void LoadText(TLoading& loading, std::string_view rest) {
    const auto [code, value] = Word(rest);
    loading.Simulator.SetText(loading.Current, PropertyCode(loading, code), FromUtf8(value));
}
void LoadDword(TLoading& loading, std::string_view rest) {
    const auto [code, value] = Word(rest);
    loading.Simulator.SetDword(loading.Current, PropertyCode(loading, code), loading.Number(value));
}
void LoadMulti(TLoading& loading, std::string_view rest) {
    const auto [code, value] = Word(rest);
    const std::uint32_t property = PropertyCode(loading, code);
    auto entry = std::find_if(loading.Multi.begin(), loading.Multi.end(),
                              [&](auto& m) { return m.first == property; });
    if (entry == loading.Multi.end()) {
        loading.Multi.emplace_back(property, std::vector<std::u16string>{});
        entry = loading.Multi.end() - 1;
    }
    entry->second.push_back(FromUtf8(value));
}
// Every property but the class (written by its own key), in code order, each by the key of its type.
void SaveProperties(TSaving& saving, std::string_view, const SimDevice& device) {
    for (std::uint32_t code = 0; code < device.Properties.size(); ++code) {
        const SimProperty& p = device.Properties[code];
        if (!p.Present || code == SPDRP_CLASSGUID) {
            continue;
        }
        const std::string number = std::to_string(code) + " ";
        if (p.Type == REG_DWORD && p.Bytes.size() == 4) {
            std::uint32_t value;
            std::memcpy(&value, p.Bytes.data(), 4);
            saving.Line("dword", number + Hex(value));
        } else if (p.Type == REG_MULTI_SZ) {
            const std::u16string all = TextOf(p);
            std::size_t start = 0;
            while (start < all.size() && all[start] != u'\0') {
                const std::size_t end = all.find(u'\0', start);
                saving.Line("multi", number + ToUtf8(all.substr(start, end - start)));
                start = end + 1;
            }
        } else {
            std::u16string text = TextOf(p);
            text.resize(std::min(text.size(), text.find(u'\0')));
            saving.Line("text", number + ToUtf8(text));
        }
    }
}

void LoadInterface(TLoading& loading, std::string_view rest) {
    const auto [guidText, path] = Word(rest);
    Guid guid{};
    if (!TextToGuid(FromUtf8(guidText), guid)) {
        loading.Fail({"not an interface GUID: ", guidText});
    }
    loading.Device().Interfaces.push_back({guid, FromUtf8(path)});
}
void SaveInterfaces(TSaving& saving, std::string_view key, const SimDevice& device) {
    for (const SimInterface& itf : device.Interfaces) {
        saving.Line(key, ToUtf8(GuidToText(itf.InterfaceClass)) + " " + ToUtf8(itf.DevicePath));
    }
}

void LoadInstallParamsFailure(TLoading& loading, std::string_view rest) {
    loading.Device().FailInstallParams = true;
    loading.Device().InstallParamsError = loading.Number(rest);
}
void SaveInstallParamsFailure(TSaving& saving, std::string_view key, const SimDevice& device) {
    if (device.FailInstallParams) {
        saving.Line(key, std::to_string(device.InstallParamsError));
    }
}

constexpr TDeviceKey DeviceKeys[] = {
    {"class", LoadClass, SaveClass},
    {"parent", LoadParent, SaveParent},
    {"status", LoadNumber<&SimDevice::Status>, SaveNumber<&SimDevice::Status, true, true>},
    {"problem", LoadNumber<&SimDevice::Problem>, SaveNumber<&SimDevice::Problem, false, true>},
    {"disabled-global", LoadFlag<&SimDevice::DisabledGlobally>, SaveFlag<&SimDevice::DisabledGlobally>},
    {"disabled-profile", LoadFlag<&SimDevice::DisabledInProfile>, SaveFlag<&SimDevice::DisabledInProfile>},
    {"problem-behind-disable", LoadNumber<&SimDevice::ProblemBehindDisable>,
     SaveNumber<&SimDevice::ProblemBehindDisable, false, false>},
    {"phantom", [](TLoading& loading, std::string_view) { loading.Device().Present = false; },
     [](TSaving& saving, std::string_view key, const SimDevice& device) {
         if (!device.Present) {
             saving.Line(key);
         }
     }},
    {"text", LoadText, SaveProperties},
    {"multi", LoadMulti, nullptr},
    {"dword", LoadDword, nullptr},
    {"interface", LoadInterface, SaveInterfaces},
    {"bus", LoadNumber<&SimDevice::StorageBusType>, SaveNumber<&SimDevice::StorageBusType, false, false>},
    {"refuse", LoadNumber<&SimDevice::RefuseChangeError>,
     SaveNumber<&SimDevice::RefuseChangeError, false, false>},
    {"installparams-fail", LoadInstallParamsFailure, SaveInstallParamsFailure},
    {"reboot", LoadFlag<&SimDevice::RequestReboot>, SaveFlag<&SimDevice::RequestReboot>},
    {"restarts", LoadNumber<&SimDevice::RestartCount>, SaveNumber<&SimDevice::RestartCount, false, false>},
};

void LoadFault(TLoading& loading, std::string_view rest) {
    const auto [call, more] = Word(rest);
    const auto [error, device] = Word(more);
    std::size_t index = 0;
    while (index < std::size(CallNames) && call != CallNames[index]) {
        ++index;
    }
    if (index == std::size(CallNames)) {
        loading.Fail({"unknown call ", call});
    }
    DEVINST only = 0;
    if (!device.empty()) {
        const SimDevice* target = loading.Simulator.FindDevice(FromUtf8(device));
        if (target == nullptr) {
            loading.Fail({"no such device ", device});
        }
        only = target->DevInst;
    }
    loading.Simulator.SetFault(static_cast<SimCall>(index), loading.Number(error), only);
}

} // namespace

void LoadMachine(TDeviceSimulator& simulator, std::string_view text) {
    TLoading loading(simulator);
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view line = Trim(text.substr(start, end - start));
        start = end + 1;
        ++loading.Line;
        if (line.empty() || line[0] == '#') {
            continue;
        }
        const auto [key, rest] = Word(line);
        if (key == "device") {
            loading.FlushMulti();
            if (rest.empty()) {
                loading.Fail({"a device needs an instance ID"});
            }
            loading.Current = simulator.AddDevice(FromUtf8(rest), Guid{});
            simulator.RemoveProperty(loading.Current, SPDRP_CLASSGUID);
            continue;
        }
        if (key == "fault") {
            LoadFault(loading, rest);
            continue;
        }
        if (loading.Current == 0) {
            loading.Fail({"'", key, "' outside a device"});
        }
        const auto row = std::find_if(std::begin(DeviceKeys), std::end(DeviceKeys),
                                      [name = key](const TDeviceKey& k) { return k.Name == name; });
        if (row == std::end(DeviceKeys)) {
            loading.Fail({"unknown entry ", key});
        }
        row->Load(loading, rest);
    }
    loading.FlushMulti();
    for (const auto& [child, parentName] : loading.Parents) {
        const SimDevice* parent = simulator.FindDevice(parentName);
        if (parent == nullptr) {
            throw std::runtime_error("machine file: no parent " + ToUtf8(parentName));
        }
        simulator.Device(child).Parent = parent->DevInst;
    }
    simulator.RecordDisables();
}

std::string SaveMachine(const TDeviceSimulator& simulator) {
    std::string out = "# Simulated machine: one device node per block\n";
    TSaving saving{simulator, out};
    for (const SimDevice& d : simulator.Devices()) {
        out.append("device ").append(ToUtf8(d.InstanceId)).append("\n");
        for (const TDeviceKey& key : DeviceKeys) {
            if (key.Save != nullptr) {
                key.Save(saving, key.Name, d);
            }
        }
    }
    for (std::size_t i = 0; i < static_cast<std::size_t>(SimCall::Count); ++i) {
        const SimFault& fault = simulator.Fault(static_cast<SimCall>(i));
        if (fault.Active) {
            out.append("fault ").append(CallNames[i]).append(" ").append(std::to_string(fault.Error));
            if (fault.OnlyFor != 0) {
                out.append(" ").append(ToUtf8(simulator.Device(fault.OnlyFor).InstanceId));
            }
            out.append("\n");
        }
    }
    return out;
}

} // namespace tarnwick::sim
