#!/usr/bin/env bash
# Races: another program changes a program between the batch tool's two
# readings of it, or while its replacement waits for the others of the
# batch, or before --diff reads it a third time; the owner of a folder swaps
# a folder or a program for a link after the walk; kill -9 ends the tool
# while a new file has its name. A library for LD_PRELOAD (Pauza.cpp) holds
# the tool at the chosen call until the case has acted, or fails a call as a
# file system without it would. One case a row of the tables below.
#
# Usage: zavody.sh TARVIK_CLI LIBPAUZA WORK_FOLDER
set -uo pipefail
cli=$1 pauza=$2 work=$3
rm -rf "$work" && mkdir -p "$work/config" || exit 2
export XDG_CONFIG_HOME=$work/config
znacka=$work/pauza
selhani=0

puvodni=$'%\r\nN9 X12345 Y6\r\nN20 X1\r\nM30\r\n'
jiny=$'%\r\nN9 X12399 Y6\r\nN20 X1\r\nM30\r\n'   # the same size, other bytes

# Waits (20 s at most) until the tool is held.
cekat() {
    local i
    for ((i = 0; i < 2000; ++i)); do
        [ -e "$znacka" ] && return
        sleep 0.01
    done
}

# run_paused PAUSE ACTION CMD...: CMD with the tool held at PAUSE; ACTION
# (shell code) runs while it waits, then the tool goes on. Sets rc, err.
run_paused() {
    local pauza_kde=$1 akce=$2
    shift 2
    rm -f "$znacka"
    TARVIK_PAUZA=$pauza_kde TARVIK_PAUZA_ZNACKA=$znacka LD_PRELOAD=$pauza "$@" >"$work/out" 2>"$work/err" &
    local pid=$!
    cekat
    if [ -e "$znacka" ]; then eval "$akce"; rm -f "$znacka"; else echo "  (never paused)"; fi
    wait "$pid"
    rc=$?
    err=$(cat "$work/err")
}

fail() {
    echo "FAIL $nazev: $*"
    echo "  exit $rc, stderr: $err"
    chyba=1
}

# name | files | pause | action while paused | command | exit | stderr holds | check afterwards
pripady=(
    "-o: the program rewritten between the passes|a.nc|open:a.nc:2|printf '%s' \"\$jiny\" > d/a.nc|renumber -o d/ven.nc d/a.nc|2|změnil, zatímco se četl|[ ! -e d/ven.nc ] && cmp -s d/a.nc jiny.ref"
    "-i: the program replaced atomically between the passes|a.nc|open:a.nc:2|printf '%s' \"\$jiny\" > d/n && mv d/n d/a.nc|renumber -i d/a.nc|2|změnil, zatímco se četl|cmp -s d/a.nc jiny.ref"
    "-i in place (a second hard link): rewritten between the passes|a.nc|open:a.nc:2|printf '%s' \"\$jiny\" > d/a.nc|renumber -i d/a.nc|2|od přečtení změnil|cmp -s d/a.nc jiny.ref && cmp -s d/b.nc jiny.ref"
    "folder: one program rewritten, the others done|a.nc c.nc|open:a.nc:2|printf '%s' \"\$jiny\" > d/a.nc|renumber -i -r -j 1 d|2|d/a.nc: selhal: Nelze otevřít soubor \"d/a.nc\". Jiný program jej změnil, zatímco se četl.|cmp -s d/a.nc jiny.ref && grep -q '^N10 X1' d/c.nc"
    "--check: the program rewritten between the passes|a.nc|open:a.nc:2|printf '%s' \"\$jiny\" > d/a.nc|renumber --check d/a.nc|2|změnil, zatímco se četl|true"
    "--diff: the program rewritten before it is read the third time|a.nc|open:a.nc:3|printf '%s' \"\$jiny\" > d/a.nc|renumber --diff d/a.nc|2|d/a.nc: selhal: Nelze otevřít soubor \"d/a.nc\". Jiný program jej změnil, zatímco se četl.|cmp -s d/a.nc jiny.ref && [ ! -s out ]"
    "folder: a program saved in place while its replacement waits|a.nc b.nc|open:b.nc:1|printf '%s' \"\$jiny\" > d/a.nc|renumber -i -r -j 1 d|2|d/a.nc: selhal: Nelze vytvořit soubor \"d/a.nc\". Jiný program jej od přečtení změnil, a proto zůstává, jak je.|cmp -s d/a.nc jiny.ref && grep -q '^N10 X1' d/b.nc"
    "folder: a program saved by a rename while its replacement waits|a.nc b.nc|open:b.nc:1|printf '%s' \"\$jiny\" > d/n && mv d/n d/a.nc|renumber -i -r -j 1 d|2|od přečtení změnil|cmp -s d/a.nc jiny.ref && grep -q '^N10 X1' d/b.nc"
    "folder: a program deleted while its replacement waits|a.nc b.nc|open:b.nc:1|rm d/a.nc|renumber -i -r -j 1 d|2|od přečtení změnil|[ ! -e d/a.nc ] && grep -q '^N10 X1' d/b.nc"
    "-r -i: a folder swapped for a link out of the tree after the walk|sub/a.nc|open:a.nc:1|mkdir venku && printf '%s' \"\$puvodni\" > venku/a.nc && mv d/sub d/stary && ln -s ../venku d/sub|renumber -r -i --all d||| cmp -s venku/a.nc puvodni.ref"
    "-r -i: a program swapped for a link out of the tree after the walk|a.nc|open:a.nc:1|printf '%s' \"\$puvodni\" > venku.nc && ln -sf ../venku.nc d/a.nc|renumber -r -i --all d|2|d/a.nc: selhal: Nelze otevřít soubor \"d/a.nc\". Jiný program jej změnil, zatímco se četl.|cmp -s venku.nc puvodni.ref && [ -L d/a.nc ]"
)

cd "$work" || exit 2
printf '%s' "$puvodni" > puvodni.ref
printf '%s' "$jiny" > jiny.ref
for radek in "${pripady[@]}"; do
    IFS='|' read -r nazev soubory pauza_kde akce prikaz kod hlaseni kontrola <<<"$radek"
    chyba=0
    rm -rf d venku venku.nc && mkdir d
    for s in $soubory; do mkdir -p "$(dirname "d/$s")" && printf '%s' "$puvodni" > "d/$s"; done
    case $nazev in *"hard link"*) ln d/a.nc d/b.nc ;; esac
    # shellcheck disable=SC2086
    run_paused "$pauza_kde" "$akce" "$cli" $prikaz
    [ -z "$kod" ] || [ "$rc" -eq "$kod" ] || fail "exit $rc, not $kod"
    [[ $err == *"$hlaseni"* ]] || fail "stderr lacks: $hlaseni"
    eval "$kontrola" || fail "the files afterwards: $(head -c 300 d/*)"
    [ -z "$(find d -name '.*tarvik-*')" ] || fail "new files left: $(ls -a d)"
    selhani=$((selhani + chyba))
done

# Calls that fail as on a file system without them: FAT keeps no
# permissions, and fchmod gives ENOSYS there.
# name | failure | command | exit | check afterwards
selhani_pripady=(
    "a file system that keeps no permissions (FAT), one program|fchmod:38|renumber -i d/a.nc|0|grep -q '^N10 X1' d/a.nc"
    "a file system that keeps no permissions (FAT), a folder|fchmod:38|renumber -i -r d|0|grep -q '^N10 X1' d/a.nc && grep -q '^N10 X1' d/b.nc"
)
for radek in "${selhani_pripady[@]}"; do
    IFS='|' read -r nazev selhani_kde prikaz kod kontrola <<<"$radek"
    chyba=0
    rm -rf d && mkdir d
    printf '%s' "$puvodni" > d/a.nc
    printf '%s' "$puvodni" > d/b.nc
    # shellcheck disable=SC2086
    TARVIK_SELHANI=$selhani_kde LD_PRELOAD=$pauza "$cli" $prikaz >"$work/out" 2>"$work/err"
    rc=$? err=$(cat "$work/err")
    [ "$rc" -eq "$kod" ] || fail "exit $rc, not $kod"
    eval "$kontrola" || fail "the files afterwards: $(head -c 300 d/*)"
    [ -z "$(find d -name '.*tarvik-*')" ] || fail "new files left: $(ls -a d)"
    selhani=$((selhani + chyba))
done

# kill -9 while the complete new file has a name beside its target: the next
# save into that folder, of any file, removes it, and nothing else of such a
# name (a user's file, another user's, one with other bytes in its mark).
nazev="kill -9 between naming the new file and the rename"
chyba=0
rm -rf d && mkdir d
printf '%s' "$puvodni" > d/a.nc
printf '%s' "$puvodni" > d/b.nc
rm -f "$znacka"
TARVIK_PAUZA=rename:a.nc:1 TARVIK_PAUZA_ZNACKA=$znacka LD_PRELOAD=$pauza "$cli" renumber -i d/a.nc 2>/dev/null &
pid=$!
cekat
kill -9 "$pid"
wait "$pid" 2>/dev/null
rm -f "$znacka"
rc=0 err=""
cmp -s d/a.nc puvodni.ref || fail "the program is not as it was"
[ -n "$(find d -name '.a.nc.tarvik-*')" ] || fail "(the kill came when no new file had a name)"
cizi=".notes.tarvik-backup .config.tarvik-v1.0.1 .a.nc.tarvik-A1b2C3"
for s in $cizi; do printf 'mine' > "d/$s"; done
[ "$(id -u)" -ne 0 ] || chown 65534:65534 d/.config.tarvik-v1.0.1
"$cli" renumber -i d/b.nc 2>/dev/null
rc=$?
[ "$rc" -eq 0 ] || fail "the next save failed"
zbyle=$(cd d && find . -name '.*tarvik-*' -printf '%f\n' | sort | tr '\n' ' ')
[ "$zbyle" = "$(printf '%s\n' $cizi | sort | tr '\n' ' ')" ] || fail "left behind or removed: $zbyle"
selhani=$((selhani + chyba))

n=$((${#pripady[@]} + ${#selhani_pripady[@]}))
echo "races: $((n + 1 - selhani)) passed, $selhani failed"
[ "$selhani" -eq 0 ]
