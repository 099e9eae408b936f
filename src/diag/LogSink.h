#pragma once
// Where the log entry points send their messages. The log module installs the file writer at start-up;
// tests install a recorder to see every message, debug ones included.

#include <string_view>

namespace tarnwick {

class ILogSink {
public:
    virtual ~ILogSink() = default;
    // DebugOnly messages are handed over too: the sink applies the debug level.
    virtual void Write(std::u16string_view Message, bool DebugOnly) = 0;
};

// Installs a sink for the lifetime of this object and restores the previous one after it.
class TScopedLogSink {
public:
    explicit TScopedLogSink(ILogSink& sink);
    ~TScopedLogSink();
    TScopedLogSink(const TScopedLogSink&) = delete;
    TScopedLogSink& operator=(const TScopedLogSink&) = delete;

private:
    ILogSink* FPrevious;
};

// The sink in use, or none (messages are then dropped).
ILogSink* CurrentLogSink() noexcept;

} // namespace tarnwick
