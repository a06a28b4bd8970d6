#!/usr/bin/env bash
# lintian on the Debian package that instalace.deb built, with its
# informational tags (-I): no error, no warning, no hardening tag, and no
# section the package's binaries should not carry. Skipped (77) where lintian
# is not installed.
#
#   lintian.sh BUILD_DIR SOURCE_DIR DEB_WORK_DIR
set -u

command -v lintian >/dev/null ||
    { echo "lintian is not installed (scripts/setup.sh --tests installs it): skipped"; exit 77; }
. "$(dirname "$0")/spolecne.sh" "$@" lintian

balicek=$(ls "$PRACE"/deb/tarvik_*.deb 2>/dev/null)
[ -n "$balicek" ] || selhat "no package in $PRACE/deb (the test instalace.deb builds it)"
vystup=$(lintian -I --fail-on error,warning "$balicek" 2>&1)
stav=$?
echo "lintian -I $(basename "$balicek"):"
echo "${vystup:-(nothing)}"
[ $stav -eq 0 ] || selhat "lintian failed ($stav)"
echo "$vystup" | grep -Eq '^[EW]: ' && selhat "lintian reports errors or warnings"
echo "$vystup" | grep -Eq ' (hardening-|binary-has-unneeded-section)' && selhat "the binaries are not built as Debian's are"
echo "lintian: passed"
