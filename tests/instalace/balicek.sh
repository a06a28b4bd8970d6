#!/usr/bin/env bash
# The Debian package: built with cpack, its control fields and contents
# checked, unpacked into a folder of its own (dpkg-deb -x) and its programs
# run from there, and its installation with apt simulated on this machine
# (also where the package is installed already).
# (A real installation into a clean Debian needs root and a network; see
# README.)
#
#   balicek.sh BUILD_DIR SOURCE_DIR WORK_DIR
set -u

. "$(dirname "$0")/spolecne.sh" "$@" cpack dpkg-deb dpkg-shlibdeps

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
for soubor in "${SOUBORY[@]}"; do
    [ -f "$PRACE/koren/usr/$soubor" ] || selhat "the package lacks /usr/$soubor"
done
dpkg-deb -c "$balicek" | awk '{print $2}' | grep -v '^root/root$' && selhat "files not owned by root"
[ "$(sed -n 's/^Exec=//p' "$PRACE/koren/usr/share/applications/cz.orvendal.Tarvik.desktop")" = "tarvik %f" ] ||
    selhat "the desktop entry does not run tarvik %f"

# The unpacked batch tool finds the file types of its package.
cd "$PRACE/jinde" || selhat "cd"
typy_instalace "$PRACE/koren/usr/bin/tarvik-cli"

# apt would install it here: every dependency resolves. --reinstall, so that
# an installed package of the same version is installed again, not skipped.
if command -v apt-get >/dev/null; then
    apt-get install --simulate --reinstall --no-install-recommends "$balicek" >"$PRACE/apt.log" 2>&1 ||
        { cat "$PRACE/apt.log" >&2; selhat "apt-get install --simulate"; }
    grep -q "^Inst tarvik " "$PRACE/apt.log" || { cat "$PRACE/apt.log" >&2; selhat "apt would not install tarvik"; }
fi
echo "balicek: passed"
