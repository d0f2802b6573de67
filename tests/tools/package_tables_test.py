#!/usr/bin/env python3
"""The installer package of one architecture, as tools/make-msi.sh builds it, read with msiinfo:
the product and its version, the fixed upgrade code, the per-user scope, the upgrade rules and
their messages, the install folder, the files, and the registry entries.

  package_tables_test.py ARCH PROGRAM PROJECT-VERSION
"""
import os
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
MAKE_MSI = os.path.join(HERE, "..", "..", "tools", "make-msi.sh")
ARCH, PROGRAM, VERSION = sys.argv[1:4]
BITS = "64" if ARCH == "x64" else "32"
# Fixed for good: a package with another upgrade code would install beside the earlier versions
# instead of replacing them.
UPGRADE_CODES = {"x64": "{EC490F4B-9A6C-453A-9799-6099980D83C2}", "x86": "{D79613F8-5A0A-45B0-8C68-D8CE4167DB7E}"}
NEWER_MESSAGE = "A newer version of Nebbi's Timestamp Editor is already installed."


def bumped(version):
    major, minor, patch = version.split(".")
    return "%s.%s.%d" % (major, minor, int(patch) + 1)


def build(work, arch, version, program=PROGRAM):
    out = os.path.join(work, "chronset-%s-%s.msi" % (version, arch))
    run = subprocess.run(["bash", MAKE_MSI, arch, version, program, out], capture_output=True, text=True)
    return run, out


def table(package, name):
    """The rows of a table as tuples of text, without the three header lines."""
    # A table with binary data is written out beside it, into a folder of the working folder.
    text = subprocess.run(["msiinfo", "export", os.path.abspath(package), name], capture_output=True, text=True,
                          check=True, cwd=os.path.dirname(os.path.abspath(package))).stdout
    return [tuple(line.split("\t")) for line in text.replace("\r\n", "\n").splitlines()[3:]]


def summary(package):
    text = subprocess.run(["msiinfo", "suminfo", package], capture_output=True, text=True, check=True).stdout
    return dict(line.split(": ", 1) for line in text.splitlines() if ": " in line)


class PackageTablesTest(unittest.TestCase):
    maxDiff = None

    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.mkdtemp()
        run, cls.package = build(cls.work, ARCH, VERSION)
        if run.returncode != 0:
            raise AssertionError("make-msi.sh failed: %s" % run.stderr)
        cls.properties = dict(table(cls.package, "Property"))

    @classmethod
    def tearDownClass(cls):
        subprocess.run(["rm", "-rf", cls.work], check=True)

    def test_the_product_its_version_and_its_entry_in_installed_apps(self):
        p = self.properties
        self.assertEqual(p["ProductName"], "Nebbi's Timestamp Editor")
        self.assertEqual(p["ProductVersion"], VERSION)
        self.assertEqual(p["UpgradeCode"], UPGRADE_CODES[ARCH])
        self.assertEqual(p["Manufacturer"], "Nebbi's Timestamp Editor contributors")
        # The help link is the installed README, set once the folder is known and before the
        # entry is written.
        actions = {row[0]: row[1:] for row in table(self.package, "CustomAction")}
        self.assertEqual(actions["SetHelpLink"][1:3], ("ARPHELPLINK", "[INSTALLDIR]README.txt"))
        self.assertEqual(int(actions["SetHelpLink"][0]) & 0x3F, 51)
        sequence = {row[0]: int(row[2]) for row in table(self.package, "InstallExecuteSequence")}
        self.assertLess(sequence["CostFinalize"], sequence["SetHelpLink"])
        self.assertLess(sequence["SetHelpLink"], sequence["RegisterProduct"])
        icons = [row[0] for row in table(self.package, "Icon")]
        self.assertEqual(icons, [p["ARPPRODUCTICON"]])
        self.assertEqual(summary(self.package)["Template"], ("x64" if ARCH == "x64" else "Intel") + ";1033")

    def test_it_installs_for_the_current_user_without_elevation(self):
        for machine_wide in ("ALLUSERS", "MSIINSTALLPERUSER"):
            self.assertNotIn(machine_wide, self.properties)
        # Word count bits: 2 compressed, 8 no elevation needed.
        self.assertEqual(int(summary(self.package)["Source"].split()[0]) & 0x8, 0x8)
        directories = {row[0]: (row[1], row[2]) for row in table(self.package, "Directory")}
        self.assertEqual(directories["INSTALLDIR"], ("ProgramsFolder", "Nebbi's Timestamp Editor"))
        self.assertEqual(directories["ProgramsFolder"], ("LocalAppDataFolder", "Programs"))
        files = sorted((row[2], row[1]) for row in table(self.package, "File"))
        self.assertEqual(files, [("LICENSE.txt", "Program"), ("README.txt", "Program"), ("chronset%s.exe" % BITS, "Program")])
        components = {row[0]: row[2] for row in table(self.package, "Component")}
        self.assertEqual(components["Program"], "INSTALLDIR")
        self.assertIn(("RemoveInstallDir", "Program", "", "INSTALLDIR", "2"), table(self.package, "RemoveFile"))
        registry = table(self.package, "Registry")
        self.assertEqual({row[1] for row in registry}, {"1"}, "every entry is under HKEY_CURRENT_USER")

    def test_a_newer_version_replaces_it_and_it_refuses_to_replace_a_newer_one(self):
        upgrade = table(self.package, "Upgrade")
        self.assertIn((UPGRADE_CODES[ARCH], "", VERSION, "", "1", "", "WIX_UPGRADE_DETECTED"), upgrade)
        self.assertIn((UPGRADE_CODES[ARCH], VERSION, "", "", "2", "", "WIX_DOWNGRADE_DETECTED"), upgrade)
        conditions = dict(table(self.package, "LaunchCondition"))
        self.assertEqual(conditions.get("NOT WIX_DOWNGRADE_DETECTED"), NEWER_MESSAGE)
        actions = [row[0] for row in table(self.package, "InstallExecuteSequence")]
        self.assertIn("RemoveExistingProducts", actions)

        run, newer = build(self.work, ARCH, bumped(VERSION))
        self.assertEqual(run.returncode, 0, run.stderr)
        newer_properties = dict(table(newer, "Property"))
        self.assertEqual(newer_properties["UpgradeCode"], UPGRADE_CODES[ARCH])
        self.assertEqual(newer_properties["ProductVersion"], bumped(VERSION))
        self.assertNotEqual(newer_properties["ProductCode"], self.properties["ProductCode"])
        run, again = build(self.work + "/again", ARCH, VERSION)
        self.assertEqual(run.returncode, 0, run.stderr)
        self.assertEqual(dict(table(again, "Property"))["ProductCode"], self.properties["ProductCode"])

    def test_only_the_64_bit_package_asks_for_64_bit_windows(self):
        conditions = dict(table(self.package, "LaunchCondition"))
        if ARCH == "x64":
            self.assertIn("VersionNT64", conditions)
            self.assertIn("64-bit Windows", conditions["VersionNT64"])
        else:
            self.assertEqual(list(conditions), ["NOT WIX_DOWNGRADE_DETECTED"])

    def test_both_architectures_write_the_same_keys_for_their_own_program(self):
        other = "x86" if ARCH == "x64" else "x64"
        run, package = build(self.work, other, VERSION)
        self.assertEqual(run.returncode, 0, run.stderr)
        ours = sorted(row[1:5] for row in table(self.package, "Registry"))
        theirs = sorted(tuple(field.replace("chronset%s.exe" % ("32" if BITS == "64" else "64"), "chronset%s.exe" % BITS)
                              for field in row[1:5]) for row in table(package, "Registry"))
        self.assertEqual(ours, theirs)
        self.assertIn(("1", "Software\\Classes\\AllFilesystemObjects\\shell\\chronset", "Icon",
                       '"[INSTALLDIR]chronset%s.exe"' % BITS), ours)
        self.assertNotEqual(dict(table(package, "Property"))["UpgradeCode"], self.properties["UpgradeCode"])

    def test_versions_and_architectures_the_installer_cannot_hold_are_refused(self):
        for arch, version, cause in [("x64", "1.2.3.4", "is no installer version"), ("x64", "256.0.0", "is no installer version"),
                                     ("arm64", "1.0.0", "neither x64 nor x86")]:
            with self.subTest(arch=arch, version=version):
                run, out = build(self.work, arch, version)
                self.assertEqual(run.returncode, 1)
                self.assertTrue(run.stderr.startswith("error: ") and cause in run.stderr, run.stderr)
                self.assertFalse(os.path.exists(out))


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
