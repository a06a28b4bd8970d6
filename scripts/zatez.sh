#!/usr/bin/env bash
# Runs the test command of README.md N times in a row (1 unless given) while
# stress-ng keeps every core busy, and prints each run's wall time and
# result; fails when any run failed. The runs' output goes to
# build/zatez-<n>.log.
#
#   scripts/zatez.sh [N]
set -uo pipefail
cd "$(dirname "$0")/.."
pocet=${1:-1}
command -v stress-ng >/dev/null || { echo "stress-ng is missing: apt-get install stress-ng" >&2; exit 2; }
prikaz=$(awk '/<!-- test-command -->/{getline; getline; print; exit}' README.md)
[ -n "$prikaz" ] || { echo "no test command found in README.md" >&2; exit 2; }
mkdir -p build

stress-ng --cpu "$(nproc)" --quiet &
zatez=$!
trap 'kill "$zatez" 2>/dev/null; wait "$zatez" 2>/dev/null' EXIT
echo "load: stress-ng --cpu $(nproc); test command: $prikaz"

selhalo=0
for ((i = 1; i <= pocet; i++)); do
    zacatek=$SECONDS
    bash -c "$prikaz" >"build/zatez-$i.log" 2>&1
    kod=$?
    vysledek=passed
    [ "$kod" -eq 0 ] || { vysledek="FAILED (exit $kod)"; selhalo=1; }
    doba=$((SECONDS - zacatek))
    printf 'run %d: %d min %02d s, %s; %s\n' "$i" $((doba / 60)) $((doba % 60)) "$vysledek" \
        "$(grep -E 'tests passed' "build/zatez-$i.log" | tail -n 1)"
done
exit "$selhalo"
