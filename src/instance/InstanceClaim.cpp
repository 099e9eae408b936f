#include "instance/InstanceClaim.h"

#include "core/PlatformConstants.h"

namespace tarnwick {

std::u16string InstanceProcessObjectName(std::uint32_t ProcessId) {
    std::u16string name = InstanceObjectName;
    name += u".";
    std::u16string digits;
    do {
        digits.insert(digits.begin(), char16_t(u'0' + ProcessId % 10));
        ProcessId /= 10;
    } while (ProcessId != 0);
    return name + digits;
}

bool HoldsInstanceClaim(IInstancePlatform& Platform, std::uint32_t ProcessId) {
    if (ProcessId == 0) {
        return false;
    }
    std::uint32_t error = 0;
    const std::u16string name = InstanceProcessObjectName(ProcessId);
    const HANDLE_T handle = Platform.CreateMutexW(name.c_str(), error);
    if (handle != 0) {
        // Made here when it did not exist: gone again with this handle.
        Platform.CloseHandle(handle);
    }
    return error == ERROR_ALREADY_EXISTS || error == ERROR_ACCESS_DENIED;
}

TInstanceClaim::TInstanceClaim(IInstancePlatform& Platform) : FPlatform(Platform) {
    Claim();
}

bool TInstanceClaim::Claim() {
    if (FOwned) {
        return true;
    }
    std::uint32_t error = 0;
    FHandle = FPlatform.CreateMutexW(InstanceObjectName, error);
    // Where the object cannot be made at all, the program runs unguarded rather than not at all.
    FOwned = FHandle != 0 ? error != ERROR_ALREADY_EXISTS : error != ERROR_ACCESS_DENIED;
    if (!FOwned) {
        Release();
        return false;
    }
    if (FHandle == 0) {
        return true; // unguarded: there is no claim to publish
    }
    // Published with the claim, so that later starts can tell our window from any other.
    const std::u16string processObject = InstanceProcessObjectName(FPlatform.GetCurrentProcessId());
    FProcessHandle = FPlatform.CreateMutexW(processObject.c_str(), error);
    return true;
}

TInstanceClaim::~TInstanceClaim() {
    Release();
}

void TInstanceClaim::Release() noexcept {
    for (HANDLE_T* handle : {&FProcessHandle, &FHandle}) {
        if (*handle != 0) {
            FPlatform.CloseHandle(*handle);
            *handle = 0;
        }
    }
    FOwned = false;
}

} // namespace tarnwick
