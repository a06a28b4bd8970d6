#!/usr/bin/env bash
# The installed programs, away from the build tree: cmake --install into a
# staging folder, the desktop files checked with the desktop's own tools,
# then the installed tarvik-cli and the installed window run from another
# working directory, with the data files of their installation only.
#
#   instalace.sh BUILD_DIR SOURCE_DIR WORK_DIR
set -u

. "$(dirname "$0")/spolecne.sh" "$@" desktop-file-validate appstreamcli update-mime-database
STAGE=$PRACE/stage

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
cp -r "$STAGE/share/mime" "$PRACE/mime"
update-mime-database "$PRACE/mime" >"$PRACE/mime.log" 2>&1 || { cat "$PRACE/mime.log" >&2; selhat "update-mime-database"; }
[ -f "$PRACE/mime/text/x-nc-program.xml" ] || selhat "no MIME type text/x-nc-program"
for pripona in nc ngc tap mpf spf eia iso; do
    grep -q ":text/x-nc-program:\*\.$pripona$" "$PRACE/mime/globs2" || selhat "no MIME glob *.$pripona"
done
grep -q "text/x-nc-program:\*\.h$" "$PRACE/mime/globs2" && selhat "*.h is claimed"
if command -v groff >/dev/null; then
    for manual in tarvik-cli tarvik; do
        varovani=$(zcat "$STAGE/share/man/man1/$manual.1.gz" | groff -man -Tutf8 -ww -z 2>&1)
        [ -z "$varovani" ] || selhat "the manual page $manual: $varovani"
    done
fi

# The batch tool from another working directory: the file types of its
# installation, and a folder renumbered.
cd "$PRACE/jinde" || selhat "cd"
typy_instalace "$STAGE/bin/tarvik-cli"
export XDG_CONFIG_HOME=$PRACE/cli XDG_DATA_HOME=$PRACE/zadna XDG_DATA_DIRS=$PRACE/zadna
mkdir -p programy/pod
cp "$SOURCE/tests/data/vzor.nc" programy/a.nc
cp "$SOURCE/tests/data/vzor.nc" programy/pod/b.nc
"$STAGE/bin/tarvik-cli" renumber --first 10 --increment 10 -i -r programy 2>zapis.txt || selhat "renumber -i -r: $(cat zapis.txt)"
[ "$(cat zapis.txt)" = "programy/a.nc: done, 13 blocks, 94%
programy/pod/b.nc: done, 13 blocks, 94%" ] || selhat "renumber -i -r told: $(cat zapis.txt)"
grep -q "^N130 M30" programy/pod/b.nc || selhat "renumber -i -r did not renumber"
"$STAGE/bin/tarvik-cli" renumber --first 10 --increment 10 --check -r programy 2>/dev/null ||
    selhat "renumbered programs would change again"
unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_DATA_DIRS

# The installed window, on a desktop of its own.
bash "$SOURCE/tests/plocha/plocha.sh" "$STAGE/bin" "$SOURCE/tests/data" "$PRACE/okno" instalace ||
    selhat "the installed window"
echo "instalace: passed"
