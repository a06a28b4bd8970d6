# bash completion of tarvik-cli: its commands, its options, the names of the
# file types after -t/--type, files and folders elsewhere.
#
# The commands and options are read from the tool's own --help at each
# completion, so that what a later version adds is completed without a change
# here: an option line starts with two blanks and the option (-x, --name,
# "-x, --name"), followed by an argument in capitals when it takes one; a
# command line starts with two blanks and the command in small letters. The
# file types are those `tarvik-cli types` lists, from the same settings the
# tool will use.

# Prints the commands, then a line "--", then the options, one per line, an
# option that takes an argument followed by " ARG".
_tarvik_cli_napoveda() {
    "$1" --help 2>/dev/null | awk '
        /^  -/ {
            sub(/^ +/, "")
            # The option names end where two blanks start the description.
            popis = index($0, "  ")
            if (popis) $0 = substr($0, 1, popis - 1)
            n = split($0, casti, /, */)
            s_argumentem = 0
            pocet = 0
            for (i = 1; i <= n; i++) {
                m = split(casti[i], slova, / +/)
                if (slova[1] !~ /^-/) continue
                jmena[++pocet] = slova[1]
                if (m > 1 && slova[2] ~ /^[A-Z][A-Z_]*$/) s_argumentem = 1
            }
            for (i = 1; i <= pocet; i++) volby[++voleb] = jmena[i] (s_argumentem ? " ARG" : "")
            next
        }
        /^  [a-z]+  / { split($0, slova, / +/); prikazy[++prikazu] = slova[2] }
        END {
            for (i = 1; i <= prikazu; i++) print prikazy[i]
            print "--"
            for (i = 1; i <= voleb; i++) print volby[i]
        }'
}

_tarvik_cli() {
    local cur prev words cword split
    _init_completion -s || return

    local -a prikazy=() volby=() s_argumentem=()
    local radek cast=prikazy
    while IFS= read -r radek; do
        if [[ $radek == -- ]]; then
            cast=volby
        elif [[ $cast == prikazy ]]; then
            prikazy+=("$radek")
        elif [[ $radek == *" ARG" ]]; then
            volby+=("${radek% ARG}")
            s_argumentem+=("${radek% ARG}")
        else
            volby+=("$radek")
        fi
    done < <(_tarvik_cli_napoveda "$1")

    local volba
    for volba in "${s_argumentem[@]}"; do
        [[ $prev == "$volba" ]] || continue
        case $volba in
            -t | --type)
                local typ hledany
                hledany=$(dequote "$cur")
                COMPREPLY=()
                while IFS= read -r typ; do
                    [[ $typ == "$hledany"* ]] && COMPREPLY+=("$(printf '%q' "$typ")")
                done < <("$1" types 2>/dev/null | cut -f1)
                ;;
            -o) _filedir ;;
            *) COMPREPLY=() ;;  # a number, a character, a marker: nothing to offer
        esac
        return
    done
    # --name=VALUE of an option without a value to offer.
    $split && return

    # The command comes first.
    local i prikaz=""
    for ((i = 1; i < cword; i++)); do
        if [[ " ${prikazy[*]} " == *" ${words[i]} "* ]]; then
            prikaz=${words[i]}
            break
        fi
    done

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "${volby[*]}" -- "$cur"))
    elif [[ -z $prikaz ]]; then
        COMPREPLY=($(compgen -W "${prikazy[*]}" -- "$cur"))
    elif [[ $prikaz != types ]]; then
        _filedir
    fi
}
complete -F _tarvik_cli tarvik-cli
