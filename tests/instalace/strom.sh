# A copy of the source tree, as the package is built from: the files git
# knows (committed or not) and the new ones it does not ignore; without git,
# everything but the build trees. Sourced:
#   kopie_zdroje SOURCE_DIR TARGET_DIR
kopie_zdroje() {
    local zdroj=$1 cil=$2
    mkdir -p "$cil"
    if git -C "$zdroj" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        (cd "$zdroj" && git ls-files -z --cached --others --exclude-standard |
            while IFS= read -r -d '' soubor; do [ -e "$soubor" ] && printf '%s\0' "$soubor"; done |
            tar --null -T - -cf -) | tar -C "$cil" -xf -
    else
        (cd "$zdroj" && tar --exclude='./build*' -cf - .) | tar -C "$cil" -xf -
    fi
}
