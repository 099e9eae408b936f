#include "diag/MapScanner.h"

#include <array>
#include <limits>
#include <optional>

#include "diag/EasyLog.h"

namespace tarnwick {

namespace {

constexpr std::string_view SegmentsHeader = "Start         Length     Name                   Class";
constexpr std::string_view DetailedSegmentsHeader = "Detailed map of segments";
constexpr std::string_view PublicsByNameHeader = "Address         Publics by Name";
constexpr std::string_view PublicsByValueHeader = "Address             Publics by Value";
constexpr std::string_view LineNumbersHeader = "Line numbers for";
constexpr std::string_view CodeClass = "CODE";
constexpr std::string_view CodeSegment = "0001";
constexpr std::string_view AlignmentField = "ACBP=";
// Each line-number entry: the line right-aligned in 6 characters, a space, the segment, a colon and the
// offset in 8 hexadecimal digits.
constexpr std::size_t LineEntryLength = 20;

// Columns First to First + Count - 1, counted from 1; cut at the end of the line.
std::string_view Columns(std::string_view line, std::size_t first,
                         std::size_t count = std::string_view::npos) {
    return first - 1 < line.size() ? line.substr(first - 1, count) : std::string_view();
}

// Blanks are every character up to and including the space; bytes of the code page's upper half are text.
bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

std::string_view TrimRight(std::string_view text) {
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    return TrimRight(text);
}

// Map files name things in ASCII; other bytes are taken as the code points of the same value.
std::u16string Widen(std::string_view text) {
    std::u16string result(text.size(), u'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        result[i] = static_cast<unsigned char>(text[i]);
    }
    return result;
}

// A decimal line number with an optional sign, blanks around it ignored; -1 when it is not a number.
int LineNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t digits = i;
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > std::numeric_limits<int>::max()) {
            return -1;
        }
    }
    if (i == digits) {
        return -1;
    }
    for (; i < text.size(); ++i) {
        if (!IsBlank(text[i])) {
            return -1;
        }
    }
    return static_cast<int>(negative ? -value : value);
}

// The value of each hexadecimal digit, and NotHex for every other character.
constexpr std::uint8_t NotHex = 0xFF;
constexpr std::array<std::uint8_t, 256> HexDigitValues = [] {
    std::array<std::uint8_t, 256> values{};
    values.fill(NotHex);
    for (int c = 0; c < 10; ++c) {
        values['0' + c] = static_cast<std::uint8_t>(c);
    }
    for (int c = 0; c < 6; ++c) {
        values['A' + c] = static_cast<std::uint8_t>(10 + c);
        values['a' + c] = static_cast<std::uint8_t>(10 + c);
    }
    return values;
}();

} // namespace

bool HexToCardinal(std::string_view Text, std::uint32_t& Value) noexcept {
    if (Text.size() < 8) {
        return false;
    }
    std::uint32_t result = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        const std::uint8_t digit = HexDigitValues[static_cast<unsigned char>(Text[i])];
        if (digit == NotHex) {
            return false;
        }
        result = (result << 4) | digit;
    }
    Value = result;
    return true;
}

void TMapScanner::Scan() {
    try {
        TMapFileSource file;
        if (!file.Open(FMapFileName)) {
            return;
        }
        Scan(file);
    } catch (...) {
        // Half-read tables would name addresses wrongly; without a map there is simply no debug information.
        FProjectDebugInfo.ClearDebugInfo();
    }
}

namespace {

// Ends a pass that reached the size bound.
struct TMapTooLarge {};

} // namespace

void TMapScanner::Scan(IMapLineSource& Source) {
    FMapFile = &Source;
    FBytesRead = 0;
    try {
        ScanSections();
    } catch (const TMapTooLarge&) {
        FProjectDebugInfo.ClearDebugInfo();
        WriteToLog(u"The map file " + FMapFileName + u" is larger than " +
                   IntToText(std::int64_t(FMaxBytes)) + u" bytes and is not read");
    } catch (...) {
        FProjectDebugInfo.ClearDebugInfo();
    }
    FMapFile = nullptr;
}

std::string_view TMapScanner::ReadLine() {
    const std::string_view line = FMapFile->ReadLine();
    FBytesRead += line.size() + 1;
    if (FBytesRead > FMaxBytes) {
        throw TMapTooLarge{};
    }
    return line;
}

void TMapScanner::ScanSections() {
    while (!FMapFile->Eof()) {
        const std::string_view line = Trim(ReadLine());
        if (line == SegmentsHeader) {
            ScanSegments();
        } else if (line == DetailedSegmentsHeader) {
            ScanDetailedSegments();
        } else if (line == PublicsByNameHeader) {
            // Its lines pass through this loop and match nothing.
        } else if (line == PublicsByValueHeader) {
            ScanPublicsByValue();
        } else if (line.substr(0, LineNumbersHeader.size()) == LineNumbersHeader) {
            ScanLineNumbers(line);
        }
    }
}

void TMapScanner::ScanSegments() {
    std::string_view line;
    do {
        line = ReadLine();
        if (Columns(line, 50, 4) == CodeClass) {
            std::uint32_t length = 0;
            if (!HexToCardinal(Columns(line, 16, 8), length)) {
                return;
            }
            FProjectDebugInfo.FCodeLength = length;
        }
    } while (!line.empty());
}

void TMapScanner::ScanDetailedSegments() {
    if (!ReadLine().empty()) {
        return;
    }
    std::string_view line;
    do {
        line = ReadLine();
        if (Columns(line, 27, 4) == CodeClass) {
            std::uint32_t start = 0;
            std::uint32_t length = 0;
            if (!HexToCardinal(Columns(line, 7, 8), start) || !HexToCardinal(Columns(line, 16, 8), length)) {
                return;
            }
            // The unit name runs from column 60 to the alignment field.
            const std::size_t alignment = line.find(AlignmentField);
            const std::string_view name = alignment == std::string_view::npos || alignment < 59
                                              ? std::string_view()
                                              : TrimRight(line.substr(59, alignment - 59));
            TUnitDebugInfo unit(Widen(name), 2);
            unit.Addresses()[0].Address = start;
            unit.Addresses()[1].Address = start + length;
            FProjectDebugInfo.AddUnitDebugInfo(std::move(unit));
        }
    } while (!line.empty());
}

void TMapScanner::ScanPublicsByValue() {
    if (!ReadLine().empty()) {
        return;
    }
    auto& routines = FProjectDebugInfo.FRoutineDebugInfos;
    std::optional<std::size_t> previous;
    std::string_view line;
    do {
        line = ReadLine();
        if (Columns(line, 2, 4) == CodeSegment) {
            std::uint32_t address = 0;
            if (!HexToCardinal(Columns(line, 7, 8), address)) {
                return;
            }
            FProjectDebugInfo.AddRoutineDebugInfo(TRoutineDebugInfo(Widen(Columns(line, 22)), address, 0));
            // A routine runs up to and including the start of the next code routine.
            if (previous) {
                routines[*previous].SetEndAddress(address);
            }
            previous = routines.size() - 1;
        }
    } while (!line.empty());
    if (previous) {
        routines[*previous].SetEndAddress(FProjectDebugInfo.FCodeLength);
    }
}

void TMapScanner::ScanLineNumbers(std::string_view Header) {
    // "Line numbers for Name(File) segment Seg": the name runs from column 18 to the first parenthesis.
    // It is taken before the next line is read, which reuses the header's storage.
    const std::size_t parenthesis = Header.find('(');
    std::u16string name = parenthesis == std::string_view::npos || parenthesis < 17
                              ? std::u16string()
                              : Widen(Header.substr(17, parenthesis - 17));

    TUnitDebugInfo* const found = FProjectDebugInfo.FindUnitDebugInfo(name);
    std::optional<TUnitDebugInfo> created;
    TAddressesArray previousAddresses;
    int previousCount = 0;
    TUnitDebugInfo* unit = found;
    if (found != nullptr) {
        // The unit's range gives way to its lines. Its table is moved aside, not copied: a unit that
        // comes back in many sections would otherwise copy its whole table for each of them, and the
        // scan would grow with the square of the file.
        previousAddresses = std::move(found->Addresses());
        previousCount = found->AddressesCount();
        found->SetAddressesCount(0);
    } else {
        unit = &created.emplace(std::move(name), 0);
    }

    const auto finish = [&] {
        if (unit->AddressesCount() == 0) {
            // No lines: a known unit keeps what it had, whether its range or an earlier line table.
            if (found != nullptr) {
                found->Addresses() = std::move(previousAddresses);
                found->SetAddressesCount(previousCount);
            }
        } else if (created) {
            FProjectDebugInfo.AddUnitDebugInfo(std::move(*created));
        }
    };
    try {
        ReadLineNumberEntries(*unit);
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

void TMapScanner::ReadLineNumberEntries(TUnitDebugInfo& Unit) {
    if (!ReadLine().empty()) {
        return;
    }
    for (;;) {
        const std::string_view line = ReadLine();
        if (line.empty() || line.size() % LineEntryLength != 0) {
            return;
        }
        for (std::size_t entry = 0; entry < line.size(); entry += LineEntryLength) {
            const int number = LineNumber(line.substr(entry, 7));
            if (number < 0) {
                return;
            }
            std::uint32_t address = 0;
            if (!HexToCardinal(line.substr(entry + 12, 8), address)) {
                return;
            }
            Unit.AddLine(number, address);
        }
    }
}

} // namespace tarnwick
