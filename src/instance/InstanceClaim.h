#pragma once
// The claim of the one running instance of the program in this user session: a named object in the
// session's namespace, held for as long as the instance runs (or until it hands its place to an elevated
// copy of itself).

#include <string>

#include "platform/InstancePlatform.h"

namespace tarnwick {

inline constexpr char16_t InstanceObjectName[] = u"Local\\Tarnwick.Instance.5F1C6A2E";

// The second object the instance holds with its claim, named with its process ID: a window belongs to
// the running instance only when the process that made it holds this one.
std::u16string InstanceProcessObjectName(std::uint32_t ProcessId);
// Whether the process holds the instance's claim (its object exists, or exists and refuses to be opened
// by this process, as an elevated instance's does).
bool HoldsInstanceClaim(IInstancePlatform& Platform, std::uint32_t ProcessId);

class TInstanceClaim {
public:
    // Tries to claim; Owned() says whether this process is now the instance. The object of an instance
    // at a higher integrity level cannot even be opened: that counts as claimed by another.
    explicit TInstanceClaim(IInstancePlatform& Platform);
    ~TInstanceClaim();
    TInstanceClaim(const TInstanceClaim&) = delete;
    TInstanceClaim& operator=(const TInstanceClaim&) = delete;

    bool Owned() const noexcept { return FOwned; }
    // Tries again to claim (when not owned already); whether the claim is now ours.
    bool Claim();
    // Gives the claim up, so that the next start becomes the instance.
    void Release() noexcept;

private:
    IInstancePlatform& FPlatform;
    HANDLE_T FHandle = 0;
    HANDLE_T FProcessHandle = 0;
    bool FOwned = false;
};

} // namespace tarnwick
