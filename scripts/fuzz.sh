#!/usr/bin/env bash
# Builds the libFuzzer targets natively with clang in build-fuzz/ and runs
# each for SECONDS seconds (default 600), starting from the seeds in
# fuzz/corpus/. Any crash, sanitizer report or failed check fails the run;
# the input that caused it is left in build-fuzz/artifacts/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-600}"
build="$root/build-fuzz"
targets=(fuzz_caption fuzz_filter fuzz_split fuzz_args fuzz_grid fuzz_cmdline fuzz_paths)

CC=clang CXX=clang++ cmake -S "$root/fuzz" -B "$build" >/dev/null
cmake --build "$build" -j"$(nproc)"

mkdir -p "$build/artifacts" "$build/logs"
failed=()
for target in "${targets[@]}"; do
    # The fuzzer adds to its corpus: work on a copy, not the committed seeds.
    corpus="$build/corpus/$target"
    mkdir -p "$corpus"
    cp "$root/fuzz/corpus/$target"/* "$corpus"/
    log="$build/logs/$target.log"
    echo "== $target: ${seconds}s"
    if "$build/$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$build/artifacts/$target-" "$corpus" >"$log" 2>&1; then
        grep -E '^Done [0-9]+ runs' "$log" || true
    else
        echo "!! $target failed; the end of $log:"
        tail -n 40 "$log"
        failed+=("$target")
    fi
done

if ((${#failed[@]})); then
    echo "Failed: ${failed[*]}"
    exit 1
fi
echo "All ${#targets[@]} fuzz targets passed."
