#!/usr/bin/env python3
"""pe_load_config.py EXE: points EXE's load-configuration directory at the
structure in its .kcfg section and refreshes the header checksum.

The mingw linker (binutils 2.40) links the structure but does not register it in
the PE header, so Windows would never read it; this step does what newer
linkers do by themselves. It fails when the section is missing or too small."""
import struct
import sys

LOAD_CONFIG_ENTRY = 10
SECTION_NAME = b".kcfg"


def checksum(image, checksum_offset):
    # The PE checksum: 16-bit words added with their carries folded back,
    # the checksum field itself counted as zero, plus the file length.
    data = image[:checksum_offset] + b"\0\0\0\0" + image[checksum_offset + 4:]
    if len(data) % 2:
        data += b"\0"
    total = 0
    for (word,) in struct.iter_unpack("<H", data):
        total += word
        total = (total & 0xFFFF) + (total >> 16)
    return (total + len(image)) & 0xFFFFFFFF


def main(path):
    image = bytearray(open(path, "rb").read())
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    if image[pe:pe + 4] != b"PE\0\0":
        sys.exit(f"{path}: not a PE image")
    sections, = struct.unpack_from("<H", image, pe + 6)
    optional_size, = struct.unpack_from("<H", image, pe + 20)
    optional = pe + 24
    magic, = struct.unpack_from("<H", image, optional)
    directories = optional + {0x10B: 96, 0x20B: 112}[magic]
    table = optional + optional_size
    for i in range(sections):
        entry = table + 40 * i
        name = bytes(image[entry:entry + 8]).rstrip(b"\0")
        virtual_size, rva, raw_size, raw_offset = struct.unpack_from("<IIII", image, entry + 8)
        if name != SECTION_NAME:
            continue
        size, = struct.unpack_from("<I", image, raw_offset)
        if size < 64 or size > min(virtual_size, raw_size):
            sys.exit(f"{path}: the {SECTION_NAME.decode()} section holds no load configuration")
        struct.pack_into("<II", image, directories + 8 * LOAD_CONFIG_ENTRY, rva, size)
        struct.pack_into("<I", image, optional + 64, checksum(image, optional + 64))
        open(path, "wb").write(image)
        return
    sys.exit(f"{path}: no {SECTION_NAME.decode()} section")


if __name__ == "__main__":
    main(sys.argv[1])
