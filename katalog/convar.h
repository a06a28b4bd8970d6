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

extern std::u16string rsCHYBA;
extern std::u16string rsNELZEDOREGISTRU;
extern std::u16string rsNELZEZEREGISTRU;
extern std::u16string rsNEVYBRANAPOLOZKA;
extern std::u16string rsVAROVANI;
extern std::u16string rsSMAZATPOLOZKU;
extern std::u16string rsINFORMACE;
extern std::u16string rsNELZESMAZAT;
extern std::u16string rsNEDEFSOUBORY;
extern std::u16string rsPOTVRZENI;
extern std::u16string rsULOZITSOUBOR;
extern std::u16string rsULOZENO;
extern std::u16string rsNEULOZENO;
extern std::u16string rsBLOKYJSOU;
extern std::u16string rsBLOKYNEJSOU;
extern std::u16string rsBLOKYNEJSOUVYBRANE;
extern std::u16string rsBLOKYODSTRANIT;
extern std::u16string rsBLOKYNOVE;
extern std::u16string rsNENISOUBOR;
extern std::u16string rsRADKU;
extern std::u16string rsZNAKU;
extern std::u16string rsBLOKU;
extern std::u16string rsODKAZYJSOU;
extern std::u16string rsODKAZYNARADCICH;
extern std::u16string rsODKAZYPRESTANOU;
extern std::u16string rsODKAZYPRESTO;
extern std::u16string rsODKAZYAKTUALIZOVANO;
extern std::u16string rsODKAZYBEZCILE;
extern std::u16string rsODKAZCHYBI;
extern std::u16string rsODKAZVICEKRAT;
extern std::u16string rsODKAZNENICISLO;
extern std::u16string rsODKAZPOPRECISLOVANI;
extern std::u16string rsODKAZVYBER;
extern std::u16string rsRADEK;
extern std::u16string rsODKAZ;
extern std::u16string rsCIL;
extern std::u16string rsRADEKCILE;
extern std::u16string rsODKAZU;
extern std::u16string rsAKTUALIZOVATODKAZY;
extern std::u16string rsAKTUALIZOVATODKAZYNAPOVEDA;
extern std::u16string rsNENITEXT;
extern std::u16string rsODKAZNAVRAT;
extern std::u16string rsODKAZYJINAM;
extern std::u16string rsODKAZNANOVYBLOK;
extern std::u16string rsODKAZJINYBLOK;
extern std::u16string rsODKAZBEZCILEPO;
extern std::u16string rsODKAZDRIVE;
extern std::u16string rsDRUHODKAZUSKOKY;
extern std::u16string rsDRUHODKAZUM99;
extern std::u16string rsDRUHODKAZUM97;
extern std::u16string rsDRUHODKAZUCYKLYA;
extern std::u16string rsDRUHODKAZUCYKLYC;
extern std::u16string rsNELZEOTEVRIT;
extern std::u16string rsNELZEVYTVORIT;
extern std::u16string rsZMENENPRICTENI;
extern std::u16string rsJESLOZKA;
extern std::u16string rsNENIBEZNYSOUBOR;
extern std::u16string rsNEDOSTATEKPAMETI;
extern std::u16string rsNEZNAMACHYBA;
extern std::u16string rsZNAKYMIMOKODOVANI;
extern std::u16string rsULOZENOVKODOVANI;
extern std::u16string rsSEZNACKOU;
extern std::u16string rsPREJITNEPLATNE;
extern std::u16string rsBLOKNENALEZEN;
extern std::u16string rsBLOKZAPOSLEDNIM;
extern std::u16string rsRADEKNENI;
extern std::u16string rsODKAZYNANOVE;
extern std::u16string rsNENALEZENO;
extern std::u16string rsNAHRAZENO;
extern std::u16string rsHLEDANIODZACATKU;
extern std::u16string rsHLEDANIODKONCE;
extern std::u16string rsVYBERPRAZDNY;
extern std::u16string rsMISTONADISKU;
extern std::u16string rsJENPROCTENI;
extern std::u16string rsPRISTUPODEPREN;
extern std::u16string rsNENALEZEN;
extern std::u16string rsDLOUHEJMENO;
extern std::u16string rsMNOHOSOUBORU;
extern std::u16string rsPRILISVELKY;
extern std::u16string rsODKAZNENASLEDUJE;
extern std::u16string rsZMENENODCTENI;
extern std::u16string rsSTARYOBSAHZPET;
extern std::u16string rsSTARYOBSAHNEZPET;
extern std::u16string rsSLOZKA;
extern std::u16string rsDLOUHYRADEK;
extern std::u16string rsUTF16LICHY;
extern std::u16string rsUTF16NAHRADNIK;
extern std::u16string rsNELZEZNOVU;
extern std::u16string rsVETSINEZ;
extern std::u16string rsZMENENZVENKU;
extern std::u16string rsZMIZELZVENKU;
extern std::u16string rsZMENYSEZTRATI;
extern std::u16string rsNACISTZNOVU;
extern std::u16string rsPREPSAT;

struct TPolozkaKatalogu {
    std::string_view Klic;         // the key, also its element name in the language file
    std::u16string_view Vestaveny;  // the built-in Czech text
    std::u16string* Text;           // the entry as the last catalogue pass left it
};

constexpr std::size_t PocetPolozekKatalogu = 94;

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
