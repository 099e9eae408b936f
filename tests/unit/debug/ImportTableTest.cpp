#include "diag/ImportTable.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "tests/unit/debug/FakeProcessImage.h"

namespace tarnwick {
namespace {

using testing::TFakeProcessImage;
using testing::TPeImageBuilder;

constexpr std::uint64_t Old = 0x7FF000001234;
constexpr std::uint64_t New = 0x140001000;
constexpr std::uint64_t OtherA = 0x7FF000000010;
constexpr std::uint64_t OtherB = 0x7FF000000020;

struct ImportTableFixture : ::testing::Test {
    TPeImageBuilder Builder;
    TFakeProcessImage Process;

    void BuildImage() { Process.Image = Builder.Build(); }
    std::uint64_t Entry(std::size_t import, std::size_t entry) const {
        return Process.Entry(Builder.ThunkOffsets()[import][entry]);
    }
    bool Replace() { return ReplaceImportedFunction(Process, Process.Base(), u"kernel32.dll", Old, New); }
};

TEST_F(ImportTableFixture, EveryMatchingEntryOfEveryKernelDescriptorIsReplacedAndNothingElse) {
    Builder.Import("KERNEL32.dll", {OtherA, Old, OtherB, Old})
        .Import("user32.dll", {Old})
        .Import("kernel32.dllx", {Old})
        .Import("Kernel32.DLL", {Old, OtherA});
    BuildImage();

    EXPECT_TRUE(Replace());

    EXPECT_EQ(Entry(0, 0), OtherA);
    EXPECT_EQ(Entry(0, 1), New);
    EXPECT_EQ(Entry(0, 2), OtherB);
    EXPECT_EQ(Entry(0, 3), New);
    EXPECT_EQ(Entry(1, 0), Old) << "another library's import of the same address stays";
    EXPECT_EQ(Entry(2, 0), Old) << "a name that merely begins like the library's is another library";
    EXPECT_EQ(Entry(3, 0), New) << "a second descriptor of the library is patched too";
    EXPECT_EQ(Entry(3, 1), OtherA);
    ASSERT_EQ(Process.Writes.size(), 3u);
    for (const auto& write : Process.Writes) {
        EXPECT_EQ(write.Process, TFakeProcessImage::CurrentProcess);
        EXPECT_EQ(write.Size, 8u);
        EXPECT_EQ(write.Value, New);
    }
}

TEST_F(ImportTableFixture, NoEntryOfTheOldAddressMeansNothingReplaced) {
    Builder.Import("KERNEL32.dll", {OtherA, OtherB}).Import("user32.dll", {Old});
    BuildImage();

    EXPECT_FALSE(Replace());
    EXPECT_TRUE(Process.Writes.empty());
}

TEST(ImportTable, OnlyWritesOfAllEightBytesCountAndAFailedOneDoesNotStopTheWalk) {
    struct Case {
        const char* Name;
        std::vector<std::function<bool(std::size_t&)>> Answers;
        bool Expected;
    };
    const auto fails = [](std::size_t& written) { return written = 0, false; };
    const auto short4 = [](std::size_t& written) { return written = 4, true; };
    const auto full = [](std::size_t&) { return true; };
    const Case cases[] = {
        {"failed, short, full", {fails, short4, full}, true},
        {"failed, short, failed", {fails, short4, fails}, false},
        {"all full", {full, full, full}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TPeImageBuilder builder;
        builder.Import("kernel32.dll", {Old, Old}).Import("KERNEL32.DLL", {Old});
        TFakeProcessImage process;
        process.Image = builder.Build();
        process.WriteAnswers = c.Answers;

        EXPECT_EQ(ReplaceImportedFunction(process, process.Base(), u"kernel32.dll", Old, New), c.Expected);
        EXPECT_EQ(process.Writes.size(), 3u) << "every matching entry is tried";
    }
}

TEST(ImportTable, ImagesWithoutUsableHeadersOrImportsAreLeftAlone) {
    struct Case {
        const char* Name;
        std::function<void(TFakeProcessImage&)> Spoil;
    };
    const Case cases[] = {
        {"unreadable first 64 bytes", [](TFakeProcessImage& p) { p.HeadersReadable = false; }},
        {"no MZ signature",
         [](TFakeProcessImage& p) { TPeImageBuilder::Put<std::uint16_t>(p.Image, 0, 0x4D5A); }},
        {"no new header", [](TFakeProcessImage& p) { TPeImageBuilder::Put<std::int32_t>(p.Image, 0x3C, 0); }},
        {"unreadable new header", [](TFakeProcessImage& p) { p.NtHeadersReadable = false; }},
        {"no PE signature",
         [](TFakeProcessImage& p) { TPeImageBuilder::Put<std::uint32_t>(p.Image, 0x80, 0x00014550); }},
        {"no import directory",
         [](TFakeProcessImage& p) { TPeImageBuilder::Put<std::uint32_t>(p.Image, 0x110, 0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TPeImageBuilder builder;
        builder.Import("kernel32.dll", {Old});
        TFakeProcessImage process;
        process.Image = builder.Build();
        c.Spoil(process);

        EXPECT_FALSE(ReplaceImportedFunction(process, process.Base(), u"kernel32.dll", Old, New));
        EXPECT_TRUE(process.Writes.empty());
        EXPECT_EQ(process.Entry(builder.ThunkOffsets()[0][0]), Old);
    }
}

} // namespace
} // namespace tarnwick
