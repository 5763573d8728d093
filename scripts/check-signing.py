#!/usr/bin/env python3
"""Signs a release with a throwaway self-signed code-signing certificate and
checks it against the unsigned release: every binary in the archives, the
installer, the binaries inside the installer and its uninstaller carry a
signature that `osslsigncode verify` accepts, and every binary with its
signature removed is byte for byte the unsigned one.

It builds on the release that scripts/check-release.sh built in
build-repro/a (the last commit) and compares with dist/, which holds that
build's artefacts; run check-release.sh first.

    scripts/check-signing.py
"""
import hashlib
import lzma
import os
import shutil
import struct
import subprocess
import sys
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TREE = os.path.join(ROOT, "build-repro", "a")
UNSIGNED = os.path.join(ROOT, "dist")
WORK = os.path.join(ROOT, "build-repro", "signing")


def run(args, **kw):
    return subprocess.run(args, capture_output=True, text=True, timeout=600, **kw)


def nsis_files(setup):
    """The files in an NSIS installer's data, in order: one LZMA stream, as
    SetCompressor /SOLID lzma writes it, of length-prefixed blocks. Signed,
    the uninstaller lies there whole, as !uninstfinalize left it."""
    data = open(setup, "rb").read()
    at = data.find(b"\xef\xbe\xad\xdeNullsoftInst")
    if at < 0:
        raise ValueError("no NSIS data")
    body = data[at + 24:]
    props, (dict_size,) = body[0], struct.unpack_from("<I", body, 1)
    lc, lp, pb = props % 9, props // 9 % 5, props // 45
    raw = lzma.LZMADecompressor(
        format=lzma.FORMAT_RAW,
        filters=[{"id": lzma.FILTER_LZMA1, "dict_size": dict_size, "lc": lc, "lp": lp, "pb": pb}],
    ).decompress(body[5:])
    files, pos = [], 0
    while pos + 4 <= len(raw):
        (size,) = struct.unpack_from("<I", raw, pos)
        size &= 0x7FFFFFFF
        files.append(raw[pos + 4:pos + 4 + size])
        pos += 4 + size
    return files


def main():
    if not os.path.isdir(os.path.join(TREE, "build-release")):
        print("check-signing: no build in build-repro/a: run scripts/check-release.sh first",
              file=sys.stderr)
        return 1
    shutil.rmtree(WORK, ignore_errors=True)
    os.makedirs(WORK)
    cert, key = os.path.join(WORK, "cert.pem"), os.path.join(WORK, "key.pem")
    made = run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                "-subj", "/CN=Swivlet test signing", "-keyout", key, "-out", cert,
                "-addext", "keyUsage=critical,digitalSignature",
                "-addext", "extendedKeyUsage=codeSigning"])
    if made.returncode != 0:
        print(made.stderr, file=sys.stderr)
        return 1
    signed = os.path.join(WORK, "dist")
    env = dict(os.environ, SWV_SIGN_CERT=cert, SWV_SIGN_KEY=key, SWV_RELEASE_REBUILD="1")
    built = run([os.path.join(TREE, "scripts", "release.sh"), signed], env=env)
    if built.returncode != 0:
        print(built.stdout + built.stderr, file=sys.stderr)
        return 1

    errors = []
    scratch = os.path.join(WORK, "scratch")

    def signature_ok(data, what):
        """Verifies DATA's signature; gives DATA without it."""
        for f in (scratch + ".exe", scratch + ".stripped"):
            if os.path.exists(f):
                os.remove(f)
        with open(scratch + ".exe", "wb") as f:
            f.write(data)
        verified = run(["osslsigncode", "verify", "-CAfile", cert, "-in", scratch + ".exe"])
        if verified.returncode != 0 or "Succeeded" not in verified.stdout:
            errors.append(f"{what}: not signed, or its signature does not verify:\n"
                          + verified.stdout[-600:] + verified.stderr[-600:])
            return None
        removed = run(["osslsigncode", "remove-signature", "-in", scratch + ".exe",
                       "-out", scratch + ".stripped"])
        if removed.returncode != 0:
            errors.append(f"{what}: remove-signature failed: {removed.stderr}")
            return None
        with open(scratch + ".stripped", "rb") as f:
            return f.read()

    version = open(os.path.join(ROOT, "VERSION")).readline().strip()
    unsigned_binaries = set()
    for suffix in ("win32", "win64"):
        name = f"Swivlet-{version}-{suffix}.zip"
        with zipfile.ZipFile(os.path.join(UNSIGNED, name)) as u, \
                zipfile.ZipFile(os.path.join(signed, name)) as s:
            if sorted(u.namelist()) != sorted(s.namelist()):
                errors.append(f"{name}: holds other files than the unsigned one")
                continue
            binaries = 0
            for entry in u.namelist():
                plain, data = u.read(entry), s.read(entry)
                if entry.endswith((".exe", ".dll")):
                    binaries += 1
                    unsigned_binaries.add(plain)
                    data = signature_ok(data, f"{name}:{entry}")
                    if data is not None and data != plain:
                        errors.append(f"{name}:{entry}: differs from the unsigned build "
                                      "once its signature is removed")
                elif data != plain:
                    errors.append(f"{name}:{entry}: differs from the unsigned build")
            # The loader and the library; with the 32-bit pair beside them in win64.
            if binaries != {"win32": 2, "win64": 4}[suffix]:
                errors.append(f"{name}: {binaries} binaries, not the expected number")

    setup = os.path.join(signed, f"Swivlet-{version}-setup.exe")
    signature_ok(open(setup, "rb").read(), "the installer")
    # Inside: the four binaries, signed, and the uninstaller, signed as
    # NSIS built it; NSIS's own plug-ins stay as Debian ships them.
    inside_signed = 0
    for data in nsis_files(setup):
        if data[:2] != b"MZ":
            continue
        has_signature = b"Swivlet test signing" in data
        if not has_signature:
            continue
        inside_signed += 1
        stripped = signature_ok(data, f"the installer's program {inside_signed}")
        if stripped is not None and stripped in unsigned_binaries:
            unsigned_binaries.discard(stripped)
    if unsigned_binaries:
        errors.append(f"the installer lacks {len(unsigned_binaries)} of the signed binaries")
    if inside_signed != 5:
        errors.append(f"the installer holds {inside_signed} signed programs, not the four "
                      "binaries and the uninstaller")

    with open(os.path.join(signed, "SHA256SUMS")) as f:
        for line in f:
            digest, name = line.split()
            with open(os.path.join(signed, name), "rb") as g:
                if hashlib.sha256(g.read()).hexdigest() != digest:
                    errors.append(f"SHA256SUMS: {name} is not the signed file")
    manifests = run([sys.executable, os.path.join(ROOT, "scripts", "check-manifests.py"), signed])
    if manifests.returncode != 0:
        errors.append("the signed release's manifests:\n" + manifests.stderr)

    for e in errors:
        print("check-signing:", e, file=sys.stderr)
    if errors:
        return 1
    print("check-signing: every binary, the installer and its uninstaller are signed and verify; "
          "without their signatures the binaries are the unsigned build's")
    return 0


if __name__ == "__main__":
    sys.exit(main())
