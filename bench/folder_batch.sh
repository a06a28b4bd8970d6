#!/usr/bin/env bash
# Renumbers one folder of generated programs in place with tarvik-cli -r -i
# and rewrites the same tree with sed -i, for two numbers of programs (by
# default 1,000 and 4,000 programs of 1,000 lines, all in one folder), and
# prints the wall and CPU time of each, their ratios, and how each grows from
# the smaller folder to the larger one.
#
# Usage: bench/folder_batch.sh [BUILD_DIR]       (default: build)
# Environment: SIZES (default "1000 4000"), LINES_COUNT (default 1000), RUNS
#              (timed runs of each, the best kept, default 1), JOBS (tarvik-cli
#              -j, default: its own, one per core).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
sizes=(${SIZES:-1000 4000})
lines=${LINES_COUNT:-1000}
runs=${RUNS:-1}
jobs=${JOBS:-}
out=$here/out/folder

gen=$build/bin/tarvik-gen
cli=$build/bin/tarvik-cli
for f in "$gen" "$cli"; do
    [ -x "$f" ] || { echo "folder_batch: $f is missing; build the project first" >&2; exit 2; }
done
[ -x /usr/bin/time ] || { echo "folder_batch: /usr/bin/time is missing (package time)" >&2; exit 2; }
# Settings of the benchmark's own, never the user's.
export XDG_CONFIG_HOME=$out/config
mkdir -p "$out"

# measure NAME FOLDER CMD...: the best of RUNS runs of CMD on fresh copies of
# FOLDER at $out/work; sets wall and cpu (seconds).
measure() {
    local name=$1 master=$2
    shift 2
    local i best_wall="" best_cpu=""
    for ((i = 1; i <= runs; ++i)); do
        rm -rf "$out/work"
        cp -r "$master" "$out/work"
        sync
        local t0=$EPOCHREALTIME
        /usr/bin/time -f "%U %S" -o "$out/time" "$@" 2>"$out/err" >/dev/null ||
            { echo "folder_batch: $name failed:" >&2; tail -5 "$out/err" >&2; exit 1; }
        local t1=$EPOCHREALTIME
        local w c
        w=$(awk -v a="$t0" -v b="$t1" 'BEGIN{printf "%.3f", b - a}')
        c=$(awk '{printf "%.3f", $1 + $2}' "$out/time")
        if [ -z "$best_wall" ] || awk -v a="$c" -v b="$best_cpu" 'BEGIN{exit !(a < b)}'; then
            best_wall=$w
            best_cpu=$c
        fi
    done
    wall=$best_wall
    cpu=$best_cpu
}

declare -A W C
echo "folder_batch: ${sizes[*]} programs of $lines lines in one folder, $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
for n in "${sizes[@]}"; do
    master=$out/flat_${n}x$lines
    if [ ! -d "$master" ] || [ "$(find "$master" -name '*.nc' | wc -l)" -ne "$n" ]; then
        rm -rf "$master"
        "$gen" --files "$n" --lines "$lines" -o "$master" >/dev/null
    fi
    size=$(du -sb "$master" | cut -f1)
    measure "tarvik-cli" "$master" "$cli" renumber -i -r ${jobs:+-j "$jobs"} "$out/work"
    W[t$n]=$wall C[t$n]=$cpu
    # sed rewrites every line's number as it is (the same bytes back), each
    # file replaced by a new one, as tarvik-cli does.
    measure "sed -i" "$master" find "$out/work" -name '*.nc' -exec sed -i -e 's/^N\([0-9]*\)/N\1/' {} +
    W[s$n]=$wall C[s$n]=$cpu
    printf '%6d programs (%d bytes): tarvik-cli -r -i wall %7.2f s, cpu %7.2f s | sed -i wall %7.2f s, cpu %7.2f s | cpu ratio %.2f\n' \
        "$n" "$size" "${W[t$n]}" "${C[t$n]}" "${W[s$n]}" "${C[s$n]}" "$(awk -v a="${C[t$n]}" -v b="${C[s$n]}" 'BEGIN{print a / b}')"
done
rm -rf "$out/work" "$out/time" "$out/err"
if [ ${#sizes[@]} -ge 2 ]; then
    a=${sizes[0]} b=${sizes[-1]}
    awk -v a="$a" -v b="$b" -v tc1="${C[t$a]}" -v tc2="${C[t$b]}" -v tw1="${W[t$a]}" -v tw2="${W[t$b]}" \
        -v sc1="${C[s$a]}" -v sc2="${C[s$b]}" 'BEGIN {
        printf "growth %d -> %d programs: tarvik-cli cpu x%.2f, wall x%.2f; sed cpu x%.2f\n", a, b, tc2 / tc1, tw2 / tw1, sc2 / sc1
        printf "targets: cpu within 1.5x of sed at %d: %s (%.2fx); %d figure at most 4.5x the %d one: cpu %s, wall %s\n",
            b, tc2 <= 1.5 * sc2 ? "met" : "NOT met", tc2 / sc2, b, a,
            tc2 <= 4.5 * tc1 ? "met" : "NOT met", tw2 <= 4.5 * tw1 ? "met" : "NOT met"
    }'
fi
