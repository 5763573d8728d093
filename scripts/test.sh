#!/usr/bin/env bash
# Installs what is missing, builds Swivlet and runs every test.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/deps.sh"
"$root/scripts/check-format.sh"
# The release of the last commit, built twice from fresh clones and compared
# byte for byte; the release tests below install and unpack it from dist/.
"$root/scripts/check-release.sh"
# Its winget and Scoop manifests against the rules of their schemas, and the
# same build signed with a throwaway certificate (seconds).
python3 "$root/scripts/check-manifests.py"
python3 "$root/scripts/check-signing.py"
"$root/scripts/build.sh"
cd "$root/build"
ctest --output-on-failure "$@"
# The 64-bit build, with the 32-bit one beside it, and every test again in a
# 64-bit prefix, whose desktop is 64-bit.
"$root/scripts/check-win64.sh"
(cd "$root/build-win64" && ctest --output-on-failure "$@")
# The deliverables built with clang as well: they must stay free of any C
# runtime with either compiler.
"$root/scripts/check-clang.sh"
# A short fuzzing pass over the platform-free code; scripts/fuzz.sh runs
# longer ones.
"$root/scripts/fuzz.sh" "${SWV_FUZZ_SECONDS:-10}"
