#!/usr/bin/env python3
"""Writes a zip archive whose bytes depend only on the files' names and contents.

Every file of DIR (no subfolders) goes in at the top of ARCHIVE, in the order
of their names, each dated EPOCH (seconds since 1970, UTC: the commit's time)
and marked as a plain Windows file, so that the host, the umask and the
moment of packing leave no trace.
"""

import os
import sys
import time
import zipfile

USAGE = "usage: reproducible_zip.py ARCHIVE EPOCH DIR"


def main():
    if len(sys.argv) != 4:
        sys.exit(USAGE)
    archive, epoch, folder = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    # A zip time has no zone and cannot go below 1980.
    stamp = max(time.gmtime(epoch)[:6], (1980, 1, 1, 0, 0, 0))
    names = sorted(os.listdir(folder))
    with zipfile.ZipFile(archive, "w") as out:
        for name in names:
            path = os.path.join(folder, name)
            if not os.path.isfile(path):
                sys.exit(f"reproducible_zip: {path} is not a file")
            entry = zipfile.ZipInfo(name, date_time=stamp)
            entry.create_system = 0  # MS-DOS and Windows
            entry.external_attr = 0x20  # FILE_ATTRIBUTE_ARCHIVE, as Windows marks a new file
            entry.compress_type = zipfile.ZIP_DEFLATED
            with open(path, "rb") as data:
                out.writestr(entry, data.read(), compresslevel=9)


if __name__ == "__main__":
    main()
