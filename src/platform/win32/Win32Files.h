#pragma once
// The file seam on Windows.

#include "platform/FilePlatform.h"

namespace tarnwick::win32 {

class TWin32FilePlatform final : public IFilePlatform {
public:
    std::uint32_t GetFileAttributesW(const char16_t* FileName) override;
    bool CreateDirectoryW(const char16_t* PathName) override;
    FileHandle CreateFileW(const char16_t* FileName, std::uint32_t DesiredAccess, std::uint32_t ShareMode,
                           std::uint32_t CreationDisposition, std::uint32_t FlagsAndAttributes) override;
    bool SetFilePointerEx(FileHandle File, std::int64_t DistanceToMove, std::int64_t* NewFilePointer,
                          std::uint32_t MoveMethod) override;
    bool WriteFile(FileHandle File, const void* Buffer, std::uint32_t NumberOfBytesToWrite,
                   std::uint32_t* NumberOfBytesWritten) override;
    bool CloseHandle(FileHandle Object) override;
    bool GetFileInformationByHandle(FileHandle File, std::uint32_t& FileAttributes) override;
    std::uint32_t GetLastError() override;
    void Sleep(std::uint32_t Milliseconds) override;
};

} // namespace tarnwick::win32
