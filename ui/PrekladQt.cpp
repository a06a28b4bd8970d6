#include "PrekladQt.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>

namespace {

// The locale name of a language code; the language file names Czech by its country.
QString JazykQt(const QString& kod) {
    if (kod.compare(QLatin1String("CZ"), Qt::CaseInsensitive) == 0) return QStringLiteral("cs");
    return kod.toLower();
}

}  // namespace

void NastavitJazykQt(const QString& KodJazyka) {
    static QPointer<QTranslator> prekladac;
    if (prekladac) {
        QCoreApplication::removeTranslator(prekladac);
        delete prekladac;
    }
    auto* novy = new QTranslator(QCoreApplication::instance());
    if (novy->load(QLocale(JazykQt(KodJazyka)), QStringLiteral("qtbase"), QStringLiteral("_"),
                   QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(novy);
        prekladac = novy;
    } else {
        delete novy;
    }
}
