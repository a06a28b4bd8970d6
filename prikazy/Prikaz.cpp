#include "Prikaz.h"

#include "katalog/Zpravy.h"
#include "katalog/ZpravyOdkazu.h"
#include "katalog/convar.h"

#include <algorithm>

namespace {

cnc::TPrikaz PrikazPruchodu(TPrikazProgramu p) {
    switch (p) {
        case TPrikazProgramu::Zavest: return cnc::TPrikaz::Zavest;
        case TPrikazProgramu::Odstranit: return cnc::TPrikaz::Odstranit;
        default: return cnc::TPrikaz::Precislovat;
    }
}

TUlozeneNastaveni Ohranicene(TUlozeneNastaveni c) {
    // Never 0 and never above the bounds, whatever the controls or options held.
    c.NastavitMeze();
    return c;
}

}  // namespace

TUloha::TUloha(const TZadaniPrikazu& z)
    : prikaz_(z.Prikaz),
      typ_(z.Typ),
      cislovani_(Ohranicene(z.Cislovani)),
      vynutit_(z.Vynutit),
      druhy_(DruhyOdkazuTypu(typ_)),
      znacky_{cnc::TZnackaUtf8(typ_.HlavniZnak), cnc::TZnackaUtf8(typ_.VedlejsiZnak),
              cnc::TZnackaUtf8(typ_.Zacatek), cnc::TZnackaUtf8(typ_.Konec), cnc::TZnackaUtf8(typ_.Komentar)} {
    zadani_.Prikaz = PrikazPruchodu(prikaz_);
    zadani_.HlavniZnak = znacky_[0].Znacka();
    zadani_.VedlejsiZnak = znacky_[1].Znacka();
    zadani_.Zacatek = znacky_[2].Znacka();
    zadani_.Konec = znacky_[3].Znacka();
    zadani_.Komentar = znacky_[4].Znacka();
    // The numbering: each setting's field of the task, as its line names it.
    cislovani_.NastavitUlohu(zadani_);
}

bool TUloha::HledatOdkazy() const {
    switch (prikaz_) {
        case TPrikazProgramu::Pocet: return false;
        // Also where the type reads no family: the words another family would
        // read are told.
        default: return true;
    }
}

TOdkazyBloku TUloha::NoveOdkazy(std::optional<TVyberRadku> vyber) const {
    // The listing (and a count, which never asks) has no pass of the engine's
    // own: it finds and resolves, as removing does.
    if (prikaz_ == TPrikazProgramu::Odkazy || prikaz_ == TPrikazProgramu::Pocet)
        return TOdkazyBloku(ZnakyOdkazu(zadani_, druhy_));
    TOdkazyBloku o = OdkazyPrikazu(zadani_, druhy_, Aktualizovat(), vyber);
    // The reports of introducing and renumbering name only the references
    // that did not keep their target; removing asks about every one.
    if (prikaz_ == TPrikazProgramu::Zavest || prikaz_ == TPrikazProgramu::Precislovat) o.NechatJenNevyresene();
    return o;
}

std::u16string NazevOdhadu(const TUloha& uloha, const TVysledekOdkazu& odkazy, const TOdhadTypu& odhad) {
    const std::u16string_view nazev = NazevTypuNareci(odhad.Nareci);
    if (nazev.empty() || nazev == uloha.Typ().Nazev) return {};
    if ((DruhyNareci(odhad.Nareci) & odkazy.RodinyNectenych()).Prazdne()) return {};
    return std::u16string(nazev);
}

std::optional<THlaseniPrikazu> Posoudit(const TUloha& uloha, const cnc::TPocty& pocty,
                                        const std::optional<TVysledekOdkazu>& odkazy, bool vyber,
                                        std::u16string_view odhad) {
    const auto hlaseni = [](TDruhHlaseni druh, std::u16string text) {
        return THlaseniPrikazu{druh, druh == TDruhHlaseni::Varovani ? rsVAROVANI : rsINFORMACE, std::move(text), {}, {}};
    };
    switch (uloha.Prikaz()) {
        case TPrikazProgramu::Zavest:
            if (pocty.Bloku > 0)
                return hlaseni(TDruhHlaseni::Varovani, ZpravaBlokyJsou(static_cast<std::int64_t>(pocty.Bloku)));
            break;
        case TPrikazProgramu::Precislovat:
            if (pocty.Bloku == 0)
                return hlaseni(TDruhHlaseni::Informace, vyber ? ZpravaBlokyNejsouVybrane() : ZpravaBlokyNejsou());
            break;
        case TPrikazProgramu::Odstranit:
            if (pocty.Bloku == 0) return hlaseni(TDruhHlaseni::Informace, ZpravaNeniCoOdstranit());
            // Removing the numbers breaks every reference to them, and the
            // words another control would read so: not without consent.
            if (odkazy && (!odkazy->Odkazy.empty() || odkazy->PocetNectenych > 0) && !uloha.Vynutit()) {
                std::u16string text;
                if (!odkazy->Odkazy.empty()) text = ZpravaOdkazyPredOdstranenim(*odkazy, false);
                if (odkazy->PocetNectenych > 0) {
                    if (!text.empty()) text += u'\r';
                    text += ZpravaNectenych(*odkazy, false, 10, odhad);
                    if (odkazy->Odkazy.empty()) text += u'\r' + rsODKAZYPRESTANOU + u".";
                }
                return THlaseniPrikazu{TDruhHlaseni::Dotaz, rsVAROVANI, text, rsODKAZYPRESTO + u"?", {}};
            }
            break;
        default: break;
    }
    return std::nullopt;
}

TPrvniPruchod::TPrvniPruchod(const TUloha& uloha, std::optional<TVyberRadku> vyber)
    : uloha_(uloha), vyber_(vyber) {
    Znovu();
}

void TPrvniPruchod::Znovu() {
    if (uloha_.HledatOdkazy()) {
        odkazy_.emplace(uloha_.NoveOdkazy(vyber_));
    } else {
        const cnc::TZadani<char>& z = uloha_.Zadani();
        pocitadlo_.emplace(z);
    }
}

void TPrvniPruchod::Pridat(std::string_view kus) {
    if (odkazy_)
        odkazy_->Pridat(kus);
    else
        pocitadlo_->Pridat(kus);
}

TPosudek TPrvniPruchod::Dokoncit() {
    TPosudek p;
    if (odkazy_) {
        p.Pocty = odkazy_->Pocty();
        p.Odkazy = odkazy_->Dokoncit();
    } else {
        p.Pocty = pocitadlo_->Pocty();
    }
    p.Odmitnuti = Posoudit(uloha_, p.Pocty, p.Odkazy);
    return p;
}

namespace {

// The report of the references themselves; none when there is nothing to tell.
std::optional<THlaseniPrikazu> HlaseniSamotnychOdkazu(TPrikazProgramu prikaz, bool aktualizovat,
                                                      const TVysledekOdkazu& o, std::size_t radku) {
    if (o.Nalezenych == 0) return std::nullopt;
    const auto zprava = [&](TZpravaPo po) {
        const bool vse = o.PocetNevyresenych() == 0;
        THlaseniPrikazu h{vse ? TDruhHlaseni::Informace : TDruhHlaseni::Varovani, vse ? rsINFORMACE : rsVAROVANI,
                          {}, {}, {}};
        h.Text = ZpravaOdkazu(o, po, radku, &h.RadkyProgramu);
        return h;
    };
    switch (prikaz) {
        case TPrikazProgramu::Precislovat:
            if (aktualizovat) return zprava(TZpravaPo::Aktualizaci);
            // Kept as they are: a word only when some now lead elsewhere, or nowhere.
            if (o.PocetNevyresenych() == 0) return std::nullopt;
            return zprava(TZpravaPo::Ponechani);
        case TPrikazProgramu::Zavest: {
            // Even those that now reach a block: the user wrote them for other numbers.
            THlaseniPrikazu h = zprava(TZpravaPo::Zavedeni);
            h.Druh = TDruhHlaseni::Varovani;
            h.Titulek = rsVAROVANI;
            return h;
        }
        case TPrikazProgramu::Odstranit: {
            // Removed all the same: the references that now point nowhere
            // (their lines in one line of the text, which names none alone).
            if (o.Odkazy.empty()) return std::nullopt;
            THlaseniPrikazu h{TDruhHlaseni::Varovani, rsVAROVANI,
                              ZpravaOdkazyPredOdstranenim(o, false, std::min<std::size_t>(radku, 10)), {}, {}};
            h.RadkyProgramu.assign(static_cast<std::size_t>(std::count(h.Text.begin(), h.Text.end(), u'\r')) + 1,
                                   std::u16string::npos);
            return h;
        }
        default: return std::nullopt;
    }
}

}  // namespace

std::optional<THlaseniPrikazu> HlaseniOdkazu(TPrikazProgramu prikaz, bool aktualizovat, const TVysledekOdkazu& o,
                                             std::size_t radku, std::u16string_view odhad) {
    std::optional<THlaseniPrikazu> h = HlaseniSamotnychOdkazu(prikaz, aktualizovat, o, radku);
    if (o.PocetNectenych == 0 || prikaz == TPrikazProgramu::Pocet) return h;
    // The words the type does not read, once for the program, after the references.
    std::vector<std::size_t> radky;
    const std::u16string nectena = ZpravaNectenych(o, prikaz != TPrikazProgramu::Odkazy, radku, odhad, &radky);
    if (!h) h = THlaseniPrikazu{TDruhHlaseni::Varovani, rsVAROVANI, {}, {}, {}};
    h->Druh = TDruhHlaseni::Varovani;
    h->Titulek = rsVAROVANI;
    if (!h->Text.empty()) h->Text += u'\r';
    h->Text += nectena;
    h->RadkyProgramu.insert(h->RadkyProgramu.end(), radky.begin(), radky.end());
    return h;
}

// ---------------------------------------------------------------- a text in memory

TPrikazNadTextem::TPrikazNadTextem(const TZadaniPrikazu& zadani, std::string_view text, std::optional<TVyber> vyber,
                                   const TPrubehCteni& prubeh)
    : uloha_(zadani), text_(text), vyber_(vyber) {
    // The references of the whole text: one outside the selection may lead into it.
    TPrvniPruchod prvni(uloha_, vyber_ ? std::optional(vyber_->Radky) : std::nullopt);
    constexpr std::size_t Kus = std::size_t{1} << 20;
    for (std::size_t od = 0; od < text_.size();) {
        const std::size_t po = cnc::KonecKusu(text_, od, Kus);
        prvni.Pridat(text_.substr(od, po - od));
        od = po;
        if (prubeh) prubeh(od, text_.size());
    }
    posudek_ = prvni.Dokoncit();
    // Words the type does not read: does the program look like a control that reads them?
    if (posudek_.Odkazy && posudek_.Odkazy->PocetNectenych > 0) {
        posudek_.Odhad = NazevOdhadu(uloha_, *posudek_.Odkazy, OdhadnoutTyp(text_));
        if (!vyber_) posudek_.Odmitnuti = Posoudit(uloha_, posudek_.Pocty, posudek_.Odkazy, false, posudek_.Odhad);
    }
    if (vyber_) {
        // The selection's own lines and block lines decide and pace the pass.
        const cnc::TZadani<char>& z = uloha_.Zadani();
        posudek_.Pocty = cnc::Spocitat(text_.substr(vyber_->Od, vyber_->Po - vyber_->Od), z, PoZacatku());
        posudek_.Odmitnuti = Posoudit(uloha_, posudek_.Pocty, posudek_.Odkazy, true, posudek_.Odhad);
    }
}

bool TPrikazNadTextem::PoZacatku() const {
    // A selection of whole lines whose line before is a start line: a program number first stays.
    if (!vyber_ || vyber_->Radky.OdBajtu != 0 || vyber_->Od == 0) return false;
    std::size_t konec = vyber_->Od - 1;  // the break before the selection
    if (konec > 0 && text_[konec] == '\n' && text_[konec - 1] == '\r') --konec;
    std::size_t zacatek = konec;
    while (zacatek > 0 && text_[zacatek - 1] != '\n' && text_[zacatek - 1] != '\r') --zacatek;
    return TPravidlaBloku(ZnakyOdkazu(uloha_.Zadani())).ZacatekProCislo(text_.substr(zacatek, konec - zacatek));
}

std::size_t TPrikazNadTextem::Odhad() const {
    const cnc::TZadani<char>& z = uloha_.Zadani();
    const std::size_t radku = posudek_.Pocty.Radku;
    // The digits of a new number: its width, else up to five (numbers stay below 20000).
    const std::size_t cislic = std::max<std::size_t>(z.SirkaCisla, 5);
    std::size_t rezerva = 0;
    if (z.Prikaz == cnc::TPrikaz::Precislovat) {
        const std::size_t upravy = posudek_.Odkazy ? posudek_.Odkazy->Upravy.size() : 0;
        // An updated reference grows as a block number does.
        rezerva = (cislic - 1) * (radku + upravy);
    } else if (z.Prikaz == cnc::TPrikaz::Zavest) {
        rezerva = (z.VedlejsiZnak.Text.size() + cislic + 1) * radku;
    }
    return text_.size() + rezerva + radku + 2;
}

std::uint8_t TPrikazNadTextem::Zapsat(const std::function<void(std::string_view)>& pripojit, TPrubeh& prubeh) const {
    const cnc::TZadani<char>& z = uloha_.Zadani();
    const std::size_t od = vyber_ ? vyber_->Od : 0, po = vyber_ ? vyber_->Po : text_.size();
    const TVyberRadku radky = vyber_ ? vyber_->Radky : TVyberRadku{};
    std::span<const TUpravaOdkazu> upravy;
    if (z.Prikaz == cnc::TPrikaz::Precislovat && posudek_.Odkazy) upravy = posudek_.Odkazy->Upravy;

    std::size_t zapsano = 0;
    const auto primo = [&](std::string_view kus) {
        zapsano += kus.size();
        pripojit(kus);
    };
    cnc::TVystup<char> vystup(primo);
    // The references go through the edits wherever they lie: before the
    // selection, in it (behind the new fronts) and after it.
    TKurzorUprav kurzor(upravy);
    std::optional<TZbytkySUpravami> zbytky;
    if (!upravy.empty()) zbytky.emplace(kurzor, radky.Od, radky.OdBajtu);
    if (zbytky) {
        PripojitSUpravami(vystup, kurzor, text_, 0, od, 0, 0);
        vystup.Odevzdat();
    } else {
        primo(text_.substr(0, od));
    }
    // The references before the selection may have grown or shrunk.
    zacatekVyberu_ = zapsano;
    const auto dokoncit = [&](bool upravit) {
        vystup.Odevzdat();
        konecVyberu_ = zapsano;
        const bool zaZlomem = radky.PoBajtu == std::string_view::npos;
        if (zbytky && upravit)
            PripojitSUpravami(vystup, kurzor, text_, po, text_.size(), zaZlomem ? radky.Po : radky.Po - 1,
                              zaZlomem ? 0 : radky.PoBajtu);
        else
            primo(text_.substr(po));
        vystup.Odevzdat();
    };
    std::uint8_t procenta = 0;
    try {
        // A selection is written back with CR LF after every line, the last one included.
        cnc::TPruchod<char> pruchod(z, posudek_.Pocty.Radku, vystup, prubeh, vyber_.has_value());
        pruchod.PoZacatku(PoZacatku());
        if (zbytky) pruchod.PsatZbytky(&*zbytky);
        pruchod.Pridat(text_.substr(od, po - od));
        procenta = pruchod.Procenta();
    } catch (...) {
        // The lines processed so far, and the rest as they were; the
        // references after the lines are left alone, since the blocks they
        // name may not have been renumbered.
        dokoncit(false);
        throw;
    }
    dokoncit(true);
    return procenta;
}

std::optional<THlaseniPrikazu> TPrikazNadTextem::HlaseniOdkazu(std::size_t radku) const {
    if (!posudek_.Odkazy) return std::nullopt;
    return ::HlaseniOdkazu(uloha_.Prikaz(), uloha_.Aktualizovat(), *posudek_.Odkazy, radku, posudek_.Odhad);
}
