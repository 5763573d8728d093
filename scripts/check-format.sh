#!/usr/bin/env bash
# Checks that every C and C++ source in the repository is as clang-format
# (.clang-format) writes it; prints the files that are not.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bad=()
while IFS= read -r f; do
    clang-format --dry-run --Werror "$f" >/dev/null 2>&1 || bad+=("$f")
done < <(git ls-files '*.c' '*.cpp' '*.h')
if [ "${#bad[@]}" -ne 0 ]; then
    echo "check-format: not formatted: ${bad[*]} (run clang-format -i on them)" >&2
    exit 1
fi
echo "check-format: $(git ls-files '*.c' '*.cpp' '*.h' | wc -l) sources formatted"
