#!/usr/bin/env python3
"""The installer's registry entries as tools/rgs-to-wix.py writes them from a registry script:
the keys, values and removal marks of each kind of key, the program path in place of the
replacements, the installer's special characters kept literal, and the scripts it refuses."""
import os
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree

HERE = os.path.dirname(os.path.abspath(__file__))
SCRIPT = os.path.join(HERE, "..", "..", "tools", "rgs-to-wix.py")


def convert(text, program="chronset64.exe"):
    """(exit code, [(key, name, value)] of the written entries, error output)."""
    with tempfile.TemporaryDirectory() as work:
        source = os.path.join(work, "in.rgs")
        out = os.path.join(work, "out.wxi")
        with open(source, "w", encoding="utf-8") as f:
            f.write(text)
        run = subprocess.run([sys.executable, SCRIPT, source, program, out], capture_output=True, text=True)
        if run.returncode != 0:
            return run.returncode, [], run.stderr
        entries = []
        for element in ElementTree.parse(out).getroot():
            if element.tag != "RegistryValue" or element.get("Root") != "HKCU" or element.get("Type") != "string":
                raise AssertionError("an unexpected element %s %s" % (element.tag, element.attrib))
            entries.append((element.get("Key"), element.get("Name"), element.get("Value")))
        return 0, entries, run.stderr


class RgsToWixTest(unittest.TestCase):
    maxDiff = None

    def test_each_kind_of_key_gets_its_values_and_removal_mark(self):
        code, entries, _ = convert("""HKEY_CURRENT_USER
{
\tNoRemove Software
\t{
\t\tForceRemove Forced = s 'default'
\t\t{
\t\t\tInner
\t\t\t{
\t\t\t\tval Name = s 'x'
\t\t\t}
\t\t}
\t\tPlain
\t\tNoRemove Kept
\t\t{
\t\t\tval Shared = s 'y'
\t\t}
\t}
}
""")
        self.assertEqual(code, 0)
        self.assertEqual(entries, [
            ("Software\\Forced", None, "default"),
            ("Software\\Forced\\Inner", "Name", "x"),
            ("Software\\Forced", "*", ""),
            ("Software\\Plain", "+", ""),
            ("Software\\Kept", "Shared", "y"),
        ])

    def test_the_program_path_replaces_module_and_quotes_are_read_as_the_program_reads_them(self):
        code, entries, _ = convert("HKCU { K { val A = s '%Module%' val B = s '@%Module%,-256' "
                                   "val C = s '%Module_Raw%' val D = s '100%% it''s' } }", "chronset32.exe")
        self.assertEqual(code, 0)
        self.assertEqual(entries, [
            ("K", "A", '"[INSTALLDIR]chronset32.exe"'),
            ("K", "B", '@"[INSTALLDIR]chronset32.exe",-256'),
            ("K", "C", "[INSTALLDIR]chronset32.exe"),
            ("K", "D", "100% it's"),
        ])

    def test_the_installers_own_syntax_stays_literal(self):
        code, entries, _ = convert("HKCU { K { val A = s '[Property]' val B = s '#1' val C = s '{GUID}' } }")
        self.assertEqual(code, 0)
        self.assertEqual(entries, [("K", "A", "[\\[]Property[\\]]"), ("K", "B", "##1"), ("K", "C", "{GUID}")])

    def test_the_programs_own_script_gives_the_verb_and_its_class(self):
        code, entries, _ = convert(open(os.path.join(HERE, "..", "..", "res", "chronset.rgs"), encoding="utf-8").read())
        self.assertEqual(code, 0)
        keys = {key for key, name, _ in entries if name == "*"}
        self.assertEqual(keys, {"Software\\Classes\\CLSID\\{3D452E27-4C32-4BFD-90B0-810254A3030D}",
                                "Software\\Classes\\AllFilesystemObjects\\shell\\chronset"})
        self.assertIn(("Software\\Classes\\CLSID\\{3D452E27-4C32-4BFD-90B0-810254A3030D}\\LocalServer32", None,
                       '"[INSTALLDIR]chronset64.exe"'), entries)

    def test_scripts_the_package_cannot_write_are_refused_with_one_line(self):
        for text, cause in [
            ("HKLM { K }", "the root HKLM"),
            ("HKCU { K { val A = d '1' } }", "a value of type 'd'"),
            ("HKCU { K { val A = s '%Other%' } }", "the replacement %Other%"),
            ("HKCU { K { val A = s '50% off' } }", "a % without its partner"),
            ("HKCU { K { val A = s 'open } }", "a quote unclosed"),
            ("HKCU { K { val A = s 'x'y } }", "a quote unclosed or running into the next token"),
            ("HKCU { Delete K }", "'Delete' where a key name belongs"),
            ("HKCU { K {", "the script ends early"),
        ]:
            with self.subTest(text=text):
                code, _, error = convert(text)
                self.assertEqual(code, 1)
                self.assertEqual(error.count("\n"), 1)
                self.assertTrue(error.startswith("error: ") and cause in error, error)


if __name__ == "__main__":
    unittest.main()
