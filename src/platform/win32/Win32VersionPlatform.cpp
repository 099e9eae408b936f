#include "platform/win32/Win32VersionPlatform.h"

#include <cstddef>
#include <cstring>

#include <windows.h>

#include "platform/win32/Win32Text.h"

namespace tarnwick::win32 {

static_assert(sizeof(::SYSTEM_INFO) == sizeof(tarnwick::SYSTEM_INFO));
static_assert(offsetof(::SYSTEM_INFO, dwNumberOfProcessors) ==
              offsetof(tarnwick::SYSTEM_INFO, dwNumberOfProcessors));
static_assert(offsetof(::SYSTEM_INFO, wProcessorRevision) ==
              offsetof(tarnwick::SYSTEM_INFO, wProcessorRevision));

int TWin32VersionPlatform::GetSystemMetrics(int Index) {
    return ::GetSystemMetrics(Index);
}

std::uintptr_t TWin32VersionPlatform::GetModuleHandleW(const char16_t* ModuleName) {
    return reinterpret_cast<std::uintptr_t>(::GetModuleHandleW(AsWide(ModuleName)));
}

std::uintptr_t TWin32VersionPlatform::GetProcAddress(std::uintptr_t Module, const char* ProcName) {
    return reinterpret_cast<std::uintptr_t>(::GetProcAddress(reinterpret_cast<HMODULE>(Module), ProcName));
}

void TWin32VersionPlatform::GetNativeSystemInfo(std::uintptr_t Proc, SYSTEM_INFO& SystemInfo) {
    using GetNativeSystemInfoProc = void(WINAPI*)(LPSYSTEM_INFO);
    ::SYSTEM_INFO info{};
    reinterpret_cast<GetNativeSystemInfoProc>(Proc)(&info);
    SystemInfo = {info.wProcessorArchitecture,
                  info.wReserved,
                  info.dwPageSize,
                  reinterpret_cast<std::uintptr_t>(info.lpMinimumApplicationAddress),
                  reinterpret_cast<std::uintptr_t>(info.lpMaximumApplicationAddress),
                  static_cast<std::uintptr_t>(info.dwActiveProcessorMask),
                  info.dwNumberOfProcessors,
                  info.dwProcessorType,
                  info.dwAllocationGranularity,
                  info.wProcessorLevel,
                  info.wProcessorRevision};
}

} // namespace tarnwick::win32
