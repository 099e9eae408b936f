#pragma once
// Where the map scanner gets its lines: the map file itself, or text in memory.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "diag/PlainFile.h"

namespace tarnwick {

class IMapLineSource {
public:
    virtual ~IMapLineSource() = default;
    // True when no line is left. Throws when the source can no longer be read.
    virtual bool Eof() = 0;
    // The next line without its line break (LF or CR LF), valid until the next call. The end of the
    // source or a read error yields an empty line.
    virtual std::string_view ReadLine() = 0;
};

// Lines of a text held by the caller.
class TMapTextSource : public IMapLineSource {
public:
    explicit TMapTextSource(std::string_view Text) : FText(Text) {}
    bool Eof() override { return FText.empty(); }
    std::string_view ReadLine() override;

private:
    std::string_view FText;
};

// Lines of a file read in large blocks. A read error, or an end of file before the size the file had when
// it was opened (the file was cut while being read), makes every later Eof throw.
class TMapFileSource : public IMapLineSource {
public:
    // Opens the file read-only; false when it cannot be opened.
    bool Open(const std::u16string& FileName);
    bool Eof() override;
    std::string_view ReadLine() override;

private:
    // Reads the next block behind the unread bytes; false when nothing more came.
    bool Fill();

    TPlainFile FFile;
    std::vector<char> FBuffer;
    std::size_t FBegin = 0; // unread bytes are FBuffer[FBegin, FEnd)
    std::size_t FEnd = 0;
    std::uint64_t FBytesRead = 0;
    bool FAtEnd = false;
    bool FFailed = false;
};

} // namespace tarnwick
