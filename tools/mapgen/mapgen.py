#!/usr/bin/env python3
"""Writes the map file of a linked program in the format the debug unit reads.

The GNU toolchain knows everything such a map holds, spread over three places: the linker's own map
(which object file contributed which part of the code), the program's symbol table (its routines), and
the DWARF line table (line numbers). This tool asks binutils for them and writes one map:

  - the segment table: the code section as segment 0001 with class CODE, the other loaded sections after it;
  - the detailed map of segments: one CODE line per object file, its unit name taken from the file name;
  - publics by name and by value: the symbols of the code and data sections, offsets from their segment;
  - one "Line numbers for" section per source file with lines, entries of its own file only.

Addresses are offsets from the start of their section, as the format wants them; the image base is left
out, so that every offset fits in 8 hexadecimal digits.
"""

import argparse
import os
import re
import subprocess
import sys

CODE_SECTION = ".text"
OBJECT_SUFFIXES = (".obj", ".o")
SOURCE_SUFFIXES = (".cpp", ".cc", ".cxx", ".c", ".s", ".S")
MAX_LINE_NUMBER = 999999  # the format right-aligns line numbers in 6 characters
LINE_ENTRIES_PER_LINE = 4


class Section:
    def __init__(self, name, size, vma, flags):
        self.name = name
        self.size = size
        self.vma = vma
        self.flags = flags
        self.number = 0
        self.klass = ""

    def holds(self, address):
        return self.vma <= address < self.vma + self.size


def run(command):
    return subprocess.run(command, check=True, stdout=subprocess.PIPE, universal_newlines=True,
                          errors="replace").stdout


# --- reading what the toolchain knows -------------------------------------------------------------------

def parse_section_headers(text):
    """objdump -h: index, name, size, VMA, LMA, file offset, alignment, then a line of flags."""
    sections = []
    lines = text.splitlines()
    header = re.compile(r"^\s*\d+\s+(\S+)\s+([0-9a-fA-F]+)\s+([0-9a-fA-F]+)\s+[0-9a-fA-F]+\s+[0-9a-fA-F]+\s+\S+")
    for i, line in enumerate(lines):
        match = header.match(line)
        if match:
            flags = set()
            if i + 1 < len(lines):
                flags = {flag.strip() for flag in lines[i + 1].split(",")}
            sections.append(Section(match.group(1), int(match.group(2), 16), int(match.group(3), 16), flags))
    return sections


def parse_image_base(text):
    """objdump -p of a PE image names its image base; other formats have none."""
    match = re.search(r"^ImageBase\s+([0-9a-fA-F]+)", text, re.MULTILINE)
    return int(match.group(1), 16) if match else 0


def parse_start_address(text):
    match = re.search(r"^start address 0x([0-9a-fA-F]+)", text, re.MULTILINE)
    return int(match.group(1), 16) if match else None


def unit_name(path):
    """The unit an object or source file stands for: its base name without object and source suffixes."""
    member = re.match(r"^.*\((.+)\)$", path)
    name = os.path.basename(member.group(1) if member else path)
    for suffixes in (OBJECT_SUFFIXES, SOURCE_SUFFIXES):
        for suffix in suffixes:
            if name.endswith(suffix) and len(name) > len(suffix):
                name = name[: -len(suffix)]
                break
    return name


def parse_linker_map(text, code):
    """The object files' contributions to the code section, from the GNU linker's map: (start, size, file)."""
    contributions = []
    inside = False
    pending = None  # an input section whose name filled its line; address, size and file follow
    output_section = re.compile(r"^(\S+)\s")
    input_section = re.compile(r"^ (\S+)\s+0x([0-9a-fA-F]+)\s+0x([0-9a-fA-F]+)\s+(\S.*)$")
    continuation = re.compile(r"^\s+0x([0-9a-fA-F]+)\s+0x([0-9a-fA-F]+)\s+(\S.*)$")
    lone_name = re.compile(r"^ (\S+)$")
    for line in text.splitlines():
        match = output_section.match(line)
        if match or line.startswith(CODE_SECTION + " ") or line == CODE_SECTION:
            inside = (match.group(1) if match else line.split()[0]) == CODE_SECTION
            pending = None
            continue
        if not inside:
            continue
        if pending is not None:
            match = continuation.match(line)
            if match:
                contributions.append((pending, int(match.group(1), 16), int(match.group(2), 16), match.group(3)))
            pending = None
            continue
        match = input_section.match(line)
        if match:
            contributions.append((match.group(1), int(match.group(2), 16), int(match.group(3), 16),
                                  match.group(4)))
            continue
        match = lone_name.match(line)
        if match and not line.startswith(" *"):
            pending = match.group(1)
    units = []
    for name, start, size, path in contributions:
        # The plain code section of each object: what the compiler puts in sections of their own (inline
        # and template functions) is found through the routines and the line tables instead.
        if name == CODE_SECTION and size > 0 and code.holds(start):
            units.append((start - code.vma, size, unit_name(path.strip())))
    units.sort()
    return units


def parse_symbols(text, sections):
    """nm --defined-only -C: the symbols that lie inside a listed section, one per address."""
    by_address = {}
    for line in text.splitlines():
        parts = line.split(None, 2)
        if len(parts) != 3 or len(parts[1]) != 1:
            continue
        address, kind, name = parts
        if name.startswith(".") or kind not in "TtWwDBRV":
            continue
        try:
            value = int(address, 16)
        except ValueError:
            continue
        section = next((s for s in sections if s.holds(value)), None)
        if section is None:
            continue
        is_code = section.klass == "CODE"
        # Data is named by its public symbols only; code by every routine, local ones included.
        if not is_code and kind.islower():
            continue
        if not is_code and section.klass not in ("DATA", "BSS"):
            continue
        key = (section.number, value - section.vma)
        rank = (kind.islower(), name)
        if key not in by_address or rank < by_address[key][0]:
            by_address[key] = (rank, name)
    return sorted((segment, offset, name) for (segment, offset), (_, name) in by_address.items())


def parse_line_table(text, code):
    """objdump --dwarf=decodedline: each unit's own rows (not those of headers it includes)."""
    units = {}
    lines = text.splitlines()
    unit = None
    own_file = None
    row = re.compile(r"^(\S+)\s+(\d+)\s+0x([0-9a-fA-F]+)(?:\s+\d+)?(?:\s+x)?\s*$")
    for i, line in enumerate(lines):
        if line.endswith(":") and i + 1 < len(lines) and lines[i + 1].startswith("File name"):
            path = line[:-1]
            if path.startswith("CU: "):
                path = path[4:]
            own_file = os.path.basename(path)
            unit = units.setdefault(unit_name(path), {"file": own_file, "rows": {}})
            continue
        if unit is None:
            continue
        match = row.match(line)
        if not match or match.group(1) != own_file:
            continue
        number = int(match.group(2))
        address = int(match.group(3), 16)
        if 0 < number <= MAX_LINE_NUMBER and code.holds(address):
            # Several rows at one address: the last is the one in force there.
            unit["rows"][address - code.vma] = number
    return units


# --- writing the map ---------------------------------------------------------------------------------

def classify(sections):
    """Numbers the loaded sections, code first, and gives each the format's class."""
    loaded = [s for s in sections if "ALLOC" in s.flags and s.size > 0]
    code = next((s for s in loaded if s.name == CODE_SECTION), None)
    if code is None:
        sys.exit("mapgen: the program has no %s section" % CODE_SECTION)
    ordered = [code] + [s for s in loaded if s is not code]
    for number, section in enumerate(ordered, start=1):
        section.number = number
        if section is code:
            section.klass = "CODE"  # the only one: the reader takes the last CODE line's length
        elif "CODE" in section.flags:
            section.klass = "ICODE"
        elif section.name.startswith((".tls", ".tdata", ".tbss")):
            section.klass = "TLS"
        elif "LOAD" not in section.flags:
            section.klass = "BSS"
        else:
            section.klass = "DATA"
    return code, ordered


def write_map(out, sections, image_base, units, symbols, line_units, entry):
    out.write("\n")
    out.write(" Start         Length     Name                   Class\n")
    for s in sections:
        out.write(" %04X:%08X %08XH %-23s %s\n" % (s.number, (s.vma - image_base) & 0xFFFFFFFF, s.size,
                                                 s.name[:23], s.klass))
    out.write("\n\n")

    out.write("Detailed map of segments\n\n")
    for start, size, name in units:
        # The unit name starts in column 60, after the class, segment and group fields.
        out.write(" 0001:%08X %08X C=CODE     S=.text    G=(none)   M=%-8s ACBP=A9\n" % (start, size, name))
    out.write("\n\n")

    out.write("  Address             Publics by Name\n\n")
    for segment, offset, name in sorted(symbols, key=lambda s: (s[2].lower(), s[2], s[0], s[1])):
        out.write(" %04X:%08X       %s\n" % (segment, offset, name))
    out.write("\n\n")

    out.write("  Address             Publics by Value\n\n")
    for segment, offset, name in symbols:
        out.write(" %04X:%08X       %s\n" % (segment, offset, name))
    out.write("\n\n")

    for name in sorted(line_units, key=str.lower):
        unit = line_units[name]
        rows = sorted(unit["rows"].items())
        if not rows:
            continue
        out.write("Line numbers for %s(%s) segment %s\n\n" % (name, unit["file"], CODE_SECTION))
        for i in range(0, len(rows), LINE_ENTRIES_PER_LINE):
            out.write("".join("%6d 0001:%08X" % (number, offset)
                              for offset, number in rows[i:i + LINE_ENTRIES_PER_LINE]))
            out.write("\n")
        out.write("\n")

    if entry is not None:
        out.write("Program entry point at 0001:%08X\n" % entry)


def generate(executable, linker_map, nm, objdump, output):
    sections = parse_section_headers(run([objdump, "-h", executable]))
    code, loaded = classify(sections)
    image_base = parse_image_base(run([objdump, "-p", executable]))
    start = parse_start_address(run([objdump, "-f", executable]))
    entry = start - code.vma if start is not None and code.holds(start) else None
    with open(linker_map, encoding="utf-8", errors="replace") as f:
        units = parse_linker_map(f.read(), code)
    symbols = parse_symbols(run([nm, "--defined-only", "-C", executable]), loaded)
    line_units = parse_line_table(run([objdump, "--dwarf=decodedline", "--wide", executable]), code)
    # Written beside the program in one go, so that a reader never sees half a map.
    partial = output + ".partial"
    with open(partial, "w", encoding="ascii", errors="replace", newline="\n") as out:
        write_map(out, loaded, image_base, units, symbols, line_units, entry)
    os.replace(partial, output)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--executable", required=True)
    parser.add_argument("--linker-map", required=True, help="the map the GNU linker wrote with -Map")
    parser.add_argument("--nm", default="nm")
    parser.add_argument("--objdump", default="objdump")
    parser.add_argument("--output", required=True)
    args = parser.parse_args()
    generate(args.executable, args.linker_map, args.nm, args.objdump, args.output)


if __name__ == "__main__":
    main()
