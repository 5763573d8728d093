#!/usr/bin/env python3
"""Writes the package managers' manifests of a release from its SHA256SUMS:
winget's multi-file manifest into OUTDIR/winget/ and Scoop's into
OUTDIR/scoop/swivlet.json.

    manifests.py OUTDIR VERSION PUBLISHER URL_TEMPLATE HOMEPAGE

URL_TEMPLATE is the address of a release's file, with {version} and {file}
in it, as https://host/releases/download/v{version}/{file}.
SOURCE_DATE_EPOCH gives the release date.
"""
import json
import os
import sys
import time

PACKAGE_ID = "Swivlet.Swivlet"
NAME = "Swivlet"
LOCALE = "en-US"
MANIFEST_VERSION = "1.12.0"
SCHEMA = "https://aka.ms/winget-manifest.{}.1.12.0.schema.json"
SHORT = "A right-click on the desktop or a caption pops up a menu to push, tile and cascade windows, run programs and switch tasks."
DESCRIPTION = (
    "While Swivlet runs, a right-click on the desktop or on any window's caption pops up a menu "
    "at the pointer: Push sends the window behind the others, Arrange Icons lines up minimised "
    "windows, Tile and Cascade arrange the windows, Run starts a program or document, and one "
    "entry per window brings it to the front."
)


def q(text):
    """A YAML scalar in double quotes: never read as a number, date or bool."""
    return json.dumps(text, ensure_ascii=False)


def write_yaml(path, kind, lines):
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write("# yaml-language-server: $schema=" + SCHEMA.format(kind) + "\n\n")
        f.write("\n".join(lines) + "\n")


def main():
    out, version, publisher, template, homepage = sys.argv[1:6]
    sums = {}
    with open(os.path.join(out, "SHA256SUMS"), encoding="ascii") as f:
        for line in f:
            digest, name = line.split()
            sums[name.lstrip("*")] = digest

    def url(version_text, name):
        return template.replace("{version}", version_text).replace("{file}", name)

    setup = f"Swivlet-{version}-setup.exe"
    date = time.strftime("%Y-%m-%d", time.gmtime(int(os.environ["SOURCE_DATE_EPOCH"])))
    head = [f"PackageIdentifier: {q(PACKAGE_ID)}", f"PackageVersion: {q(version)}"]
    tail = [f"ManifestVersion: {q(MANIFEST_VERSION)}"]

    winget = os.path.join(out, "winget")
    os.makedirs(winget, exist_ok=True)
    write_yaml(
        os.path.join(winget, f"{PACKAGE_ID}.yaml"),
        "version",
        head + [f"DefaultLocale: {q(LOCALE)}", 'ManifestType: "version"'] + tail,
    )
    # One installer serves both: on 64-bit Windows it installs both builds.
    installers = []
    for arch in ("x86", "x64"):
        installers += [
            f"- Architecture: {q(arch)}",
            f"  InstallerUrl: {q(url(version, setup))}",
            f"  InstallerSha256: {q(sums[setup].upper())}",
        ]
    write_yaml(
        os.path.join(winget, f"{PACKAGE_ID}.installer.yaml"),
        "installer",
        head
        + [
            'InstallerType: "nullsoft"',
            'Scope: "user"',
            "InstallModes:",
            '- "interactive"',
            '- "silent"',
            'UpgradeBehavior: "install"',
            f"ReleaseDate: {q(date)}",
            # What the installer writes under ...\Uninstall\Swivlet.
            "AppsAndFeaturesEntries:",
            f"- DisplayName: {q(NAME)}",
            f"  Publisher: {q(publisher)}",
            f"  DisplayVersion: {q(version)}",
            "Installers:",
        ]
        + installers
        + ['ManifestType: "installer"']
        + tail,
    )
    write_yaml(
        os.path.join(winget, f"{PACKAGE_ID}.locale.{LOCALE}.yaml"),
        "defaultLocale",
        head
        + [
            f"PackageLocale: {q(LOCALE)}",
            f"Publisher: {q(publisher)}",
            f"PublisherUrl: {q(homepage)}",
            f"PackageName: {q(NAME)}",
            f"PackageUrl: {q(homepage)}",
            'License: "MIT"',
            f"Copyright: {q('Copyright (c) 2026 ' + publisher)}",
            f"ShortDescription: {q(SHORT)}",
            f"Description: {q(DESCRIPTION)}",
            'Moniker: "swivlet"',
            "Tags:",
            '- "desktop"',
            '- "menu"',
            '- "tile"',
            '- "cascade"',
            '- "window-manager"',
            'ManifestType: "defaultLocale"',
        ]
        + tail,
    )

    scoop = os.path.join(out, "scoop")
    os.makedirs(scoop, exist_ok=True)
    archives = {"64bit": "win64", "32bit": "win32"}
    manifest = {
        "version": version,
        "description": SHORT,
        "homepage": homepage,
        "license": "MIT",
        "architecture": {
            arch: {
                "url": url(version, f"Swivlet-{version}-{suffix}.zip"),
                "hash": sums[f"Swivlet-{version}-{suffix}.zip"],
            }
            for arch, suffix in archives.items()
        },
        "shortcuts": [
            ["swv32load.exe", "Swivlet"],
            ["swv32load.exe", "Configure Swivlet", "/c"],
        ],
        # The release page lists the archives by name.
        "checkver": {"url": homepage, "regex": r"Swivlet-([\d.]+)-win64\.zip"},
        "autoupdate": {
            "architecture": {
                arch: {"url": url("$version", f"Swivlet-$version-{suffix}.zip")}
                for arch, suffix in archives.items()
            },
            "hash": {"url": "$baseurl/SHA256SUMS", "regex": r"$sha256\s+\*?$basename"},
        },
    }
    with open(os.path.join(scoop, "swivlet.json"), "w", encoding="utf-8", newline="\n") as f:
        json.dump(manifest, f, indent=4, ensure_ascii=False)
        f.write("\n")


if __name__ == "__main__":
    main()
