#!/usr/bin/env bash
# The window on a system installed without Recommends: the fonts of
# fonts-dejavu-core alone (no Liberation, no DejaVu Sans Condensed), through
# a font configuration of its own, and the main window's texts checked in
# every language (the test Jazyky.HlavniOknoJenSDejaVu).
#
#   pisma.sh OKNA_TESTS WORK_DIR
set -u
TESTY=$1
PRACE=$2

selhat() {
    echo "FAILED: $*" >&2
    exit 1
}

rm -rf "$PRACE"
mkdir -p "$PRACE/pisma" "$PRACE/cache"
pisma=$(dpkg -L fonts-dejavu-core 2>/dev/null | grep '\.ttf$')
[ -n "$pisma" ] || selhat "fonts-dejavu-core is not installed (scripts/setup.sh installs it)"
for pismo in $pisma; do ln -s "$pismo" "$PRACE/pisma/"; done
cat >"$PRACE/fonts.conf" <<KONFIGURACE
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <dir>$PRACE/pisma</dir>
  <cachedir>$PRACE/cache</cachedir>
  <include ignore_missing="yes">/etc/fonts/conf.d</include>
</fontconfig>
KONFIGURACE
export FONTCONFIG_FILE=$PRACE/fonts.conf QT_QPA_PLATFORM=offscreen
[ "$(fc-list : family | sort -u | grep -vc '^DejaVu')" -eq 0 ] || selhat "fonts besides DejaVu: $(fc-list : family | sort -u)"
"$TESTY" --gtest_filter=Jazyky.HlavniOknoJenSDejaVu --gtest_brief=1 >"$PRACE/testy.log" 2>&1 ||
    { cat "$PRACE/testy.log" >&2; selhat "the main window with DejaVu only"; }
grep -q "SKIPPED" "$PRACE/testy.log" && { cat "$PRACE/testy.log" >&2; selhat "the test did not run"; }
echo "pisma: passed"
