#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "diag/DebugUnit.h"
#include "tests/unit/debug/FakeProcessImage.h"

namespace tarnwick {
namespace {

using testing::TFakeProcessImage;
using testing::TPeImageBuilder;

struct TRaiseCall {
    std::uint32_t Code;
    std::uint32_t Flags;
    std::uint32_t Count;
    const std::uintptr_t* Arguments;
};
std::vector<TRaiseCall> gRaised;

// Stands for kernel32's RaiseException: it is where the interceptor must pass every call.
void FakeRaiseException(std::uint32_t code, std::uint32_t flags, std::uint32_t count,
                        const std::uintptr_t* arguments) {
    gRaised.push_back({code, flags, count, arguments});
}

constexpr std::uint64_t OtherImport = 0x7FF000000010;

std::uintptr_t Address(TRaiseExceptionProc proc) {
    return reinterpret_cast<std::uintptr_t>(proc);
}

struct DebugUnitHook : ::testing::Test {
    TPeImageBuilder Builder;
    TFakeProcessImage Process;

    DebugUnitHook() {
        gRaised.clear();
        ThreadCallStack().fill(0);
        Process.RaiseExceptionAddress = Address(&FakeRaiseException);
        Builder.Import("KERNEL32.dll", {OtherImport, Address(&FakeRaiseException)});
        Process.Image = Builder.Build();
    }
    std::uint64_t RaiseExceptionEntry() const { return Process.Entry(Builder.ThunkOffsets()[0][1]); }
    // Calls RaiseException the way the executable does: through its import table.
    void RaiseThroughImport(std::uint32_t code, std::uint32_t flags, std::uint32_t count,
                            const std::uintptr_t* args) {
        reinterpret_cast<TRaiseExceptionProc>(RaiseExceptionEntry())(code, flags, count, args);
    }
};

TEST_F(DebugUnitHook, ImportsGoThroughTheInterceptorWhichPassesEveryCallOnUnchanged) {
    TDebugUnit unit(Process);
    unit.HookRaiseException();

    ASSERT_TRUE(unit.HookInstalled());
    EXPECT_EQ(RaiseExceptionEntry(), Address(&RaiseExceptionInterceptor));
    EXPECT_EQ(Process.Entry(Builder.ThunkOffsets()[0][0]), OtherImport);
    EXPECT_EQ(TDebugUnit::SavedRaiseException(), Address(&FakeRaiseException));
    ASSERT_EQ(Process.Registrations.size(), 1u);
    EXPECT_EQ(Process.Registrations[0].First, 1u) << "the watcher sees exceptions before any other handler";
    EXPECT_EQ(Process.Registrations[0].Handler, &ExceptObjInterceptor);

    // The runtime's own exception shape is among them: on this platform it records nothing either.
    const std::uintptr_t seven[7] = {0x401000, 0xABC, 3, 4, 5, 6, 7};
    const std::uintptr_t one[1] = {0x20474343};
    const TRaiseCall calls[] = {
        {0xE06D7363, 0, 1, one},
        {0x0EEDFADE, 1, 7, seven},
        {0xC0000005, 1, 0, nullptr},
        {0x20474343, 0, 1, one},
    };
    for (const TRaiseCall& call : calls) {
        RaiseThroughImport(call.Code, call.Flags, call.Count, call.Arguments);
    }
    ASSERT_EQ(gRaised.size(), std::size(calls));
    for (std::size_t i = 0; i < std::size(calls); ++i) {
        EXPECT_EQ(gRaised[i].Code, calls[i].Code);
        EXPECT_EQ(gRaised[i].Flags, calls[i].Flags);
        EXPECT_EQ(gRaised[i].Count, calls[i].Count);
        EXPECT_EQ(gRaised[i].Arguments, calls[i].Arguments);
    }
    EXPECT_TRUE(Process.Captures.empty());
}

TEST_F(DebugUnitHook, UnhookPutsTheImportBackAndUnregistersTheWatcher) {
    TDebugUnit unit(Process);
    unit.HookRaiseException();
    unit.HookRaiseException(); // a second installation changes nothing
    EXPECT_EQ(Process.Writes.size(), 1u);
    EXPECT_EQ(Process.Registrations.size(), 1u);

    unit.UnhookRaiseException();

    EXPECT_FALSE(unit.HookInstalled());
    EXPECT_EQ(RaiseExceptionEntry(), Address(&FakeRaiseException));
    ASSERT_EQ(Process.Removals.size(), 1u);
    EXPECT_EQ(Process.Removals[0], &Process.Registrations);
    EXPECT_EQ(TDebugUnit::SavedRaiseException(), 0u);

    unit.UnhookRaiseException(); // not installed: nothing to do
    EXPECT_EQ(Process.Writes.size(), 2u);
    EXPECT_EQ(Process.Removals.size(), 1u);

    // Installable again afterwards.
    unit.HookRaiseException();
    EXPECT_TRUE(unit.HookInstalled());
    EXPECT_EQ(RaiseExceptionEntry(), Address(&RaiseExceptionInterceptor));
}

TEST_F(DebugUnitHook, WithoutRaiseExceptionOrAnImportOfItNothingIsInstalled) {
    struct Case {
        const char* Name;
        std::function<void(TFakeProcessImage&)> Arrange;
    };
    const Case cases[] = {
        {"kernel32 not loaded", [](TFakeProcessImage& p) { p.KernelLoaded = false; }},
        {"no RaiseException export", [](TFakeProcessImage& p) { p.RaiseExceptionAddress = 0; }},
        {"executable does not import it",
         [](TFakeProcessImage& p) { p.RaiseExceptionAddress = 0x7FF000009999; }},
        {"import table unreadable", [](TFakeProcessImage& p) { p.HeadersReadable = false; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TFakeProcessImage process;
        process.Image = Process.Image;
        process.RaiseExceptionAddress = Address(&FakeRaiseException);
        c.Arrange(process);
        TDebugUnit unit(process);

        unit.HookRaiseException();

        EXPECT_FALSE(unit.HookInstalled());
        EXPECT_TRUE(process.Writes.empty());
        EXPECT_TRUE(process.Registrations.empty());
        EXPECT_EQ(TDebugUnit::SavedRaiseException(), 0u);
    }
}

TEST_F(DebugUnitHook, OnlyOneUnitStandsBehindTheInterceptor) {
    TDebugUnit first(Process);
    first.HookRaiseException();
    TDebugUnit second(Process);
    second.HookRaiseException();

    EXPECT_TRUE(first.HookInstalled());
    EXPECT_FALSE(second.HookInstalled());
    EXPECT_EQ(Process.Registrations.size(), 1u);
    RaiseThroughImport(0xE0000001, 0, 0, nullptr);
    EXPECT_EQ(gRaised.size(), 1u);
}

TEST_F(DebugUnitHook, TheDestroyedUnitLeavesNoInterceptionBehind) {
    {
        TDebugUnit unit(Process);
        unit.HookRaiseException();
    }
    EXPECT_EQ(RaiseExceptionEntry(), Address(&FakeRaiseException));
    EXPECT_EQ(Process.Removals.size(), 1u);
}

TExceptionRecord Record(std::uint32_t code, std::uintptr_t address) {
    TExceptionRecord record{};
    record.ExceptionCode = code;
    record.ExceptionAddress = address;
    return record;
}

TEST_F(DebugUnitHook, EveryRaisedExceptionRecordsTheThreadsStackAndIsLeftToTheNextHandler) {
    TDebugUnit unit(Process);
    unit.HookRaiseException();
    Process.Frames = {0x140001010, 0x140001020, 0x140001030};
    ThreadCallStack().fill(0xDEAD);
    TExceptionRecord record = Record(0xE06D7363, 0x7FF000001111);
    TExceptionPointers pointers{&record, nullptr};

    EXPECT_EQ(ExceptObjInterceptor(&pointers), 0) << "EXCEPTION_CONTINUE_SEARCH";

    ASSERT_EQ(Process.Captures.size(), 1u);
    EXPECT_EQ(Process.Captures[0], std::make_pair(2u, 27u));
    TCallStack expected{};
    expected[0] = 0x140001010;
    expected[1] = 0x140001020;
    expected[2] = 0x140001030;
    EXPECT_EQ(ThreadCallStack(), expected) << "the stack ends at its first zero entry";

    // A deep stack fills all 27 entries.
    Process.Frames.assign(40, 0x140002000);
    ExceptObjInterceptor(&pointers);
    TCallStack full;
    full.fill(0x140002000);
    EXPECT_EQ(ThreadCallStack(), full);
}

TEST_F(DebugUnitHook, ARaiseDuringTheCaptureIsNotRecordedAgain) {
    TDebugUnit unit(Process);
    unit.HookRaiseException();
    TExceptionRecord record = Record(0xC0000005, 0x140001000);
    TExceptionPointers pointers{&record, nullptr};
    std::int32_t innerAnswer = -1;
    Process.DuringCapture = [&] { innerAnswer = ExceptObjInterceptor(&pointers); };

    ExceptObjInterceptor(&pointers);

    EXPECT_EQ(Process.Captures.size(), 1u);
    EXPECT_EQ(innerAnswer, 0);
    // And the flag is down again: the next exception is recorded.
    ExceptObjInterceptor(&pointers);
    EXPECT_EQ(Process.Captures.size(), 2u);
}

TEST_F(DebugUnitHook, NothingIsRecordedForAStackOverflowOrWithoutTheInterception) {
    TExceptionRecord overflow = Record(0xC00000FD, 0x140001000);
    TExceptionRecord access = Record(0xC0000005, 0x140001000);
    TExceptionPointers overflowPointers{&overflow, nullptr};
    TExceptionPointers accessPointers{&access, nullptr};
    {
        TDebugUnit unit(Process);
        unit.HookRaiseException();
        EXPECT_EQ(ExceptObjInterceptor(&overflowPointers), 0);
        EXPECT_TRUE(Process.Captures.empty());
    }
    EXPECT_EQ(ExceptObjInterceptor(&accessPointers), 0);
    EXPECT_TRUE(Process.Captures.empty());
}

TEST_F(DebugUnitHook, EachThreadHasItsOwnCallStack) {
    TDebugUnit unit(Process);
    unit.HookRaiseException();
    Process.Frames = {0x140003000};
    TExceptionRecord record = Record(0xE06D7363, 0x140001000);
    TExceptionPointers pointers{&record, nullptr};

    TCallStack other{};
    std::thread thread([&] {
        ExceptObjInterceptor(&pointers);
        other = ThreadCallStack();
    });
    thread.join();

    EXPECT_EQ(other[0], 0x140003000u);
    EXPECT_EQ(ThreadCallStack(), TCallStack{}) << "this thread raised nothing";
}

} // namespace
} // namespace tarnwick
