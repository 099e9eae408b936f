// The log file under Wine: the folder and file in the application-data folder, the exact bytes of a line,
// a deleted file created again, and a file held open without write sharing.

#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "core/Text.h"
#include "diag/EasyLog.h"
#include "diag/LogFile.h"
#include "platform/win32/Win32Files.h"
#include "platform/win32/Win32System.h"
#include "platform/win32/Win32Text.h"
#include "support/SupportUtils.h"
#include "testing/win32/FileBytes.h"

namespace tarnwick::win32 {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// "DD.MM.YYYY HH:NN:SS:ZZZ" with Wine's colon as the time separator.
bool IsStamp(const std::string& s) {
    const std::string shape = "99.99.9999 99:99:99:999";
    if (s.size() != shape.size()) {
        return false;
    }
    for (std::size_t i = 0; i < shape.size(); ++i) {
        if (shape[i] == '9' ? !IsDigit(s[i]) : s[i] != shape[i]) {
            return false;
        }
    }
    return true;
}

class EasyLogInWine : public ::testing::Test {
protected:
    void SetUp() override {
        Folder = GetAppDataFolder(System) + u"\\win32_easylog";
        File = Folder + u"\\win32_easylog.log.txt";
        DeleteFileW(AsWide(File));
        RemoveDirectoryW(AsWide(Folder));
        InitializeEasyLog(System, Files);
    }
    void TearDown() override {
        FinalizeEasyLog();
        DeleteFileW(AsWide(File));
        RemoveDirectoryW(AsWide(Folder));
    }
    std::string Content() const { return test::FileBytes(File); }
    bool Exists(const std::u16string& path) const {
        return GetFileAttributesW(AsWide(path)) != INVALID_FILE_ATTRIBUTES;
    }
    // The line after its stamp, checked to be a stamp of this process and thread.
    std::string AfterStamp(const std::string& line) const {
        EXPECT_TRUE(IsStamp(line.substr(0, 23))) << line;
        return line.substr(23);
    }
    std::string Prefix() const {
        return "   [p\\t: " + std::to_string(GetCurrentProcessId()) + "\\" +
               std::to_string(GetCurrentThreadId()) + "] ";
    }

    TWin32SystemPlatform System;
    TWin32FilePlatform Files;
    std::u16string Folder, File;
};

TEST_F(EasyLogInWine, ADebugMessageCreatesTheFolderOnly) {
    WriteDebugToLog(u"not written");
    EXPECT_TRUE(GetFileAttributesW(AsWide(Folder)) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_TRUE(Exists(Folder));
    EXPECT_FALSE(Exists(File));
}

TEST_F(EasyLogInWine, WritesTheExactBytesOfEachLineAndAppends) {
    WriteToLog(u"\u0421\u0435\u0442\u044C \u4E2D ok\r\nsecond line");
    const std::string first = Content();
    const std::string expectedTail = Prefix() + "\xD1\xE5\xF2\xFC ? ok\r\nsecond line\r\n";
    EXPECT_EQ(AfterStamp(first), expectedTail);

    WriteToLog(u"");
    const std::string both = Content();
    ASSERT_EQ(both.substr(0, first.size()), first);
    EXPECT_EQ(AfterStamp(both.substr(first.size())), Prefix() + "\r\n");
}

TEST_F(EasyLogInWine, CreatesTheFileAgainAfterItWasDeleted) {
    WriteToLog(u"one");
    ASSERT_TRUE(DeleteFileW(AsWide(File)));
    WriteToLog(u"two");
    EXPECT_EQ(AfterStamp(Content()), Prefix() + "two\r\n");
}

TEST_F(EasyLogInWine, AFileHeldWithoutWriteSharingLosesTheLineSilently) {
    WriteToLog(u"kept");
    const std::string before = Content();
    const HANDLE holder =
        CreateFileW(AsWide(File), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_NO_THROW(WriteToLog(u"lost"));
    CloseHandle(holder);
    EXPECT_EQ(Content(), before);

    WriteToLog(u"after");
    EXPECT_EQ(AfterStamp(Content().substr(before.size())), Prefix() + "after\r\n");
}

TEST_F(EasyLogInWine, SixteenWritersAtOnceLoseNoLine) {
    // Each writer opens, writes and closes the file on its own, as separate processes do.
    constexpr int Writers = 16;
    constexpr int Rounds = 4;
    std::vector<std::thread> writers;
    for (int w = 0; w < Writers; ++w) {
        writers.emplace_back([this, w] {
            TLogFile log(System, Files);
            for (int round = 0; round < Rounds; ++round) {
                log.Write(u"writer " + IntToText(w) + u" round " + IntToText(round), false);
            }
        });
    }
    for (std::thread& writer : writers) {
        writer.join();
    }
    const std::string content = Content();
    int lines = 0;
    for (std::size_t at = content.find("\r\n"); at != std::string::npos; at = content.find("\r\n", at + 2)) {
        ++lines;
    }
    EXPECT_EQ(lines, Writers * Rounds);
    for (int w = 0; w < Writers; ++w) {
        for (int round = 0; round < Rounds; ++round) {
            const std::string line =
                "writer " + std::to_string(w) + " round " + std::to_string(round) + "\r\n";
            EXPECT_NE(content.find(line), std::string::npos) << line;
        }
    }
}

} // namespace
} // namespace tarnwick::win32
