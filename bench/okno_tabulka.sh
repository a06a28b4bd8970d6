#!/usr/bin/env bash
# The window's table: open, each block command with its undo and redo, and
# save, from the key press until the window has answered, with the peak
# memory, for programs of 10,000 / 100,000 / 1,000,000 / 5,000,000 lines
# (tarvik_bench_okno, one process a size).
#
# Usage: bench/okno_tabulka.sh [BUILD_DIR] [--plocha [--at-spi]] [--typing [--screen-reader]]
#   --plocha   on a virtual desktop (Xvfb with openbox), not offscreen
#   --at-spi   with --plocha: on a session bus of its own whose accessibility
#              bus (at-spi2-core) the window serves, as a screen reader has it
#   --typing   instead: a typed character, a line down and select all from
#              the key press to the text area's paint, with the caret at the
#              start, the middle and the end, for 1,000,000 and 5,000,000
#              lines unless SIZES says otherwise (tarvik_bench_okno --typing)
#   --screen-reader  with --typing: while a screen reader listens
# Environment: SIZES (default "10000 100000 1000000 5000000"), REPEAT (runs of
#              each step in one process, default 3, for every size alike: the
#              first run of a step pays for fresh memory, the later ones reuse it).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
args=("$@")
build=$here/../build
[ $# -gt 0 ] && [ "${1#--}" = "$1" ] && { build=$1; shift; }
plocha=no atspi=no typing=()
for a in "$@"; do
    case $a in
        --plocha) plocha=yes ;;
        --at-spi) atspi=yes ;;
        --typing | --screen-reader) typing+=("$a") ;;
        *) echo "okno_tabulka: unknown option $a" >&2; exit 2 ;;
    esac
done
if [ ${#typing[@]} -gt 0 ]; then
    sizes=${SIZES:-1000000 5000000}
else
    sizes=${SIZES:-10000 100000 1000000 5000000}
fi
repeat=${REPEAT:-3}
if [ $atspi = yes ]; then
    [ $plocha = yes ] || { echo "okno_tabulka: --at-spi needs --plocha" >&2; exit 2; }
    if [ -z "${OKNO_TABULKA_SBERNICE:-}" ]; then
        command -v dbus-run-session >/dev/null || { echo "okno_tabulka: dbus-run-session is missing" >&2; exit 2; }
        OKNO_TABULKA_SBERNICE=1 exec dbus-run-session -- "$0" "${args[@]}"
    fi
    # The session bus starts the accessibility bus on the first question.
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null ||
        { echo "okno_tabulka: no accessibility bus (at-spi2-core)" >&2; exit 2; }
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
    echo "the window serves the desktop's accessibility bus, as for a screen reader"
fi
bench=$build/bin/tarvik_bench_okno
[ -x "$bench" ] || { echo "okno_tabulka: $bench is missing; build the project first" >&2; exit 2; }

xvfb="" wm=""
cleanup() {
    for p in $wm $xvfb; do kill "$p" 2>/dev/null || true; done
    for p in $wm $xvfb; do wait "$p" 2>/dev/null || true; done
}
trap cleanup EXIT
if [ $plocha = yes ]; then
    for t in Xvfb openbox xprop; do command -v $t >/dev/null || { echo "okno_tabulka: $t is missing" >&2; exit 2; }; done
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    xvfb=$!
    read -r -t 30 display <"$fifo"
    rm -f "$fifo"
    export DISPLAY=":$display" QT_QPA_PLATFORM=xcb
    wmconf=$(mktemp -d)
    XDG_CONFIG_HOME=$wmconf openbox --sm-disable >/dev/null 2>&1 &
    wm=$!
    for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break; sleep 0.1; done
fi

echo "load average at the start: $(cut -d' ' -f1-3 /proc/loadavg) (2 cores shared)"
if [ ${#typing[@]} -gt 0 ]; then
    for n in $sizes; do
        "$bench" --lines "$n" "${typing[@]}" 2>/dev/null | grep -v '^memory before'
    done
    echo "load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
    exit 0
fi
echo "each cell: best wall ms / best CPU ms of $repeat run(s);"
echo "peak-MB: the peak resident memory after the first run of all steps"
hlavicka=""
for n in $sizes; do
    vystup=$("$bench" --lines "$n" --repeat "$repeat" 2>/dev/null)
    if [ -z "$hlavicka" ]; then
        hlavicka=$(echo "$vystup" | awk '/^step/ {tab=1; next} tab && NF == 8 {printf " %s", $1}')
        printf '%-10s%s %s\n' "lines" "$hlavicka" "peak-MB"
    fi
    echo "$vystup" | awk -v n="$n" '/^step/ {tab=1; next}
        tab && NF == 8 {radek = radek sprintf(" %.0f/%.0f", $2, $4); peak = $6}
        END {printf "%-10s%s %s\n", n, radek, peak}'
done
echo "load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
