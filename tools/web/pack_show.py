#!/usr/bin/env python3
"""Packs a show's files for its web site: each file gzipped into OUTDIR/files/NAME.gz
(files that are hard links of one another packed once and linked alike), the manifest
OUTDIR/show.json (each file's size and packed size, the files the title needs, the
program's size) and index.html from its template, which has the browser fetch the
title's files from the start.

Usage: pack_show.py SHOWDIR ATLAS PROGRAM TEMPLATE OUTDIR SHOWNAME"""
import gzip
import html
import json
import os
import re
import sys

SHOW_FILE_PATTERN = re.compile(r"^(scs\d+\.BMP|scb\d+\.BMP|bsou\d+\.WAV|SCR1\.BIL|TITLE\.TXT)$")
ATLAS = "glyphs.atlas"
# What the program opens before its title waits for input: the show file, the glyphs,
# the graphics sheet, the title picture, the show's own title line (where it has one)
# and the sounds it loads at the start.
TITLE_FILES = ["SCR1.BIL", ATLAS, "scs00001.BMP", "scs00002.BMP", "TITLE.TXT", "bsou101.WAV",
               "bsou1.WAV", "bsou2.WAV", "bsou3.WAV"]


def pack(source, target, packed_by_inode):
    """Writes target as source gzipped; returns (size, packed size)."""
    status = os.stat(source)
    key = (status.st_dev, status.st_ino)
    if key in packed_by_inode:
        earlier, sizes = packed_by_inode[key]
        os.link(earlier, target)
        return sizes
    with open(source, "rb") as file:
        data = file.read()
    packed = gzip.compress(data, compresslevel=9, mtime=0)
    with open(target, "wb") as file:
        file.write(packed)
    sizes = (len(data), len(packed))
    packed_by_inode[key] = (target, sizes)
    return sizes


def main(show, atlas, program, template, out, show_name):
    files_dir = os.path.join(out, "files")
    os.makedirs(files_dir, exist_ok=True)
    for old in os.listdir(files_dir):
        os.remove(os.path.join(files_dir, old))
    sources = {name: os.path.join(show, name) for name in sorted(os.listdir(show))
               if SHOW_FILE_PATTERN.match(name) and os.path.isfile(os.path.join(show, name))}
    sources[ATLAS] = atlas
    packed_by_inode = {}
    files = {name: pack(path, os.path.join(files_dir, name + ".gz"), packed_by_inode)
             for name, path in sources.items()}
    first = [name for name in TITLE_FILES if name in files]
    manifest = {"program": os.path.getsize(program), "first": first,
                "files": {name: list(sizes) for name, sizes in files.items()}}
    with open(os.path.join(out, "show.json"), "w") as file:
        json.dump(manifest, file, separators=(",", ":"))
    preload = "\n".join('<link rel="preload" href="files/%s.gz" as="fetch" crossorigin>'
                        % html.escape(name) for name in first)
    with open(template) as file:
        page = file.read()
    page = (page.replace("@QZ_PRELOAD@", preload)
            .replace("@QZ_TITLE@", "QZVIEW - " + show_name)
            .replace("@QZ_SHOW@", show_name))
    with open(os.path.join(out, "index.html"), "w") as file:
        file.write(page)


if __name__ == "__main__":
    if len(sys.argv) != 7:
        sys.exit(__doc__)
    main(*sys.argv[1:])
