#include "diag/DebugInfo.h"

#include "diag/MapScanner.h"

namespace tarnwick {

TUnitDebugInfo::TUnitDebugInfo(std::u16string Name, int LinesCount) : FName(std::move(Name)) {
    SetAddressesCount(LinesCount);
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
    FUnitIndex.clear();
    FCodeLength = 0;
}

void TProjectDebugInfo::AddUnitDebugInfo(TUnitDebugInfo Info) {
    FUnitDebugInfos.push_back(std::move(Info));
    // A later unit of the same name never shadows the first one.
    FUnitIndex.try_emplace(FUnitDebugInfos.back().Name(), FUnitDebugInfos.size() - 1);
}

TUnitDebugInfo* TProjectDebugInfo::FindUnitDebugInfo(std::u16string_view Name) {
    const auto found = FUnitIndex.find(std::u16string(Name));
    return found != FUnitIndex.end() ? &FUnitDebugInfos[found->second] : nullptr;
}

} // namespace tarnwick
