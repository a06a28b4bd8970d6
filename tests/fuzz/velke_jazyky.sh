#!/bin/sh
# Writes into folder $1 the language files that are too big to keep as seeds:
# 80,000 entity declarations that each refer to the one before, 200,000
# nested elements, and a caption of 49 million characters.
set -eu
awk 'BEGIN {
  print "<?xml version=\"1.0\"?>"
  print "<!DOCTYPE Preklad ["
  print "<!ENTITY e0 \"x\">"
  for (i = 1; i <= 80000; i++) printf "<!ENTITY e%d \"&e%d;\">\n", i, i - 1
  print "]>"
  print "<Preklad><Obecne><rsCHYBA><EN>&e80000;</EN></rsCHYBA></Obecne></Preklad>"
}' > "$1/entity-80000.xml"
awk 'BEGIN {
  printf "<Preklad><Obecne><rsCHYBA><EN>"
  for (i = 0; i < 200000; i++) printf "<a>"
  for (i = 0; i < 200000; i++) printf "</a>"
  print "</EN></rsCHYBA></Obecne></Preklad>"
}' > "$1/vnoreni-200000.xml"
awk 'BEGIN {
  s = "x"
  for (i = 0; i < 20; i++) s = s s
  printf "<Preklad><HlavniForm><HlavniForm><EN>"
  for (i = 0; i < 47; i++) printf "%s", s
  print "</EN></HlavniForm></HlavniForm></Preklad>"
}' > "$1/titulek-49-milionu.xml"
