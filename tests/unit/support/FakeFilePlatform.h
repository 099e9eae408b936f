#pragma once
// An in-memory file system for the file seam: folders, files with their bytes, files held open elsewhere
// without sharing, and switchable faults. A file can only be created inside an existing folder.

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/PlatformConstants.h"
#include "core/Text.h"
#include "platform/FilePlatform.h"

namespace tarnwick::testing {

class FakeFilePlatform : public IFilePlatform {
public:
    struct CreateCall {
        std::u16string FileName;
        std::uint32_t DesiredAccess, ShareMode, CreationDisposition, FlagsAndAttributes;
    };

    // Faults.
    std::set<std::u16string> LockedFiles; // open elsewhere without sharing (names as given)
    int BusyOpens = 0;                    // opens refused as taken by another writer before it is free
    std::vector<std::uint32_t> Sleeps;
    std::uint32_t LastError = 0;
    bool CreateDirectoryFails = false;
    bool SeekFails = false;
    std::uint32_t ShortWriteBy = 0; // bytes the next writes fall short by
    bool WriteFails = false;
    // Links (symbolic links, junctions) by name, with the name they point at: opened without
    // FILE_FLAG_OPEN_REPARSE_POINT they lead to their target, as CreateFileW does.
    std::map<std::u16string, std::u16string> Links;

    // What was done.
    std::vector<std::string> Calls;
    std::vector<CreateCall> Creates;

    void AddFolder(const std::u16string& path) { Folders.insert(UpperAscii(path)); }
    bool FolderExists(const std::u16string& path) const { return Folders.count(UpperAscii(path)) != 0; }
    void PutFile(const std::u16string& path, std::string bytes) {
        Files[UpperAscii(path)] = std::move(bytes);
    }
    bool FileExists(const std::u16string& path) const { return Files.count(UpperAscii(path)) != 0; }
    std::string Content(const std::u16string& path) const {
        const auto it = Files.find(UpperAscii(path));
        return it == Files.end() ? std::string() : it->second;
    }
    void DeleteFile(const std::u16string& path) { Files.erase(UpperAscii(path)); }
    std::size_t OpenHandles() const { return Handles.size(); }

    std::uint32_t GetFileAttributesW(const char16_t* name) override {
        Calls.push_back("GetFileAttributesW");
        if (Links.count(name)) {
            return FILE_ATTRIBUTE_REPARSE_POINT |
                   (FolderExists(Links.at(name)) ? FILE_ATTRIBUTE_DIRECTORY : 0);
        }
        if (FolderExists(name)) {
            return FILE_ATTRIBUTE_DIRECTORY;
        }
        if (FileExists(name)) {
            return FILE_ATTRIBUTE_NORMAL;
        }
        return INVALID_FILE_ATTRIBUTES;
    }

    bool CreateDirectoryW(const char16_t* path) override {
        Calls.push_back("CreateDirectoryW");
        const std::u16string name(path);
        if (CreateDirectoryFails || FolderExists(name) || FileExists(name) || !FolderExists(Parent(name))) {
            return false;
        }
        AddFolder(name);
        return true;
    }

    FileHandle CreateFileW(const char16_t* fileName, std::uint32_t access, std::uint32_t share,
                           std::uint32_t disposition, std::uint32_t flags) override {
        Calls.push_back("CreateFileW");
        std::u16string name(fileName);
        Creates.push_back({name, access, share, disposition, flags});
        const bool link = Links.count(name) != 0;
        if (link && (flags & FILE_FLAG_OPEN_REPARSE_POINT) == 0) {
            name = Links.at(name);
        }
        if (LockedFiles.count(name) || BusyOpens > 0) {
            BusyOpens = BusyOpens > 0 ? BusyOpens - 1 : 0;
            LastError = ERROR_SHARING_VIOLATION;
            return InvalidFileHandle;
        }
        if (FolderExists(name) || !FolderExists(Parent(name))) {
            LastError = ERROR_ACCESS_DENIED;
            return InvalidFileHandle;
        }
        const FileHandle handle = NextHandle++;
        if (link && (flags & FILE_FLAG_OPEN_REPARSE_POINT) != 0) {
            Handles[handle] = {UpperAscii(name), 0, FILE_ATTRIBUTE_REPARSE_POINT, access};
            return handle;
        }
        const bool exists = FileExists(name);
        if ((disposition == OPEN_EXISTING && !exists) || (disposition == CREATE_NEW && exists)) {
            --NextHandle;
            return InvalidFileHandle;
        }
        if (disposition == CREATE_ALWAYS || disposition == CREATE_NEW ||
            (disposition == OPEN_ALWAYS && !exists)) {
            PutFile(name, {});
        }
        Handles[handle] = {UpperAscii(name), 0, FILE_ATTRIBUTE_NORMAL, access};
        return handle;
    }

    bool SetFilePointerEx(FileHandle file, std::int64_t distance, std::int64_t* newPointer,
                          std::uint32_t method) override {
        Calls.push_back("SetFilePointerEx");
        auto& open = Handles.at(file);
        if (SeekFails) {
            return false;
        }
        const std::int64_t base = method == FILE_END     ? std::int64_t(Files[open.Name].size())
                                  : method == FILE_BEGIN ? 0
                                                         : open.Position;
        open.Position = base + distance;
        if (newPointer) {
            *newPointer = open.Position;
        }
        return true;
    }

    bool WriteFile(FileHandle file, const void* buffer, std::uint32_t count,
                   std::uint32_t* written) override {
        Calls.push_back("WriteFile");
        auto& open = Handles.at(file);
        if (WriteFails) {
            return false;
        }
        const std::uint32_t done = count > ShortWriteBy ? count - ShortWriteBy : 0;
        std::string& bytes = Files[open.Name];
        // Opened for appending only: every write goes to the end, wherever the position was.
        if ((open.Access & (GENERIC_WRITE | 0x2 /* FILE_WRITE_DATA */)) == 0 &&
            (open.Access & FILE_APPEND_DATA)) {
            open.Position = std::int64_t(bytes.size());
        }
        if (bytes.size() < std::size_t(open.Position) + done) {
            bytes.resize(std::size_t(open.Position) + done);
        }
        bytes.replace(std::size_t(open.Position), done, static_cast<const char*>(buffer), done);
        open.Position += done;
        if (written) {
            *written = done;
        }
        return true;
    }

    bool CloseHandle(FileHandle file) override {
        Calls.push_back("CloseHandle");
        return Handles.erase(file) != 0;
    }

    std::uint32_t GetLastError() override { return LastError; }
    void Sleep(std::uint32_t milliseconds) override { Sleeps.push_back(milliseconds); }

    bool GetFileInformationByHandle(FileHandle file, std::uint32_t& attributes) override {
        Calls.push_back("GetFileInformationByHandle");
        attributes = Handles.at(file).Attributes;
        return true;
    }

private:
    struct OpenFile {
        std::u16string Name;
        std::int64_t Position;
        std::uint32_t Attributes;
        std::uint32_t Access;
    };
    static std::u16string Parent(const std::u16string& path) {
        const auto cut = path.rfind(u'\\');
        return cut == std::u16string::npos ? std::u16string() : path.substr(0, cut);
    }

    std::set<std::u16string> Folders;
    std::map<std::u16string, std::string> Files;
    std::map<FileHandle, OpenFile> Handles;
    FileHandle NextHandle = 0x40;
};

} // namespace tarnwick::testing
