#pragma once
// One walk over the network adapter class: the set is opened once, each adapter read with the few
// properties the switch and the keep list need, and the set stays open so that a switch changes its
// adapters in it instead of looking for each one again among every device.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/Errors.h"
#include "device/PhysicalDevice.h"
#include "platform/DevicePlatform.h"

namespace tarnwick {

// The network adapters could not be listed at all: nothing can be told about them or switched.
class EAdapterListFailed : public EOSError {
public:
    using EOSError::EOSError;
};

// One adapter as the walk found it.
struct TNetAdapter {
    std::unique_ptr<TPhysicalDevice> Record; // instance ID, names, hardware ID, status and problem
    SP_DEVINFO_DATA Data{};                  // its member of the walk's set
    CONFIGRET StatusResult = 0;              // of CM_Get_DevNode_Status; CR_SUCCESS: the status was read
    std::u16string ReadError;                // what could not be read about it, in words; empty when all was

    bool StatusKnown() const noexcept { return StatusResult == 0; }
    // Device Manager shows it (an adapter whose status cannot be read is taken as shown).
    bool Shown() const noexcept;
    // Windows lets it be disabled (DN_DISABLEABLE); unknown status: taken as it can.
    bool Disableable() const noexcept;
    // Running without a problem, as read by the walk.
    bool On() const noexcept;
};

class TNetAdapterWalk {
public:
    // Opens the present adapters of the network class and reads each. A set that cannot be opened
    // raises EAdapterListFailed with the system's reason.
    explicit TNetAdapterWalk(IDevicePlatform& platform);
    ~TNetAdapterWalk();
    TNetAdapterWalk(const TNetAdapterWalk&) = delete;
    TNetAdapterWalk& operator=(const TNetAdapterWalk&) = delete;

    HDEVINFO Set() const noexcept { return FSet; }
    // Every present adapter of the class, in the enumeration's order (hidden ones too).
    std::vector<TNetAdapter>& Adapters() noexcept { return FAdapters; }

private:
    IDevicePlatform& FPlatform;
    HDEVINFO FSet;
    std::vector<TNetAdapter> FAdapters;
};

// The name a person knows an adapter by: its friendly name, else its description, else its instance ID.
std::u16string AdapterDisplayName(const TPhysicalDevice& Adapter);

// The state of a device node read again: present or not, and its problem (only with DN_HAS_PROBLEM).
struct TNodeState {
    CONFIGRET Result = 0; // CR_SUCCESS, CR_NO_SUCH_DEVINST (not present), or a failure to read
    std::uint32_t Status = 0;
    std::uint32_t Problem = 0;
    bool Present() const noexcept { return Result == 0; }
};
TNodeState ReadNodeState(IDevicePlatform& platform, DEVINST DevInst);

} // namespace tarnwick
