#!/usr/bin/env python3
"""Packs the portable zip so that the same files give the same bytes on any machine: the names in the
order given, every entry dated <epoch> (SOURCE_DATE_EPOCH: the time of the commit; a zip cannot date
before 1980), and the same attributes whatever the files' owners and modes were here.

Usage: build_zip.py <output zip> <epoch> <folder> <name>...
"""
import sys
import time
import zipfile

ZIP_EARLIEST = 315532800  # 1980-01-01 00:00:00 UTC


def main(output, epoch, folder, *names):
    stamp = time.gmtime(max(int(epoch), ZIP_EARLIEST))[:6]
    with zipfile.ZipFile(output, "w") as archive:
        for name in names:
            entry = zipfile.ZipInfo(name, stamp)
            entry.compress_type = zipfile.ZIP_DEFLATED
            entry.create_system = 0  # MS-DOS: Explorer's own attributes, none of Unix's
            entry.external_attr = 0x20  # "archive", as a file copied on Windows has
            with open("%s/%s" % (folder, name), "rb") as f:
                archive.writestr(entry, f.read(), compresslevel=9)


if __name__ == "__main__":
    if len(sys.argv) < 5:
        sys.exit(__doc__)
    main(*sys.argv[1:])
