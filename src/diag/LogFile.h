#pragma once
// The log file: one line appended per always-written message, in code page 1251, to
// <application data>\<program>\<program>.log.txt. The file is opened for appending, written with one
// write and closed for every line under LogLock, so that concurrent writers lose nothing; a file that
// cannot be written, or a link or junction in place of the file or its folder, loses the line silently.

#include <atomic>
#include <mutex>
#include <string>
#include <string_view>

#include "diag/LogSink.h"
#include "platform/FilePlatform.h"
#include "platform/SystemPlatform.h"

namespace tarnwick {

class TLogFile final : public ILogSink {
public:
    // The debug level of the log; debug messages are dropped while it is off.
    static constexpr bool DebugLogEnabled = false;
    static constexpr std::uint16_t LogCodePage = 1251;
    // A file another writer holds is tried this many times, this far apart (about half a second in all).
    static constexpr int BusyFileAttempts = 100;
    static constexpr std::uint32_t BusyFilePauseMilliseconds = 5;

    TLogFile(ISystemPlatform& System, IFilePlatform& Files) : FSystem(System), FFiles(Files) {}

    // Sets the path up, then appends a line with Message unless it is a debug message. Never raises: a
    // log that cannot be set up or written loses the line and troubles nobody.
    void Write(std::u16string_view Message, bool DebugOnly) override;

    std::u16string LogFileName() const;
    std::u16string LogBaseName() const;

private:
    void InitLogFileName();
    bool AppendLine(const std::u16string& FileName, std::u16string_view Message);
    FileHandle OpenForOneWriter(const std::u16string& FileName);
    bool WriteLogLine(FileHandle File, std::u16string_view Text);

    ISystemPlatform& FSystem;
    IFilePlatform& FFiles;
    mutable std::mutex FPathLock; // the path is set up outside LogLock, possibly from two threads at once
    std::u16string FLogFileName;
    std::u16string FLogBaseName;
    std::atomic<bool> FFolderIsLink =
        false; // the folder is a junction or link: nothing is written through it
    std::mutex FLogLock;
};

} // namespace tarnwick
