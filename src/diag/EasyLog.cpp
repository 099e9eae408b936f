#include "diag/EasyLog.h"

#include <memory>

#include "diag/LogFile.h"
#include "diag/LogSink.h"

namespace tarnwick {

namespace {

// The unit's state between start-up and shut-down: the file writer, installed as the log sink.
struct TEasyLogUnit {
    TEasyLogUnit(ISystemPlatform& system, IFilePlatform& files) : Log(system, files), Installed(Log) {}
    TLogFile Log;
    TScopedLogSink Installed;
};

std::unique_ptr<TEasyLogUnit> gEasyLog;

} // namespace

void WriteToLog(const std::u16string& Message, bool DebugOnly) noexcept {
    try {
        if (ILogSink* sink = CurrentLogSink()) {
            sink->Write(Message, DebugOnly);
        }
    } catch (...) {
        // Out of memory while formatting, for example: the line is lost.
    }
}

void WriteDebugToLog(const std::u16string& Message) noexcept {
    WriteToLog(Message, true);
}

void WriteBoxToLog(const std::u16string& Text) noexcept {
    try {
        // Each run of line breaks becomes one blank, so that the box stays one line of the log.
        std::u16string line = u"Message box: ";
        bool inBreak = false;
        for (const char16_t c : Text) {
            const bool isBreak = c == u'\r' || c == u'\n';
            if (!isBreak) {
                line += c;
            } else if (!inBreak) {
                line += u' ';
            }
            inBreak = isBreak;
        }
        WriteToLog(line);
    } catch (...) {
        // As WriteToLog: the line is lost.
    }
}

void InitializeEasyLog(ISystemPlatform& System, IFilePlatform& Files) {
    gEasyLog.reset();
    gEasyLog = std::make_unique<TEasyLogUnit>(System, Files);
}

void FinalizeEasyLog() {
    gEasyLog.reset();
}

} // namespace tarnwick
