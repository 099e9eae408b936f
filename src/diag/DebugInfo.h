#pragma once
// The tables the map file yields: the program's units with their code ranges or line tables, and its
// routines with their code ranges. Addresses are offsets from the start of the code segment.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/Text.h"

namespace tarnwick {

struct TAddressToLine {
    std::uint32_t Address = 0;
    std::uint32_t Line = 0; // 0: no line
};

using TAddressesArray = std::vector<TAddressToLine>;

// One unit of the program: either its range (two entries, start and start plus length, lines 0) or its
// line table (one entry per line-number entry of the map, in map order).
class TUnitDebugInfo {
public:
    TUnitDebugInfo(std::u16string Name, int LinesCount);

    // Appends one entry; the array grows to twice its length plus one when it is full.
    void AddLine(int Line, std::uint32_t Address) {
        if (static_cast<std::size_t>(FAddressesCount) >= FAddresses.size()) {
            // Geometric growth keeps appending cheap for line tables of thousands of entries.
            FAddresses.resize(FAddresses.size() * 2 + 1);
        }
        FAddresses[static_cast<std::size_t>(FAddressesCount)] =
            TAddressToLine{Address, static_cast<std::uint32_t>(Line)};
        ++FAddressesCount;
    }

    const std::u16string& Name() const noexcept { return FName; }
    int AddressesCount() const noexcept { return FAddressesCount; }
    // Resizes the array to exactly Value entries (new ones zero) and makes them all used.
    void SetAddressesCount(int Value);
    // The used entries are the first AddressesCount ones; the array may be longer.
    const TAddressesArray& Addresses() const noexcept { return FAddresses; }
    TAddressesArray& Addresses() noexcept { return FAddresses; }

private:
    std::u16string FName;
    TAddressesArray FAddresses;
    int FAddressesCount = 0;
};

// One routine: its code from StartAddress up to and including EndAddress.
class TRoutineDebugInfo {
public:
    // The end is StartAddress + RoutineLength - 1 in 32-bit arithmetic.
    TRoutineDebugInfo(std::u16string Name, std::uint32_t StartAddress, std::uint32_t RoutineLength);

    const std::u16string& Name() const noexcept { return FName; }
    std::uint32_t StartAddress() const noexcept { return FStartAddress; }
    std::uint32_t EndAddress() const noexcept { return FEndAddress; }
    void SetEndAddress(std::uint32_t Value) noexcept { FEndAddress = Value; }

private:
    std::u16string FName;
    std::uint32_t FStartAddress;
    std::uint32_t FEndAddress;
};

class TMapScanner;

// The whole program's tables, filled once from the map file.
class TProjectDebugInfo {
public:
    TProjectDebugInfo() = default;

    // Discards what is loaded and reads the map file; an unreadable or broken file leaves the tables empty.
    void LoadMapDebugInfo(const std::u16string& MapFileName);
    // Discards every unit and routine (and the code length read with them).
    void ClearDebugInfo();
    bool HasDebugInfo() const noexcept { return !FUnitDebugInfos.empty() || !FRoutineDebugInfos.empty(); }
    // The first unit, in list order, whose name equals Name ignoring ASCII case; null when there is none.
    TUnitDebugInfo* FindUnitDebugInfo(std::u16string_view Name);

    std::uint32_t CodeLength() const noexcept { return FCodeLength; }
    const std::vector<TUnitDebugInfo>& UnitDebugInfos() const noexcept { return FUnitDebugInfos; }
    const std::vector<TRoutineDebugInfo>& RoutineDebugInfos() const noexcept { return FRoutineDebugInfos; }

private:
    friend class TMapScanner;
    void AddUnitDebugInfo(TUnitDebugInfo Info);
    void AddRoutineDebugInfo(TRoutineDebugInfo Info) { FRoutineDebugInfos.push_back(std::move(Info)); }

    std::uint32_t FCodeLength = 0;
    std::vector<TUnitDebugInfo> FUnitDebugInfos;
    std::vector<TRoutineDebugInfo> FRoutineDebugInfos;
    // Each unit name's first position in FUnitDebugInfos: a large map names thousands of units, and a
    // search through all of them for every line-number section would dominate the scan.
    std::unordered_map<std::u16string, std::size_t, AsciiCaseInsensitiveHash, AsciiCaseInsensitiveEqual>
        FUnitIndex;
};

} // namespace tarnwick
