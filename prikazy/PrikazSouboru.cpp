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
    const TUloha uloha(zadani);
    const cnc::TZadani<char>& z = uloha.Zadani();

    // The first pass: the encoding, the lines and the block lines, and the
    // references. A renumber needs them all before it rewrites: a jump may
    // go forward.
    TPrvniPruchod prvni(uloha);
    std::string_view kus;
    try {
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
    vysledek.Pozadovane = vysledek.Pouzite = KodovaniProZapis(cteni.Kodovani());
    if (!cteni.LzeZapsatZpet() ||
        (z.Prikaz == cnc::TPrikaz::Zavest && !LzeZakodovatUtf8(z.VedlejsiZnak.Text, vysledek.Pozadovane))) {
        bool lze = true;
        cnc::TVystup<char> zkouska(
            [&](std::string_view k) { lze = lze && LzeZakodovatUtf8(k, vysledek.Pozadovane); });
        Projit(cteni, z, radku, zkouska);
        if (!lze) vysledek.Pouzite = TKodovani::Utf8Znacka;
    }

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
    TPocitadloStatistik statistiky(typ.HlavniZnak, typ.VedlejsiZnak);
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
            if (const TKodovani sZnackou = KodovaniZapisu(k, kus); sZnackou != k) {
                vysledek.Pouzite = k = sZnackou;
                vysledek.ZacatekJakoZnacka = true;
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
