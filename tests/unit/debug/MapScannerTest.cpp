#include "diag/MapScanner.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "testing/fixtures/RecordingLog.h"
#include "tests/unit/debug/MapFixtures.h"
#include "tests/unit/debug/TempFolder.h"

namespace tarnwick {
namespace {

using testing::Dump;
using testing::FullMap;
using testing::FullMapDump;
using testing::TTempFolder;

std::string ScanText(const std::string& map) {
    TProjectDebugInfo info;
    TMapTextSource source(map);
    TMapScanner(info, u"").Scan(source);
    return Dump(info);
}

const std::string Segments = "\n"
                             " Start         Length     Name                   Class\n"
                             " 0001:00401000 0000A000H .text                   CODE\n"
                             "\n";
const std::string Detailed = "Detailed map of segments\n"
                             "\n"
                             " 0001:00000000 00000100 C=CODE     S=.text    G=(none)   M=System   ACBP=A9\n"
                             " 0001:00000100 00000080 C=CODE     S=.text    G=(none)   M=SysInit  ACBP=A9\n"
                             "\n";
const std::string DetailedDump = "unit System 00000000/0 00000100/0\n"
                                 "unit SysInit 00000100/0 00000180/0\n";

TEST(MapScanner, ReadsEverySectionOfAMap) {
    EXPECT_EQ(ScanText(FullMap), FullMapDump);
}

TEST(MapScanner, SectionRules) {
    struct Case {
        const char* Name;
        std::string Map;
        std::string Expected;
    };
    const Case cases[] = {
        {"a detailed map followed directly by a non-empty line loads no unit",
         Segments + "Detailed map of segments\n"
                    " 0001:00000000 00000100 C=CODE     S=.text    G=(none)   M=System   ACBP=A9\n"
                    " 0001:00000100 00000080 C=CODE     S=.text    G=(none)   M=SysInit  ACBP=A9\n"
                    "\n",
         "code 0000A000\n"},
        {"lower-case hexadecimal digits read like upper-case ones",
         "\n"
         " Start         Length     Name                   Class\n"
         " 0001:00401000 0000a0ffH .text                   CODE\n"
         "\n"
         "Detailed map of segments\n"
         "\n"
         " 0001:0000abc0 000000ff C=CODE     S=.text    G=(none)   M=Lower    ACBP=A9\n"
         "\n"
         "  Address             Publics by Value\n"
         "\n"
         " 0001:0000abcd       Lower.Routine\n"
         "\n"
         "Line numbers for Lines(Lines.pas) segment .text\n"
         "\n"
         "     7 0001:0000beef\n"
         "\n",
         "code 0000A0FF\n"
         "unit Lower 0000ABC0/0 0000ACBF/0\n"
         "unit Lines 0000BEEF/7\n"
         "routine Lower.Routine 0000ABCD..0000A0FF\n"},
        {"the last CODE segment wins, and a bad length ends the table keeping the last good one",
         "\n"
         " Start         Length     Name                   Class\n"
         " 0001:00401000 0000A000H .text                   CODE\n"
         " 0002:00401000 0000B000H .itext                  CODE\n"
         " 0003:00401000 0000XYZ0H .text2                  CODE\n"
         " 0004:00401000 0000C000H .text3                  CODE\n"
         "\n",
         "code 0000B000\n"},
        {"a bad address ends the publics, leaving the last routine's end as created",
         Segments + "  Address             Publics by Value\n"
                    "\n"
                    " 0001:00000010       A\n"
                    " 0001:00000040       B\n"
                    " 0001:0000004G       C\n"
                    " 0001:00000080       D\n"
                    "\n",
         "code 0000A000\n"
         "routine A 00000010..00000040\n"
         "routine B 00000040..0000003F\n"},
        {"publics followed directly by a non-empty line load no routine",
         Segments + "  Address             Publics by Value\n"
                    " 0001:00000010       A\n"
                    " 0001:00000020       B\n"
                    "\n",
         "code 0000A000\n"},
        {"an empty line-number section leaves the unit's range",
         Segments + Detailed + "Line numbers for System(System.pas) segment .text\n\n\n",
         "code 0000A000\n" + DetailedDump},
        {"a line-number section not opened by an empty line leaves the unit's range",
         Segments + Detailed +
             "Line numbers for System(System.pas) segment .text\n"
             "    10 0001:00000010\n"
             "    11 0001:00000018\n"
             "\n",
         "code 0000A000\n" + DetailedDump},
        {"a 50-character line ends the line numbers; earlier entries stay",
         Segments + "Line numbers for Unit1(Unit1.pas) segment .text\n"
                    "\n"
                    "    10 0001:00000010    11 0001:00000014\n"
                    "    12 0001:00000018    13 0001:0000001C    14 0001:00000020\n"
                    "    15 0001:00000024    16 0001:00000028          \n"
                    "    17 0001:0000002C\n"
                    "\n",
         "code 0000A000\n"
         "unit Unit1 00000010/10 00000014/11 00000018/12 0000001C/13 00000020/14\n"},
        {"a line number that is not a number, or is negative, ends the section",
         Segments + "Line numbers for Unit1(Unit1.pas) segment .text\n"
                    "\n"
                    "    10 0001:00000010   abc 0001:00000014\n"
                    "\n"
                    "Line numbers for Unit2(Unit2.pas) segment .text\n"
                    "\n"
                    "    +3 0001:00000030    -4 0001:00000034\n"
                    "\n",
         "code 0000A000\n"
         "unit Unit1 00000010/10\n"
         "unit Unit2 00000030/3\n"},
        {"later sections of a unit replace its lines; new units follow those of the segment map",
         Segments + Detailed +
             "Line numbers for Unit1(Unit1.pas) segment .text\n\n    10 0001:00000200\n\n"
             "Line numbers for System(System.pas) segment .text\n\n     1 0001:00000000     2 "
             "0001:00000008\n\n"
             "Line numbers for unit1(unit1.pas) segment .text\n\n    20 0001:00000300\n\n",
         "code 0000A000\n"
         "unit System 00000000/1 00000008/2\n"
         "unit SysInit 00000100/0 00000180/0\n"
         "unit Unit1 00000300/20\n"},
        {"a line-number section goes to the first unit of its name",
         Segments + "Detailed map of segments\n"
                    "\n"
                    " 0001:00000000 00000100 C=CODE     S=.text    G=(none)   M=System   ACBP=A9\n"
                    " 0001:00000100 00000080 C=CODE     S=.text    G=(none)   M=SYSTEM   ACBP=A9\n"
                    "\n"
                    "Line numbers for system(system.pas) segment .text\n\n     1 0001:00000000\n\n",
         "code 0000A000\n"
         "unit System 00000000/1\n"
         "unit SYSTEM 00000100/0 00000180/0\n"},
        {"an empty later section keeps the lines of an earlier one",
         Segments + "Line numbers for Unit1(Unit1.pas) segment .text\n\n"
                    "    10 0001:00000200    11 0001:00000208    12 0001:00000210\n\n"
                    "Line numbers for Unit1(Unit1.pas) segment .text\n\n\n",
         "code 0000A000\n"
         "unit Unit1 00000200/10 00000208/11 00000210/12\n"},
        {"headers are compared after trimming blanks, their inner spacing exactly",
         "\n"
         "\t Start         Length     Name                   Class   \n"
         " 0001:00401000 0000A000H .text                   CODE\n"
         "\n"
         "  Address            Publics by Value\n"
         "\n"
         " 0001:00000010       A\n"
         "\n",
         "code 0000A000\n"},
        {"a detailed line without an alignment field gives an unnamed unit",
         Segments + "Detailed map of segments\n"
                    "\n"
                    " 0001:00000000 00000100 C=CODE     S=.text    G=(none)   M=System\n"
                    "\n",
         "code 0000A000\n"
         "unit  00000000/0 00000100/0\n"},
        {"a last line without a line break is read",
         Segments + "Line numbers for Unit1(Unit1.pas) segment .text\n\n    10 0001:00000200",
         "code 0000A000\n"
         "unit Unit1 00000200/10\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(ScanText(c.Map), c.Expected);
    }
}

TEST(MapScanner, CarriageReturnLineBreaksReadLikeLineFeeds) {
    std::string crlf;
    for (const char c : FullMap) {
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    EXPECT_EQ(ScanText(crlf), FullMapDump);
}

// A map source whose reading breaks down after some lines, as when the file is cut under the reader.
class TBreakingSource : public IMapLineSource {
public:
    TBreakingSource(const std::string& text, int goodLines) : FText(text), FGoodLines(goodLines) {}
    bool Eof() override {
        if (FGoodLines <= 0) {
            throw std::runtime_error("read error");
        }
        return FText.Eof();
    }
    std::string_view ReadLine() override { return --FGoodLines < 0 ? std::string_view() : FText.ReadLine(); }

private:
    TMapTextSource FText;
    int FGoodLines;
};

TEST(MapScanner, AReadErrorDiscardsEverythingLoaded) {
    // Broken down in the segment table, in the middle of the publics and in the last line-number section.
    for (const int goodLines : {3, 24, 34}) {
        SCOPED_TRACE(goodLines);
        TProjectDebugInfo info;
        TBreakingSource source(FullMap, goodLines);

        TMapScanner(info, u"").Scan(source);

        EXPECT_FALSE(info.HasDebugInfo());
        EXPECT_EQ(Dump(info), "code 00000000\n");
    }
}

TEST(MapScanner, AMapAboveTheSizeBoundIsSkippedWithALogLine) {
    const struct {
        std::uint64_t Bound;
        bool Loads;
    } cases[] = {{FullMap.size(), true}, {FullMap.size() - 1, false}, {40, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Bound);
        tarnwick::testing::RecordingLog log;
        TProjectDebugInfo info;
        TMapTextSource source(FullMap);
        TMapScanner(info, u"C:\\Tools\\tarnwick.map", c.Bound).Scan(source);
        EXPECT_EQ(Dump(info), c.Loads ? FullMapDump : "code 00000000\n");
        if (c.Loads) {
            EXPECT_TRUE(log.Lines.empty());
        } else {
            ASSERT_EQ(log.Lines.size(), 1u);
            EXPECT_EQ(log.Lines[0], u"The map file C:\\Tools\\tarnwick.map is larger than " +
                                        IntToText(std::int64_t(c.Bound)) + u" bytes and is not read");
        }
    }
}

TEST(MapScanner, HexToCardinalNeedsEightDigitsAtTheStart) {
    struct Case {
        std::string_view Text;
        bool Ok;
        std::uint32_t Value;
    };
    const Case cases[] = {
        {"0000000A", true, 0xA},      {"FFFFFFFF", true, 0xFFFFFFFF},  {"ffffffff", true, 0xFFFFFFFF},
        {"0040aB9c", true, 0x40AB9C}, {"12345678H", true, 0x12345678}, {"1234567", false, 0},
        {"1234567G", false, 0},       {" 1234567", false, 0},          {"", false, 0},
        {"-1234567", false, 0},       {"0x123456", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        std::uint32_t value = 0xCCCCCCCC;
        EXPECT_EQ(HexToCardinal(c.Text, value), c.Ok);
        EXPECT_EQ(value, c.Ok ? c.Value : 0xCCCCCCCC);
    }
}

TEST(MapScanner, LoadingAFileReplacesWhatWasLoadedAndAMissingOrUnreadableFileLoadsNothing) {
    TTempFolder folder;
    const auto map = folder.Write("tarnwick.map", FullMap);
    TProjectDebugInfo info;

    info.LoadMapDebugInfo(map.u16string());
    EXPECT_EQ(Dump(info), FullMapDump);
    info.LoadMapDebugInfo(map.u16string());
    EXPECT_EQ(Dump(info), FullMapDump) << "a second load does not add to the first";

    info.LoadMapDebugInfo((folder.Path() / "missing.map").u16string());
    EXPECT_FALSE(info.HasDebugInfo());

    info.LoadMapDebugInfo(map.u16string());
    info.LoadMapDebugInfo(folder.Path().u16string()); // a folder cannot be read as a map
    EXPECT_FALSE(info.HasDebugInfo());
}

} // namespace
} // namespace tarnwick
