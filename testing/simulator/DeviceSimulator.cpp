#include "simulator/DeviceSimulator.h"

#include <cstring>
#include <stdexcept>

#include "core/PlatformConstants.h"
#include "core/Text.h"

namespace tarnwick::sim {

namespace {

constexpr std::uint32_t ERROR_NO_DEVICE_SELECTED_OR_PARAMS = 0xE0000211; // no class install params set
constexpr std::uint32_t ERROR_INVALID_FUNCTION = 1;
constexpr std::uint32_t ERROR_DI_BAD_PATH = 0xE0000214;
constexpr std::uint32_t ERROR_NO_MORE_FILES = 18;
constexpr std::uint32_t ERROR_FILENAME_EXCED_RANGE = 206;
constexpr std::uint32_t ERROR_MOD_NOT_FOUND = 126;
constexpr std::uint32_t ERROR_PROC_NOT_FOUND = 127;
constexpr std::uint32_t ERROR_MORE_DATA = 234;
constexpr std::uint32_t ERROR_INVALID_NAME = 123;

std::vector<std::uint8_t> TextBytes(std::u16string_view text, bool multi) {
    std::u16string withNul(text);
    withNul += u'\0';
    if (multi) {
        withNul += u'\0';
    }
    std::vector<std::uint8_t> bytes(withNul.size() * 2);
    std::memcpy(bytes.data(), withNul.data(), bytes.size());
    return bytes;
}

} // namespace

DEVINST TDeviceSimulator::AddDevice(std::u16string instanceId, const Guid& classGuid, DEVINST parent) {
    SimDevice device;
    device.DevInst = static_cast<DEVINST>(FDevices.size() + 1);
    device.InstanceId = std::move(instanceId);
    device.ClassGuid = classGuid;
    device.Status = DN_DRIVER_LOADED | DN_STARTED | DN_DISABLEABLE;
    device.Parent = parent;
    const DEVINST devInst = device.DevInst;
    FDevices.push_back(std::move(device));
    SetText(devInst, SPDRP_CLASSGUID, GuidToText(classGuid));
    return devInst;
}

SimDevice& TDeviceSimulator::Device(DEVINST devInst) {
    if (devInst == 0 || devInst > FDevices.size()) {
        throw std::out_of_range("no such simulated device");
    }
    return FDevices[devInst - 1];
}

const SimDevice& TDeviceSimulator::Device(DEVINST devInst) const {
    return const_cast<TDeviceSimulator*>(this)->Device(devInst);
}

SimDevice* TDeviceSimulator::FindDevice(std::u16string_view instanceId) {
    for (auto& device : FDevices) {
        if (SameTextAscii(device.InstanceId, instanceId)) {
            return &device;
        }
    }
    return nullptr;
}

void TDeviceSimulator::SetProperty(DEVINST devInst, std::uint32_t property, std::uint32_t type,
                                   std::vector<std::uint8_t> bytes) {
    SimProperty& p = Device(devInst).Properties.at(property);
    p.Present = true;
    p.Type = type;
    p.Bytes = std::move(bytes);
}

void TDeviceSimulator::SetText(DEVINST devInst, std::uint32_t property, std::u16string_view text) {
    SetProperty(devInst, property, REG_SZ, TextBytes(text, false));
}

void TDeviceSimulator::SetMultiText(DEVINST devInst, std::uint32_t property,
                                    const std::vector<std::u16string>& texts) {
    std::u16string joined;
    for (const auto& text : texts) {
        joined += text;
        joined += u'\0';
    }
    SetProperty(devInst, property, REG_MULTI_SZ, TextBytes(joined, false));
}

void TDeviceSimulator::SetDword(DEVINST devInst, std::uint32_t property, std::uint32_t value) {
    std::vector<std::uint8_t> bytes(4);
    std::memcpy(bytes.data(), &value, 4);
    SetProperty(devInst, property, REG_DWORD, std::move(bytes));
}

void TDeviceSimulator::RemoveProperty(DEVINST devInst, std::uint32_t property) {
    Device(devInst).Properties.at(property) = SimProperty{};
}

void TDeviceSimulator::Disable(DEVINST devInst) {
    SimDevice& d = Device(devInst);
    d.DisabledGlobally = true;
    ApplyDisables(d);
}

void TDeviceSimulator::DisableInProfile(DEVINST devInst) {
    SimDevice& d = Device(devInst);
    d.DisabledInProfile = true;
    ApplyDisables(d);
}

void TDeviceSimulator::Enable(DEVINST devInst) {
    SimDevice& d = Device(devInst);
    d.DisabledGlobally = false;
    d.DisabledInProfile = false;
    ApplyDisables(d);
}

void TDeviceSimulator::ApplyDisables(SimDevice& d) {
    if (d.DisabledGlobally || d.DisabledInProfile) {
        if (d.Problem != CM_PROB_DISABLED) {
            d.ProblemBehindDisable = d.Problem;
        }
        d.Problem = CM_PROB_DISABLED;
        d.Status = (d.Status & ~DN_STARTED) | DN_HAS_PROBLEM;
    } else if (d.Problem == CM_PROB_DISABLED) {
        // Enabling clears the disable and nothing else: a device without a driver (problem 28) or one
        // that failed to start has that problem again (devcon's "enable" reports such a device as not
        // started; enabling installs no driver).
        d.Problem = d.ProblemBehindDisable;
        d.ProblemBehindDisable = 0;
        d.Status = d.Problem == 0 ? (d.Status | DN_STARTED) & ~DN_HAS_PROBLEM : d.Status | DN_HAS_PROBLEM;
    }
}

void TDeviceSimulator::RecordDisables() {
    for (SimDevice& d : FDevices) {
        if (d.Problem == CM_PROB_DISABLED && !d.DisabledGlobally && !d.DisabledInProfile) {
            d.DisabledGlobally = true;
        }
    }
}

bool TDeviceSimulator::IsPresent(const SimDevice& device) const {
    if (!device.Present) {
        return false;
    }
    // Windows removes the children of a device it disables, and their children, until the device is
    // enabled again (Microsoft docs, "Disabling a device": its child devices are removed). The walk up
    // is bounded, so that a machine file with a loop of parents cannot hang it.
    DEVINST parent = device.Parent;
    for (std::size_t steps = 0; parent != 0 && parent <= FDevices.size() && steps < FDevices.size();
         ++steps) {
        const SimDevice& p = FDevices[parent - 1];
        if (!p.Present || p.Problem == CM_PROB_DISABLED) {
            return false;
        }
        parent = p.Parent;
    }
    return true;
}

void TDeviceSimulator::SetFault(SimCall call, std::uint32_t error, DEVINST onlyFor,
                                std::uint32_t requiredSize) {
    FFaults[static_cast<std::size_t>(call)] = SimFault{true, error, onlyFor, requiredSize};
    FAnyFault = true;
}

void TDeviceSimulator::ClearFaults() {
    FFaults = {};
    FAnyFault = false;
}

std::size_t TDeviceSimulator::OpenSetCount() const {
    std::size_t count = 0;
    for (const auto& set : FSets) {
        count += set.Open ? 1 : 0;
    }
    return count;
}

bool TDeviceSimulator::Fails(SimCall call, DEVINST devInst) {
    ++FCallCounts[static_cast<std::size_t>(call)];
    if (!FAnyFault) {
        return false;
    }
    const SimFault& fault = FFaults[static_cast<std::size_t>(call)];
    return fault.Active && (fault.OnlyFor == 0 || fault.OnlyFor == devInst);
}

bool TDeviceSimulator::Fail(std::uint32_t error) {
    FLastError = error;
    return false;
}

TDeviceSimulator::SimSet* TDeviceSimulator::FindSet(HDEVINFO handle) {
    if (handle == 0 || handle > FSets.size() || !FSets[handle - 1].Open) {
        return nullptr;
    }
    return &FSets[handle - 1];
}

SimDevice* TDeviceSimulator::DeviceByInst(DEVINST devInst) {
    return (devInst == 0 || devInst > FDevices.size()) ? nullptr : &FDevices[devInst - 1];
}

SimDevice* TDeviceSimulator::DeviceOf(const SimSet& set, const SP_DEVINFO_DATA& data) {
    if (data.cbSize != sizeof(SP_DEVINFO_DATA) || data.Reserved >= set.Members.size() ||
        set.Members[data.Reserved] != data.DevInst) {
        return nullptr;
    }
    return DeviceByInst(data.DevInst);
}

HDEVINFO TDeviceSimulator::SetupDiGetClassDevsW(const Guid* ClassGuid, const char16_t*, std::uintptr_t,
                                                std::uint32_t Flags) {
    FClassDevsFlags.push_back(Flags);
    if (Fails(SimCall::GetClassDevs, 0)) {
        Fail(FFaults[static_cast<std::size_t>(SimCall::GetClassDevs)].Error);
        return InvalidHandleValue;
    }
    const bool allClasses = (Flags & DIGCF_ALLCLASSES) != 0;
    if (!allClasses && ClassGuid == nullptr) {
        Fail(ERROR_INVALID_PARAMETER);
        return InvalidHandleValue;
    }
    SimSet set;
    set.Open = true;
    for (const auto& device : FDevices) {
        // The class first: presence walks up the device's parents, and most devices are of other classes.
        if (Flags & DIGCF_DEVICEINTERFACE) {
            // An interface set holds the devices that expose an interface of the class.
            bool exposes = allClasses;
            for (const auto& itf : device.Interfaces) {
                exposes = exposes || (ClassGuid && itf.InterfaceClass == *ClassGuid);
            }
            if (!exposes) {
                continue;
            }
        } else if (!allClasses && !(device.ClassGuid == *ClassGuid)) {
            continue;
        }
        if ((Flags & DIGCF_PRESENT) && !IsPresent(device)) {
            continue;
        }
        set.Members.push_back(device.DevInst);
    }
    set.PendingParams.resize(set.Members.size());
    set.InstallFlags.resize(set.Members.size());
    FSets.push_back(std::move(set));
    FLastError = 0;
    return FSets.size();
}

bool TDeviceSimulator::SetupDiEnumDeviceInfo(HDEVINFO DeviceInfoSet, std::uint32_t MemberIndex,
                                             SP_DEVINFO_DATA& DeviceInfoData) {
    SimSet* set = FindSet(DeviceInfoSet);
    if (Fails(SimCall::EnumDeviceInfo, 0)) {
        return Fail(FFaults[static_cast<std::size_t>(SimCall::EnumDeviceInfo)].Error);
    }
    if (set == nullptr) {
        return Fail(ERROR_INVALID_HANDLE);
    }
    if (DeviceInfoData.cbSize != sizeof(SP_DEVINFO_DATA)) {
        return Fail(ERROR_INVALID_USER_BUFFER);
    }
    if (MemberIndex >= set->Members.size()) {
        return Fail(ERROR_NO_MORE_ITEMS);
    }
    const SimDevice& device = FDevices[set->Members[MemberIndex] - 1];
    DeviceInfoData.ClassGuid = device.ClassGuid;
    DeviceInfoData.DevInst = device.DevInst;
    DeviceInfoData.Reserved = MemberIndex;
    return true;
}

bool TDeviceSimulator::SetupDiGetDeviceInstanceIdW(HDEVINFO DeviceInfoSet,
                                                   const SP_DEVINFO_DATA& DeviceInfoData,
                                                   char16_t* DeviceInstanceId,
                                                   std::uint32_t DeviceInstanceIdSize,
                                                   std::uint32_t* RequiredSize) {
    SimSet* set = FindSet(DeviceInfoSet);
    SimDevice* device = set ? DeviceOf(*set, DeviceInfoData) : nullptr;
    if (Fails(SimCall::GetDeviceInstanceId, DeviceInfoData.DevInst)) {
        return Fail(FFaults[static_cast<std::size_t>(SimCall::GetDeviceInstanceId)].Error);
    }
    if (device == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    const auto needed = static_cast<std::uint32_t>(device->InstanceId.size() + 1);
    if (RequiredSize) {
        *RequiredSize = needed;
    }
    if (DeviceInstanceIdSize < needed || DeviceInstanceId == nullptr) {
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    }
    std::memcpy(DeviceInstanceId, device->InstanceId.c_str(), needed * sizeof(char16_t));
    return true;
}

bool TDeviceSimulator::SetupDiGetDeviceRegistryPropertyW(
    HDEVINFO DeviceInfoSet, const SP_DEVINFO_DATA& DeviceInfoData, std::uint32_t Property,
    std::uint32_t* PropertyRegDataType, std::uint8_t* PropertyBuffer, std::uint32_t PropertyBufferSize,
    std::uint32_t* RequiredSize) {
    SimSet* set = FindSet(DeviceInfoSet);
    SimDevice* device = set ? DeviceOf(*set, DeviceInfoData) : nullptr;
    if (Fails(SimCall::GetDeviceRegistryProperty, DeviceInfoData.DevInst)) {
        const SimFault& fault = FFaults[static_cast<std::size_t>(SimCall::GetDeviceRegistryProperty)];
        if (RequiredSize) {
            *RequiredSize = fault.RequiredSize;
        }
        return Fail(fault.Error);
    }
    if (device == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    if (Property >= device->Properties.size()) {
        return Fail(ERROR_INVALID_REG_PROPERTY);
    }
    const SimProperty& p = device->Properties[Property];
    if (!p.Present) {
        return Fail(ERROR_INVALID_DATA);
    }
    const auto size = static_cast<std::uint32_t>(p.Bytes.size());
    if (RequiredSize) {
        *RequiredSize = size;
    }
    if (PropertyRegDataType) {
        *PropertyRegDataType = p.Type;
    }
    if (PropertyBufferSize < size || PropertyBuffer == nullptr) {
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    }
    std::memcpy(PropertyBuffer, p.Bytes.data(), size);
    return true;
}

bool TDeviceSimulator::SetupDiEnumDeviceInterfaces(HDEVINFO DeviceInfoSet,
                                                   const SP_DEVINFO_DATA* DeviceInfoData,
                                                   const Guid& InterfaceClassGuid, std::uint32_t MemberIndex,
                                                   SP_DEVICE_INTERFACE_DATA& DeviceInterfaceData) {
    SimSet* set = FindSet(DeviceInfoSet);
    if (Fails(SimCall::EnumDeviceInterfaces, DeviceInfoData ? DeviceInfoData->DevInst : 0)) {
        return Fail(FFaults[static_cast<std::size_t>(SimCall::EnumDeviceInterfaces)].Error);
    }
    if (set == nullptr || DeviceInterfaceData.cbSize != sizeof(SP_DEVICE_INTERFACE_DATA)) {
        return Fail(set == nullptr ? ERROR_INVALID_HANDLE : ERROR_INVALID_USER_BUFFER);
    }
    // Walk the interfaces of the class, of one device or of every member; MemberIndex counts across them.
    std::uint32_t seen = 0;
    auto visit = [&](const SimDevice& device) {
        for (std::size_t i = 0; i < device.Interfaces.size(); ++i) {
            if (!(device.Interfaces[i].InterfaceClass == InterfaceClassGuid)) {
                continue;
            }
            if (seen++ == MemberIndex) {
                DeviceInterfaceData.InterfaceClassGuid = InterfaceClassGuid;
                DeviceInterfaceData.Flags = 1; // SPINT_ACTIVE
                DeviceInterfaceData.Reserved = (std::uintptr_t(device.DevInst) << 16) | i;
                return true;
            }
        }
        return false;
    };
    if (DeviceInfoData != nullptr) {
        SimDevice* device = DeviceOf(*set, *DeviceInfoData);
        if (device == nullptr) {
            return Fail(ERROR_INVALID_PARAMETER);
        }
        if (visit(*device)) {
            return true;
        }
    } else {
        for (DEVINST member : set->Members) {
            if (visit(FDevices[member - 1])) {
                return true;
            }
        }
    }
    return Fail(ERROR_NO_MORE_ITEMS);
}

bool TDeviceSimulator::SetupDiGetDeviceInterfaceDetailW(HDEVINFO DeviceInfoSet,
                                                        const SP_DEVICE_INTERFACE_DATA& DeviceInterfaceData,
                                                        void* DeviceInterfaceDetailData,
                                                        std::uint32_t DeviceInterfaceDetailDataSize,
                                                        std::uint32_t* RequiredSize,
                                                        SP_DEVINFO_DATA* DeviceInfoData) {
    SimSet* set = FindSet(DeviceInfoSet);
    const auto devInst = static_cast<DEVINST>(DeviceInterfaceData.Reserved >> 16);
    const std::size_t index = DeviceInterfaceData.Reserved & 0xFFFF;
    if (Fails(SimCall::GetDeviceInterfaceDetail, devInst)) {
        return Fail(FFaults[static_cast<std::size_t>(SimCall::GetDeviceInterfaceDetail)].Error);
    }
    SimDevice* device = DeviceByInst(devInst);
    if (set == nullptr || device == nullptr || index >= device->Interfaces.size()) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    const std::u16string& path = device->Interfaces[index].DevicePath;
    // SP_DEVICE_INTERFACE_DETAIL_DATA_W: a 4-byte cbSize (8 on 64-bit Windows), then the path.
    const auto needed = static_cast<std::uint32_t>(4 + (path.size() + 1) * sizeof(char16_t));
    if (RequiredSize) {
        *RequiredSize = needed;
    }
    if (DeviceInfoData) {
        if (DeviceInfoData->cbSize != sizeof(SP_DEVINFO_DATA)) {
            return Fail(ERROR_INVALID_USER_BUFFER);
        }
        DeviceInfoData->ClassGuid = device->ClassGuid;
        DeviceInfoData->DevInst = device->DevInst;
        DeviceInfoData->Reserved = 0;
        for (std::size_t m = 0; m < set->Members.size(); ++m) {
            if (set->Members[m] == devInst) {
                DeviceInfoData->Reserved = m;
            }
        }
    }
    if (DeviceInterfaceDetailData == nullptr) {
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    }
    std::uint32_t cbSize;
    std::memcpy(&cbSize, DeviceInterfaceDetailData, 4);
    if (cbSize != 8) {
        return Fail(ERROR_INVALID_USER_BUFFER);
    }
    if (DeviceInterfaceDetailDataSize < needed) {
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    }
    std::memcpy(static_cast<std::uint8_t*>(DeviceInterfaceDetailData) + 4, path.c_str(),
                (path.size() + 1) * sizeof(char16_t));
    return true;
}

bool TDeviceSimulator::SetupDiSetClassInstallParamsW(HDEVINFO DeviceInfoSet, SP_DEVINFO_DATA* DeviceInfoData,
                                                     const SP_CLASSINSTALL_HEADER* ClassInstallParams,
                                                     std::uint32_t ClassInstallParamsSize) {
    SimSet* set = FindSet(DeviceInfoSet);
    SimDevice* device = (set && DeviceInfoData) ? DeviceOf(*set, *DeviceInfoData) : nullptr;
    if (Fails(SimCall::SetClassInstallParams, DeviceInfoData ? DeviceInfoData->DevInst : 0)) {
        return Fail(FFaults[static_cast<std::size_t>(SimCall::SetClassInstallParams)].Error);
    }
    if (device == nullptr || ClassInstallParams == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    if (ClassInstallParams->cbSize != sizeof(SP_CLASSINSTALL_HEADER) ||
        ClassInstallParams->InstallFunction != DIF_PROPERTYCHANGE ||
        ClassInstallParamsSize != sizeof(SP_PROPCHANGE_PARAMS)) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    SP_PROPCHANGE_PARAMS params;
    std::memcpy(&params, ClassInstallParams, sizeof params);
    set->PendingParams[DeviceInfoData->Reserved] = params;
    FLastError = 0;
    return true;
}

bool TDeviceSimulator::SetupDiCallClassInstaller(std::uint32_t InstallFunction, HDEVINFO DeviceInfoSet,
                                                 SP_DEVINFO_DATA* DeviceInfoData) {
    SimSet* set = FindSet(DeviceInfoSet);
    SimDevice* device = (set && DeviceInfoData) ? DeviceOf(*set, *DeviceInfoData) : nullptr;
    if (Fails(SimCall::CallClassInstaller, DeviceInfoData ? DeviceInfoData->DevInst : 0)) {
        return Fail(FFaults[static_cast<std::size_t>(SimCall::CallClassInstaller)].Error);
    }
    if (device == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    if (InstallFunction != DIF_PROPERTYCHANGE) {
        return Fail(ERROR_DI_DO_DEFAULT);
    }
    const auto& pending = set->PendingParams[DeviceInfoData->Reserved];
    if (!pending) {
        return Fail(ERROR_NO_DEVICE_SELECTED_OR_PARAMS);
    }
    if (device->RefuseChangeError != 0) {
        return Fail(device->RefuseChangeError);
    }
    if (!ChangeState(*device, *pending, set->InstallFlags[DeviceInfoData->Reserved])) {
        return false;
    }
    FChanges.push_back({device->DevInst, pending->StateChange});
    FLastError = 0;
    if (OnDevicesChanged) {
        OnDevicesChanged();
    }
    return true;
}

// DIF_PROPERTYCHANGE as Windows' class installer carries it out (Microsoft docs: "DIF_PROPERTYCHANGE",
// "SP_PROPCHANGE_PARAMS"; devcon's enable and disable commands).
bool TDeviceSimulator::ChangeState(SimDevice& device, const SP_PROPCHANGE_PARAMS& params,
                                   std::uint32_t& installFlags) {
    // A device removed while the set holds it (a child of a device disabled meanwhile) has no device
    // node to change: Wine's conformance tests (dlls/setupapi/tests/devinst.c, test_device_info) show
    // ERROR_NO_SUCH_DEVINST for a device removed while a set holds it.
    if (!IsPresent(device)) {
        return Fail(ERROR_NO_SUCH_DEVINST);
    }
    if (params.StateChange == DICS_PROPCHANGE) {
        ++device.RestartCount;
    } else if (params.StateChange == DICS_ENABLE || params.StateChange == DICS_DISABLE) {
        // A change applies to one scope: globally, or for a hardware profile; only the current one (0)
        // is simulated. Other scopes are not valid for these changes.
        const bool profile = params.Scope == DICS_FLAG_CONFIGSPECIFIC;
        if (!profile && params.Scope != DICS_FLAG_GLOBAL) {
            return Fail(ERROR_INVALID_FLAGS);
        }
        if (profile && params.HwProfile != 0) {
            return Fail(ERROR_INVALID_HWPROFILE);
        }
        // Microsoft docs ("DN_DISABLEABLE", SetupDiChangeState): a device without DN_DISABLEABLE
        // refuses a disable with ERROR_NOT_DISABLEABLE.
        if (params.StateChange == DICS_DISABLE && (device.Status & DN_DISABLEABLE) == 0) {
            return Fail(ERROR_NOT_DISABLEABLE);
        }
        (profile ? device.DisabledInProfile : device.DisabledGlobally) = params.StateChange == DICS_DISABLE;
        // A change that needs a restart is recorded and asks for it (DI_NEEDREBOOT); the device keeps
        // running as it was until Windows restarts (Microsoft docs, "SP_DEVINSTALL_PARAMS": DI_NEEDREBOOT).
        if (!device.RequestReboot) {
            ApplyDisables(device);
        }
    } else {
        return Fail(ERROR_INVALID_CLASS_INSTALLER);
    }
    if (device.RequestReboot) {
        installFlags |= DI_NEEDREBOOT;
    }
    return true;
}

bool TDeviceSimulator::SetupDiGetDeviceInstallParamsW(HDEVINFO DeviceInfoSet, SP_DEVINFO_DATA* DeviceInfoData,
                                                      SP_DEVINSTALL_PARAMS_W& DeviceInstallParams) {
    SimSet* set = FindSet(DeviceInfoSet);
    SimDevice* device = (set && DeviceInfoData) ? DeviceOf(*set, *DeviceInfoData) : nullptr;
    if (Fails(SimCall::GetDeviceInstallParams, DeviceInfoData ? DeviceInfoData->DevInst : 0)) {
        return Fail(FFaults[static_cast<std::size_t>(SimCall::GetDeviceInstallParams)].Error);
    }
    if (device == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    if (DeviceInstallParams.cbSize != sizeof(SP_DEVINSTALL_PARAMS_W)) {
        return Fail(ERROR_INVALID_USER_BUFFER);
    }
    if (device->FailInstallParams) {
        return Fail(device->InstallParamsError);
    }
    const std::uint32_t cbSize = DeviceInstallParams.cbSize;
    DeviceInstallParams = SP_DEVINSTALL_PARAMS_W{};
    DeviceInstallParams.cbSize = cbSize;
    DeviceInstallParams.Flags = set->InstallFlags[DeviceInfoData->Reserved];
    return true;
}

bool TDeviceSimulator::SetupDiDestroyDeviceInfoList(HDEVINFO DeviceInfoSet) {
    SimSet* set = FindSet(DeviceInfoSet);
    if (set == nullptr) {
        return Fail(ERROR_INVALID_HANDLE);
    }
    *set = SimSet{};
    return true;
}

CONFIGRET TDeviceSimulator::CM_Get_DevNode_Status(std::uint32_t* pulStatus, std::uint32_t* pulProblemNumber,
                                                  DEVINST dnDevInst, std::uint32_t) {
    if (Fails(SimCall::GetDevNodeStatus, dnDevInst)) {
        return FFaults[static_cast<std::size_t>(SimCall::GetDevNodeStatus)].Error;
    }
    if (pulStatus == nullptr || pulProblemNumber == nullptr) {
        return CR_INVALID_POINTER;
    }
    const SimDevice* device = DeviceByInst(dnDevInst);
    if (device == nullptr) {
        return CR_INVALID_DEVNODE;
    }
    if (!IsPresent(*device)) {
        return CR_NO_SUCH_DEVINST; // a phantom has no device node: nothing is written
    }
    *pulStatus = device->Status;
    *pulProblemNumber = device->Problem;
    return CR_SUCCESS;
}

CONFIGRET TDeviceSimulator::CM_Get_Parent(DEVINST* pdnDevInst, DEVINST dnDevInst, std::uint32_t) {
    if (Fails(SimCall::GetParent, dnDevInst)) {
        return FFaults[static_cast<std::size_t>(SimCall::GetParent)].Error;
    }
    const SimDevice* device = DeviceByInst(dnDevInst);
    if (pdnDevInst == nullptr) {
        return CR_INVALID_POINTER;
    }
    if (device == nullptr) {
        return CR_INVALID_DEVNODE;
    }
    if (device->Parent == 0) {
        return CR_NO_SUCH_DEVNODE;
    }
    *pdnDevInst = device->Parent;
    return CR_SUCCESS;
}

CONFIGRET TDeviceSimulator::CM_Get_Device_ID_ExW(DEVINST dnDevInst, char16_t* Buffer, std::uint32_t BufferLen,
                                                 std::uint32_t, std::uintptr_t) {
    if (Fails(SimCall::GetDeviceIdEx, dnDevInst)) {
        return FFaults[static_cast<std::size_t>(SimCall::GetDeviceIdEx)].Error;
    }
    const SimDevice* device = DeviceByInst(dnDevInst);
    if (Buffer == nullptr) {
        return CR_INVALID_POINTER;
    }
    if (device == nullptr) {
        return CR_INVALID_DEVNODE;
    }
    if (BufferLen < device->InstanceId.size() + 1) {
        return CR_BUFFER_SMALL;
    }
    std::memcpy(Buffer, device->InstanceId.c_str(), (device->InstanceId.size() + 1) * sizeof(char16_t));
    return CR_SUCCESS;
}

HANDLE_T TDeviceSimulator::CreateFileW(const char16_t* FileName, std::uint32_t, std::uint32_t, std::uint32_t,
                                       std::uint32_t) {
    const std::u16string name = FileName ? FileName : u"";
    FOpenedFiles.push_back(name);
    std::int64_t owner = 0;
    for (const auto& device : FDevices) {
        for (const auto& itf : device.Interfaces) {
            if (SameTextAscii(itf.DevicePath, name)) {
                owner = device.DevInst;
            }
        }
    }
    for (std::size_t v = 0; v < FVolumes.size() && owner == 0; ++v) {
        // A volume opens by its name without the trailing backslash.
        const std::u16string& volume = FVolumes[v].Name;
        if (!volume.empty() &&
            SameTextAscii(std::u16string_view(volume).substr(0, volume.size() - 1), name)) {
            owner = -static_cast<std::int64_t>(v + 1);
        }
    }
    if (Fails(SimCall::CreateFile, owner > 0 ? static_cast<DEVINST>(owner) : 0)) {
        Fail(FFaults[static_cast<std::size_t>(SimCall::CreateFile)].Error);
        return InvalidHandleValue;
    }
    if (owner == 0) {
        Fail(ERROR_FILE_NOT_FOUND);
        return InvalidHandleValue;
    }
    FHandles.push_back(owner);
    ++FOpenHandles;
    return 0x1000 + FHandles.size();
}

bool TDeviceSimulator::DeviceIoControl(HANDLE_T Device, std::uint32_t IoControlCode, const void* InBuffer,
                                       std::uint32_t InBufferSize, void* OutBuffer,
                                       std::uint32_t OutBufferSize, std::uint32_t* BytesReturned) {
    const std::size_t index = Device - 0x1001;
    if (Device <= 0x1000 || index >= FHandles.size() || FHandles[index] == 0) {
        return Fail(ERROR_INVALID_HANDLE);
    }
    const std::int64_t owner = FHandles[index];
    const SimDevice* device = owner > 0 ? &FDevices[owner - 1] : nullptr;
    const SimVolume* volume = owner < 0 ? &FVolumes[-owner - 1] : nullptr;
    if (Fails(SimCall::DeviceIoControl, device ? device->DevInst : 0)) {
        return Fail(FFaults[static_cast<std::size_t>(SimCall::DeviceIoControl)].Error);
    }
    if (IoControlCode == IOCTL_STORAGE_GET_DEVICE_NUMBER) {
        const bool has = device ? device->HasStorageNumber : volume->HasStorageNumber;
        if (!has) {
            return Fail(ERROR_INVALID_FUNCTION);
        }
        if (OutBuffer == nullptr || OutBufferSize < sizeof(STORAGE_DEVICE_NUMBER)) {
            return Fail(ERROR_INSUFFICIENT_BUFFER);
        }
        const STORAGE_DEVICE_NUMBER& number = device ? device->StorageNumber : volume->StorageNumber;
        std::memcpy(OutBuffer, &number, sizeof number);
        if (BytesReturned) {
            *BytesReturned = sizeof number;
        }
        return true;
    }
    if (IoControlCode != IOCTL_STORAGE_QUERY_PROPERTY || device == nullptr) {
        return Fail(ERROR_INVALID_FUNCTION);
    }
    if (InBuffer == nullptr || InBufferSize < sizeof(STORAGE_PROPERTY_QUERY) || OutBuffer == nullptr ||
        OutBufferSize < sizeof(STORAGE_DEVICE_DESCRIPTOR)) {
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    }
    STORAGE_DEVICE_DESCRIPTOR descriptor{};
    descriptor.Version = sizeof descriptor;
    descriptor.Size = sizeof descriptor;
    descriptor.BusType = device->StorageBusType;
    std::memcpy(OutBuffer, &descriptor, sizeof descriptor);
    if (BytesReturned) {
        *BytesReturned = sizeof descriptor;
    }
    return true;
}

bool TDeviceSimulator::CloseHandle(HANDLE_T Object) {
    const std::size_t index = Object - 0x1001;
    if (Object <= 0x1000 || index >= FHandles.size() || FHandles[index] == 0) {
        return Fail(ERROR_INVALID_HANDLE);
    }
    FHandles[index] = 0;
    --FOpenHandles;
    return true;
}

namespace {

bool CopyText(std::u16string_view text, char16_t* buffer, std::uint32_t length) {
    if (buffer == nullptr || length < text.size() + 1) {
        return false;
    }
    std::memcpy(buffer, text.data(), text.size() * sizeof(char16_t));
    buffer[text.size()] = u'\0';
    return true;
}

constexpr HANDLE_T FirstSearchHandle = 0x2001;
constexpr std::uintptr_t Kernel32Module = 0x7FF000;
constexpr std::uintptr_t VolumePathNamesAddress = 0x7FF100;

} // namespace

HANDLE_T TDeviceSimulator::FindFirstVolumeW(char16_t* VolumeName, std::uint32_t BufferLength) {
    if (Fails(SimCall::FindFirstVolume, 0)) {
        Fail(FFaults[static_cast<std::size_t>(SimCall::FindFirstVolume)].Error);
        return InvalidHandleValue;
    }
    if (FVolumes.empty()) {
        Fail(ERROR_NO_MORE_ITEMS);
        return InvalidHandleValue;
    }
    if (!CopyText(FVolumes[0].Name, VolumeName, BufferLength)) {
        Fail(ERROR_INSUFFICIENT_BUFFER);
        return InvalidHandleValue;
    }
    FSearches.push_back(1);
    ++FOpenSearches;
    return FirstSearchHandle + FSearches.size() - 1;
}

bool TDeviceSimulator::FindNextVolumeW(HANDLE_T FindVolume, char16_t* VolumeName,
                                       std::uint32_t BufferLength) {
    const std::size_t search = FindVolume - FirstSearchHandle;
    if (FindVolume < FirstSearchHandle || search >= FSearches.size() || FSearches[search] == SIZE_MAX) {
        return Fail(ERROR_INVALID_HANDLE);
    }
    std::size_t& next = FSearches[search];
    if (next >= FVolumes.size()) {
        return Fail(ERROR_NO_MORE_FILES);
    }
    if (!CopyText(FVolumes[next].Name, VolumeName, BufferLength)) {
        return Fail(ERROR_FILENAME_EXCED_RANGE);
    }
    ++next;
    return true;
}

bool TDeviceSimulator::FindVolumeClose(HANDLE_T FindVolume) {
    const std::size_t search = FindVolume - FirstSearchHandle;
    if (FindVolume < FirstSearchHandle || search >= FSearches.size() || FSearches[search] == SIZE_MAX) {
        return Fail(ERROR_INVALID_HANDLE);
    }
    FSearches[search] = SIZE_MAX;
    --FOpenSearches;
    if (Fails(SimCall::FindVolumeClose, 0)) {
        return Fail(FFaults[static_cast<std::size_t>(SimCall::FindVolumeClose)].Error);
    }
    return true;
}

bool TDeviceSimulator::GetVolumeNameForVolumeMountPointW(const char16_t* VolumeMountPoint,
                                                         char16_t* VolumeName, std::uint32_t BufferLength) {
    const std::u16string mountPoint = VolumeMountPoint ? VolumeMountPoint : u"";
    for (const auto& volume : FVolumes) {
        for (const auto& point : volume.MountPoints) {
            if (SameTextAscii(point, mountPoint)) {
                return CopyText(volume.Name, VolumeName, BufferLength) ? true
                                                                       : Fail(ERROR_FILENAME_EXCED_RANGE);
            }
        }
    }
    return Fail(ERROR_FILE_NOT_FOUND);
}

std::uint32_t TDeviceSimulator::QueryDosDeviceW(const char16_t* DeviceName, char16_t* TargetPath,
                                                std::uint32_t MaxCount) {
    const std::u16string name = DeviceName ? DeviceName : u"";
    for (const auto& [dosName, target] : FDosDevices) {
        if (SameTextAscii(dosName, name)) {
            // A multi-string: the target, its NUL, and the closing NUL.
            if (TargetPath == nullptr || MaxCount < target.size() + 2) {
                Fail(ERROR_INSUFFICIENT_BUFFER);
                return 0;
            }
            CopyText(target, TargetPath, MaxCount);
            TargetPath[target.size() + 1] = u'\0';
            return static_cast<std::uint32_t>(target.size() + 2);
        }
    }
    Fail(ERROR_FILE_NOT_FOUND);
    return 0;
}

std::uintptr_t TDeviceSimulator::LoadLibraryW(const char16_t* LibFileName) {
    if (Kernel32Missing || LibFileName == nullptr || !SameTextAscii(LibFileName, u"kernel32.dll")) {
        Fail(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    ++FLoadedLibraries;
    return Kernel32Module;
}

std::uintptr_t TDeviceSimulator::GetProcAddress(std::uintptr_t Module, const char* ProcName) {
    if (Module != Kernel32Module || VolumePathNamesMissing || ProcName == nullptr ||
        std::strcmp(ProcName, "GetVolumePathNamesForVolumeNameW") != 0) {
        Fail(ERROR_PROC_NOT_FOUND);
        return 0;
    }
    return VolumePathNamesAddress;
}

bool TDeviceSimulator::FreeLibrary(std::uintptr_t Module) {
    if (Module != Kernel32Module || FLoadedLibraries == 0) {
        return Fail(ERROR_INVALID_HANDLE);
    }
    --FLoadedLibraries;
    return true;
}

bool TDeviceSimulator::CallGetVolumePathNamesForVolumeNameW(std::uintptr_t Proc, const char16_t* VolumeName,
                                                            char16_t* VolumePathNames,
                                                            std::uint32_t BufferLength,
                                                            std::uint32_t* ReturnLength) {
    if (Proc != VolumePathNamesAddress) {
        return Fail(ERROR_INVALID_FUNCTION);
    }
    if (Fails(SimCall::GetVolumePathNames, 0)) {
        return Fail(FFaults[static_cast<std::size_t>(SimCall::GetVolumePathNames)].Error);
    }
    const std::u16string name = VolumeName ? VolumeName : u"";
    for (const auto& volume : FVolumes) {
        if (volume.Name != name) {
            continue;
        }
        std::u16string multi;
        for (const auto& point : volume.MountPoints) {
            multi += point;
            multi += u'\0';
        }
        multi += u'\0';
        if (ReturnLength) {
            *ReturnLength = static_cast<std::uint32_t>(multi.size());
        }
        if (VolumePathNames == nullptr || BufferLength < multi.size()) {
            return Fail(ERROR_MORE_DATA);
        }
        std::memcpy(VolumePathNames, multi.data(), multi.size() * sizeof(char16_t));
        return true;
    }
    return Fail(ERROR_INVALID_NAME);
}

std::u16string TDeviceSimulator::SysErrorMessage(std::uint32_t ErrorCode) {
    switch (ErrorCode) {
    case 0:
        return u"The operation completed successfully.\r\n";
    case ERROR_ACCESS_DENIED:
        return u"Access is denied.\r\n";
    case ERROR_INVALID_DATA:
        return u"The data is invalid.\r\n";
    case ERROR_INVALID_PARAMETER:
        return u"The parameter is incorrect.\r\n";
    case ERROR_NOT_FOUND:
        return u"Element not found.\r\n";
    case ERROR_DI_BAD_PATH:
        return u"An invalid path was specified.\r\n";
    default:
        return u"";
    }
}

} // namespace tarnwick::sim
