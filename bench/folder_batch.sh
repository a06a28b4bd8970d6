#!/usr/bin/env bash
# Renumbers a folder of generated programs in place (by default 10,000
# programs of 1,000 lines, about 420 MB) four ways: tarvik-cli once per file
# (one process each, one after the other, and one per core at once with
# xargs -P), and tarvik-cli once for the whole folder with -j 1 and with its
# default (one thread per core). Every way starts from a fresh copy of the
# folder and must leave the same bytes; the script prints wall and CPU time.
#
# Usage: bench/folder_batch.sh [BUILD_DIR]       (default: build)
# Environment: FILES (default 10000), LINES_COUNT (default 1000), RUNS (timed
#              runs of each way, default 1).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
files=${FILES:-10000}
lines=${LINES_COUNT:-1000}
runs=${RUNS:-1}
out=$here/out/folder
cores=$(nproc)

gen=$build/bin/tarvik-gen
cli=$build/bin/tarvik-cli
for f in "$gen" "$cli"; do
    [ -x "$f" ] || { echo "folder_batch: $f is missing; build the project first" >&2; exit 2; }
done
[ -x /usr/bin/time ] || { echo "folder_batch: /usr/bin/time is missing (package time)" >&2; exit 2; }

mkdir -p "$out"
master=$out/programs_${files}x$lines
if [ ! -d "$master" ] || [ "$(find "$master" -name '*.nc' | wc -l)" -ne "$files" ]; then
    rm -rf "$master"
    "$gen" --files "$files" --lines "$lines" -o "$master"
fi
size=$(du -sb "$master" | cut -f1)
# Settings of the benchmark's own, never the user's.
export XDG_CONFIG_HOME=$out/config

# The bytes of every file of a folder, as one checksum.
checksum() { (cd "$1" && find . -type f -print0 | sort -z | xargs -0 cat | md5sum | cut -d' ' -f1); }

declare -A result
expected=""
# run NAME CMD...: CMD on a fresh copy of the folder at $out/work.
run() {
    local name=$1
    shift
    local i
    for ((i = 1; i <= runs; ++i)); do
        rm -rf "$out/work"
        cp -r "$master" "$out/work"
        sync
        local t0=$EPOCHREALTIME
        /usr/bin/time -f "%U %S" -o "$out/$name.time" "$@" 2>"$out/$name.err" >/dev/null ||
            { echo "folder_batch: $name failed:" >&2; tail -5 "$out/$name.err" >&2; exit 1; }
        local t1=$EPOCHREALTIME
        local sum
        sum=$(checksum "$out/work")
        [ -z "$expected" ] && expected=$sum
        [ "$sum" = "$expected" ] || { echo "folder_batch: $name left other bytes than the first way" >&2; exit 1; }
        awk -v n="$name" -v i="$i" -v w="$(awk -v a="$t0" -v b="$t1" 'BEGIN{print b - a}')" -v f="$files" \
            '{printf "%-36s run %d: wall %7.2f s (%6.3f ms a program), cpu %7.2f s\n", n, i, w, 1000 * w / f, $1 + $2}' \
            "$out/$name.time"
    done
}

echo "folder_batch: $files programs of $lines lines, $size bytes, $cores cores"
# One process per file: the shell loop a shop would otherwise write. (/usr/bin/time
# counts the CPU of the children xargs waits for.)
run "one process per file" sh -c 'find "$1" -name "*.nc" -print0 | xargs -0 -n 1 "$2" renumber -i' _ "$out/work" "$cli"
run "one process per file, xargs -P$cores" sh -c 'find "$1" -name "*.nc" -print0 | xargs -0 -n 1 -P "$3" "$2" renumber -i' \
    _ "$out/work" "$cli" "$cores"
run "tarvik-cli -r -j 1" "$cli" renumber -i -r -j 1 "$out/work"
run "tarvik-cli -r (-j $cores)" "$cli" renumber -i -r "$out/work"
rm -rf "$out/work"
