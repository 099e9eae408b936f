#pragma once
// The file seam: attributes, folders, and files opened, positioned, written and closed one call at a time.

#include <cstdint>

namespace tarnwick {

using FileHandle = std::uintptr_t;
inline constexpr FileHandle InvalidFileHandle = ~FileHandle(0); // INVALID_HANDLE_VALUE

class IFilePlatform {
public:
    virtual ~IFilePlatform() = default;

    // INVALID_FILE_ATTRIBUTES when the name does not exist or cannot be read.
    virtual std::uint32_t GetFileAttributesW(const char16_t* FileName) = 0;
    // Default security.
    virtual bool CreateDirectoryW(const char16_t* PathName) = 0;
    // No security attributes and no template; InvalidFileHandle on failure.
    virtual FileHandle CreateFileW(const char16_t* FileName, std::uint32_t DesiredAccess,
                                   std::uint32_t ShareMode, std::uint32_t CreationDisposition,
                                   std::uint32_t FlagsAndAttributes) = 0;
    // NewFilePointer may be null.
    virtual bool SetFilePointerEx(FileHandle File, std::int64_t DistanceToMove, std::int64_t* NewFilePointer,
                                  std::uint32_t MoveMethod) = 0;
    virtual bool WriteFile(FileHandle File, const void* Buffer, std::uint32_t NumberOfBytesToWrite,
                           std::uint32_t* NumberOfBytesWritten) = 0;
    virtual bool CloseHandle(FileHandle Object) = 0;
    // GetFileInformationByHandle, of which only the attributes are wanted.
    virtual bool GetFileInformationByHandle(FileHandle File, std::uint32_t& FileAttributes) = 0;
    // The error of this thread's last failed call (ERROR_SHARING_VIOLATION: the file is open elsewhere).
    virtual std::uint32_t GetLastError() = 0;
    // Waits before a file that is taken is tried again.
    virtual void Sleep(std::uint32_t Milliseconds) = 0;
};

} // namespace tarnwick
