// The main window's settings kept between runs: read when the window is
// created, written when it closes. The numbering settings, the language and
// its image are the stored settings' own (TUlozeneNastaveni); the placement
// is the window's.
#include "fHlavni.h"

#include "ui_fHlavni.h"

#include "filetypes/SeznamTypu.h"
#include "ui/fNastaveni.h"
#include "katalog/convar.h"
#include "lang/JazykyXML.h"
#include "platform/Chyba.h"
#include "platform/Registr.h"
#include "ui/Hlaseni.h"

namespace {

QString Q(const std::u16string& s) { return QString::fromStdU16String(s); }

}  // namespace

void THlavniForm::NacistNastaveni() {
    TUlozeneNastaveni nastaveni;
    try {
        const bool otevren = registr_.OtevritKlic(KlicNastaveni, false);
        // A damaged store is read as far as it goes: which line was lost, and
        // where the damaged file is kept.
        if (const auto poskozeni = registr_.Poskozeni())
            Hlaseni->ZobrazitHlaseni(thChyba, ChybaUloziste(rsNELZEZEREGISTRU, *poskozeni), Q(rsCHYBA));
        if (otevren) {
            nastaveni.Nacist(registr_);
            NacistUmisteni();
        }
        NacistZeSouboru = !registr_.KlicExistuje(KlicTypuSouboru);
        registr_.ZavritKlic();
    } catch (const TChyba& e) {
        registr_.ZavritKlic();
        Hlaseni->ZobrazitHlaseni(thChyba, ChybaUloziste(rsNELZEZEREGISTRU, e.Zprava()), Q(rsCHYBA));
    }
    // The values read before a failure apply; the others keep their defaults.
    ZobrazitNastaveni(nastaveni);
}

void THlavniForm::NacistUmisteni() {
    const auto cislo = [&](const char16_t* nazev) -> std::optional<int> {
        if (!registr_.HodnotaExistuje(nazev)) return std::nullopt;
        return registr_.CistCislo(nazev);
    };
    // Maximised: the placement is not read.
    if (cislo(u"Maximalni").value_or(0) != 0) {
        maximalizovat_ = true;
        return;
    }
    QPoint poloha = pos();
    QSize velikost = frameGeometry().size();
    if (const auto x = cislo(u"Vlevo")) poloha.setX(*x);
    if (const auto y = cislo(u"Nahore")) poloha.setY(*y);
    const auto vyska = cislo(u"Vyska");
    const auto sirka = cislo(u"Sirka");
    if (vyska) velikost.setHeight(*vyska);
    if (sirka) velikost.setWidth(*sirka);
    move(poloha);
    if (vyska || sirka) {
        // The outer size; the window's frame is taken off once it is shown.
        ulozenaVelikost_ = velikost;
        resize(velikost.expandedTo(minimumSize()));
    }
}

void THlavniForm::UlozitNastaveni() {
    // One batch: the settings and the file type list reach the store whole,
    // so that a program killed while closing never leaves half a list.
    registr_.ZacitDavku();
    try {
        // A key that cannot be created makes the first write fail with the reason.
        registr_.OtevritKlic(KlicNastaveni, true);
        NastaveniOvladacu().Ulozit(registr_);
        UlozitUmisteni();
        registr_.ZavritKlic();
        // A list that could not be read from the store at start-up (and was
        // not changed since) is not written over the stored one.
        if (ulozitSeznam_) UlozitTypySouboru(registr_, NastaveniForm->Typy());
        registr_.DokoncitDavku();
    } catch (const TChyba& e) {
        registr_.ZavritKlic();
        try {
            // What was written before the failure still reaches the store.
            registr_.DokoncitDavku();
        } catch (const TChyba&) {
            // The failure already being reported covers it.
        }
        Hlaseni->ZobrazitHlaseni(thChyba, ChybaUloziste(rsNELZEDOREGISTRU, e.Zprava()), Q(rsCHYBA));
    }
}

void THlavniForm::UlozitUmisteni() {
    registr_.ZapsatPriznak(u"Maximalni", isMaximized());
    // Maximised, the placement of an earlier run stays.
    if (isMaximized()) return;
    const QRect ram = frameGeometry();
    registr_.ZapsatCislo(u"Vlevo", ram.x());
    registr_.ZapsatCislo(u"Nahore", ram.y());
    registr_.ZapsatCislo(u"Vyska", ram.height());
    registr_.ZapsatCislo(u"Sirka", ram.width());
}

QString THlavniForm::ChybaUloziste(const std::u16string& uvod, const std::u16string& zprava) {
    return Q(uvod) + QStringLiteral(".\r(") + Q(zprava) + QStringLiteral(".)");
}

TUlozeneNastaveni THlavniForm::NastaveniOvladacu() const {
    TUlozeneNastaveni n;
    n.Jazyk = JazykXML->Jazyk.toStdU16String();
    n.IndexObrazku = indexObrazku_;
    n.PrvniBlok = ui->speZacitOd->Value();
    n.Prirustek = ui->spePrirustek->Value();
    n.MaximalniBlok = ui->speMaximum->Value();
    n.CislovatOdZacatku = ui->rbtCislovatOdZacatku->isChecked();
    n.PonechatMaximum = ui->rbtPonechatMaximum->isChecked();
    n.BlokPredZnakKomentare = ui->chkBlokPredKomentar->isChecked();
    n.BlokPredZnakZacatku = ui->chkBlokPredProgram->isChecked();
    n.BlokPredZnakKonce = ui->chkBlokPredKoncem->isChecked();
    n.AktualizovatOdkazy = ui->chkAktualizovatOdkazy->isChecked();
    return n;
}

void THlavniForm::ZobrazitNastaveni(const TUlozeneNastaveni& n) {
    JazykXML->Jazyk = Q(n.Jazyk);
    NastavitIndexObrazku(n.IndexObrazku);
    ui->speZacitOd->SetValue(n.PrvniBlok);
    ui->spePrirustek->SetValue(n.Prirustek);
    ui->speMaximum->SetValue(n.MaximalniBlok);
    NastavitPrepinac(ui->rbtCislovatOdZacatku, n.CislovatOdZacatku);
    NastavitPrepinac(ui->rbtPonechatMaximum, n.PonechatMaximum);
    ui->chkBlokPredKomentar->setChecked(n.BlokPredZnakKomentare);
    ui->chkBlokPredProgram->setChecked(n.BlokPredZnakZacatku);
    ui->chkBlokPredKoncem->setChecked(n.BlokPredZnakKonce);
    ui->chkAktualizovatOdkazy->setChecked(n.AktualizovatOdkazy);
}

void THlavniForm::NastavitPrepinac(QRadioButton* prepinac, bool vybrany) {
    // The two overflow buttons are one group: selecting one deselects the
    // other, deselecting one leaves the other as it is (so that neither may be selected).
    if (vybrany) {
        prepinac->setChecked(true);
    } else if (prepinac->isChecked()) {
        const bool exkluzivni = prepinac->autoExclusive();
        prepinac->setAutoExclusive(false);
        prepinac->setChecked(false);
        prepinac->setAutoExclusive(exkluzivni);
    }
}
