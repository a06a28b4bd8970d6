#!/usr/bin/env bash
# Renumbers a generated ISO program of 1,000,000 lines (about 43 MB) with
# tarvik-cli and with the awk script renumber.awk, checks that both write the
# same bytes, and compares their wall time and peak memory.
#
# Usage: bench/cli_vs_awk.sh [BUILD_DIR]       (default: build)
# Environment: LINES_COUNT (default 1000000), RUNS (timed runs of each, default 5),
#              AWK (default gawk; the script needs GNU awk).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
lines=${LINES_COUNT:-1000000}
runs=${RUNS:-5}
awk_bin=${AWK:-gawk}
out=$here/out

gen=$build/bin/tarvik-gen
cli=$build/bin/tarvik-cli
for f in "$gen" "$cli"; do
    [ -x "$f" ] || { echo "cli_vs_awk: $f is missing; build the project first" >&2; exit 2; }
done
command -v "$awk_bin" >/dev/null || { echo "cli_vs_awk: $awk_bin is not installed" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "cli_vs_awk: /usr/bin/time is missing (package time)" >&2; exit 2; }

mkdir -p "$out"
input=$out/iso_$lines.nc
"$gen" --lines "$lines" --programs 4 -o "$input" 2>/dev/null
size=$(stat -c %s "$input")

# The same settings for both: main ':', secondary 'N', start '%', numbers
# 10, 20, ... up to 9999 and then from 10 again.
cli_cmd=("$cli" renumber --main : --secondary N --start % --first 10 --increment 10 --max 9999 "$input")
# tarvik-cli puts its heap in transparent huge pages itself (it restarts once
# with glibc's tunable); for comparison, the same tool kept from doing so.
thp_cmd=(env TARVIK_VELKE_STRANKY=1 "${cli_cmd[@]}")
thp=no
if grep -q '\[always\]\|\[madvise\]' /sys/kernel/mm/transparent_hugepage/enabled 2>/dev/null; then
    thp=yes
fi
awk_cmd=(env LC_ALL=C "$awk_bin" -v first=10 -v inc=10 -v max=9999 -v restart=1 -f "$here/renumber.awk" "$input")

# run NAME CMD...: runs CMD once with its output in $out/NAME.nc; sets wall
# and cpu (user + system, seconds) and rss (peak resident KiB).
run() {
    local name=$1
    shift
    local t0=$EPOCHREALTIME
    if ! /usr/bin/time -f "%M %U %S" -o "$out/$name.time" "$@" >"$out/$name.nc" 2>"$out/$name.err"; then
        echo "cli_vs_awk: $name failed:" >&2
        cat "$out/$name.err" >&2
        exit 2
    fi
    local t1=$EPOCHREALTIME
    wall=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", b - a }')
    local m u s
    read -r m u s < <(tail -n 1 "$out/$name.time")
    rss=$m
    cpu=$(awk -v u="$u" -v s="$s" 'BEGIN { printf "%.2f", u + s }')
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
minimum() { sort -g | head -n 1; }

# One untimed run of each (the input is in the page cache from the generator).
run tarvik "${cli_cmd[@]}"
run awk "${awk_cmd[@]}"

if [ $thp = yes ]; then
    run thp "${thp_cmd[@]}"
    cmp -s "$out/tarvik.nc" "$out/thp.nc" || { echo "cli_vs_awk: tarvik-cli wrote other bytes without huge pages" >&2; exit 1; }
fi

if cmp -s "$out/tarvik.nc" "$out/awk.nc"; then
    same="byte-identical"
else
    same="DIFFERENT"
fi

load=$(cut -d' ' -f1-3 /proc/loadavg)
cli_walls=() awk_walls=() cli_cpus=() awk_cpus=() cli_rss=0 awk_rss=0 thp_walls=() thp_cpus=() thp_rss=0
for ((i = 0; i < runs; i++)); do
    run tarvik "${cli_cmd[@]}"
    cli_walls+=("$wall")
    cli_cpus+=("$cpu")
    if ((rss > cli_rss)); then cli_rss=$rss; fi
    run awk "${awk_cmd[@]}"
    awk_walls+=("$wall")
    awk_cpus+=("$cpu")
    if ((rss > awk_rss)); then awk_rss=$rss; fi
    if [ $thp = yes ]; then
        run thp "${thp_cmd[@]}"
        thp_walls+=("$wall")
        thp_cpus+=("$cpu")
        if ((rss > thp_rss)); then thp_rss=$rss; fi
    fi
done

cli_med=$(printf '%s\n' "${cli_walls[@]}" | median)
cli_min=$(printf '%s\n' "${cli_walls[@]}" | minimum)
awk_med=$(printf '%s\n' "${awk_walls[@]}" | median)
awk_min=$(printf '%s\n' "${awk_walls[@]}" | minimum)
cli_cpu=$(printf '%s\n' "${cli_cpus[@]}" | median)
awk_cpu=$(printf '%s\n' "${awk_cpus[@]}" | median)
thp_med=0 thp_min=0 thp_cpu=0
if [ $thp = yes ]; then
    thp_med=$(printf '%s\n' "${thp_walls[@]}" | median)
    thp_min=$(printf '%s\n' "${thp_walls[@]}" | minimum)
    thp_cpu=$(printf '%s\n' "${thp_cpus[@]}" | median)
fi

awk -v lines="$lines" -v size="$size" -v input="$input" -v same="$same" -v runs="$runs" \
    -v awkname="$("$awk_bin" --version 2>/dev/null | head -n 1 | cut -d, -f1)" \
    -v cm="$cli_med" -v cn="$cli_min" -v am="$awk_med" -v an="$awk_min" \
    -v cc="$cli_cpu" -v ac="$awk_cpu" -v zatizeni="$load" \
    -v thp="$thp" -v tm="$thp_med" -v tn="$thp_min" -v tc="$thp_cpu" -v tr="$thp_rss" \
    -v cr="$cli_rss" -v ar="$awk_rss" -v clitimes="${cli_walls[*]}" -v awktimes="${awk_walls[*]}" '
BEGIN {
    printf "input:   %s\n", input
    printf "         %d lines, %d bytes (%.1f MB, %.1f bytes a line)\n", lines, size, size / 1e6, size / lines
    printf "awk:     %s, LC_ALL=C, bench/renumber.awk\n", awkname
    printf "outputs: %s\n\n", same
    printf "%-12s %11s %10s %14s %15s %11s\n", "", "wall median", "wall min", "CPU median", "peak RSS [MiB]", "RSS / file"
    printf "%-12s %10.3fs %9.3fs %13.2fs %15.1f %10.2fx\n", "tarvik-cli", cm, cn, cc, cr / 1024, cr * 1024 / size
    printf "%-12s %10.3fs %9.3fs %13.2fs %15.1f %10.2fx\n", "awk", am, an, ac, ar / 1024, ar * 1024 / size
    if (thp == "yes")
        printf "%-12s %10.3fs %9.3fs %13.2fs %15.1f %10.2fx   (*)\n", "tarvik-cli", tm, tn, tc, tr / 1024, tr * 1024 / size
    printf "\nwall times (s): tarvik-cli %s; awk %s\n", clitimes, awktimes
    printf "load average before the runs: %s (2 cores shared: wall times include waiting)\n", zatizeni
    ratio = am / cm
    printf "\nawk / tarvik-cli, medians of %d runs: wall %.2fx, CPU (user + system) %.2fx\n", runs, ratio, (cc > 0 ? ac / cc : 0)
    printf "target: tarvik-cli at least 3x faster than awk (wall): %s\n", (ratio >= 3 ? "met" : "MISSED")
    printf "target: tarvik-cli peak memory under 6x the file size: %s (%.2fx)\n",
           (cr * 1024 < 6 * size ? "met" : "MISSED"), cr * 1024 / size
    if (thp == "yes")
        printf "\n(*) for comparison only: the same tool without huge pages (TARVIK_VELKE_STRANKY=1),\n    same output; awk / it: wall %.2fx, CPU %.2fx\n",
               am / tm, (tc > 0 ? ac / tc : 0)
}'

if [ "$same" != "byte-identical" ]; then
    echo
    echo "The outputs differ; first difference:"
    cmp "$out/tarvik.nc" "$out/awk.nc" | head -n 1 || true
    line=$(cmp "$out/tarvik.nc" "$out/awk.nc" 2>/dev/null | sed -n 's/.* line \([0-9]*\).*/\1/p')
    if [ -n "$line" ]; then
        echo "tarvik-cli: $(sed -n "${line}p" "$out/tarvik.nc" | cat -A)"
        echo "awk:        $(sed -n "${line}p" "$out/awk.nc" | cat -A)"
    fi
    exit 1
fi
