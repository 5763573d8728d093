#!/usr/bin/env python3
"""Writes the package managers' manifests of a release from its SHA256SUMS:
winget's multi-file manifest into OUTDIR/winget/ and Scoop's into
OUTDIR/scoop/swivlet.json.

    manifests.py OUTDIR VERSION PUBLISHER PRODUCT_CODE URL_TEMPLATE HOMEPAGE
    manifests.py --check-publish

URL_TEMPLATE is the address of a release's file, with {version} and {file}
in it, as https://host/releases/download/v{version}/{file}. PRODUCT_CODE is
the name of the uninstall key the installer writes. SOURCE_DATE_EPOCH gives
the release date. --check-publish fails, naming the setting, unless
SWV_RELEASE_URL and SWV_HOMEPAGE hold addresses a release can be published
at.
"""
import json
import os
import sys
import time
import urllib.parse

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


# Top-level names reserved for documentation and tests (RFC 2606, RFC 6761),
# and the second-level ones under com, net and org.
RESERVED_TLDS = {"example", "test", "invalid", "localhost", "local"}
RESERVED_DOMAINS = {"example.com", "example.net", "example.org"}

# Ends a running Swivlet before Scoop removes its files, as the installer
# does (packaging/swivlet.nsi): the shutdown message with wParam 0 ends every
# loader, and each names an event while it runs. Scoop joins the lines and
# runs them with $dir, the version's folder, set.
SCOOP_PRE_UNINSTALL = r"""
Add-Type -Namespace SwivletScoop -Name Native -MemberDefinition '[DllImport("kernel32.dll", CharSet = CharSet.Unicode)] public static extern IntPtr OpenEventW(uint access, bool inherit, string name); [DllImport("kernel32.dll")] public static extern bool CloseHandle(IntPtr handle); [DllImport("user32.dll", CharSet = CharSet.Unicode)] public static extern uint RegisterWindowMessageW(string name); [DllImport("user32.dll")] public static extern bool PostMessageW(IntPtr window, uint message, IntPtr wParam, IntPtr lParam);'
$swivletFolder = Split-Path $dir
$swivletRuns = {
    foreach ($mark in 'Local\Swivlet.Host.32', 'Local\Swivlet.Host.64') {
        $handle = [SwivletScoop.Native]::OpenEventW(0x00100000, $false, $mark)
        if ($handle -ne [IntPtr]::Zero) {
            [void][SwivletScoop.Native]::CloseHandle($handle)
            return $true
        }
    }
    # Scoop looks for processes started from the app's folder.
    [bool](Get-Process swv32load -ErrorAction SilentlyContinue | Where-Object { $_.Path -like "$swivletFolder\*" })
}
if (& $swivletRuns) {
    Write-Host 'Ending the running Swivlet.'
    $shutdown = [SwivletScoop.Native]::RegisterWindowMessageW('Swivlet.Shutdown')
    [void][SwivletScoop.Native]::PostMessageW([IntPtr]0xffff, $shutdown, [IntPtr]::Zero, [IntPtr]::Zero)
    $until = (Get-Date).AddSeconds(10)
    while ((& $swivletRuns) -and (Get-Date) -lt $until) {
        Start-Sleep -Milliseconds 100
    }
}
""".strip("\n").split("\n")

SCOOP_NOTES = [
    "Swivlet shows no window: right-click the desktop or a window's caption for its menu. Run, then exit, ends it.",
    "scoop update swivlet refuses while Swivlet runs: end it first (Run, then exit) and start it again from the Start menu afterwards. scoop uninstall swivlet ends it itself.",
    "Programs the menu has reached keep that version's library loaded until they end, Explorer until you sign out. An update leaves that version's folder beside the new one: scoop cleanup swivlet removes it once you have signed in again. An uninstall then says it could not remove the version's folder: sign out and in, then run scoop uninstall swivlet again.",
]


def publish_problems(release_url, homepage):
    """What keeps these addresses from a release to publish, by setting."""
    problems = []
    for setting, value in (("SWV_RELEASE_URL", release_url), ("SWV_HOMEPAGE", homepage)):
        if not value:
            problems.append(f"{setting} is not set")
            continue
        parts = urllib.parse.urlsplit(value)
        host = (parts.hostname or "").rstrip(".").lower()
        labels = host.split(".")
        if parts.scheme != "https" or not host:
            problems.append(f"{setting} is not an https:// address: {value}")
        elif labels[-1] in RESERVED_TLDS or ".".join(labels[-2:]) in RESERVED_DOMAINS:
            problems.append(f"{setting} names the reserved host {host}: {value}")
    if release_url and not ("{version}" in release_url and "{file}" in release_url):
        problems.append(f"SWV_RELEASE_URL has no {{version}} or no {{file}} in it: {release_url}")
    return problems


def q(text):
    """A YAML scalar in double quotes: never read as a number, date or bool."""
    return json.dumps(text, ensure_ascii=False)


def write_yaml(path, kind, lines):
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write("# yaml-language-server: $schema=" + SCHEMA.format(kind) + "\n\n")
        f.write("\n".join(lines) + "\n")


def main():
    if sys.argv[1:] == ["--check-publish"]:
        problems = publish_problems(os.environ.get("SWV_RELEASE_URL", ""),
                                    os.environ.get("SWV_HOMEPAGE", ""))
        for p in problems:
            print(f"release: a release to publish needs real addresses: {p}", file=sys.stderr)
        return 1 if problems else 0
    out, version, publisher, product_code, template, homepage = sys.argv[1:7]
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
            # winget passes /S for both silent modes of a nullsoft installer;
            # its own progress shows while the installer runs unseen.
            "InstallModes:",
            '- "interactive"',
            '- "silent"',
            '- "silentWithProgress"',
            'UpgradeBehavior: "install"',
            # The uninstall entry's name, values and type are the package's
            # own, so no AppsAndFeaturesEntries: the key's name ties it.
            f"ProductCode: {q(product_code)}",
            f"ReleaseDate: {q(date)}",
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
        "pre_uninstall": SCOOP_PRE_UNINSTALL,
        "notes": SCOOP_NOTES,
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
    sys.exit(main())
