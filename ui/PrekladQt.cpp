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

// Qt's translation of a language. The buttons of the standard dialogs are
// translated under the name of Qt's platform layer; a translation that has
// them only under the name of the dialogs' button box (the Slovak one) gives
// them from there.
class TPrekladacQt final : public QTranslator {
public:
    using QTranslator::QTranslator;
    QString translate(const char* kontext, const char* text, const char* rozliseni, int n) const override {
        QString preklad = QTranslator::translate(kontext, text, rozliseni, n);
        if (preklad.isEmpty() && qstrcmp(kontext, "QPlatformTheme") == 0)
            preklad = QTranslator::translate("QDialogButtonBox", text, rozliseni, n);
        return preklad;
    }
};

}  // namespace

void NastavitJazykQt(const QString& KodJazyka) {
    static QPointer<QTranslator> prekladac;
    if (prekladac) {
        QCoreApplication::removeTranslator(prekladac);
        delete prekladac;
    }
    auto* novy = new TPrekladacQt(QCoreApplication::instance());
    if (novy->load(QLocale(JazykQt(KodJazyka)), QStringLiteral("qtbase"), QStringLiteral("_"),
                   QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(novy);
        prekladac = novy;
    } else {
        delete novy;
    }
}
