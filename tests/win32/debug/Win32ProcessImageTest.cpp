// What Windows (here: Wine) answers to each call of the process-image seam.

#include "platform/win32/Win32ProcessImage.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/Text.h"

// The executable's import entry of RaiseException, named by the import library.
extern "C" void* __imp_RaiseException;

namespace tarnwick::win32 {
namespace {

constexpr std::uint32_t TestCode = 0xE0007A11;

struct TSeen {
    std::uint32_t Code = 0;
    std::uint32_t Flags = 0;
    std::vector<std::uintptr_t> Arguments;
    int Calls = 0;
};
TSeen gSeen;

std::int32_t ContinueTestException(TExceptionPointers* info) {
    const TExceptionRecord& record = *info->ExceptionRecord;
    if (record.ExceptionCode != TestCode) {
        return EXCEPTION_CONTINUE_SEARCH;
    }
    ++gSeen.Calls;
    gSeen.Code = record.ExceptionCode;
    gSeen.Flags = record.ExceptionFlags;
    gSeen.Arguments.assign(record.ExceptionInformation,
                           record.ExceptionInformation + record.NumberParameters);
    return EXCEPTION_CONTINUE_EXECUTION;
}

TEST(Win32ProcessImage, TheExecutableIsTheModuleWithoutNameAndHasAFullPath) {
    TWin32ProcessImagePlatform platform;
    const HMODULE_T executable = platform.GetModuleHandleW(nullptr);
    EXPECT_EQ(executable, reinterpret_cast<HMODULE_T>(::GetModuleHandleW(nullptr)));
    EXPECT_EQ(std::memcmp(reinterpret_cast<const void*>(executable), "MZ", 2), 0);

    char16_t path[MAX_PATH] = {};
    const std::uint32_t length = platform.GetModuleFileNameW(0, path, MAX_PATH);
    ASSERT_GT(length, 0u);
    ASSERT_LT(length, std::uint32_t(MAX_PATH));
    const std::u16string text(path, length);
    EXPECT_EQ(text.find(u"win32_debug_process_image.exe"), text.size() - 29) << ToUtf8(text);
    EXPECT_EQ(text[1], u':') << "a full path with its drive";

    // A buffer too small: the path is cut to it and the answer is the buffer's size (Wine leaves the cut
    // text without a terminating zero), so only the answer tells a cut path from a whole one.
    char16_t small[8];
    std::fill(std::begin(small), std::end(small), u'#');
    EXPECT_EQ(platform.GetModuleFileNameW(0, small, 8), 8u);
    EXPECT_EQ(std::u16string(small, 2), text.substr(0, 2));
}

TEST(Win32ProcessImage, RaiseExceptionOfKernel32IsWhatTheExecutableImports) {
    TWin32ProcessImagePlatform platform;
    const HMODULE_T kernel = platform.GetModuleHandleW(u"kernel32.dll");
    ASSERT_NE(kernel, 0u);
    EXPECT_EQ(platform.GetModuleHandleW(u"KERNEL32.DLL"), kernel);
    EXPECT_EQ(platform.GetModuleHandleW(u"no-such-library.dll"), 0u);

    const std::uintptr_t raiseException = platform.GetProcAddress(kernel, "RaiseException");
    ASSERT_NE(raiseException, 0u);
    // Taking the address of an imported function reads the executable's import entry: the same address.
    EXPECT_EQ(raiseException, reinterpret_cast<std::uintptr_t>(&::RaiseException));
    EXPECT_EQ(platform.GetProcAddress(kernel, "NoSuchFunction"), 0u);
}

TEST(Win32ProcessImage, ReadabilityOfMemory) {
    TWin32ProcessImagePlatform platform;
    EXPECT_FALSE(platform.IsBadReadPtr(platform.GetModuleHandleW(nullptr), 264));
    EXPECT_TRUE(platform.IsBadReadPtr(0, 64));
    void* const reserved = VirtualAlloc(nullptr, 4096, MEM_RESERVE, PAGE_NOACCESS);
    ASSERT_NE(reserved, nullptr);
    EXPECT_TRUE(platform.IsBadReadPtr(reinterpret_cast<std::uintptr_t>(reserved), 8));
    VirtualFree(reserved, 0, MEM_RELEASE);
}

TEST(Win32ProcessImage, WritesIntoTheProcessLandWhereThePageAllowsIt) {
    TWin32ProcessImagePlatform platform;
    const HPROCESS_T process = platform.GetCurrentProcess();
    EXPECT_EQ(process, reinterpret_cast<HPROCESS_T>(::GetCurrentProcess()));
    const std::uint64_t value = 0x1122334455667788;

    // Writable pages, and code pages (opened for the write and closed again). Read-only and even reserved
    // pages differ between the platforms (Windows refuses them, Wine 8 writes them); the import table lies
    // in a writable section of the executable, so the interception depends on neither.
    for (const DWORD protection : {DWORD(PAGE_READWRITE), DWORD(PAGE_EXECUTE_READ)}) {
        SCOPED_TRACE(protection);
        auto* const page =
            static_cast<std::uint64_t*>(VirtualAlloc(nullptr, 4096, MEM_COMMIT, PAGE_READWRITE));
        ASSERT_NE(page, nullptr);
        DWORD old = 0;
        ASSERT_TRUE(VirtualProtect(page, 4096, protection, &old));
        std::size_t written = 99;

        EXPECT_TRUE(platform.WriteProcessMemory(process, reinterpret_cast<std::uintptr_t>(page), &value, 8,
                                                &written));

        EXPECT_EQ(written, 8u);
        EXPECT_EQ(*page, value);
        MEMORY_BASIC_INFORMATION info{};
        VirtualQuery(page, &info, sizeof info);
        EXPECT_EQ(info.Protect, protection) << "the page keeps its protection";
        VirtualFree(page, 0, MEM_RELEASE);
    }

    // The executable's own import entry of RaiseException, written with the address it holds.
    const auto entry = reinterpret_cast<std::uintptr_t>(&__imp_RaiseException);
    const std::uint64_t current = *reinterpret_cast<const volatile std::uint64_t*>(entry);
    std::size_t written = 0;
    EXPECT_TRUE(platform.WriteProcessMemory(process, entry, &current, 8, &written));
    EXPECT_EQ(written, 8u);
}

TEST(Win32ProcessImage, AVectoredHandlerSeesARaisedExceptionWithItsArguments) {
    TWin32ProcessImagePlatform platform;
    gSeen = {};
    void* const handle = platform.AddVectoredExceptionHandler(1, &ContinueTestException);
    ASSERT_NE(handle, nullptr);
    const ULONG_PTR arguments[3] = {1, ~ULONG_PTR(0), 0x123456789ABCDEF0};

    ::RaiseException(TestCode, 0, 3, arguments);

    EXPECT_EQ(gSeen.Calls, 1);
    EXPECT_EQ(gSeen.Code, TestCode);
    EXPECT_EQ(gSeen.Flags, 0u);
    EXPECT_EQ(gSeen.Arguments, (std::vector<std::uintptr_t>{1, ~std::uintptr_t(0), 0x123456789ABCDEF0}));
    EXPECT_NE(platform.RemoveVectoredExceptionHandler(handle), 0u);
    EXPECT_EQ(platform.RemoveVectoredExceptionHandler(handle), 0u) << "a handle is removed once";
}

TEST(Win32ProcessImage, TheStackCaptureGivesReturnAddressesIntoThisProgram) {
    TWin32ProcessImagePlatform platform;
    void* frames[27] = {};
    std::uint32_t hash = 0;
    const std::uint16_t count = platform.RtlCaptureStackBackTrace(0, 27, frames, &hash);
    ASSERT_GT(count, 1u);
    const auto base = platform.GetModuleHandleW(nullptr);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const auto first = reinterpret_cast<std::uintptr_t>(frames[0]);
    EXPECT_GE(first, base);
    EXPECT_LT(first, base + nt->OptionalHeader.SizeOfImage);
}

} // namespace
} // namespace tarnwick::win32
