#include "platform/win32/Win32Files.h"

#include <windows.h>

#include "platform/win32/Win32Text.h"

namespace tarnwick::win32 {

namespace {

HANDLE AsHandle(FileHandle file) {
    return reinterpret_cast<HANDLE>(file);
}

} // namespace

std::uint32_t TWin32FilePlatform::GetFileAttributesW(const char16_t* FileName) {
    return ::GetFileAttributesW(AsWide(FileName));
}

bool TWin32FilePlatform::CreateDirectoryW(const char16_t* PathName) {
    return ::CreateDirectoryW(AsWide(PathName), nullptr) != FALSE;
}

FileHandle TWin32FilePlatform::CreateFileW(const char16_t* FileName, std::uint32_t DesiredAccess,
                                           std::uint32_t ShareMode, std::uint32_t CreationDisposition,
                                           std::uint32_t FlagsAndAttributes) {
    const HANDLE file = ::CreateFileW(AsWide(FileName), DesiredAccess, ShareMode, nullptr,
                                      CreationDisposition, FlagsAndAttributes, nullptr);
    return reinterpret_cast<FileHandle>(file);
}

bool TWin32FilePlatform::SetFilePointerEx(FileHandle File, std::int64_t DistanceToMove,
                                          std::int64_t* NewFilePointer, std::uint32_t MoveMethod) {
    LARGE_INTEGER distance{};
    distance.QuadPart = DistanceToMove;
    LARGE_INTEGER position{};
    const BOOL ok = ::SetFilePointerEx(AsHandle(File), distance, &position, MoveMethod);
    if (ok && NewFilePointer != nullptr) {
        *NewFilePointer = position.QuadPart;
    }
    return ok != FALSE;
}

bool TWin32FilePlatform::WriteFile(FileHandle File, const void* Buffer, std::uint32_t NumberOfBytesToWrite,
                                   std::uint32_t* NumberOfBytesWritten) {
    DWORD written = 0;
    const BOOL ok = ::WriteFile(AsHandle(File), Buffer, NumberOfBytesToWrite, &written, nullptr);
    if (NumberOfBytesWritten != nullptr) {
        *NumberOfBytesWritten = written;
    }
    return ok != FALSE;
}

bool TWin32FilePlatform::CloseHandle(FileHandle Object) {
    return ::CloseHandle(AsHandle(Object)) != FALSE;
}

bool TWin32FilePlatform::GetFileInformationByHandle(FileHandle File, std::uint32_t& FileAttributes) {
    BY_HANDLE_FILE_INFORMATION information{};
    const BOOL ok = ::GetFileInformationByHandle(AsHandle(File), &information);
    FileAttributes = information.dwFileAttributes;
    return ok != FALSE;
}

std::uint32_t TWin32FilePlatform::GetLastError() {
    return ::GetLastError();
}

void TWin32FilePlatform::Sleep(std::uint32_t Milliseconds) {
    ::Sleep(Milliseconds);
}

} // namespace tarnwick::win32
