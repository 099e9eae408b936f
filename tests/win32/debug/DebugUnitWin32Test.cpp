// The debug unit's start-up and shut-down in a real Windows program: it loads the map generated for this
// very program and intercepts RaiseException in the program's own import table.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/Text.h"
#include "diag/DebugUnit.h"
#include "platform/win32/Win32ProcessImage.h"

// The executable's import entry of RaiseException, named by the import library.
extern "C" void* __imp_RaiseException;

namespace tarnwick {
namespace {

constexpr DWORD TestCode = 0xE0004242;

// Where this program's code section lies in memory.
struct TCodeSection {
    std::uintptr_t Start = 0;
    std::uint32_t Size = 0;
};

TCodeSection CodeSection() {
    const auto base = reinterpret_cast<std::uintptr_t>(::GetModuleHandleW(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(base + dos->e_lfanew);
    const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
    for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
        if (std::string(reinterpret_cast<const char*>(section->Name), 5) == ".text") {
            return {base + section->VirtualAddress, section->Misc.VirtualSize};
        }
    }
    return {};
}

// What the executable's import entry of RaiseException holds now. Read through a volatile access: the
// compiler takes an import entry for a constant and would reuse an earlier read.
std::uintptr_t ImportedRaiseException() {
    return reinterpret_cast<std::uintptr_t>(*static_cast<void* volatile*>(&__imp_RaiseException));
}
std::uintptr_t KernelRaiseException() {
    return reinterpret_cast<std::uintptr_t>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "RaiseException"));
}

const TRoutineDebugInfo* FindRoutine(const TProjectDebugInfo& info, std::u16string_view prefix) {
    for (const TRoutineDebugInfo& routine : info.RoutineDebugInfos()) {
        if (std::u16string_view(routine.Name()).substr(0, prefix.size()) == prefix) {
            return &routine;
        }
    }
    return nullptr;
}

// Lets the test's own exception go on after RaiseException, keeping what it carried.
struct TSeen {
    DWORD Code = 0;
    DWORD Flags = 0;
    std::vector<ULONG_PTR> Arguments;
};
TSeen gSeen;

LONG CALLBACK ContinueTestException(EXCEPTION_POINTERS* info) {
    if (info->ExceptionRecord->ExceptionCode != TestCode) {
        return EXCEPTION_CONTINUE_SEARCH;
    }
    gSeen.Code = info->ExceptionRecord->ExceptionCode;
    gSeen.Flags = info->ExceptionRecord->ExceptionFlags;
    gSeen.Arguments.assign(info->ExceptionRecord->ExceptionInformation,
                           info->ExceptionRecord->ExceptionInformation +
                               info->ExceptionRecord->NumberParameters);
    return EXCEPTION_CONTINUE_EXECUTION;
}

int ThrowFromDepth(int depth) {
    if (depth == 0) {
        throw std::runtime_error("from the depth");
    }
    return ThrowFromDepth(depth - 1) + 1;
}

bool StackIsEmpty() {
    return ThreadCallStack()[0] == 0;
}

class DebugUnitOnWindows : public ::testing::Test {
protected:
    void SetUp() override { InitializeDebugUnit(FPlatform); }
    void TearDown() override { FinalizeDebugUnit(); }

    win32::TWin32ProcessImagePlatform FPlatform;
};

TEST_F(DebugUnitOnWindows, StartUpLoadsTheMapGeneratedForThisProgram) {
    ASSERT_NE(DebugUnit(), nullptr);
    const TProjectDebugInfo& info = DebugUnit()->ProjectDebugInfo();
    ASSERT_TRUE(info.HasDebugInfo());
    const TCodeSection code = CodeSection();
    EXPECT_EQ(info.CodeLength(), code.Size) << "the code segment is the program's code section";
    ASSERT_FALSE(info.UnitDebugInfos().empty());
    ASSERT_FALSE(info.RoutineDebugInfos().empty());
    EXPECT_EQ(info.RoutineDebugInfos().back().EndAddress(), info.CodeLength());

    // Units with line tables: this test's own source among them.
    const auto withLines = std::count_if(
        info.UnitDebugInfos().begin(), info.UnitDebugInfos().end(), [](const TUnitDebugInfo& unit) {
            return unit.AddressesCount() > 0 && unit.Addresses()[0].Line != 0;
        });
    EXPECT_GT(withLines, 0);
    TUnitDebugInfo* const self = DebugUnit()->ProjectDebugInfo().FindUnitDebugInfo(u"DebugUnitWin32Test");
    ASSERT_NE(self, nullptr);
    EXPECT_GT(self->AddressesCount(), 10);
    EXPECT_GT(self->Addresses()[0].Line, 0u);

    // The tables name the code where it really is.
    const std::uint32_t interceptor =
        static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(&RaiseExceptionInterceptor) - code.Start);
    const TRoutineDebugInfo* const routine = FindRoutine(info, u"tarnwick::RaiseExceptionInterceptor(");
    ASSERT_NE(routine, nullptr);
    EXPECT_EQ(routine->StartAddress(), interceptor);
    EXPECT_GT(routine->EndAddress(), interceptor);
    const TUnitDebugInfo* const unit = DebugUnit()->ProjectDebugInfo().FindUnitDebugInfo(u"DebugUnit");
    ASSERT_NE(unit, nullptr);
    ASSERT_EQ(unit->AddressesCount(), 2);
    EXPECT_LE(unit->Addresses()[0].Address, interceptor);
    EXPECT_GT(unit->Addresses()[1].Address, interceptor);
}

TEST_F(DebugUnitOnWindows, RaiseExceptionCallsPassThroughTheInterceptorUnchanged) {
    ASSERT_TRUE(DebugUnit()->HookInstalled());
    EXPECT_EQ(ImportedRaiseException(), reinterpret_cast<std::uintptr_t>(&RaiseExceptionInterceptor));
    EXPECT_EQ(TDebugUnit::SavedRaiseException(), KernelRaiseException());
    void* const handler = ::AddVectoredExceptionHandler(0, &ContinueTestException);
    gSeen = {};
    ThreadCallStack().fill(0);
    const ULONG_PTR arguments[4] = {0, 1, ~ULONG_PTR(0), 0x0123456789ABCDEF};

    ::RaiseException(TestCode, 0, 4, arguments);

    ::RemoveVectoredExceptionHandler(handler);
    EXPECT_EQ(gSeen.Code, TestCode);
    EXPECT_EQ(gSeen.Flags, 0u);
    EXPECT_EQ(gSeen.Arguments, std::vector<ULONG_PTR>(std::begin(arguments), std::end(arguments)));

    // The watcher recorded the stack of the raise, which runs through the interceptor.
    ASSERT_FALSE(StackIsEmpty());
    const TCodeSection code = CodeSection();
    const TRoutineDebugInfo* const routine =
        FindRoutine(DebugUnit()->ProjectDebugInfo(), u"tarnwick::RaiseExceptionInterceptor(");
    ASSERT_NE(routine, nullptr);
    const TCallStack& stack = ThreadCallStack();
    EXPECT_TRUE(std::any_of(stack.begin(), stack.end(), [&](std::uintptr_t frame) {
        return frame > code.Start + routine->StartAddress() && frame <= code.Start + routine->EndAddress();
    }));
}

TEST_F(DebugUnitOnWindows, CppExceptionsWorkAsBeforeAndTheirStacksAreRecorded) {
    ASSERT_TRUE(DebugUnit()->HookInstalled());
    ThreadCallStack().fill(0);
    try {
        ThrowFromDepth(40);
        FAIL() << "nothing thrown";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "from the depth");
    }
    EXPECT_FALSE(StackIsEmpty());

    std::string caught;
    try {
        try {
            throw 42;
        } catch (int value) {
            throw std::to_string(value) + " again";
        }
    } catch (const std::string& text) {
        caught = text;
    }
    EXPECT_EQ(caught, "42 again");

    std::exception_ptr saved;
    try {
        throw std::logic_error("saved");
    } catch (...) {
        saved = std::current_exception();
    }
    EXPECT_THROW(std::rethrow_exception(saved), std::logic_error);
}

TEST_F(DebugUnitOnWindows, ShutDownPutsTheImportBackAndStopsRecording) {
    FinalizeDebugUnit();

    EXPECT_EQ(ImportedRaiseException(), KernelRaiseException());
    EXPECT_EQ(TDebugUnit::SavedRaiseException(), 0u);
    ThreadCallStack().fill(0);
    EXPECT_THROW(ThrowFromDepth(3), std::runtime_error);
    EXPECT_TRUE(StackIsEmpty());

    // Started again, it intercepts again.
    InitializeDebugUnit(FPlatform);
    EXPECT_EQ(ImportedRaiseException(), reinterpret_cast<std::uintptr_t>(&RaiseExceptionInterceptor));
}

} // namespace
} // namespace tarnwick
