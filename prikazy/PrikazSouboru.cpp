#include "PrikazSouboru.h"

#include "katalog/TextyDavky.h"
#include "katalog/Zpravy.h"
#include "katalog/convar.h"
#include "platform/Chyba.h"
#include "platform/CteniTextu.h"
#include "platform/ZapisSouboru.h"

namespace {

// Runs a pass over the whole text, which comes again from its start; the
// rest of the lines through zbytky, when given.
std::uint8_t Projit(TProgramPoKusech& cteni, const cnc::TZadani<char>& z, std::size_t radku,
                    cnc::TVystup<char>& vystup, cnc::TZbytekRadku* zbytky = nullptr) {
    cteni.OdZacatku();
    cnc::TPruchod<char> pruchod(z, radku, vystup);
    pruchod.PsatZbytky(zbytky);
    std::string_view kus;
    while (cteni.Dalsi(kus) == TProgramPoKusech::TStav::Kus) pruchod.Pridat(kus);
    const std::uint8_t procenta = pruchod.Procenta();
    vystup.Odevzdat();
    return procenta;
}

// The guess of the whole text, from its start.
TOdhadTypu Odhadnout(TProgramPoKusech& cteni) {
    cteni.OdZacatku();
    TOdhadovacTypu odhad;
    std::string_view kus;
    for (TProgramPoKusech::TStav stav; (stav = cteni.Dalsi(kus)) != TProgramPoKusech::TStav::Konec;) {
        if (stav == TProgramPoKusech::TStav::Znovu)
            odhad = TOdhadovacTypu();
        else
            odhad.Pridat(kus);
    }
    return odhad.Dokoncit();
}

// The encoding a result is written in, decided here for the batch tool and
// the window alike: the one the program was read in, as it is written back;
// UTF-8 with a mark when that cannot hold a character of the result; and,
// once the result's first bytes are known (its first line at least), UTF-8
// with a mark too when they would read back as a mark.
class TVolbaKodovani {
public:
    explicit TVolbaKodovani(TKodovani precteno) : pozadovane_(KodovaniProZapis(precteno)), pouzite_(pozadovane_) {}
    TKodovani Pozadovane() const { return pozadovane_; }
    TKodovani Pouzite() const { return pouzite_; }
    bool ZacatekJakoZnacka() const { return znacka_; }
    void NelzeUdrzet() { pouzite_ = TKodovani::Utf8Znacka; }
    // The result's first bytes: the encoding they go out in.
    TKodovani Zacatek(std::string_view prvniBajty) {
        if (const TKodovani k = KodovaniZapisu(pouzite_, prvniBajty); k != pouzite_) {
            pouzite_ = k;
            znacka_ = true;
        }
        return pouzite_;
    }

private:
    TKodovani pozadovane_, pouzite_;
    bool znacka_ = false;
};

}  // namespace

std::string DuvodJinehoKodovani(const TVysledekProgramu& r) {
    return Vyplnit(r.ZacatekJakoZnacka ? rsDKODOVANIZNACKA : rsDKODOVANINEPOJME, {NazevKodovani(r.Pozadovane)});
}

std::optional<std::string_view> OtevritZapis(std::optional<TZapisSouboru>& zapis, const TCestaSouboru& soubor,
                                             const std::filesystem::path& program,
                                             std::optional<TOtiskSouboru> precteny) {
    std::error_code ec;
    const bool tyz = program != "-" && std::filesystem::equivalent(soubor.Cesta, program, ec);
    zapis.emplace(soubor, tyz ? std::move(precteny) : std::nullopt);
    if (zapis->NaMiste() && tyz) return zapis->StaryObsah();
    return std::nullopt;
}

TVysledekProgramu ZpracovatProgram(const TZadaniPrikazu& zadani, const TCestaSouboru& soubor,
                                   const TCilProgramu& cil) {
    TVysledekProgramu vysledek;
    std::optional<TCteniSouboru> zdroj;
    if (soubor.Cesta == "-")
        zdroj.emplace(TCteniSouboru::TStandardniVstup{});
    else
        zdroj.emplace(soubor);
    TProgramPoKusech cteni(*zdroj);
    std::optional<TUloha> ulohaPodleOdhadu;
    try {
        if (zadani.TypPodleOdhadu) {
            // -t auto: the type the words point to, read before anything else.
            TZadaniPrikazu podleOdhadu = zadani;
            vysledek.OdhadTypu = Odhadnout(cteni);
            podleOdhadu.Typ = zadani.TypPodleOdhadu(*vysledek.OdhadTypu);
            vysledek.Typ = podleOdhadu.Typ;
            ulohaPodleOdhadu.emplace(podleOdhadu);
        }
    } catch (const TNeniTextovyProgram&) {
        vysledek.Odmitnuti = THlaseniPrikazu{TDruhHlaseni::Varovani, rsVAROVANI, rsNENITEXT + u".", {}, {}};
        return vysledek;
    }
    const std::optional<TUloha> ulohaZadani =
        ulohaPodleOdhadu ? std::nullopt : std::optional<TUloha>(std::in_place, zadani);
    const TUloha& uloha = ulohaPodleOdhadu ? *ulohaPodleOdhadu : *ulohaZadani;
    const cnc::TZadani<char>& z = uloha.Zadani();

    // The first pass: the encoding, the lines and the block lines, and the
    // references. A renumber needs them all before it rewrites: a jump may
    // go forward.
    TPrvniPruchod prvni(uloha);
    std::string_view kus;
    try {
        if (ulohaPodleOdhadu) cteni.OdZacatku();
        for (TProgramPoKusech::TStav stav; (stav = cteni.Dalsi(kus)) != TProgramPoKusech::TStav::Konec;) {
            if (stav == TProgramPoKusech::TStav::Znovu)
                prvni.Znovu();
            else
                prvni.Pridat(kus);
        }
    } catch (const TNeniTextovyProgram&) {
        // A binary file is no program: refused, never rewritten.
        vysledek.Odmitnuti = THlaseniPrikazu{TDruhHlaseni::Varovani, rsVAROVANI, rsNENITEXT + u".", {}, {}};
        return vysledek;
    }
    TPosudek posudek = prvni.Dokoncit();
    // Words the type does not read: does the program look like a control that reads them?
    if (posudek.Odkazy && posudek.Odkazy->PocetNectenych > 0) {
        if (!vysledek.OdhadTypu) vysledek.OdhadTypu = Odhadnout(cteni);
        vysledek.Odhad = posudek.Odhad = NazevOdhadu(uloha, *posudek.Odkazy, *vysledek.OdhadTypu);
        posudek.Odmitnuti = Posoudit(uloha, posudek.Pocty, posudek.Odkazy, false, posudek.Odhad);
    }
    const std::size_t radku = posudek.Pocty.Radku;
    vysledek.Bloku = static_cast<std::int32_t>(posudek.Pocty.Bloku);
    vysledek.Odkazy = std::move(posudek.Odkazy);
    if (zadani.Prikaz == TPrikazProgramu::Pocet || zadani.Prikaz == TPrikazProgramu::Odkazy) return vysledek;
    if (posudek.Odmitnuti) {
        vysledek.Odmitnuti = std::move(posudek.Odmitnuti);
        return vysledek;
    }

    // The encoding is chosen before the first byte goes out. The result holds
    // the characters of the program and the numbers; only a character read in
    // the ANSI code page without a way back, or the block character that
    // introducing writes, can be one the encoding cannot hold: then a pass
    // that writes nothing tells.
    TVolbaKodovani volba(cteni.Kodovani());
    vysledek.Pozadovane = volba.Pozadovane();
    if (!cteni.LzeZapsatZpet() ||
        (z.Prikaz == cnc::TPrikaz::Zavest && !LzeZakodovatUtf8(z.VedlejsiZnak.Text, vysledek.Pozadovane))) {
        bool lze = true;
        cnc::TVystup<char> zkouska(
            [&](std::string_view k) { lze = lze && LzeZakodovatUtf8(k, vysledek.Pozadovane); });
        Projit(cteni, z, radku, zkouska);
        if (!lze) volba.NelzeUdrzet();
    }
    vysledek.Pouzite = volba.Pouzite();

    // The second pass: the program rewritten, piece by piece, into the
    // output. A file is closed while the output opens (Windows sees no hard
    // links of a file that is open, nor replaces it), then read again, or
    // from its old bytes when the output writes it in place; a source that
    // cannot be read again (a pipe) keeps its bytes and stays open.
    const bool znovuOtevrit = soubor.Cesta != "-" && zdroj->Zpet();
    if (znovuOtevrit) zdroj.reset();
    std::optional<TBajtyVPameti> stare;
    if (const std::optional<std::string_view> stary = cil.Otevrit ? cil.Otevrit(cteni.Precteno()) : std::nullopt)
        cteni.CistZ(stare.emplace(*stary));
    else if (znovuOtevrit)
        cteni.CistZ(zdroj.emplace(soubor));
    const TTypSouboru& typ = uloha.Typ();
    TPocitadloStatistik statistiky(typ.HlavniZnak, typ.VedlejsiZnak, typ.Zacatek, typ.Komentar);
    // UTF-8 read goes out as it is: the passes write only whole characters.
    TKodovani k = vysledek.Pouzite;
    const bool cteniUtf8 = cteni.Kodovani() == TKodovani::Utf8 || cteni.Kodovani() == TKodovani::Utf8Znacka;
    bool jakoUtf8 = (k == TKodovani::Utf8 || k == TKodovani::Utf8Znacka) && cteniUtf8;
    std::string zakodovane(ZnackaKodovani(k));
    bool prvniKus = true;
    cnc::TVystup<char> novy([&](std::string_view kus) {
        if (prvniKus) {
            // A text whose first bytes would read back as a mark gets a real
            // one in front; the first piece holds at least its first line.
            prvniKus = false;
            if (const TKodovani sZnackou = volba.Zacatek(kus); sZnackou != k) {
                vysledek.Pouzite = k = sZnackou;
                vysledek.ZacatekJakoZnacka = volba.ZacatekJakoZnacka();
                zakodovane = ZnackaKodovani(k);
                jakoUtf8 = cteniUtf8;
            }
        }
        statistiky.Pridat(kus);
        if (jakoUtf8 && zakodovane.empty()) {
            cil.Zapsat(kus);
            return;
        }
        PrevestZUtf8(zakodovane, kus, k);
        cil.Zapsat(zakodovane);
        zakodovane.clear();
    });
    // A renumber writes the references that it updates.
    std::optional<TKurzorUprav> kurzor;
    std::optional<TZbytkySUpravami> zbytky;
    if (z.Prikaz == cnc::TPrikaz::Precislovat && vysledek.Odkazy && !vysledek.Odkazy->Upravy.empty())
        zbytky.emplace(kurzor.emplace(vysledek.Odkazy->Upravy));
    vysledek.Procenta = Projit(cteni, z, radku, novy, zbytky ? &*zbytky : nullptr);
    if (!zakodovane.empty()) cil.Zapsat(zakodovane);  // the mark of an empty program
    // The program is read: its file closes before a new one can take its place.
    zdroj.reset();

    const TStatistiky s = statistiky.Statistiky();
    vysledek.Bloku = static_cast<std::int32_t>(s.Bloku);
    vysledek.Radku = s.Radku;
    vysledek.Znaku = s.Znaku;
    return vysledek;
}

TOdhadTypu OdhadnoutProgram(const std::filesystem::path& soubor) {
    std::optional<TCteniSouboru> zdroj;
    if (soubor == "-")
        zdroj.emplace(TCteniSouboru::TStandardniVstup{});
    else
        zdroj.emplace(soubor);
    TProgramPoKusech cteni(*zdroj);
    return Odhadnout(cteni);
}

TUlozeniProgramu UlozitProgram(const std::filesystem::path& soubor, std::string_view utf8, TKodovani precteno,
                               const std::optional<TOtiskSouboru>& precteny,
                               const std::function<void(std::size_t, std::size_t)>& prubeh) {
    TVolbaKodovani volba(precteno);
    if (!LzeZakodovatUtf8(utf8, volba.Pozadovane())) volba.NelzeUdrzet();
    const TKodovani k = volba.Zacatek(utf8.substr(0, 16));
    // UTF-8 goes out as it is when it is valid (the text area holds what a
    // file gave, a NUL character or a damaged byte included).
    const bool jakJe = k == TKodovani::Utf8 && JePlatneUtf8(utf8);
    TZapisSouboru zapis(soubor, precteny);
    std::string bajty(ZnackaKodovani(k));
    constexpr std::size_t Kus = std::size_t{1} << 20;
    for (std::size_t od = 0; od < utf8.size();) {
        std::size_t konec = std::min(utf8.size(), od + Kus);
        if (konec < utf8.size()) {
            konec = cnc::KonecRadku(utf8, konec);
            if (konec < utf8.size()) konec = cnc::ZaZlomem(utf8, konec);
        }
        if (jakJe) {
            zapis.Zapsat(utf8.substr(od, konec - od));
        } else {
            PrevestZUtf8(bajty, utf8.substr(od, konec - od), k);
            zapis.Zapsat(bajty);
            bajty.clear();
        }
        od = konec;
        if (prubeh) prubeh(od, utf8.size());
    }
    if (!bajty.empty()) zapis.Zapsat(bajty);  // the mark of an empty program
    zapis.Dokoncit();
    return {volba.Pozadovane(), volba.Pouzite(), volba.ZacatekJakoZnacka(), zapis.Otisk()};
}

TZmenaZvenku ZmenaZvenku(const std::filesystem::path& soubor, const std::optional<TOtiskSouboru>& otisk) {
    if (!otisk) return TZmenaZvenku::Zadna;
    // The writer's own test (TZapisSouboru with precteny): the file is the
    // one read only while its whole fingerprint is.
    const std::optional<TOtiskSouboru> ted = OtiskSouboru(soubor);
    if (ted == otisk) return TZmenaZvenku::Zadna;
    if (ted) return TZmenaZvenku::Zmenen;
    std::error_code ec;
    // Something that is no regular file (a folder, a pipe) stands there now,
    // or nothing; a path that cannot be looked at tells nothing (writing it
    // then tells its own failure).
    const bool je = std::filesystem::exists(soubor, ec);
    if (ec) return TZmenaZvenku::Zadna;
    return je ? TZmenaZvenku::Zmenen : TZmenaZvenku::Zmizel;
}
