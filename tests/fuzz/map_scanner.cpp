// Any bytes as a map file through the map scanner: once as they are, and once behind a section header
// chosen by the first byte, so that every section reader sees arbitrary lines. The loaded tables must be
// consistent whatever the input.

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

void Scan(std::string_view text) {
    using namespace tarnwick;
    TProjectDebugInfo info;
    TMapTextSource source(text);
    TMapScanner(info, u"").Scan(source);

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
    }
    return 0;
}
