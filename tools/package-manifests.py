#!/usr/bin/env python3
"""Writes the package manifests of a release from its files: winget's three (version, installer,
default locale; for the MSI) and Scoop's (for the zip), with the files' SHA-256 sums.

Usage: package-manifests.py <version> <zip> <msi> <download-url> [<output folder>]
The download URL is the folder the two files are published in; the output folder defaults to packaging/.
"""
import hashlib
import json
import os
import subprocess
import sys
import tempfile

IDENTIFIER = "Tarnwick.Tarnwick"
PUBLISHER = "The Tarnwick developers"
COPYRIGHT = "Copyright (c) 2026 The Tarnwick developers"
UPGRADE_CODE = "{D2569239-EEAA-40F3-9F0C-05EEF85E613D}"
SCHEMA = "1.12.0"
SUMMARY = "Turns the internet off and on from the notification area, for good or for a few minutes."
DESCRIPTION = ("Tarnwick disables every network adapter that Device Manager shows, and enables them again, "
               "from the notification area or the command line, for good or for 5, 15, 30 or 60 minutes.")


def sha256(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def product_code(msi):
    # msiinfo writes binary columns into its working folder; the Property table has none, but stay clean.
    with tempfile.TemporaryDirectory() as folder:
        rows = subprocess.run(["msiinfo", "export", os.path.abspath(msi), "Property"], check=True, text=True,
                              capture_output=True, cwd=folder).stdout.splitlines()
    return dict(row.split("\t", 1) for row in rows[3:] if "\t" in row)["ProductCode"]


def yaml_file(path, kind, lines):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", newline="\n") as f:
        f.write("# yaml-language-server: $schema=https://aka.ms/winget-manifest.%s.%s.schema.json\n\n" % (kind, SCHEMA))
        f.write("\n".join(lines + ["ManifestType: " + kind, "ManifestVersion: " + SCHEMA]) + "\n")


def main(version, zip_path, msi_path, url, output):
    msi_name, zip_name = os.path.basename(msi_path), os.path.basename(zip_path)
    code = product_code(msi_path)
    head = ["PackageIdentifier: " + IDENTIFIER, "PackageVersion: " + version]
    folder = os.path.join(output, "winget", "manifests", "t", "Tarnwick", "Tarnwick", version)
    yaml_file(os.path.join(folder, IDENTIFIER + ".yaml"), "version", head + ["DefaultLocale: en-US"])
    yaml_file(os.path.join(folder, IDENTIFIER + ".installer.yaml"), "installer", head + [
        "InstallerType: msi",
        "Scope: machine",
        "InstallModes:", "- interactive", "- silent", "- silentWithProgress",
        "UpgradeBehavior: install",
        "ElevationRequirement: elevatesSelf",
        "ProductCode: '%s'" % code,
        "AppsAndFeaturesEntries:",
        "- DisplayName: Tarnwick",
        "  Publisher: " + PUBLISHER,
        "  DisplayVersion: " + version,
        "  ProductCode: '%s'" % code,
        "  UpgradeCode: '%s'" % UPGRADE_CODE,
        "Installers:",
        "- Architecture: x64",
        "  InstallerUrl: %s/%s" % (url, msi_name),
        "  InstallerSha256: " + sha256(msi_path).upper(),
    ])
    yaml_file(os.path.join(folder, IDENTIFIER + ".locale.en-US.yaml"), "defaultLocale", head + [
        "PackageLocale: en-US",
        "Publisher: " + PUBLISHER,
        "PackageName: Tarnwick",
        "License: MIT",
        "Copyright: " + COPYRIGHT,
        "ShortDescription: " + SUMMARY,
        "Description: " + DESCRIPTION,
        "Moniker: tarnwick",
        "Tags:", "- network", "- adapter", "- internet", "- tray",
    ])

    scoop = {
        "version": version,
        "description": SUMMARY,
        "homepage": url,
        "license": "MIT",
        "architecture": {"64bit": {"url": "%s/%s" % (url, zip_name), "hash": sha256(zip_path)}},
        "bin": "tarnwick.exe",
        "shortcuts": [["tarnwick.exe", "Tarnwick"]],
        # An uninstall removes the autostart value that tarnwick.exe -subscribeonstartup wrote; an update
        # keeps it (the program keeps its path through 'current'). Scoop itself refuses to remove a
        # running program.
        "pre_uninstall": [
            "if ($cmd -eq 'uninstall') {",
            "    Remove-ItemProperty -Path 'HKCU:\\Software\\Microsoft\\Windows\\CurrentVersion\\Run' "
            "-Name 'Tarnwick' -ErrorAction SilentlyContinue",
            "}",
        ],
    }
    path = os.path.join(output, "scoop", "tarnwick.json")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", newline="\n") as f:
        json.dump(scoop, f, indent=4)
        f.write("\n")


if __name__ == "__main__":
    if len(sys.argv) not in (5, 6):
        sys.exit(__doc__)
    here = os.path.dirname(os.path.abspath(__file__))
    main(*sys.argv[1:5], sys.argv[5] if len(sys.argv) == 6 else os.path.join(here, "..", "packaging"))
