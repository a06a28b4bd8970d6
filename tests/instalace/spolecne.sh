# What instalace.sh and balicek.sh share: their arguments, failing, the tools
# they need, the installed files and the batch tool's file types. Sourced:
#   . spolecne.sh BUILD_DIR SOURCE_DIR WORK_DIR TOOL...
BUILD=$1
SOURCE=$2
PRACE=$3
shift 3
export LC_ALL=C.UTF-8

selhat() {
    echo "FAILED: $*" >&2
    exit 1
}

for nastroj in "$@"; do
    command -v "$nastroj" >/dev/null || selhat "$nastroj is missing (scripts/setup.sh installs it)"
done

# The installed files, below the installation's prefix.
SOUBORY=(bin/tarvik bin/tarvik-cli share/tarvik/files.ftd share/tarvik/tarvik.xml
    share/applications/cz.orvendal.Tarvik.desktop
    share/icons/hicolor/scalable/apps/cz.orvendal.Tarvik.svg
    share/metainfo/cz.orvendal.Tarvik.metainfo.xml
    share/mime/packages/cz.orvendal.Tarvik.xml
    share/man/man1/tarvik-cli.1.gz share/man/man1/tarvik.1.gz
    share/bash-completion/completions/tarvik-cli)

# The batch tool at $1, run in the working directory with settings and data
# folders of its own, lists the file types of its installation and tells
# nothing else.
typy_instalace() {
    XDG_CONFIG_HOME=$PRACE/cli XDG_DATA_HOME=$PRACE/zadna XDG_DATA_DIRS=$PRACE/zadna \
        "$1" types >typy.txt 2>chyby.txt || selhat "tarvik-cli types: $(cat chyby.txt)"
    [ -s chyby.txt ] && selhat "tarvik-cli types told: $(cat chyby.txt)"
    [ "$(wc -l <typy.txt)" -eq "$(grep -c . "$SOURCE/resources/files.ftd")" ] ||
        selhat "tarvik-cli types does not list the installed file types: $(cat typy.txt)"
}
