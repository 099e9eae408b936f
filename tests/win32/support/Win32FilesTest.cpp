// What Windows (here Wine) answers through the file seam.

#include "platform/win32/Win32Files.h"

#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "platform/win32/Win32Text.h"
#include "testing/win32/FileBytes.h"

namespace tarnwick::win32 {
namespace {

class Win32Files : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH + 1] = {};
        ASSERT_GT(GetTempPathW(MAX_PATH + 1, temp), 0u);
        Folder =
            FromWide(temp) + u"tarnwick_files_" + FromWide(std::to_wstring(GetCurrentProcessId()).c_str());
        File = Folder + u"\\log.txt";
        Clean();
    }
    void TearDown() override { Clean(); }
    void Clean() {
        DeleteFileW(AsWide(File));
        RemoveDirectoryW(AsWide(Folder));
    }
    std::string Content() const { return test::FileBytes(File); }

    TWin32FilePlatform Files;
    std::u16string Folder, File;
};

TEST_F(Win32Files, AttributesTellFoldersFromMissingNames) {
    EXPECT_EQ(Files.GetFileAttributesW(Folder.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(Files.CreateDirectoryW(Folder.c_str()));
    EXPECT_FALSE(Files.CreateDirectoryW(Folder.c_str()));
    EXPECT_EQ(::GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
    EXPECT_TRUE(Files.GetFileAttributesW(Folder.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_FALSE(Files.CreateDirectoryW((Folder + u"\\a\\b").c_str())); // one level at a time
}

TEST_F(Win32Files, ANewFileIsExclusiveAndAnExistingOneIsAppendedTo) {
    ASSERT_TRUE(Files.CreateDirectoryW(Folder.c_str()));
    const FileHandle created =
        Files.CreateFileW(File.c_str(), GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW, 0x80);
    ASSERT_NE(created, InvalidFileHandle);
    EXPECT_EQ(Files.CreateFileW(File.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                OPEN_EXISTING, 0x80),
              InvalidFileHandle);
    EXPECT_EQ(::GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
    std::uint32_t written = 0;
    ASSERT_TRUE(Files.WriteFile(created, "first", 5, &written));
    EXPECT_EQ(written, 5u);
    EXPECT_TRUE(Files.CloseHandle(created));

    EXPECT_EQ(Files.CreateFileW(File.c_str(), GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW, 0x80),
              InvalidFileHandle);
    EXPECT_EQ(::GetLastError(), DWORD(ERROR_FILE_EXISTS));

    const FileHandle opened = Files.CreateFileW(File.c_str(), GENERIC_WRITE,
                                                FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, 0x80);
    ASSERT_NE(opened, InvalidFileHandle);
    std::int64_t position = -1;
    ASSERT_TRUE(Files.SetFilePointerEx(opened, 0, &position, FILE_END));
    EXPECT_EQ(position, 5);
    ASSERT_TRUE(Files.WriteFile(opened, "+second", 7, &written));
    EXPECT_TRUE(Files.CloseHandle(opened));
    EXPECT_EQ(Content(), "first+second");
}

TEST_F(Win32Files, AFileHeldWithoutWriteSharingRefusesWriters) {
    ASSERT_TRUE(Files.CreateDirectoryW(Folder.c_str()));
    const FileHandle created =
        Files.CreateFileW(File.c_str(), GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW, 0x80);
    ASSERT_NE(created, InvalidFileHandle);
    Files.CloseHandle(created);

    const HANDLE reader =
        ::CreateFileW(AsWide(File), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Files.CreateFileW(File.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                OPEN_EXISTING, 0x80),
              InvalidFileHandle);
    EXPECT_EQ(::GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
    ::CloseHandle(reader);
}

} // namespace
} // namespace tarnwick::win32
