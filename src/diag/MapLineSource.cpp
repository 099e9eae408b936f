#include "diag/MapLineSource.h"

#include <cstring>
#include <filesystem>
#include <system_error>

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
    const std::filesystem::path path(FileName);
    FFile.open(path, std::ios::in | std::ios::binary);
    if (!FFile.is_open()) {
        return false;
    }
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    FSizeAtOpen = error ? 0 : size;
    FBuffer.resize(BlockSize);
    return true;
}

bool TMapFileSource::Fill() {
    if (FAtEnd || FFailed || !FFile.is_open()) {
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
    FFile.read(FBuffer.data() + FEnd, static_cast<std::streamsize>(FBuffer.size() - FEnd));
    const auto count = static_cast<std::size_t>(FFile.gcount());
    FEnd += count;
    FBytesRead += count;
    if (FFile.bad()) {
        FFailed = true;
    } else if (FFile.eof()) {
        FAtEnd = true;
        FFailed = FBytesRead < FSizeAtOpen;
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
