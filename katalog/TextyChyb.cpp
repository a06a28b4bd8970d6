#include "TextyChyb.h"

#include "convar.h"

#include "platform/Kodovani.h"

namespace {

// The text with %1, %2 filled in.
std::u16string Doplnit(std::u16string_view vzor, std::initializer_list<std::u16string> hodnoty) {
    std::u16string v;
    for (std::size_t i = 0; i < vzor.size(); ++i) {
        if (vzor[i] == u'%' && i + 1 < vzor.size() && vzor[i + 1] >= u'1' && vzor[i + 1] <= u'9') {
            const auto n = static_cast<std::size_t>(vzor[i + 1] - u'1');
            if (n < hodnoty.size()) {
                v += *(hodnoty.begin() + n);
                ++i;
                continue;
            }
        }
        v += vzor[i];
    }
    return v;
}

}  // namespace

std::u16string TextDuvodu(TKodSystemu kod) {
    switch (DruhDuvodu(kod)) {
        case TDruhDuvodu::MistoNaDisku: return rsMISTONADISKU;
        case TDruhDuvodu::JenProCteni: return rsJENPROCTENI;
        case TDruhDuvodu::PristupOdepren: return rsPRISTUPODEPREN;
        case TDruhDuvodu::Nenalezen: return rsNENALEZEN;
        case TDruhDuvodu::DlouheJmeno: return rsDLOUHEJMENO;
        case TDruhDuvodu::MnohoSouboru: return rsMNOHOSOUBORU;
        case TDruhDuvodu::JeSlozka: return rsJESLOZKA;
        case TDruhDuvodu::PrilisVelky: return rsPRILISVELKY;
        case TDruhDuvodu::Odkaz: return rsODKAZNENASLEDUJE;
        case TDruhDuvodu::Jiny: break;
    }
    return DuvodSystemu(kod);
}

std::u16string TextChybySouboru(const TUdajeChyby& u) {
    std::u16string z;
    if (!u.Cesta.empty())
        z = (u.Cinnost == TCinnostSouboru::Cteni ? rsNELZEOTEVRIT : rsNELZEVYTVORIT) + u" \"" + TextCesty(u.Cesta) +
            u"\". ";
    switch (u.Proc) {
        case TProcChyby::Systemova: z += TextDuvodu(u.Kod); break;
        case TProcChyby::Slozka: z += rsSLOZKA + u" \"" + TextCesty(u.Slozka) + u"\": " + TextDuvodu(u.Kod); break;
        case TProcChyby::ZmenenPriCteni: z += rsZMENENPRICTENI; break;
        case TProcChyby::ZmenenOdCteni: z += rsZMENENODCTENI; break;
        case TProcChyby::NeniText: z += rsNENITEXT; break;
        case TProcChyby::NeniBeznySoubor: z += rsNENIBEZNYSOUBOR; break;
        case TProcChyby::DlouhyRadek: z += Doplnit(rsDLOUHYRADEK, {TextCisla(u.Cislo)}); break;
        case TProcChyby::Utf16Lichy: z += rsUTF16LICHY; break;
        case TProcChyby::Utf16Nahradnik: z += Doplnit(rsUTF16NAHRADNIK, {TextJednotky(u.Cislo), TextCisla(u.Radek)}); break;
        case TProcChyby::NelzeZnovu: z += rsNELZEZNOVU; break;
        case TProcChyby::PrilisVelky: z += Doplnit(rsVETSINEZ, {TextCisla(u.Cislo)}); break;
    }
    if (u.StaryObsah == TStaryObsah::ZapsanZpet) z += u"; " + rsSTARYOBSAHZPET;
    if (u.StaryObsah == TStaryObsah::NezapsanZpet) z += u"; " + rsSTARYOBSAHNEZPET + u": " + TextDuvodu(u.KodZpet);
    return z;
}

std::u16string PrelozenaChyba(const TChyba& chyba) {
    if (const auto* soubor = dynamic_cast<const TChybaSouboru*>(&chyba)) return TextChybySouboru(soubor->Udaje());
    return chyba.Zprava();
}
