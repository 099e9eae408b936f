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

void LoadMachine(TDeviceSimulator& simulator, std::string_view text) {
    std::size_t number = 0;
    DEVINST current = 0;
    std::vector<std::pair<DEVINST, std::u16string>> parents;
    std::vector<std::pair<std::uint32_t, std::vector<std::u16string>>> multi; // of the current device
    auto flushMulti = [&] {
        for (const auto& [property, strings] : multi) {
            simulator.SetMultiText(current, property, strings);
        }
        multi.clear();
    };
    // The message is made of its parts: the line and what is wrong with it.
    auto fail = [&](std::initializer_list<std::string_view> why) {
        std::string message = "machine file line " + std::to_string(number) + ": ";
        for (const std::string_view part : why) {
            message.append(part);
        }
        throw std::runtime_error(message);
    };
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view line = Trim(text.substr(start, end - start));
        start = end + 1;
        ++number;
        if (line.empty() || line[0] == '#') {
            continue;
        }
        const auto [key, rest] = Word(line);
        if (key == "device") {
            flushMulti();
            if (rest.empty()) {
                fail({"a device needs an instance ID"});
            }
            current = simulator.AddDevice(FromUtf8(rest), Guid{});
            simulator.RemoveProperty(current, SPDRP_CLASSGUID);
            continue;
        }
        if (key == "fault") {
            const auto [call, more] = Word(rest);
            const auto [error, device] = Word(more);
            std::size_t index = 0;
            while (index < std::size(CallNames) && call != CallNames[index]) {
                ++index;
            }
            if (index == std::size(CallNames)) {
                fail({"unknown call ", call});
            }
            DEVINST only = 0;
            if (!device.empty()) {
                const SimDevice* target = simulator.FindDevice(FromUtf8(device));
                if (target == nullptr) {
                    fail({"no such device ", device});
                }
                only = target->DevInst;
            }
            simulator.SetFault(static_cast<SimCall>(index), Number(error, number), only);
            continue;
        }
        if (current == 0) {
            fail({"'", key, "' outside a device"});
        }
        SimDevice& device = simulator.Device(current);
        if (key == "class") {
            Guid guid{};
            if (!TextToGuid(FromUtf8(rest), guid)) {
                fail({"not a class GUID: ", rest});
            }
            device.ClassGuid = guid;
            simulator.SetText(current, SPDRP_CLASSGUID, GuidToText(guid));
        } else if (key == "parent") {
            parents.emplace_back(current, FromUtf8(rest));
        } else if (key == "status") {
            device.Status = Number(rest, number);
        } else if (key == "problem") {
            device.Problem = Number(rest, number);
        } else if (key == "phantom") {
            device.Present = false;
        } else if (key == "text" || key == "multi" || key == "dword") {
            const auto [code, value] = Word(rest);
            const std::uint32_t property = Number(code, number);
            if (property >= device.Properties.size()) {
                fail({"no such property ", code});
            }
            if (key == "text") {
                simulator.SetText(current, property, FromUtf8(value));
            } else if (key == "dword") {
                simulator.SetDword(current, property, Number(value, number));
            } else {
                auto entry =
                    std::find_if(multi.begin(), multi.end(), [&](auto& m) { return m.first == property; });
                if (entry == multi.end()) {
                    multi.emplace_back(property, std::vector<std::u16string>{});
                    entry = multi.end() - 1;
                }
                entry->second.push_back(FromUtf8(value));
            }
        } else if (key == "interface") {
            const auto [guidText, path] = Word(rest);
            Guid guid{};
            if (!TextToGuid(FromUtf8(guidText), guid)) {
                fail({"not an interface GUID: ", guidText});
            }
            device.Interfaces.push_back({guid, FromUtf8(path)});
        } else if (key == "bus") {
            device.StorageBusType = Number(rest, number);
        } else if (key == "refuse") {
            device.RefuseChangeError = Number(rest, number);
        } else if (key == "installparams-fail") {
            device.FailInstallParams = true;
            device.InstallParamsError = Number(rest, number);
        } else if (key == "reboot") {
            device.RequestReboot = true;
        } else if (key == "restarts") {
            device.RestartCount = Number(rest, number);
        } else {
            fail({"unknown entry ", key});
        }
    }
    flushMulti();
    for (const auto& [child, parentName] : parents) {
        const SimDevice* parent = simulator.FindDevice(parentName);
        if (parent == nullptr) {
            throw std::runtime_error("machine file: no parent " + ToUtf8(parentName));
        }
        simulator.Device(child).Parent = parent->DevInst;
    }
}

std::string SaveMachine(const TDeviceSimulator& simulator) {
    std::string out = "# Simulated machine: one device node per block\n";
    const auto line = [&out](std::string_view key, std::string_view value) {
        out.append("  ").append(key).append(" ").append(value).append("\n");
    };
    const auto hex = [](std::uint32_t value) {
        char text[16];
        std::snprintf(text, sizeof text, "0x%X", unsigned(value));
        return std::string(text);
    };
    for (const SimDevice& d : simulator.Devices()) {
        out.append("device ").append(ToUtf8(d.InstanceId)).append("\n");
        line("class", ToUtf8(GuidToText(d.ClassGuid)));
        if (d.Parent != 0) {
            line("parent", ToUtf8(simulator.Device(d.Parent).InstanceId));
        }
        line("status", hex(d.Status));
        line("problem", std::to_string(d.Problem));
        if (!d.Present) {
            out.append("  phantom\n");
        }
        for (std::uint32_t code = 0; code < d.Properties.size(); ++code) {
            const SimProperty& p = d.Properties[code];
            if (!p.Present || code == SPDRP_CLASSGUID) {
                continue;
            }
            const std::string number = std::to_string(code) + " ";
            if (p.Type == REG_DWORD && p.Bytes.size() == 4) {
                std::uint32_t value;
                std::memcpy(&value, p.Bytes.data(), 4);
                line("dword", number + hex(value));
            } else if (p.Type == REG_MULTI_SZ) {
                const std::u16string all = TextOf(p);
                std::size_t start = 0;
                while (start < all.size() && all[start] != u'\0') {
                    const std::size_t end = all.find(u'\0', start);
                    line("multi", number + ToUtf8(all.substr(start, end - start)));
                    start = end + 1;
                }
            } else {
                std::u16string text = TextOf(p);
                text.resize(std::min(text.size(), text.find(u'\0')));
                line("text", number + ToUtf8(text));
            }
        }
        for (const SimInterface& itf : d.Interfaces) {
            line("interface", ToUtf8(GuidToText(itf.InterfaceClass)) + " " + ToUtf8(itf.DevicePath));
        }
        if (d.StorageBusType != 0) {
            line("bus", std::to_string(d.StorageBusType));
        }
        if (d.RefuseChangeError != 0) {
            line("refuse", std::to_string(d.RefuseChangeError));
        }
        if (d.FailInstallParams) {
            line("installparams-fail", std::to_string(d.InstallParamsError));
        }
        if (d.RequestReboot) {
            out.append("  reboot\n");
        }
        if (d.RestartCount != 0) {
            line("restarts", std::to_string(d.RestartCount));
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
