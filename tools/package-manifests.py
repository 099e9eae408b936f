#!/usr/bin/env python3
"""Writes the package manifests of a release beside its files, from the templates under packaging/ (which
no release changes): winget's three (version, installer, default locale; for the MSI) into
<output>/winget/manifests/t/Tarnwick/Tarnwick/<version>/, and Scoop's (for the zip) into
<output>/scoop/tarnwick.json, with the files' SHA-256 sums and the installer's product code.

Usage: package-manifests.py <version> <zip> <msi> <download-url> <output folder>
The download URL is the folder that holds one folder per version, with the release's two files in it:
<download-url>/<version>/tarnwick-<version>-win64.zip; its own page lists the versions (Scoop's checkver
reads the newest from it).
"""
import hashlib
import os
import re
import subprocess
import sys
import tempfile

PACKAGING = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "packaging")
WINGET = ["Tarnwick.Tarnwick.yaml", "Tarnwick.Tarnwick.installer.yaml", "Tarnwick.Tarnwick.locale.en-US.yaml"]


def sha256(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def msi_property(msi, name):
    # msiinfo writes binary columns into its working folder; the Property table has none, but stay clean.
    with tempfile.TemporaryDirectory() as folder:
        rows = subprocess.run(["msiinfo", "export", os.path.abspath(msi), "Property"], check=True, text=True,
                              capture_output=True, cwd=folder).stdout.splitlines()
    return dict(row.split("\t", 1) for row in rows[3:] if "\t" in row)[name]


def fill(template, output, values):
    with open(os.path.join(PACKAGING, template + ".in")) as f:
        text = re.sub(r"@([A-Z0-9_]+)@", lambda m: values[m.group(1)], f.read())
    os.makedirs(os.path.dirname(output), exist_ok=True)
    with open(output, "w", newline="\n") as f:
        f.write(text)


def main(version, zip_path, msi_path, url, output):
    url = url.rstrip("/")
    values = {
        "VERSION": version,
        "PRODUCT_CODE": msi_property(msi_path, "ProductCode"),
        "UPGRADE_CODE": msi_property(msi_path, "UpgradeCode"),
        "MSI_URL": "%s/%s/%s" % (url, version, os.path.basename(msi_path)),
        "MSI_SHA256": sha256(msi_path).upper(),
        "ZIP_URL": "%s/%s/%s" % (url, version, os.path.basename(zip_path)),
        "ZIP_SHA256": sha256(zip_path),
        "DOWNLOAD_URL": url,
    }
    folder = os.path.join(output, "winget", "manifests", "t", "Tarnwick", "Tarnwick", version)
    for name in WINGET:
        fill(os.path.join("winget", name), os.path.join(folder, name), values)
    fill(os.path.join("scoop", "tarnwick.json"), os.path.join(output, "scoop", "tarnwick.json"), values)


if __name__ == "__main__":
    if len(sys.argv) != 6:
        sys.exit(__doc__)
    main(*sys.argv[1:])
