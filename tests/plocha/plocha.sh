#!/usr/bin/env bash
# The window on a real (virtual) desktop: a display of its own (Xvfb) with a
# window manager (openbox), the real tarvik driven with xdotool as a person
# would, by the keyboard and the window manager's close.
#
#   plocha.sh BIN_DIR DATA_DIR WORK_DIR SCENARIO
#
# SCENARIO is one of: prace (open, the three commands by their shortcuts from
# different controls, undo, save, the closing question closed by the window
# manager, restart), otevreni (the question before opening another file),
# jazyk (switching the language, Qt's own texts, restart), dialogy (titles and
# the place of the dialogs), editor (a report's link, go to block, save as,
# a recent program, by keys), hledani (find and replace, the title, a recent
# program from the open button's arrow), porovnani (the changes against the
# original, the side-by-side window, the context menu's undo, Ctrl+J),
# psani (Ctrl and Alt type nothing, AltGr does, on a Czech keyboard), zvenku
# (a file changed by another program), storno (Cancel of the unsaved-changes
# question), fokus (the program has the focus), cestina (back to Czech),
# rozmery (the first start's size, the file type list whole), ctecka (typing
# while a screen reader listens), instalace (an installed tarvik, BIN being the
# installation's bin: started by its desktop entry's command with a program,
# under a German locale with no language stored, from a folder where a
# language file of someone else's lies, which it must not read). A failure leaves a screenshot and the program's
# output in WORK_DIR, and says what was waited for, for how long, and what
# the desktop showed; the display and everything started on it end with the
# script, whatever happened.
#
# Nothing here counts on an idle machine: every step waits by polling for
# what it needs (the display, the window manager's readiness, a window shown
# and active, a file written) until a generous deadline, TARVIK_PLOCHA_LIMIT
# seconds (120 unless set), and a process it waits on that ends fails the
# step at once. The display number is the X server's own choice (-displayfd),
# which takes the first number whose sockets it can bind; another virtual
# desktop on the machine holds its own.
set -u

BIN=$(cd "$1" && pwd)
DATA=$(cd "$2" && pwd)
PRACE=$3
SCENAR=$4

export LC_ALL=C.UTF-8
LIMIT=${TARVIK_PLOCHA_LIMIT:-120}  # seconds to wait for a window or a result

XVFB_PID=""
WM_PID=""
APP_PID=""

ukoncit() {
    local pid
    for pid in "$APP_PID" "$WM_PID" "$XVFB_PID"; do
        [ -n "$pid" ] && kill "$pid" 2>/dev/null
    done
    for pid in "$APP_PID" "$WM_PID" "$XVFB_PID"; do
        [ -n "$pid" ] && wait "$pid" 2>/dev/null
    done
    return 0
}
trap ukoncit EXIT
# Stopped from outside (a test timeout): still clean up.
trap 'exit 143' TERM INT HUP

krok=""
selhat() {
    echo "FAILED ($SCENAR, $krok): $*" >&2
    echo "after ${SECONDS}s of the scenario; load average: $(cut -d' ' -f1-3 /proc/loadavg 2>/dev/null)" >&2
    local soubor
    for soubor in xvfb openbox; do
        [ -s "$PRACE/$soubor.log" ] && { echo "$soubor's output:" >&2; tail -n 20 "$PRACE/$soubor.log" >&2; }
    done
    if [ -n "${DISPLAY:-}" ]; then
        local snimek="$PRACE/selhani-$SCENAR.png"
        import -window root "$snimek" 2>/dev/null && echo "screenshot: $snimek" >&2
        echo "windows shown:" >&2
        local id
        for id in $(xprop -root _NET_CLIENT_LIST 2>/dev/null | sed 's/.*#//; s/,/ /g'); do
            echo "  $id '$(xdotool getwindowname "$id" 2>/dev/null)'" >&2
        done
        id=$(xdotool getactivewindow 2>/dev/null) &&
            echo "active: $id '$(xdotool getwindowname "$id" 2>/dev/null)'" >&2
    fi
    [ -f "$PRACE/tarvik.log" ] && { echo "tarvik's output:" >&2; cat "$PRACE/tarvik.log" >&2; }
    exit 1
}

for nastroj in Xvfb openbox xdotool xwininfo xprop import; do
    command -v "$nastroj" >/dev/null || selhat "$nastroj is missing (scripts/setup.sh installs it)"
done

# ---------------------------------------------------------------- the desktop

spustit_plochu() {
    krok="desktop"
    # Xvfb chooses a free display number and tells it on a pipe once it
    # serves it (or ends, which closes the pipe).
    local roura="$PRACE/displej"
    rm -f "$roura"
    mkfifo "$roura"
    # -noreset: the server stays as it is when its last client (the check
    # below) leaves, instead of starting over just as openbox connects.
    Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp 3>"$roura" >"$PRACE/xvfb.log" 2>&1 &
    XVFB_PID=$!
    local cislo=""
    read -r -t "$LIMIT" cislo <"$roura"
    rm -f "$roura"
    [ -n "$cislo" ] || selhat "Xvfb told no display within ${LIMIT}s$(kill -0 "$XVFB_PID" 2>/dev/null || echo ": it ended")"
    export DISPLAY=":$cislo"
    cekat "the display $DISPLAY to answer" 'xprop -root >/dev/null 2>&1' "$XVFB_PID" Xvfb
    # openbox with its default settings, not those of whoever runs the tests;
    # it is ready once it names itself on the root window. A window manager
    # that could not open a display which answers is started again (a few
    # times): that is the desktop's start, not the program under test.
    mkdir -p "$PRACE/wm"
    local pokus
    for pokus in 1 2 3 4 5; do
        XDG_CONFIG_HOME="$PRACE/wm" openbox --sm-disable >"$PRACE/openbox.log" 2>&1 &
        WM_PID=$!
        local konec=$((SECONDS + LIMIT))
        until spravce_pripraven; do
            kill -0 "$WM_PID" 2>/dev/null || break
            [ "$SECONDS" -lt "$konec" ] || selhat "waited ${LIMIT}s for the window manager"
            sleep 0.1
        done
        kill -0 "$WM_PID" 2>/dev/null && return 0
        wait "$WM_PID" 2>/dev/null
        grep -q 'Failed to open the display' "$PRACE/openbox.log" || break
        cp "$PRACE/openbox.log" "$PRACE/openbox-$pokus.log"
        sleep 0.5
    done
    WM_PID=""
    selhat "openbox ended while waiting for the window manager"
}

spravce_pripraven() {
    local id
    id=$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null) || return 1
    [[ $id == *"window id"* ]] || return 1
    xprop -id "${id##* }" _NET_WM_NAME 2>/dev/null | grep -q Openbox
}

# Waits until the condition (a shell command) holds. With a PID (and the
# program's name), a process that must go on meanwhile: its end fails the
# step at once.
cekat() {
    # Names of its own (_c...), so that the condition sees the caller's
    # variables, not these.
    local _cco=$1 _cpodminka=$2 _cpid=${3:-} _cproces=${4:-}
    local _ckonec=$((SECONDS + LIMIT))
    until eval "$_cpodminka"; do
        if [ -n "$_cpid" ] && ! kill -0 "$_cpid" 2>/dev/null; then
            selhat "$_cproces ended while waiting for $_cco"
        fi
        [ "$SECONDS" -lt "$_ckonec" ] || selhat "waited ${LIMIT}s for $_cco"
        sleep 0.1
    done
}

# Waits for the window of exactly this title to be shown and to have the
# focus; OKNO is its id. (Results go into variables, never through a
# subshell, so that a failure ends the script.)
OKNO=""
cekat_na_okno() {
    local nazev=$1 konec=$((SECONDS + LIMIT)) id
    while :; do
        id=$(xdotool getactivewindow 2>/dev/null)
        if [ -n "$id" ] && nazev_odpovida "$(xdotool getwindowname "$id" 2>/dev/null)" "$nazev" && zobrazeno "$id"; then
            OKNO=$id
            return
        fi
        [ -z "$APP_PID" ] || bezi || selhat "tarvik ended while waiting for the window \"$nazev\""
        [ "$SECONDS" -lt "$konec" ] || selhat "waited ${LIMIT}s for the window \"$nazev\" to be active"
        sleep 0.1
    done
}

zobrazeno() { xwininfo -id "$1" 2>/dev/null | grep -q "IsViewable"; }

# The program's menus shown (a context menu and its submenus): their count
# in NABIDEK. A menu is a window of the program shown past the window
# manager (override-redirect); nothing else of the program is, as long as no
# tooltip shows.
NABIDEK=0
nabidky() {
    local id
    NABIDEK=0
    for id in $(xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null); do
        xwininfo -id "$id" 2>/dev/null | grep -q "Override Redirect State: yes" && NABIDEK=$((NABIDEK + 1))
    done
    return 0
}

# Waits until the program shows exactly N menus: a key meant for a menu
# waits for the menu (before it has the keyboard, the key would go to the
# window under it), and a key after the menu's choice for the menu to close.
cekat_na_nabidky() {
    cekat "$1 menus shown" 'nabidky; [ "$NABIDEK" -eq '"$1"' ]' "$APP_PID" tarvik
}

# The main window's title names its program and marks it unsaved: "Tarvik"
# stands also for "program.nc - Tarvik", "program.nc* - Tarvik" and "Tarvik*".
nazev_odpovida() {
    [ "$1" = "$2" ] || { [ "$2" = "Tarvik" ] && [[ "$1" == *" - Tarvik" || "$1" == "Tarvik*" ]]; }
}

cekat_na_zavreni() {
    cekat "the window \"$2\" to close" "! zobrazeno $1"
}

# The client area of a window: GX GY GW GH.
geometrie() {
    read -r GX GY GW GH < <(xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$4}
        /Absolute upper-left Y/{y=$4} /^  Width/{w=$2} /^  Height/{h=$2} END{print x, y, w, h}')
}

# Closes a window with the close button of its title bar, as a mouse user would.
zavrit_tlacitkem() {
    local id=$1 l r t
    geometrie "$id"
    read -r l r t _ < <(xprop -id "$id" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
    [ -n "$t" ] || selhat "the window manager tells no frame of the window $id"
    # The close button is the right-most one in the title bar.
    xdotool mousemove $((GX + GW + r - 10)) $((GY - t / 2)) click 1
}

klavesy() { xdotool key --delay 40 "$@"; }

# ---------------------------------------------------------------- the program

spustit_tarvik() {
    krok="start"
    mkdir -p "$PRACE/nastaveni" "$PRACE/beh"
    # The language file lies in the working directory, the file types beside the program.
    cp "$BIN/tarvik.xml" "$PRACE/beh/"
    (cd "$PRACE/beh" && XDG_CONFIG_HOME="$PRACE/nastaveni" exec "$BIN/tarvik") >>"$PRACE/tarvik.log" 2>&1 &
    APP_PID=$!
    cekat_na_okno "Tarvik"
    HLAVNI=$OKNO
}

cekat_na_konec() {
    cekat "tarvik to end" '! kill -0 "$APP_PID" 2>/dev/null'
    wait "$APP_PID"
    local kod=$?
    APP_PID=""
    [ "$kod" -eq 0 ] || selhat "tarvik ended with status $kod"
}

bezi() { kill -0 "$APP_PID" 2>/dev/null; }

# Opens a program through the open dialog (its title in the current language).
otevrit() {
    local titulek=$1 soubor=$2
    klavesy ctrl+o
    cekat_na_okno "$titulek"
    local d=$OKNO
    xdotool type --delay 20 "$soubor"
    klavesy Return
    cekat_na_zavreni "$d" "$titulek"
    # Opened once the title names the program.
    cekat_na_okno "${soubor##*/} - Tarvik"
}

# Waits for the title's mark of a changed program (after a command's key).
cekat_na_znacku() {
    cekat "the title's mark of a changed program" \
        '[[ "$(xdotool getwindowname "$HLAVNI" 2>/dev/null)" == *"* - Tarvik" ]]' "$APP_PID" tarvik
}

# Closes the dialog OKNO with Escape; the main window is active again.
zavrit_dialog() {
    local id=$OKNO nazev=$1
    klavesy Escape
    cekat_na_zavreni "$id" "$nazev"
    cekat_na_okno "Tarvik"
}

# Chooses German in the language dialog (Čeština is chosen; Deutsch is three
# rows below), then shows the settings dialog under its German title.
zvolit_nemcinu() {
    klavesy alt+j
    cekat_na_okno "Výběr jazyka aplikace"
    klavesy Down Down Down Return
    cekat_na_zavreni "$OKNO" "Výběr jazyka aplikace"
    cekat_na_okno "Tarvik"
    krok="German windows"
    nemecke_nastaveni
}

# The settings dialog shows its German title.
nemecke_nastaveni() {
    klavesy ctrl+m
    cekat_na_okno "Einstellungen"
    zavrit_dialog "Einstellungen"
}

# A question that offers Yes and No stays open whatever else closes it:
# Escape, Alt+F4 and the close button of its title bar.
nezavrit_otazku() {
    local id=$1
    klavesy Escape
    klavesy alt+F4
    zavrit_tlacitkem "$id"
    # Nothing is to happen: give the program time to do the wrong thing.
    sleep 1
    bezi || selhat "the program ended while its question was open"
    zobrazeno "$id" || selhat "the question was closed without an answer"
    [ "$(xdotool getactivewindow)" = "$id" ] || xdotool windowactivate --sync "$id"
}

ulozeno() { iconv -f UTF-16 -t UTF-8 "$PRACE/nastaveni/Orvendal/Tarvik.reg" | tr -d '\r'; }

# The batch tool gives the expected programs (settings of its own, not the window's).
cli() { XDG_CONFIG_HOME="$PRACE/cli" "$BIN/tarvik-cli" "$@" -t "ISO frézování"; }

stejne() {
    local co=$1 ocekavany=$2 soubor=$3
    cmp -s "$ocekavany" "$soubor" || { diff <(tr -d '\r' <"$ocekavany") <(tr -d '\r' <"$soubor") >&2; selhat "$co"; }
}

# ---------------------------------------------------------------- scenarios

# Open, the three commands by their shortcuts from different controls, undo,
# save, the closing question answered after attempts to close it, restart.
scenar_prace() {
    spustit_tarvik
    local program="$PRACE/program.nc"
    cp "$DATA/vzor.nc" "$program"
    cli remove "$program" >"$PRACE/bez.nc"
    cli introduce --first 10 --increment 5 "$PRACE/bez.nc" >"$PRACE/zavedeno.nc"
    cli renumber --first 10 --increment 7 "$PRACE/zavedeno.nc" >"$PRACE/precislovano.nc"

    krok="first number"
    # The program has the focus at start: the first number is clicked into.
    do_prvniho_cisla
    klavesy ctrl+a 1 0
    krok="open from the spin edit"
    otevrit "Otevřít" "$program"
    krok="introduce from the spin edit"
    # After opening, the program has the focus again.
    do_prvniho_cisla
    # The program has block numbers: introducing refuses.
    klavesy ctrl+Insert
    cekat_na_okno "Varování"
    klavesy Return
    cekat_na_okno "Tarvik"
    krok="remove from the spin edit"
    klavesy ctrl+Delete
    krok="introduce from a check box"
    klavesy Tab Tab Tab Tab
    klavesy ctrl+Insert
    krok="renumber from the text area"
    # The increment 7, then into the text area and renumber.
    klavesy shift+Tab shift+Tab shift+Tab ctrl+a 7
    geometrie "$HLAVNI"
    xdotool mousemove $((GX + GW / 2)) $((GY + GH - 80)) click 1
    klavesy F9
    krok="undo"
    klavesy ctrl+z
    krok="save"
    klavesy ctrl+s
    cekat "the saved program" 'cmp -s "$PRACE/zavedeno.nc" "$program"'

    krok="closing question"
    klavesy F9
    klavesy alt+F4
    cekat_na_okno "Potvrzení"
    # Escape is Cancel: the window stays, the program as it was.
    klavesy Escape
    cekat_na_zavreni "$OKNO" "Potvrzení"
    cekat_na_okno "Tarvik"
    klavesy alt+F4
    cekat_na_okno "Potvrzení"
    klavesy alt+a  # "Ano": save and end
    cekat_na_konec
    stejne "the program saved at the end" "$PRACE/precislovano.nc" "$program"
    ulozeno | grep -qx '"PrvniBlok"=dword:0000000a' || selhat "the store lacks the first number 10"
    ulozeno | grep -qx '"Prirustek"=dword:00000007' || selhat "the store lacks the increment 7"

    krok="restart"
    # The stored numbers are the window's again: remove and introduce from 10 by 7.
    spustit_tarvik
    otevrit "Otevřít" "$program"
    klavesy ctrl+Delete ctrl+Insert ctrl+s
    cli introduce --first 10 --increment 7 "$PRACE/bez.nc" >"$PRACE/znovu.nc"
    cekat "the program saved after the restart" 'cmp -s "$PRACE/znovu.nc" "$program"'
    klavesy alt+F4
    cekat_na_konec
}

# The question before opening another program: closing it does not count as
# No but as Cancel, which leaves everything as it was.
scenar_otevreni() {
    spustit_tarvik
    local program="$PRACE/program.nc"
    cp "$DATA/vzor.nc" "$program"
    krok="open"
    otevrit "Otevřít" "$program"
    klavesy ctrl+Delete
    krok="question before opening, closed"
    klavesy ctrl+o
    cekat_na_okno "Potvrzení"
    zavrit_tlacitkem "$OKNO"
    cekat_na_zavreni "$OKNO" "Potvrzení"
    cekat_na_okno "Tarvik"
    krok="question before opening, No"
    klavesy ctrl+o
    cekat_na_okno "Potvrzení"
    klavesy alt+n  # "Ne": on to the open dialog without saving
    cekat_na_okno "Otevřít"
    zavrit_dialog "Otevřít"
    krok="closing question"
    klavesy alt+F4
    cekat_na_okno "Potvrzení"
    klavesy alt+n
    cekat_na_konec
    stejne "the program, never saved" "$DATA/vzor.nc" "$program"
}

# Switching the language: the windows and Qt's own texts follow it, and it is
# the language of the next start.
scenar_jazyk() {
    spustit_tarvik
    local program="$PRACE/program.nc"
    cp "$DATA/vzor.nc" "$program"
    krok="language dialog"
    zvolit_nemcinu
    krok="German open dialog"
    otevrit "Öffnen" "$program"
    klavesy ctrl+Delete
    cekat_na_znacku
    klavesy alt+F4
    krok="German question"
    cekat_na_okno "Bestätigung"
    klavesy alt+j  # "Ja": save and end
    cekat_na_konec
    cli remove "$DATA/vzor.nc" >"$PRACE/bez.nc"
    stejne "the program saved by the German Yes" "$PRACE/bez.nc" "$program"
    ulozeno | grep -qx '"Jazyk"="DE"' || selhat "the store lacks the language DE"

    krok="restart"
    spustit_tarvik
    nemecke_nastaveni
    klavesy alt+F4
    cekat_na_konec
}

# The dialogs open centred over the main window, the first time as later,
# and their titles are their captions alone.
scenar_dialogy() {
    spustit_tarvik
    geometrie "$HLAVNI"
    local mx=$GX my=$GY mw=$GW mh=$GH
    local klavesa_nazev klavesa nazev id i
    for klavesa_nazev in "ctrl+m|Nastavení" "F1|O aplikaci" "alt+j|Výběr jazyka aplikace"; do
        klavesa=${klavesa_nazev%%|*}
        nazev=${klavesa_nazev#*|}
        for i in 1 2; do
            krok="$nazev, showing $i"
            klavesy "$klavesa"
            cekat_na_okno "$nazev"
            id=$OKNO
            geometrie "$id"
            local dx=$((2 * GX + GW - 2 * mx - mw)) dy=$((2 * GY + GH - 2 * my - mh))
            [ "${dx#-}" -le 2 ] && [ "${dy#-}" -le 2 ] ||
                selhat "\"$nazev\" at $GX,$GY ${GW}x$GH is not centred over the main window at $mx,$my ${mw}x$mh"
            zavrit_dialog "$nazev"
        done
    done
    klavesy alt+F4
    cekat_na_konec
}

# The installed program, started as the desktop starts it: the Exec line of
# its desktop entry, the program for %f, the command found on the PATH, the
# working directory elsewhere. It opens the program, and finds the language
# file of its installation.
scenar_instalace() {
    local zaznam="$BIN/../share/applications/cz.orvendal.Tarvik.desktop"
    local program="$PRACE/program.nc" slovo prikaz=()
    cp "$DATA/vzor.nc" "$program"
    krok="the desktop entry's command"
    local radek
    radek=$(sed -n 's/^Exec=//p' "$zaznam")
    for slovo in $radek; do
        [ "$slovo" = "%f" ] && slovo=$program
        prikaz+=("$slovo")
    done
    [ "${prikaz[0]}" = "tarvik" ] || selhat "the desktop entry runs '${prikaz[0]}', not tarvik"
    mkdir -p "$PRACE/nastaveni" "$PRACE/jinde"
    printf '%s' '<?xml version="1.0" encoding="UTF-8"?><Preklad><JAZYKY><CZ index="0"><Jmeno>PLANTED</Jmeno>' \
        '<Verze>1</Verze><Autor>A</Autor></CZ></JAZYKY><NastaveniForm><NastaveniForm><CZ>PLANTED</CZ>' \
        '<DE>PLANTED</DE></NastaveniForm></NastaveniForm></Preklad>' >"$PRACE/jinde/tarvik.xml"
    (cd "$PRACE/jinde" && PATH="$BIN:$PATH" XDG_CONFIG_HOME="$PRACE/nastaveni" \
        XDG_DATA_HOME="$PRACE/zadna" XDG_DATA_DIRS="$PRACE/zadna" \
        exec env -u LC_ALL -u LANGUAGE LANG=de_DE.UTF-8 "${prikaz[@]}") >>"$PRACE/tarvik.log" 2>&1 &
    APP_PID=$!
    # The program of the command line opens after the window shows: keys
    # pressed while it loads reach no program.
    cekat_na_okno "${program##*/} - Tarvik"
    krok="the program of the command line"
    klavesy ctrl+Delete ctrl+s
    cli remove "$DATA/vzor.nc" >"$PRACE/bez.nc"
    cekat "the program saved" 'cmp -s "$PRACE/bez.nc" "$program"'
    krok="the locale's language"
    # German from the installation's language file: neither Czech (the
    # locale ignored, or no language file found) nor the planted file's text.
    nemecke_nastaveni
    klavesy alt+F4
    cekat_na_konec
    ulozeno | grep -q '^"Jazyk"=' && selhat "a language is stored, though none was chosen"
    return 0
}

# The screen reader's scenario runs on a session bus of its own, which ends
# with the script (the accessibility bus is found through it).
if [ "$SCENAR" = ctecka ] && [ -z "${TARVIK_PLOCHA_SBERNICE:-}" ]; then
    command -v dbus-run-session >/dev/null || selhat "dbus-run-session is missing (scripts/setup.sh installs it)"
    TARVIK_PLOCHA_SBERNICE=1 exec dbus-run-session -- bash "$0" "$@"
fi

rm -rf "$PRACE"
mkdir -p "$PRACE"
spustit_plochu
# The editor's ways by keys: the report's link after a renumber leads to its
# line, go to block and go to line, save as, and a recent program reopened
# from the text area's context menu. Each place is marked by typing there.
scenar_editor() {
    spustit_tarvik
    local program="$PRACE/skoky.nc" druhy="$PRACE/druhy.nc" kopie="$PRACE/kopie.nc"
    printf '%%\r\nN1 GOTO 2\r\nN2 GOTO 7\r\nN3 GOTO #1\r\nN4 M99 P3 (GOTO 9)\r\nM30\r\n' >"$program"
    cp "$program" "$PRACE/puvodni.nc"
    printf 'N1 X\r\n' >"$druhy"
    printf '%%\r\nN5 GOTO 10\r\n(A)N10 GOTO 7\r\nN15 GOTO #1\r\n(B)N20 M99 P15 (GOTO 9)\r\n(C)M30\r\n' \
        >"$PRACE/ocekavany.nc"
    krok="open"
    otevrit "Otevřít" "$program"

    krok="report links"
    geometrie "$HLAVNI"
    xdotool mousemove $((GX + GW / 2)) $((GY + GH - 80)) click 1
    klavesy F9
    # The report names lines 3 and 4: Tab reaches the first link, Enter follows it.
    cekat_na_okno "Varování"
    local zprava=$OKNO
    klavesy Tab Return
    cekat_na_zavreni "$zprava" "Varování"
    cekat_na_okno "Tarvik"
    xdotool type --delay 20 "(A)"

    krok="go to block"
    klavesy ctrl+g
    cekat_na_okno "Přejít na blok"
    xdotool type --delay 20 "N20"
    klavesy Return
    cekat_na_okno "Tarvik"
    xdotool type --delay 20 "(B)"
    krok="go to line"
    klavesy ctrl+g
    cekat_na_okno "Přejít na blok"
    xdotool type --delay 20 "L6"
    klavesy Return
    cekat_na_okno "Tarvik"
    xdotool type --delay 20 "(C)"

    krok="save as"
    klavesy ctrl+shift+s
    cekat_na_okno "Uložit jako"
    local dialog=$OKNO
    xdotool type --delay 20 "$kopie"
    klavesy Return
    cekat_na_zavreni "$dialog" "Uložit jako"
    cekat_na_okno "Tarvik"
    cekat "the program saved as" 'cmp -s "$PRACE/ocekavany.nc" "$kopie"'
    stejne "the program's first file, kept" "$PRACE/puvodni.nc" "$program"

    krok="recent program"
    otevrit "Otevřít" "$druhy"
    # The context menu of the text area (the menu key), its recent programs
    # (s), the second of them (2).
    xdotool mousemove $((GX + GW / 2)) $((GY + GH - 80)) click 1
    klavesy Menu
    cekat_na_nabidky 1
    klavesy s
    cekat_na_nabidky 2
    klavesy 2
    cekat_na_nabidky 0
    cekat "the recent program" '[ "$(xdotool getwindowname "$HLAVNI")" = "kopie.nc - Tarvik" ]'
    xdotool type --delay 20 "(D)"
    klavesy ctrl+s
    cekat "the recent program saved" '[ "$(head -c 4 "$kopie")" = "(D)%" ]'
    stejne "the other program" <(printf 'N1 X\r\n') "$druhy"
    klavesy alt+F4
    cekat_na_konec
}

# Find and replace by keys: every X word replaced in one undo step (undone,
# redone), a text found by the dialog, by F3 and Shift+F3 and typed over;
# the title names the program and marks it unsaved; a recent program
# opened from the arrow beside the open button.
scenar_hledani() {
    spustit_tarvik
    local program="$PRACE/hledani.nc" druhy="$PRACE/druhy.nc"
    printf '%%\r\nN10 G0 X10 Y5\r\nN20 G1 X-2.5 (MAX)\r\nN30 G1 X3\r\nM30\r\n' >"$program"
    printf 'N1 X\r\n' >"$druhy"
    krok="open"
    otevrit "Otevřít" "$druhy"
    otevrit "Otevřít" "$program"
    cekat "the title naming the program" '[ "$(xdotool getwindowname "$HLAVNI")" = "hledani.nc - Tarvik" ]'
    geometrie "$HLAVNI"
    xdotool mousemove $((GX + GW / 2)) $((GY + GH - 80)) click 1

    krok="replace all"
    klavesy ctrl+h
    cekat_na_okno "Najít a nahradit"
    xdotool type --delay 20 "X"
    klavesy Tab
    xdotool type --delay 20 "U"
    klavesy alt+c alt+v  # whole words, replace all
    # (A button's access key clicks it a moment later: the replace first, then Escape.)
    cekat "the title's mark" '[ "$(xdotool getwindowname "$HLAVNI")" = "hledani.nc* - Tarvik" ]'
    zavrit_dialog "Najít a nahradit"
    krok="undo and redo of the replace"
    klavesy ctrl+z
    cekat "the title without the mark" '[ "$(xdotool getwindowname "$HLAVNI")" = "hledani.nc - Tarvik" ]'
    klavesy ctrl+y

    krok="find"
    klavesy ctrl+f
    cekat_na_okno "Najít a nahradit"
    xdotool type --delay 20 "g1"
    klavesy Return  # the first G1, on line 3
    zavrit_dialog "Najít a nahradit"
    klavesy F3  # the next, on line 4
    xdotool type --delay 20 "G2"
    klavesy shift+F3  # back to line 3
    xdotool type --delay 20 "G3"
    klavesy ctrl+s
    printf '%%\r\nN10 G0 U10 Y5\r\nN20 G3 U-2.5 (MAX)\r\nN30 G2 U3\r\nM30\r\n' >"$PRACE/ocekavany.nc"
    cekat "the program saved" 'cmp -s "$PRACE/ocekavany.nc" "$program"'
    cekat "the title without the mark" '[ "$(xdotool getwindowname "$HLAVNI")" = "hledani.nc - Tarvik" ]'

    krok="recent program from the arrow"
    # The arrow beside the open button (with the Czech texts at x 153 to 167
    # of the tool bar, which is 27 pixels high).
    xdotool mousemove $((GX + 160)) $((GY + 13)) click 1
    cekat_na_nabidky 1
    klavesy Down Down Return
    cekat_na_nabidky 0
    cekat "the other program opened" '[ "$(xdotool getwindowname "$HLAVNI")" = "druhy.nc - Tarvik" ]'
    klavesy alt+F4
    cekat_na_konec
}

# Compare with the original by keys: after a renumber F8 and Shift+F8 lead
# from change to change; the side-by-side window (F7) goes to the next
# changes by F8 and Enter leads to the line in the program; the context
# menu's Undo takes back what was typed; Ctrl+J reaches the language dialog.
scenar_porovnani() {
    spustit_tarvik
    local program="$PRACE/porovnani.nc"
    printf '%%\r\nN10 G0 X10 Y5\r\n(KOMENTAR)\r\nN20 G1 X-2.5\r\n(DALSI)\r\nN30 G1 X3\r\nM30\r\n' >"$program"
    krok="open"
    otevrit "Otevřít" "$program"
    geometrie "$HLAVNI"
    xdotool mousemove $((GX + GW / 2)) $((GY + GH - 80)) click 1
    klavesy ctrl+Home F9  # N5, N10, N15: lines 2, 4 and 6 change

    krok="next and previous change"
    klavesy F8
    xdotool type --delay 20 "(A)"
    klavesy F8
    xdotool type --delay 20 "(B)"
    klavesy shift+F8
    xdotool type --delay 20 "(C)"

    krok="side by side"
    klavesy F7
    cekat_na_okno "Porovnání s původním programem"
    local okno=$OKNO
    klavesy F8 F8 Return  # line 4, line 6, and there in the program
    cekat_na_zavreni "$okno" "Porovnání s původním programem"
    cekat_na_okno "Tarvik"
    xdotool type --delay 20 "(D)"

    krok="undo from the context menu"
    klavesy Menu
    cekat_na_nabidky 1
    klavesy z  # "Zpět": the (D) typed last
    cekat_na_nabidky 0
    klavesy ctrl+s
    printf '%%\r\n(C)(A)N5 G0 X10 Y5\r\n(KOMENTAR)\r\n(B)N10 G1 X-2.5\r\n(DALSI)\r\nN15 G1 X3\r\nM30\r\n' >"$PRACE/ocekavany.nc"
    cekat "the program saved" 'cmp -s "$PRACE/ocekavany.nc" "$program"'

    krok="language by Ctrl+J"
    klavesy ctrl+j
    cekat_na_okno "Výběr jazyka aplikace"
    zavrit_dialog "Výběr jazyka aplikace"
    klavesy alt+F4
    cekat_na_konec
}

# ---------------------------------------------------------------- the window's faults, by real keys

# Clicks into the first number (the program has the focus otherwise): its
# place in the settings panel, under the tool bar.
do_prvniho_cisla() {
    geometrie "$HLAVNI"
    xdotool mousemove $((GX + 90)) $((GY + 77)) click 1
    sleep 0.3
}

# A Czech keyboard: Ctrl or Alt with a digit or punctuation types nothing,
# AltGr types #, [, ] and @; the program saved holds exactly that.
scenar_psani() {
    setxkbmap cz || selhat "setxkbmap cz failed"
    spustit_tarvik
    local program="$PRACE/psani.nc"
    printf 'X5' >"$program"
    krok="open"
    otevrit "Otevřít" "$program"
    klavesy ctrl+End
    krok="Ctrl and Alt with digits and punctuation"
    klavesy ctrl+0 alt+5 ctrl+period ctrl+plus ctrl+comma ctrl+KP_Add alt+minus ctrl+7
    krok="AltGr"
    xdotool keydown ISO_Level3_Shift key --delay 40 x f g v keyup ISO_Level3_Shift
    xdotool type --delay 40 "1.5"
    klavesy ctrl+s
    cekat "the program saved" '[ "$(cat "$program")" = "X5#[]@1.5" ]'
    klavesy alt+F4
    cekat_na_konec
}

# Another program appends a line while the window holds the program: Ctrl+S
# asks (Escape keeps both as they are), reading it again shows that line;
# a change while the window is behind another is asked about when it comes
# back, and overwriting writes the window's program.
scenar_zvenku() {
    spustit_tarvik
    local program="$PRACE/zvenku.nc"
    printf 'N1 X1\r\n' >"$program"
    krok="open"
    otevrit "Otevřít" "$program"
    klavesy ctrl+End
    xdotool type --delay 20 "N2 X2"
    krok="a line from outside, then save"
    printf 'N9 X9\r\n' >>"$program"
    klavesy ctrl+s
    cekat_na_okno "Varování"
    klavesy Escape
    cekat_na_okno "Tarvik"
    stejne "the file, with the line from outside" <(printf 'N1 X1\r\nN9 X9\r\n') "$program"
    krok="read again"
    klavesy ctrl+s
    cekat_na_okno "Varování"
    klavesy alt+n  # "Načíst znovu"
    cekat_na_okno "Tarvik"
    klavesy ctrl+End
    xdotool type --delay 20 "N3 X3"
    klavesy ctrl+s
    cekat "the program saved with both" '[ "$(tr -d "\r" <"$program")" = "$(printf "N1 X1\nN9 X9\nN3 X3")" ]'
    krok="a change while the window is behind"
    klavesy F1
    cekat_na_okno "O aplikaci"
    printf 'N7\r\n' >"$program"
    # Back in the window, the question comes at once.
    klavesy Escape
    cekat_na_okno "Varování"
    klavesy alt+p  # "Přepsat"
    cekat_na_okno "Tarvik"
    cekat "the window's program written over it" \
        '[ "$(tr -d "\r" <"$program")" = "$(printf "N1 X1\nN9 X9\nN3 X3")" ]'
    klavesy alt+F4
    cekat_na_konec
}

# The unsaved-changes question has Cancel: Escape after Exit, Alt+F4, the
# window manager's close button, Ctrl+O and a recent program leaves the
# window, its program and the file as they were.
scenar_storno() {
    spustit_tarvik
    local program="$PRACE/storno.nc" druhy="$PRACE/druhy.nc"
    cp "$DATA/vzor.nc" "$program"
    printf 'N1 X\r\n' >"$druhy"
    krok="open"
    otevrit "Otevřít" "$druhy"
    otevrit "Otevřít" "$program"
    klavesy ctrl+Delete
    local zpusob
    for zpusob in konec alt+F4 tlacitko ctrl+o posledni; do
        krok="cancel after $zpusob"
        case $zpusob in
            konec) klavesy alt+k ;;
            tlacitko) zavrit_tlacitkem "$HLAVNI" ;;
            posledni)
                # The arrow beside the open button, the other program.
                geometrie "$HLAVNI"
                xdotool mousemove $((GX + 160)) $((GY + 13)) click 1
                sleep 0.5
                klavesy Down Down Return
                ;;
            *) klavesy "$zpusob" ;;
        esac
        cekat_na_okno "Potvrzení"
        klavesy Escape
        cekat_na_zavreni "$OKNO" "Potvrzení"
        cekat_na_okno "Tarvik"
        sleep 0.5
        bezi || selhat "the program ended"
        nazev_odpovida "$(xdotool getwindowname "$(xdotool getactivewindow)")" "Tarvik" || selhat "another window came"
        stejne "the file, never saved" "$DATA/vzor.nc" "$program"
    done
    krok="saved at last"
    # The program is still the one without numbers.
    klavesy ctrl+s
    cli remove "$DATA/vzor.nc" >"$PRACE/bez.nc"
    cekat "the program saved" 'cmp -s "$PRACE/bez.nc" "$program"'
    klavesy alt+F4
    cekat_na_konec
}

# The program has the focus at start and after opening: the arrow keys
# scroll it, and the first number stays 5 (numbered from 5, and stored so).
scenar_fokus() {
    spustit_tarvik
    local program="$PRACE/fokus.nc"
    cp "$DATA/vzor.nc" "$program"
    krok="arrows at start"
    klavesy Down Down Down
    krok="open, arrows"
    otevrit "Otevřít" "$program"
    klavesy Down Down Down F9 ctrl+s
    cli renumber --first 5 --increment 5 "$DATA/vzor.nc" >"$PRACE/ocekavany.nc"
    cekat "the program numbered from 5" 'cmp -s "$PRACE/ocekavany.nc" "$program"'
    klavesy alt+F4
    cekat_na_konec
    ulozeno | grep -qx '"PrvniBlok"=dword:00000005' || selhat "the store lacks the first number 5"
}

# Switching to German and back to Czech: the dialogs' titles and Qt's own
# buttons are Czech again at once.
scenar_cestina() {
    spustit_tarvik
    krok="German"
    zvolit_nemcinu
    krok="back to Czech"
    klavesy alt+r  # "Sp&rache..."
    cekat_na_okno "Sprache der Anwendung"
    klavesy Up Up Up Return
    cekat_na_zavreni "$OKNO" "Sprache der Anwendung"
    cekat_na_okno "Tarvik"
    klavesy ctrl+m
    cekat_na_okno "Nastavení"
    zavrit_dialog "Nastavení"
    klavesy F1
    cekat_na_okno "O aplikaci"
    zavrit_dialog "O aplikaci"
    klavesy alt+j
    cekat_na_okno "Výběr jazyka aplikace"
    zavrit_dialog "Výběr jazyka aplikace"
    klavesy alt+F4
    cekat_na_konec
}

# The first start shows a useful part of a program (at least 800 pixels high
# on this 1024-pixel screen); the file type list shows the delivered types
# whole, its dialog wider than its design's 614 pixels.
scenar_rozmery() {
    spustit_tarvik
    krok="first start"
    geometrie "$HLAVNI"
    [ "$GH" -ge 800 ] && [ "$GW" -ge 900 ] || selhat "the window opens at ${GW}x$GH"
    krok="file type list"
    klavesy ctrl+m
    cekat_na_okno "Nastavení"
    geometrie "$OKNO"
    [ "$GW" -gt 614 ] || selhat "the file type list's dialog is ${GW} pixels wide"
    zavrit_dialog "Nastavení"
    klavesy alt+F4
    cekat_na_konec
}

# The accessibility bus's address, from the session bus (in A11Y), which
# starts the bus on the first question, as a desktop's does.
A11Y=""
sbernice_ctecky() {
    A11Y=$(dbus-send --session --print-reply=literal --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress 2>/dev/null |
        tr -d ' ')
    [ -n "$A11Y" ]
}

# The window has told the accessibility bus of itself: the desktop's root
# there has a child (no other program runs on this bus).
ctecka_vidi() {
    dbus-send --bus="$A11Y" --print-reply=literal --dest=org.a11y.atspi.Registry /org/a11y/atspi/accessible/root \
        org.freedesktop.DBus.Properties.Get string:org.a11y.atspi.Accessible string:ChildCount 2>/dev/null |
        grep -Eq 'int32 [1-9]'
}

# A screen reader listens, as on a desktop that runs one (its accessibility
# bus, and Qt told to serve it): a renumber and its undo, typing at the start
# and at the end, a line down and select all are told to it, the window
# goes on and saves exactly what was typed.
scenar_ctecka() {
    [ -f /usr/share/dbus-1/services/org.a11y.Bus.service ] ||
        selhat "the accessibility bus is missing (scripts/setup.sh installs at-spi2-core)"
    command -v dbus-send >/dev/null || selhat "dbus-send is missing (scripts/setup.sh installs it)"
    krok="the accessibility bus"
    cekat "the accessibility bus's address" sbernice_ctecky
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
    spustit_tarvik
    krok="the window on the accessibility bus"
    cekat "the window to tell the accessibility bus of itself" ctecka_vidi "$APP_PID" tarvik
    local program="$PRACE/ctecka.nc"
    cp "$DATA/vzor.nc" "$program"
    krok="open"
    otevrit "Otevřít" "$program"
    krok="renumber, undo"
    klavesy F9 ctrl+z
    krok="typing"
    klavesy ctrl+Home
    xdotool type --delay 40 "(A)"
    klavesy Down Down ctrl+a ctrl+End
    xdotool type --delay 40 "(B)"
    klavesy ctrl+s
    cekat "the program saved with what was typed" \
        'cmp -s <(printf "(A)"; cat "$DATA/vzor.nc"; printf "(B)") "$program"' "$APP_PID" tarvik
    klavesy alt+F4
    cekat_na_konec
}

case "$SCENAR" in
    prace) scenar_prace ;;
    otevreni) scenar_otevreni ;;
    jazyk) scenar_jazyk ;;
    dialogy) scenar_dialogy ;;
    editor) scenar_editor ;;
    instalace) scenar_instalace ;;
    hledani) scenar_hledani ;;
    porovnani) scenar_porovnani ;;
    psani) scenar_psani ;;
    zvenku) scenar_zvenku ;;
    storno) scenar_storno ;;
    fokus) scenar_fokus ;;
    cestina) scenar_cestina ;;
    rozmery) scenar_rozmery ;;
    ctecka) scenar_ctecka ;;
    *) selhat "unknown scenario" ;;
esac
echo "$SCENAR: passed"
