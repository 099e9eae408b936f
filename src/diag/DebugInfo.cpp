#include "diag/DebugInfo.h"

#include "core/Text.h"
#include "diag/MapScanner.h"

namespace tarnwick {

TUnitDebugInfo::TUnitDebugInfo(std::u16string Name, int LinesCount) : FName(std::move(Name)) {
    SetAddressesCount(LinesCount);
}

void TUnitDebugInfo::AddLine(int Line, std::uint32_t Address) {
    if (static_cast<std::size_t>(FAddressesCount) >= FAddresses.size()) {
        // Geometric growth keeps appending cheap for line tables of thousands of entries.
        FAddresses.resize(FAddresses.size() * 2 + 1);
    }
    FAddresses[FAddressesCount] = TAddressToLine{Address, static_cast<std::uint32_t>(Line)};
    ++FAddressesCount;
}

void TUnitDebugInfo::SetAddressesCount(int Value) {
    const std::size_t count = Value > 0 ? static_cast<std::size_t>(Value) : 0;
    FAddresses.resize(count);
    FAddressesCount = static_cast<int>(count);
}

TRoutineDebugInfo::TRoutineDebugInfo(std::u16string Name, std::uint32_t StartAddress,
                                     std::uint32_t RoutineLength)
    : FName(std::move(Name)), FStartAddress(StartAddress), FEndAddress(StartAddress + RoutineLength - 1u) {}

void TProjectDebugInfo::LoadMapDebugInfo(const std::u16string& MapFileName) {
    ClearDebugInfo();
    TMapScanner scanner(*this, MapFileName);
    scanner.Scan();
}

void TProjectDebugInfo::ClearDebugInfo() {
    FRoutineDebugInfos.clear();
    FUnitDebugInfos.clear();
    FCodeLength = 0;
}

TUnitDebugInfo* TProjectDebugInfo::FindUnitDebugInfo(std::u16string_view Name) {
    for (TUnitDebugInfo& info : FUnitDebugInfos) {
        if (SameTextAscii(info.Name(), Name)) {
            return &info;
        }
    }
    return nullptr;
}

} // namespace tarnwick
