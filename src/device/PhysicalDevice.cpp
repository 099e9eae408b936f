#include "device/PhysicalDevice.h"

#include <algorithm>
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

TPhysicalDeviceList::TPhysicalDeviceList(const TPhysicalDeviceList& other) {
    FItems.reserve(other.FItems.size());
    for (const auto& item : other.FItems) {
        FItems.push_back(std::make_unique<TPhysicalDevice>(*item));
    }
}

TPhysicalDeviceList& TPhysicalDeviceList::operator=(const TPhysicalDeviceList& other) {
    if (this != &other) {
        TPhysicalDeviceList copy(other);
        FItems.swap(copy.FItems);
    }
    return *this;
}

TPhysicalDeviceList::~TPhysicalDeviceList() = default;

void TDeviceTexts::Set(TDeviceText which, std::u16string_view text) {
    FSpans[static_cast<std::size_t>(which)] = {static_cast<std::uint32_t>(FChars.size()),
                                               static_cast<std::uint32_t>(text.size())};
    FChars.append(text);
}

void TDeviceTexts::Clear() noexcept {
    FChars.clear();
    FSpans.fill({});
}

void TRecordTexts::Assign(const TDeviceTexts& texts) {
    const std::u16string& chars = texts.Chars();
    auto block = std::make_shared_for_overwrite<char16_t[]>(chars.size());
    std::copy(chars.begin(), chars.end(), block.get());
    FChars = std::move(block);
    FSpans = texts.Spans();
}

void TRecordTexts::Set(TDeviceText which, std::u16string_view text) {
    TDeviceTexts texts;
    for (std::size_t i = 0; i < DeviceTextCount; ++i) {
        const auto each = static_cast<TDeviceText>(i);
        texts.Set(each, each == which ? text : Get(each));
    }
    Assign(texts);
}

std::unique_ptr<TPhysicalDevice> TPhysicalDevice::GetCopy() const {
    return std::make_unique<TPhysicalDevice>(*this);
}

bool TPhysicalDevice::HasChild(const TPhysicalDevice& APhysicalDevice) const {
    if (SameTextAscii(APhysicalDevice.PnPName(), PnPName())) {
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
        if (SameTextAscii(FDeviceChilds[i].PnPName(), DevicePnpName)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool TPhysicalDevice::IsRemovedOrDisabled() const noexcept {
    return FulProblemNumber == CM_PROB_DISABLED || FulProblemNumber == CM_PROB_DEVICE_NOT_THERE ||
           FulProblemNumber == CM_PROB_HELD_FOR_EJECT;
}

void TDeviceRecordWriter::SetIdentity(DEVINST devInst, std::uint32_t status, std::uint32_t problem) {
    D.FDeviceInst = devInst;
    D.FulStatus = status;
    D.FulProblemNumber = problem;
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

// The records of a list by exact name: open addressing over one array, so that building it allocates
// once. Names may repeat.
class TNameIndex {
public:
    explicit TNameIndex(const TPhysicalDeviceList& devices) {
        std::size_t capacity = 16;
        while (capacity < 2 * devices.Count()) {
            capacity *= 2;
        }
        FSlots.resize(capacity);
        for (const auto& device : devices) {
            const std::size_t hash = Hash(device->PnPName());
            std::size_t i = hash & (capacity - 1);
            while (FSlots[i].Device != nullptr) {
                i = (i + 1) & (capacity - 1);
            }
            FSlots[i] = {hash, device.get()};
        }
    }

    // Records of one name share their probe sequence, so they come in the order they were added.
    template <typename Visit> void ForEach(std::u16string_view name, Visit visit) const {
        const std::size_t hash = Hash(name);
        const std::size_t mask = FSlots.size() - 1;
        for (std::size_t i = hash & mask; FSlots[i].Device != nullptr; i = (i + 1) & mask) {
            if (FSlots[i].Hash == hash && SameText(FSlots[i].Device->PnPName(), name)) {
                visit(*FSlots[i].Device);
            }
        }
    }

private:
    struct TSlot {
        std::size_t Hash = 0;
        TPhysicalDevice* Device = nullptr;
    };
    // Instance IDs of one bus share long beginnings and differ at their ends: the last units and the
    // length tell them apart well enough, and equal hashes are compared in full anyway.
    static std::size_t Hash(std::u16string_view name) {
        constexpr std::size_t tail = 16;
        const std::u16string_view end = name.size() > tail ? name.substr(name.size() - tail) : name;
        return std::hash<std::u16string_view>{}(end) ^ name.size();
    }

    std::vector<TSlot> FSlots;
};

// Below this many direct children a parent's copied subtree is searched as it is; above, through a set
// of its names, so that a parent of thousands of children does not make the tree step quadratic.
constexpr std::size_t SearchedChildren = 16;

} // namespace

void BuildDeviceTree(TPhysicalDeviceList& devices) {
    TMeasurementScope measure(PerformanceRackman(), DeviceLabels::BuildDeviceTree);

    // The rule links every record A under every record D whose name equals A's parent name exactly,
    // unless D is A by name or already holds A in its copied subtree. An index of the records by exact
    // name finds each A's parents without comparing every pair.
    const TNameIndex byName(devices);
    std::unordered_map<const TPhysicalDevice*, NameSet> subtreeNames;

    for (const auto& a : devices) {
        byName.ForEach(a->ParentDevicePnPName(), [&](TPhysicalDevice& parent) {
            TPhysicalDevice* const d = &parent;
            if (SameTextAscii(d->PnPName(), a->PnPName())) {
                return; // never its own parent
            }
            NameSet* names = nullptr;
            if (const auto found = subtreeNames.find(d); found != subtreeNames.end()) {
                names = &found->second;
            } else if (d->FDeviceChilds.Count() >= SearchedChildren) {
                names = &subtreeNames[d];
                CollectSubtreeNames(*d, *names);
            }
            if (names != nullptr ? names->contains(a->PnPName()) : d->HasChild(*a)) {
                return; // linked already
            }
            TPhysicalDevice& copy = d->FDeviceChilds.Add(a->GetCopy());
            if (names != nullptr) {
                names->insert(copy.PnPName());
                CollectSubtreeNames(copy, *names);
            }
            a->FParentDevice = d;
        });
    }
}

} // namespace tarnwick
