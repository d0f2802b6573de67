#!/usr/bin/env python3
"""The DLLs the program binds on first use (platform/SystemLibrary.h) stay out of its import
table, so that starting the sheet does not load them; a direct call of one of their functions
would put them back.

  start_imports_test.py PROGRAM
"""
import importlib.util
import os
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
module_spec = importlib.util.spec_from_file_location("check_pe", os.path.join(HERE, "..", "..", "tools", "check-pe.py"))
check_pe = importlib.util.module_from_spec(module_spec)
module_spec.loader.exec_module(check_pe)

PROGRAM = sys.argv[1]
BOUND_ON_FIRST_USE = {"oleaut32.dll", "wininet.dll", "version.dll"}


class StartImportsTest(unittest.TestCase):
    def test_dlls_bound_on_first_use_are_not_imported(self):
        with open(PROGRAM, "rb") as f:
            imported = {name.lower() for name in check_pe.PeFile(f.read()).imports()}
        self.assertIn("kernel32.dll", imported)  # the table was read
        self.assertEqual(imported & BOUND_ON_FIRST_USE, set())


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
