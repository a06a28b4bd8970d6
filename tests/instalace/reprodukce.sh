#!/usr/bin/env bash
# Two builds of one source give the same bytes: two copies of the tree, made
# at different times (their files' times years apart) under different paths,
# each built as the package builds (Debian's flags, build type None, the
# date of debian/changelog as SOURCE_DATE_EPOCH), and compared. Only what
# carries a date or a path is built: the compiled resources of the window
# (rcc keeps the icons' file times), the software centre's description
# (release dates) and the compressed manual pages. Without SOURCE_DATE_EPOCH
# the resources differ, which shows the comparison can fail.
#
#   reprodukce.sh BUILD_DIR SOURCE_DIR WORK_DIR
set -u

. "$(dirname "$0")/spolecne.sh" "$@" dpkg-buildflags dpkg-parsechangelog cmake ninja
. "$(dirname "$0")/strom.sh"

rm -rf "$PRACE"
spoustec=$(sed -n 's/^CMAKE_CXX_COMPILER_LAUNCHER:[A-Z]*=//p' "$BUILD/CMakeCache.txt")
SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -l "$SOURCE/debian/changelog" -STimestamp) || selhat "dpkg-parsechangelog"
export SOURCE_DATE_EPOCH

stromy=("$PRACE/a/tarvik" "$PRACE/b/hlubsi/cesta/zdroj-tarviku")
for strom in "${stromy[@]}"; do
    kopie_zdroje "$SOURCE" "$strom"
done
find "${stromy[1]}" -exec touch -h -d '2021-03-04 05:06:07' {} +

vysledky=()
for strom in "${stromy[@]}"; do
    (
        cd "$strom" || exit 1
        # The flags as debhelper gives them, the source's path mapped away.
        eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
        cmake -S . -B obj -G Ninja -DCMAKE_BUILD_TYPE=None -DTARVIK_TESTS=OFF -DTARVIK_BENCH=OFF \
            ${spoustec:+-DCMAKE_CXX_COMPILER_LAUNCHER=$spoustec} >../cmake.log 2>&1 || exit 1
        # The resources as the build makes them with rcc, compiled as the
        # package's build compiles (from the tree's top, whose path the flags
        # map away): what ninja would compile only after the whole core.
        zdroje=$(ninja -C obj -t targets all | sed -n 's/^\(tarvik_okna_autogen\/[^:]*\/qrc_tarvik\.cpp\):.*/\1/p')
        [ -n "$zdroje" ] || exit 1
        ninja -C obj "$zdroje" tarvik_manualy >../ninja.log 2>&1 || exit 1
        ${spoustec:+$spoustec} c++ $CPPFLAGS $CXXFLAGS -c "obj/$zdroje" -o obj/qrc_tarvik.o >>../ninja.log 2>&1 || exit 1
    ) || { cat "$(dirname "$strom")"/*.log >&2; selhat "the build in $strom"; }
done

for soubor in obj/qrc_tarvik.o obj/cz.orvendal.Tarvik.metainfo.xml obj/man/tarvik.1.gz obj/man/tarvik-cli.1.gz; do
    cmp "${stromy[0]}/$soubor" "${stromy[1]}/$soubor" || selhat "two builds differ in $soubor"
done
grep -q "date=\"$(date -u -d "@$SOURCE_DATE_EPOCH" +%Y-%m-%d)\"" "${stromy[0]}/obj/cz.orvendal.Tarvik.metainfo.xml" ||
    selhat "the release of the metainfo is not dated SOURCE_DATE_EPOCH"

# The comparison can fail: without the date, rcc keeps the files' own times.
rcc=$(qtpaths6 --query QT_HOST_LIBEXECS 2>/dev/null)/rcc
[ -x "$rcc" ] || rcc=/usr/lib/qt6/libexec/rcc
for strom in "${stromy[@]}"; do
    (cd "$strom/resources" && env -u SOURCE_DATE_EPOCH "$rcc" tarvik.qrc -o "$strom/../bez-data.cpp") ||
        selhat "rcc"
done
cmp -s "$PRACE/a/bez-data.cpp" "$PRACE/b/hlubsi/cesta/bez-data.cpp" &&
    selhat "without SOURCE_DATE_EPOCH the resources of two trees were the same: the check proves nothing"
echo "reprodukce: passed"
