// Any bytes as a file type list (files.ftd): its types go to the settings
// store, as at the first exit, and come back from it, as at the next start.
// Every field must come back whole, without the characters the stored line
// cannot carry (TAB, CR, LF; NUL may go too), no field may run into the
// next one, and the references a type names (its eighth field) come back as
// they were, or stay unnamed.
#include "Fuzz.h"

#include "filetypes/SeznamTypu.h"
#include "filetypes/TypSouboru.h"
#include "platform/Chyba.h"
#include "platform/RegistrSoubor.h"

#include <cstdint>

namespace {

std::u16string Bez(std::u16string_view s, std::u16string_view znaky) {
    std::u16string v;
    for (char16_t c : s)
        if (znaky.find(c) == std::u16string_view::npos) v.push_back(c);
    return v;
}

bool ZachovanePole(std::u16string_view puvodni, std::u16string_view zpet) {
    const std::u16string bezOddelovacu = Bez(puvodni, u"\t\r\n");
    return zpet == bezOddelovacu || zpet == Bez(bezOddelovacu, std::u16string_view(u"\0", 1));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path seznam = PracovniSlozka() / "files.ftd";
    const std::filesystem::path uloziste = PracovniSlozka() / "Tarvik.reg";
    ZapsatSoubor(seznam, std::string_view(reinterpret_cast<const char*>(data), size));
    std::filesystem::remove(uloziste);

    std::vector<TTypSouboru> typy;
    try {
        typy = NacistSouborTypu(seznam);
    } catch (const TChyba& e) {
        OVERIT(!e.Zprava().empty());  // damaged UTF-16: refused with its reason
        return 0;
    }
    for (const TTypSouboru& typ : typy) {
        // The stored line reads back as the type it was made of.
        const std::u16string radek = SestavitRadek(typ);
        const auto zpet = RozdelitRadek(radek);
        OVERIT(zpet.has_value());
        for (std::size_t i = 0; i < TTypSouboru::PocetPoli; ++i) OVERIT(ZachovanePole(*typ.Pole()[i], *zpet->Pole()[i]));
        OVERIT(zpet->DruhyOdkazu == typ.DruhyOdkazu);
        OVERIT(SestavitRadek(*zpet) == radek);
    }

    TRegistrSoubor registr(uloziste);
    registr.ZacitDavku();
    UlozitTypySouboru(registr, typy);
    registr.DokoncitDavku();

    // As the next start reads it, with a store object of its own.
    TRegistrSoubor znovu(uloziste);
    const TNacteneTypy nactene = NacistTypySouboru(znovu, false, seznam);
    OVERIT(!nactene.ChybaUloziste);
    OVERIT(nactene.Typy.size() == typy.size());
    for (std::size_t t = 0; t < typy.size(); ++t) {
        for (std::size_t i = 0; i < TTypSouboru::PocetPoli; ++i)
            OVERIT(ZachovanePole(*typy[t].Pole()[i], *nactene.Typy[t].Pole()[i]));
        OVERIT(nactene.Typy[t].DruhyOdkazu == typy[t].DruhyOdkazu);
    }
    return 0;
}
