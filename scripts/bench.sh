#!/usr/bin/env bash
# Builds Swivlet and runs its benchmark under Wine on the tests' private
# display: each figure a ratio against a baseline measured in the same run.
#   ./scripts/bench.sh [TRIALS] [32|64]   (default 11 trials, every width
#                                          that runs on this machine)
# The 32-bit build runs in a 32-bit prefix, the 64-bit one in a 64-bit
# prefix; a machine that runs no 32-bit code measures the 64-bit build only.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
trials="${1:-11}"
"$root/scripts/deps.sh"
# shellcheck source=widths.sh
. "$root/scripts/widths.sh"
swv_probe_widths

widths="${2:-}"
if [ -z "$widths" ]; then
    widths=64
    [ "$SWV_RUNS_32BIT" = 1 ] && widths="32 64"
fi
for width in $widths; do
    if [ "$width" = 32 ] && [ "$SWV_RUNS_32BIT" != 1 ]; then
        echo "bench: the 32-bit build cannot be measured: $SWV_NO_32BIT_WHY" >&2
        exit 1
    fi
done

for width in $widths; do
    if [ "$width" = 32 ]; then
        "$root/scripts/build.sh" >/dev/null
        build="$root/build"
    else
        "$root/scripts/check-win64.sh" >/dev/null
        build="$root/build-win64"
    fi
    echo "bench: the $width-bit build, in a $width-bit prefix, $trials trials"
    harness="$build/harness/swv-wine"
    "$harness" start
    "$harness" run "$build/bin/swvbench.exe" --trials "$trials" || {
        "$harness" stop
        exit 1
    }
    "$harness" stop
done
