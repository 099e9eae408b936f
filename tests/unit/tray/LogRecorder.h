#pragma once
// Collects every log message, debug ones included, while it is alive.

#include <string>
#include <utility>
#include <vector>

#include "diag/LogSink.h"

namespace tarnwick::test {

class LogRecorder : public ILogSink {
public:
    LogRecorder() : FScope(*this) {}
    void Write(std::u16string_view Message, bool DebugOnly) override {
        Lines.emplace_back(Message, DebugOnly);
    }
    std::vector<std::pair<std::u16string, bool>> Lines;

private:
    TScopedLogSink FScope;
};

} // namespace tarnwick::test
