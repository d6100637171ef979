#!/usr/bin/env bash
# fuzz/run.sh -- runs one libFuzzer target of build-fuzz/ for a while, as one
# process (the machine is shared: never more than one at a time).
#
#   fuzz/run.sh TARGET [SECONDS] [more libFuzzer options]
#
# Starts from the target's seeds and regressions; new inputs go to
# fuzz/out/TARGET/, findings to fuzz/out/TARGET-crash-* (or -oom-, -timeout-),
# the log to fuzz/out/TARGET.log. fuzz/out/ is not committed.
set -euo pipefail
cd "$(dirname "$0")/.."
target=$1
seconds=${2:-1800}
shift $(($# < 2 ? $# : 2))
mkdir -p "fuzz/out/$target"
corpora=("fuzz/out/$target" "fuzz/corpus/$target")
[ -d "fuzz/regressions/$target" ] && corpora+=("fuzz/regressions/$target")
# No single allocation of the engine's needs more than a few hundred KB here
# (a 64 KiB heap, inputs of at most 4 KB), so one of 256 MB is a finding.
# The time limit is wall-clock; the CPU time the run had ends the log.
TIMEFORMAT="run.sh: fuzz_$target: %R s wall, %U s user, %S s system"
{
    time "build-fuzz/fuzz/fuzz_$target" -max_total_time="$seconds" -rss_limit_mb=2048 \
        -malloc_limit_mb=256 -timeout=10 -print_final_stats=1 \
        -artifact_prefix="fuzz/out/$target-" "$@" "${corpora[@]}"
} 2>&1 | tee "fuzz/out/$target.log"
