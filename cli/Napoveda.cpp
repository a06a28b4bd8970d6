#include "Napoveda.h"

#include "Argumenty.h"

#include "engine/RodinyOdkazu.h"
#include "filetypes/UlozeneNastaveni.h"
#include "katalog/TextyDavky.h"
#include "platform/Kodovani.h"

#include <algorithm>

namespace {

// The lines of the help are kept under 80 columns, whatever the language.
constexpr std::size_t Sirka = 79;

// The characters of a UTF-8 text (each one column wide in the help's languages).
std::size_t Sloupcu(std::string_view utf8) {
    std::size_t n = 0;
    for (const char c : utf8)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    return n;
}

// The text's words wrapped to the width, each line indented to odsazeni; the
// first line starts after zacatek (a command or option, or nothing), on a
// line of its own when zacatek reaches the text's column.
void Zalomit(std::string& napoveda, std::string_view zacatek, const std::u16string& text, std::size_t odsazeni) {
    std::string radek(zacatek);
    if (Sloupcu(radek) + 1 > odsazeni && !radek.empty()) {
        napoveda += radek + "\n";
        radek.clear();
    }
    radek.resize(odsazeni + radek.size() - Sloupcu(radek), ' ');
    bool prazdny = true;
    const std::string slova = DoUtf8(text);
    constexpr std::string_view Mezery = " \t\n\r";
    for (std::size_t od = 0; od < slova.size();) {
        if (Mezery.find(slova[od]) != std::string_view::npos) {
            ++od;
            continue;
        }
        // A word with the punctuation that follows it after a blank (French
        // " : ", " ;"), which never starts a line.
        std::size_t konec = std::min(slova.find_first_of(Mezery, od), slova.size());
        std::string slovo = slova.substr(od, konec - od);
        for (;;) {
            const std::size_t dalsi = slova.find_first_not_of(Mezery, konec);
            if (dalsi == std::string::npos) break;
            const std::size_t za = std::min(slova.find_first_of(Mezery, dalsi), slova.size());
            if (za != dalsi + 1 || std::string_view(":;!?").find(slova[dalsi]) == std::string_view::npos) break;
            slovo += ' ';
            slovo += slova[dalsi];
            konec = za;
        }
        if (!prazdny && Sloupcu(radek) + 1 + Sloupcu(slovo) > Sirka) {
            napoveda += radek + "\n";
            radek.assign(odsazeni, ' ');
            prazdny = true;
        }
        if (!prazdny) radek += ' ';
        radek += slovo;
        prazdny = false;
        od = konec;
    }
    napoveda += radek + "\n";
}

struct TRadek {
    std::string_view Nazev;  // the command or option, as it is typed
    const std::u16string* Text;
};

const TRadek Prikazy[] = {
    {"count", &rsHCOUNT},   {"introduce", &rsHINTRODUCE}, {"renumber", &rsHRENUMBER},
    {"remove", &rsHREMOVE}, {"refs", &rsHREFS},           {"types", &rsHTYPES},
};

const std::u16string* const Odstavce[] = {&rsHNASTAVENI, &rsHJAZYKY, &rsHVSTUP, &rsHSLOZKY,
                                          &rsHODKAZY,    &rsHZAPIS,  &rsHKONEC};

}  // namespace

std::string NapovedaDavky() {
    const std::string pouziti = DoUtf8(rsHPOUZITI) + " ";
    const std::string odsazeni(Sloupcu(pouziti), ' ');
    std::string napoveda = pouziti + "tarvik-cli count|introduce|renumber|remove [options] FILE|FOLDER...\n" +
                           odsazeni + "tarvik-cli refs [options] FILE\n" + odsazeni + "tarvik-cli types [--guess FILE]\n\n";
    Zalomit(napoveda, "", rsHPOPIS, 0);
    napoveda += "\n";
    // The families of references by their short names, from their list.
    const std::string mezery = ZapsatDruhy(TDruhyOdkazu::Vsechny()), carky = ZapsatDruhy(TDruhyOdkazu::Vsechny(), ", ");
    const auto text = [&](const std::u16string& t) { return ZUtf8(Vyplnit(t, {mezery, carky})); };
    for (const TRadek& r : Prikazy) Zalomit(napoveda, "  " + std::string(r.Nazev), text(*r.Text), 14);
    napoveda += "\n";
    const auto volba = [&](const std::string& nazev, std::string_view zastupce, const std::u16string& radek) {
        Zalomit(napoveda, "  " + nazev + (zastupce.empty() ? "" : " ") + std::string(zastupce), radek, 22);
    };
    for (const TVolbaDavky& o : VolbyDavky()) {
        if (o.Napoveda) {
            std::string nazev(o.Kratka);
            if (!o.Kratka.empty() && !o.Dlouha.empty()) nazev += ", ";
            volba(nazev + std::string(o.Dlouha), o.Zastupce, text(*o.Napoveda));
            continue;
        }
        for (const TPopisNastaveni& p : TUlozeneNastaveni::Popisy())
            for (const TVolbaNastaveni& v : p.Volby)
                if (!v.Dlouha.empty()) volba("--" + std::string(v.Dlouha), v.Zastupce, text(*v.Napoveda));
    }
    for (const std::u16string* odstavec : Odstavce) {
        napoveda += "\n";
        Zalomit(napoveda, "", *odstavec, 0);
    }
    return napoveda;
}
