#!/usr/bin/env bash
# Resource limits: the batch tool under ulimit (file size, memory, CPU time).
# Each row of the table runs one command under one limit (bash's ulimit, in a
# subshell) and checks its exit status, its messages and the files afterwards.
#
# Usage: meze.sh TARVIK_CLI WORK_FOLDER
set -uo pipefail
cli=$1 work=$2
rm -rf "$work" && mkdir -p "$work/config/Orvendal" || exit 2
export XDG_CONFIG_HOME=$work/config
cd "$work" || exit 2
selhani=0

# Programs: 300 lines without numbers (1,200 bytes; introduced, 3,000), and
# 3,000,000 numbered lines (45 MB) for --check and --diff.
awk 'BEGIN { for (i = 0; i < 300; i++) printf "X1\r\n" }' > maly.nc
awk 'BEGIN { for (i = 1; i <= 3000000; i++) printf "N%d G01 X%d.5\r\n", i, i % 1000 }' > velky.nc
# A settings store whose one key is nested 20,000 levels deep (40 KB).
awk 'BEGIN {
    printf "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Orvendal\\Tarvik"
    for (i = 0; i < 20000; i++) printf "\\a"
    printf "]\r\n\"x\"=\"y\"\r\n"
}' > hluboky.reg
# A settings store of 100,000 file types, read value by value.
awk 'BEGIN {
    printf "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Orvendal\\Tarvik\\TypySouboru]\r\n"
    for (i = 0; i < 100000; i++) printf "\"%d\"=\"Typ%d\t.n%d\t:\tN\t%%\tM30\t(\t\"\r\n", i, i, i
}' > typy.reg

# name | setup (shell) | limit (ulimit options) | command | exit | stderr holds | check afterwards
pripady=(
    "a file size limit, in place (a second hard link)|cp maly.nc d/a.nc && ln d/a.nc d/b.nc|-f 2|introduce -i d/a.nc|2|File too large; the old content was written back|cmp -s d/a.nc maly.nc && cmp -s d/b.nc maly.nc"
    "a file size limit, a replace|cp maly.nc d/a.nc|-f 2|introduce -i d/a.nc|2|File too large|cmp -s d/a.nc maly.nc"
    "a file size limit in a folder: the next program is done|cp maly.nc d/a.nc && ln d/a.nc d/b.nc && printf 'X\r\n' > d/c.nc|-f 2|introduce -i -r -j 1 d|2|d/c.nc: hotovo|cmp -s d/a.nc maly.nc && [ \"\$(cat d/c.nc)\" = \$'N5 X\r' ]"
    "--diff of 45 MB within 160 MB of memory|cp velky.nc d/a.nc|-v 160000|renumber --diff d/a.nc|1|změnil by se|cmp -s d/a.nc velky.nc && [ \$(grep -c '^+N' out) -gt 2990000 ]"
    "--check of 45 MB within 160 MB of memory|cp velky.nc d/a.nc|-v 160000|renumber --check d/a.nc|1|změnil by se|cmp -s d/a.nc velky.nc"
    "a settings store nested 20,000 levels, within 10 s of CPU|cp hluboky.reg config/Orvendal/Tarvik.reg|-t 10|count d/a.nc|0||rm config/Orvendal/Tarvik.reg"
    "a settings store of 100,000 file types, within 5 s of CPU|cp typy.reg config/Orvendal/Tarvik.reg|-t 5|types|0||[ \$(wc -l < out) -eq 100000 ] && rm config/Orvendal/Tarvik.reg"
)

for radek in "${pripady[@]}"; do
    IFS='|' read -r nazev priprava limit prikaz kod hlaseni kontrola <<<"$radek"
    rm -rf d && mkdir d && printf 'N1\r\n' > d/a.nc
    eval "$priprava"
    # shellcheck disable=SC2086
    (ulimit $limit && exec "$cli" $prikaz) >out 2>err
    rc=$?
    chyba=0
    [ "$rc" -eq "$kod" ] || { echo "FAIL $nazev: exit $rc, not $kod"; chyba=1; }
    [ -z "$hlaseni" ] || grep -qF -- "$hlaseni" err || { echo "FAIL $nazev: stderr lacks: $hlaseni"; chyba=1; }
    eval "$kontrola" || { echo "FAIL $nazev: the files afterwards"; chyba=1; }
    [ "$chyba" -eq 0 ] || head -c 600 err
    selhani=$((selhani + chyba))
done
echo "resource limits: $((${#pripady[@]} - selhani)) passed, $selhani failed"
[ "$selhani" -eq 0 ]
