#!/usr/bin/env python3
"""The release files as a user and Windows Installer get them: what the zip holds, what the program in it
carries (no debug sections or symbols, the project's version), the installer's tables as msiinfo shows
them, the package manifests written for them, and that packing the same files again gives the same bytes.

Usage: check_release_files.py <zip> <msi> <version> <packed files folder> <epoch> <wixl options>...
"""
import hashlib
import json
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import unittest
import uuid
import zipfile

ZIP, MSI, VERSION, FILES, EPOCH = sys.argv[1:6]
WIXL_OPTIONS = sys.argv[6:]
ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..")
UPGRADE_CODE = "{D2569239-EEAA-40F3-9F0C-05EEF85E613D}"
PUBLISHER = "The Tarnwick developers"
COPYRIGHT = "Copyright (c) 2026 " + PUBLISHER
# The product code is made from the version (a name-based UUID in the upgrade code's namespace), so that a
# second build of a version is the same product.
PRODUCT_CODE = "{%s}" % str(uuid.uuid5(uuid.UUID(UPGRADE_CODE), "Tarnwick " + VERSION)).upper()


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


def msi_table(name, msi=MSI):
    """Rows of an installer table, each a tuple of its columns (the export's three header lines skipped)."""
    # msiinfo writes a table's binary columns (the Icon table's icons) as files into its working folder.
    with tempfile.TemporaryDirectory() as folder:
        text = subprocess.run(["msiinfo", "export", os.path.abspath(msi), name], check=True, capture_output=True,
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
        fixed = image.find(struct.pack("<I", 0xFEEF04BD), image.find("VS_VERSION_INFO".encode("utf-16-le")))
        self.assertGreaterEqual(fixed, 0, "no fixed version information")
        file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<4I", image, fixed + 8)
        major, minor, patch = (int(n) for n in VERSION.split("."))
        self.assertEqual((file_ms, file_ls), (major << 16 | minor, patch << 16))
        self.assertEqual((product_ms, product_ls), (major << 16 | minor, patch << 16))
        for key, expected in [("FileVersion", VERSION), ("ProductVersion", VERSION), ("LegalCopyright", COPYRIGHT),
                              ("CompanyName", PUBLISHER)]:
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
            "ProductCode": PRODUCT_CODE,
            "Manufacturer": PUBLISHER,
            "UpgradeCode": UPGRADE_CODE,
            "ALLUSERS": "1",
            "ARPPRODUCTICON": "TarnwickIcon.ico",
            "ARPURLINFOABOUT": "https://www.tarnwick.org/",
            "ARPHELPLINK": "https://www.tarnwick.org/",
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

    def test_installer_asks_the_installed_program_quietly(self):
        actions = {row[0]: row[1:] for row in msi_table("CustomAction")}
        sequence = {row[0]: (row[1], int(row[2])) for row in msi_table("InstallExecuteSequence")}
        uninstall_only = 'REMOVE~="ALL" AND NOT UPGRADINGPRODUCTCODE'
        # name: (type, source, target, condition); type 51 sets a property, 50 + 64 runs the program a
        # property names and ignores its exit code; all immediate (the impersonation bit, 0x800, means
        # nothing to an immediate action and is left aside).
        expected = {
            "FindTarnwick": (51, "TarnwickProgram", "[INSTALLDIR]tarnwick.exe", ""),
            "EndRunningTarnwick": (114, "TarnwickProgram", "-quit", 'REMOVE~="ALL"'),
            "RemoveAutostart": (114, "TarnwickProgram", "-unsubscribeonstartup", uninstall_only),
            "FindCmd": (51, "CmdTool", "[System64Folder]cmd.exe", uninstall_only),
            "RemoveLog": (114, "CmdTool", '/c rd /s /q "[AppDataFolder]tarnwick"', uninstall_only),
            "KeepAutostart": (114, "TarnwickProgram", "-subscribeonstartup",
                              "WIX_UPGRADE_DETECTED AND TARNWICKAUTOSTART AND NOT REMOVE"),
        }
        self.assertLessEqual(set(expected), set(actions))
        self.assertNotIn("taskkill", " ".join(row[2] for row in actions.values()))
        self.assertNotIn("reg.exe", " ".join(row[2] for row in actions.values()))
        for name, (kind, source, target, condition) in expected.items():
            self.assertEqual((int(actions[name][0]) & ~0x800,) + actions[name][1:3], (kind, source, target), name)
            self.assertEqual(sequence[name][0], condition, name)
        # Folders resolved, and tarnwick.exe no longer in use when the installer checks it.
        for name in ("FindTarnwick", "EndRunningTarnwick", "RemoveAutostart", "FindCmd", "RemoveLog"):
            self.assertTrue(sequence["CostFinalize"][1] < sequence[name][1] < sequence["InstallValidate"][1], name)
        self.assertLess(sequence["FindTarnwick"][1], sequence["EndRunningTarnwick"][1])
        self.assertLess(sequence["EndRunningTarnwick"][1], sequence["RemoveAutostart"][1])
        self.assertLess(sequence["FindCmd"][1], sequence["RemoveLog"][1])
        # The log is closed once the program has ended.
        self.assertLess(sequence["EndRunningTarnwick"][1], sequence["RemoveLog"][1])
        # The autostart value is read before the old version goes, and written again once the new one is in.
        self.assertEqual(msi_table("AppSearch"), [("TARNWICKAUTOSTART", "AutostartValue")])
        self.assertEqual(msi_table("RegLocator"), [
            ("AutostartValue", "1", r"Software\Microsoft\Windows\CurrentVersion\Run", "Tarnwick", "2")])
        self.assertLess(sequence["AppSearch"][1], sequence["RemoveExistingProducts"][1])
        self.assertGreater(sequence["KeepAutostart"][1], sequence["InstallFinalize"][1])
        # Add/Remove Programs shows the folder it was installed into.
        location = actions["SetInstallLocation"]
        self.assertEqual((int(location[0]) & ~0x800,) + location[1:3], (51, "ARPINSTALLLOCATION", "[INSTALLDIR]"))
        self.assertLess(sequence["CostFinalize"][1], sequence["SetInstallLocation"][1])

    def test_installs_the_program_of_the_zip(self):
        with tempfile.TemporaryDirectory() as folder:
            subprocess.run(["msiextract", "-C", folder, MSI], check=True, capture_output=True)
            found = {name: os.path.join(root, name) for root, _, names in os.walk(folder) for name in names}
            zipped = zipfile.ZipFile(ZIP)
            for name in ("tarnwick.exe", "tarnwick.map", "LICENSE.txt"):
                with open(found[name], "rb") as installed:
                    self.assertEqual(installed.read(), zipped.read(name), name)


def yaml_fields(text):
    """The top-level keys of a manifest and, for a list of mappings, the keys of its first item."""
    fields, current = {}, None
    for line in text.splitlines():
        if not line or line.startswith("#"):
            continue
        if not line.startswith((" ", "-")):
            current, _, value = line.partition(":")
            fields[current] = value.strip().strip("'")
        elif line.startswith("- ") and ":" in line or line.startswith("  "):
            key, _, value = line.lstrip("- ").partition(":")
            fields.setdefault(current + "." + key.strip(), value.strip().strip("'"))
    return fields


class ManifestTest(unittest.TestCase):
    BASE = "https://downloads.example.invalid/tarnwick"
    URL = BASE + "/" + VERSION

    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.TemporaryDirectory()
        templates = os.path.join(ROOT, "packaging")
        cls.before = {path: open(path, "rb").read() for path in
                      [os.path.join(root, name) for root, _, names in os.walk(templates) for name in names]}
        subprocess.run([sys.executable, os.path.join(ROOT, "tools", "package-manifests.py"), VERSION, ZIP, MSI,
                        cls.BASE + "/", cls.folder.name], check=True)

    @classmethod
    def tearDownClass(cls):
        cls.folder.cleanup()

    def read(self, *path):
        with open(os.path.join(self.folder.name, *path)) as f:
            return f.read()

    def sha256(self, path):
        with open(path, "rb") as f:
            return hashlib.sha256(f.read()).hexdigest()

    def test_winget_manifests_name_the_msi_its_sum_and_product_code(self):
        folder = ("winget", "manifests", "t", "Tarnwick", "Tarnwick", VERSION)
        # The fields each manifest type requires (winget-cli's schemas, v1.12.0).
        required = {
            "Tarnwick.Tarnwick.yaml": ("version", ["DefaultLocale"]),
            "Tarnwick.Tarnwick.installer.yaml": ("installer", [
                "Installers", "Installers.Architecture", "Installers.InstallerUrl", "Installers.InstallerSha256",
                "InstallerType"]),
            "Tarnwick.Tarnwick.locale.en-US.yaml": ("defaultLocale", [
                "PackageLocale", "Publisher", "PackageName", "License", "ShortDescription"]),
        }
        self.assertEqual(sorted(os.listdir(os.path.join(self.folder.name, *folder))), sorted(required))
        for name, (kind, fields) in required.items():
            text = self.read(*folder, name)
            self.assertNotIn("@", text.replace("support@", ""), name + ": a template field is left unfilled")
            found = yaml_fields(text)
            for field in ["PackageIdentifier", "PackageVersion", "ManifestType", "ManifestVersion"] + fields:
                self.assertIn(field, found, name)
            self.assertEqual((found["PackageIdentifier"], found["PackageVersion"]), ("Tarnwick.Tarnwick", VERSION))
            self.assertEqual((found["ManifestType"], found["ManifestVersion"]), (kind, "1.12.0"), name)
        installer = yaml_fields(self.read(*folder, "Tarnwick.Tarnwick.installer.yaml"))
        self.assertEqual(installer["ProductCode"], PRODUCT_CODE)
        self.assertEqual(installer["AppsAndFeaturesEntries.ProductCode"], PRODUCT_CODE)
        self.assertEqual(installer["AppsAndFeaturesEntries.UpgradeCode"], UPGRADE_CODE)
        self.assertEqual(installer["AppsAndFeaturesEntries.Publisher"], PUBLISHER)
        self.assertEqual(installer["Installers.InstallerUrl"], "%s/tarnwick-%s-win64.msi" % (self.URL, VERSION))
        self.assertEqual(installer["Installers.InstallerSha256"], self.sha256(MSI).upper())
        locale = yaml_fields(self.read(*folder, "Tarnwick.Tarnwick.locale.en-US.yaml"))
        self.assertEqual((locale["Publisher"], locale["License"]), (PUBLISHER, "MIT"))

    def test_scoop_manifest_names_the_zip_its_sum_and_how_to_update(self):
        scoop = json.loads(self.read("scoop", "tarnwick.json"))
        # Scoop's schema.json requires these; url and hash may sit in an architecture.
        for field in ("version", "homepage", "license"):
            self.assertIn(field, scoop)
        self.assertEqual(scoop["version"], VERSION)
        self.assertEqual(scoop["architecture"]["64bit"], {
            "url": "%s/tarnwick-%s-win64.zip" % (self.URL, VERSION),
            "hash": self.sha256(ZIP),
        })
        self.assertEqual(scoop["bin"], "tarnwick.exe")
        self.assertEqual(scoop["license"], "MIT")
        # checkver finds the newest version on the download folder's page; autoupdate makes its address.
        self.assertEqual(scoop["checkver"]["url"], self.BASE + "/")
        self.assertIsNotNone(re.search(scoop["checkver"]["regex"], "tarnwick-%s-win64.zip" % VERSION))
        update = scoop["autoupdate"]["architecture"]["64bit"]["url"].replace("$version", VERSION)
        self.assertEqual(update, scoop["architecture"]["64bit"]["url"])

    def test_templates_stay_as_they_are(self):
        for path, content in self.before.items():
            with open(path, "rb") as f:
                self.assertEqual(f.read(), content, path)


class ReproducibleTest(unittest.TestCase):
    """Packing the same files again, on another day and from files of other times, gives the same bytes."""

    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.TemporaryDirectory()
        files = os.path.join(cls.folder.name, "files")
        shutil.copytree(FILES, files)
        for name in os.listdir(files):
            os.utime(os.path.join(files, name), (time.time(), time.time()))
        names = ["tarnwick.exe", "tarnwick.map", "README.txt", "LICENSE.txt"]
        cls.zip = os.path.join(cls.folder.name, "again.zip")
        cls.msi = os.path.join(cls.folder.name, "again.msi")
        subprocess.run([sys.executable, os.path.join(ROOT, "packaging", "build_zip.py"), cls.zip, EPOCH, files,
                        *names], check=True)
        subprocess.run([sys.executable, os.path.join(ROOT, "packaging", "build_msi.py"), "wixl",
                        os.path.join(ROOT, "packaging", "msi", "tarnwick.wxs"), files, cls.msi, EPOCH,
                        *WIXL_OPTIONS], check=True, env=dict(os.environ, TZ="Pacific/Auckland"))

    @classmethod
    def tearDownClass(cls):
        cls.folder.cleanup()

    def test_zip_and_installer_are_the_same_bytes(self):
        for built, again in [(ZIP, self.zip), (MSI, self.msi)]:
            with open(built, "rb") as a, open(again, "rb") as b:
                self.assertTrue(a.read() == b.read(), "%s differs when packed again" % built)

    def test_dated_by_the_commit(self):
        stamp = time.gmtime(max(int(EPOCH), 315532800))[:6]
        stamp = stamp[:5] + (stamp[5] // 2 * 2,)  # a zip keeps even seconds
        self.assertEqual({entry.date_time for entry in zipfile.ZipFile(ZIP).infolist()}, {stamp})
        info = subprocess.run(["msiinfo", "suminfo", MSI], check=True, capture_output=True, text=True,
                              env=dict(os.environ, TZ="UTC")).stdout
        times = dict(line.split(": ", 1) for line in info.splitlines() if ": " in line)
        for key in ("Created", "Last saved"):
            self.assertEqual(time.strptime(times[key], "%a %b %d %H:%M:%S %Y")[:6], time.gmtime(int(EPOCH))[:6], key)

    def test_program_is_dated_by_the_commit_not_its_link(self):
        image = zipfile.ZipFile(ZIP).read("tarnwick.exe")
        header = struct.unpack_from("<I", image, 0x3C)[0]
        self.assertEqual(struct.unpack_from("<I", image, header + 8)[0], int(EPOCH))


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
