#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Sorawata developers
# SPDX-License-Identifier: MIT

"""Every message in the code has a finished translation in each catalogue, and no catalogue holds
one the code no longer has: a copy of each catalogue is brought up to date with the code by
lupdate, as `cmake --build build --target update_translations` does, and read. Each translation
keeps its message's placeholders (%1, %2...), the values the program puts in.

Usage: translations_complete.py path/to/lupdate SOURCE_FOLDER CATALOGUE.ts...
"""

import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree


def problems_of(catalogue):
    for context in ElementTree.parse(catalogue).getroot().iter("context"):
        name = context.findtext("name")
        for message in context.iter("message"):
            source = message.findtext("source")
            translation = message.find("translation")
            kind = translation.get("type")
            text = translation.text or ""
            where = f"{name}: {source!r}"
            if kind in ("unfinished", "vanished", "obsolete"):
                yield f"{where} is {kind}"
            elif not text:
                yield f"{where} has an empty translation"
            elif set(re.findall(r"%\d", source)) != set(re.findall(r"%\d", text)):
                yield f"{where}: the translation's placeholders differ: {text!r}"


def main(lupdate, sources, catalogues):
    failed = False
    with tempfile.TemporaryDirectory() as work:
        for catalogue in catalogues:
            copy = f"{work}/copy.ts"
            shutil.copyfile(catalogue, copy)
            subprocess.run([lupdate, "-silent", "-locations", "none", sources, "-ts", copy],
                           check=True)
            for problem in problems_of(copy):
                print(f"{catalogue}: {problem}")
                failed = True
    if failed:
        print("Bring the catalogues up to date with `cmake --build build --target "
              "update_translations`, then translate what is unfinished.")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2], sys.argv[3:]))
