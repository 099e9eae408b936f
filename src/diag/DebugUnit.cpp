#include "diag/DebugUnit.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>
#include <optional>
#include <string>

#include "core/PlatformConstants.h"
#include "diag/ImportTable.h"
#include "diag/PlainFile.h"

namespace tarnwick {

namespace {

constexpr char16_t Kernel32[] = u"kernel32.dll";
// The code, flags and argument count with which the language runtime raises its own exceptions.
constexpr std::uint32_t RuntimeExceptionCode = 0x0EEDFADE;
constexpr std::uint32_t RuntimeExceptionArguments = 7;
constexpr double MapAgeLimitDays = 6.0;
constexpr double SecondsPerDay = 86400.0;
constexpr std::uint32_t SkippedFrames = 2;

std::unique_ptr<TDebugUnit> gDebugUnit;
// The unit whose interception is in place: the interceptors are called by the platform without context.
std::atomic<TDebugUnit*> gHookedUnit{nullptr};
// Process-wide, not the unit's: an import entry that could not be put back still routes calls here.
std::atomic<std::uintptr_t> gSavedRaiseException{0};
thread_local TCallStack gThreadCallStack{};

std::uintptr_t InterceptorAddress() {
    return reinterpret_cast<std::uintptr_t>(&RaiseExceptionInterceptor);
}

// The file name with its extension replaced, or Extension appended when it has none.
std::u16string ChangeFileExt(const std::u16string& FileName, std::u16string_view Extension) {
    const std::size_t dot = FileName.find_last_of(u".\\/:");
    std::u16string result =
        dot != std::u16string::npos && FileName[dot] == u'.' ? FileName.substr(0, dot) : FileName;
    result += Extension;
    return result;
}

} // namespace

TCallStack& ThreadCallStack() noexcept {
    return gThreadCallStack;
}

TDebugUnit::~TDebugUnit() {
    UnhookRaiseException();
}

void TDebugUnit::LoadExecutableMap() {
    if (FProjectDebugInfo.HasDebugInfo()) {
        return;
    }
    std::array<char16_t, MAX_PATH> buffer{};
    const std::uint32_t length = FPlatform.GetModuleFileNameW(0, buffer.data(), MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return; // no path, or one cut to the buffer: its ".map" would name another file
    }
    const std::u16string executable(buffer.data(), length);
    const std::u16string mapFileName = ChangeFileExt(executable, u".map");
    const auto mapTime = LastWriteTimeSeconds(mapFileName);
    const auto executableTime = LastWriteTimeSeconds(executable);
    if (!mapTime || !executableTime) {
        return;
    }
    // A map from another build than this executable would name the wrong code.
    const double differenceDays = (*mapTime - *executableTime) / SecondsPerDay;
    if (std::abs(differenceDays) < MapAgeLimitDays) {
        FProjectDebugInfo.LoadMapDebugInfo(mapFileName);
    }
}

void TDebugUnit::HookRaiseException() {
    if (FHookInstalled) {
        return;
    }
    const HMODULE_T kernel = FPlatform.GetModuleHandleW(Kernel32);
    const std::uintptr_t raiseException =
        kernel != 0 ? FPlatform.GetProcAddress(kernel, "RaiseException") : 0;
    if (raiseException == 0) {
        return;
    }
    // Only one unit can stand behind the interceptor.
    TDebugUnit* expected = nullptr;
    if (!gHookedUnit.compare_exchange_strong(expected, this)) {
        return;
    }
    // Known before the first patched entry can route a call to the interceptor.
    const std::uintptr_t previouslySaved = gSavedRaiseException.exchange(raiseException);
    if (!ReplaceImportedFunction(FPlatform, FPlatform.GetModuleHandleW(nullptr), Kernel32, raiseException,
                                 InterceptorAddress())) {
        gSavedRaiseException = previouslySaved;
        gHookedUnit = nullptr;
        return;
    }
    // First in line, so that no handler can settle an exception before it is seen.
    FPreviousExceptObjProc = FPlatform.AddVectoredExceptionHandler(1, &ExceptObjInterceptor);
    FHookInstalled = true;
}

void TDebugUnit::UnhookRaiseException() {
    if (!FHookInstalled) {
        return;
    }
    const bool restored = ReplaceImportedFunction(FPlatform, FPlatform.GetModuleHandleW(nullptr), Kernel32,
                                                  InterceptorAddress(), gSavedRaiseException);
    if (FPreviousExceptObjProc != nullptr) {
        FPlatform.RemoveVectoredExceptionHandler(FPreviousExceptObjProc);
    }
    gHookedUnit = nullptr;
    if (restored) {
        gSavedRaiseException = 0;
    }
    FPreviousExceptObjProc = nullptr;
    FHookInstalled = false;
}

std::uintptr_t TDebugUnit::SavedRaiseException() noexcept {
    return gSavedRaiseException;
}

void TDebugUnit::RecordCallStack(const void* /*ExceptObj*/, std::uintptr_t /*ExceptAddr*/,
                                 bool /*OSException*/) {
    const std::lock_guard lock(FDebugLock);
    if (FRecording) {
        return;
    }
    FRecording = true;
    struct TRecordingEnd {
        bool& Recording;
        ~TRecordingEnd() { Recording = false; }
    } recordingEnd{FRecording};
    GetCallStack(ThreadCallStack(), SkippedFrames);
}

void TDebugUnit::GetCallStack(TCallStack& Stack, std::uint32_t FramesToSkip) {
    std::array<void*, CallStackDepth> frames{};
    const std::size_t count =
        FPlatform.RtlCaptureStackBackTrace(FramesToSkip, CallStackDepth, frames.data(), nullptr);
    Stack.fill(0);
    std::transform(frames.begin(), frames.begin() + std::min(count, CallStackDepth), Stack.begin(),
                   [](void* frame) { return reinterpret_cast<std::uintptr_t>(frame); });
}

void InitializeDebugUnit(IProcessImagePlatform& Platform) {
    if (gDebugUnit) {
        return;
    }
    gDebugUnit = std::make_unique<TDebugUnit>(Platform);
    gDebugUnit->LoadExecutableMap();
    gDebugUnit->HookRaiseException();
}

void FinalizeDebugUnit() {
    if (!gDebugUnit) {
        return;
    }
    gDebugUnit->UnhookRaiseException();
    gDebugUnit.reset();
}

TDebugUnit* DebugUnit() noexcept {
    return gDebugUnit.get();
}

void RaiseExceptionInterceptor(std::uint32_t dwExceptionCode, std::uint32_t dwExceptionFlags,
                               std::uint32_t nNumberOfArguments, const std::uintptr_t* lpArguments) {
    TDebugUnit* const unit = gHookedUnit.load();
    // The runtime's own raise passes its argument array on the stack right behind the last argument
    // slot. With 64-bit calling conventions it never does, so this records nothing there.
    if (unit != nullptr && dwExceptionFlags == EXCEPTION_NONCONTINUABLE &&
        dwExceptionCode == RuntimeExceptionCode && nNumberOfArguments == RuntimeExceptionArguments &&
        reinterpret_cast<std::uintptr_t>(lpArguments) ==
            reinterpret_cast<std::uintptr_t>(&lpArguments) + sizeof(lpArguments)) {
        try {
            unit->RecordCallStack(reinterpret_cast<const void*>(lpArguments[1]), lpArguments[0], false);
        } catch (...) {
            // A failed recording must not change what is raised.
        }
    }
    const auto saved = reinterpret_cast<TRaiseExceptionProc>(gSavedRaiseException.load());
    saved(dwExceptionCode, dwExceptionFlags, nNumberOfArguments, lpArguments);
}

std::int32_t ExceptObjInterceptor(TExceptionPointers* ExceptionInfo) {
    TDebugUnit* const unit = gHookedUnit.load();
    const TExceptionRecord* const record =
        ExceptionInfo != nullptr ? ExceptionInfo->ExceptionRecord : nullptr;
    // A stack that has just run out has no room for walking it.
    if (unit != nullptr && record != nullptr && record->ExceptionCode != EXCEPTION_STACK_OVERFLOW) {
        try {
            unit->RecordCallStack(record, record->ExceptionAddress, true);
        } catch (...) {
            // Nothing may leave a vectored handler; the exception goes on as it came.
        }
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

} // namespace tarnwick
