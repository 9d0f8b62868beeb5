#!/usr/bin/env python3
"""Makes update archives (Data.dat) for the end-to-end scenarios.

usage: make_archive.py OUT [--stored] [--corrupt NAME] ENTRY...
  ENTRY is  "dir/"         a directory entry
            "name=text"    a file with that text
            "name@N"       a file of N pseudo-random bytes (seeded by the name)
  --corrupt NAME  makes the deflated data of NAME invalid (reserved block type),
                  so inflating it fails with a data error
usage: make_archive.py OUT --bulk FILES TOTAL_MB   an application-update archive of
                  FILES files in nested folders, about TOTAL_MB megabytes, mixing
                  compressible text-like and incompressible binary content
"""
import random
import sys
import zipfile


def content_of(entry):
    if "=" in entry:
        name, text = entry.split("=", 1)
        return name, text.encode("utf-8")
    if "@" in entry:
        name, size = entry.rsplit("@", 1)
        return name, random.Random(name).randbytes(int(size))
    return entry, None


def corrupt(path, victim):
    """Sets the first deflate byte of VICTIM to a final block of reserved type 3."""
    with zipfile.ZipFile(path) as z:
        info = z.getinfo(victim)
    with open(path, "r+b") as f:
        f.seek(info.header_offset + 26)
        lengths = f.read(4)
        name_len = int.from_bytes(lengths[:2], "little")
        extra_len = int.from_bytes(lengths[2:], "little")
        f.seek(info.header_offset + 30 + name_len + extra_len)
        f.write(b"\x07")


def bulk(out, files, total_mb):
    rng = random.Random(20240611)
    per_file = total_mb * 1024 * 1024 // files
    words = [bytes(rng.choice(b"abcdefghijklmnopqrstuvwxyz") for _ in range(rng.randint(2, 9))) for _ in range(4000)]
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED, compresslevel=6) as z:
        for folder in ("bin/", "lib/", "lib/plugins/", "reports/", "reports/templates/", "help/"):
            z.writestr(zipfile.ZipInfo(folder), b"")
        folders = ["bin", "lib", "lib/plugins", "reports", "reports/templates", "help"]
        for i in range(files):
            size = max(1, int(per_file * rng.uniform(0.2, 1.8)))
            if i % 3 == 0:  # binary, barely compressible
                data = rng.randbytes(size)
            else:  # text-like, compresses about 3:1
                chunks, n = [], 0
                while n < size:
                    w = words[rng.randrange(len(words))]
                    chunks.append(w)
                    n += len(w) + 1
                data = b" ".join(chunks)[:size]
            z.writestr(f"{folders[i % len(folders)]}/file{i:04d}.bin", data)


def main(argv):
    out, args = argv[1], argv[2:]
    if args and args[0] == "--bulk":
        bulk(out, int(args[1]), int(args[2]))
        return
    method, victim, entries = zipfile.ZIP_DEFLATED, None, []
    while args:
        a = args.pop(0)
        if a == "--stored":
            method = zipfile.ZIP_STORED
        elif a == "--corrupt":
            victim = args.pop(0)
        else:
            entries.append(a)
    with zipfile.ZipFile(out, "w", method) as z:
        for entry in entries:
            name, data = content_of(entry)
            if data is None:
                z.writestr(zipfile.ZipInfo(name), b"")
            else:
                z.writestr(name, data)
    if victim:
        corrupt(out, victim)


if __name__ == "__main__":
    main(sys.argv)
