#pragma once
// The version seam: what the description of the running Windows asks of the platform besides the
// registry and the version record (the system seam's GetVersionExW): the server metric, and the native
// processor architecture through a function looked up at run time (older systems do not have it).
// Each method is one platform call with the platform's arguments in the platform's order.

#include <cstdint>

namespace tarnwick {

// SYSTEM_INFO as a 64-bit process sees it.
struct SYSTEM_INFO {
    std::uint16_t wProcessorArchitecture;
    std::uint16_t wReserved;
    std::uint32_t dwPageSize;
    std::uintptr_t lpMinimumApplicationAddress;
    std::uintptr_t lpMaximumApplicationAddress;
    std::uintptr_t dwActiveProcessorMask;
    std::uint32_t dwNumberOfProcessors;
    std::uint32_t dwProcessorType;
    std::uint32_t dwAllocationGranularity;
    std::uint16_t wProcessorLevel;
    std::uint16_t wProcessorRevision;
};

class IVersionPlatform {
public:
    virtual ~IVersionPlatform() = default;

    virtual int GetSystemMetrics(int Index) = 0;
    // A loaded module's handle, or 0.
    virtual std::uintptr_t GetModuleHandleW(const char16_t* ModuleName) = 0;
    // The address of an exported function, or 0.
    virtual std::uintptr_t GetProcAddress(std::uintptr_t Module, const char* ProcName) = 0;
    // Calls GetNativeSystemInfo at the address GetProcAddress gave for it.
    virtual void GetNativeSystemInfo(std::uintptr_t Proc, SYSTEM_INFO& SystemInfo) = 0;
};

} // namespace tarnwick
