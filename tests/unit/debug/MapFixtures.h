#pragma once
// Map files in the linker's map format, and a compact text of what a scan loaded from one.

#include <cstdio>
#include <string>

#include "core/Text.h"
#include "diag/DebugInfo.h"

namespace tarnwick::testing {

// One of each section, as the linker writes them.
inline const std::string FullMap = R"(
 Start         Length     Name                   Class
 0001:00401000 0000A000H .text                   CODE
 0002:0040B000 00000200H .data                   DATA


Detailed map of segments

 0001:00000000 00000100 C=CODE     S=.text    G=(none)   M=System   ACBP=A9
 0001:00000100 00000080 C=CODE     S=.text    G=(none)   M=SysInit  ACBP=A9
 0002:00000000 00000010 C=DATA     S=.data    G=DATA     M=System   ACBP=A9


  Address             Publics by Name

 0001:00000040       System.Copy
 0001:00000010       System.Move


  Address             Publics by Value

 0001:00000010       System.Move
 0002:00000004       System.HPrevInst
 0001:00000040       System.Copy
 0001:00000120       SysInit.InitExe


Line numbers for SysInit(SysInit.pas) segment .text

   101 0001:00000100   102 0001:00000110   105 0001:00000128

Line numbers for Unit1(Unit1.pas) segment .text

    12 0001:00000200    13 0001:00000204

Bound resource files

Unit1.dfm

Program entry point at 0001:00000120
)";

inline const std::string FullMapDump = "code 0000A000\n"
                                       "unit System 00000000/0 00000100/0\n"
                                       "unit SysInit 00000100/101 00000110/102 00000128/105\n"
                                       "unit Unit1 00000200/12 00000204/13\n"
                                       "routine System.Move 00000010..00000040\n"
                                       "routine System.Copy 00000040..00000120\n"
                                       "routine SysInit.InitExe 00000120..0000A000\n";

// The code length, each unit with its used entries as address/line, each routine with its range.
inline std::string Dump(const TProjectDebugInfo& info) {
    char text[64];
    std::snprintf(text, sizeof text, "code %08X\n", info.CodeLength());
    std::string dump = text;
    for (const TUnitDebugInfo& unit : info.UnitDebugInfos()) {
        dump += "unit " + ToUtf8(unit.Name());
        for (int i = 0; i < unit.AddressesCount(); ++i) {
            std::snprintf(text, sizeof text, " %08X/%u", unit.Addresses()[i].Address,
                          unit.Addresses()[i].Line);
            dump += text;
        }
        dump += "\n";
    }
    for (const TRoutineDebugInfo& routine : info.RoutineDebugInfos()) {
        std::snprintf(text, sizeof text, " %08X..%08X\n", routine.StartAddress(), routine.EndAddress());
        dump += "routine " + ToUtf8(routine.Name()) + text;
    }
    return dump;
}

} // namespace tarnwick::testing
