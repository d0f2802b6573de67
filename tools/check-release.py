#!/usr/bin/env python3
"""Checks a stripped release program against the build the tests ran, without running it.

  check-release.py PROGRAM DEBUG-FILE TESTED-PROGRAM [--max-size BYTES]

PROGRAM must hold the tested program's version block and every other resource byte for byte,
carry no debugging sections and no symbol table, be at most BYTES long, and name DEBUG-FILE in
its debug link with that file's CRC-32, as a debugger checks it; DEBUG-FILE must hold the
debugging information. Prints one line per fault and exits 1 if there is any.
"""
import argparse
import importlib.util
import os
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
module_spec = importlib.util.spec_from_file_location("check_pe", os.path.join(HERE, "check-pe.py"))
check_pe = importlib.util.module_from_spec(module_spec)
module_spec.loader.exec_module(check_pe)


def sections(data):
    """{name: bytes} of a PE file's sections; long names are read from its string table."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    count, _, symbols, symbol_count, optional_size = struct.unpack_from("<HIIIH", data, pe + 6)
    strings = symbols + 18 * symbol_count
    table = pe + 24 + optional_size
    found = {}
    for i in range(count):
        raw_name, vsize, _, rsize, raw = struct.unpack_from("<8sIIII", data, table + 40 * i)
        name = raw_name.rstrip(b"\0").decode("ascii", "replace")
        if name.startswith("/") and symbols:
            start = strings + int(name[1:])
            name = data[start:data.index(b"\0", start)].decode("ascii", "replace")
        found[name] = data[raw:raw + min(vsize, rsize) if vsize else rsize]
    return found


def symbol_count(data):
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    return struct.unpack_from("<I", data, pe + 16)[0]


def check(program, debug_file, tested, max_size=None):
    faults = []
    data = open(program, "rb").read()
    resources = check_pe.PeFile(data).resources()
    expected = check_pe.PeFile(open(tested, "rb").read()).resources()
    version = lambda found: {k: v for k, v in found.items() if k[0] == check_pe.RT_VERSION}
    if version(resources) != version(expected):
        faults.append("its version block differs from the tested program's")
    for key in sorted(set(expected) | set(resources), key=str):
        if key[0] != check_pe.RT_VERSION and resources.get(key) != expected.get(key):
            faults.append("its %s differs from the tested program's" % check_pe.describe(key))
    names = sections(data)
    debugging = sorted(name for name in names if name.startswith(".debug"))
    if debugging:
        faults.append("it still carries debugging sections: %s" % " ".join(debugging))
    if symbol_count(data):
        faults.append("it still carries a symbol table of %d entries" % symbol_count(data))
    if max_size is not None and len(data) > max_size:
        faults.append("it is %d bytes long, more than %d" % (len(data), max_size))

    link = names.get(".gnu_debuglink")
    debug = open(debug_file, "rb").read()
    if link is None:
        faults.append("it has no debug link")
    else:
        # The file name, zero-padded to a multiple of four, then the CRC-32 of the debug file.
        end = link.index(b"\0")
        name = link[:end].decode("utf-8", "replace")
        crc_at = (end + 4) & ~3
        crc = struct.unpack_from("<I", link, crc_at)[0]
        if name != os.path.basename(debug_file):
            faults.append("its debug link names %s, not %s" % (name, os.path.basename(debug_file)))
        if crc != zlib.crc32(debug) & 0xFFFFFFFF:
            faults.append("its debug link's CRC-32 0x%08x is not that of %s (0x%08x)" %
                          (crc, debug_file, zlib.crc32(debug) & 0xFFFFFFFF))
    if ".debug_info" not in sections(debug):
        faults.append("%s holds no debugging information" % debug_file)
    return faults


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("program")
    parser.add_argument("debug_file")
    parser.add_argument("tested")
    parser.add_argument("--max-size", type=int)
    args = parser.parse_args()
    try:
        faults = check(args.program, args.debug_file, args.tested, args.max_size)
    except (OSError, check_pe.PeFormatError, ValueError, struct.error) as error:
        faults = ["cannot be read: %s" % error]
    for fault in faults:
        print("%s: %s" % (args.program, fault))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
