#pragma once
// A file read from start to end with the C library's plain calls, and a file's last-write time: what the
// map reader needs, without the stream, locale and file-system parts of the C++ library.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

namespace tarnwick {

class TPlainFile {
public:
    // Opens the file read-only; false when it cannot be opened.
    bool Open(const std::u16string& FileName);
    bool IsOpen() const noexcept { return FFile != nullptr; }
    // Bytes read into Buffer; fewer than Size at the end of the file or on a read error.
    std::size_t Read(char* Buffer, std::size_t Size);
    bool Failed() const;
    // The file's size when it was opened; 0 when it could not be asked.
    std::uint64_t SizeAtOpen() const noexcept { return FSizeAtOpen; }

private:
    struct TCloser {
        void operator()(std::FILE* file) const noexcept { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, TCloser> FFile;
    std::uint64_t FSizeAtOpen = 0;
};

// The last-write time of a file in seconds since the epoch, links followed; none when the file does not
// exist or cannot be asked.
std::optional<double> LastWriteTimeSeconds(const std::u16string& FileName);

} // namespace tarnwick
