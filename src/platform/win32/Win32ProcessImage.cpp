#include "platform/win32/Win32ProcessImage.h"

#include <windows.h>

#include <cstddef>

#include "platform/win32/Win32Text.h"

namespace tarnwick::win32 {

// The portable mirrors must lie over the platform's records byte for byte.
static_assert(sizeof(TExceptionRecord) == sizeof(EXCEPTION_RECORD));
static_assert(offsetof(TExceptionRecord, ExceptionCode) == offsetof(EXCEPTION_RECORD, ExceptionCode));
static_assert(offsetof(TExceptionRecord, ExceptionFlags) == offsetof(EXCEPTION_RECORD, ExceptionFlags));
static_assert(offsetof(TExceptionRecord, ExceptionAddress) == offsetof(EXCEPTION_RECORD, ExceptionAddress));
static_assert(offsetof(TExceptionRecord, NumberParameters) == offsetof(EXCEPTION_RECORD, NumberParameters));
static_assert(offsetof(TExceptionRecord, ExceptionInformation) ==
              offsetof(EXCEPTION_RECORD, ExceptionInformation));
static_assert(sizeof(TExceptionPointers) == sizeof(EXCEPTION_POINTERS));
static_assert(offsetof(TExceptionPointers, ExceptionRecord) == offsetof(EXCEPTION_POINTERS, ExceptionRecord));
// The portable handler and RaiseException's shape share the platform's 64-bit calling convention.
static_assert(sizeof(LONG) == sizeof(std::int32_t) && sizeof(DWORD) == sizeof(std::uint32_t));
static_assert(sizeof(ULONG_PTR) == sizeof(std::uintptr_t));

std::uint32_t TWin32ProcessImagePlatform::GetModuleFileNameW(HMODULE_T hModule, char16_t* lpFilename,
                                                             std::uint32_t nSize) {
    return ::GetModuleFileNameW(reinterpret_cast<HMODULE>(hModule), AsWide(lpFilename), nSize);
}

HMODULE_T TWin32ProcessImagePlatform::GetModuleHandleW(const char16_t* lpModuleName) {
    return reinterpret_cast<HMODULE_T>(
        ::GetModuleHandleW(lpModuleName != nullptr ? AsWide(lpModuleName) : nullptr));
}

std::uintptr_t TWin32ProcessImagePlatform::GetProcAddress(HMODULE_T hModule, const char* lpProcName) {
    return reinterpret_cast<std::uintptr_t>(::GetProcAddress(reinterpret_cast<HMODULE>(hModule), lpProcName));
}

bool TWin32ProcessImagePlatform::IsBadReadPtr(std::uintptr_t lp, std::size_t ucb) {
    return ::IsBadReadPtr(reinterpret_cast<const void*>(lp), ucb) != FALSE;
}

HPROCESS_T TWin32ProcessImagePlatform::GetCurrentProcess() {
    return reinterpret_cast<HPROCESS_T>(::GetCurrentProcess());
}

bool TWin32ProcessImagePlatform::WriteProcessMemory(HPROCESS_T hProcess, std::uintptr_t lpBaseAddress,
                                                    const void* lpBuffer, std::size_t nSize,
                                                    std::size_t* lpNumberOfBytesWritten) {
    SIZE_T written = 0;
    const BOOL result =
        ::WriteProcessMemory(reinterpret_cast<HANDLE>(hProcess), reinterpret_cast<void*>(lpBaseAddress),
                             lpBuffer, nSize, &written);
    if (lpNumberOfBytesWritten != nullptr) {
        *lpNumberOfBytesWritten = written;
    }
    return result != FALSE;
}

void* TWin32ProcessImagePlatform::AddVectoredExceptionHandler(std::uint32_t First,
                                                              TVectoredExceptionHandler Handler) {
    return ::AddVectoredExceptionHandler(
        First, reinterpret_cast<PVECTORED_EXCEPTION_HANDLER>(reinterpret_cast<void (*)()>(Handler)));
}

std::uint32_t TWin32ProcessImagePlatform::RemoveVectoredExceptionHandler(void* Handle) {
    return ::RemoveVectoredExceptionHandler(Handle);
}

std::uint16_t TWin32ProcessImagePlatform::RtlCaptureStackBackTrace(std::uint32_t FramesToSkip,
                                                                   std::uint32_t FramesToCapture,
                                                                   void** BackTrace,
                                                                   std::uint32_t* BackTraceHash) {
    DWORD hash = 0;
    const WORD count = ::RtlCaptureStackBackTrace(FramesToSkip, FramesToCapture, BackTrace, &hash);
    if (BackTraceHash != nullptr) {
        *BackTraceHash = hash;
    }
    return count;
}

} // namespace tarnwick::win32
