#include "device/PhysicalDevice.h"

#include <unordered_map>
#include <unordered_set>

#include "core/PlatformConstants.h"
#include "core/Text.h"
#include "device/DeviceInformationKt.h"
#include "diag/PerformanceUnit.h"

namespace tarnwick {

TPhysicalDevice& TPhysicalDeviceList::Add(std::unique_ptr<TPhysicalDevice> device) {
    FItems.push_back(std::move(device));
    return *FItems.back();
}

std::unique_ptr<TPhysicalDevice> TPhysicalDevice::GetCopy() const {
    auto copy = std::make_unique<TPhysicalDevice>();
    copy->FDeviceInst = FDeviceInst;
    copy->FPnPName = FPnPName;
    copy->FVendorName = FVendorName;
    copy->FDEVICEDESC = FDEVICEDESC;
    copy->FLOCATION_INFORMATION = FLOCATION_INFORMATION;
    copy->FHARDWAREID = FHARDWAREID;
    copy->FSPDRP_CLASSGUID = FSPDRP_CLASSGUID;
    copy->FSPDRP_PHYSICAL_DEVICE_OBJECT_NAME = FSPDRP_PHYSICAL_DEVICE_OBJECT_NAME;
    copy->FSPDRP_DRIVER = FSPDRP_DRIVER;
    copy->FSPDRP_UI_NUMBER = FSPDRP_UI_NUMBER;
    copy->FulStatus = FulStatus;
    copy->FulProblemNumber = FulProblemNumber;
    copy->FCapabilities = FCapabilities;
    copy->FDN_REMOVABLE_Flag = FDN_REMOVABLE_Flag;
    copy->FDN_DISABLEABLE_Flag = FDN_DISABLEABLE_Flag;
    copy->FDN_WILL_BE_REMOVED_Flag = FDN_WILL_BE_REMOVED_Flag;
    copy->FDN_HAS_PROBLEM_Flag = FDN_HAS_PROBLEM_Flag;
    copy->FDN_LIAR_Flag = FDN_LIAR_Flag;
    copy->FCM_DEVCAP_SURPRISEREMOVALOK_Flag = FCM_DEVCAP_SURPRISEREMOVALOK_Flag;
    copy->FCM_DEVCAP_DOCKDEVICE_Flag = FCM_DEVCAP_DOCKDEVICE_Flag;
    copy->FCM_DEVCAP_REMOVABLE_Flag = FCM_DEVCAP_REMOVABLE_Flag;
    copy->FCM_PROB_DEVICE_NOT_THERE_Flag = FCM_PROB_DEVICE_NOT_THERE_Flag;
    copy->FDeviceType = FDeviceType;
    copy->FDeviceNumber = FDeviceNumber;
    copy->FBusType = FBusType;
    copy->FParentDeviceInst = FParentDeviceInst;
    copy->FParentDevicePnPName = FParentDevicePnPName;
    copy->FDevicePathList = FDevicePathList;
    copy->FDeviceVolumesList = FDeviceVolumesList;
    copy->FMountPoints = FMountPoints;
    copy->FParentDevice = FParentDevice;
    for (const auto& child : FDeviceChilds) {
        copy->FDeviceChilds.Add(child->GetCopy());
    }
    return copy;
}

bool TPhysicalDevice::HasChild(const TPhysicalDevice& APhysicalDevice) const {
    if (SameTextAscii(APhysicalDevice.FPnPName, FPnPName)) {
        return true;
    }
    for (const auto& child : FDeviceChilds) {
        if (child->HasChild(APhysicalDevice)) {
            return true;
        }
    }
    return false;
}

int TPhysicalDevice::IndexOfChild(std::u16string_view DevicePnpName) const {
    for (std::size_t i = 0; i < FDeviceChilds.Count(); ++i) {
        if (SameTextAscii(FDeviceChilds[i].FPnPName, DevicePnpName)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool TPhysicalDevice::IsRemovedOrDisabled() const noexcept {
    return FulProblemNumber == CM_PROB_DISABLED || FulProblemNumber == CM_PROB_DEVICE_NOT_THERE ||
           FulProblemNumber == CM_PROB_HELD_FOR_EJECT;
}

void TDeviceRecordWriter::SetIdentity(DEVINST devInst, std::uint32_t status, std::uint32_t problem,
                                      std::u16string pnpName) {
    D.FDeviceInst = devInst;
    D.FulStatus = status;
    D.FulProblemNumber = problem;
    D.FPnPName = std::move(pnpName);
}

void TDeviceRecordWriter::SetCapabilities(std::uint32_t capabilities) {
    D.FCapabilities = capabilities;
    D.FDN_REMOVABLE_Flag = (D.FulStatus & DN_REMOVABLE) != 0;
    D.FDN_DISABLEABLE_Flag = (D.FulStatus & DN_DISABLEABLE) != 0;
    D.FDN_WILL_BE_REMOVED_Flag = (D.FulStatus & DN_WILL_BE_REMOVED) != 0;
    D.FDN_HAS_PROBLEM_Flag = (D.FulStatus & DN_HAS_PROBLEM) != 0;
    D.FDN_LIAR_Flag = (D.FulStatus & DN_LIAR) != 0;
    D.FCM_DEVCAP_SURPRISEREMOVALOK_Flag = (capabilities & CM_DEVCAP_SURPRISEREMOVALOK) != 0;
    D.FCM_DEVCAP_DOCKDEVICE_Flag = (capabilities & CM_DEVCAP_DOCKDEVICE) != 0;
    D.FCM_DEVCAP_REMOVABLE_Flag = (capabilities & CM_DEVCAP_REMOVABLE) != 0;
    D.FCM_PROB_DEVICE_NOT_THERE_Flag = D.FulProblemNumber == CM_PROB_DEVICE_NOT_THERE;
}

namespace {

using NameSet = std::unordered_set<std::u16string_view, AsciiCaseInsensitiveHash, AsciiCaseInsensitiveEqual>;

// Adds the names of a record's copied subtree (the record itself excluded) to a set.
void CollectSubtreeNames(const TPhysicalDevice& device, NameSet& names) {
    for (const auto& child : device.DeviceChilds()) {
        names.insert(child->PnPName());
        CollectSubtreeNames(*child, names);
    }
}

} // namespace

void BuildDeviceTree(TPhysicalDeviceList& devices) {
    TMeasurementScope measure(PerformanceRackman(), u"BuildDeviceTree");

    // The rule links every record A under every record D whose name equals A's parent name exactly,
    // unless D is A by name or already holds A in its copied subtree. The same links come from an index
    // of the records by exact name and, per parent, the set of names its copies hold, which HasChild
    // would otherwise search anew for every pair.
    std::unordered_map<std::u16string_view, std::vector<TPhysicalDevice*>> byName;
    byName.reserve(devices.Count());
    for (const auto& device : devices) {
        byName[device->FPnPName].push_back(device.get());
    }
    std::unordered_map<const TPhysicalDevice*, NameSet> subtreeNames;

    for (const auto& a : devices) {
        const auto parents = byName.find(a->FParentDevicePnPName);
        if (parents == byName.end()) {
            continue;
        }
        for (TPhysicalDevice* d : parents->second) {
            if (SameTextAscii(d->FPnPName, a->FPnPName)) {
                continue; // never its own parent
            }
            auto [names, created] = subtreeNames.try_emplace(d);
            if (created) {
                CollectSubtreeNames(*d, names->second);
            }
            if (names->second.contains(a->FPnPName)) {
                continue; // linked already
            }
            TPhysicalDevice& copy = d->FDeviceChilds.Add(a->GetCopy());
            names->second.insert(copy.FPnPName);
            CollectSubtreeNames(copy, names->second);
            a->FParentDevice = d;
        }
    }
}

} // namespace tarnwick
