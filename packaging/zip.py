#!/usr/bin/env python3
"""Writes a zip archive of a folder that depends on nothing but the files'
names and contents: entries sorted, one fixed time, no extra fields, no
owners or permissions.

    zip.py ARCHIVE FOLDER    (SOURCE_DATE_EPOCH gives the time)
"""
import os
import sys
import time
import zipfile


def main():
    archive, folder = sys.argv[1], sys.argv[2]
    # Zip times are local times from 1980 on, with two-second steps.
    stamp = time.gmtime(max(int(os.environ["SOURCE_DATE_EPOCH"]), 315532800))
    date_time = stamp[:5] + (stamp[5] // 2 * 2,)
    names = []
    for top, dirs, files in os.walk(folder):
        for f in files:
            names.append(os.path.relpath(os.path.join(top, f), folder).replace(os.sep, "/"))
    with zipfile.ZipFile(archive, "w") as z:
        for name in sorted(names):
            info = zipfile.ZipInfo(name, date_time)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 0  # MS-DOS: no Unix modes in the entry
            info.external_attr = 0x20  # FILE_ATTRIBUTE_ARCHIVE
            with open(os.path.join(folder, name), "rb") as f:
                z.writestr(info, f.read(), compresslevel=9)


if __name__ == "__main__":
    main()
