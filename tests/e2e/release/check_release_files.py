#!/usr/bin/env python3
"""The release files as a user and Windows Installer get them: what the zip holds, what the program in it
carries (no debug sections or symbols, the project's version), the installer's tables as msiinfo shows
them, and the package manifests written for them.

Usage: check_release_files.py <zip> <msi> <version>
"""
import hashlib
import json
import os
import struct
import subprocess
import sys
import tempfile
import unittest
import zipfile

ZIP, MSI, VERSION = sys.argv[1:4]
UPGRADE_CODE = "{D2569239-EEAA-40F3-9F0C-05EEF85E613D}"
COPYRIGHT = "Copyright (c) 2026 The Tarnwick developers"


def pe_sections(image):
    """Section names of a PE image and whether it still has a COFF symbol table."""
    header = struct.unpack_from("<I", image, 0x3C)[0]
    assert image[header:header + 4] == b"PE\0\0", "not a PE image"
    sections, symbols_at, symbol_count, optional_size = struct.unpack_from("<2xH4xIIH", image, header + 4)
    strings_at = symbols_at + 18 * symbol_count
    names = []
    table = header + 24 + optional_size
    for i in range(sections):
        raw = image[table + 40 * i:table + 40 * i + 8].rstrip(b"\0").decode()
        if raw.startswith("/") and symbols_at:
            offset = strings_at + int(raw[1:])
            raw = image[offset:image.index(b"\0", offset)].decode()
        names.append(raw)
    return names, symbols_at != 0 or symbol_count != 0


def version_string(image, key):
    """A value of the version resource's string table (UTF-16, after its key and the padding)."""
    start = image.find((key + "\0").encode("utf-16-le"))
    assert start >= 0, key + " missing"
    at = start + 2 * (len(key) + 1)
    at += -at % 4
    end = at
    while image[end:end + 2] != b"\0\0":
        end += 2
    return image[at:end].decode("utf-16-le")


def msi_table(name):
    """Rows of an installer table, each a tuple of its columns (the export's three header lines skipped)."""
    # msiinfo writes a table's binary columns (the Icon table's icons) as files into its working folder.
    with tempfile.TemporaryDirectory() as folder:
        text = subprocess.run(["msiinfo", "export", os.path.abspath(MSI), name], check=True, capture_output=True,
                              text=True, cwd=folder).stdout
    return [tuple(line.rstrip("\r").split("\t")) for line in text.splitlines()[3:] if line]


class ZipTest(unittest.TestCase):
    def setUp(self):
        self.zip = zipfile.ZipFile(ZIP)

    def test_holds_the_program_its_map_and_the_two_texts(self):
        self.assertEqual(sorted(self.zip.namelist()), ["LICENSE.txt", "README.txt", "tarnwick.exe", "tarnwick.map"])

    def test_program_is_stripped(self):
        names, symbols = pe_sections(self.zip.read("tarnwick.exe"))
        self.assertIn(".text", names)
        self.assertIn(".rsrc", names)
        self.assertEqual([n for n in names if n.startswith(".debug") or n.startswith("/")], [])
        self.assertFalse(symbols, "the COFF symbol table is still there")

    def test_program_carries_the_one_version(self):
        image = self.zip.read("tarnwick.exe")
        fixed = image.find(struct.pack("<I", 0xFEEF04BD))
        self.assertGreaterEqual(fixed, 0, "no fixed version information")
        file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<4I", image, fixed + 8)
        major, minor, patch = (int(n) for n in VERSION.split("."))
        self.assertEqual((file_ms, file_ls), (major << 16 | minor, patch << 16))
        self.assertEqual((product_ms, product_ls), (major << 16 | minor, patch << 16))
        for key, expected in [("FileVersion", VERSION), ("ProductVersion", VERSION), ("LegalCopyright", COPYRIGHT)]:
            self.assertEqual(version_string(image, key), expected, key)
        manifest = 'name="Tarnwick.Tarnwick" version="%s.0"' % VERSION
        self.assertIn(manifest.encode(), image)

    def test_texts_are_for_windows_users(self):
        readme = self.zip.read("README.txt").decode()
        licence = self.zip.read("LICENSE.txt").decode()
        self.assertIn("MIT License\r\n\r\n" + COPYRIGHT + "\r\n", licence)
        self.assertTrue(readme.startswith("Tarnwick " + VERSION + "\r\n"))
        self.assertNotIn("\n", readme.replace("\r\n", ""), "line ends other than CRLF")
        self.assertIn("tarnwick.exe -subscribeonstartup", readme)
        self.assertIn("tarnwick.exe -unsubscribeonstartup", readme)


class MsiTest(unittest.TestCase):
    def test_product_properties(self):
        properties = dict(msi_table("Property"))
        expected = {
            "ProductName": "Tarnwick",
            "ProductVersion": VERSION,
            "Manufacturer": "The Tarnwick developers",
            "UpgradeCode": UPGRADE_CODE,
            "ALLUSERS": "1",
            "ARPPRODUCTICON": "TarnwickIcon.ico",
        }
        self.assertEqual({k: properties.get(k) for k in expected}, expected)
        self.assertEqual([row[0] for row in msi_table("Icon")], ["TarnwickIcon.ico"])

    def test_64_bit_package_for_the_machine(self):
        info = subprocess.run(["msiinfo", "suminfo", MSI], check=True, capture_output=True, text=True).stdout
        self.assertIn("Template: x64;1033", info)
        directories = {row[0]: row[1:] for row in msi_table("Directory")}
        self.assertEqual(directories["INSTALLDIR"], ("ProgramFiles64Folder", "Tarnwick"))
        for component, directory, attributes in [(r[0], r[2], int(r[3])) for r in msi_table("Component")]:
            self.assertTrue(attributes & 256, component + " is not a 64-bit component")
            self.assertIn(directory, ("INSTALLDIR", "ProgramMenuFolder"))

    def test_files_and_shortcut(self):
        files = sorted((row[1], row[2]) for row in msi_table("File"))
        self.assertEqual(files, [("Program", "LICENSE.txt"), ("Program", "tarnwick.exe"), ("Program", "tarnwick.map")])
        shortcut = msi_table("Shortcut")
        self.assertEqual(len(shortcut), 1)
        self.assertEqual(shortcut[0][1:3], ("ProgramMenuFolder", "Tarnwick"))
        self.assertEqual(shortcut[0][4], "[INSTALLDIR]tarnwick.exe")

    def test_major_upgrade(self):
        # Older versions are found and removed; a newer one installed stops this one installing.
        rows = sorted(msi_table("Upgrade"), key=lambda r: r[6])
        self.assertEqual([(r[0], r[1], r[2], int(r[4]), r[6]) for r in rows], [
            (UPGRADE_CODE, VERSION, "", 2, "WIX_DOWNGRADE_DETECTED"),
            (UPGRADE_CODE, "", VERSION, 1, "WIX_UPGRADE_DETECTED"),
        ])
        self.assertEqual([r[0] for r in msi_table("LaunchCondition")], ["NOT WIX_DOWNGRADE_DETECTED"])
        # The installed version is removed before the new one is installed.
        sequence = {row[0]: int(row[2]) for row in msi_table("InstallExecuteSequence")}
        self.assertTrue(sequence["InstallValidate"] < sequence["RemoveExistingProducts"] < sequence["InstallInitialize"])

    def test_uninstall_ends_the_program_and_removes_autostart_and_log(self):
        actions = {row[0]: row[1:] for row in msi_table("CustomAction")}
        sequence = {row[0]: (row[1], int(row[2])) for row in msi_table("InstallExecuteSequence")}
        ends = 'REMOVE~="ALL" OR WIX_UPGRADE_DETECTED'
        uninstall_only = 'REMOVE~="ALL" AND NOT UPGRADINGPRODUCTCODE'
        # name: (type, source, target, condition); type 51 sets a property, 50 + 64 runs the program a
        # property names and ignores its exit code; both immediate (the impersonation bit, 0x800, means
        # nothing to an immediate action and is left aside).
        expected = {
            "FindTaskKill": (51, "TaskKill", "[System64Folder]taskkill.exe", ends),
            "EndRunningTarnwick": (114, "TaskKill", "/F /IM tarnwick.exe", ends),
            "FindReg": (51, "RegTool", "[System64Folder]reg.exe", uninstall_only),
            "RemoveAutostart": (114, "RegTool",
                                r"delete HKCU\Software\Microsoft\Windows\CurrentVersion\Run /v Tarnwick /f",
                                uninstall_only),
            "FindCmd": (51, "CmdTool", "[System64Folder]cmd.exe", uninstall_only),
            "RemoveLog": (114, "CmdTool", '/c rd /s /q "[AppDataFolder]tarnwick"', uninstall_only),
        }
        for name, (kind, source, target, condition) in expected.items():
            self.assertEqual((int(actions[name][0]) & ~0x800,) + actions[name][1:3], (kind, source, target), name)
            self.assertEqual(sequence[name][0], condition, name)
            # Folders resolved, and tarnwick.exe no longer in use when the installer checks it.
            self.assertTrue(sequence["CostFinalize"][1] < sequence[name][1] < sequence["InstallValidate"][1], name)
        self.assertLess(sequence["FindTaskKill"][1], sequence["EndRunningTarnwick"][1])
        self.assertLess(sequence["FindReg"][1], sequence["RemoveAutostart"][1])
        self.assertLess(sequence["FindCmd"][1], sequence["RemoveLog"][1])
        # The log is closed once the program has ended.
        self.assertLess(sequence["EndRunningTarnwick"][1], sequence["RemoveLog"][1])

    def test_installs_the_program_of_the_zip(self):
        with tempfile.TemporaryDirectory() as folder:
            subprocess.run(["msiextract", "-C", folder, MSI], check=True, capture_output=True)
            found = {name: os.path.join(root, name) for root, _, names in os.walk(folder) for name in names}
            zipped = zipfile.ZipFile(ZIP)
            for name in ("tarnwick.exe", "tarnwick.map", "LICENSE.txt"):
                with open(found[name], "rb") as installed:
                    self.assertEqual(installed.read(), zipped.read(name), name)


class ManifestTest(unittest.TestCase):
    URL = "https://downloads.example.invalid/tarnwick/" + VERSION

    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        tool = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "tools",
                            "package-manifests.py")
        subprocess.run([sys.executable, tool, VERSION, ZIP, MSI, self.URL, self.folder.name], check=True)

    def tearDown(self):
        self.folder.cleanup()

    def read(self, *path):
        with open(os.path.join(self.folder.name, *path)) as f:
            return f.read()

    def sha256(self, path):
        with open(path, "rb") as f:
            return hashlib.sha256(f.read()).hexdigest()

    def test_winget_manifests_name_the_msi_and_its_sum(self):
        folder = ("winget", "manifests", "t", "Tarnwick", "Tarnwick", VERSION)
        kinds = {"Tarnwick.Tarnwick.yaml": "version", "Tarnwick.Tarnwick.installer.yaml": "installer",
                 "Tarnwick.Tarnwick.locale.en-US.yaml": "defaultLocale"}
        self.assertEqual(sorted(os.listdir(os.path.join(self.folder.name, *folder))), sorted(kinds))
        for name, kind in kinds.items():
            lines = self.read(*folder, name).splitlines()
            self.assertIn("PackageIdentifier: Tarnwick.Tarnwick", lines, name)
            self.assertIn("PackageVersion: " + VERSION, lines, name)
            self.assertIn("ManifestType: " + kind, lines, name)
            self.assertIn("ManifestVersion: 1.12.0", lines, name)
        installer = self.read(*folder, "Tarnwick.Tarnwick.installer.yaml").splitlines()
        product_code = dict(msi_table("Property"))["ProductCode"]
        for line in ["InstallerType: msi", "Scope: machine", "ProductCode: '%s'" % product_code,
                     "  UpgradeCode: '%s'" % UPGRADE_CODE,
                     "  InstallerUrl: %s/tarnwick-%s-win64.msi" % (self.URL, VERSION),
                     "  InstallerSha256: " + self.sha256(MSI).upper()]:
            self.assertIn(line, installer)
        self.assertIn("License: MIT", self.read(*folder, "Tarnwick.Tarnwick.locale.en-US.yaml").splitlines())

    def test_scoop_manifest_names_the_zip_and_its_sum(self):
        scoop = json.loads(self.read("scoop", "tarnwick.json"))
        self.assertEqual(scoop["version"], VERSION)
        self.assertEqual(scoop["architecture"]["64bit"], {
            "url": "%s/tarnwick-%s-win64.zip" % (self.URL, VERSION),
            "hash": self.sha256(ZIP),
        })
        self.assertEqual(scoop["bin"], "tarnwick.exe")
        self.assertEqual(scoop["license"], "MIT")


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
