// The main window's language steps: the catalogue pass and the language command.
#include "fHlavni.h"

#include "ui_fHlavni.h"

#include "app/ObecnaChyba.h"
#include "ui/fASCII.h"
#include "ui/fNastaveni.h"
#include "ui/fTypSouboru.h"
#include "katalog/convar.h"
#include "lang/JazykyXML.h"
#include "lang/fJazyk.h"
#include "platform/SlozkyDat.h"
#include "ui/Hlaseni.h"
#include "ui/Modalni.h"
#include "ui/PrekladQt.h"
#include "ui/fOAplikaci.h"
#include "ui/fNajit.h"
#include "ui/fPorovnani.h"
#include "ui/fPrejit.h"

#include <QLayout>
#include <QTreeWidget>

#include <algorithm>

namespace {

// The document of the language file, loaded when it is not yet; a failure
// to read or parse it is thrown.
const QDomDocument& NactenyDokument(TXMLDokument& dokument) {
    if (!dokument.Nacteno()) dokument.Nacist();
    return dokument.Dokument();
}

}  // namespace

void THlavniForm::NajitJazykovySoubor() {
    if (xdcJazyk && xdcJazyk->Nacteno()) return;
    // Only where the program's data files are: a tarvik.xml that lies in the
    // working directory, a folder of programs perhaps, is no file of ours.
    // Without one the document names no file, and none exists.
    QString nazev;
    if (const auto soubor = NajitSoubor(SlozkyDat, "tarvik.xml")) nazev = QString::fromStdU16String(soubor->u16string());
    if (!xdcJazyk || xdcJazyk->NazevSouboru() != nazev) xdcJazyk = std::make_shared<TXMLDokument>(nazev);
}

void THlavniForm::PrelozitAplikaci() {
    NajitJazykovySoubor();
    if (!xdcJazyk->SouborExistuje()) {
        // Without a language file every message has its built-in text and
        // the windows keep the texts they show.
        ObnovitVestaveneTexty();
        NastavitJazykQt(QStringLiteral("CZ"));
        PrelozitPrepinacOdkazu();
        PrelozitStatistiky();
        ObnovitStavUlozeni();
        PrizpusobitMinimum();
        return;
    }
    NastavitJazykQt(JazykXML->Jazyk);
    JazykXML->Dokument = &NactenyDokument(*xdcJazyk);

    // The messages always fall back on their built-in Czech texts (the
    // catalogue pass the batch tool makes too).
    const QString obecne = QStringLiteral("Obecne");
    PrelozitKatalog(Katalog(), [&](std::string_view klic) -> std::optional<std::u16string> {
        const QString text = JazykXML->DejText(obecne, QString::fromLatin1(klic.data(), qsizetype(klic.size())), {});
        if (text.isEmpty()) return std::nullopt;
        return text.toStdU16String();
    });

    for (QWidget* okno : {static_cast<QWidget*>(this), static_cast<QWidget*>(OAplikaciForm),
                          static_cast<QWidget*>(JazykForm), static_cast<QWidget*>(NastaveniForm),
                          static_cast<QWidget*>(TypSouboruForm), static_cast<QWidget*>(ASCIIForm),
                          static_cast<QWidget*>(PrejitForm), static_cast<QWidget*>(NajitForm),
                          static_cast<QWidget*>(PorovnaniForm)}) {
        if (!okno) continue;
        // Every text is translated from the one the window was designed with:
        // a language the file has no text for (Czech, the designed one) shows
        // that, not what the language before it left.
        const QString sekce = okno->objectName();
        QHash<QString, QString>& navrzene = navrzeneTexty_[sekce];
        ProjitFormular(okno, [&](const QString& klic, const QString& vychozi) {
            auto it = navrzene.constFind(klic);
            if (it == navrzene.cend()) it = navrzene.insert(klic, vychozi);
            return JazykXML->DejText(sekce, klic, *it);
        });
    }
    // The switch's texts are messages, not the window's own; so are the
    // statistics line and the save state's hint.
    PrelozitPrepinacOdkazu();
    PrelozitStatistiky();
    ObnovitStavUlozeni();
    PrizpusobitMinimum();
}

void THlavniForm::PrizpusobitMinimum() {
    if (!navrzeneMinimum_) navrzeneMinimum_ = minimumSize();
    layout()->activate();
    QSize nejmensi = navrzeneMinimum_->expandedTo(layout()->minimumSize());
    // As wide as the settings panel wants its labels and switches whole, and
    // as the tool bar, which would hide the commands that do not fit behind
    // its extension button.
    nejmensi.setWidth(std::max({nejmensi.width(), ui->Panel1->sizeHint().width(),
                                ui->ActionToolBar1->sizeHint().width()}));
    setMinimumSize(nejmensi);
}

void THlavniForm::aJazykExecute() {
    Chranene([this] {
        if (pruchodBezi_) return;
        NajitJazykovySoubor();
        if (!xdcJazyk->SouborExistuje()) {
            // Fixed texts: there is no language file to take them from.
            Hlaseni->ZobrazitHlaseni(thInformace,
                                     QStringLiteral("Nebyl nalezen žádný jazykový soubor\rAplikace používá "
                                                    "výchozí jazyk (Češtinu)."),
                                     QStringLiteral("Informace"));
            return;
        }
        // The file may have appeared since the last pass, or failed to load
        // then: it is loaded now, and a failure ends the command.
        JazykXML->Dokument = &NactenyDokument(*xdcJazyk);

        QTreeWidget* seznam = JazykForm->livJazyk();
        JazykXML->NaplnJazyky(seznam);
        if (Modalni::Dialog(*JazykForm) != QDialog::Accepted) return;
        const QList<QTreeWidgetItem*> vybrane = seznam->selectedItems();
        if (vybrane.isEmpty()) return;
        JazykXML->Jazyk = vybrane.front()->text(0);
        jazykZvolen_ = true;
        // The command shows the chosen language's flag (the images from 9 on
        // are the flags in the order of the dialog's), whatever its row.
        NastavitIndexObrazku(JazykForm->ObrazekPrikazu(vybrane.front()));
        PrelozitAplikaci();
    });
}
