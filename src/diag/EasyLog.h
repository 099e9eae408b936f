#pragma once
// The log's entry points, and the start-up and shut-down of the log unit.

#include <string>

#include "platform/FilePlatform.h"
#include "platform/SystemPlatform.h"

namespace tarnwick {

// Writes one line to the log; a DebugOnly message only when the debug level is on (it never is).
// Never raises: a log that cannot be written (no application-data folder, a path too long, a read-only
// file, a full disk) must not stop what is being logged.
void WriteToLog(const std::u16string& Message, bool DebugOnly = false) noexcept;
void WriteDebugToLog(const std::u16string& Message) noexcept;
// Logs the text of a message box the user is shown, on one line.
void WriteBoxToLog(const std::u16string& Text) noexcept;

// Start-up: creates the log file writer (with LogLock) and makes it the sink of the entry points.
// Shut-down: removes it; messages are dropped after that. The seams must outlive the unit.
void InitializeEasyLog(ISystemPlatform& System, IFilePlatform& Files);
void FinalizeEasyLog();

} // namespace tarnwick
