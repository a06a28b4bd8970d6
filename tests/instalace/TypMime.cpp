// The MIME type a Qt program (a file manager, an "Open with" dialog) gives
// each file named on the command line, from its name and its content, one
// "FILE<TAB>TYPE" line each. The database is the desktop's: the folders of
// $XDG_DATA_HOME and $XDG_DATA_DIRS.
#include <QCoreApplication>
#include <QMimeDatabase>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication aplikace(argc, argv);
    const QMimeDatabase databaze;
    for (const QString& soubor : QCoreApplication::arguments().mid(1))
        std::printf("%s\t%s\n", qPrintable(soubor), qPrintable(databaze.mimeTypeForFile(soubor).name()));
    return 0;
}
