#!/usr/bin/env python3
"""Checks the two deliverables of one build without running them.

    scripts/check-image.py [--root DIR] [--def FILE] BIN_DIR

BIN_DIR holds swv32load.exe and swv32.build or swv64.build, whose first line
names the folder of the library. Image type, the library's image base, entry
point, exports and imports, and both binaries' resources are read from the
files; the expectations come from the sources (menulib/swv32.def,
menulib/CMakeLists.txt, VERSION), so a machine that runs no code of this
width still checks what its tests would. Prints one line per fault and exits
1, or one summary line per binary.
"""
import argparse
import hashlib
import os
import re
import struct
import sys
import xml.etree.ElementTree as ET

RT_ICON, RT_DIALOG, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 5, 14, 16, 24
GUI = 2
faults = []


def fault(name, text):
    faults.append(f"check-image: {name}: {text}")


class PE:
    """The headers and directories of a PE image, read from its file."""

    def __init__(self, path):
        self.name = os.path.basename(path)
        with open(path, "rb") as f:
            self.data = data = f.read()
        if data[:2] != b"MZ":
            raise ValueError("no MZ header")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        self.machine, nsect, _, _, _, optsize, self.flags = struct.unpack_from("<HHIIIHH", data, pe + 4)
        opt = pe + 24
        self.magic, = struct.unpack_from("<H", data, opt)
        if self.magic not in (0x10B, 0x20B):
            raise ValueError(f"unknown optional header magic {self.magic:#x}")
        plus = self.magic == 0x20B
        self.entry, = struct.unpack_from("<I", data, opt + 16)
        self.base, = struct.unpack_from("<Q" if plus else "<I", data, opt + (24 if plus else 28))
        self.subsystem, = struct.unpack_from("<H", data, opt + 68)
        ndirs, = struct.unpack_from("<I", data, opt + (108 if plus else 92))
        dirs = opt + (112 if plus else 96)
        self.dirs = [struct.unpack_from("<II", data, dirs + 8 * i) for i in range(min(ndirs, 16))]
        self.dirs += [(0, 0)] * (16 - len(self.dirs))
        table = opt + optsize
        self.sections = [struct.unpack_from("<IIII", data, table + 40 * i + 8) for i in range(nsect)]

    def off(self, rva):
        for vsize, va, rawsize, raw in self.sections:
            if va <= rva < va + max(vsize, rawsize):
                return raw + rva - va
        raise ValueError(f"{self.name}: RVA {rva:#x} lies in no section")

    def u16(self, rva):
        return struct.unpack_from("<H", self.data, self.off(rva))[0]

    def u32(self, rva):
        return struct.unpack_from("<I", self.data, self.off(rva))[0]

    def cstr(self, rva):
        o = self.off(rva)
        return self.data[o:self.data.index(b"\0", o)].decode("latin-1")

    def exports(self):
        """(DLL name, {ordinal: name}, ordinals exported by number only, {name: RVA})."""
        rva, size = self.dirs[0]
        if not size:
            return None, {}, [], {}
        base, nfunc, nname, funcs, names, ords = (self.u32(rva + 16 + 4 * i) for i in range(6))
        named = {}
        addr = {}
        for i in range(nname):
            name = self.cstr(self.u32(names + 4 * i))
            index = self.u16(ords + 2 * i)
            named[base + index] = name
            addr[name] = self.u32(funcs + 4 * index)
        unnamed = [base + i for i in range(nfunc) if self.u32(funcs + 4 * i) and base + i not in named]
        return self.cstr(self.u32(rva + 12)), named, unnamed, addr

    def imports(self):
        """Names of the imported and delay-imported DLLs, lower case."""
        found = []
        for d, step, at in ((1, 20, 12), (13, 32, 4)):
            rva, size = self.dirs[d]
            while size and any(self.u32(rva + 4 * i) for i in range(step // 4)):
                found.append(self.cstr(self.u32(rva + at)).lower())
                rva += step
        return found

    def resources(self):
        """{type: {name: {language: bytes}}}; names by text as strings."""
        root, size = self.dirs[2]
        if not size:
            return {}

        def level(rva):
            named, ids = struct.unpack_from("<HH", self.data, self.off(rva + 12))
            for i in range(named + ids):
                key, target = struct.unpack_from("<II", self.data, self.off(rva + 16 + 8 * i))
                if key & 0x80000000:
                    o = self.off(root + (key & 0x7FFFFFFF))
                    n, = struct.unpack_from("<H", self.data, o)
                    key = self.data[o + 2:o + 2 + 2 * n].decode("utf-16-le")
                yield key, target

        def tree(rva):
            out = {}
            for key, target in level(rva):
                if target & 0x80000000:
                    out[key] = tree(root + (target & 0x7FFFFFFF))
                else:
                    data_rva, data_size = struct.unpack_from("<II", self.data, self.off(root + target))
                    o = self.off(data_rva)
                    out[key] = self.data[o:o + data_size]
            return out

        return tree(root)


def version_node(data, o):
    """(key, value bytes, children) of one node of a version block."""
    length, vlen, vtype = struct.unpack_from("<HHH", data, o)
    end = data.index(b"\0\0", o + 6)
    while (end - o - 6) % 2:  # a UTF-16 terminator lies on an even offset
        end = data.index(b"\0\0", end + 1)
    key = data[o + 6:end].decode("utf-16-le")
    v = (end + 2 + 3) & ~3
    vbytes = vlen * 2 if vtype == 1 else vlen
    value = data[v:v + vbytes]
    c, children = (v + vbytes + 3) & ~3, []
    while c < o + length:
        children.append(version_node(data, c))
        c = (c + struct.unpack_from("<H", data, c)[0] + 3) & ~3
    return key, value, children


def check_version(pe, res, numbers, text):
    blocks = [b for names in res.get(RT_VERSION, {}).values() for b in names.values()]
    if len(blocks) != 1:
        return fault(pe.name, f"{len(blocks)} version blocks, not one")
    key, fixed, children = version_node(blocks[0], 0)
    if key != "VS_VERSION_INFO" or len(fixed) < 52 or struct.unpack_from("<I", fixed)[0] != 0xFEEF04BD:
        return fault(pe.name, "the version block has no VS_FIXEDFILEINFO")
    file_ms, file_ls, prod_ms, prod_ls = struct.unpack_from("<IIII", fixed, 8)
    want = ((numbers[0] << 16) | numbers[1], (numbers[2] << 16) | numbers[3])
    for what, got in (("file", (file_ms, file_ls)), ("product", (prod_ms, prod_ls))):
        if got != want:
            shown = f"{got[0] >> 16}.{got[0] & 0xFFFF}.{got[1] >> 16}.{got[1] & 0xFFFF}"
            fault(pe.name, f"fixed {what} version {shown}, not {text}")
    sub = {k: kids for k, _, kids in children}
    # Windows reads the string table that the Translation value names.
    var = {k: v for k, v, _ in sub.get("VarFileInfo", [])}.get("Translation", b"")
    table = "%04X%04X" % struct.unpack_from("<HH", var) if len(var) >= 4 else "?"
    strings = {k: kids for k, _, kids in sub.get("StringFileInfo", [])}.get(table)
    if strings is None:
        return fault(pe.name, f"no StringFileInfo table {table} as VarFileInfo's Translation names")
    values = {k: v.decode("utf-16-le").split("\0")[0] for k, v, _ in strings}
    for name, expected in (("FileVersion", text), ("ProductVersion", text), ("OriginalFilename", pe.name)):
        if values.get(name) != expected:
            fault(pe.name, f"StringFileInfo {name} is {values.get(name)!r}, not {expected!r}")


NS = {"v1": "urn:schemas-microsoft-com:asm.v1", "v3": "urn:schemas-microsoft-com:asm.v3",
      "ws05": "http://schemas.microsoft.com/SMI/2005/WindowsSettings",
      "ws16": "http://schemas.microsoft.com/SMI/2016/WindowsSettings"}


def check_manifest(name, text):
    try:
        root = ET.fromstring(text)
    except ET.ParseError as e:
        return fault(name, f"manifest is not XML: {e}")
    if root.tag != "{%s}assembly" % NS["v1"]:
        return fault(name, f"manifest root is {root.tag}, not asm.v1 assembly")
    level = root.find("v3:trustInfo/v3:security/v3:requestedPrivileges/v3:requestedExecutionLevel", NS)
    if level is None or level.get("level") != "asInvoker" or level.get("uiAccess") != "false":
        fault(name, "manifest asks for no asInvoker level with uiAccess false (asm.v3 trustInfo)")
    settings = "v3:application/v3:windowsSettings/"
    aware = root.find(settings + "ws05:dpiAware", NS)
    if aware is None or (aware.text or "").strip() != "true":
        fault(name, "manifest has no dpiAware true in the 2005 WindowsSettings namespace")
    awareness = root.find(settings + "ws16:dpiAwareness", NS)
    if awareness is None or (awareness.text or "").strip() != "PerMonitorV2, System":
        fault(name, 'manifest has no dpiAwareness "PerMonitorV2, System" '
                    'in the 2016 WindowsSettings namespace')
    ids = root.findall("v1:dependency/v1:dependentAssembly/v1:assemblyIdentity", NS)
    # The system binds no controls of version 6 without the exact name, type and key.
    if not any(i.get("name") == "Microsoft.Windows.Common-Controls" and i.get("type") == "win32"
               and i.get("version", "").split(".")[0] == "6"
               and i.get("publicKeyToken") == "6595b64144ccf1df" for i in ids):
        fault(name, "manifest depends on no Microsoft.Windows.Common-Controls version 6")


def read_def(path):
    """(LIBRARY name, {ordinal: export name}) of a module-definition file."""
    library, exports, section = None, {}, None
    for n, line in enumerate(open(path, encoding="utf-8"), 1):
        line = line.split(";")[0].strip()
        m = re.match(r'LIBRARY\s+"?([^"\s]+)"?$', line)
        if m:
            library = m.group(1)
        elif line == "EXPORTS":
            section = "EXPORTS"
        elif line and section:
            # NAME [= INTERNAL] @ORDINAL; anything more (NONAME, DATA) is not handled.
            m = re.fullmatch(r"([A-Za-z_]\w*)(\s*=\s*[A-Za-z_]\w*)?\s+@(\d+)", line)
            if not m:
                sys.exit(f"check-image: {path}:{n}: cannot read export line {line!r}")
            exports[int(m.group(3))] = m.group(1)
    if not library or not exports:
        sys.exit(f"check-image: {path} names no LIBRARY or no exports")
    return library, exports


def read_bases(path):
    """The library's fixed image bases, {32: base, 64: base}, as the build sets them."""
    text = open(path, encoding="utf-8").read()
    option = r"\s*target_link_options\([^)]*--image-base,(0x[0-9a-fA-F]+)\)\s*"
    m = re.search(r"if\(CMAKE_SIZEOF_VOID_P EQUAL 4\)" + option + r"else\(\)" + option, text)
    if not m:
        sys.exit(f"check-image: cannot find the 32- and 64-bit image bases in {path}")
    return {32: int(m.group(1), 16), 64: int(m.group(2), 16)}


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    ap = argparse.ArgumentParser(description="Checks the loader and library images of one build.")
    ap.add_argument("bin_dir")
    ap.add_argument("--root", default=root, help="source tree to read the expectations from")
    ap.add_argument("--def", dest="def_file",
                    help="module-definition file (default ROOT/menulib/swv32.def)")
    args = ap.parse_args()
    def_file = args.def_file or os.path.join(args.root, "menulib", "swv32.def")

    widths = [w for w in (32, 64) if os.path.isfile(os.path.join(args.bin_dir, f"swv{w}.build"))]
    if len(widths) != 1:
        sys.exit(f"check-image: {args.bin_dir} holds {len(widths)} of swv32.build and swv64.build, "
                 "not one")
    width = widths[0]
    prefix = f"swv{width}"
    folder = open(os.path.join(args.bin_dir, prefix + ".build"), encoding="utf-8").readline().strip()
    lib_path = os.path.join(args.bin_dir, folder, prefix + ".dll")
    exe_path = os.path.join(args.bin_dir, "swv32load.exe")

    library, def_exports = read_def(def_file)
    base = read_bases(os.path.join(args.root, "menulib", "CMakeLists.txt"))[width]
    version = open(os.path.join(args.root, "VERSION"), encoding="utf-8").readline().strip()
    if not re.fullmatch(r"\d+\.\d+\.\d+\.\d+", version):
        sys.exit(f"check-image: VERSION holds {version!r}, not four numbers")
    numbers = [int(x) for x in version.split(".")]

    images = {}
    for path in (lib_path, exe_path):
        try:
            images[path] = PE(path)
        except (OSError, ValueError, struct.error) as e:
            sys.exit(f"check-image: {path}: not a readable PE image: {e}")
    lib, exe = images[lib_path], images[exe_path]

    # The loader finds its build's library by the folder name, which is
    # derived from the library's bytes.
    digest = hashlib.sha256(lib.data).hexdigest()[:8]
    if folder != f"{prefix}-{digest}":
        fault(lib.name, f"lies in {folder}, not in {prefix}-{digest} named after its bytes")

    machine, magic = (0x14C, 0x10B) if width == 32 else (0x8664, 0x20B)
    for pe, dll in ((lib, True), (exe, False)):
        if (pe.machine, pe.magic) != (machine, magic):
            fault(pe.name, f"machine {pe.machine:#x} magic {pe.magic:#x}, "
                           f"not {machine:#x} {magic:#x} of a {width}-bit build")
        if bool(pe.flags & 0x2000) != dll:
            fault(pe.name, "is not a DLL" if dll else "is a DLL")
        if pe.subsystem != GUI:
            fault(pe.name, f"subsystem {pe.subsystem}, not Windows GUI ({GUI})")
        imports = sorted(pe.imports())
        if imports != ["kernel32.dll", "user32.dll"]:
            fault(pe.name, f"imports {', '.join(imports) or 'nothing'}, "
                           "not exactly kernel32.dll and user32.dll")

    # A base of its own keeps the library out of the way of the system's
    # libraries, and the same in every build.
    if lib.base != base:
        fault(lib.name, f"image base {lib.base:#x}, not {base:#x} as menulib/CMakeLists.txt sets")

    dll_name, named, unnamed, addr = lib.exports()
    if dll_name != library:
        fault(lib.name, f"export DLL name {dll_name!r}, not {library!r} as the .def says")
    for ordinal in sorted(set(named) | set(def_exports)):
        got, want = named.get(ordinal), def_exports.get(ordinal)
        if got != want:
            # In 32-bit a stdcall name decorated with @N is not the one callers ask for.
            fault(lib.name, f"ordinal {ordinal} exports {got or 'nothing'}, not {want or 'nothing'}")
    if unnamed:
        fault(lib.name, f"ordinals {unnamed} exported by number only, not in the .def")
    # The module's entry is the exported procedure itself: no C runtime starts first.
    if "DllEntryPoint" not in def_exports.values():
        fault(lib.name, "the .def exports no DllEntryPoint")
    elif addr.get("DllEntryPoint") != lib.entry:
        fault(lib.name, f"entry point {lib.entry:#x} is not the exported DllEntryPoint "
                        f"({addr.get('DllEntryPoint', 0):#x})")

    loader_types = [RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST]
    for pe, want in ((lib, [RT_DIALOG, RT_VERSION]), (exe, loader_types)):
        res = pe.resources()
        check_version(pe, res, numbers, version)
        types = sorted(res)
        if types != want:
            # A manifest in the library would override the DPI and controls
            # choices of every program it is loaded into.
            fault(pe.name, f"resource types {types}, not {want}")
    res = exe.resources()
    manifests = res.get(RT_MANIFEST, {})
    if list(manifests) != [1] or len(manifests[1]) != 1:
        fault(exe.name, "holds not exactly one manifest, id 1 in one language: "
                        + str({k: list(v) for k, v in manifests.items()}))
    if 1 in manifests:
        check_manifest(exe.name, next(iter(manifests[1].values())))
    groups = [d for names in res.get(RT_GROUP_ICON, {}).values() for d in names.values()]
    if len(groups) != 1:
        fault(exe.name, f"{len(groups)} group icons, not one")
    else:
        _, kind, count = struct.unpack_from("<HHH", groups[0])
        if kind != 1 or count != 1:
            fault(exe.name, f"group icon of type {kind} with {count} images, not one icon image")
        else:
            w, h, colours, _, _, bits, _, icon_id = struct.unpack_from("<BBBBHHIH", groups[0], 6)
            if (w, h, colours, bits) != (32, 32, 16, 4):
                fault(exe.name, f"icon image {w}x{h}, {colours} colours, {bits} bits, "
                                "not 32x32 in 16 colours (4 bits)")
            if icon_id not in res.get(RT_ICON, {}):
                fault(exe.name, f"group icon names icon {icon_id}, which is missing")

    if faults:
        print("\n".join(faults), file=sys.stderr)
        return 1
    print(f"check-image: {lib.name} in {folder}: {width}-bit DLL at {lib.base:#x}, entry DllEntryPoint, "
          f"{len(named)} exports as in {os.path.basename(def_file)}, imports kernel32 and user32, "
          f"version {version}")
    print(f"check-image: swv32load.exe: {width}-bit GUI program, imports kernel32 and user32, "
          f"version {version}, manifest and 32x32 16-colour icon")
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except (ValueError, IndexError, struct.error, UnicodeDecodeError) as e:
        # A table pointing outside the file is a fault, not a crash.
        sys.exit(f"check-image: malformed image: {e}")
