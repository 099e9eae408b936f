#pragma once
// The process-image seam on Windows.

#include "platform/ProcessImagePlatform.h"

namespace tarnwick::win32 {

class TWin32ProcessImagePlatform final : public IProcessImagePlatform {
public:
    std::uint32_t GetModuleFileNameW(HMODULE_T hModule, char16_t* lpFilename, std::uint32_t nSize) override;
    HMODULE_T GetModuleHandleW(const char16_t* lpModuleName) override;
    std::uintptr_t GetProcAddress(HMODULE_T hModule, const char* lpProcName) override;
    bool IsBadReadPtr(std::uintptr_t lp, std::size_t ucb) override;
    HPROCESS_T GetCurrentProcess() override;
    bool WriteProcessMemory(HPROCESS_T hProcess, std::uintptr_t lpBaseAddress, const void* lpBuffer,
                            std::size_t nSize, std::size_t* lpNumberOfBytesWritten) override;
    void* AddVectoredExceptionHandler(std::uint32_t First, TVectoredExceptionHandler Handler) override;
    std::uint32_t RemoveVectoredExceptionHandler(void* Handle) override;
    std::uint16_t RtlCaptureStackBackTrace(std::uint32_t FramesToSkip, std::uint32_t FramesToCapture,
                                           void** BackTrace, std::uint32_t* BackTraceHash) override;
};

} // namespace tarnwick::win32
