# Renumbers the block numbers of an NC program the way `tarvik-cli renumber`
# does, as the yardstick of bench/cli_vs_awk.sh. Runs under GNU awk and mawk,
# in the C locale, so that it works on bytes:
#
#   LC_ALL=C mawk -v first=10 -v inc=10 -v max=9999 -f bench/renumber.awk FILE
#
# GNU awk tells (RT) whether the last line had a break; mawk cannot, and a
# break follows every line there (the generated programs end with one).
#
# Main block character ":", secondary "N", program start "%"; after the
# maximum the numbering starts again at the first number (restart=0 keeps it).
BEGIN {
    RS = "\r\n|\r|\n"            # CR LF, a lone CR or a lone LF ends a line
    if (first == "") first = 10
    if (inc == "") inc = 10
    if (max == "") max = 9999
    if (restart == "") restart = 1
    first += 0; inc += 0; max += 0
    n = first
    gawk = PROCINFO["version"] != ""
}
{
    line = $0
    if (substr(line, 1, 1) == "%") n = first             # start test before the trim
    if (line ~ /^[\000- ]/) sub(/^[\000- ]+/, "", line)  # leading codes 0..32
    c = substr(line, 1, 1)
    if (c == ":" || c == "N") {
        kind = "N"
        if (c == ":") { line = substr(line, 2); kind = ":" }
        if (substr(line, 1, 1) == "N") { line = substr(line, 2); kind = "N" }
        if (match(line, /^[0-9]+/)) {
            line = kind n substr(line, RLENGTH + 1)
            n = n < max ? n + inc : (restart ? first : n)
        }
    }
    # CR LF after every line that had a break; none after an unterminated last line.
    if (RT != "" || !gawk) printf "%s\r\n", line
    else printf "%s", line
}
