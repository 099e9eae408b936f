#include "diag/EasyLog.h"

#include "diag/LogSink.h"

namespace tarnwick {

void WriteToLog(const std::u16string& Message, bool DebugOnly) {
    if (ILogSink* sink = CurrentLogSink()) {
        sink->Write(Message, DebugOnly);
    }
}

void WriteDebugToLog(const std::u16string& Message) { WriteToLog(Message, true); }

} // namespace tarnwick
