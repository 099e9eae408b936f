#pragma once
// One reading pass over a map file: its segment table, its detailed map of segments, its publics by value
// and its line-number sections, into a TProjectDebugInfo.

#include <cstdint>
#include <string>
#include <string_view>

#include "diag/DebugInfo.h"
#include "diag/MapLineSource.h"

namespace tarnwick {

// Reads the eight hexadecimal digits Text begins with (either case), most significant first. False when
// Text ends or holds another character before the eighth digit.
bool HexToCardinal(std::string_view Text, std::uint32_t& Value) noexcept;

// The largest map read: a map of a very large program is a few megabytes; a bigger one is no map this
// program's linker wrote, and reading it would hold the start back.
inline constexpr std::uint64_t MaxMapFileBytes = 32ull * 1024 * 1024;

class TMapScanner {
public:
    TMapScanner(TProjectDebugInfo& ProjectDebugInfo, std::u16string MapFileName,
                std::uint64_t MaxBytes = MaxMapFileBytes)
        : FProjectDebugInfo(ProjectDebugInfo), FMapFileName(std::move(MapFileName)), FMaxBytes(MaxBytes) {}

    // Reads the whole map file into the tables. A file that cannot be opened loads nothing; any error
    // while reading or building discards every table, and Scan still returns normally. A map of more than
    // MaxBytes is skipped with a log line: the scan stops there and keeps nothing.
    void Scan();
    // The same pass over the lines of another source.
    void Scan(IMapLineSource& Source);

private:
    std::string_view ReadLine();
    void ScanSections();
    void ScanSegments();
    void ScanDetailedSegments();
    void ScanPublicsByValue();
    void ScanLineNumbers(std::string_view Header);
    void ReadLineNumberEntries(TUnitDebugInfo& Unit);

    TProjectDebugInfo& FProjectDebugInfo;
    std::u16string FMapFileName;
    IMapLineSource* FMapFile = nullptr;
    std::uint64_t FMaxBytes;
    std::uint64_t FBytesRead = 0; // of the present pass, line breaks counted as one byte
};

} // namespace tarnwick
