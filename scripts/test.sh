#!/usr/bin/env bash
# Installs what is missing, builds Swivlet and runs every test that this
# machine can run. Some machines run no 32-bit code at all: there the 32-bit
# build is still built and checked without running it, and everything of the
# 64-bit build runs. Before the first suite, and again at the end, it says
# which suites run here and which cannot, and why.
#   ./scripts/test.sh [CTEST ARGS...]
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/deps.sh" || exit 1
# shellcheck source=widths.sh
. "$root/scripts/widths.sh"
swv_probe_widths

plan=() # "name|why" for each suite; why is empty for a suite that runs
add() { plan+=("$1|${2:-}"); }
add "format: every C and C++ source as clang-format writes it"
# The release of the last commit, built twice from fresh clones and compared
# byte for byte; the release tests below install and unpack it from dist/.
add "release: reproducible, both widths and the installer"
# Its winget and Scoop manifests against the rules of their schemas, and the
# same build signed with a throwaway certificate (seconds).
add "manifests: winget and Scoop"
add "signing: a throwaway certificate"
add "32-bit build: image, exports, imports, resources, version, manifest"
if [ "$SWV_RUNS_32BIT" = 1 ]; then
    add "32-bit suite: unit, in-process, end-to-end and release tests under Wine"
    add "64-bit suite: unit, in-process, end-to-end and release tests under Wine, with the 32-bit programs beside them"
else
    add "32-bit suite: unit, in-process, end-to-end and release tests under Wine" "$SWV_NO_32BIT_WHY"
    add "64-bit suite: unit, in-process, end-to-end and release tests under Wine (the installer with NSIS's 64-bit stub)"
    add "64-bit tests beside a 32-bit program: the partner loader, programs of the other width, the shipped x86 installer" \
        "$SWV_NO_32BIT_WHY"
fi
add "clang build: both binaries free of any C runtime"
add "fuzzing: each target for ${SWV_FUZZ_SECONDS:-10} seconds"

declare -A result=()
not_run32="" # the 64-bit tests left out, by name
say_plan() {
    local entry name why
    for entry in "${plan[@]}"; do
        name="${entry%%|*}"
        why="${entry#*|}"
        name="${name%%:*}"
        if [ -n "$why" ]; then
            echo "test: not run: $name: $why"
        else
            echo "test: ${result[$name]:-runs}: ${entry%%|*}"
        fi
    done
    [ -n "$not_run32" ] && echo "test: not run here, needing a 32-bit program: $not_run32"
}
summary() {
    local passed=0 failed=0 skipped=0 entry name
    for entry in "${plan[@]}"; do
        name="${entry%%|*}"
        name="${name%%:*}"
        case "${result[$name]:-}" in
        passed) passed=$((passed + 1)) ;;
        FAILED) failed=$((failed + 1)) ;;
        *) skipped=$((skipped + 1)) ;;
        esac
    done
    echo
    say_plan
    echo "suites: $passed passed, $failed failed, $skipped skipped"
}

echo "test: 32-bit code runs here: $([ "$SWV_RUNS_32BIT" = 1 ] && echo yes || echo "no: $SWV_NO_32BIT_WHY")"
say_plan
trap summary EXIT
status=0
# Runs one suite and records its outcome; a failed suite does not stop the
# ones after it.
suite() {
    local name="$1"
    shift
    echo
    echo "=== test: $name"
    if "$@"; then
        result[$name]=passed
    else
        result[$name]=FAILED
        status=1
    fi
}

# Built everywhere and read without running it: where 32-bit code runs,
# its Wine suite follows.
check_build32() {
    "$root/scripts/build.sh" && python3 "$root/scripts/check-image.py" "$root/build/bin"
}

# Where no 32-bit code runs, the tests that start a 32-bit program are left
# out by their label, and named.
suite64() {
    local dir="$root/build-win64"
    "$root/scripts/check-win64.sh" || return 1
    if [ "$SWV_RUNS_32BIT" = 1 ]; then
        ctest --test-dir "$dir" --output-on-failure "$@"
    else
        not_run32="$(ctest --test-dir "$dir" -N -L needs32 | sed -n 's/^ *Test *#[0-9]*: \(.*\..*\)/\1/p' |
            tr '\n' ' ')"
        [ -n "$not_run32" ] || { echo "test: no 64-bit test is labelled needs32" >&2; return 1; }
        ctest --test-dir "$dir" --output-on-failure -LE needs32 "$@"
    fi
}

suite format "$root/scripts/check-format.sh"
suite release "$root/scripts/check-release.sh"
suite manifests python3 "$root/scripts/check-manifests.py"
suite signing python3 "$root/scripts/check-signing.py"
suite "32-bit build" check_build32
if [ "$SWV_RUNS_32BIT" = 1 ]; then
    suite "32-bit suite" ctest --test-dir "$root/build" --output-on-failure "$@"
fi
# The 64-bit build, with the 32-bit one beside it, and every test again in a
# 64-bit prefix, whose desktop is 64-bit.
suite "64-bit suite" suite64 "$@"
# The deliverables built with clang as well: they must stay free of any C
# runtime with either compiler.
suite "clang build" "$root/scripts/check-clang.sh"
# A short fuzzing pass over the platform-free code; scripts/fuzz.sh runs
# longer ones.
suite fuzzing "$root/scripts/fuzz.sh" "${SWV_FUZZ_SECONDS:-10}"
exit "$status"
