#!/usr/bin/env python3
"""Tests of tools/check-pe.py on the real 32-bit program and on copies with one fault each.

  check_pe_test.py PROGRAM32 REFERENCE64
"""
import importlib.util
import os
import struct
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
module_spec = importlib.util.spec_from_file_location("check_pe", os.path.join(HERE, "..", "..", "tools", "check-pe.py"))
check_pe = importlib.util.module_from_spec(module_spec)
module_spec.loader.exec_module(check_pe)

PROGRAM, REFERENCE = sys.argv[1:3]


def read(path):
    with open(path, "rb") as f:
        return f.read()


def first_entry(data, wanted):
    for key, entry, start, size in check_pe.PeFile(data).resource_entries():
        if wanted(key):
            return key, entry, start, size
    raise AssertionError("no resource matches")


class CheckPeTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.program = read(PROGRAM)
        cls.reference = read(REFERENCE)

    def test_built_programs_pass(self):
        self.assertEqual(check_pe.check(self.program, "i386", self.reference), [])
        self.assertEqual(check_pe.check(self.reference, "x64", self.program), [])

    def test_wrong_machine_and_console_program_are_named(self):
        faults = check_pe.check(self.reference, "i386")
        self.assertTrue(any(f.startswith("not a i386 program") for f in faults), faults)
        console = bytearray(self.program)
        optional = struct.unpack_from("<I", console, 0x3C)[0] + 24
        struct.pack_into("<H", console, optional + 68, 3)
        self.assertIn("not a GUI program: subsystem 3", check_pe.check(bytes(console), "i386"))

    def test_resources_must_match_the_reference(self):
        changed = bytearray(self.program)
        key, _, start, _ = first_entry(self.program, lambda k: k[0] == 6)
        changed[start] ^= 0xFF
        self.assertEqual(check_pe.check(bytes(changed), "i386", self.reference),
                         ["%s differs from the reference" % check_pe.describe(key)])

    def test_every_localized_resource_needs_english_and_japanese(self):
        changed = bytearray(self.program)
        (rtype, name, _), entry, _, _ = first_entry(self.program, lambda k: k[2] == check_pe.JAPANESE)
        struct.pack_into("<I", changed, entry, 0x407)
        faults = check_pe.check(bytes(changed), "i386")
        self.assertIn("lacks %s" % check_pe.describe((rtype, name, check_pe.JAPANESE)), faults)

    def test_runtime_and_unknown_dlls_are_named(self):
        system = os.path.join(HERE, "no-such-folder")
        imports = check_pe.PeFile(self.program).imports()
        self.assertIn("kernel32.dll", [n.lower() for n in imports])
        self.assertFalse(any(check_pe.runtime_dll(n) for n in imports), imports)
        self.assertTrue(check_pe.runtime_dll("libstdc++-6.dll"))
        self.assertEqual(check_pe.check(self.program, "i386", system_dirs=[system]), [])
        only_kernel = os.path.join(os.environ.get("TMPDIR", "/tmp"), "check-pe-kernel32-only")
        os.makedirs(only_kernel, exist_ok=True)
        open(os.path.join(only_kernel, "kernel32.dll"), "wb").close()
        faults = check_pe.check(self.program, "i386", system_dirs=[only_kernel])
        self.assertTrue(faults and all("which the system does not ship" in f for f in faults), faults)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
