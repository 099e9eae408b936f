// Where the log goes, how each line reaches the file, and what happens when the file refuses.

#include "diag/LogFile.h"

#include <gtest/gtest.h>

#include "core/PlatformConstants.h"
#include "diag/EasyLog.h"
#include "support/SupportUtils.h"
#include "tests/unit/support/FakeFilePlatform.h"
#include "tests/unit/support/FakeSystemPlatform.h"

namespace tarnwick {
namespace {

const std::u16string kAppData = u"C:\\Users\\tester\\AppData\\Roaming";
const std::u16string kFolder = kAppData + u"\\Tarnwick";
const std::u16string kFile = kFolder + u"\\Tarnwick.log.txt";
const std::string kStamp = "24.03.2012 17:05:09:041   [p\\t: 2412\\3080] ";

class LogFile : public ::testing::Test {
protected:
    LogFile() { Files.AddFolder(kAppData); }
    void TearDown() override { EXPECT_EQ(Files.OpenHandles(), 0u) << "a file was left open"; }

    testing::FakeSystemPlatform System;
    testing::FakeFilePlatform Files;
    TLogFile Log{System, Files};
};

TEST_F(LogFile, LivesInAFolderNamedAfterTheProgram) {
    const struct {
        std::u16string Program, Folder, File;
    } cases[] = {
        {u"C:\\Tools\\Tarnwick.exe", kAppData + u"\\Tarnwick", kAppData + u"\\Tarnwick\\Tarnwick.log.txt"},
        {u"D:\\x.y\\switch.v2.exe", kAppData + u"\\switch.v2", kAppData + u"\\switch.v2\\switch.v2.log.txt"},
    };
    for (const auto& c : cases) {
        testing::FakeSystemPlatform system;
        system.ModuleFileName = c.Program;
        testing::FakeFilePlatform files;
        files.AddFolder(kAppData);
        TLogFile log(system, files);
        log.Write(u"m", false);
        EXPECT_TRUE(files.FolderExists(c.Folder));
        EXPECT_EQ(log.LogFileName(), c.File);
        EXPECT_EQ(log.LogBaseName(), ExeBaseNameOf(c.Program));
        EXPECT_EQ(files.Content(c.File), kStamp + "m\r\n");
    }
}

TEST_F(LogFile, ADebugMessageCreatesTheFolderButNoFile) {
    Log.Write(u"debug", true);
    EXPECT_TRUE(Files.FolderExists(kFolder));
    EXPECT_FALSE(Files.FileExists(kFile));
    EXPECT_EQ(Files.Creates.size(), 0u);
    EXPECT_EQ(Log.LogFileName(), kFile);
}

TEST_F(LogFile, SetsThePathUpOnce) {
    Log.Write(u"one", true);
    Log.Write(u"two", false);
    Log.Write(u"three", false);
    EXPECT_EQ(System.FoldersAsked.size(), 1u);
    EXPECT_EQ(System.ModuleNameCalls, 1);
}

TEST_F(LogFile, OpensTheFileForAppendingOnlyOneWriterAtATimeAndNeverThroughALink) {
    Log.Write(u"first", false);
    Log.Write(u"second", false);
    ASSERT_EQ(Files.Creates.size(), 2u);
    for (const auto& open : Files.Creates) {
        EXPECT_EQ(open.FileName, kFile);
        // Appending only, and no other writer meanwhile: every write lands at the end as one piece.
        EXPECT_EQ(open.DesiredAccess, FILE_APPEND_DATA);
        EXPECT_EQ(open.ShareMode, FILE_SHARE_READ);
        EXPECT_EQ(open.CreationDisposition, OPEN_ALWAYS);
        EXPECT_EQ(open.FlagsAndAttributes, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT);
    }
    EXPECT_EQ(Files.Content(kFile), kStamp + "first\r\n" + kStamp + "second\r\n");
}

TEST_F(LogFile, KeepsWhatTheFileHeldAndWritesEachLineWithOneOpenWriteClose) {
    Files.AddFolder(kFolder);
    Files.PutFile(kFile, "older content\r\n");
    Log.Write(u"new", false);
    EXPECT_EQ(Files.Content(kFile), "older content\r\n" + kStamp + "new\r\n");
    const std::vector<std::string> perLine{"CreateFileW", "GetFileInformationByHandle", "WriteFile",
                                           "CloseHandle"};
    Files.Calls.clear();
    Log.Write(u"again", false);
    EXPECT_EQ(Files.Calls, perLine);
}

TEST_F(LogFile, ALinkInPlaceOfTheFileOrItsFolderIsNotWrittenThrough) {
    const std::u16string target = u"C:\\Windows\\System32\\drivers\\etc\\hosts";
    for (const bool folder : {false, true}) {
        SCOPED_TRACE(folder ? "the folder is a junction" : "the file is a link");
        testing::FakeSystemPlatform system;
        testing::FakeFilePlatform files;
        files.AddFolder(kAppData);
        files.AddFolder(u"C:\\Windows\\System32\\drivers\\etc");
        files.PutFile(target, "127.0.0.1 localhost\r\n");
        if (folder) {
            files.Links[kFolder] = u"C:\\Windows\\System32\\drivers\\etc";
        } else {
            files.AddFolder(kFolder);
            files.Links[kFile] = target;
        }
        TLogFile log(system, files);
        EXPECT_NO_THROW(log.Write(u"line", false));
        EXPECT_EQ(files.Content(target), "127.0.0.1 localhost\r\n");
        EXPECT_EQ(files.OpenHandles(), 0u);
        if (folder) {
            EXPECT_TRUE(files.Creates.empty()) << "nothing is opened through the junction";
        }
    }
}

TEST_F(LogFile, CreatesTheFileAgainAfterItWasDeleted) {
    Log.Write(u"one", false);
    Files.DeleteFile(kFile);
    Log.Write(u"two", false);
    EXPECT_EQ(Files.Content(kFile), kStamp + "two\r\n");
}

TEST_F(LogFile, LosesTheLineSilentlyWhenTheFileRefuses) {
    const struct {
        const char* Title;
        void (*Fault)(testing::FakeFilePlatform&);
    } cases[] = {
        {"file held open elsewhere without sharing", [](auto& f) { f.LockedFiles.insert(kFile); }},
        {"write fails", [](auto& f) { f.WriteFails = true; }},
        {"short write", [](auto& f) { f.ShortWriteBy = 3; }},
    };
    for (const auto& c : cases) {
        testing::FakeSystemPlatform system;
        testing::FakeFilePlatform files;
        files.AddFolder(kFolder);
        files.PutFile(kFile, "kept\r\n");
        TLogFile log(system, files);
        c.Fault(files);
        EXPECT_NO_THROW(log.Write(u"lost line", false)) << c.Title;
        EXPECT_EQ(files.OpenHandles(), 0u) << c.Title;
        const std::string content = files.Content(kFile);
        EXPECT_EQ(content.substr(0, 6), "kept\r\n") << c.Title << ": earlier lines must survive";
        EXPECT_LT(content.size(), 6 + kStamp.size() + 11) << c.Title;
    }
}

TEST_F(LogFile, AWriterWaitsWhileAnotherHoldsTheFileAndOthersMayOnlyRead) {
    Files.PutFile(kFile, "");
    Files.BusyOpens = 3;
    Log.Write(u"after the other", false);
    EXPECT_EQ(Files.Content(kFile), kStamp + "after the other\r\n");
    EXPECT_EQ(Files.Sleeps.size(), 3u);

    // Held for longer than a writer waits: the line is lost, and the wait has an end.
    Files.BusyOpens = 1000;
    Log.Write(u"lost", false);
    EXPECT_EQ(Files.Sleeps.size(), 3u + TLogFile::BusyFileAttempts - 1);
    EXPECT_EQ(Files.Content(kFile), kStamp + "after the other\r\n");
}

TEST_F(LogFile, LosesTheLineWhenTheFolderCannotBeCreated) {
    Files.CreateDirectoryFails = true;
    EXPECT_NO_THROW(Log.Write(u"m", false));
    EXPECT_FALSE(Files.FileExists(kFile));
}

TEST_F(LogFile, WithoutAnApplicationDataFolderLosesTheLineSilentlyAndTriesAgainNextTime) {
    System.AppData.reset();
    EXPECT_NO_THROW(Log.Write(u"lost", false));
    EXPECT_EQ(Log.LogFileName(), u"");
    EXPECT_TRUE(Files.Calls.empty());

    System.AppData = kAppData;
    Log.Write(u"m", false);
    EXPECT_EQ(Log.LogFileName(), kFile);
    EXPECT_EQ(Files.Content(kFile), kStamp + "m\r\n");
}

TEST_F(LogFile, EntryPointsWriteThroughTheUnitBetweenStartUpAndShutDown) {
    WriteToLog(u"before start-up");
    EXPECT_EQ(Files.Calls.size(), 0u);

    InitializeEasyLog(System, Files);
    WriteToLog(u"always");
    WriteDebugToLog(u"debug");
    WriteToLog(u"dropped too", true);
    FinalizeEasyLog();
    WriteToLog(u"after shut-down");

    EXPECT_EQ(Files.Content(kFile), kStamp + "always\r\n");
}

} // namespace
} // namespace tarnwick
