#pragma once
// A log sink that keeps every message, debug ones included.

#include <string>
#include <vector>

#include "diag/LogSink.h"

namespace tarnwick::testing {

class RecordingLog : public ILogSink {
public:
    void Write(std::u16string_view message, bool) override { Lines.emplace_back(message); }
    std::vector<std::u16string> Lines;

private:
    TScopedLogSink FInstalled{*this};
};

} // namespace tarnwick::testing
