#!/usr/bin/env bash
# The Debian package, built the one way there is: dpkg-buildpackage from a
# copy of the source tree with its orig tarball, as a sponsor builds it
# (without running the tests again: this ctest runs them). Its control
# fields and contents checked, its build flags (Debian's, with debug
# information for tarvik-dbgsym), its archive's times (not after the date of
# debian/changelog), its programs run unpacked (dpkg-deb -x), and its
# installation with apt simulated on this machine (also where the package is
# installed already). (A real installation into a fresh Debian needs root and
# a network; HACKING.md tells how it was tried.)
#
#   balicek.sh BUILD_DIR SOURCE_DIR WORK_DIR
set -u

. "$(dirname "$0")/spolecne.sh" "$@" dpkg-buildpackage dpkg-deb dpkg-parsechangelog readelf
. "$(dirname "$0")/strom.sh"

rm -rf "$PRACE"
mkdir -p "$PRACE/koren" "$PRACE/ladeni" "$PRACE/jinde"
verze=$(dpkg-parsechangelog -l "$SOURCE/debian/changelog" -SVersion) || selhat "dpkg-parsechangelog"
upstream=${verze%-*}
projekt=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD/CMakeCache.txt")
[ "$upstream" = "$projekt" ] || selhat "debian/changelog is at $verze, CMakeLists.txt's project() at $projekt"
grep -Fq "tarvik_$upstream.orig.tar.gz" "$SOURCE/README.md" || selhat "README.md's package steps do not name version $upstream"

# The source as README.md's steps leave it: the tree, and beside it the orig
# tarball without debian/ (git archive leaves it out: .gitattributes).
strom=$PRACE/tarvik
kopie_zdroje "$SOURCE" "$strom"
tar -C "$PRACE" --exclude=tarvik/debian --sort=name -czf "$PRACE/tarvik_$upstream.orig.tar.gz" tarvik ||
    selhat "the orig tarball"
spoustec=$(sed -n 's/^CMAKE_CXX_COMPILER_LAUNCHER:[A-Z]*=//p' "$BUILD/CMakeCache.txt")
(cd "$strom" && env DEB_BUILD_OPTIONS="nocheck parallel=2" ${spoustec:+CMAKE_CXX_COMPILER_LAUNCHER=$spoustec} \
    dpkg-buildpackage -us -uc) >"$PRACE/dpkg-buildpackage.log" 2>&1 ||
    { tail -n 60 "$PRACE/dpkg-buildpackage.log" >&2; selhat "dpkg-buildpackage -us -uc"; }
balicek=$PRACE/tarvik_${verze}_$(dpkg --print-architecture).deb
ladeni=$PRACE/tarvik-dbgsym_${verze}_$(dpkg --print-architecture).deb
for soubor in "$balicek" "$ladeni" "$PRACE/tarvik_$verze.dsc" "$PRACE/tarvik_$verze.debian.tar.xz"; do
    [ -f "$soubor" ] || selhat "dpkg-buildpackage made no $(basename "$soubor"): $(ls "$PRACE")"
done

# The control fields: the dependencies come from the linked libraries.
[ "$(dpkg-deb -f "$balicek" Package)" = tarvik ] || selhat "the package is not named tarvik"
zavislosti=$(dpkg-deb -f "$balicek" Depends)
for knihovna in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6xml6 libqt6svg6 libqscintilla2-qt6-15; do
    echo "$zavislosti" | tr ',' '\n' | sed 's/^ *//; s/ .*//' | grep -Fxq "$knihovna" ||
        selhat "Depends lacks $knihovna: $zavislosti"
done

# The contents, installed under /usr, with the package's documentation.
dpkg-deb -x "$balicek" "$PRACE/koren" || selhat "dpkg-deb -x"
for soubor in "${SOUBORY[@]}" share/doc/tarvik/copyright share/doc/tarvik/changelog.gz \
    share/doc/tarvik/changelog.Debian.gz share/lintian/overrides/tarvik; do
    [ -f "$PRACE/koren/usr/$soubor" ] || selhat "the package lacks /usr/$soubor"
done
zcat "$PRACE/koren/usr/share/doc/tarvik/changelog.gz" | head -n 1 | grep -qx '# Changes in Tarvik' ||
    selhat "the upstream changelog is not NEWS.md"
dpkg-deb -c "$balicek" | awk '{print $2}' | grep -v '^root/root$' && selhat "files not owned by root"
[ "$(sed -n 's/^Exec=//p' "$PRACE/koren/usr/share/applications/cz.orvendal.Tarvik.desktop")" = "tarvik %f" ] ||
    selhat "the desktop entry does not run tarvik %f"

# Reproducible: no member of the archives is dated after the changelog's entry.
datum=$(dpkg-parsechangelog -l "$SOURCE/debian/changelog" -STimestamp)
for deb in "$balicek" "$ladeni"; do
    novejsi=$(dpkg-deb --fsys-tarfile "$deb" | tar -tv --full-time | awk '{print $4 " " $5}' | while read -r den cas; do
        [ "$(date -u -d "$den $cas" +%s)" -le "$datum" ] || echo "$den $cas"; done | head -n 1)
    [ -z "$novejsi" ] || selhat "$(basename "$deb") holds a file dated $novejsi, after debian/changelog"
done

# Debian's build flags: the programs are hardened (PIE, RELRO bound at
# start), stripped, and their debug information, in tarvik-dbgsym, says
# they were built with -O2 -g and the stack protector.
dpkg-deb -x "$ladeni" "$PRACE/ladeni" || selhat "dpkg-deb -x dbgsym"
for program in tarvik tarvik-cli; do
    binarni=$PRACE/koren/usr/bin/$program
    readelf -h "$binarni" | grep -q 'Type: *DYN' || selhat "$program is not a position-independent executable"
    readelf -lW "$binarni" | grep -q GNU_RELRO || selhat "$program has no RELRO"
    readelf -dW "$binarni" | grep -q 'BIND_NOW\|FLAGS.*NOW' || selhat "$program does not bind at start-up"
    readelf -SW "$binarni" | grep -q '\.debug_info' && selhat "$program is not stripped"
    id=$(readelf -nW "$binarni" | sed -n 's/.*Build ID: *//p')
    ladici=$PRACE/ladeni/usr/lib/debug/.build-id/${id:0:2}/${id:2}.debug
    [ -f "$ladici" ] || selhat "tarvik-dbgsym lacks the debug information of $program ($id)"
done
# The compilers' records (in each program's debug file, or in the file that
# dwz shares among them; compressed, as readelf -z reads them).
producenti=$(for soubor in $(find "$PRACE/ladeni/usr/lib/debug" -type f -name '*.debug'); do
    readelf -z -p .debug_str "$soubor" 2>/dev/null | grep -o 'GNU C++.*'; done | sort -u)
[ -n "$producenti" ] || selhat "tarvik-dbgsym records no compiler"
while IFS= read -r producent; do
    for priznak in -O2 -g -fstack-protector-strong; do
        echo "$producent" | grep -q -- " $priznak\( \|$\)" || selhat "built without $priznak: $producent"
    done
    echo "$producent" | grep -q -- ' -O3' && selhat "built with -O3: $producent"
done <<<"$producenti"

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
