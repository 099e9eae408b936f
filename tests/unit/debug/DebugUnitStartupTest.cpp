#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>

#include "diag/DebugUnit.h"
#include "tests/unit/debug/FakeProcessImage.h"
#include "tests/unit/debug/TempFolder.h"

namespace tarnwick {
namespace {

using testing::TFakeProcessImage;
using testing::TPeImageBuilder;
using testing::TTempFolder;

void PassOn(std::uint32_t, std::uint32_t, std::uint32_t, const std::uintptr_t*) {}

// Enough of a map for one routine.
constexpr std::string_view SmallMap = "\n"
                                      " Start         Length     Name                   Class\n"
                                      " 0001:00401000 00000100H .text                   CODE\n"
                                      "\n"
                                      "  Address             Publics by Value\n"
                                      "\n"
                                      " 0001:00000010       Unit1.Routine\n"
                                      "\n";

using Days = std::chrono::duration<double, std::ratio<86400>>;

struct DebugUnitStartup : ::testing::Test {
    TTempFolder Folder;
    TPeImageBuilder Builder;
    TFakeProcessImage Process;

    DebugUnitStartup() {
        Process.RaiseExceptionAddress = reinterpret_cast<std::uintptr_t>(&PassOn);
        Builder.Import("KERNEL32.dll", {Process.RaiseExceptionAddress});
        Process.Image = Builder.Build();
    }
    ~DebugUnitStartup() override { FinalizeDebugUnit(); }

    // The executable and, when MapAge is given, its map that many days later (negative: older).
    void Arrange(const std::string& executable, const std::string& map, std::optional<double> mapAge) {
        const auto exe = Folder.Write(executable, "MZ");
        Process.ExecutablePath = exe.u16string();
        if (mapAge) {
            const auto mapFile = Folder.Write(map, SmallMap);
            const auto exeTime = std::filesystem::last_write_time(exe);
            std::filesystem::last_write_time(
                mapFile, exeTime + std::chrono::duration_cast<std::filesystem::file_time_type::duration>(
                                       Days(*mapAge)));
        }
    }
};

TEST_F(DebugUnitStartup, LoadsTheMapBesideTheExecutableOnlyWithinSixDaysOfIt) {
    struct Case {
        std::optional<double> MapAge;
        bool Loaded;
    };
    const Case cases[] = {
        {0.0, true},    {-5.0, true}, {-5.99, true}, {-6.0, false},
        {-30.0, false}, {5.0, true},  {6.0, false},  {std::nullopt, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.MapAge ? std::to_string(*c.MapAge) + " days" : std::string("no map"));
        Folder.Clear();
        Arrange("tarnwick.exe", "tarnwick.map", c.MapAge);

        InitializeDebugUnit(Process);

        ASSERT_NE(DebugUnit(), nullptr);
        EXPECT_EQ(DebugUnit()->ProjectDebugInfo().HasDebugInfo(), c.Loaded);
        EXPECT_TRUE(DebugUnit()->HookInstalled()) << "the interception does not depend on the map";
        FinalizeDebugUnit();
    }
}

TEST_F(DebugUnitStartup, TheMapIsNamedByReplacingTheExecutablesExtension) {
    struct Case {
        const char* Executable;
        const char* Map;
    };
    const Case cases[] = {
        {"tarnwick.exe", "tarnwick.map"},
        {"build.v2/tarnwick.exe", "build.v2/tarnwick.map"},
        {"build.v2/tarnwick", "build.v2/tarnwick.map"},
        {"tarnwick.tool.exe", "tarnwick.tool.map"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Executable);
        Folder.Clear();
        Arrange(c.Executable, c.Map, 0.0);

        InitializeDebugUnit(Process);

        ASSERT_EQ(DebugUnit()->ProjectDebugInfo().RoutineDebugInfos().size(), 1u);
        EXPECT_EQ(DebugUnit()->ProjectDebugInfo().RoutineDebugInfos()[0].Name(), u"Unit1.Routine");
        FinalizeDebugUnit();
    }
}

TEST_F(DebugUnitStartup, ALinkedMapIsJudgedByTheTimeOfTheFileItLeadsTo) {
    Arrange("tarnwick.exe", "old/tarnwick.map", -30.0);
    std::filesystem::create_symlink(Folder.Path() / "old" / "tarnwick.map", Folder.Path() / "tarnwick.map");

    InitializeDebugUnit(Process);

    EXPECT_FALSE(DebugUnit()->ProjectDebugInfo().HasDebugInfo())
        << "the link itself is new, the map 30 days old";
}

TEST_F(DebugUnitStartup, APathCutToTheBufferLoadsNothing) {
    const std::string folder(200, 'x');
    const std::string name(100, 'y');
    Arrange(folder + "/" + name + ".exe", folder + "/" + name + ".map", 0.0);
    ASSERT_GT(Process.ExecutablePath.size(), 260u);
    // What the cut path would name with ".map" belongs to no executable.
    const std::u16string cut = Process.ExecutablePath.substr(0, 259);
    TTempFolder::WriteFile(std::filesystem::path(cut + u".map"), SmallMap);

    InitializeDebugUnit(Process);

    EXPECT_FALSE(DebugUnit()->ProjectDebugInfo().HasDebugInfo());
}

TEST_F(DebugUnitStartup, ShutDownRemovesTheInterceptionAndTheTables) {
    Arrange("tarnwick.exe", "tarnwick.map", 0.0);
    InitializeDebugUnit(Process);
    InitializeDebugUnit(Process); // a second start-up keeps the first state
    ASSERT_EQ(Process.Registrations.size(), 1u);

    FinalizeDebugUnit();

    EXPECT_EQ(DebugUnit(), nullptr);
    EXPECT_EQ(Process.Entry(Builder.ThunkOffsets()[0][0]), Process.RaiseExceptionAddress);
    EXPECT_EQ(Process.Removals.size(), 1u);
    FinalizeDebugUnit(); // nothing left to shut down
    EXPECT_EQ(Process.Removals.size(), 1u);
}

} // namespace
} // namespace tarnwick
