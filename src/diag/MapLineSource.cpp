#include "diag/MapLineSource.h"

#include <cstring>

#include "core/Errors.h"

namespace tarnwick {

namespace {

constexpr std::size_t BlockSize = 64 * 1024;

std::string_view WithoutCarriageReturn(std::string_view line) {
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    return line;
}

} // namespace

std::string_view TMapTextSource::ReadLine() {
    const std::size_t lineBreak = FText.find('\n');
    std::string_view line = FText.substr(0, lineBreak);
    FText.remove_prefix(lineBreak == std::string_view::npos ? FText.size() : lineBreak + 1);
    return WithoutCarriageReturn(line);
}

bool TMapFileSource::Open(const std::u16string& FileName) {
    if (!FFile.Open(FileName)) {
        return false;
    }
    FBuffer.resize(BlockSize);
    return true;
}

bool TMapFileSource::Fill() {
    if (FAtEnd || FFailed || !FFile.IsOpen()) {
        return false;
    }
    if (FBegin > 0) {
        std::memmove(FBuffer.data(), FBuffer.data() + FBegin, FEnd - FBegin);
        FEnd -= FBegin;
        FBegin = 0;
    }
    if (FEnd == FBuffer.size()) {
        // A line longer than the buffer: let it grow with the line.
        FBuffer.resize(FBuffer.size() * 2);
    }
    const std::size_t wanted = FBuffer.size() - FEnd;
    const std::size_t count = FFile.Read(FBuffer.data() + FEnd, wanted);
    FEnd += count;
    FBytesRead += count;
    if (FFile.Failed()) {
        FFailed = true;
    } else if (count < wanted) {
        FAtEnd = true;
        FFailed = FBytesRead < FFile.SizeAtOpen();
    }
    return count > 0 && !FFailed;
}

bool TMapFileSource::Eof() {
    if (FFailed) {
        throw EGeneralError(u"The map file could not be read to its end");
    }
    if (FBegin < FEnd) {
        return false;
    }
    if (Fill()) {
        return false;
    }
    if (FFailed) {
        throw EGeneralError(u"The map file could not be read to its end");
    }
    return true;
}

std::string_view TMapFileSource::ReadLine() {
    std::size_t searched = FBegin;
    for (;;) {
        if (FFailed) {
            return {};
        }
        const void* found =
            searched < FEnd ? std::memchr(FBuffer.data() + searched, '\n', FEnd - searched) : nullptr;
        if (found != nullptr) {
            const auto lineBreak = static_cast<std::size_t>(static_cast<const char*>(found) - FBuffer.data());
            const std::string_view line(FBuffer.data() + FBegin, lineBreak - FBegin);
            FBegin = lineBreak + 1;
            return WithoutCarriageReturn(line);
        }
        const std::size_t searchedPart = FEnd - FBegin;
        if (!Fill()) {
            if (FFailed) {
                return {};
            }
            // The last line of a file without a final line break.
            const std::string_view line(FBuffer.data() + FBegin, FEnd - FBegin);
            FBegin = FEnd;
            return WithoutCarriageReturn(line);
        }
        searched = FBegin + searchedPart;
    }
}

} // namespace tarnwick
