#!/usr/bin/env python3
"""Checks a built Windows program without running it.

  check-pe.py PROGRAM --machine i386|x64 [--reference OTHER] [--system-dlls DIR]...

PROGRAM must be a GUI program for the machine, import only DLLs the system ships (every name
found in one of the --system-dlls folders, none of the compiler's run-time DLLs), hold the same
resources as OTHER, byte for byte, and hold each of its language-specific resources in both
English (0x409) and Japanese (0x411). Used where the 32-bit program cannot be run.
Prints one line per fault and exits 1 if there is any.
"""
import argparse
import os
import struct
import sys

MACHINES = {"i386": (0x14C, 0x10B), "x64": (0x8664, 0x20B)}
GUI_SUBSYSTEM = 2
ENGLISH, JAPANESE = 0x409, 0x411
LANGUAGE_NEUTRAL = 0
RT_VERSION = 16
RT_NAMES = {1: "cursor", 2: "bitmap", 3: "icon", 4: "menu", 5: "dialog", 6: "string table", 9: "accelerators",
            12: "cursor group", 14: "icon group", 16: "version", 24: "manifest"}


class PeFormatError(Exception):
    pass


class PeFile:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise PeFormatError("no MZ header")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise PeFormatError("no PE signature")
        self.machine, sections, _, _, _, optional_size, _ = struct.unpack_from("<HHIIIHH", data, pe + 4)
        optional = pe + 24
        self.magic = struct.unpack_from("<H", data, optional)[0]
        if self.magic == 0x10B:
            directories = optional + 96
        elif self.magic == 0x20B:
            directories = optional + 112
        else:
            raise PeFormatError("unknown optional header 0x%x" % self.magic)
        self.subsystem = struct.unpack_from("<H", data, optional + 68)[0]
        count = struct.unpack_from("<I", data, directories - 4)[0]
        self.directories = [struct.unpack_from("<II", data, directories + 8 * i) for i in range(count)]
        table = optional + optional_size
        self.sections = []
        for i in range(sections):
            _, vsize, vaddr, rsize, raw = struct.unpack_from("<8sIIII", data, table + 40 * i)
            self.sections.append((vaddr, max(vsize, rsize), raw))

    def offset(self, rva):
        for vaddr, size, raw in self.sections:
            if vaddr <= rva < vaddr + size:
                return raw + rva - vaddr
        raise PeFormatError("address 0x%x is in no section" % rva)

    def string(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii", "replace")

    def imports(self):
        if len(self.directories) < 2 or not self.directories[1][0]:
            return []
        names = []
        at = self.offset(self.directories[1][0])
        while True:
            entry = struct.unpack_from("<IIIII", self.data, at)
            if not any(entry):
                return names
            names.append(self.string(entry[3]))
            at += 20

    def resource_entries(self):
        """Yields ((type, name, language), language entry offset, data offset, size) per resource."""
        if len(self.directories) < 3 or not self.directories[2][0]:
            return
        base = self.offset(self.directories[2][0])

        def entries(at):
            named, numbered = struct.unpack_from("<HH", self.data, base + at + 12)
            for i in range(named + numbered):
                entry = base + at + 16 + 8 * i
                key, target = struct.unpack_from("<II", self.data, entry)
                if key & 0x80000000:
                    length = struct.unpack_from("<H", self.data, base + (key & 0x7FFFFFFF))[0]
                    start = base + (key & 0x7FFFFFFF) + 2
                    key = self.data[start:start + 2 * length].decode("utf-16-le")
                yield key, target, entry

        for rtype, types, _ in entries(0):
            for name, names, _ in entries(types & 0x7FFFFFFF):
                for language, leaf, entry in entries(names & 0x7FFFFFFF):
                    rva, size, _, _ = struct.unpack_from("<IIII", self.data, base + leaf)
                    yield (rtype, name, language), entry, self.offset(rva), size

    def resources(self):
        """{(type, name, language): bytes}; names are ints or strings."""
        return {key: self.data[start:start + size] for key, _, start, size in self.resource_entries()}


def describe(key):
    rtype, name, language = key
    return "%s %s (language 0x%x)" % (RT_NAMES.get(rtype, "type %s" % rtype), name, language)


def runtime_dll(name):
    # libstdc++-6.dll, libgcc_s_dw2-1.dll, libwinpthread-1.dll...: no system DLL starts so.
    return name.lower().startswith("lib")


def check(program, machine, reference=None, system_dirs=()):
    faults = []
    pe = PeFile(program)
    want_machine, want_magic = MACHINES[machine]
    if pe.machine != want_machine or pe.magic != want_magic:
        faults.append("not a %s program: machine 0x%x, optional header 0x%x" % (machine, pe.machine, pe.magic))
    if pe.subsystem != GUI_SUBSYSTEM:
        faults.append("not a GUI program: subsystem %d" % pe.subsystem)

    shipped = set()
    for folder in system_dirs:
        if os.path.isdir(folder):
            shipped.update(n.lower() for n in os.listdir(folder))
    for dll in pe.imports():
        if runtime_dll(dll):
            faults.append("imports the compiler's run-time DLL %s" % dll)
        elif shipped and dll.lower() not in shipped:
            faults.append("imports %s, which the system does not ship" % dll)

    resources = pe.resources()
    if not resources:
        faults.append("holds no resources")
    if reference is not None:
        expected = PeFile(reference).resources()
        for key in sorted(set(expected) - set(resources), key=str):
            faults.append("lacks %s" % describe(key))
        for key in sorted(set(resources) - set(expected), key=str):
            faults.append("has %s, which the reference lacks" % describe(key))
        for key in sorted(set(resources) & set(expected), key=str):
            # The version resource names the program file, which differs between the two.
            if key[0] != RT_VERSION and resources[key] != expected[key]:
                faults.append("%s differs from the reference" % describe(key))
    localized = {(t, n) for (t, n, lang) in resources if lang != LANGUAGE_NEUTRAL}
    for rtype, name in sorted(localized, key=str):
        for language in (ENGLISH, JAPANESE):
            if (rtype, name, language) not in resources:
                faults.append("lacks %s" % describe((rtype, name, language)))
    return faults


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("program")
    parser.add_argument("--machine", choices=sorted(MACHINES), required=True)
    parser.add_argument("--reference")
    parser.add_argument("--system-dlls", action="append", default=[])
    args = parser.parse_args(argv)
    try:
        with open(args.program, "rb") as f:
            program = f.read()
        reference = None
        if args.reference:
            with open(args.reference, "rb") as f:
                reference = f.read()
        faults = check(program, args.machine, reference, args.system_dlls)
    except (OSError, PeFormatError, struct.error, ValueError) as error:
        faults = ["cannot be read: %s" % error]
    for fault in faults:
        print("%s: %s" % (args.program, fault))
    if not faults:
        print("%s: %s GUI program, system DLLs only, resources complete in English and Japanese"
              % (args.program, args.machine))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
