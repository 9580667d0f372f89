#!/usr/bin/env python3
"""Writes the skins that the programs load, from code: images, cursors and INI
files. Run by the build; only this generator is kept in the repository.

    skingen.py SKIN OUTDIR     write every file of SKIN into OUTDIR
    skingen.py --list SKIN     print SKIN's file names, one a line

Each skin is a module of skinlib with a files() table (file name -> function
giving its bytes); a new skin or a new bitmap is one more entry there.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.dont_write_bytecode = True

from skinlib import elegance, menuimages, program, sleekform, splash  # noqa: E402


class _Files:
    def __init__(self, files):
        self.files = files


SKINS = {'elegance': elegance, 'menuimages': menuimages, 'program': program,
         'splash': splash, 'sleekform': sleekform,
         'timewarden': _Files(sleekform.resource_files)}


def main(argv):
    if len(argv) == 3 and argv[1] == '--list' and argv[2] in SKINS:
        for name in sorted(SKINS[argv[2]].files()):
            print(name)
        return 0
    if len(argv) != 3 or argv[1] not in SKINS:
        sys.stderr.write('usage: skingen.py SKIN OUTDIR | --list SKIN (skins: %s)\n'
                         % ', '.join(sorted(SKINS)))
        return 2
    out = argv[2]
    os.makedirs(out, exist_ok=True)
    for name, make in sorted(SKINS[argv[1]].files().items()):
        data = make()
        path = os.path.join(out, name)
        # Unchanged files keep their time stamps, so nothing downstream rebuilds.
        try:
            with open(path, 'rb') as f:
                if f.read() == data:
                    continue
        except OSError:
            pass
        with open(path, 'wb') as f:
            f.write(data)
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
