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

void WriteToLog(const std::u16string& Message, bool DebugOnly) {
    if (ILogSink* sink = CurrentLogSink()) {
        sink->Write(Message, DebugOnly);
    }
}

void WriteDebugToLog(const std::u16string& Message) {
    WriteToLog(Message, true);
}

void InitializeEasyLog(ISystemPlatform& System, IFilePlatform& Files) {
    gEasyLog.reset();
    gEasyLog = std::make_unique<TEasyLogUnit>(System, Files);
}

void FinalizeEasyLog() {
    gEasyLog.reset();
}

} // namespace tarnwick
