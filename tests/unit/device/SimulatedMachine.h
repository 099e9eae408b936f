#pragma once
// Small simulated machines for the device tests.

#include "core/PlatformConstants.h"
#include "simulator/DeviceSimulator.h"

namespace tarnwick::testing {

inline constexpr Guid GUID_DEVCLASS_DISKDRIVE{
    0x4D36E967, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
inline constexpr Guid GUID_DEVCLASS_SYSTEM{
    0x4D36E97D, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};

// A machine root, a PCI bus under it, and helpers to hang named adapters and disks below.
struct SimulatedMachine {
    sim::TDeviceSimulator sim;
    DEVINST root = sim.AddDevice(u"HTREE\\ROOT\\0", GUID_DEVCLASS_SYSTEM);
    DEVINST pci = sim.AddDevice(u"ACPI\\PNP0A08\\0", GUID_DEVCLASS_SYSTEM, root);

    DEVINST AddAdapter(std::u16string instanceId, std::u16string friendlyName, DEVINST parent = 0) {
        const DEVINST devInst =
            sim.AddDevice(std::move(instanceId), GUID_DEVCLASS_NET, parent ? parent : pci);
        sim.SetText(devInst, SPDRP_FRIENDLYNAME, friendlyName);
        sim.SetText(devInst, SPDRP_DEVICEDESC, friendlyName);
        return devInst;
    }
    // An adapter that Device Manager does not show.
    DEVINST AddHiddenAdapter(std::u16string instanceId) {
        const DEVINST devInst = AddAdapter(std::move(instanceId), u"WAN Miniport");
        sim.Device(devInst).Status |= DN_NO_SHOW_IN_DM;
        return devInst;
    }
};

} // namespace tarnwick::testing
