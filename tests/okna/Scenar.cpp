#include "Scenar.h"

#include "app/fHlavni.h"
#include "platform/RegistrSoubor.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QDialog>

TScenar::TScenar() {
    Modalni::NastavitObsluhuZpravy([this](QMessageBox& box) {
        const QVariant text = box.property("tarvikText");
        Zpravy.push_back({box.icon(), box.standardButtons(), box.windowTitle(),
                          text.isValid() ? text.toString() : box.text()});
        if (!ObsluhyZprav.empty()) {
            auto obsluha = std::move(ObsluhyZprav.front());
            ObsluhyZprav.pop_front();
            return obsluha(box);
        }
        if (!Odpovedi.empty()) {
            const auto odpoved = Odpovedi.front();
            Odpovedi.pop_front();
            return int(odpoved);
        }
        const auto tlacitka = box.standardButtons();
        return int(tlacitka.testFlag(QMessageBox::Ok) ? QMessageBox::Ok : QMessageBox::Yes);
    });
    Modalni::NastavitObsluhuOtevreni([this](const QString& filtr, int pozice, const QString& soubor) {
        NabidnutyFiltr.emplace_back(filtr, pozice);
        NabidnutySoubor.push_back(soubor);
        std::optional<Modalni::TOtevreni> volba;
        if (!Otevreni.empty()) {
            volba = std::move(Otevreni.front());
            Otevreni.pop_front();
        }
        return volba;
    });
    Modalni::NastavitObsluhuUlozeni([this](const QString&, int pozice, const QString& soubor) {
        NabidnutoUlozeni.emplace_back(pozice, soubor);
        std::optional<Modalni::TOtevreni> volba;
        if (!Ulozeni.empty()) {
            volba = std::move(Ulozeni.front());
            Ulozeni.pop_front();
        }
        return volba;
    });
    Modalni::NastavitObsluhuDialogu([this](QDialog& dialog) {
        SpusteneDialogy.push_back(dialog.objectName());
        if (Dialogy.empty()) return int(QDialog::Rejected);
        auto beh = std::move(Dialogy.front());
        Dialogy.pop_front();
        return beh(dialog);
    });
}

TScenar::~TScenar() {
    Modalni::NastavitObsluhuZpravy({});
    Modalni::NastavitObsluhuOtevreni({});
    Modalni::NastavitObsluhuUlozeni({});
    Modalni::NastavitObsluhuDialogu({});
}

void ZpracovatUdalosti() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

TBehAplikace::TBehAplikace(TDocasnaSlozka& slozka, bool zobrazit) : slozka_(slozka) {
    std::filesystem::current_path(slozka.Cesta());
    aplikace_ = std::make_unique<TAplikace>(std::make_unique<TRegistrSoubor>(Ulozeni()));
    HlavniForm->SouborTypu = slozka / "files.ftd";
    // The language file only where the test puts it (its folder, as a data
    // folder), never the build's.
    HlavniForm->SlozkyDat = {slozka.Cesta()};
    if (zobrazit) {
        aplikace_->Zobrazit();
        HlavniForm->activateWindow();
        QApplication::setActiveWindow(HlavniForm);
        ZpracovatUdalosti();
    }
}

TBehAplikace::~TBehAplikace() = default;

bool TBehAplikace::Zavrit() {
    const bool zavreno = HlavniForm->close();
    ZpracovatUdalosti();
    return zavreno;
}
