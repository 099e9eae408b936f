#pragma once
// One device node as one run of the enumeration found it, the owning list of such records, and the
// volume-table record that ties a volume to its storage device number.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/DevicePlatform.h"

namespace tarnwick {

class TPhysicalDevice;

// The texts a record carries.
enum class TDeviceText : std::uint8_t {
    PnPName,
    VendorName,
    DEVICEDESC,
    LOCATION_INFORMATION,
    HARDWAREID,
    SPDRP_CLASSGUID,
    SPDRP_PHYSICAL_DEVICE_OBJECT_NAME,
    SPDRP_DRIVER,
    ParentDevicePnPName,
    MountPoints,
};
inline constexpr std::size_t DeviceTextCount = 10;

// Where one text lies among a record's characters.
struct TDeviceTextSpan {
    std::uint32_t Offset = 0;
    std::uint32_t Length = 0;
};
using TDeviceTextSpans = std::array<TDeviceTextSpan, DeviceTextCount>;

// A record's texts being gathered, side by side in one buffer that is kept from record to record. A text
// written again is appended; its old characters stay unused until the next record.
class TDeviceTexts {
public:
    std::u16string_view Get(TDeviceText which) const noexcept {
        const TDeviceTextSpan span = FSpans[static_cast<std::size_t>(which)];
        return std::u16string_view(FChars).substr(span.Offset, span.Length);
    }
    void Set(TDeviceText which, std::u16string_view text);
    // Forgets every text and keeps the buffer, for gathering the next record's.
    void Clear() noexcept;
    const std::u16string& Chars() const noexcept { return FChars; }
    const TDeviceTextSpans& Spans() const noexcept { return FSpans; }

private:
    std::u16string FChars;
    TDeviceTextSpans FSpans{};
};

// A record's texts once written: one block of characters, made in one allocation and shared by the
// record's copies. Writing a text gives the record a new block, so the copies keep theirs unchanged.
class TRecordTexts {
public:
    std::u16string_view Get(TDeviceText which) const noexcept {
        const TDeviceTextSpan span = FSpans[static_cast<std::size_t>(which)];
        return std::u16string_view(FChars.get() + span.Offset, span.Length);
    }
    void Assign(const TDeviceTexts& texts);
    void Set(TDeviceText which, std::u16string_view text);

private:
    TDeviceTextSpans FSpans{};
    std::shared_ptr<const char16_t[]> FChars;
};

// An owning list of device records: destroying the list destroys its records; copying it copies them.
class TPhysicalDeviceList {
public:
    TPhysicalDeviceList() = default;
    TPhysicalDeviceList(const TPhysicalDeviceList& other);
    TPhysicalDeviceList& operator=(const TPhysicalDeviceList& other);
    TPhysicalDeviceList(TPhysicalDeviceList&&) noexcept = default;
    TPhysicalDeviceList& operator=(TPhysicalDeviceList&&) noexcept = default;
    ~TPhysicalDeviceList();

    TPhysicalDevice& Add(std::unique_ptr<TPhysicalDevice> device);
    std::size_t Count() const noexcept { return FItems.size(); }
    bool Empty() const noexcept { return FItems.empty(); }
    TPhysicalDevice& operator[](std::size_t index) const { return *FItems[index]; }
    void Clear() noexcept { FItems.clear(); }
    auto begin() const { return FItems.begin(); }
    auto end() const { return FItems.end(); }

private:
    std::vector<std::unique_ptr<TPhysicalDevice>> FItems;
};

// A record is a value: copying it copies every field and its lists, children copied recursively, and
// shares the parent reference (the copy refers to the same parent record and does not own it).
class TPhysicalDevice {
public:
    TPhysicalDevice() = default;

    std::u16string_view Text(TDeviceText which) const noexcept { return FTexts.Get(which); }
    DEVINST DeviceInst() const noexcept { return FDeviceInst; }
    std::u16string_view PnPName() const noexcept { return Text(TDeviceText::PnPName); }
    std::u16string_view VendorName() const noexcept { return Text(TDeviceText::VendorName); }
    std::u16string_view DEVICEDESC() const noexcept { return Text(TDeviceText::DEVICEDESC); }
    std::u16string_view LOCATION_INFORMATION() const noexcept {
        return Text(TDeviceText::LOCATION_INFORMATION);
    }
    std::u16string_view HARDWAREID() const noexcept { return Text(TDeviceText::HARDWAREID); }
    std::u16string_view SPDRP_CLASSGUID() const noexcept { return Text(TDeviceText::SPDRP_CLASSGUID); }
    std::u16string_view SPDRP_PHYSICAL_DEVICE_OBJECT_NAME() const noexcept {
        return Text(TDeviceText::SPDRP_PHYSICAL_DEVICE_OBJECT_NAME);
    }
    std::u16string_view SPDRP_DRIVER() const noexcept { return Text(TDeviceText::SPDRP_DRIVER); }
    std::uint32_t SPDRP_UI_NUMBER() const noexcept { return FSPDRP_UI_NUMBER; }
    std::uint32_t ulStatus() const noexcept { return FulStatus; }
    std::uint32_t ulProblemNumber() const noexcept { return FulProblemNumber; }
    std::uint32_t Capabilities() const noexcept { return FCapabilities; }
    bool DN_REMOVABLE_Flag() const noexcept { return FDN_REMOVABLE_Flag; }
    bool DN_DISABLEABLE_Flag() const noexcept { return FDN_DISABLEABLE_Flag; }
    bool DN_WILL_BE_REMOVED_Flag() const noexcept { return FDN_WILL_BE_REMOVED_Flag; }
    bool DN_HAS_PROBLEM_Flag() const noexcept { return FDN_HAS_PROBLEM_Flag; }
    bool DN_LIAR_Flag() const noexcept { return FDN_LIAR_Flag; }
    bool CM_DEVCAP_SURPRISEREMOVALOK_Flag() const noexcept { return FCM_DEVCAP_SURPRISEREMOVALOK_Flag; }
    bool CM_DEVCAP_DOCKDEVICE_Flag() const noexcept { return FCM_DEVCAP_DOCKDEVICE_Flag; }
    bool CM_DEVCAP_REMOVABLE_Flag() const noexcept { return FCM_DEVCAP_REMOVABLE_Flag; }
    bool CM_PROB_DEVICE_NOT_THERE_Flag() const noexcept { return FCM_PROB_DEVICE_NOT_THERE_Flag; }
    std::uint32_t DeviceType() const noexcept { return FDeviceType; }
    std::uint32_t DeviceNumber() const noexcept { return FDeviceNumber; }
    std::uint32_t BusType() const noexcept { return FBusType; }
    void SetBusType(std::uint32_t value) noexcept { FBusType = value; }
    DEVINST ParentDeviceInst() const noexcept { return FParentDeviceInst; }
    std::u16string_view ParentDevicePnPName() const noexcept {
        return Text(TDeviceText::ParentDevicePnPName);
    }
    // The record's own lists, not copies.
    std::vector<std::u16string>& DevicePathList() noexcept { return FDevicePathList; }
    const std::vector<std::u16string>& DevicePathList() const noexcept { return FDevicePathList; }
    std::vector<std::u16string>& DeviceVolumesList() noexcept { return FDeviceVolumesList; }
    const std::vector<std::u16string>& DeviceVolumesList() const noexcept { return FDeviceVolumesList; }
    std::u16string_view MountPoints() const noexcept { return Text(TDeviceText::MountPoints); }
    TPhysicalDevice* ParentDevice() const noexcept { return FParentDevice; }
    TPhysicalDeviceList& DeviceChilds() noexcept { return FDeviceChilds; }
    const TPhysicalDeviceList& DeviceChilds() const noexcept { return FDeviceChilds; }

    // A new copy of this record (see above), owned by the caller.
    std::unique_ptr<TPhysicalDevice> GetCopy() const;
    // Whether the given device, by name ignoring ASCII case, is this record or lies in its copied subtree.
    bool HasChild(const TPhysicalDevice& APhysicalDevice) const;
    // Index of the first direct child with that name ignoring ASCII case; -1 when none.
    int IndexOfChild(std::u16string_view DevicePnpName) const;
    // Problem code 22 (disabled), 24 (not there) or 47 (held for eject).
    bool IsRemovedOrDisabled() const noexcept;

private:
    // The enumeration and the volume mapping fill records through this one door.
    friend class TDeviceRecordWriter;
    friend void BuildDeviceTree(TPhysicalDeviceList& devices);

    DEVINST FDeviceInst = 0;
    TRecordTexts FTexts; // shared with copies, so a copy costs no text allocations
    std::uint32_t FSPDRP_UI_NUMBER = 0;
    std::uint32_t FulStatus = 0;
    std::uint32_t FulProblemNumber = 0;
    std::uint32_t FCapabilities = 0;
    bool FDN_REMOVABLE_Flag = false;
    bool FDN_DISABLEABLE_Flag = false;
    bool FDN_WILL_BE_REMOVED_Flag = false;
    bool FDN_HAS_PROBLEM_Flag = false;
    bool FDN_LIAR_Flag = false;
    bool FCM_DEVCAP_SURPRISEREMOVALOK_Flag = false;
    bool FCM_DEVCAP_DOCKDEVICE_Flag = false;
    bool FCM_DEVCAP_REMOVABLE_Flag = false;
    bool FCM_PROB_DEVICE_NOT_THERE_Flag = false;
    std::uint32_t FDeviceType = 0;
    std::uint32_t FDeviceNumber = 0;
    std::uint32_t FBusType = 0;
    DEVINST FParentDeviceInst = 0;
    std::vector<std::u16string> FDevicePathList;
    std::vector<std::u16string> FDeviceVolumesList;
    TPhysicalDevice* FParentDevice = nullptr; // a record of the same list; never owned
    TPhysicalDeviceList FDeviceChilds;
};

// Write access to a record's fields for the code that fills it (enumeration, volume mapping, tests).
class TDeviceRecordWriter {
public:
    explicit TDeviceRecordWriter(TPhysicalDevice& device) : D(device) {}
    void SetIdentity(DEVINST devInst, std::uint32_t status, std::uint32_t problem);
    void SetIdentity(DEVINST devInst, std::uint32_t status, std::uint32_t problem,
                     std::u16string_view pnpName) {
        SetIdentity(devInst, status, problem);
        SetText(TDeviceText::PnPName, pnpName);
    }
    // Capabilities and the nine derived flags, in one step.
    void SetCapabilities(std::uint32_t capabilities);
    void SetText(TDeviceText which, std::u16string_view text) { D.FTexts.Set(which, text); }
    // Every text at once, from texts gathered elsewhere.
    void SetTexts(const TDeviceTexts& texts) { D.FTexts.Assign(texts); }
    std::uint32_t& SPDRP_UI_NUMBER() { return D.FSPDRP_UI_NUMBER; }
    std::uint32_t& DeviceType() { return D.FDeviceType; }
    std::uint32_t& DeviceNumber() { return D.FDeviceNumber; }
    DEVINST& ParentDeviceInst() { return D.FParentDeviceInst; }

private:
    TPhysicalDevice& D;
};

// Links the records of a list into a tree: each record whose parent name equals another record's name
// exactly gets a copy appended to that record's children and refers to it as its parent.
void BuildDeviceTree(TPhysicalDeviceList& devices);

// One volume of the volume table and the storage device number it lives on.
struct TVolumeDeviceConnector {
    std::u16string VolumeName;
    std::int32_t DeviceNumber = -1;
    std::uint32_t DeviceType = 0;
    std::int32_t PartitionNumber = -1;
};
using TVolumeDeviceConnectorList = std::vector<TVolumeDeviceConnector>;

} // namespace tarnwick
