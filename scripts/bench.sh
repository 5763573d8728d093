#!/usr/bin/env bash
# Builds Swivlet and runs its benchmark under Wine on the tests' private
# display: each figure a ratio against a baseline measured in the same run.
#   ./scripts/bench.sh [TRIALS]     (default 11)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/deps.sh"
"$root/scripts/build.sh" >/dev/null
harness="$root/build/harness/swv-wine"
"$harness" start
trap '"$harness" stop' EXIT
"$harness" run "$root/build/bin/swvbench.exe" --trials "${1:-11}"
