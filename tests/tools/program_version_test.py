#!/usr/bin/env python3
"""Every place a built program states its version says the project's version.

  program_version_test.py PROGRAM PROJECT-VERSION

Read from the file, without running it: the fixed file and product numbers of the version
resource, FileVersion and ProductVersion in each of its string tables, and the version of the
program's own assembly identity in its manifest.
"""
import importlib.util
import os
import struct
import sys
import unittest
import xml.etree.ElementTree as ElementTree

HERE = os.path.dirname(os.path.abspath(__file__))
module_spec = importlib.util.spec_from_file_location("check_pe", os.path.join(HERE, "..", "..", "tools", "check-pe.py"))
check_pe = importlib.util.module_from_spec(module_spec)
module_spec.loader.exec_module(check_pe)

PROGRAM, PROJECT_VERSION = sys.argv[1:3]
RT_MANIFEST = 24
ASSEMBLY = "{urn:schemas-microsoft-com:asm.v1}"


def version_blocks(data, start=0, end=None):
    """Yields (key, value bytes, children start, block end) for each block of a VS_VERSIONINFO
    tree between start and end, the blocks being 32-bit aligned one after the other."""
    end = len(data) if end is None else end
    at = start
    while at + 6 <= end:
        length, value_length, value_type = struct.unpack_from("<HHH", data, at)
        if length == 0:
            return
        key_end = at + 6
        while data[key_end:key_end + 2] != b"\0\0":
            key_end += 2
        key = data[at + 6:key_end].decode("utf-16-le")
        value_start = (key_end + 2 + 3) & ~3
        # A text value's length counts characters, a binary one's bytes.
        value_bytes = value_length * 2 if value_type == 1 else value_length
        value = data[value_start:value_start + value_bytes]
        children = (value_start + value_bytes + 3) & ~3
        yield key, value, children, at + length
        at = (at + length + 3) & ~3


def text(value):
    return value.decode("utf-16-le").rstrip("\0")


def version_places(program):
    """{place: version text} for every place the program states its version."""
    resources = check_pe.PeFile(program).resources()
    places = {}
    for (rtype, _, _), data in resources.items():
        if rtype == check_pe.RT_VERSION:
            for key, value, children, end in version_blocks(data):
                fixed = struct.unpack_from("<13I", value)
                if key != "VS_VERSION_INFO" or fixed[0] != 0xFEEF04BD:
                    raise AssertionError("not a version resource: %r" % key)
                numbers = lambda high, low: "%d.%d.%d.%d" % (high >> 16, high & 0xFFFF, low >> 16, low & 0xFFFF)
                places["fixed file version"] = numbers(fixed[2], fixed[3])
                places["fixed product version"] = numbers(fixed[4], fixed[5])
                for info, _, info_children, info_end in version_blocks(data, children, end):
                    if info != "StringFileInfo":
                        continue
                    for table, _, table_children, table_end in version_blocks(data, info_children, info_end):
                        for name, string, _, _ in version_blocks(data, table_children, table_end):
                            if name in ("FileVersion", "ProductVersion"):
                                places["%s %s" % (table, name)] = text(string)
        elif rtype == RT_MANIFEST:
            identity = ElementTree.fromstring(data).find(ASSEMBLY + "assemblyIdentity")
            places["manifest of %s" % identity.get("name")] = identity.get("version")
    return places


class ProgramVersionTest(unittest.TestCase):
    maxDiff = None

    def test_every_place_states_the_project_version(self):
        with open(PROGRAM, "rb") as f:
            program = f.read()
        parts = (PROJECT_VERSION.split(".") + ["0"] * 4)[:4]
        four = ".".join(str(int(part)) for part in parts)
        expected = {
            "fixed file version": four,
            "fixed product version": four,
            "manifest of Nebbi.TimestampEditor": four,
        }
        for table in ("040904b0", "041104b0"):
            expected[table + " FileVersion"] = four
            expected[table + " ProductVersion"] = PROJECT_VERSION
        self.assertEqual(version_places(program), expected)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
