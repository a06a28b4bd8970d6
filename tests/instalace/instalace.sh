#!/usr/bin/env bash
# The installed programs, away from the build tree: cmake --install into a
# staging folder, the desktop files checked with the desktop's own tools,
# then the installed tarvik-cli and the installed window run from another
# working directory, with the data files of their installation only.
#
#   instalace.sh BUILD_DIR SOURCE_DIR WORK_DIR
set -u

. "$(dirname "$0")/spolecne.sh" "$@" desktop-file-validate appstreamcli update-mime-database gio
STAGE=$PRACE/stage
DOPLNOVANI_BASH=/usr/share/bash-completion/bash_completion
[ -f "$DOPLNOVANI_BASH" ] || selhat "bash-completion is missing (scripts/setup.sh --tests installs it)"

rm -rf "$PRACE"
mkdir -p "$PRACE/jinde" "$PRACE/cli"
cmake --install "$BUILD" --prefix "$STAGE" >"$PRACE/install.log" 2>&1 || { cat "$PRACE/install.log" >&2; selhat "cmake --install"; }

# The layout.
for soubor in "${SOUBORY[@]}"; do
    [ -f "$STAGE/$soubor" ] || selhat "the installation lacks $soubor"
done
[ -x "$STAGE/bin/tarvik" ] && [ -x "$STAGE/bin/tarvik-cli" ] || selhat "the programs are not executable"
[ ! -e "$STAGE/bin/files.ftd" ] && [ ! -e "$STAGE/bin/tarvik.xml" ] || selhat "data files beside the programs"

# The desktop's checks.
desktop-file-validate "$STAGE/share/applications/cz.orvendal.Tarvik.desktop" || selhat "desktop-file-validate"
appstreamcli validate --no-net --strict "$STAGE/share/metainfo/cz.orvendal.Tarvik.metainfo.xml" >"$PRACE/appstream.log" 2>&1 ||
    { cat "$PRACE/appstream.log" >&2; selhat "appstreamcli validate"; }
# The MIME databases without and with the package: the system's definitions,
# and ours besides.
for db in bez s; do
    mkdir -p "$PRACE/mime-$db/mime/packages"
    cp /usr/share/mime/packages/*.xml "$PRACE/mime-$db/mime/packages/"
done
cp "$STAGE/share/mime/packages/"*.xml "$PRACE/mime-s/mime/packages/"
grep -o '<mime-type type="[^"]*"' "$STAGE/share/mime/packages/"*.xml | grep -vq 'text/x-nc-program' &&
    selhat "the package's MIME file defines another type than text/x-nc-program"
for db in bez s; do
    update-mime-database "$PRACE/mime-$db/mime" >"$PRACE/mime.log" 2>&1 || { cat "$PRACE/mime.log" >&2; selhat "update-mime-database"; }
done
[ -f "$PRACE/mime-s/mime/text/x-nc-program.xml" ] || selhat "no MIME type text/x-nc-program"
for pripona in nc ngc tap mpf spf eia iso; do
    grep -q ":text/x-nc-program:\*\.$pripona$" "$PRACE/mime-s/mime/globs2" || selhat "no MIME glob *.$pripona"
done
grep -q "text/x-nc-program:\*\.h$" "$PRACE/mime-s/mime/globs2" && selhat "*.h is claimed"

# The type the desktop gives a file, by its name and content, asked of GIO
# (GNOME's file manager, "Open with"; also the fast type, by the name alone)
# and of Qt (KDE's): the text files with our extensions are NC programs; the
# files of other types keep the types they have without the package, binary
# files with our extensions and files our type never names alike.
typy() {  # DATABASE FILE: the GIO type, the GIO fast type and the Qt type
    local g
    g=$(XDG_DATA_DIRS=$PRACE/mime-$1 XDG_DATA_HOME=$PRACE/zadna GIO_USE_VFS=local \
        gio info -a standard::content-type,standard::fast-content-type "$2" 2>&1 |
        sed -n 's/^ *standard::content-type: //p; s/^ *standard::fast-content-type: //p' | paste -sd ' ')
    echo "$g $(XDG_DATA_DIRS=$PRACE/mime-$1 XDG_DATA_HOME=$PRACE/zadna "$BUILD/bin/tarvik-typ-mime" "$2" | cut -f2)"
}
mkdir -p "$PRACE/typy"
while IFS='|' read -r soubor obsah typ; do
    if [ "$obsah" = cd ]; then
        { head -c 32769 /dev/zero; printf 'CD001\001'; head -c 4096 /dev/zero; } >"$PRACE/typy/$soubor"
    else
        printf "$obsah" >"$PRACE/typy/$soubor"
    fi
    bez=$(typy bez "$PRACE/typy/$soubor")
    s=$(typy s "$PRACE/typy/$soubor")
    if [ "$typ" = "=" ]; then
        [ "$s" = "$bez" ] || selhat "$soubor ($obsah): the package changes its type from '$bez' to '$s'"
    else
        [ "$(echo "$s" | cut -d' ' -f1,3)" = "$typ $typ" ] ||
            selhat "$soubor ($obsah) is $typ, GIO and Qt say '$s' (without the package: '$bez')"
    fi
done <<'TYPY'
fanuc.nc|O1000\r\nN10 G0\r\n|text/x-nc-program
heidenhain.nc|BEGIN PGM 1 MM\n1 L X+0 FMAX\nEND PGM 1 MM\n|text/x-nc-program
program.iso|:1000\nN10 G0\n|text/x-nc-program
program.tap|(PART)\nG21\n|text/x-nc-program
program.mpf|%%_N_PART_MPF\nN10 G0\n|text/x-nc-program
klasicky.nc|CDF\001\000\000\000\000\000\000\000\012\000\000\000\001|=
posun64.nc|CDF\002\000\000\000\000\000\000\000\012\000\000\000\001|=
netcdf4.nc|\211HDF\r\n\032\n\000\000\000\000\000\010\010\000|=
data|\211HDF\r\n\032\n\000\000\000\000\000\010\010\000|=
script.m|%%\n%% a MATLAB script\nx = 1;\n|=
iso.nc|%%\nN10 G0 X1\nM30\n%%\n|=
neogeo.ngc|COPYRIGHT BY SNK CORPORATION\000\000\000\000\000\000\000\020\000\000|=
disk.iso|cd|=
TYPY
if command -v groff >/dev/null; then
    for manual in tarvik-cli tarvik; do
        varovani=$(zcat "$STAGE/share/man/man1/$manual.1.gz" | groff -man -Tutf8 -ww -z 2>&1)
        [ -z "$varovani" ] || selhat "the manual page $manual: $varovani"
    done
fi

cd "$PRACE/jinde" || selhat "cd"

# --help and --version need no display; the version is the project's
# everywhere it is shown.
for volba in --help --version; do
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$STAGE/bin/tarvik" $volba >vystup.txt 2>chyby.txt ||
        selhat "tarvik $volba without a display: exit $?: $(cat chyby.txt)"
    [ -s vystup.txt ] && [ ! -s chyby.txt ] || selhat "tarvik $volba printed '$(cat vystup.txt)', told '$(cat chyby.txt)'"
done
verze=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD/CMakeCache.txt")
[ -n "$verze" ] || selhat "no project version in $BUILD/CMakeCache.txt"
[ "$(head -n 1 vystup.txt)" = "tarvik $verze" ] || selhat "tarvik --version printed: $(cat vystup.txt)"
"$STAGE/bin/tarvik-cli" --version >vystup.txt 2>chyby.txt || selhat "tarvik-cli --version: exit $?: $(cat chyby.txt)"
[ "$(head -n 1 vystup.txt)" = "tarvik-cli $verze" ] || selhat "tarvik-cli --version printed: $(cat vystup.txt)"
for manual in tarvik tarvik-cli; do
    zcat "$STAGE/share/man/man1/$manual.1.gz" | grep -q "^\.TH .* \"Tarvik $verze\" " ||
        selhat "the manual page $manual does not carry the version $verze"
done
grep -m 1 '<release ' "$STAGE/share/metainfo/cz.orvendal.Tarvik.metainfo.xml" | grep -q "version=\"$verze\"" ||
    selhat "the newest release of the metainfo is not $verze"

# bash completes the installed tool's commands, options (those its --help
# lists, also ones added later) and file types.
doplnit() {  # TOOL WORD... (the last is completed): the completions, one a line
    LC_ALL=C.UTF-8 bash --norc -c '
        . "$0"; . "$1"; nastroj=$2; shift 2
        COMP_WORDS=("$@"); COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
        COMP_LINE="$*"; COMP_LINE=${COMP_LINE// = /=}; COMP_POINT=${#COMP_LINE}
        _tarvik_cli "$nastroj" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
        printf "%s\n" "${COMPREPLY[@]}"' \
        "$DOPLNOVANI_BASH" "$STAGE/share/bash-completion/completions/tarvik-cli" "$@"
}
cat >novy-nastroj <<'NAPOVEDA'
#!/bin/sh
printf 'Usage: novy-nastroj zkouska [options] FILE\n\n  zkouska     a command\n\n  -z, --zkusebni N    an option\n  --jina              another option\n'
NAPOVEDA
chmod +x novy-nastroj
touch program.nc
while IFS='|' read -r nastroj slova ocekavane; do
    IFS=';' read -ra slova <<<"$slova"
    [ "${slova[-1]}" = "''" ] && slova[-1]=""
    dostal=$(XDG_CONFIG_HOME=$PRACE/cli XDG_DATA_HOME=$PRACE/zadna XDG_DATA_DIRS=$PRACE/zadna \
        doplnit "$nastroj" tarvik-cli "${slova[@]}" | paste -sd ' ')
    [ "$dostal" = "$ocekavane" ] || selhat "tarvik-cli ${slova[*]}<TAB> offered '$dostal', not '$ocekavane'"
done <<DOPLNENI
$STAGE/bin/tarvik-cli|re|renumber remove refs
$STAGE/bin/tarvik-cli|''|count introduce renumber remove refs types
$STAGE/bin/tarvik-cli|renumber;--ke|--keep-max --keep-references
$STAGE/bin/tarvik-cli|count;-t;Sinumerik\ p|Sinumerik\ podprogram
$STAGE/bin/tarvik-cli|count;--type;=;Fa|Fanuc
$STAGE/bin/tarvik-cli|renumber;--first;''|
$STAGE/bin/tarvik-cli|renumber;program.|program.nc
$PRACE/jinde/novy-nastroj|''|zkouska
$PRACE/jinde/novy-nastroj|zkouska;-|-z --zkusebni --jina
$PRACE/jinde/novy-nastroj|zkouska;-z;''|
DOPLNENI
rm -f novy-nastroj program.nc

# The batch tool from another working directory: the file types of its
# installation, and a folder renumbered.
typy_instalace "$STAGE/bin/tarvik-cli"
export XDG_CONFIG_HOME=$PRACE/cli XDG_DATA_HOME=$PRACE/zadna XDG_DATA_DIRS=$PRACE/zadna
mkdir -p programy/pod
cp "$SOURCE/tests/data/vzor.nc" programy/a.nc
cp "$SOURCE/tests/data/vzor.nc" programy/pod/b.nc
"$STAGE/bin/tarvik-cli" renumber --first 10 --increment 10 -i -r programy 2>zapis.txt || selhat "renumber -i -r: $(cat zapis.txt)"
[ "$(cat zapis.txt)" = "programy/a.nc: hotovo, 13 bloků, 94%
programy/pod/b.nc: hotovo, 13 bloků, 94%" ] || selhat "renumber -i -r told: $(cat zapis.txt)"
grep -q "^N130 M30" programy/pod/b.nc || selhat "renumber -i -r did not renumber"
"$STAGE/bin/tarvik-cli" renumber --first 10 --increment 10 --check -r programy 2>/dev/null ||
    selhat "renumbered programs would change again"
unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_DATA_DIRS

# The language from the locale, while none is stored: the help of the
# installed tool in the locale's language; the C locale, or one of none of the
# six, Czech; a choice stored by the window wins.
export XDG_CONFIG_HOME=$PRACE/jazyk XDG_DATA_HOME=$PRACE/zadna XDG_DATA_DIRS=$PRACE/zadna
while IFS='|' read -r promenne zacatek; do
    # shellcheck disable=SC2086
    dostal=$(env -u LC_ALL -u LC_MESSAGES -u LANG -u LANGUAGE $promenne "$STAGE/bin/tarvik-cli" --help 2>&1 | head -n 1)
    [ "${dostal%% *}" = "$zacatek" ] || selhat "tarvik-cli --help under '$promenne' begins '$dostal', not '$zacatek'"
done <<'PROSTREDI'
LANG=en_US.UTF-8|Usage:
LC_ALL=de_DE.UTF-8 LANG=en_US.UTF-8|Aufruf:
LC_MESSAGES=sk_SK.UTF-8|Použitie:
LANGUAGE=fr|Usage
LANGUAGE=es:fr LANG=de_DE.UTF-8|Uso:
LC_ALL=C.UTF-8 LANGUAGE=fr|Použití:
LANG=pl_PL.UTF-8|Použití:
|Použití:
PROSTREDI
mkdir -p "$PRACE/jazyk/Orvendal"
printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Orvendal\\Tarvik]\r\n"Jazyk"="SK"\r\n' \
    >"$PRACE/jazyk/Orvendal/Tarvik.reg"
LANG=en_US.UTF-8 "$STAGE/bin/tarvik-cli" --help | head -n 1 | grep -q '^Použitie:' || selhat "the stored language does not win"
unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_DATA_DIRS

# The progress of a command only on a terminal, never into a pipe or a log.
"$STAGE/bin/tarvik-cli" renumber "$SOURCE/tests/data/vzor.nc" 2>zapis.txt >/dev/null || selhat "renumber: $(cat zapis.txt)"
grep -q '%' zapis.txt && selhat "the progress went into a file: $(cat zapis.txt)"
script -qec "'$STAGE/bin/tarvik-cli' renumber '$SOURCE/tests/data/vzor.nc' >/dev/null" /dev/null >terminal.txt ||
    selhat "renumber on a terminal: $(cat terminal.txt)"
grep -q '^[0-9]*%' terminal.txt || selhat "no progress on a terminal: $(cat terminal.txt)"

# The window without a display: a message in the locale's language, exit
# status 1, no abort.
for prostredi in "LANG=de_DE.UTF-8|Fenster" "LANG=C.UTF-8|okno"; do
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u LC_ALL -u LANGUAGE "${prostredi%|*}" \
        XDG_CONFIG_HOME=$PRACE/zadna "$STAGE/bin/tarvik" >vystup.txt 2>chyby.txt
    stav=$?
    [ $stav -eq 1 ] || selhat "tarvik without a display under ${prostredi%|*}: exit $stav: $(cat chyby.txt)"
    grep -q "^tarvik: .*${prostredi#*|}" chyby.txt || selhat "tarvik without a display told: $(cat chyby.txt)"
done

# The installed window, on a desktop of its own.
bash "$SOURCE/tests/plocha/plocha.sh" "$STAGE/bin" "$SOURCE/tests/data" "$PRACE/okno" instalace ||
    selhat "the installed window"
echo "instalace: passed"
