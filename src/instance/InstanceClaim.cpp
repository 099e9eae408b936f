#include "instance/InstanceClaim.h"

#include "core/PlatformConstants.h"

namespace tarnwick {

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
    }
    return FOwned;
}

TInstanceClaim::~TInstanceClaim() {
    Release();
}

void TInstanceClaim::Release() noexcept {
    if (FHandle != 0) {
        FPlatform.CloseHandle(FHandle);
        FHandle = 0;
    }
    FOwned = false;
}

} // namespace tarnwick
