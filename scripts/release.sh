#!/usr/bin/env bash
# Builds a release from a clean state: both widths in build-release/, and
# into dist/ (or OUTDIR)
#   Swivlet-<version>-win32.zip   the 32-bit build
#   Swivlet-<version>-win64.zip   both builds, as 64-bit Windows runs them
#   Swivlet-<version>-setup.exe   the per-user installer
#   SHA256SUMS
#   winget/                       winget's manifest (three files)
#   scoop/swivlet.json            Scoop's manifest of the archives
# The same commit gives the same bytes wherever it is built: times come from
# the last commit (SOURCE_DATE_EPOCH, when not set already).
#   ./scripts/release.sh [--publish] [OUTDIR]
# --publish: a release to publish, which refuses to start without the two
# addresses below; without it they default to the reserved swivlet.example,
# for testing.
# Settings, from the environment:
#   SWV_RELEASE_URL     where a release's files are published, {version} and
#                       {file} filled in; the manifests point there
#   SWV_HOMEPAGE        the project's page, which lists the releases' files
#   SWV_SIGN_CERT, SWV_SIGN_KEY   an Authenticode certificate (chain) and its
#                       key, PEM or DER: every binary and the installer are
#                       signed (packaging/sign.sh has the rest)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
publish=0
if [ "${1:-}" = --publish ]; then
    publish=1
    shift
fi
out="${1:-$root/dist}"
"$root/scripts/deps.sh"
# Before anything is built or deleted: a missing address costs nothing yet.
if [ "$publish" = 1 ]; then
    python3 "$root/packaging/manifests.py" --check-publish
fi

version="$(head -n1 "$root/VERSION")"
# The reserved .example names until the project has its place.
default_url='https://swivlet.example/releases/{version}/{file}'
release_url="${SWV_RELEASE_URL:-$default_url}"
homepage="${SWV_HOMEPAGE:-https://swivlet.example/}"
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH="$(git -C "$root" log -1 --format=%ct)"
fi
export SOURCE_DATE_EPOCH LC_ALL=C TZ=UTC
if [ -n "$(git -C "$root" status --porcelain --untracked-files=no 2>/dev/null)" ]; then
    echo "release: the working tree has uncommitted changes; they are in this release" >&2
fi

work="$root/build-release"
# SWV_RELEASE_REBUILD=1 builds on what an earlier run built, for the tests'
# signed release; a release proper starts clean.
if [ "${SWV_RELEASE_REBUILD:-}" = 1 ]; then
    rm -rf "$work/bin" "$work/docs" "$work/stage"
else
    rm -rf "$work"
fi
mkdir -p "$work" "$out"
out="$(cd "$out" && pwd)"
for arch in i686 x86_64; do
    cmake -S "$root" -B "$work/$arch" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-$arch.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DSWV_BUILD_TESTS=OFF >/dev/null
    cmake --build "$work/$arch" -j"${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}" --target swv32 swv32load \
        >/dev/null
done
lib32="$(head -n1 "$work/i686/bin/swv32.build")"
lib64="$(head -n1 "$work/x86_64/bin/swv64.build")"
bin32="$work/bin/i686"
bin64="$work/bin/x86_64"
mkdir -p "$bin32/$lib32" "$bin64/$lib64"
cp "$work/i686/bin/swv32load.exe" "$bin32/"
cp "$work/i686/bin/$lib32/swv32.dll" "$bin32/$lib32/"
cp "$work/x86_64/bin/swv32load.exe" "$bin64/"
cp "$work/x86_64/bin/$lib64/swv64.dll" "$bin64/$lib64/"

# Signed copies, so that the archives and the installer take the signed
# files. A build's folder keeps the name of its unsigned bytes: the
# signature changes no code.
sign=()
if [ -n "${SWV_SIGN_CERT:-}" ]; then
    if [ -z "${SWV_SIGN_KEY:-}" ]; then
        echo "release: SWV_SIGN_CERT is set but SWV_SIGN_KEY, its key, is not" >&2
        exit 1
    fi
    for f in "$bin32/swv32load.exe" "$bin32/$lib32/swv32.dll" "$bin64/swv32load.exe" \
        "$bin64/$lib64/swv64.dll"; do
        "$root/packaging/sign.sh" "$f"
    done
    sign=(-DSIGN="$root/packaging/sign.sh")
fi

# The user's guide and the licence with Windows line ends.
docs="$work/docs"
mkdir -p "$docs"
sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' "$root/packaging/README.txt" >"$docs/README.txt"
sed -e 's/$/\r/' "$root/LICENSE" >"$docs/LICENSE.txt"

# Each build's library lies in a folder of its own beside its loader, named
# after the library's bytes (cmake/stage_library.cmake).
stage32="$work/stage/win32"
stage64="$work/stage/win64"
mkdir -p "$stage32/$lib32" "$stage64/$lib64" "$stage64/x86/$lib32"
cp "$bin32/swv32load.exe" "$docs/README.txt" "$docs/LICENSE.txt" "$stage32/"
cp "$bin32/$lib32/swv32.dll" "$stage32/$lib32/"
cp "$bin64/swv32load.exe" "$docs/README.txt" "$docs/LICENSE.txt" "$stage64/"
cp "$bin64/$lib64/swv64.dll" "$stage64/$lib64/"
cp "$bin32/swv32load.exe" "$stage64/x86/"
cp "$bin32/$lib32/swv32.dll" "$stage64/x86/$lib32/"

name="Swivlet-$version"
rm -rf "$out/$name-win32.zip" "$out/$name-win64.zip" "$out/$name-setup.exe" "$out/SHA256SUMS" \
    "$out/winget" "$out/scoop"
python3 "$root/packaging/zip.py" "$out/$name-win32.zip" "$stage32"
python3 "$root/packaging/zip.py" "$out/$name-win64.zip" "$stage64"
makensis -V2 -DVERSION="$version" -DBIN32="$bin32" -DLIB32="$lib32" -DBIN64="$bin64" \
    -DLIB64="$lib64" -DDOCS="$docs" ${sign[@]+"${sign[@]}"} \
    -DOUTFILE="$out/$name-setup.exe" "$root/packaging/swivlet.nsi"
if [ "${#sign[@]}" -ne 0 ]; then
    "$root/packaging/sign.sh" "$out/$name-setup.exe"
fi
(cd "$out" && sha256sum "$name-setup.exe" "$name-win32.zip" "$name-win64.zip" >SHA256SUMS)
publisher="$(sed -n 's/^!define PUBLISHER "\(.*\)"$/\1/p' "$root/packaging/swivlet.nsi")"
# The uninstall key's name, by which winget finds an installed Swivlet.
product_code="$(sed -n 's/^!define UNINST_KEY ".*\\\(.*\)"$/\1/p' "$root/packaging/swivlet.nsi")"
python3 "$root/packaging/manifests.py" "$out" "$version" "$publisher" "$product_code" \
    "$release_url" "$homepage"
echo "release: $out"
cat "$out/SHA256SUMS"
