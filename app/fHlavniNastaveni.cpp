// The main window's settings kept between runs: read when the window is
// created, written when it closes. The numbering settings, the language and
// its image are the stored settings' own (TUlozeneNastaveni); the placement
// is the window's.
#include "fHlavni.h"

#include "ui_fHlavni.h"

#include "filetypes/SeznamTypu.h"
#include "ui/fNastaveni.h"
#include "katalog/JazykUzivatele.h"
#include "katalog/convar.h"
#include "lang/JazykyXML.h"
#include "platform/Chyba.h"
#include "platform/Registr.h"
#include "ui/Hlaseni.h"
#include "ui/Nastaveni.h"

#include <algorithm>
#include <stdexcept>

namespace {

QString Q(const std::u16string& s) { return QString::fromStdU16String(s); }

using TN = TUlozeneNastaveni;

// The window's control of a stored setting, by the object name its line
// gives (TPopisNastaveni::Ovladac); nullptr for a line without one. A line
// that names no control of the window is a fault of the build.
template <typename TOvladac>
TOvladac* Ovladac(const QObject& okno, const TPopisNastaveni& p) {
    if (p.Ovladac.empty()) return nullptr;
    auto* o = okno.findChild<TOvladac*>(QString::fromUtf8(p.Ovladac.data(), qsizetype(p.Ovladac.size())));
    if (!o) throw std::logic_error("the window has no control " + std::string(p.Ovladac) + " for its setting");
    return o;
}

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
    n.JazykZvolen = jazykZvolen_;
    for (const TPopisNastaveni& p : TN::Popisy()) {
        if (std::holds_alternative<bool TN::*>(p.Pole)) {
            if (const auto* b = Ovladac<QAbstractButton>(*this, p)) n.Nastavit(p, b->isChecked() ? 1 : 0);
        } else if (const auto* s = std::holds_alternative<std::int32_t TN::*>(p.Pole) ? Ovladac<TSpinEdit>(*this, p)
                                                                                        : nullptr) {
            n.Nastavit(p, s->Value());
        }
    }
    const auto& posledni = TUlozeneNastaveni::PolePoslednich();
    for (std::size_t i = 0; i < posledni.size() && i < std::size_t(posledni_.size()); ++i)
        n.*posledni[i] = posledni_[qsizetype(i)].toStdU16String();
    return n;
}

void THlavniForm::ZobrazitNastaveni(const TUlozeneNastaveni& n) {
    // The language chosen in the window, else the locale's, else Czech; the
    // command shows its flag (8: Czech, 9 + the flag's position).
    jazykZvolen_ = n.JazykZvolen;
    const std::string jazyk = JazykUzivatele(n.JazykZvolen, n.Jazyk, JazykProstredi());
    JazykXML->Jazyk = QString::fromStdString(jazyk);
    if (n.JazykZvolen) {
        NastavitIndexObrazku(n.IndexObrazku);
    } else {
        const auto vlajka = std::find(JazykyTarviku.begin(), JazykyTarviku.end(), jazyk);
        NastavitIndexObrazku(vlajka == JazykyTarviku.begin() || vlajka == JazykyTarviku.end()
                                 ? 8
                                 : 9 + int(vlajka - JazykyTarviku.begin()));
    }
    for (const TPopisNastaveni& p : TN::Popisy()) {
        if (const auto* priznak = std::get_if<bool TN::*>(&p.Pole)) {
            QAbstractButton* b = Ovladac<QAbstractButton>(*this, p);
            if (auto* r = qobject_cast<QRadioButton*>(b))
                NastavitPrepinac(r, n.**priznak);
            else if (b)
                b->setChecked(n.**priznak);
        } else if (const auto* cislo = std::get_if<std::int32_t TN::*>(&p.Pole)) {
            if (TSpinEdit* s = Ovladac<TSpinEdit>(*this, p)) s->SetValue(n.**cislo);
        }
    }
    posledni_.clear();
    for (const auto pole : TUlozeneNastaveni::PolePoslednich())
        if (!(n.*pole).empty() && !posledni_.contains(Q(n.*pole))) posledni_ << Q(n.*pole);
    ObnovitMenuPoslednich();
}

std::vector<TSpinEdit*> THlavniForm::CiselneOvladace() const {
    std::vector<TSpinEdit*> v;
    for (const TPopisNastaveni& p : TN::Popisy())
        if (std::holds_alternative<std::int32_t TN::*>(p.Pole))
            if (TSpinEdit* s = Ovladac<TSpinEdit>(*this, p)) v.push_back(s);
    return v;
}

void THlavniForm::PripravitOvladaceNastaveni() {
    // Each number's bounds come from its stored setting's line.
    for (const TPopisNastaveni& p : TN::Popisy()) {
        if (!std::holds_alternative<std::int32_t TN::*>(p.Pole)) continue;
        TSpinEdit* s = Ovladac<TSpinEdit>(*this, p);
        if (!s) continue;
        s->SetMinValue(p.Min);
        s->SetMaxValue(p.Max);
        zvyrazneni_->Sledovat(s);
    }
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
