#!/usr/bin/env bash
# Renumbers a generated ISO program (1,000,000 lines, about 43 MB, by default)
# with tarvik-cli and with the awk script renumber.awk under mawk and GNU awk,
# checks that all write the same bytes, and compares their wall and CPU time
# and their peak memory, side by side in one run.
#
# Usage: bench/cli_vs_awk.sh [BUILD_DIR]       (default: build)
# Environment: LINES_COUNT (default 1000000), RUNS (timed runs of each, default 5),
#              AWKS (default "mawk gawk": the awks that are installed take part).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
lines=${LINES_COUNT:-1000000}
runs=${RUNS:-5}
out=$here/out

gen=$build/bin/tarvik-gen
cli=$build/bin/tarvik-cli
for f in "$gen" "$cli"; do
    [ -x "$f" ] || { echo "cli_vs_awk: $f is missing; build the project first" >&2; exit 2; }
done
[ -x /usr/bin/time ] || { echo "cli_vs_awk: /usr/bin/time is missing (package time)" >&2; exit 2; }
awks=()
for a in ${AWKS:-mawk gawk}; do
    if command -v "$a" >/dev/null; then awks+=("$a"); else echo "cli_vs_awk: $a is not installed, left out" >&2; fi
done

mkdir -p "$out"
input=$out/iso_$lines.nc
[ -f "$input" ] || "$gen" --lines "$lines" --programs 4 -o "$input" 2>/dev/null
size=$(stat -c %s "$input")

# The same settings for all: main ':', secondary 'N', start '%', numbers
# 10, 20, ... up to 9999 and then from 10 again.
names=(tarvik-cli)
cmds=("$cli renumber --main : --secondary N --start % --first 10 --increment 10 --max 9999 $input")
for a in "${awks[@]}"; do
    names+=("$a")
    cmds+=("env LC_ALL=C $a -v first=10 -v inc=10 -v max=9999 -v restart=1 -f $here/renumber.awk $input")
done

# run I: runs tool I once with its output in $out/<name>.out; sets wall, cpu
# (user + system, seconds) and rss (peak resident KiB).
run() {
    local name=${names[$1]}
    local t0=$EPOCHREALTIME
    # shellcheck disable=SC2086
    if ! /usr/bin/time -f "%M %U %S" -o "$out/$name.time" ${cmds[$1]} >"$out/$name.out" 2>"$out/$name.err"; then
        echo "cli_vs_awk: $name failed:" >&2
        cat "$out/$name.err" >&2
        exit 2
    fi
    local t1=$EPOCHREALTIME
    wall=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", b - a }')
    local m u s
    read -r m u s < <(tail -n 1 "$out/$name.time")
    rss=$m
    cpu=$(awk -v u="$u" -v s="$s" 'BEGIN { printf "%.3f", u + s }')
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
minimum() { sort -g | head -n 1; }

# One untimed run of each (the input is in the page cache from the generator),
# and the outputs compared.
same=byte-identical
for i in "${!names[@]}"; do
    run "$i"
    if [ "$i" -gt 0 ] && ! cmp -s "$out/tarvik-cli.out" "$out/${names[$i]}.out"; then
        same="DIFFERENT (${names[$i]})"
    fi
done

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
declare -A walls cpus peaks
for ((r = 0; r < runs; r++)); do
    for i in "${!names[@]}"; do
        run "$i"
        walls[$i]+="$wall "
        cpus[$i]+="$cpu "
        if ((rss > ${peaks[$i]:-0})); then peaks[$i]=$rss; fi
    done
done
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

printf 'input:   %s\n' "$input"
awk -v l="$lines" -v s="$size" 'BEGIN { printf "         %d lines, %d bytes (%.1f MB, %.1f bytes a line)\n", l, s, s / 1e6, s / l }'
printf 'outputs: %s\n' "$same"
printf 'load average before / after the timed runs: %s / %s (2 cores shared: wall times include waiting)\n\n' \
    "$load_before" "$load_after"
printf '%-12s %11s %10s %12s %15s\n' "" "wall median" "wall min" "CPU median" "peak RSS [MiB]"
declare -A wmed cmed
for i in "${!names[@]}"; do
    wmed[$i]=$(printf '%s\n' ${walls[$i]} | median)
    cmed[$i]=$(printf '%s\n' ${cpus[$i]} | median)
    wmin=$(printf '%s\n' ${walls[$i]} | minimum)
    awk -v n="${names[$i]}" -v wm="${wmed[$i]}" -v wn="$wmin" -v c="${cmed[$i]}" -v p="${peaks[$i]}" \
        'BEGIN { printf "%-12s %10.3fs %9.3fs %11.3fs %15.1f\n", n, wm, wn, c, p / 1024 }'
done
printf '\nwall times (s):\n'
for i in "${!names[@]}"; do printf '  %-10s %s\n' "${names[$i]}" "${walls[$i]}"; done
echo
for i in "${!names[@]}"; do
    [ "$i" -eq 0 ] && continue
    awk -v n="${names[$i]}" -v w="${wmed[$i]}" -v c="${cmed[$i]}" -v tw="${wmed[0]}" -v tc="${cmed[0]}" -v runs="$runs" \
        'BEGIN { printf "%s / tarvik-cli, medians of %d runs: wall %.2fx, CPU (user + system) %.2fx\n", n, runs, w / tw, (tc > 0 ? c / tc : 0) }'
done
for i in "${!names[@]}"; do
    if [ "${names[$i]}" = mawk ]; then
        awk -v w="${wmed[$i]}" -v tw="${wmed[0]}" \
            'BEGIN { r = w / tw; printf "target: tarvik-cli at least 3x faster than mawk (wall), aim 5x: %s (%.2fx)\n", (r >= 3 ? "met" : "MISSED"), r }'
    fi
done
awk -v p="${peaks[0]}" 'BEGIN { printf "target: tarvik-cli peak memory under 64 MB: %s (%.1f MiB)\n", (p * 1024 < 64e6 ? "met" : "MISSED"), p / 1024 }'

if [ "$same" != byte-identical ]; then
    echo
    echo "The outputs differ; first difference:"
    for i in "${!names[@]}"; do
        [ "$i" -eq 0 ] && continue
        cmp "$out/tarvik-cli.out" "$out/${names[$i]}.out" | head -n 1 || true
    done
    exit 1
fi
