#!/usr/bin/env python3
"""Packs a folder into a zip whose names are code page 936, as Chinese Windows reads them.

  scripts/zip-folder.py ZIP FOLDER

The zip holds FOLDER itself and everything in it. Windows' own zip folders (Windows 7 among
them) and the zip programs common on Chinese PCs read names without the UTF-8 flag in the
system's code page, which is 936 on a Chinese Windows; so names are written that way, which
also keeps the Chinese names readable where the UTF-8 flag is not understood.
"""
import os
import sys
import zipfile


class Cp936Name(zipfile.ZipInfo):
    def _encodeFilenameFlags(self):
        return self.filename.encode('cp936'), self.flag_bits & ~0x800


def main(args):
    if len(args) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    archive, folder = args
    folder = os.path.normpath(folder)
    base = os.path.dirname(folder)
    with zipfile.ZipFile(archive, 'w', zipfile.ZIP_DEFLATED, compresslevel=9) as out:
        for directory, subdirectories, files in os.walk(folder):
            subdirectories.sort()
            for name in sorted(files):
                path = os.path.join(directory, name)
                entry = Cp936Name.from_file(path, os.path.relpath(path, base))
                entry.compress_type = zipfile.ZIP_DEFLATED
                with open(path, 'rb') as source:
                    out.writestr(entry, source.read())
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
