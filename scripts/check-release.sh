#!/usr/bin/env bash
# Builds the release of the last commit twice, from fresh clones in two
# folders of different path lengths, and fails unless every artefact,
# SHA256SUMS and the manifests come out byte for byte the same. The first build's artefacts
# are left in dist/ (or OUTDIR) for the tests. Uncommitted changes are in
# neither build.
#   ./scripts/check-release.sh [OUTDIR]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-$root/dist}"
"$root/scripts/deps.sh"

work="$root/build-repro"
rm -rf "$work"
a="$work/a"
b="$work/second/clone with a longer path"
commit="$(git -C "$root" rev-parse HEAD)"
for dir in "$a" "$b"; do
    git clone -q --no-checkout "$root" "$dir"
    git -C "$dir" -c advice.detachedHead=false checkout -q "$commit"
done
# Each build gets one core: the two run side by side.
CMAKE_BUILD_PARALLEL_LEVEL=1 "$a/scripts/release.sh" "$a/dist" >"$work/a.log" 2>&1 &
pid_a=$!
CMAKE_BUILD_PARALLEL_LEVEL=1 "$b/scripts/release.sh" "$b/dist" >"$work/b.log" 2>&1 || {
    cat "$work/b.log" >&2
    exit 1
}
wait "$pid_a" || {
    cat "$work/a.log" >&2
    exit 1
}

status=0
count=0
while IFS= read -r name; do
    count=$((count + 1))
    if ! cmp "$a/dist/$name" "$b/dist/$name"; then
        status=1
    fi
done < <(cd "$a/dist" && find . -type f | sort)
# The installer, two archives, SHA256SUMS, winget's three files and Scoop's.
if [ "$count" -ne 8 ] || [ "$(find "$b/dist" -type f | wc -l)" -ne 8 ]; then
    echo "check-release: expected eight artefacts in each build" >&2
    (cd "$work" && find a/dist second -path '*/dist/*' -type f) >&2
    status=1
fi
if [ "$status" -ne 0 ]; then
    echo "check-release: the two builds differ" >&2
    exit 1
fi
mkdir -p "$out"
rm -rf "$out/winget" "$out/scoop"
cp -r "$a/dist"/. "$out/"
echo "check-release: two builds of $(git -C "$root" log -1 --format=%h) from different folders are identical:"
cat "$out/SHA256SUMS"
