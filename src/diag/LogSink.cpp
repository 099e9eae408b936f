#include "diag/LogSink.h"

namespace tarnwick {

namespace {
ILogSink* gLogSink = nullptr; // the log module's installed writer
} // namespace

TScopedLogSink::TScopedLogSink(ILogSink& sink) : FPrevious(gLogSink) {
    gLogSink = &sink;
}
TScopedLogSink::~TScopedLogSink() {
    gLogSink = FPrevious;
}

ILogSink* CurrentLogSink() noexcept {
    return gLogSink;
}

} // namespace tarnwick
