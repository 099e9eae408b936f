#include "netcore/KeepList.h"

#include <gtest/gtest.h>

#include "core/PlatformConstants.h"
#include "device/DeviceInformationKt.h"
#include "fixtures/RecordingLog.h"
#include "fixtures/SimulatedMachine.h"
#include "netcore/NetCore.h"
#include "tests/unit/support/FakeRegistryPlatform.h"

namespace tarnwick {
namespace {

TEST(KeepList, PatternsMatchTheWholeTextWithWildcardsIgnoringTheCaseOfLetters) {
    const struct {
        const char16_t* Pattern;
        const char16_t* Text;
        bool Matches;
    } cases[] = {
        {u"Hyper-V Virtual Ethernet Adapter", u"hyper-v virtual ethernet adapter", true},
        {u"Hyper-V*", u"Hyper-V Virtual Ethernet Adapter #2", true},
        {u"*virtual*", u"Hyper-V Virtual Ethernet Adapter", true},
        {u"*VIRTUAL", u"Hyper-V Virtual Ethernet Adapter", false}, // the whole text must match
        {u"Hyper", u"Hyper-V", false},
        {u"TAP-Windows Adapter V?", u"TAP-Windows Adapter V9", true},
        {u"TAP-Windows Adapter V?", u"TAP-Windows Adapter V", false}, // "?" is exactly one character
        {u"ROOT\\*", u"ROOT\\NET\\0000", true},
        {u"*", u"", true},
        {u"", u"", true},
        {u"?", u"", false},
        {u"a*b*c", u"aXbYbZc", true},
        {u"a*b*c", u"aXbYcZ", false},
        {u"**x**", u"yyxyy", true},
        {u"*a*a*a*a*b", u"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", false},
        {u"\u00e9thernet*", u"\u00e9thernet 2", true},
        // Letters beyond ASCII: Latin with accents, Greek, Cyrillic.
        {u"R\u00c9SEAU*", u"R\u00e9seau local", true},
        {u"*\u0141\u0104CZE", u"Po\u0142\u0105cze", true}, // Polish: L with stroke, A with ogonek
        {u"\u0395\u03a3\u03a9\u03a4\u0395\u03a1\u0399\u039a\u039f*",
         u"\u03b5\u03c3\u03c9\u03c4\u03b5\u03c1\u03b9\u03ba\u03cc \u03b4\u03af\u03ba\u03c4\u03c5\u03bf",
         false},                                                             // tonos is another letter
        {u"\u0421\u0415\u0422\u042c*", u"\u0421\u0435\u0442\u044c 2", true}, // Cyrillic
        {u"\u0401*", u"\u0451", true},
        {u"\u00df", u"SS", false}, // no expansions
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.Pattern) + " / " + ToUtf8(c.Text));
        EXPECT_EQ(MatchesPattern(c.Pattern, c.Text), c.Matches);
    }
}

class KeptAdapters : public ::testing::Test {
protected:
    void SetUp() override {
        vm = m.AddAdapter(u"ROOT\\VMS_MP\\0000", u"Hyper-V Virtual Ethernet Adapter");
        m.sim.SetText(vm, SPDRP_DEVICEDESC, u"Hyper-V Virtual Switch Port");
        m.sim.SetText(vm, SPDRP_HARDWAREID, u"vms_mp");
        wired = m.AddAdapter(u"PCI\\VEN_8086&DEV_15B8\\3&11583659&0&FE", u"Intel(R) Ethernet I219-V");
    }
    void TearDown() override { FinalizeDeviceInformationKt(); }
    void PutList(RegKey root, const std::u16string& path, std::u16string patterns) {
        // A multi-string: each text with its NUL, and one more NUL at the end.
        registry.PutString(root, path, u"Keep", patterns + u'\0', REG_MULTI_SZ);
    }
    std::vector<std::u16string> KeptNames() {
        const TKeepList keep = ReadKeepList(registry);
        std::vector<std::u16string> names;
        for (const auto& adapter : GetNetAdapters(m.sim)) {
            if (keep.Keeps(*adapter)) {
                names.emplace_back(adapter->PnPName());
            }
        }
        return names;
    }

    testing::SimulatedMachine m;
    testing::FakeRegistryPlatform registry;
    testing::RecordingLog log;
    DEVINST vm = 0, wired = 0;
};

TEST_F(KeptAdapters, APatternKeepsAnAdapterByEachOfItsFourNames) {
    const std::vector<std::u16string> kept{u"ROOT\\VMS_MP\\0000"};
    for (const char16_t* pattern :
         {u"hyper-v virtual ethernet*", u"*switch port", u"VMS_MP", u"root\\vms_mp\\*"}) {
        SCOPED_TRACE(ToUtf8(pattern));
        PutList(HKeyCurrentUser, u"Software\\Tarnwick", pattern);
        EXPECT_EQ(KeptNames(), kept);
    }
    PutList(HKeyCurrentUser, u"Software\\Tarnwick", u"Realtek*");
    EXPECT_TRUE(KeptNames().empty());
}

TEST_F(KeptAdapters, TheUsersListAndThePolicyListBothApply) {
    PutList(HKeyCurrentUser, u"Software\\Tarnwick", std::u16string(u"Nothing here") + u'\0' + u"*Hyper-V*");
    PutList(HKeyLocalMachine, u"Software\\Policies\\Tarnwick", u"PCI\\VEN_8086*");
    EXPECT_EQ(KeptNames(), (std::vector<std::u16string>{u"ROOT\\VMS_MP\\0000",
                                                        u"PCI\\VEN_8086&DEV_15B8\\3&11583659&0&FE"}));
    EXPECT_TRUE(log.Lines.empty());
}

TEST_F(KeptAdapters, AValueOfAnotherTypeOrAKeyThatCannotBeReadIsIgnoredWithALogLine) {
    registry.PutString(HKeyCurrentUser, u"Software\\Tarnwick", u"Keep", u"*Hyper-V*", REG_SZ);
    PutList(HKeyLocalMachine, u"Software\\Policies\\Tarnwick", u"PCI\\*");
    EXPECT_EQ(KeptNames(), (std::vector<std::u16string>{u"PCI\\VEN_8086&DEV_15B8\\3&11583659&0&FE"}));
    ASSERT_EQ(log.Lines.size(), 1u);
    EXPECT_NE(
        log.Lines[0].find(u"HKEY_CURRENT_USER\\Software\\Tarnwick\\Keep is not a multi-string (type 1)"),
        std::u16string::npos)
        << ToUtf8(log.Lines[0]);

    log.Lines.clear();
    registry.DeniedRoots.insert(HKeyLocalMachine);
    EXPECT_TRUE(KeptNames().empty());
    ASSERT_EQ(log.Lines.size(), 2u);
    EXPECT_NE(
        log.Lines[1].find(u"HKEY_LOCAL_MACHINE\\Software\\Policies\\Tarnwick\\Keep cannot be read (error 5)"),
        std::u16string::npos)
        << ToUtf8(log.Lines[1]);
}

TEST_F(KeptAdapters, AHugeListIsCutAtItsLastWholePatternWithALogLine) {
    // 8 MB of patterns that match nothing, then one that would keep the wired adapter; the first pattern
    // past the bound is cut in the middle of "PCI\\*", which must not become "PCI" or "P".
    const std::u16string filler = u"No adapter is called so ";
    std::u16string list;
    while (list.size() * 2 < MaxKeepListBytes - 2 * (filler.size() + 1) + 6) {
        list += filler + u'\0';
    }
    list += u"*Hyper-V*";
    list += u'\0';
    while (list.size() * 2 < 8 * 1024 * 1024) {
        list += u"PCI\\*" + std::u16string(u"\0");
    }
    PutList(HKeyCurrentUser, u"Software\\Tarnwick", list);
    const TKeepList keep = ReadKeepList(registry);
    ASSERT_FALSE(keep.Patterns().empty());
    std::size_t bytes = 0;
    for (const std::u16string& pattern : keep.Patterns()) {
        EXPECT_TRUE(pattern == filler || pattern == u"*Hyper-V*") << ToUtf8(pattern);
        bytes += (pattern.size() + 1) * 2;
    }
    EXPECT_LE(bytes, MaxKeepListBytes);
    EXPECT_EQ(KeptNames(), (std::vector<std::u16string>{u"ROOT\\VMS_MP\\0000"}));
    ASSERT_FALSE(log.Lines.empty());
    EXPECT_NE(log.Lines[0].find(u"only its patterns within the first 65536 bytes are used"),
              std::u16string::npos)
        << ToUtf8(log.Lines[0]);
}

TEST_F(KeptAdapters, KeptAdaptersAreNeverSwitchedAndDoNotCountForTheState) {
    PutList(HKeyCurrentUser, u"Software\\Tarnwick", u"*Hyper-V*");
    const TKeepList keep = ReadKeepList(registry);
    TurnOffInternet(m.sim, keep);
    EXPECT_EQ(m.sim.Device(vm).Problem, 0u);
    EXPECT_EQ(m.sim.Device(wired).Problem, CM_PROB_DISABLED);
    EXPECT_FALSE(IsInternetActive(m.sim, keep)) << "the kept adapter, still on, does not count";
    EXPECT_TRUE(IsInternetActive(m.sim)) << "without the list it would";
    m.sim.Disable(vm);
    TurnOnInternet(m.sim, keep);
    EXPECT_EQ(m.sim.Device(vm).Problem, CM_PROB_DISABLED);
    EXPECT_EQ(m.sim.Device(wired).Problem, 0u);
}

TEST(KeepList, MultiStringBytesSplitIntoTheirTexts) {
    const auto bytes = [](std::u16string text) {
        std::vector<std::uint8_t> data;
        for (char16_t c : text) {
            data.push_back(std::uint8_t(c & 0xFF));
            data.push_back(std::uint8_t(c >> 8));
        }
        return data;
    };
    using V = std::vector<std::u16string>;
    EXPECT_EQ(SplitMultiString(bytes(std::u16string(u"a\0b*\0\0", 6))), (V{u"a", u"b*"}));
    EXPECT_EQ(SplitMultiString(bytes(std::u16string(u"a\0\0b", 4))), (V{u"a", u"b"}))
        << "empty texts skipped";
    EXPECT_EQ(SplitMultiString(bytes(u"no end")), (V{u"no end"})) << "a value without its closing NULs";
    auto odd = bytes(u"x");
    odd.push_back(0x41);
    EXPECT_EQ(SplitMultiString(odd), (V{u"x"}));
    EXPECT_TRUE(SplitMultiString({}).empty());
}

} // namespace
} // namespace tarnwick
