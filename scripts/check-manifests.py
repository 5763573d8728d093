#!/usr/bin/env python3
"""Checks the package managers' manifests that scripts/release.sh wrote into
a release folder: winget's three files against the rules of the published
manifest schemas 1.12.0 (version, installer, defaultLocale), Scoop's
swivlet.json against the rules of Scoop's schema.json, and every hash in
them against the file in the folder. The rules below are written from the
schemas' text: a field that is not listed here is reported, so that a new
field gets its rule checked before it ships. Beyond the schemas, what a
reviewer of either repository asks: winget's uninstall entry tied by its
key's name, both silent modes, Scoop ending a running Swivlet before it
removes its files; with --publish, no address at a reserved name.

    scripts/check-manifests.py [--publish] [DIST]      (dist/ when not given)

Without --publish it also checks that a release to publish refuses to start
without its addresses, and that the manifests written for one pass
--publish, from the files in DIST.
"""
import hashlib
import json
import os
import re
import subprocess
import sys
import tempfile
import urllib.parse
import zipfile

import yaml

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
NSIS_SCRIPT = os.path.join(ROOT, "packaging", "swivlet.nsi")


def uninstall_entry():
    """The uninstall key's name and the values the installer writes in it,
    read from its script (the release tests read them back from an
    installation)."""
    with open(NSIS_SCRIPT, encoding="utf-8") as f:
        text = f.read()
    defines = dict(re.findall(r'^!define (\w+) "(.*)"$', text, re.M))
    values = dict(re.findall(r'^\s*WriteRegStr HKCU "\$\{UNINST_KEY\}" "(\w+)" "(.*)"$', text, re.M))
    values = {k: re.sub(r"\$\{(\w+)\}", lambda m: defines.get(m.group(1), m.group(0)), v)
              for k, v in values.items()}
    return defines["UNINST_KEY"].rsplit("\\", 1)[-1], values


def loader_names():
    """The shutdown message and the events of a running loader, as the
    loader names them."""
    with open(os.path.join(ROOT, "common", "swivlet.h"), encoding="utf-8") as f:
        text = f.read()
    found = dict(re.findall(r'^#define (SWV_SHUTDOWN_MSG|SWV_HOST_MARK_\d\d) "(.*)"$', text, re.M))
    return {k: v.replace("\\\\", "\\") for k, v in found.items()}

# ---- A small validator for the parts of JSON Schema these schemas use ----


def check(value, rule, where, errors):
    types = rule.get("type")
    if types:
        types = [types] if isinstance(types, str) else types
        names = {
            "string": str,
            "array": list,
            "object": dict,
            "boolean": bool,
            "null": type(None),
            "integer": int,
        }
        if not any(
            isinstance(value, names[t]) and not (t == "integer" and isinstance(value, bool))
            for t in types
        ):
            errors.append(f"{where}: {value!r} is not of type {'/'.join(types)}")
            return
    if "anyOf" in rule:
        tried = []
        for option in rule["anyOf"]:
            sub = []
            check(value, option, where, sub)
            if not sub:
                break
            tried += sub
        else:
            errors.append(f"{where}: matches none of its forms: {'; '.join(tried)}")
        return
    if "const" in rule and value != rule["const"]:
        errors.append(f"{where}: {value!r} is not {rule['const']!r}")
    if "enum" in rule and value not in rule["enum"]:
        errors.append(f"{where}: {value!r} is not one of {rule['enum']}")
    if isinstance(value, str):
        if len(value) < rule.get("minLength", 0):
            errors.append(f"{where}: shorter than {rule['minLength']}")
        if len(value) > rule.get("maxLength", len(value)):
            errors.append(f"{where}: longer than {rule['maxLength']}")
        if "pattern" in rule and not re.search(rule["pattern"], value):
            errors.append(f"{where}: {value!r} does not match {rule['pattern']}")
        if "notPattern" in rule and re.search(rule["notPattern"], value):
            errors.append(f"{where}: {value!r} must not match {rule['notPattern']}")
        fmt = rule.get("format")
        if fmt == "date" and not re.fullmatch(r"\d{4}-(0[1-9]|1[0-2])-(0[1-9]|[12]\d|3[01])", value):
            errors.append(f"{where}: {value!r} is not a date (YYYY-MM-DD)")
        if fmt == "uri":
            parts = urllib.parse.urlsplit(value)
            if not parts.scheme or not parts.netloc or " " in value:
                errors.append(f"{where}: {value!r} is not an absolute URI")
        if fmt == "regex":
            try:
                re.compile(value)
            except re.error as e:
                errors.append(f"{where}: {value!r} is not a regular expression: {e}")
    if isinstance(value, list):
        if len(value) < rule.get("minItems", 0):
            errors.append(f"{where}: fewer than {rule['minItems']} items")
        if len(value) > rule.get("maxItems", len(value)):
            errors.append(f"{where}: more than {rule['maxItems']} items")
        if rule.get("uniqueItems"):
            seen = [json.dumps(v, sort_keys=True) for v in value]
            if len(set(seen)) != len(seen):
                errors.append(f"{where}: items are not unique")
        for i, item in enumerate(value):
            if "items" in rule:
                check(item, rule["items"], f"{where}[{i}]", errors)
    if isinstance(value, dict):
        props = rule.get("properties", {})
        for key in rule.get("required", []):
            if key not in value:
                errors.append(f"{where}: required field {key} is missing")
        for key, item in value.items():
            if key in props:
                check(item, props[key], f"{where}.{key}", errors)
            else:
                errors.append(f"{where}: field {key} is not in the schema's rules")


def string(lo=None, hi=None, pattern=None, nullable=False, **more):
    rule = {"type": ["string", "null"] if nullable else "string", **more}
    if lo is not None:
        rule["minLength"] = lo
    if hi is not None:
        rule["maxLength"] = hi
    if pattern is not None:
        rule["pattern"] = pattern
    return rule


# ---- winget, manifest schemas 1.12.0 ----

_CHARS = r"[^\.\s\\/:\*\?\"<>\|\x01-\x1f]"
PACKAGE_ID = string(hi=128, pattern=rf"^{_CHARS}{{1,32}}(\.{_CHARS}{{1,32}}){{1,7}}$")
PACKAGE_VERSION = string(hi=128, pattern=r"^[^\\/:\*\?\"<>\|\x01-\x1f]+$")
LOCALE = string(hi=20, pattern=r"^([a-zA-Z]{2,3}|[iI]-[a-zA-Z]+|[xX]-[a-zA-Z]{1,8})(-[a-zA-Z]{1,8})*$")
_U16 = r"(0|[1-9][0-9]{0,3}|[1-5][0-9]{4}|6[0-4][0-9]{3}|65[0-4][0-9]{2}|655[0-2][0-9]|6553[0-5])"
MANIFEST_VERSION = string(pattern=rf"^{_U16}(\.{_U16}){{2}}$")
URL = string(hi=2048, pattern=r"^([Hh][Tt][Tt][Pp][Ss]?)://.+$", nullable=True)
TAG = string(1, 40, nullable=True)
SHA256 = string(pattern=r"^[A-Fa-f0-9]{64}$")
INSTALLER_TYPE = {
    "type": ["string", "null"],
    "enum": ["msix", "msi", "appx", "exe", "zip", "inno", "nullsoft", "wix", "burn", "pwa",
             "portable", "font"],
}


def head(kind):
    return {
        "PackageIdentifier": PACKAGE_ID,
        "PackageVersion": PACKAGE_VERSION,
        "ManifestType": string(const=kind),
        "ManifestVersion": MANIFEST_VERSION,
    }


WINGET_VERSION = {
    "type": "object",
    "properties": {**head("version"), "DefaultLocale": LOCALE},
    "required": ["PackageIdentifier", "PackageVersion", "DefaultLocale", "ManifestType",
                 "ManifestVersion"],
}

# The fields an installer may carry at the top or in each entry.
_INSTALLER_FIELDS = {
    "InstallerType": INSTALLER_TYPE,
    "Scope": {"type": ["string", "null"], "enum": ["user", "machine"]},
    "InstallModes": {
        "type": ["array", "null"],
        "items": {"type": "string", "enum": ["interactive", "silent", "silentWithProgress"]},
        "maxItems": 3,
        "uniqueItems": True,
    },
    "UpgradeBehavior": {"type": ["string", "null"], "enum": ["install", "uninstallPrevious", "deny"]},
    "ProductCode": string(1, 255, nullable=True),
    "ReleaseDate": string(nullable=True, format="date"),
    "AppsAndFeaturesEntries": {
        "type": ["array", "null"],
        "uniqueItems": True,
        "maxItems": 128,
        "items": {
            "type": "object",
            "properties": {
                "DisplayName": string(1, 256, nullable=True),
                "Publisher": string(1, 256, nullable=True),
                "DisplayVersion": string(1, 128, nullable=True),
                "ProductCode": string(1, 255, nullable=True),
                "UpgradeCode": string(1, 255, nullable=True),
                "InstallerType": INSTALLER_TYPE,
            },
        },
    },
}

WINGET_INSTALLER = {
    "type": "object",
    "properties": {
        **head("installer"),
        **_INSTALLER_FIELDS,
        "Installers": {
            "type": "array",
            "minItems": 1,
            "maxItems": 1024,
            "items": {
                "type": "object",
                "properties": {
                    **_INSTALLER_FIELDS,
                    "Architecture": {"type": "string",
                                     "enum": ["x86", "x64", "arm", "arm64", "neutral"]},
                    "InstallerUrl": string(hi=2048, pattern=r"^([Hh][Tt][Tt][Pp][Ss]?)://.+$"),
                    "InstallerSha256": SHA256,
                },
                "required": ["Architecture", "InstallerUrl", "InstallerSha256"],
            },
        },
    },
    "required": ["PackageIdentifier", "PackageVersion", "Installers", "ManifestType",
                 "ManifestVersion"],
}

WINGET_DEFAULT_LOCALE = {
    "type": "object",
    "properties": {
        **head("defaultLocale"),
        "PackageLocale": LOCALE,
        "Publisher": string(2, 256),
        "PublisherUrl": URL,
        "PublisherSupportUrl": URL,
        "PrivacyUrl": URL,
        "Author": string(2, 256, nullable=True),
        "PackageName": string(2, 256),
        "PackageUrl": URL,
        "License": string(3, 512),
        "LicenseUrl": URL,
        "Copyright": string(3, 512, nullable=True),
        "CopyrightUrl": URL,
        "ShortDescription": string(3, 256),
        "Description": string(3, 10000, nullable=True),
        "Moniker": TAG,
        "Tags": {"type": ["array", "null"], "items": TAG, "maxItems": 16, "uniqueItems": True},
        "ReleaseNotes": string(1, 10000, nullable=True),
        "ReleaseNotesUrl": URL,
    },
    "required": ["PackageIdentifier", "PackageVersion", "PackageLocale", "Publisher", "PackageName",
                 "License", "ShortDescription", "ManifestType", "ManifestVersion"],
}


class StringLoader(yaml.SafeLoader):
    """YAML as winget reads it: 1.10 stays the text 1.10, a date stays text."""


def _mapping_once(loader, node):
    """winget refuses a manifest that names a field twice; PyYAML keeps the last."""
    keys = [loader.construct_object(k) for k, _ in node.value]
    twice = sorted({k for k in keys if keys.count(k) > 1})
    if twice:
        raise yaml.constructor.ConstructorError(None, None, f"fields given twice: {twice}",
                                                node.start_mark)
    return loader.construct_mapping(node)


StringLoader.add_constructor(yaml.resolver.BaseResolver.DEFAULT_MAPPING_TAG, _mapping_once)
StringLoader.yaml_implicit_resolvers = {
    first: [(tag, rx) for tag, rx in resolvers
            if tag not in ("tag:yaml.org,2002:float", "tag:yaml.org,2002:timestamp")]
    for first, resolvers in yaml.SafeLoader.yaml_implicit_resolvers.items()
}


def load_winget(path, kind, errors):
    with open(path, encoding="utf-8") as f:
        text = f.read()
    schema = f"https://aka.ms/winget-manifest.{kind}.1.12.0.schema.json"
    first = text.split("\n", 1)[0]
    if first != f"# yaml-language-server: $schema={schema}":
        errors.append(f"{os.path.basename(path)}: first line is {first!r}, not the schema line")
    try:
        return yaml.load(text, Loader=StringLoader)
    except yaml.YAMLError as e:
        errors.append(f"{os.path.basename(path)}: {e}")
        return None


# ---- Scoop, schema.json ----

_ANY_STRINGS = {"anyOf": [{"type": "string"},
                          {"type": "array", "items": {"type": "string"}, "minItems": 1}]}
_HASH = {"type": "string",
         "pattern": r"^([a-fA-F0-9]{64}|(sha1|sha256|sha512|md5):([a-fA-F0-9]{32}|[a-fA-F0-9]{40}|"
                    r"[a-fA-F0-9]{64}|[a-fA-F0-9]{128}))$"}
_URI = {"type": "string", "format": "uri"}
_SHORTCUTS = {"type": "array", "minItems": 1,
              "items": {"type": "array", "items": {"type": "string"}, "minItems": 2, "maxItems": 4}}
_JSONPATH = {"type": "string", "pattern": r"^\$[.\[].*$"}
_HASH_EXTRACTION = {
    "type": "object",
    "properties": {
        "find": {"type": "string", "format": "regex"},
        "regex": {"type": "string", "format": "regex"},
        "jp": _JSONPATH,
        "jsonpath": _JSONPATH,
        "xpath": {"type": "string"},
        "mode": {"enum": ["download", "extract", "json", "xpath", "rdf", "metalink", "fosshub",
                          "sourceforge"]},
        "url": {"anyOf": [_URI, {"type": "string", "pattern": r"^.*(\$url|\$baseurl).*$"}]},
    },
}
_ARCH = {
    "type": "object",
    "properties": {
        "bin": {"anyOf": [{"type": "string"},
                          {"type": "array", "items": _ANY_STRINGS, "minItems": 1}]},
        "extract_dir": _ANY_STRINGS,
        "hash": _HASH,
        "shortcuts": _SHORTCUTS,
        "url": {**_URI, "notPattern": r"(\$)"},
    },
}
_AUTOUPDATE_ARCH = {
    "type": "object",
    "properties": {"extract_dir": _ANY_STRINGS, "hash": _HASH_EXTRACTION, "shortcuts": _SHORTCUTS,
                   "url": _URI},
}
_ARCHITECTURES = {"32bit", "64bit", "arm64"}
SCOOP = {
    "type": "object",
    "properties": {
        "version": {"type": "string", "pattern": r"^[\w\.\-+_]+$"},
        "description": {"type": "string"},
        "homepage": _URI,
        "license": {"anyOf": [
            {"type": "string"},
            {"type": "object", "required": ["identifier"],
             "properties": {"identifier": {"type": "string"}, "url": _URI}},
        ]},
        "architecture": {"type": "object", "properties": {a: _ARCH for a in _ARCHITECTURES}},
        "shortcuts": _SHORTCUTS,
        "checkver": {"anyOf": [
            {"type": "string", "format": "regex"},
            {"type": "object", "properties": {
                "github": _URI, "url": _URI, "re": {"type": "string", "format": "regex"},
                "regex": {"type": "string", "format": "regex"}, "jp": _JSONPATH,
                "jsonpath": _JSONPATH, "xpath": {"type": "string"}, "reverse": {"type": "boolean"},
                "replace": {"type": "string"}, "useragent": {"type": "string"}}},
        ]},
        "autoupdate": {"type": "object", "properties": {
            "architecture": {"type": "object",
                             "properties": {a: _AUTOUPDATE_ARCH for a in _ARCHITECTURES}},
            "extract_dir": _ANY_STRINGS,
            "hash": _HASH_EXTRACTION,
            "notes": _ANY_STRINGS,
            "shortcuts": _SHORTCUTS,
            "url": _URI,
        }},
        "notes": _ANY_STRINGS,
        "pre_uninstall": _ANY_STRINGS,
        "url": {**_URI, "notPattern": r"(\$)"},
        "hash": _HASH,
    },
    "required": ["version", "homepage", "license"],
}


def sha256(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


# Top-level names reserved for documentation and tests (RFC 2606, RFC 6761),
# and example.com, .net and .org: winget's address check and download step
# reject them, and Scoop could fetch nothing there.
def reserved_host(address):
    host = (urllib.parse.urlsplit(address).hostname or "").rstrip(".").lower()
    labels = host.split(".")
    if labels[-1] in ("example", "test", "invalid", "localhost", "local"):
        return host
    if ".".join(labels[-2:]) in ("example.com", "example.net", "example.org"):
        return host
    return None


def addresses(doc, where=""):
    """Every http(s) address in a manifest, with where it stands."""
    if isinstance(doc, dict):
        for key, value in doc.items():
            yield from addresses(value, f"{where}.{key}")
    elif isinstance(doc, list):
        for i, value in enumerate(doc):
            yield from addresses(value, f"{where}[{i}]")
    elif isinstance(doc, str) and re.match(r"(?i)https?://", doc):
        yield where, doc


def check_winget_entry(inst, loc, version, errors):
    """The uninstall entry as winget matches it: every installer carries the
    key's name as ProductCode; a value the installer writes that differs
    from the package's is given in AppsAndFeaturesEntries, one that repeats
    it is not, and every entry carries the ProductCode too."""
    key, written = uninstall_entry()
    entries = inst.get("Installers") or []
    for e in entries:
        code = e.get("ProductCode", inst.get("ProductCode"))
        if code != key:
            errors.append(f"installer {e.get('Architecture')}: ProductCode is {code!r}, "
                          f"not the uninstall key's name {key!r}")
    package = {"DisplayName": loc.get("PackageName"), "Publisher": loc.get("Publisher"),
               "DisplayVersion": version}
    written = dict(written, DisplayVersion=written.get("DisplayVersion", "").replace("${VERSION}", version))
    arp = [a for e in [inst] + entries for a in (e.get("AppsAndFeaturesEntries") or [])]
    for field, own in package.items():
        given = {a.get(field) for a in arp if a.get(field) is not None}
        if given and given != {written.get(field)}:
            errors.append(f"installer: AppsAndFeaturesEntries give {field} {sorted(given)}, the "
                          f"installer writes {written.get(field)!r}")
        elif written.get(field) != own and not given:
            errors.append(f"installer: the uninstall entry's {field} {written.get(field)!r} differs from "
                          f"the package's {own!r} and AppsAndFeaturesEntries do not give it")
        elif own in given:
            errors.append(f"installer: AppsAndFeaturesEntries repeat the package's {field} {own!r}")
    for a in arp:
        if a.get("ProductCode") != key:
            errors.append(f"installer: an AppsAndFeaturesEntries entry lacks ProductCode {key!r}")
        if a.get("InstallerType") in (None, inst.get("InstallerType")) and "InstallerType" in a:
            errors.append("installer: AppsAndFeaturesEntries repeat the InstallerType")
    # The community repository asks for both silent modes where the field stands.
    for e in [inst] + entries:
        modes = e.get("InstallModes")
        if modes is not None and not {"silent", "silentWithProgress"} <= set(modes):
            errors.append(f"installer: InstallModes {modes} lack silent or silentWithProgress")


def check_scoop_extras(scoop, dist, archives, errors):
    """What Scoop runs and shows beyond the schema: the step that ends a
    running Swivlet by the loader's own names, the notes, and archives whose
    shortcuts exist and whose library lies in a build folder, so that a new
    version's library has another path than a held one, through the
    "current" junction too."""
    script = "\n".join(scoop.get("pre_uninstall") or [])
    names = loader_names()
    for needed in (f"RegisterWindowMessageW('{names['SWV_SHUTDOWN_MSG']}')",
                   f"'{names['SWV_HOST_MARK_32']}', '{names['SWV_HOST_MARK_64']}'",
                   "PostMessageW([IntPtr]0xffff, $shutdown, [IntPtr]::Zero"):
        if needed not in script:
            errors.append(f"swivlet.json: pre_uninstall does not hold {needed}")
    if not scoop.get("notes"):
        errors.append("swivlet.json: no notes on ending Swivlet before an update")
    libraries = {"64bit": ("swv64", "swv32"), "32bit": ("swv32",)}
    for arch, name in archives.items():
        with zipfile.ZipFile(os.path.join(dist, name)) as z:
            files = set(z.namelist())
        for shortcut in scoop.get("shortcuts", []):
            if shortcut[0].replace("\\", "/") not in files:
                errors.append(f"swivlet.json: shortcut {shortcut[0]} is not in {name}")
        for lib in libraries[arch]:
            root = "" if lib == libraries[arch][0] else "x86/"
            folders = [f for f in files if re.fullmatch(rf"{root}{lib}-[0-9a-f]{{8}}/{lib}\.dll", f)]
            if len(folders) != 1 or f"{root}{lib}.dll" in files:
                errors.append(f"{name}: {root}{lib}.dll does not lie in one build folder: {folders}")


def check_release(dist, version, publish):
    errors = []
    setup = f"Swivlet-{version}-setup.exe"
    archives = {"64bit": f"Swivlet-{version}-win64.zip", "32bit": f"Swivlet-{version}-win32.zip"}

    winget = os.path.join(dist, "winget")
    found = sorted(os.listdir(winget))
    names = ["Swivlet.Swivlet.installer.yaml", "Swivlet.Swivlet.locale.en-US.yaml",
             "Swivlet.Swivlet.yaml"]
    if found != names:
        errors.append(f"winget/ holds {found}, not {names}")
    docs = {}
    for name, kind, rule in (
        ("Swivlet.Swivlet.yaml", "version", WINGET_VERSION),
        ("Swivlet.Swivlet.installer.yaml", "installer", WINGET_INSTALLER),
        ("Swivlet.Swivlet.locale.en-US.yaml", "defaultLocale", WINGET_DEFAULT_LOCALE),
    ):
        doc = load_winget(os.path.join(winget, name), kind, errors)
        check(doc, rule, name, errors)
        docs[kind] = doc
        if isinstance(doc, dict):
            if doc.get("PackageIdentifier") != "Swivlet.Swivlet" or doc.get("PackageVersion") != version:
                errors.append(f"{name}: not Swivlet.Swivlet {version}")
            if doc.get("ManifestVersion") != "1.12.0":
                errors.append(f"{name}: ManifestVersion is not 1.12.0")

    inst = docs["installer"]
    if isinstance(inst, dict):
        if (inst.get("InstallerType"), inst.get("Scope")) != ("nullsoft", "user"):
            errors.append("installer: not a nullsoft installer for the user")
        entries = inst.get("Installers") or []
        # The schema's rule in words: the type at the top or in each entry.
        if not inst.get("InstallerType") and not all(e.get("InstallerType") for e in entries):
            errors.append("installer: InstallerType is given neither at the top nor in each entry")
        if sorted(e.get("Architecture", "") for e in entries) != ["x64", "x86"]:
            errors.append("installer: not one entry each for x86 and x64")
        digest = sha256(os.path.join(dist, setup))
        for e in entries:
            if str(e.get("InstallerSha256", "")).lower() != digest:
                errors.append(f"installer {e.get('Architecture')}: InstallerSha256 is not {setup}'s")
            if not str(e.get("InstallerUrl", "")).endswith("/" + setup):
                errors.append(f"installer {e.get('Architecture')}: InstallerUrl does not name {setup}")
        if isinstance(docs["defaultLocale"], dict):
            check_winget_entry(inst, docs["defaultLocale"], version, errors)

    with open(os.path.join(dist, "scoop", "swivlet.json"), encoding="utf-8") as f:
        scoop = json.load(f)
    check(scoop, SCOOP, "swivlet.json", errors)
    if scoop.get("version") != version:
        errors.append(f"swivlet.json: version is not {version}")
    for arch, name in archives.items():
        entry = scoop.get("architecture", {}).get(arch, {})
        if entry.get("hash") != sha256(os.path.join(dist, name)):
            errors.append(f"swivlet.json {arch}: hash is not {name}'s")
        if not str(entry.get("url", "")).endswith("/" + name):
            errors.append(f"swivlet.json {arch}: url does not name {name}")
    with open(os.path.join(dist, "SHA256SUMS"), encoding="ascii") as f:
        sums = dict(reversed(line.split()) for line in f)
    hash_rule = scoop.get("autoupdate", {}).get("hash", {})
    for name in archives.values():
        line = f"{sums.get(name)}  {name}"
        pattern = hash_rule.get("regex", "").replace("$sha256", "([a-fA-F0-9]{64})")
        pattern = pattern.replace("$basename", re.escape(name))
        found = re.search(pattern, line) if pattern else None
        if not found or found.group(1) != sha256(os.path.join(dist, name)):
            errors.append(f"swivlet.json autoupdate: does not find {name}'s hash in SHA256SUMS")
    check_scoop_extras(scoop, dist, archives, errors)

    if publish:
        for where, doc in [("winget", d) for d in docs.values()] + [("swivlet.json", scoop)]:
            for field, address in addresses(doc, where):
                host = reserved_host(address)
                if host:
                    errors.append(f"{field}: {address} is at the reserved name {host}")
                elif not address.lower().startswith("https://"):
                    errors.append(f"{field}: {address} is not https")
    return errors


def release_env(**settings):
    env = {k: v for k, v in os.environ.items() if not k.startswith("SWV_")}
    env.update(settings)
    return env


def check_publishing(dist, version):
    """A release to publish: refused without real addresses, before it
    builds anything; with them, its manifests pass --publish."""
    errors = []
    real_url = "https://github.com/swivlet/swivlet/releases/download/v{version}/{file}"
    real_home = "https://github.com/swivlet/swivlet/releases"
    with tempfile.TemporaryDirectory() as tmp:
        out = os.path.join(tmp, "out")
        for settings, named, unnamed in (
            ({}, ["SWV_RELEASE_URL", "SWV_HOMEPAGE"], []),
            ({"SWV_RELEASE_URL": "https://swivlet.example/{version}/{file}",
              "SWV_HOMEPAGE": real_home}, ["SWV_RELEASE_URL"], ["SWV_HOMEPAGE"]),
            ({"SWV_RELEASE_URL": real_url, "SWV_HOMEPAGE": "https://www.example.org/"},
             ["SWV_HOMEPAGE"], ["SWV_RELEASE_URL"]),
        ):
            run = subprocess.run([os.path.join(ROOT, "scripts", "release.sh"), "--publish", out],
                                 env=release_env(**settings), capture_output=True, text=True,
                                 timeout=120)
            said = run.stderr
            if (run.returncode == 0 or os.path.exists(out) or not all(n in said for n in named)
                    or any(n in said for n in unnamed)):
                errors.append(f"release.sh --publish with {settings or 'no addresses'}: exit "
                              f"{run.returncode}, said {said.strip()!r}; expected a refusal naming "
                              f"{' and '.join(named)} alone, before writing {out}")

        # The publishing release's manifests, written for the files in dist.
        pub = os.path.join(tmp, "publish")
        os.makedirs(pub)
        for name in ("SHA256SUMS", f"Swivlet-{version}-setup.exe", f"Swivlet-{version}-win32.zip",
                     f"Swivlet-{version}-win64.zip"):
            os.symlink(os.path.join(dist, name), os.path.join(pub, name))
        key, written = uninstall_entry()
        epoch = os.environ.get("SOURCE_DATE_EPOCH") or subprocess.run(
            ["git", "-C", ROOT, "log", "-1", "--format=%ct"], capture_output=True, text=True).stdout.strip()
        subprocess.run([sys.executable, os.path.join(ROOT, "packaging", "manifests.py"), pub, version,
                        written["Publisher"], key, real_url, real_home],
                       env=dict(os.environ, SOURCE_DATE_EPOCH=epoch), check=True)
        errors += [f"publishing release: {e}" for e in check_release(pub, version, publish=True)]
    # The test release's placeholders are what --publish is there to find.
    if not check_release(dist, version, publish=True):
        errors.append("--publish finds nothing wrong with the test release's swivlet.example addresses")
    return errors


def main():
    args = sys.argv[1:]
    publish = args[:1] == ["--publish"]
    args = args[1:] if publish else args
    dist = os.path.abspath(args[0] if args else os.path.join(ROOT, "dist"))
    with open(os.path.join(ROOT, "VERSION"), encoding="ascii") as f:
        version = f.readline().strip()
    errors = check_release(dist, version, publish)
    if not publish:
        errors += check_publishing(dist, version)
    for e in errors:
        print("check-manifests:", e, file=sys.stderr)
    if errors:
        return 1
    if publish:
        print(f"check-manifests: winget and Scoop manifests of {version} pass and are publishable, "
              "hashes match")
    else:
        print(f"check-manifests: winget and Scoop manifests of {version} pass, hashes match; a release "
              "to publish refuses placeholder addresses, and its manifests pass --publish")
    return 0


if __name__ == "__main__":
    sys.exit(main())
