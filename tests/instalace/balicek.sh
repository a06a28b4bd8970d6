#!/usr/bin/env bash
# The Debian package: built with cpack, its control fields and contents
# checked, unpacked into a folder of its own (dpkg-deb -x) and its programs
# run from there, and its installation with apt simulated on this machine.
# (A real installation into a clean Debian needs root and a network; see
# README.)
#
#   balicek.sh BUILD_DIR SOURCE_DIR WORK_DIR
set -u

BUILD=$1
SOURCE=$2
PRACE=$3
export LC_ALL=C.UTF-8

selhat() {
    echo "FAILED: $*" >&2
    exit 1
}

for nastroj in cpack dpkg-deb dpkg-shlibdeps; do
    command -v "$nastroj" >/dev/null || selhat "$nastroj is missing (scripts/setup.sh installs it)"
done

rm -rf "$PRACE"
mkdir -p "$PRACE/koren" "$PRACE/jinde"
cpack -G DEB --config "$BUILD/CPackConfig.cmake" -B "$PRACE/deb" >"$PRACE/cpack.log" 2>&1 ||
    { cat "$PRACE/cpack.log" >&2; selhat "cpack -G DEB"; }
balicek=$(ls "$PRACE"/deb/tarvik_*.deb 2>/dev/null)
[ -n "$balicek" ] && [ "$(echo "$balicek" | wc -l)" -eq 1 ] || selhat "no single tarvik_*.deb: $balicek"

# The control fields: the dependencies come from the linked libraries.
[ "$(dpkg-deb -f "$balicek" Package)" = tarvik ] || selhat "the package is not named tarvik"
zavislosti=$(dpkg-deb -f "$balicek" Depends)
for knihovna in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6xml6 libqt6svg6 libqscintilla2-qt6-15; do
    echo "$zavislosti" | tr ',' '\n' | sed 's/^ *//; s/ .*//' | grep -Fxq "$knihovna" ||
        selhat "Depends lacks $knihovna: $zavislosti"
done

# The contents, installed under /usr.
dpkg-deb -x "$balicek" "$PRACE/koren" || selhat "dpkg-deb -x"
for soubor in usr/bin/tarvik usr/bin/tarvik-cli usr/share/tarvik/files.ftd usr/share/tarvik/tarvik.xml \
    usr/share/applications/cz.orvendal.Tarvik.desktop usr/share/icons/hicolor/scalable/apps/cz.orvendal.Tarvik.svg \
    usr/share/metainfo/cz.orvendal.Tarvik.metainfo.xml usr/share/mime/packages/cz.orvendal.Tarvik.xml \
    usr/share/man/man1/tarvik-cli.1.gz usr/share/man/man1/tarvik.1.gz; do
    [ -f "$PRACE/koren/$soubor" ] || selhat "the package lacks /$soubor"
done
dpkg-deb -c "$balicek" | awk '{print $2}' | grep -v '^root/root$' && selhat "files not owned by root"
[ "$(sed -n 's/^Exec=//p' "$PRACE/koren/usr/share/applications/cz.orvendal.Tarvik.desktop")" = "tarvik %f" ] ||
    selhat "the desktop entry does not run tarvik %f"

# The unpacked batch tool finds the file types of its package.
cd "$PRACE/jinde" || selhat "cd"
XDG_CONFIG_HOME=$PRACE/cli XDG_DATA_HOME=$PRACE/zadna XDG_DATA_DIRS=$PRACE/zadna \
    "$PRACE/koren/usr/bin/tarvik-cli" types >typy.txt 2>chyby.txt || selhat "tarvik-cli types: $(cat chyby.txt)"
[ "$(wc -l <typy.txt)" -eq "$(grep -c . "$SOURCE/resources/files.ftd")" ] && [ ! -s chyby.txt ] ||
    selhat "the unpacked tarvik-cli does not find its file types: $(cat typy.txt chyby.txt)"

# apt would install it here: every dependency resolves.
if command -v apt-get >/dev/null; then
    apt-get install --simulate --no-install-recommends "$balicek" >"$PRACE/apt.log" 2>&1 ||
        { cat "$PRACE/apt.log" >&2; selhat "apt-get install --simulate"; }
    grep -q "^Inst tarvik " "$PRACE/apt.log" || { cat "$PRACE/apt.log" >&2; selhat "apt would not install tarvik"; }
fi
echo "balicek: passed"
