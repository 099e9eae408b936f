#include "diag/MapLineSource.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/unit/debug/TempFolder.h"

namespace tarnwick {
namespace {

using testing::TTempFolder;

std::vector<std::string> ReadAll(IMapLineSource& source) {
    std::vector<std::string> lines;
    while (!source.Eof()) {
        lines.emplace_back(source.ReadLine());
    }
    return lines;
}

TEST(MapFileSource, LinesComeWholeAcrossBlocksWhateverTheirLength) {
    // Lines of every length up to a few hundred characters, one far longer than a read block, both kinds of
    // line break, and a last line without one.
    std::vector<std::string> expected;
    std::string contents;
    for (int i = 0; i < 3000; ++i) {
        expected.push_back(std::string(static_cast<std::size_t>(i % 301), static_cast<char>('a' + i % 26)));
        contents += expected.back() + (i % 7 == 0 ? "\r\n" : "\n");
        if (i == 1500) {
            expected.push_back(std::string(200000, 'L'));
            contents += expected.back() + "\n";
        }
    }
    expected.push_back("last");
    contents += "last";
    TTempFolder folder;
    const auto file = folder.Write("lines.map", contents);

    TMapFileSource source;
    ASSERT_TRUE(source.Open(file.u16string()));
    EXPECT_EQ(ReadAll(source), expected);
    EXPECT_EQ(source.ReadLine(), "") << "reading at the end yields an empty line";
}

TEST(MapFileSource, AFileCutWhileBeingReadFailsItsEndTest) {
    std::string contents;
    for (int i = 0; i < 20000; ++i) {
        contents += " 0001:00001000       Unit" + std::to_string(i) + ".Routine\n";
    }
    TTempFolder folder;
    const auto file = folder.Write("cut.map", contents);
    TMapFileSource source;
    ASSERT_TRUE(source.Open(file.u16string()));
    ASSERT_FALSE(source.Eof());
    source.ReadLine();

    std::filesystem::resize_file(file, contents.size() / 4);

    EXPECT_THROW(
        {
            while (!source.Eof()) {
                source.ReadLine();
            }
        },
        std::exception);
    EXPECT_EQ(source.ReadLine(), "");
}

TEST(MapFileSource, AMissingFileDoesNotOpen) {
    TTempFolder folder;
    TMapFileSource source;
    EXPECT_FALSE(source.Open((folder.Path() / "none.map").u16string()));
}

} // namespace
} // namespace tarnwick
