#pragma once
// The log's entry points, and the start-up and shut-down of the log unit.

#include <string>

#include "platform/FilePlatform.h"
#include "platform/SystemPlatform.h"

namespace tarnwick {

// Writes one line to the log; a DebugOnly message only when the debug level is on (it never is).
// Raises only the application-data folder's error; every problem of the file is swallowed.
void WriteToLog(const std::u16string& Message, bool DebugOnly = false);
void WriteDebugToLog(const std::u16string& Message);

// Start-up: creates the log file writer (with LogLock) and makes it the sink of the entry points.
// Shut-down: removes it; messages are dropped after that. The seams must outlive the unit.
void InitializeEasyLog(ISystemPlatform& System, IFilePlatform& Files);
void FinalizeEasyLog();

} // namespace tarnwick
