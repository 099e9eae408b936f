#pragma once
// A file or device handle of the device platform, closed on every path.

#include "platform/DevicePlatform.h"

namespace tarnwick {

class TPlatformHandle {
public:
    TPlatformHandle(IDevicePlatform& platform, HANDLE_T handle) : FPlatform(platform), FHandle(handle) {}
    ~TPlatformHandle() {
        if (Valid()) {
            FPlatform.CloseHandle(FHandle);
        }
    }
    TPlatformHandle(const TPlatformHandle&) = delete;
    TPlatformHandle& operator=(const TPlatformHandle&) = delete;
    bool Valid() const noexcept { return FHandle != InvalidHandleValue; }
    HANDLE_T Get() const noexcept { return FHandle; }

private:
    IDevicePlatform& FPlatform;
    HANDLE_T FHandle;
};

} // namespace tarnwick
