#!/usr/bin/env python3
"""Builds the installer with wixl so that the same sources give the same bytes on any machine.

Usage: build_msi.py <wixl> <wxs> <files folder> <output msi> <epoch> [wixl options, e.g. --define Name=Value]...

wixl stamps a package with the time of the build and a random package code, and its cabinet with the
packed files' modification times. Here the files are packed from a copy whose times are <epoch>
(SOURCE_DATE_EPOCH: the time of the commit), the summary's two times are set to <epoch>, and the package
code is made from the package's own bytes: a different package has a different code, as Windows
Installer requires, and a rebuild of the same one has the same code.
"""
import hashlib
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import uuid

SUMMARY_STREAM = "\x05SummaryInformation"
PID_REVNUMBER, PID_CREATE_DTM, PID_LASTSAVE_DTM = 9, 12, 13
VT_LPSTR, VT_FILETIME = 30, 64
# Package codes are made in a namespace of their own (a fixed, otherwise meaningless GUID).
PACKAGE_CODE_NAMESPACE = uuid.UUID("6F1C1B0E-4D55-4C4B-9A2E-2D0A1E5C7B31")
END_OF_CHAIN = 0xFFFFFFFE


class CompoundFile:
    """Just enough of the compound file format (MS-CFB) to find where a stream's bytes lie in the file."""

    def __init__(self, data):
        self.data = data
        self.sector_size = 1 << struct.unpack_from("<H", data, 0x1E)[0]
        self.mini_sector_size = 1 << struct.unpack_from("<H", data, 0x20)[0]
        first_directory, = struct.unpack_from("<I", data, 0x30)
        self.cutoff, first_mini_fat, _, first_difat, difat_count = struct.unpack_from("<5I", data, 0x38)
        fat_sectors = [s for s in struct.unpack_from("<109I", data, 0x4C) if s < END_OF_CHAIN]
        sector, per_sector = first_difat, self.sector_size // 4 - 1
        for _ in range(difat_count):
            entries = struct.unpack_from("<%dI" % (per_sector + 1), data, self.offset(sector))
            fat_sectors += [s for s in entries[:per_sector] if s < END_OF_CHAIN]
            sector = entries[per_sector]
        self.fat = [entry for s in fat_sectors
                    for entry in struct.unpack_from("<%dI" % (self.sector_size // 4), data, self.offset(s))]
        mini_fat_bytes = b"".join(data[self.offset(s):self.offset(s) + self.sector_size]
                                  for s in self.chain(first_mini_fat))
        self.mini_fat = list(struct.unpack("<%dI" % (len(mini_fat_bytes) // 4), mini_fat_bytes))
        directory = b"".join(data[self.offset(s):self.offset(s) + self.sector_size]
                             for s in self.chain(first_directory))
        self.entries = {}
        for at in range(0, len(directory), 128):
            name_length, kind = struct.unpack_from("<HB", directory, at + 0x40)
            if kind == 0:
                continue
            name = directory[at:at + max(name_length - 2, 0)].decode("utf-16-le")
            start, size = struct.unpack_from("<IQ", directory, at + 0x74)
            self.entries[name if at else "<root>"] = (start, size & 0xFFFFFFFF)
        root_start, _ = self.entries["<root>"]
        self.mini_stream = [self.offset(s) for s in self.chain(root_start)]

    def offset(self, sector):
        return (sector + 1) * self.sector_size

    def chain(self, start, table=None):
        table = self.fat if table is None else table
        sectors = []
        while start < END_OF_CHAIN:
            sectors.append(start)
            start = table[start]
        return sectors

    def stream_offsets(self, name):
        """The file offset of every byte of the named stream, in order."""
        start, size = self.entries[name]
        offsets = []
        if size < self.cutoff:
            for mini in self.chain(start, self.mini_fat):
                at = mini * self.mini_sector_size
                base = self.mini_stream[at // self.sector_size] + at % self.sector_size
                offsets += range(base, base + self.mini_sector_size)
        else:
            for sector in self.chain(start):
                offsets += range(self.offset(sector), self.offset(sector) + self.sector_size)
        return offsets[:size]


def property_offsets(stream):
    """Where each property's value (after its type) starts in a summary stream, with its type."""
    section, = struct.unpack_from("<I", stream, 28 + 16)
    _, count = struct.unpack_from("<II", stream, section)
    found = {}
    for i in range(count):
        pid, at = struct.unpack_from("<II", stream, section + 8 + 8 * i)
        kind, = struct.unpack_from("<I", stream, section + at)
        found[pid] = (kind, section + at + 4)
    return found


def set_summary(msi, epoch, package_code):
    with open(msi, "rb") as f:
        data = bytearray(f.read())
    offsets = CompoundFile(data).stream_offsets(SUMMARY_STREAM)
    stream = bytearray(data[o] for o in offsets)
    properties = property_offsets(stream)
    filetime = (epoch + 11644473600) * 10 ** 7
    for pid in (PID_CREATE_DTM, PID_LASTSAVE_DTM):
        kind, at = properties[pid]
        assert kind == VT_FILETIME, "summary property %d is not a time" % pid
        struct.pack_into("<Q", stream, at, filetime)
    kind, at = properties[PID_REVNUMBER]
    text = ("{%s}" % str(package_code).upper()).encode("ascii")
    assert kind == VT_LPSTR and struct.unpack_from("<I", stream, at)[0] == len(text) + 1, "unexpected package code"
    stream[at + 4:at + 4 + len(text)] = text
    for o, byte in zip(offsets, stream):
        data[o] = byte
    with open(msi, "wb") as f:
        f.write(data)


def main(wixl, wxs, files, output, epoch, *options):
    epoch = int(epoch)
    with tempfile.TemporaryDirectory() as staging:
        for name in sorted(os.listdir(files)):
            copy = os.path.join(staging, name)
            shutil.copyfile(os.path.join(files, name), copy)
            os.chmod(copy, 0o644)
            os.utime(copy, (epoch, epoch))
        # The cabinet holds local times: the same on every machine only in one zone.
        environment = dict(os.environ, TZ="UTC")
        subprocess.run([wixl, *options, "--output", os.path.abspath(output), os.path.abspath(wxs)], check=True,
                       cwd=staging, env=environment)
    set_summary(output, epoch, uuid.UUID(int=0))
    with open(output, "rb") as f:
        package_code = uuid.uuid5(PACKAGE_CODE_NAMESPACE, hashlib.sha256(f.read()).hexdigest())
    set_summary(output, epoch, package_code)


if __name__ == "__main__":
    if len(sys.argv) < 6:
        sys.exit(__doc__)
    main(*sys.argv[1:])
