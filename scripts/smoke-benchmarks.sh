#!/usr/bin/env bash
# Runs every benchmark program of a build once, each benchmark for as short a time as Google
# Benchmark allows, so that a benchmark that no longer runs (a crash, a missing file, a failed
# state.SkipWithError) fails CI. The figures are not looked at.
# Usage: scripts/smoke-benchmarks.sh [build-dir]   (default: build)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-"$top/build"}" && pwd)

mapfile -t programs < <(find "$build" -type f -name 'bench_*' -perm -u+x | sort)
if [ ${#programs[@]} -eq 0 ]; then
    echo "no benchmark programs in $build (built with -DGRIDLOOM_BENCH=OFF?)"
    exit 1
fi

# Each program runs in a scratch folder of its own, as files it writes stay out of the tree.
work=$(mktemp -d)
log=$(mktemp)
trap 'rm -rf "$work" "$log"' EXIT
failed=0
for program in "${programs[@]}"; do
    name=${program##*/}
    start=$SECONDS
    if (cd "$work" && QT_QPA_PLATFORM=offscreen "$program" --benchmark_min_time=0 \
        --benchmark_repetitions=1 --benchmark_format=console >"$log" 2>&1) &&
        ! grep -q 'ERROR OCCURRED' "$log"; then
        echo "$name: ran ($((SECONDS - start)) s)"
    else
        cat "$log"
        echo "$name: failed"
        failed=1
    fi
done
exit $failed
