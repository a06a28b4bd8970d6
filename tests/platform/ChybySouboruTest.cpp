// A file's failure is data: what was done, the path, why; its English text
// and the text the window and the batch tool show, in the catalogue's
// language, never mixing two.
#include "katalog/TextyChyb.h"
#include "katalog/convar.h"
#include "platform/ChybySouboru.h"
#include "platform/Kodovani.h"

#include <gtest/gtest.h>

#include <cerrno>

#ifndef _WIN32

namespace {

// (The system's codes are errno's here.)
TEST(ChybySouboru, AnglickyACesky) {
    const auto udaje = [](TCinnostSouboru cinnost, TProcChyby proc, TKodSystemu kod) {
        TUdajeChyby u;
        u.Cinnost = cinnost;
        u.Cesta = "d/p.nc";
        u.Proc = proc;
        u.Kod = kod;
        return u;
    };
    using enum TCinnostSouboru;
    using enum TProcChyby;
    struct Pripad {
        TUdajeChyby udaje;
        std::string anglicky, cesky;
    };
    std::vector<Pripad> pripady = {
        {udaje(Cteni, Systemova, ENOENT), "Cannot open file \"d/p.nc\". No such file or directory",
         "Nelze otevřít soubor \"d/p.nc\". Soubor nebo složka neexistuje"},
        {udaje(Zapis, Systemova, EROFS), "Cannot create file \"d/p.nc\". Read-only file system",
         "Nelze vytvořit soubor \"d/p.nc\". Systém souborů je jen pro čtení"},
        {udaje(Zapis, ZmenenOdCteni, 0),
         "Cannot create file \"d/p.nc\". It was changed by another program since it was read, and is left as it is",
         "Nelze vytvořit soubor \"d/p.nc\". Jiný program jej od přečtení změnil, a proto zůstává, jak je"},
        // A reason the catalogue does not know keeps the system's words.
        {udaje(Cteni, Systemova, EIO), "Cannot open file \"d/p.nc\". Input/output error",
         "Nelze otevřít soubor \"d/p.nc\". Input/output error"},
    };
    Pripad slozka{udaje(Zapis, Slozka, EACCES), "Cannot create file \"d/p.nc\". Folder \"d\": Permission denied",
                  "Nelze vytvořit soubor \"d/p.nc\". Složka \"d\": Přístup odepřen"};
    slozka.udaje.Slozka = "d";
    Pripad zpet{udaje(Zapis, Systemova, ENOSPC),
                "Cannot create file \"d/p.nc\". No space left on device; the old content was written back",
                "Nelze vytvořit soubor \"d/p.nc\". Na disku není dost místa; původní obsah byl zapsán zpět"};
    zpet.udaje.StaryObsah = TStaryObsah::ZapsanZpet;
    Pripad nezpet{udaje(Zapis, Systemova, EFBIG),
                  "Cannot create file \"d/p.nc\". File too large; writing the old content back failed as well: "
                  "No space left on device",
                  "Nelze vytvořit soubor \"d/p.nc\". Soubor by přesáhl povolenou velikost; nepodařilo se zapsat zpět "
                  "ani původní obsah: Na disku není dost místa"};
    nezpet.udaje.StaryObsah = TStaryObsah::NezapsanZpet;
    nezpet.udaje.KodZpet = ENOSPC;
    // Bytes in memory have no path: the reason alone.
    Pripad pamet{udaje(Cteni, Utf16Nahradnik, 0), "Damaged UTF-16: a lone surrogate DC00 in line 7",
                 "Poškozené UTF-16: osamocená náhradní jednotka DC00 na řádku 7"};
    pamet.udaje.Cesta.clear();
    pamet.udaje.Cislo = 0xDC00;
    pamet.udaje.Radek = 7;
    for (Pripad* p : {&slozka, &zpet, &nezpet, &pamet}) pripady.push_back(*p);

    ObnovitVestaveneTexty();
    for (const Pripad& p : pripady) {
        const TChybaSouboru chyba(p.udaje);
        EXPECT_EQ(chyba.what(), p.anglicky);
        EXPECT_EQ(DoUtf8(PrelozenaChyba(chyba)), p.cesky) << p.anglicky;
    }
    // Another language's texts, through the catalogue.
    rsNELZEVYTVORIT = u"Cannot create file";
    rsMISTONADISKU = u"No space left on the disk";
    rsSTARYOBSAHZPET = u"the old content was written back";
    EXPECT_EQ(DoUtf8(TextChybySouboru(zpet.udaje)),
              "Cannot create file \"d/p.nc\". No space left on the disk; the old content was written back");
    ObnovitVestaveneTexty();
    // What is not a file's failure is told as it is.
    EXPECT_EQ(PrelozenaChyba(TChyba(u"Invalid data type for 'PrvniBlok'")), u"Invalid data type for 'PrvniBlok'");
}

}  // namespace

#endif
