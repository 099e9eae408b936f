#!/usr/bin/env python3
"""The map generator's reading of binutils' texts and the columns of the map it writes."""

import io
import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "..", "tools", "mapgen"))
import mapgen  # noqa: E402

SECTION_HEADERS = """
prog.exe:     file format pei-x86-64

Sections:
Idx Name          Size      VMA               LMA               File off  Algn
  0 .text         00002000  0000000140001000  0000000140001000  00000600  2**4
                  CONTENTS, ALLOC, LOAD, READONLY, CODE, DATA
  1 .data         00000220  0000000140003000  0000000140003000  00022a00  2**4
                  CONTENTS, ALLOC, LOAD, DATA
  2 .bss          00000c60  0000000140004000  0000000140004000  00000000  2**4
                  ALLOC
  3 .debug_line   0000bd93  0000000140005000  0000000140005000  00054600  2**0
                  CONTENTS, READONLY, DEBUGGING
"""

LINKER_MAP = """
.text           0x0000000140001000     0x2000
 *(.text)
 .text          0x0000000140001000      0x510 /usr/lib/gcc/x86_64-w64-mingw32/12-posix/crt2.o
                0x00000001400014b0                WinMainCRTStartup
 .text          0x0000000140001510        0x0 empty.cpp.obj
 .text          0x0000000140001510       0x60 libtarnwick_diag.a(DebugUnit.cpp.obj)
                0x0000000140001510                tarnwick::RaiseExceptionInterceptor(unsigned int)
 *(SORT_BY_NAME(.text$*))
 .text$_ZN8tarnwick13SomeInlineEv
                0x0000000140002000       0x20 libtarnwick_diag.a(DebugUnit.cpp.obj)

.data           0x0000000140003000      0x400
 .text          0x0000000140003000       0x10 not-code.o
"""

SYMBOLS = """0000000140001000 t .text
0000000140001000 t __mingw_invalidParameterHandler
00000001400014b0 T WinMainCRTStartup
00000001400014b0 t alias_of_WinMainCRTStartup
0000000140001510 T tarnwick::RaiseExceptionInterceptor(unsigned int, unsigned int)
0000000140003010 D gGlobal
0000000140003020 d gLocal
0000000140004008 B gZeroed
0000000140009000 T outside_every_section
"""

LINE_TABLE = """
prog.exe:     file format pei-x86-64

Contents of the .debug_line section:

CU: ./src/diag/DebugUnit.cpp:
File name                            Line number    Starting address    View    Stmt
DebugUnit.cpp                                 12         0x140001510               x
DebugUnit.cpp                                 13         0x140001514               x
DebugUnit.cpp                                 14         0x140001514       1       x

/usr/include/c++/12/bits/basic_string.h:
basic_string.h                               659         0x140001518               x

./src/diag/DebugUnit.cpp:
DebugUnit.cpp                                 15         0x14000151c               x
DebugUnit.cpp                                  0         0x140001520
DebugUnit.cpp                            1234567         0x140001524
DebugUnit.cpp                                  -         0x140001530

DebugUnit.cpp                                  9         0x140000000               x
crtexe.c:
File name                            Line number    Starting address    View    Stmt
crtexe.c                                     118         0x140001000               x
"""


class MapGeneratorTest(unittest.TestCase):
    def setUp(self):
        self.sections = mapgen.parse_section_headers(SECTION_HEADERS)
        self.code, self.loaded = mapgen.classify(self.sections)

    def test_sections_are_numbered_code_first_with_their_classes(self):
        self.assertEqual([(s.name, s.number, s.klass) for s in self.loaded],
                         [(".text", 1, "CODE"), (".data", 2, "DATA"), (".bss", 3, "BSS")])
        self.assertEqual((self.code.vma, self.code.size), (0x140001000, 0x2000))

    def test_units_are_the_object_files_plain_code_sections(self):
        self.assertEqual(mapgen.parse_linker_map(LINKER_MAP, self.code),
                         [(0x000, 0x510, "crt2"), (0x510, 0x60, "DebugUnit")])

    def test_symbols_lie_in_a_section_one_per_address_code_with_its_local_routines(self):
        self.assertEqual(mapgen.parse_symbols(SYMBOLS, self.loaded), [
            (1, 0x000, "__mingw_invalidParameterHandler"),
            (1, 0x4B0, "WinMainCRTStartup"),
            (1, 0x510, "tarnwick::RaiseExceptionInterceptor(unsigned int, unsigned int)"),
            (2, 0x010, "gGlobal"),
            (3, 0x008, "gZeroed"),
        ])

    def test_line_tables_hold_each_units_own_lines_in_the_code(self):
        units = mapgen.parse_line_table(LINE_TABLE, self.code)
        self.assertEqual(units["DebugUnit"], {"file": "DebugUnit.cpp",
                                              "rows": {0x510: 12, 0x514: 14, 0x51C: 15}})
        self.assertEqual(units["crtexe"]["rows"], {0x000: 118})

    def test_written_lines_have_the_columns_the_reader_takes(self):
        out = io.StringIO()
        mapgen.write_map(out, self.loaded, 0x140000000, [(0x510, 0x60, "DebugUnit")],
                         [(1, 0x510, "tarnwick::Routine()"), (2, 0x10, "gGlobal")],
                         {"DebugUnit": {"file": "DebugUnit.cpp", "rows": {0x510: 12, 0x514: 14, 0x51C: 15,
                                                                         0x520: 16, 0x524: 123456}}},
                         0x4B0)
        lines = out.getvalue().split("\n")
        segment = lines[lines.index(" Start         Length     Name                   Class") + 1]
        self.assertEqual(segment[1:14], "0001:00001000")
        self.assertEqual(segment[15:23], "00002000")
        self.assertEqual(segment[49:53], "CODE")
        detailed = lines[lines.index("Detailed map of segments") + 2]
        self.assertEqual((detailed[6:14], detailed[15:23], detailed[26:30]), ("00000510", "00000060", "CODE"))
        self.assertEqual(detailed[59:detailed.index("ACBP=")].rstrip(), "DebugUnit")
        by_value = lines[lines.index("  Address             Publics by Value") + 2:][:2]
        self.assertEqual([(l[1:5], l[6:14], l[21:]) for l in by_value],
                         [("0001", "00000510", "tarnwick::Routine()"), ("0002", "00000010", "gGlobal")])
        header = lines.index("Line numbers for DebugUnit(DebugUnit.cpp) segment .text")
        self.assertEqual(lines[header + 1], "")
        self.assertEqual(lines[header + 2],
                         "    12 0001:00000510    14 0001:00000514    15 0001:0000051C    16 0001:00000520")
        self.assertEqual(lines[header + 3], "123456 0001:00000524")
        self.assertEqual(lines[header + 4], "")
        self.assertIn("Program entry point at 0001:000004B0", lines)


if __name__ == "__main__":
    unittest.main()
