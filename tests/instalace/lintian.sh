#!/usr/bin/env bash
# lintian on the source and binary packages that instalace.deb built, with
# its informational tags (-I): no error, no warning, no hardening tag, and no
# section the package's binaries should not carry. Skipped (77) where lintian
# is not installed.
#
#   lintian.sh BUILD_DIR SOURCE_DIR DEB_WORK_DIR
set -u

command -v lintian >/dev/null ||
    { echo "lintian is not installed (scripts/setup.sh installs it): skipped"; exit 77; }
. "$(dirname "$0")/spolecne.sh" "$@" lintian

balicky=$(ls "$PRACE"/tarvik_*.dsc "$PRACE"/tarvik_*.deb "$PRACE"/tarvik-dbgsym_*.deb 2>/dev/null)
[ "$(echo "$balicky" | grep -c .)" -eq 3 ] || selhat "no source and binary packages in $PRACE (the test instalace.deb builds them)"
# shellcheck disable=SC2086
vystup=$(lintian -I --fail-on error,warning $balicky 2>&1)
stav=$?
echo "lintian -I $(echo "$balicky" | xargs -n 1 basename | paste -sd ' '):"
echo "${vystup:-(nothing)}"
[ $stav -eq 0 ] || selhat "lintian failed ($stav)"
echo "$vystup" | grep -Eq '^[EW]: ' && selhat "lintian reports errors or warnings"
echo "$vystup" | grep -Eq ' (hardening-|binary-has-unneeded-section)' && selhat "the binaries are not built as Debian's are"
echo "lintian: passed"
