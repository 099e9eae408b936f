// Any bytes as a map file through the map scanner: once as they are, once behind a section header chosen
// by the first byte (so that every section reader sees arbitrary lines), the same under a size bound
// chosen by the first byte, and as the body of one unit's line-number section repeated after a section
// with lines. The loaded tables must be consistent whatever the input.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "diag/DebugInfo.h"
#include "diag/MapScanner.h"

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

constexpr std::string_view Headers[] = {
    " Start         Length     Name                   Class\n",
    "Detailed map of segments\n\n",
    "  Address             Publics by Value\n\n",
    "Line numbers for System(System.pas) segment .text\n\n",
    "Detailed map of segments\n\n"
    " 0001:00000000 00000100 C=CODE     S=.text    G=(none)   M=System   ACBP=A9\n\n"
    "Line numbers for System(System.pas) segment .text\n\n",
};

// A unit known from the segment map with a line table of its own, whose line-number section then comes
// back again and again: the case whose table must be set aside, not copied, for every later section.
constexpr std::string_view UnitWithLines =
    "Detailed map of segments\n\n"
    " 0001:00000000 00000100 C=CODE     S=.text    G=(none)   M=System   "
    "ACBP=A9\n\n"
    "Line numbers for System(System.pas) segment .text\n\n"
    "     1 0001:00000000     2 0001:00000010\n\n";
constexpr std::string_view SectionHeader = "Line numbers for System(System.pas) segment .text\n\n";

void Scan(std::string_view text, std::uint64_t maxBytes = tarnwick::MaxMapFileBytes) {
    using namespace tarnwick;
    TProjectDebugInfo info;
    TMapTextSource source(text);
    TMapScanner(info, u"", maxBytes).Scan(source);

    Check(info.HasDebugInfo() == (!info.UnitDebugInfos().empty() || !info.RoutineDebugInfos().empty()));
    for (const TUnitDebugInfo& unit : info.UnitDebugInfos()) {
        Check(unit.AddressesCount() > 0);
        Check(static_cast<std::size_t>(unit.AddressesCount()) <= unit.Addresses().size());
        Check(info.FindUnitDebugInfo(unit.Name()) != nullptr);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Scan(text);
    if (size > 0) {
        std::string framed(Headers[data[0] % std::size(Headers)]);
        framed.append(text.substr(1));
        Scan(framed);
        // The size bound cutting the map anywhere.
        Scan(framed, data[0] * 8u);

        std::string repeated(UnitWithLines);
        for (int section = 0; section < 3; ++section) {
            repeated += SectionHeader;
            repeated.append(text.substr(1));
            repeated += "\n\n";
        }
        Scan(repeated);
    }
    return 0;
}
