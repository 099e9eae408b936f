#pragma once
// The debug-information unit: at start-up it loads the map file beside the executable into the tables of
// units and routines, and intercepts the raising of exceptions so that each one's call stack is recorded
// for the thread that raised it. Nothing in the program reads what it gathers.

#include <array>
#include <cstddef>
#include <cstdint>
#include <mutex>

#include "diag/DebugInfo.h"
#include "platform/ProcessImagePlatform.h"

namespace tarnwick {

inline constexpr std::size_t CallStackDepth = 27;
// Return addresses, innermost first; an entry of 0 ends the stack.
using TCallStack = std::array<std::uintptr_t, CallStackDepth>;

// The calling thread's last recorded call stack; all zero until its first recording.
TCallStack& ThreadCallStack() noexcept;

// The unit's state from start-up to shut-down.
class TDebugUnit {
public:
    explicit TDebugUnit(IProcessImagePlatform& Platform) : FPlatform(Platform) {}
    // Removes the interception if it is still in place.
    ~TDebugUnit();
    TDebugUnit(const TDebugUnit&) = delete;
    TDebugUnit& operator=(const TDebugUnit&) = delete;

    // Loads the map file named like the executable with the extension ".map" when both files exist and
    // their last-write times differ by less than 6 days; otherwise the tables stay empty.
    void LoadExecutableMap();
    // Points the executable's imports of kernel32's RaiseException at RaiseExceptionInterceptor and
    // registers ExceptObjInterceptor to see every raised exception. Does nothing when RaiseException or
    // an import of it cannot be found, or when the interception is already in place.
    void HookRaiseException();
    // Puts the executable's imports back and unregisters the exception watcher.
    void UnhookRaiseException();
    // Records the calling thread's stack into ThreadCallStack, unless a recording is under way (the
    // capture itself raised). The arguments tell what was raised where; the record does not keep them.
    void RecordCallStack(const void* ExceptObj, std::uintptr_t ExceptAddr, bool OSException);

    TProjectDebugInfo& ProjectDebugInfo() noexcept { return FProjectDebugInfo; }
    bool HookInstalled() const noexcept { return FHookInstalled; }
    // RaiseException's own address, where the interceptor passes calls on; 0 when nothing is intercepted.
    static std::uintptr_t SavedRaiseException() noexcept;

private:
    void GetCallStack(TCallStack& Stack, std::uint32_t FramesToSkip);

    IProcessImagePlatform& FPlatform;
    // Re-entrant for its owning thread, like the platform's critical section.
    std::recursive_mutex FDebugLock;
    TProjectDebugInfo FProjectDebugInfo;
    bool FRecording = false;
    bool FHookInstalled = false;
    // The registration of ExceptObjInterceptor, the platform's counterpart of a runtime hook to restore.
    void* FPreviousExceptObjProc = nullptr;
};

// Start-up: creates the unit's state, loads the map and installs the interception.
void InitializeDebugUnit(IProcessImagePlatform& Platform);
// Shut-down: removes the interception and frees the tables.
void FinalizeDebugUnit();
// The unit's state between start-up and shut-down; null outside.
TDebugUnit* DebugUnit() noexcept;

// Stands in for RaiseException in the executable's import table and passes every call on unchanged.
void RaiseExceptionInterceptor(std::uint32_t dwExceptionCode, std::uint32_t dwExceptionFlags,
                               std::uint32_t nNumberOfArguments, const std::uintptr_t* lpArguments);
// Sees every raised exception first and records its call stack; leaves its handling unchanged.
std::int32_t ExceptObjInterceptor(TExceptionPointers* ExceptionInfo);

} // namespace tarnwick
