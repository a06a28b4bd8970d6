#!/usr/bin/env bash
# Resource limits: the batch tool under ulimit (file size, memory, CPU time,
# open files), on a nearly full disk and with slow input. Each row of the
# table runs one command under one limit (bash's ulimit, in a subshell; a
# command that would hang is ended after 60 s) and checks its exit status,
# its messages and the files afterwards. A row whose setup needs what the
# machine does not allow (mounting a small file system needs root) is
# skipped with its reason.
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
# A program of 24 KB that renumbering leaves as it is (its size too).
awk 'BEGIN { for (i = 1; i <= 1500; i++) printf "N%d G01 X%d\r\n", 5 * i, i % 10 }' > vzor24k.nc
# A settings store of 100,000 file types, read value by value.
awk 'BEGIN {
    printf "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Orvendal\\Tarvik\\TypySouboru]\r\n"
    for (i = 0; i < 100000; i++) printf "\"%d\"=\"Typ%d\t.n%d\t:\tN\t%%\tM30\t(\t\"\r\n", i, i, i
}' > typy.reg

# name | setup (shell) | limit (ulimit options) | command | exit | stderr holds | check afterwards
pripady=(
    "a file size limit, in place (a second hard link)|cp maly.nc d/a.nc && ln d/a.nc d/b.nc|-f 2|introduce -i d/a.nc|2|Soubor by přesáhl povolenou velikost; původní obsah byl zapsán zpět|cmp -s d/a.nc maly.nc && cmp -s d/b.nc maly.nc"
    "a file size limit, a replace|cp maly.nc d/a.nc|-f 2|introduce -i d/a.nc|2|Soubor by přesáhl povolenou velikost.|cmp -s d/a.nc maly.nc"
    "a file size limit in a folder: the next program is done|cp maly.nc d/a.nc && ln d/a.nc d/b.nc && printf 'X\r\n' > d/c.nc|-f 2|introduce -i -r -j 1 d|2|d/c.nc: hotovo|cmp -s d/a.nc maly.nc && [ \"\$(cat d/c.nc)\" = \$'N5 X\r' ]"
    "--diff of 45 MB within 160 MB of memory|cp velky.nc d/a.nc|-v 160000|renumber --diff d/a.nc|1|změnil by se|cmp -s d/a.nc velky.nc && [ \$(grep -c '^+N' out) -gt 2990000 ]"
    "--check of 45 MB within 160 MB of memory|cp velky.nc d/a.nc|-v 160000|renumber --check d/a.nc|1|změnil by se|cmp -s d/a.nc velky.nc"
    "a settings store nested 20,000 levels, within 10 s of CPU|cp hluboky.reg config/Orvendal/Tarvik.reg|-t 10|count d/a.nc|0||rm config/Orvendal/Tarvik.reg"
    "a settings store of 100,000 file types, within 5 s of CPU|cp typy.reg config/Orvendal/Tarvik.reg|-t 5|types|0||[ \$(wc -l < out) -eq 100000 ] && rm config/Orvendal/Tarvik.reg"
    "a settings store of 1 GiB of NULs is not read, within 5 s of CPU|truncate -s 1G config/Orvendal/Tarvik.reg|-t 5|count d/a.nc|0|Je větší než 16777216 bajtů, které se čtou|[ \$(stat -c %s config/Orvendal/Tarvik.reg) -eq 1073741824 ] && rm config/Orvendal/Tarvik.reg"
    "-i on a pipe is refused at once|mkfifo d/f.nc|-t 5|renumber -i d/f.nc|2|Nelze vytvořit soubor \"d/f.nc\". Není to běžný soubor, ale roura, zařízení nebo soket.|[ -p d/f.nc ]"
    "64 open files: 200 programs of a folder one at a time|mkdir d/m && for i in \$(seq 100 299); do cp vzor24k.nc d/m/p\$i.nc; done|-n 64|renumber -i -r -j 1 d/m|0||[ \$(grep -c ': hotovo' err) -eq 200 ]"
    "a nearly full disk: programs that fit one at a time, 64 waiting|mkdir d/disk && mount -t tmpfs -o size=2m tarvik d/disk && for i in \$(seq 100 169); do cp vzor24k.nc d/disk/p\$i.nc; done|-t 20|renumber -i -r -j 1 d/disk|0||[ \$(grep -c ': hotovo' err) -eq 70 ] && cmp -s d/disk/p169.nc vzor24k.nc"
)

uklidit() { umount d/disk 2>/dev/null; rm -rf d; }
preskoceno=0
for radek in "${pripady[@]}"; do
    IFS='|' read -r nazev priprava limit prikaz kod hlaseni kontrola <<<"$radek"
    uklidit && mkdir d && printf 'N1\r\n' > d/a.nc
    if ! eval "$priprava" 2>/dev/null; then
        echo "SKIP $nazev: its setup is not allowed here (mount needs root)"
        preskoceno=$((preskoceno + 1))
        continue
    fi
    # shellcheck disable=SC2086
    (ulimit $limit && exec timeout -s KILL 60 "$cli" $prikaz) >out 2>err
    rc=$?
    chyba=0
    [ "$rc" -eq "$kod" ] || { echo "FAIL $nazev: exit $rc, not $kod"; chyba=1; }
    [ -z "$hlaseni" ] || grep -qF -- "$hlaseni" err || { echo "FAIL $nazev: stderr lacks: $hlaseni"; chyba=1; }
    eval "$kontrola" || { echo "FAIL $nazev: the files afterwards"; chyba=1; }
    [ "$chyba" -eq 0 ] || head -c 600 err
    selhani=$((selhani + chyba))
done
uklidit
echo "resource limits: $((${#pripady[@]} - selhani - preskoceno)) passed, $selhani failed, $preskoceno skipped"
[ "$selhani" -eq 0 ]
