// The message catalogue: the texts of every message and of the statistics
// line labels, each named by its key, with its built-in Czech text. The
// catalogue pass replaces them by the texts of the current language.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// The entries: X(key, built-in Czech text), in the order of the catalogue
// pass. A new message is one line here and its texts in the language file.
#define TARVIK_ZPRAVY(X) \
    X(rsCHYBA, u"Chyba") \
    X(rsNELZEDOREGISTRU, u"Při zápisu hodnot nastavení do registru došlo k chybě") \
    X(rsNELZEZEREGISTRU, u"Při čtení hodnot nastavení z registru došlo k chybě") \
    X(rsNEVYBRANAPOLOZKA, u"Není vybrána žádná položka") \
    X(rsVAROVANI, u"Varování") \
    X(rsSMAZATPOLOZKU, u"Smazat označenou položku") \
    X(rsINFORMACE, u"Informace") \
    X(rsNELZESMAZAT, u"Ze seznamu nelze smazat poslední položku") \
    X(rsNEDEFSOUBORY, u"Nepodařilo se nalézt soubor s defaultními typy souborů") \
    X(rsPOTVRZENI, u"Potvrzení") \
    X(rsULOZITSOUBOR, u"Uložit změněný soubor") \
    X(rsULOZENO, u"Soubor je uložen") \
    X(rsNEULOZENO, u"Soubor není uložen") \
    X(rsBLOKYJSOU, u"Program již NC bloky obsahuje") \
    X(rsBLOKYNEJSOU, u"Program neobsahuje žádné NC bloky") \
    X(rsBLOKYNEJSOUVYBRANE, u"Výběr neobsahuje žádné NC bloky") \
    X(rsBLOKYODSTRANIT, u"Nejdříve NC bloky odstraňte") \
    X(rsBLOKYNOVE, u"Můžete zavést nové NC bloky") \
    X(rsNENISOUBOR, u"Není otevřený žádný soubor") \
    X(rsRADKU, u"Počet řádků") \
    X(rsZNAKU, u"Počet znaků") \
    X(rsBLOKU, u"Počet NC bloků") \
    X(rsODKAZYJSOU, u"Program obsahuje odkazy na čísla bloků") \
    X(rsODKAZYNARADCICH, u"Odkazy jsou na řádcích") \
    X(rsODKAZYPRESTANOU, u"Odstraněním čísel bloků přestanou odkazy platit") \
    X(rsODKAZYPRESTO, u"Přesto čísla bloků odstranit") \
    X(rsODKAZYAKTUALIZOVANO, u"Aktualizováno odkazů na čísla bloků") \
    X(rsODKAZYBEZCILE, u"Odkazy bez jednoznačného cíle") \
    X(rsODKAZCHYBI, u"blok s tímto číslem v programu není") \
    X(rsODKAZVICEKRAT, u"toto číslo má v programu více bloků") \
    X(rsODKAZNENICISLO, u"cíl není zapsán číslem") \
    X(rsODKAZPOPRECISLOVANI, u"po přečíslování má toto číslo více bloků") \
    X(rsODKAZVYBER, u"výběr začíná uprostřed odkazu") \
    X(rsRADEK, u"Řádek") \
    X(rsODKAZ, u"Odkaz") \
    X(rsCIL, u"Cíl") \
    X(rsRADEKCILE, u"Řádek cíle") \
    X(rsODKAZU, u"Počet odkazů na čísla bloků") \
    X(rsAKTUALIZOVATODKAZY, u"Aktualizovat odkazy na bloky") \
    X(rsAKTUALIZOVATODKAZYNAPOVEDA, \
        u"Při přečíslování upravit také odkazy na čísla bloků, které čte řídicí systém typu souboru (jejich druhy " \
        u"určuje typ souboru: GOTO, M99 P, M97 P, P a Q cyklů soustružení); vypnuto: odkazy zůstanou, jak jsou, a " \
        u"přečíslování ohlásí ty, které pak vedou jinam") \
    X(rsNENITEXT, u"Soubor není textový program") \
    X(rsODKAZNAVRAT, u"vrací se do volajícího programu, který v souboru není") \
    X(rsODKAZYJINAM, u"Odkazy, které nyní vedou jinam") \
    X(rsODKAZNANOVYBLOK, u"vede na nově očíslovaný blok na řádku") \
    X(rsODKAZJINYBLOK, u"vede na jiný blok, na řádku") \
    X(rsODKAZBEZCILEPO, u"po přečíslování nevede na žádný blok") \
    X(rsODKAZDRIVE, u"dříve na řádku") \
    X(rsDRUHODKAZUSKOKY, u"Skoky GOTO, GOTOF, GOTOB, GOTOC") \
    X(rsDRUHODKAZUM99, u"Návrat na blok M99 P") \
    X(rsDRUHODKAZUM97, u"Volání podprogramu v programu M97 P") \
    X(rsDRUHODKAZUCYKLYA, u"Profil cyklů soustružení G70 až G73 (P, Q), G-kódy A a B") \
    X(rsDRUHODKAZUCYKLYC, u"Profil cyklů soustružení G72 až G75 (P, Q), G-kódy C") \
    X(rsNELZEOTEVRIT, u"Nelze otevřít soubor") \
    X(rsNELZEVYTVORIT, u"Nelze vytvořit soubor") \
    X(rsZMENENPRICTENI, u"Jiný program jej změnil, zatímco se četl") \
    X(rsJESLOZKA, u"Je to složka") \
    X(rsNENIBEZNYSOUBOR, u"Není to běžný soubor, ale roura, zařízení nebo soket") \
    X(rsNEDOSTATEKPAMETI, u"Nedostatek paměti") \
    X(rsNEZNAMACHYBA, u"Neznámá chyba") \
    X(rsZNAKYMIMOKODOVANI, u"Program obsahuje znaky, které toto kódování neumí zapsat") \
    X(rsULOZENOVKODOVANI, u"Soubor byl proto uložen v kódování") \
    X(rsSEZNACKOU, u"se značkou pořadí bajtů (BOM)") \
    X(rsPREJITNEPLATNE, u"Zadejte číslo bloku, nebo L a číslo řádku") \
    X(rsBLOKNENALEZEN, u"V této části programu není blok s číslem") \
    X(rsBLOKZAPOSLEDNIM, u"Číslo je za posledním blokem této části programu, ten má číslo") \
    X(rsRADEKNENI, u"Program nemá řádek s číslem") \
    X(rsODKAZYNANOVE, u"Odkazy, které nyní vedou na nově očíslované bloky") \
    X(rsNENALEZENO, u"Hledaný text v programu není") \
    X(rsNAHRAZENO, u"Počet nahrazených výskytů") \
    X(rsHLEDANIODZACATKU, u"Hledání došlo na konec a pokračovalo od začátku") \
    X(rsHLEDANIODKONCE, u"Hledání došlo na začátek a pokračovalo od konce") \
    X(rsVYBERPRAZDNY, u"Není vybrán žádný text, ve kterém hledat") \
    X(rsMISTONADISKU, u"Na disku není dost místa") \
    X(rsJENPROCTENI, u"Systém souborů je jen pro čtení") \
    X(rsPRISTUPODEPREN, u"Přístup odepřen") \
    X(rsNENALEZEN, u"Soubor nebo složka neexistuje") \
    X(rsDLOUHEJMENO, u"Jméno je příliš dlouhé") \
    X(rsMNOHOSOUBORU, u"Je otevřeno příliš mnoho souborů") \
    X(rsPRILISVELKY, u"Soubor by přesáhl povolenou velikost") \
    X(rsODKAZNENASLEDUJE, u"Je to symbolický odkaz, který se zde nenásleduje, nebo smyčka odkazů") \
    X(rsZMENENODCTENI, u"Jiný program jej od přečtení změnil, a proto zůstává, jak je") \
    X(rsSTARYOBSAHZPET, u"původní obsah byl zapsán zpět") \
    X(rsSTARYOBSAHNEZPET, u"nepodařilo se zapsat zpět ani původní obsah") \
    X(rsSLOZKA, u"Složka") \
    X(rsDLOUHYRADEK, u"Řádek je delší než %1 MiB, jaký žádný program nemá") \
    X(rsUTF16LICHY, u"Poškozené UTF-16: lichý počet bajtů") \
    X(rsUTF16NAHRADNIK, u"Poškozené UTF-16: osamocená náhradní jednotka %1 na řádku %2") \
    X(rsNELZEZNOVU, u"Nelze jej přečíst podruhé") \
    X(rsVETSINEZ, u"Je větší než %1 bajtů, které se čtou") \
    X(rsZMENENZVENKU, u"Soubor mezitím změnil jiný program") \
    X(rsZMIZELZVENKU, u"Soubor mezitím jiný program smazal nebo přesunul") \
    X(rsZMENYSEZTRATI, u"Načtením znovu se ztratí změny, které nejsou uložené") \
    X(rsNACISTZNOVU, u"&Načíst znovu") \
    X(rsPREPSAT, u"&Přepsat") \
    X(rsNECTENASLOVA, \
        u"Slova, která typ souboru nečte jako odkazy na čísla bloků, ač je tak čte jiný řídicí systém") \
    X(rsNECTENAZUSTALA, u"Zůstala, jak byla; čte-li je řídicí systém, zvolte typ souboru, který je čte") \
    X(rsODHADTYPU, u"Slova programu odpovídají typu souboru") \
    X(rsODHADNENI, u"Typ souboru nelze podle slov programu odhadnout") \
    X(rsODHAD, u"Odhad")

#define TARVIK_ZPRAVA(klic, text) extern std::u16string klic;
TARVIK_ZPRAVY(TARVIK_ZPRAVA)
#undef TARVIK_ZPRAVA

struct TPolozkaKatalogu {
    std::string_view Klic;         // the key, also its element name in the language file
    std::u16string_view Vestaveny;  // the built-in Czech text
    std::u16string* Text;           // the entry as the last catalogue pass left it
};

#define TARVIK_ZPRAVA(klic, text) +1
constexpr std::size_t PocetPolozekKatalogu = 0 TARVIK_ZPRAVY(TARVIK_ZPRAVA);
#undef TARVIK_ZPRAVA

// All entries, in the order in which the catalogue pass refreshes them.
const std::array<TPolozkaKatalogu, PocetPolozekKatalogu>& Katalog();

// The entry of a key; nullptr for a key the catalogue does not have.
const TPolozkaKatalogu* PolozkaKatalogu(std::string_view klic);

// Every entry back to its built-in text.
void ObnovitVestaveneTexty();

// Where the catalogue pass takes the texts: the text of a key in the current
// language, nothing when there is none (or an empty one). A failure to read
// it is thrown.
using THledaniTextu = std::function<std::optional<std::u16string>(std::string_view klic)>;

// The catalogue pass over entries, in their order: each takes the text found
// for its key, else its built-in text. A failure ends the pass there: the
// entries before it keep their new texts, the others what they held.
void PrelozitKatalog(std::span<const TPolozkaKatalogu> polozky, const THledaniTextu& najit);
