#pragma once
// The log's entry points.

#include <string>

namespace tarnwick {

// Writes one line to the log; a DebugOnly message only when the debug level is on (it never is).
void WriteToLog(const std::u16string& Message, bool DebugOnly = false);
void WriteDebugToLog(const std::u16string& Message);

} // namespace tarnwick
