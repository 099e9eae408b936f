#include "support/SupportUtils.h"

#include <gtest/gtest.h>

#include "core/PlatformConstants.h"
#include "tests/unit/support/FakeRegistryPlatform.h"

namespace tarnwick {
namespace {

using testing::FakeRegistryPlatform;

const std::u16string kRun = u"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::u16string kRunOnce = u"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const std::u16string kCommand = u"C:\\Tools\\prog.exe";

class StartupEntry : public ::testing::Test {
protected:
    void Add(std::u16string_view command, bool force = false, bool runOnce = false, bool allUsers = false) {
        SetStartupEntry(Registry, u"Tarnwick", command,
                        {.RunOnce = runOnce, .Force = force, .AllUsers = allUsers});
    }
    void Remove(bool runOnce = false, bool allUsers = false) {
        SetStartupEntry(Registry, u"Tarnwick", kCommand,
                        {.Remove = true, .RunOnce = runOnce, .AllUsers = allUsers});
    }
    void TearDown() override { EXPECT_EQ(Registry.OpenHandles(), 0u) << "a key was left open"; }

    FakeRegistryPlatform Registry;
};

TEST_F(StartupEntry, WritesAMissingValueAsAStringWithItsNul) {
    Add(kCommand);
    const auto value = Registry.Get(HKeyCurrentUser, kRun, u"Tarnwick");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->Type, REG_SZ);
    EXPECT_EQ(value->Data.size(), (kCommand.size() + 1) * 2);
    EXPECT_EQ(Registry.GetString(HKeyCurrentUser, kRun, u"Tarnwick"), kCommand);
    ASSERT_GE(Registry.Calls.size(), 1u);
    EXPECT_EQ(Registry.Calls[0].Function, "RegCreateKeyExW");
    EXPECT_EQ(Registry.Calls[0].Name, kRun);
    EXPECT_EQ(Registry.Calls[0].Access, KEY_ALL_ACCESS);
}

TEST_F(StartupEntry, LeavesAnEqualValueAloneUnlessForced) {
    Registry.PutString(HKeyCurrentUser, kRun, u"Tarnwick", kCommand);
    Add(kCommand);
    EXPECT_EQ(Registry.CountCalls("RegSetValueExW"), 0u);

    Add(kCommand, /*force=*/true);
    EXPECT_EQ(Registry.CountCalls("RegSetValueExW"), 1u);
    EXPECT_EQ(Registry.GetString(HKeyCurrentUser, kRun, u"Tarnwick"), kCommand);
}

FakeRegistryPlatform::Value Sz(const std::u16string& text, bool withNul = true) {
    FakeRegistryPlatform::Value value{REG_SZ, {}};
    for (char16_t c : text + (withNul ? std::u16string(1, u'\0') : std::u16string())) {
        value.Data.push_back(std::uint8_t(c & 0xFF));
        value.Data.push_back(std::uint8_t(c >> 8));
    }
    return value;
}

TEST_F(StartupEntry, ReplacesAnyOtherStoredValue) {
    const struct {
        const char* Title;
        FakeRegistryPlatform::Value Stored;
    } cases[] = {
        {"an older path", Sz(u"C:\\Old\\prog.exe")},
        {"the same path in another case", Sz(u"c:\\tools\\PROG.EXE")},
        {"the command's beginning without its NUL", Sz(u"C:\\Tools", false)},
        {"a number instead of text", {REG_DWORD, {1, 0, 0, 0}}},
    };
    for (const auto& c : cases) {
        FakeRegistryPlatform registry;
        registry.PutValue(HKeyCurrentUser, kRun, u"Tarnwick", c.Stored);
        SetStartupEntry(registry, u"Tarnwick", kCommand);
        EXPECT_EQ(registry.GetString(HKeyCurrentUser, kRun, u"Tarnwick"), kCommand) << c.Title;
        EXPECT_EQ(registry.Get(HKeyCurrentUser, kRun, u"Tarnwick")->Type, REG_SZ) << c.Title;
    }
}

TEST_F(StartupEntry, ReadsAStoredValueWithoutItsNulAsTheSameText) {
    Registry.PutValue(HKeyCurrentUser, kRun, u"Tarnwick", Sz(kCommand, false));
    Add(kCommand);
    EXPECT_EQ(Registry.CountCalls("RegSetValueExW"), 0u);
}

TEST_F(StartupEntry, StoresTheCommandTrimmedAndRewritesItEveryTime) {
    const std::u16string padded = u" \t" + kCommand + u"\r\n ";
    Add(padded);
    Add(padded);
    EXPECT_EQ(Registry.GetString(HKeyCurrentUser, kRun, u"Tarnwick"), kCommand);
    EXPECT_EQ(Registry.CountCalls("RegSetValueExW"), 2u);
}

TEST_F(StartupEntry, KeepsTheQuotesTheCallerGives) {
    Add(u"\"C:\\Program Files\\Tarnwick\\Tarnwick.exe\"");
    EXPECT_EQ(Registry.GetString(HKeyCurrentUser, kRun, u"Tarnwick"),
              u"\"C:\\Program Files\\Tarnwick\\Tarnwick.exe\"");
}

TEST_F(StartupEntry, ChoosesRootAndKeyByTheFlags) {
    const struct {
        bool RunOnce, AllUsers;
        RegKey Root;
        std::u16string Path;
    } cases[] = {
        {false, false, HKeyCurrentUser, kRun},
        {true, false, HKeyCurrentUser, kRunOnce},
        {false, true, HKeyLocalMachine, kRun},
        {true, true, HKeyLocalMachine, kRunOnce},
    };
    for (const auto& c : cases) {
        FakeRegistryPlatform registry;
        SetStartupEntry(registry, u"Tarnwick", kCommand, {.RunOnce = c.RunOnce, .AllUsers = c.AllUsers});
        EXPECT_EQ(registry.GetString(c.Root, c.Path, u"Tarnwick"), kCommand) << c.RunOnce << c.AllUsers;
        ASSERT_FALSE(registry.Calls.empty());
        EXPECT_EQ(registry.Calls[0].Root, c.Root);

        SetStartupEntry(registry, u"Tarnwick", kCommand,
                        {.Remove = true, .RunOnce = c.RunOnce, .AllUsers = c.AllUsers});
        EXPECT_FALSE(registry.Get(c.Root, c.Path, u"Tarnwick")) << c.RunOnce << c.AllUsers;
    }
}

TEST_F(StartupEntry, DoesNothingWhenTheKeyCannotBeOpened) {
    Registry.DeniedRoots.insert(HKeyLocalMachine);
    EXPECT_NO_THROW(Add(kCommand, false, false, /*allUsers=*/true));
    EXPECT_NO_THROW(Remove(false, /*allUsers=*/true));
    EXPECT_EQ(Registry.CountCalls("RegSetValueExW") + Registry.CountCalls("RegDeleteValueW"), 0u);
}

TEST_F(StartupEntry, RemovesOnlyThatValue) {
    Registry.PutString(HKeyCurrentUser, kRun, u"Tarnwick", kCommand);
    Registry.PutString(HKeyCurrentUser, kRun, u"Other", u"C:\\other.exe");
    Remove();
    EXPECT_FALSE(Registry.Get(HKeyCurrentUser, kRun, u"Tarnwick"));
    EXPECT_EQ(Registry.GetString(HKeyCurrentUser, kRun, u"Other"), u"C:\\other.exe");
}

TEST_F(StartupEntry, RemovingWhatIsNotThereNeitherFailsNorCreatesTheKey) {
    EXPECT_NO_THROW(Remove(/*runOnce=*/true));
    EXPECT_FALSE(Registry.KeyExists(HKeyCurrentUser, kRunOnce));
    EXPECT_EQ(Registry.CountCalls("RegCreateKeyExW"), 0u);

    Registry.PutString(HKeyCurrentUser, kRun, u"Other", u"x");
    EXPECT_NO_THROW(Remove());
    EXPECT_EQ(Registry.GetString(HKeyCurrentUser, kRun, u"Other"), u"x");
}

} // namespace
} // namespace tarnwick
