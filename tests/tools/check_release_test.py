#!/usr/bin/env python3
"""tools/check-release.py over a built program stripped here as tools/make-dist.sh strips it:
the stripped program passes, and each fault a release could carry is named.

  check_release_test.py PROGRAM OBJCOPY
"""
import importlib.util
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
CHECKER = os.path.join(HERE, "..", "..", "tools", "check-release.py")
module_spec = importlib.util.spec_from_file_location("check_pe", os.path.join(HERE, "..", "..", "tools", "check-pe.py"))
check_pe = importlib.util.module_from_spec(module_spec)
module_spec.loader.exec_module(check_pe)
PROGRAM, OBJCOPY = os.path.abspath(sys.argv[1]), sys.argv[2]
RT_MANIFEST = 24


def faults(program, debug, tested, *options):
    run = subprocess.run([sys.executable, CHECKER, program, debug, tested, *options], capture_output=True, text=True)
    lines = [line.split(": ", 1)[1] for line in run.stdout.splitlines()]
    return run.returncode, lines


def change_resource(path, rtype):
    data = bytearray(open(path, "rb").read())
    for (found, _, _), _, start, size in check_pe.PeFile(bytes(data)).resource_entries():
        if found == rtype:
            data[start + size // 2] ^= 0x20
    open(path, "wb").write(bytes(data))


class CheckReleaseTest(unittest.TestCase):
    maxDiff = None

    def setUp(self):
        self.work = tempfile.mkdtemp()
        self.program = os.path.join(self.work, "chronset.exe")
        self.debug = os.path.join(self.work, "chronset.exe.debug")
        subprocess.run([OBJCOPY, "--only-keep-debug", PROGRAM, self.debug], check=True)
        subprocess.run([OBJCOPY, "--strip-all", "--add-gnu-debuglink=chronset.exe.debug", PROGRAM, self.program],
                       check=True, cwd=self.work)

    def tearDown(self):
        shutil.rmtree(self.work)

    def test_the_stripped_program_matches_the_tested_one_and_its_debug_file(self):
        self.assertEqual(faults(self.program, self.debug, PROGRAM, "--max-size", str(os.path.getsize(self.program))), (0, []))

    def test_an_unstripped_program_is_named_for_what_it_still_carries(self):
        code, found = faults(PROGRAM, self.debug, PROGRAM)
        self.assertEqual(code, 1)
        self.assertTrue(found[0].startswith("it still carries debugging sections: .debug_"), found)
        self.assertTrue(found[1].startswith("it still carries a symbol table of "), found)
        self.assertEqual(found[2:], ["it has no debug link"])

    def test_a_debug_file_of_another_build_is_named(self):
        with open(self.debug, "ab") as f:
            f.write(b"\0")
        code, found = faults(self.program, self.debug, PROGRAM)
        self.assertEqual(code, 1)
        self.assertEqual(len(found), 1)
        self.assertRegex(found[0], r"^its debug link's CRC-32 0x[0-9a-f]{8} is not that of .*chronset.exe.debug \(0x[0-9a-f]{8}\)$")

    def test_other_resources_or_another_version_block_are_named(self):
        tested = os.path.join(self.work, "tested.exe")
        shutil.copy(PROGRAM, tested)
        change_resource(tested, RT_MANIFEST)
        self.assertEqual(faults(self.program, self.debug, tested), (1, ["its manifest 1 (language 0x0) differs from the tested program's"]))
        shutil.copy(PROGRAM, tested)
        change_resource(tested, check_pe.RT_VERSION)
        self.assertEqual(faults(self.program, self.debug, tested), (1, ["its version block differs from the tested program's"]))

    def test_a_program_over_the_size_limit_is_named(self):
        size = os.path.getsize(self.program)
        self.assertEqual(faults(self.program, self.debug, PROGRAM, "--max-size", str(size - 1)),
                         (1, ["it is %d bytes long, more than %d" % (size, size - 1)]))


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
