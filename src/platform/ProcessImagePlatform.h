#pragma once
// The process-image seam: what the debug unit asks of the running process. It finds the executable's
// module and path, looks up a library function, checks and patches the executable's import table in its
// own memory, watches raised exceptions and captures the current call stack. Each method is one platform
// call with the platform's arguments in the platform's order.

#include <cstddef>
#include <cstdint>

namespace tarnwick {

// A loaded module is named by its base address in the process (0: none).
using HMODULE_T = std::uintptr_t;
// A process handle; GetCurrentProcess answers a pseudo handle that needs no closing.
using HPROCESS_T = std::uintptr_t;

// Layout-compatible mirrors of the platform's exception records on 64-bit Windows.
struct TExceptionRecord {
    std::uint32_t ExceptionCode;
    std::uint32_t ExceptionFlags;
    TExceptionRecord* ExceptionRecord;
    std::uintptr_t ExceptionAddress;
    std::uint32_t NumberParameters;
    std::uintptr_t ExceptionInformation[15];
};
static_assert(sizeof(TExceptionRecord) == 152);

struct TExceptionPointers {
    TExceptionRecord* ExceptionRecord;
    void* ContextRecord;
};

// A vectored exception handler: answers EXCEPTION_CONTINUE_SEARCH (0) to leave the exception to the
// handlers that follow.
using TVectoredExceptionHandler = std::int32_t (*)(TExceptionPointers* ExceptionInfo);

// RaiseException's shape: code, flags, number of arguments, argument array.
using TRaiseExceptionProc = void (*)(std::uint32_t dwExceptionCode, std::uint32_t dwExceptionFlags,
                                     std::uint32_t nNumberOfArguments, const std::uintptr_t* lpArguments);

class IProcessImagePlatform {
public:
    virtual ~IProcessImagePlatform() = default;

    // The module's full path, cut to nSize characters; answers the characters written (nSize when cut).
    virtual std::uint32_t GetModuleFileNameW(HMODULE_T hModule, char16_t* lpFilename,
                                             std::uint32_t nSize) = 0;
    // A loaded module by name; a null name is the executable.
    virtual HMODULE_T GetModuleHandleW(const char16_t* lpModuleName) = 0;
    // An exported function's address, 0 when the module has none of that name.
    virtual std::uintptr_t GetProcAddress(HMODULE_T hModule, const char* lpProcName) = 0;
    // True when any of the ucb bytes at lp cannot be read.
    virtual bool IsBadReadPtr(std::uintptr_t lp, std::size_t ucb) = 0;
    virtual HPROCESS_T GetCurrentProcess() = 0;
    virtual bool WriteProcessMemory(HPROCESS_T hProcess, std::uintptr_t lpBaseAddress, const void* lpBuffer,
                                    std::size_t nSize, std::size_t* lpNumberOfBytesWritten) = 0;
    // Answers the registration's handle, or null when it failed.
    virtual void* AddVectoredExceptionHandler(std::uint32_t First, TVectoredExceptionHandler Handler) = 0;
    virtual std::uint32_t RemoveVectoredExceptionHandler(void* Handle) = 0;
    // Fills BackTrace with up to FramesToCapture return addresses of the caller's stack, the first
    // FramesToSkip frames left out; answers how many it wrote.
    virtual std::uint16_t RtlCaptureStackBackTrace(std::uint32_t FramesToSkip, std::uint32_t FramesToCapture,
                                                   void** BackTrace, std::uint32_t* BackTraceHash) = 0;
};

} // namespace tarnwick
