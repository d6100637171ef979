#!/usr/bin/env bash
# fuzz/run.sh -- runs one libFuzzer target of build-fuzz/ until it has had a
# given amount of CPU time, as one process at the lowest priority (the machine
# is shared: never more than one at a time, and builds go first).
#
#   fuzz/run.sh TARGET [CPU-SECONDS] [more libFuzzer options]
#
# Starts from the target's seeds and regressions; new inputs go to
# fuzz/out/TARGET/, findings to fuzz/out/TARGET-crash-* (or -oom-, -timeout-,
# -leak-), the log to fuzz/out/TARGET-run-HHMMSS.log, which ends with the CPU
# and wall time the run had. fuzz/out/ is not committed.
set -euo pipefail
cd "$(dirname "$0")/.."
target=$1
seconds=${2:-1800}
shift $(($# < 2 ? $# : 2))
mkdir -p "fuzz/out/$target"
corpora=("fuzz/out/$target" "fuzz/corpus/$target")
[ -d "fuzz/regressions/$target" ] && corpora+=("fuzz/regressions/$target")
log="fuzz/out/$target-run-$(date +%H%M%S).log"

# No single allocation of the engine's needs more than a few hundred KB here
# (a 64 KiB heap, inputs of at most 4 KB), so one of 256 MB is a finding.
# libFuzzer's timeout counts wall time, and at the lowest priority on a loaded
# machine the fuzzer can wait for seconds between two time slices; an input
# takes well under a millisecond, so a minute still catches any hang.
nice -n 19 "build-fuzz/fuzz/fuzz_$target" -rss_limit_mb=2048 -malloc_limit_mb=256 -timeout=60 \
    -print_final_stats=1 -artifact_prefix="fuzz/out/$target-" "$@" "${corpora[@]}" \
    >"$log" 2>&1 &
pid=$!
started=$(date +%s)
tick=$(getconf CLK_TCK)

# Wall time is no measure on a shared machine: the run ends on its CPU time
# (user and system, from /proc), with SIGINT, after which libFuzzer prints its
# final statistics. A fuzzer that has ended by itself stays a zombie until the
# wait below, and its figures can still be read.
cpu=0
while stat=$(cat "/proc/$pid/stat" 2>/dev/null); do
    read -r -a fields <<<"${stat##*) }"  # the fields after the command name
    cpu=$(((fields[11] + fields[12]) / tick))
    [ "${fields[0]}" = Z ] && break
    if [ "$cpu" -ge "$seconds" ]; then
        kill -INT "$pid"
        break
    fi
    sleep 5
done
status=0
wait "$pid" || status=$?
echo "run.sh: fuzz_$target: ${cpu} s CPU, $(($(date +%s) - started)) s wall, status $status" \
    | tee -a "$log"
