#include "diag/LogFile.h"

#include "core/PlatformConstants.h"
#include "core/Text.h"
#include "diag/LogLine.h"
#include "support/SupportUtils.h"

namespace tarnwick {

namespace {

// Closes a file handle of the file seam when it leaves scope.
class TFileCloser {
public:
    TFileCloser(IFilePlatform& files, FileHandle file) : FFiles(files), FFile(file) {}
    ~TFileCloser() { FFiles.CloseHandle(FFile); }
    TFileCloser(const TFileCloser&) = delete;
    TFileCloser& operator=(const TFileCloser&) = delete;

private:
    IFilePlatform& FFiles;
    FileHandle FFile;
};

bool IsDirectory(std::uint32_t attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsLink(std::uint32_t attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

} // namespace

std::u16string TLogFile::LogFileName() const {
    std::lock_guard lock(FPathLock);
    return FLogFileName;
}

std::u16string TLogFile::LogBaseName() const {
    std::lock_guard lock(FPathLock);
    return FLogBaseName;
}

void TLogFile::InitLogFileName() {
    if (!LogFileName().empty()) {
        return;
    }
    const std::u16string baseName = GetExeBaseName(FSystem);
    const std::u16string folder = FormatText(u"%s\\%s", {GetAppDataFolder(FSystem), baseName});
    const std::uint32_t attributes = FFiles.GetFileAttributesW(folder.c_str());
    if (!IsDirectory(attributes)) {
        FFiles.CreateDirectoryW(folder.c_str()); // one level; a failure shows when the file is opened
    }
    std::lock_guard lock(FPathLock);
    FFolderIsLink = IsLink(attributes);
    FLogBaseName = baseName;
    FLogFileName = FormatText(u"%s\\%s.log.txt", {folder, baseName});
}

void TLogFile::Write(std::u16string_view Message, bool DebugOnly) {
    try {
        InitLogFileName();
    } catch (...) {
        // No application-data folder (or no program name): the line is lost, whatever asked for it goes
        // on, and the next line tries again.
        return;
    }
    if (DebugOnly && !DebugLogEnabled) {
        return;
    }
    std::lock_guard lock(FLogLock);
    const std::u16string fileName = LogFileName();
    try {
        AppendLine(fileName, Message);
    } catch (...) {
        // The log never troubles its caller with its own problems: the line is lost.
    }
}

bool TLogFile::AppendLine(const std::u16string& FileName, std::u16string_view Message) {
    if (FFolderIsLink) {
        return false;
    }
    const FileHandle file = OpenForOneWriter(FileName);
    if (file == InvalidFileHandle) {
        return false;
    }
    TFileCloser closer(FFiles, file);
    std::uint32_t attributes = 0;
    if (!FFiles.GetFileInformationByHandle(file, attributes) || IsLink(attributes)) {
        return false;
    }
    std::u16string text = LogPrefix(FSystem.GetCurrentProcessId(), FSystem.GetCurrentThreadId());
    text += Message;
    return WriteLogLine(file, text);
}

FileHandle TLogFile::OpenForOneWriter(const std::u16string& FileName) {
    // Opened for appending only and without write sharing: one writer at a time across processes, so that
    // no line overwrites another. Appending alone is not enough: Wine finds the end and writes in two steps.
    // A writer that finds the file taken tries again for a while; readers may keep it open. Never through
    // a link or junction (a program with administrator rights would otherwise append to whatever file the
    // link names).
    for (int attempt = 1;; ++attempt) {
        const FileHandle file =
            FFiles.CreateFileW(FileName.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT);
        if (file != InvalidFileHandle || attempt == BusyFileAttempts ||
            FFiles.GetLastError() != ERROR_SHARING_VIOLATION) {
            return file;
        }
        FFiles.Sleep(BusyFilePauseMilliseconds);
    }
}

bool TLogFile::WriteLogLine(FileHandle File, std::u16string_view Text) {
    SYSTEMTIME now{};
    FSystem.GetLocalTime(now);
    const std::string bytes =
        WideToCodePage(FSystem, BuildLogLine(now, LocaleTimeSeparator(FSystem), Text), LogCodePage);
    if (bytes.empty()) {
        return true;
    }
    if (bytes.size() > 0xFFFFFFFFu) {
        return false;
    }
    std::uint32_t written = 0;
    const auto size = static_cast<std::uint32_t>(bytes.size());
    return FFiles.WriteFile(File, bytes.data(), size, &written) && written == size;
}

} // namespace tarnwick
