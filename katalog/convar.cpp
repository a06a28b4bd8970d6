#include "convar.h"

namespace {
constexpr std::u16string_view vCHYBA = u"Chyba";
constexpr std::u16string_view vNELZEDOREGISTRU = u"Při zápisu hodnot nastavení do registru došlo k chybě";
constexpr std::u16string_view vNELZEZEREGISTRU = u"Při čtení hodnot nastavení z registru došlo k chybě";
constexpr std::u16string_view vNEVYBRANAPOLOZKA = u"Není vybrána žádná položka";
constexpr std::u16string_view vVAROVANI = u"Varování";
constexpr std::u16string_view vSMAZATPOLOZKU = u"Smazat označenou položku";
constexpr std::u16string_view vINFORMACE = u"Informace";
constexpr std::u16string_view vNELZESMAZAT = u"Ze seznamu nelze smazat poslední položku";
constexpr std::u16string_view vNEDEFSOUBORY = u"Nepodařilo se nalézt soubor s defaultními typy souborů";
constexpr std::u16string_view vPOTVRZENI = u"Potvrzení";
constexpr std::u16string_view vULOZITSOUBOR = u"Uložit změněný soubor";
constexpr std::u16string_view vULOZENO = u"Soubor je uložen";
constexpr std::u16string_view vNEULOZENO = u"Soubor není uložen";
constexpr std::u16string_view vBLOKYJSOU = u"Program již NC bloky obsahuje";
constexpr std::u16string_view vBLOKYNEJSOU = u"Program neobsahuje žádné NC bloky";
constexpr std::u16string_view vBLOKYNEJSOUVYBRANE = u"Výběr neobsahuje žádné NC bloky";
constexpr std::u16string_view vBLOKYODSTRANIT = u"Nejdříve NC bloky odstraňte";
constexpr std::u16string_view vBLOKYNOVE = u"Můžete zavést nové NC bloky";
constexpr std::u16string_view vNENISOUBOR = u"Není otevřený žádný soubor";
constexpr std::u16string_view vRADKU = u"Počet řádků";
constexpr std::u16string_view vZNAKU = u"Počet znaků";
constexpr std::u16string_view vBLOKU = u"Počet NC bloků";
constexpr std::u16string_view vODKAZYJSOU = u"Program obsahuje odkazy na čísla bloků";
constexpr std::u16string_view vODKAZYNARADCICH = u"Odkazy jsou na řádcích";
constexpr std::u16string_view vODKAZYPRESTANOU = u"Odstraněním čísel bloků přestanou odkazy platit";
constexpr std::u16string_view vODKAZYPRESTO = u"Přesto čísla bloků odstranit";
constexpr std::u16string_view vODKAZYAKTUALIZOVANO = u"Aktualizováno odkazů na čísla bloků";
constexpr std::u16string_view vODKAZYBEZCILE = u"Odkazy bez jednoznačného cíle";
constexpr std::u16string_view vODKAZCHYBI = u"blok s tímto číslem v programu není";
constexpr std::u16string_view vODKAZVICEKRAT = u"toto číslo má v programu více bloků";
constexpr std::u16string_view vODKAZNENICISLO = u"cíl není zapsán číslem";
constexpr std::u16string_view vODKAZPOPRECISLOVANI = u"po přečíslování má toto číslo více bloků";
constexpr std::u16string_view vODKAZVYBER = u"výběr začíná uprostřed odkazu";
constexpr std::u16string_view vRADEK = u"Řádek";
constexpr std::u16string_view vODKAZ = u"Odkaz";
constexpr std::u16string_view vCIL = u"Cíl";
constexpr std::u16string_view vRADEKCILE = u"Řádek cíle";
constexpr std::u16string_view vODKAZU = u"Počet odkazů na čísla bloků";
constexpr std::u16string_view vAKTUALIZOVATODKAZY = u"Aktualizovat odkazy na bloky";
constexpr std::u16string_view vAKTUALIZOVATODKAZYNAPOVEDA =
    u"Při přečíslování upravit také odkazy na čísla bloků, které čte řídicí systém typu souboru (jejich druhy "
    u"určuje typ souboru: GOTO, M99 P, M97 P, P a Q cyklů soustružení); vypnuto: odkazy zůstanou, jak jsou, a "
    u"přečíslování ohlásí ty, které pak vedou jinam";
constexpr std::u16string_view vNENITEXT = u"Soubor není textový program";
constexpr std::u16string_view vODKAZNAVRAT = u"vrací se do volajícího programu, který v souboru není";
constexpr std::u16string_view vODKAZYJINAM = u"Odkazy, které nyní vedou jinam";
constexpr std::u16string_view vODKAZNANOVYBLOK = u"vede na nově očíslovaný blok na řádku";
constexpr std::u16string_view vODKAZJINYBLOK = u"vede na jiný blok, na řádku";
constexpr std::u16string_view vODKAZBEZCILEPO = u"po přečíslování nevede na žádný blok";
constexpr std::u16string_view vODKAZDRIVE = u"dříve na řádku";
constexpr std::u16string_view vDRUHODKAZUSKOKY = u"Skoky GOTO, GOTOF, GOTOB, GOTOC";
constexpr std::u16string_view vDRUHODKAZUM99 = u"Návrat na blok M99 P";
constexpr std::u16string_view vDRUHODKAZUM97 = u"Volání podprogramu v programu M97 P";
constexpr std::u16string_view vDRUHODKAZUCYKLYA = u"Profil cyklů soustružení G70 až G73 (P, Q), G-kódy A a B";
constexpr std::u16string_view vDRUHODKAZUCYKLYC = u"Profil cyklů soustružení G72 až G75 (P, Q), G-kódy C";
constexpr std::u16string_view vNELZEOTEVRIT = u"Nelze otevřít soubor";
constexpr std::u16string_view vNELZEVYTVORIT = u"Nelze vytvořit soubor";
constexpr std::u16string_view vZMENENPRICTENI = u"Jiný program jej změnil, zatímco se četl";
constexpr std::u16string_view vJESLOZKA = u"Je to složka";
constexpr std::u16string_view vNENIBEZNYSOUBOR = u"Není to běžný soubor, ale roura, zařízení nebo soket";
constexpr std::u16string_view vNEDOSTATEKPAMETI = u"Nedostatek paměti";
constexpr std::u16string_view vNEZNAMACHYBA = u"Neznámá chyba";
constexpr std::u16string_view vZNAKYMIMOKODOVANI = u"Program obsahuje znaky, které toto kódování neumí zapsat";
constexpr std::u16string_view vULOZENOVKODOVANI = u"Soubor byl proto uložen v kódování";
constexpr std::u16string_view vSEZNACKOU = u"se značkou pořadí bajtů (BOM)";
constexpr std::u16string_view vPREJITNEPLATNE = u"Zadejte číslo bloku, nebo L a číslo řádku";
constexpr std::u16string_view vBLOKNENALEZEN = u"V této části programu není blok s číslem";
constexpr std::u16string_view vBLOKZAPOSLEDNIM = u"Číslo je za posledním blokem této části programu, ten má číslo";
constexpr std::u16string_view vRADEKNENI = u"Program nemá řádek s číslem";
constexpr std::u16string_view vODKAZYNANOVE = u"Odkazy, které nyní vedou na nově očíslované bloky";
constexpr std::u16string_view vNENALEZENO = u"Hledaný text v programu není";
constexpr std::u16string_view vNAHRAZENO = u"Počet nahrazených výskytů";
constexpr std::u16string_view vHLEDANIODZACATKU = u"Hledání došlo na konec a pokračovalo od začátku";
constexpr std::u16string_view vHLEDANIODKONCE = u"Hledání došlo na začátek a pokračovalo od konce";
constexpr std::u16string_view vVYBERPRAZDNY = u"Není vybrán žádný text, ve kterém hledat";
constexpr std::u16string_view vMISTONADISKU = u"Na disku není dost místa";
constexpr std::u16string_view vJENPROCTENI = u"Systém souborů je jen pro čtení";
constexpr std::u16string_view vPRISTUPODEPREN = u"Přístup odepřen";
constexpr std::u16string_view vNENALEZEN = u"Soubor nebo složka neexistuje";
constexpr std::u16string_view vDLOUHEJMENO = u"Jméno je příliš dlouhé";
constexpr std::u16string_view vMNOHOSOUBORU = u"Je otevřeno příliš mnoho souborů";
constexpr std::u16string_view vPRILISVELKY = u"Soubor by přesáhl povolenou velikost";
constexpr std::u16string_view vODKAZNENASLEDUJE = u"Je to symbolický odkaz, který se zde nenásleduje, nebo smyčka odkazů";
constexpr std::u16string_view vZMENENODCTENI = u"Jiný program jej od přečtení změnil, a proto zůstává, jak je";
constexpr std::u16string_view vSTARYOBSAHZPET = u"původní obsah byl zapsán zpět";
constexpr std::u16string_view vSTARYOBSAHNEZPET = u"nepodařilo se zapsat zpět ani původní obsah";
constexpr std::u16string_view vSLOZKA = u"Složka";
constexpr std::u16string_view vDLOUHYRADEK = u"Řádek je delší než %1 MiB, jaký žádný program nemá";
constexpr std::u16string_view vUTF16LICHY = u"Poškozené UTF-16: lichý počet bajtů";
constexpr std::u16string_view vUTF16NAHRADNIK = u"Poškozené UTF-16: osamocená náhradní jednotka %1 na řádku %2";
constexpr std::u16string_view vNELZEZNOVU = u"Nelze jej přečíst podruhé";
constexpr std::u16string_view vVETSINEZ = u"Je větší než %1 bajtů, které se čtou";
constexpr std::u16string_view vZMENENZVENKU = u"Soubor mezitím změnil jiný program";
constexpr std::u16string_view vZMIZELZVENKU = u"Soubor mezitím jiný program smazal nebo přesunul";
constexpr std::u16string_view vZMENYSEZTRATI = u"Načtením znovu se ztratí změny, které nejsou uložené";
constexpr std::u16string_view vNACISTZNOVU = u"&Načíst znovu";
constexpr std::u16string_view vPREPSAT = u"&Přepsat";
}  // namespace

std::u16string rsCHYBA{vCHYBA};
std::u16string rsNELZEDOREGISTRU{vNELZEDOREGISTRU};
std::u16string rsNELZEZEREGISTRU{vNELZEZEREGISTRU};
std::u16string rsNEVYBRANAPOLOZKA{vNEVYBRANAPOLOZKA};
std::u16string rsVAROVANI{vVAROVANI};
std::u16string rsSMAZATPOLOZKU{vSMAZATPOLOZKU};
std::u16string rsINFORMACE{vINFORMACE};
std::u16string rsNELZESMAZAT{vNELZESMAZAT};
std::u16string rsNEDEFSOUBORY{vNEDEFSOUBORY};
std::u16string rsPOTVRZENI{vPOTVRZENI};
std::u16string rsULOZITSOUBOR{vULOZITSOUBOR};
std::u16string rsULOZENO{vULOZENO};
std::u16string rsNEULOZENO{vNEULOZENO};
std::u16string rsBLOKYJSOU{vBLOKYJSOU};
std::u16string rsBLOKYNEJSOU{vBLOKYNEJSOU};
std::u16string rsBLOKYNEJSOUVYBRANE{vBLOKYNEJSOUVYBRANE};
std::u16string rsBLOKYODSTRANIT{vBLOKYODSTRANIT};
std::u16string rsBLOKYNOVE{vBLOKYNOVE};
std::u16string rsNENISOUBOR{vNENISOUBOR};
std::u16string rsRADKU{vRADKU};
std::u16string rsZNAKU{vZNAKU};
std::u16string rsBLOKU{vBLOKU};
std::u16string rsODKAZYJSOU{vODKAZYJSOU};
std::u16string rsODKAZYNARADCICH{vODKAZYNARADCICH};
std::u16string rsODKAZYPRESTANOU{vODKAZYPRESTANOU};
std::u16string rsODKAZYPRESTO{vODKAZYPRESTO};
std::u16string rsODKAZYAKTUALIZOVANO{vODKAZYAKTUALIZOVANO};
std::u16string rsODKAZYBEZCILE{vODKAZYBEZCILE};
std::u16string rsODKAZCHYBI{vODKAZCHYBI};
std::u16string rsODKAZVICEKRAT{vODKAZVICEKRAT};
std::u16string rsODKAZNENICISLO{vODKAZNENICISLO};
std::u16string rsODKAZPOPRECISLOVANI{vODKAZPOPRECISLOVANI};
std::u16string rsODKAZVYBER{vODKAZVYBER};
std::u16string rsRADEK{vRADEK};
std::u16string rsODKAZ{vODKAZ};
std::u16string rsCIL{vCIL};
std::u16string rsRADEKCILE{vRADEKCILE};
std::u16string rsODKAZU{vODKAZU};
std::u16string rsAKTUALIZOVATODKAZY{vAKTUALIZOVATODKAZY};
std::u16string rsAKTUALIZOVATODKAZYNAPOVEDA{vAKTUALIZOVATODKAZYNAPOVEDA};
std::u16string rsNENITEXT{vNENITEXT};
std::u16string rsODKAZNAVRAT{vODKAZNAVRAT};
std::u16string rsODKAZYJINAM{vODKAZYJINAM};
std::u16string rsODKAZNANOVYBLOK{vODKAZNANOVYBLOK};
std::u16string rsODKAZJINYBLOK{vODKAZJINYBLOK};
std::u16string rsODKAZBEZCILEPO{vODKAZBEZCILEPO};
std::u16string rsODKAZDRIVE{vODKAZDRIVE};
std::u16string rsDRUHODKAZUSKOKY{vDRUHODKAZUSKOKY};
std::u16string rsDRUHODKAZUM99{vDRUHODKAZUM99};
std::u16string rsDRUHODKAZUM97{vDRUHODKAZUM97};
std::u16string rsDRUHODKAZUCYKLYA{vDRUHODKAZUCYKLYA};
std::u16string rsDRUHODKAZUCYKLYC{vDRUHODKAZUCYKLYC};
std::u16string rsNELZEOTEVRIT{vNELZEOTEVRIT};
std::u16string rsNELZEVYTVORIT{vNELZEVYTVORIT};
std::u16string rsZMENENPRICTENI{vZMENENPRICTENI};
std::u16string rsJESLOZKA{vJESLOZKA};
std::u16string rsNENIBEZNYSOUBOR{vNENIBEZNYSOUBOR};
std::u16string rsNEDOSTATEKPAMETI{vNEDOSTATEKPAMETI};
std::u16string rsNEZNAMACHYBA{vNEZNAMACHYBA};
std::u16string rsZNAKYMIMOKODOVANI{vZNAKYMIMOKODOVANI};
std::u16string rsULOZENOVKODOVANI{vULOZENOVKODOVANI};
std::u16string rsSEZNACKOU{vSEZNACKOU};
std::u16string rsPREJITNEPLATNE{vPREJITNEPLATNE};
std::u16string rsBLOKNENALEZEN{vBLOKNENALEZEN};
std::u16string rsBLOKZAPOSLEDNIM{vBLOKZAPOSLEDNIM};
std::u16string rsRADEKNENI{vRADEKNENI};
std::u16string rsODKAZYNANOVE{vODKAZYNANOVE};
std::u16string rsNENALEZENO{vNENALEZENO};
std::u16string rsNAHRAZENO{vNAHRAZENO};
std::u16string rsHLEDANIODZACATKU{vHLEDANIODZACATKU};
std::u16string rsHLEDANIODKONCE{vHLEDANIODKONCE};
std::u16string rsVYBERPRAZDNY{vVYBERPRAZDNY};
std::u16string rsMISTONADISKU{vMISTONADISKU};
std::u16string rsJENPROCTENI{vJENPROCTENI};
std::u16string rsPRISTUPODEPREN{vPRISTUPODEPREN};
std::u16string rsNENALEZEN{vNENALEZEN};
std::u16string rsDLOUHEJMENO{vDLOUHEJMENO};
std::u16string rsMNOHOSOUBORU{vMNOHOSOUBORU};
std::u16string rsPRILISVELKY{vPRILISVELKY};
std::u16string rsODKAZNENASLEDUJE{vODKAZNENASLEDUJE};
std::u16string rsZMENENODCTENI{vZMENENODCTENI};
std::u16string rsSTARYOBSAHZPET{vSTARYOBSAHZPET};
std::u16string rsSTARYOBSAHNEZPET{vSTARYOBSAHNEZPET};
std::u16string rsSLOZKA{vSLOZKA};
std::u16string rsDLOUHYRADEK{vDLOUHYRADEK};
std::u16string rsUTF16LICHY{vUTF16LICHY};
std::u16string rsUTF16NAHRADNIK{vUTF16NAHRADNIK};
std::u16string rsNELZEZNOVU{vNELZEZNOVU};
std::u16string rsVETSINEZ{vVETSINEZ};
std::u16string rsZMENENZVENKU{vZMENENZVENKU};
std::u16string rsZMIZELZVENKU{vZMIZELZVENKU};
std::u16string rsZMENYSEZTRATI{vZMENYSEZTRATI};
std::u16string rsNACISTZNOVU{vNACISTZNOVU};
std::u16string rsPREPSAT{vPREPSAT};

const std::array<TPolozkaKatalogu, PocetPolozekKatalogu>& Katalog() {
    static const std::array<TPolozkaKatalogu, PocetPolozekKatalogu> katalog = {{
        {"rsCHYBA", vCHYBA, &rsCHYBA},
        {"rsNELZEDOREGISTRU", vNELZEDOREGISTRU, &rsNELZEDOREGISTRU},
        {"rsNELZEZEREGISTRU", vNELZEZEREGISTRU, &rsNELZEZEREGISTRU},
        {"rsNEVYBRANAPOLOZKA", vNEVYBRANAPOLOZKA, &rsNEVYBRANAPOLOZKA},
        {"rsVAROVANI", vVAROVANI, &rsVAROVANI},
        {"rsSMAZATPOLOZKU", vSMAZATPOLOZKU, &rsSMAZATPOLOZKU},
        {"rsINFORMACE", vINFORMACE, &rsINFORMACE},
        {"rsNELZESMAZAT", vNELZESMAZAT, &rsNELZESMAZAT},
        {"rsNEDEFSOUBORY", vNEDEFSOUBORY, &rsNEDEFSOUBORY},
        {"rsPOTVRZENI", vPOTVRZENI, &rsPOTVRZENI},
        {"rsULOZITSOUBOR", vULOZITSOUBOR, &rsULOZITSOUBOR},
        {"rsULOZENO", vULOZENO, &rsULOZENO},
        {"rsNEULOZENO", vNEULOZENO, &rsNEULOZENO},
        {"rsBLOKYJSOU", vBLOKYJSOU, &rsBLOKYJSOU},
        {"rsBLOKYNEJSOU", vBLOKYNEJSOU, &rsBLOKYNEJSOU},
        {"rsBLOKYNEJSOUVYBRANE", vBLOKYNEJSOUVYBRANE, &rsBLOKYNEJSOUVYBRANE},
        {"rsBLOKYODSTRANIT", vBLOKYODSTRANIT, &rsBLOKYODSTRANIT},
        {"rsBLOKYNOVE", vBLOKYNOVE, &rsBLOKYNOVE},
        {"rsNENISOUBOR", vNENISOUBOR, &rsNENISOUBOR},
        {"rsRADKU", vRADKU, &rsRADKU},
        {"rsZNAKU", vZNAKU, &rsZNAKU},
        {"rsBLOKU", vBLOKU, &rsBLOKU},
        {"rsODKAZYJSOU", vODKAZYJSOU, &rsODKAZYJSOU},
        {"rsODKAZYNARADCICH", vODKAZYNARADCICH, &rsODKAZYNARADCICH},
        {"rsODKAZYPRESTANOU", vODKAZYPRESTANOU, &rsODKAZYPRESTANOU},
        {"rsODKAZYPRESTO", vODKAZYPRESTO, &rsODKAZYPRESTO},
        {"rsODKAZYAKTUALIZOVANO", vODKAZYAKTUALIZOVANO, &rsODKAZYAKTUALIZOVANO},
        {"rsODKAZYBEZCILE", vODKAZYBEZCILE, &rsODKAZYBEZCILE},
        {"rsODKAZCHYBI", vODKAZCHYBI, &rsODKAZCHYBI},
        {"rsODKAZVICEKRAT", vODKAZVICEKRAT, &rsODKAZVICEKRAT},
        {"rsODKAZNENICISLO", vODKAZNENICISLO, &rsODKAZNENICISLO},
        {"rsODKAZPOPRECISLOVANI", vODKAZPOPRECISLOVANI, &rsODKAZPOPRECISLOVANI},
        {"rsODKAZVYBER", vODKAZVYBER, &rsODKAZVYBER},
        {"rsRADEK", vRADEK, &rsRADEK},
        {"rsODKAZ", vODKAZ, &rsODKAZ},
        {"rsCIL", vCIL, &rsCIL},
        {"rsRADEKCILE", vRADEKCILE, &rsRADEKCILE},
        {"rsODKAZU", vODKAZU, &rsODKAZU},
        {"rsAKTUALIZOVATODKAZY", vAKTUALIZOVATODKAZY, &rsAKTUALIZOVATODKAZY},
        {"rsAKTUALIZOVATODKAZYNAPOVEDA", vAKTUALIZOVATODKAZYNAPOVEDA, &rsAKTUALIZOVATODKAZYNAPOVEDA},
        {"rsNENITEXT", vNENITEXT, &rsNENITEXT},
        {"rsODKAZNAVRAT", vODKAZNAVRAT, &rsODKAZNAVRAT},
        {"rsODKAZYJINAM", vODKAZYJINAM, &rsODKAZYJINAM},
        {"rsODKAZNANOVYBLOK", vODKAZNANOVYBLOK, &rsODKAZNANOVYBLOK},
        {"rsODKAZJINYBLOK", vODKAZJINYBLOK, &rsODKAZJINYBLOK},
        {"rsODKAZBEZCILEPO", vODKAZBEZCILEPO, &rsODKAZBEZCILEPO},
        {"rsODKAZDRIVE", vODKAZDRIVE, &rsODKAZDRIVE},
        {"rsDRUHODKAZUSKOKY", vDRUHODKAZUSKOKY, &rsDRUHODKAZUSKOKY},
        {"rsDRUHODKAZUM99", vDRUHODKAZUM99, &rsDRUHODKAZUM99},
        {"rsDRUHODKAZUM97", vDRUHODKAZUM97, &rsDRUHODKAZUM97},
        {"rsDRUHODKAZUCYKLYA", vDRUHODKAZUCYKLYA, &rsDRUHODKAZUCYKLYA},
        {"rsDRUHODKAZUCYKLYC", vDRUHODKAZUCYKLYC, &rsDRUHODKAZUCYKLYC},
        {"rsNELZEOTEVRIT", vNELZEOTEVRIT, &rsNELZEOTEVRIT},
        {"rsNELZEVYTVORIT", vNELZEVYTVORIT, &rsNELZEVYTVORIT},
        {"rsZMENENPRICTENI", vZMENENPRICTENI, &rsZMENENPRICTENI},
        {"rsJESLOZKA", vJESLOZKA, &rsJESLOZKA},
        {"rsNENIBEZNYSOUBOR", vNENIBEZNYSOUBOR, &rsNENIBEZNYSOUBOR},
        {"rsNEDOSTATEKPAMETI", vNEDOSTATEKPAMETI, &rsNEDOSTATEKPAMETI},
        {"rsNEZNAMACHYBA", vNEZNAMACHYBA, &rsNEZNAMACHYBA},
        {"rsZNAKYMIMOKODOVANI", vZNAKYMIMOKODOVANI, &rsZNAKYMIMOKODOVANI},
        {"rsULOZENOVKODOVANI", vULOZENOVKODOVANI, &rsULOZENOVKODOVANI},
        {"rsSEZNACKOU", vSEZNACKOU, &rsSEZNACKOU},
        {"rsPREJITNEPLATNE", vPREJITNEPLATNE, &rsPREJITNEPLATNE},
        {"rsBLOKNENALEZEN", vBLOKNENALEZEN, &rsBLOKNENALEZEN},
        {"rsBLOKZAPOSLEDNIM", vBLOKZAPOSLEDNIM, &rsBLOKZAPOSLEDNIM},
        {"rsRADEKNENI", vRADEKNENI, &rsRADEKNENI},
        {"rsODKAZYNANOVE", vODKAZYNANOVE, &rsODKAZYNANOVE},
        {"rsNENALEZENO", vNENALEZENO, &rsNENALEZENO},
        {"rsNAHRAZENO", vNAHRAZENO, &rsNAHRAZENO},
        {"rsHLEDANIODZACATKU", vHLEDANIODZACATKU, &rsHLEDANIODZACATKU},
        {"rsHLEDANIODKONCE", vHLEDANIODKONCE, &rsHLEDANIODKONCE},
        {"rsVYBERPRAZDNY", vVYBERPRAZDNY, &rsVYBERPRAZDNY},
        {"rsMISTONADISKU", vMISTONADISKU, &rsMISTONADISKU},
        {"rsJENPROCTENI", vJENPROCTENI, &rsJENPROCTENI},
        {"rsPRISTUPODEPREN", vPRISTUPODEPREN, &rsPRISTUPODEPREN},
        {"rsNENALEZEN", vNENALEZEN, &rsNENALEZEN},
        {"rsDLOUHEJMENO", vDLOUHEJMENO, &rsDLOUHEJMENO},
        {"rsMNOHOSOUBORU", vMNOHOSOUBORU, &rsMNOHOSOUBORU},
        {"rsPRILISVELKY", vPRILISVELKY, &rsPRILISVELKY},
        {"rsODKAZNENASLEDUJE", vODKAZNENASLEDUJE, &rsODKAZNENASLEDUJE},
        {"rsZMENENODCTENI", vZMENENODCTENI, &rsZMENENODCTENI},
        {"rsSTARYOBSAHZPET", vSTARYOBSAHZPET, &rsSTARYOBSAHZPET},
        {"rsSTARYOBSAHNEZPET", vSTARYOBSAHNEZPET, &rsSTARYOBSAHNEZPET},
        {"rsSLOZKA", vSLOZKA, &rsSLOZKA},
        {"rsDLOUHYRADEK", vDLOUHYRADEK, &rsDLOUHYRADEK},
        {"rsUTF16LICHY", vUTF16LICHY, &rsUTF16LICHY},
        {"rsUTF16NAHRADNIK", vUTF16NAHRADNIK, &rsUTF16NAHRADNIK},
        {"rsNELZEZNOVU", vNELZEZNOVU, &rsNELZEZNOVU},
        {"rsVETSINEZ", vVETSINEZ, &rsVETSINEZ},
        {"rsZMENENZVENKU", vZMENENZVENKU, &rsZMENENZVENKU},
        {"rsZMIZELZVENKU", vZMIZELZVENKU, &rsZMIZELZVENKU},
        {"rsZMENYSEZTRATI", vZMENYSEZTRATI, &rsZMENYSEZTRATI},
        {"rsNACISTZNOVU", vNACISTZNOVU, &rsNACISTZNOVU},
        {"rsPREPSAT", vPREPSAT, &rsPREPSAT},
    }};
    return katalog;
}

const TPolozkaKatalogu* PolozkaKatalogu(std::string_view klic) {
    for (const auto& p : Katalog())
        if (p.Klic == klic) return &p;
    return nullptr;
}

void ObnovitVestaveneTexty() {
    for (const auto& p : Katalog()) p.Text->assign(p.Vestaveny);
}

void PrelozitKatalog(std::span<const TPolozkaKatalogu> polozky, const THledaniTextu& najit) {
    for (const auto& p : polozky) {
        std::optional<std::u16string> text = najit(p.Klic);
        if (text && !text->empty())
            *p.Text = std::move(*text);
        else
            p.Text->assign(p.Vestaveny);
    }
}
