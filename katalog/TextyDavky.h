// The batch tool's own texts, section Davka of the language file: its
// messages, the words of its folder mode and the prose of its help, each an
// entry of the message catalogue with its built-in Czech text. Texts with
// parameters hold %1, %2, ... (Vyplnit); option names (--first, -o), the
// placeholders FILE, FOLDER, OUT, N and the commands stay as they are in
// every language. The help's texts take the short names of the families of
// references as %1 (separated by blanks) and %2 (by commas).
//
// NastavitJazyk chooses the language of a run: it makes the catalogue pass
// of the messages (section Obecne) and of these texts from the language file.
#pragma once

#include "convar.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// The entries: X(key, built-in Czech text).
#define TARVIK_TEXTY_DAVKY(X) \
    /* the command line */ \
    X(rsDCISLO, u"%1 potřebuje celé číslo od 1 do 9999, ne '%2'") \
    X(rsDSIRKA, u"%1 potřebuje šířku od 0 do 9 číslic, ne '%2'") \
    X(rsDZNAK, u"%1 bere jeden znak nebo \"\", ne '%2'") \
    X(rsDHODNOTA, u"volba %1 potřebuje hodnotu") \
    X(rsDBEZHODNOTY, u"volba %1 nebere hodnotu") \
    X(rsDNEZNAMYPRIKAZ, u"neznámý příkaz '%1'") \
    X(rsDNEZNAMAVOLBA, u"neznámá volba '%1'") \
    X(rsDVYLUCUJISE, u"%1 a %2 se navzájem vylučují") \
    X(rsDVYSTUPJMENO, u"volba -o potřebuje jméno souboru") \
    X(rsDBEZPRIKAZU, u"nebyl zadán žádný příkaz") \
    X(rsDTYPYBEZSOUBORU, u"types nebere žádný FILE") \
    X(rsDBEZSOUBORU, u"nebyl zadán žádný FILE") \
    X(rsDVSTUPSAM, u"standardní vstup (\"-\") je FILE sám o sobě, ne jeden z několika") \
    X(rsDNAMISTEVSTUP, u"--in-place potřebuje FILE, ne standardní vstup") \
    X(rsDCOUNTZAPIS, u"count nezapisuje žádný program: -o a --in-place zde neplatí") \
    X(rsDCOUNTKONTROLA, u"count nic nemění: --check a --diff zde neplatí") \
    X(rsDKONTROLAZAPIS, u"--check a --diff nic nemění: -o a --in-place zde neplatí") \
    X(rsDKONTROLAVSTUP, u"--check a --diff porovnávají se souborem FILE, ne se standardním vstupem") \
    X(rsDALLBEZR, u"--all platí jen pro složky u -r") \
    X(rsDJENZAVEST, u"--number-start, --number-end a --number-comments platí jen pro introduce") \
    X(rsDJENPRECISLOVAT, u"--keep-references a --update-references platí jen pro renumber") \
    X(rsDJENSIRKA, u"--width platí jen pro introduce a renumber") \
    X(rsDJENODSTRANIT, u"--force platí jen pro remove") \
    X(rsDODKAZY, u"%1 bere druhy odkazů %3 oddělené čárkou, nebo none, ne '%2'") \
    X(rsDJENODKAZY, u"--references neplatí pro count") \
    X(rsDJENODHAD, u"--guess platí jen pro types") \
    X(rsDODHADJEDEN, u"types --guess bere jeden FILE") \
    X(rsDREFSJEDEN, u"refs bere jeden FILE") \
    X(rsDREFSZAPIS, u"refs nezapisuje žádný program: -o, --in-place, --check a --diff zde neplatí") \
    X(rsDREFSCISLOVANI, u"refs nic nečísluje: --first, --increment, --max, --keep-max a --restart zde neplatí") \
    X(rsDNEZNAMYTYP, u"žádný typ souboru se nejmenuje '%1'") \
    X(rsDTYPYSOUBORU, u"typy souborů jsou:") \
    X(rsDJESLOZKA, u"'%1' je složka; programy v ní vezme -r") \
    X(rsDSTEJNYCIL, u"'%1' i '%2' by se zapsaly do '%3'") \
    X(rsDVICEPROGRAMU, u"několik programů nebo FOLDER potřebuje -i, -o FOLDER, --check nebo --diff") \
    X(rsDVICEPROGRAMUVYSTUP, u"několik programů nebo FOLDER potřebuje -o FOLDER, ne -o -") \
    X(rsDVYSTUPUVNITR, \
        u"výstupní složka '%1' je uvnitř složky '%2', kterou čte; zadejte složku mimo ni, nebo -i, aby se " \
        u"každý program zapsal přes sebe") \
    X(rsDZAPSALBYPRES, u"'%1' by se zapsal do '%2', což je jeden z programů ke čtení") \
    X(rsDZKUSTNAPOVEDU, u"Více řekne 'tarvik-cli --help'.") \
    /* the run */ \
    X(rsDNELZEVYSTUP, u"Nelze zapisovat na standardní výstup") \
    X(rsDVYNUTIT, u"--force čísla přesto odstraní.") \
    X(rsDZAPISUJESEJAKO, u"%1; zapisuje se jako %2.") \
    X(rsDKODOVANIZNACKA, u"první bajty programu v %1 by se zpět přečetly jako značka pořadí bajtů") \
    X(rsDKODOVANINEPOJME, u"%1 nepojme všechny znaky programu") \
    X(rsDBEZTYPU, \
        u"Nebyl nalezen žádný seznam typů souborů (ani v nastavení, ani files.ftd), takže značky programu " \
        u"nejsou známé; zadejte je volbami --main, --secondary, --start, --end a --comment") \
    X(rsDNAHRADNI, u"Místo něj se použije files.ftd a vestavěné výchozí hodnoty.") \
    X(rsDMALOPAMETI, u"Pro tento program není dost paměti; nic nebylo zapsáno.") \
    X(rsDMALOPAMETIPROGRAM, u"Pro tento program není dost paměti.") \
    X(rsDNECEKANE, u"nečekané selhání: %1") \
    X(rsDAUTO, u"-t auto: typ souboru '%1' podle řádků %2") \
    X(rsDAUTONENI, u"-t auto: typ souboru nelze podle slov programu odhadnout; použije se '%1'") \
    /* the folder mode: the status words and what their lines say */ \
    X(rsDHOTOVO, u"hotovo") \
    X(rsDBEZZMENY, u"beze změny") \
    X(rsDZMENILBY, u"změnil by se") \
    X(rsDODMITNUT, u"odmítnut") \
    X(rsDSELHAL, u"selhal") \
    X(rsDPRESKOCEN, u"přeskočen") \
    X(rsDTYZSOUBOR, u"tentýž soubor jako %1") \
    X(rsDNEZAPISE, u"'%1' se nezapíše") \
    X(rsDNELZECISTSLOZKU, u"Nelze číst složku \"%1\".") \
    X(rsDNELZECISTPOLOZKU, u"Nelze číst složku \"%1\": \"%2\".") \
    X(rsDJENZLOMY, u"(jen zlomy řádků nebo kódování)") \
    X(rsDZAPSAN, u"zapsán jako %1, protože %2") \
    X(rsDBYLBYZAPSAN, u"zapsal by se jako %1, protože %2") \
    X(rsDBLOK1, u"%1 blok") \
    X(rsDBLOKY2, u"%1 bloky") \
    X(rsDBLOKU5, u"%1 bloků") \
    /* the language: the warnings when it cannot be used */ \
    X(rsDJAZYKBEZSOUBORU, \
        u"jazyk %1 nelze použít: nebyl nalezen jazykový soubor tarvik.xml; platí vestavěné české texty") \
    X(rsDJAZYKNEZNAMY, u"jazykový soubor nemá jazyk %1 (má %2); platí vestavěné české texty") \
    X(rsDJAZYKCHYBA, u"%1; platí vestavěné české texty") \
    /* the window started where it has no screen to show on (told on standard error before it has */ \
    /* a window, in the language a run of the tool would speak) */ \
    X(rsDBEZOBRAZOVKY, \
        u"tarvik: okno nelze otevřít, není k dispozici žádná obrazovka (DISPLAY=%1, WAYLAND_DISPLAY=%2). " \
        u"Spusťte Tarvik v grafickém sezení; dávkový nástroj tarvik-cli obrazovku nepotřebuje.") \
    /* the help (tarvik-cli --help): its prose, which NapovedaDavky lays out */ \
    X(rsHPOUZITI, u"Použití:") \
    X(rsHPOPIS, \
        u"Počítá, zavádí, přečíslovává nebo odstraňuje čísla bloků (N10, N20, ...) NC programů podle " \
        u"pravidel jejich typu souboru CNC.") \
    X(rsHCOUNT, u"vypíše počet řádků s bloky") \
    X(rsHINTRODUCE, u"očísluje program, který ještě nemá čísla bloků") \
    X(rsHRENUMBER, u"dá řádkům s bloky novou řadu čísel") \
    X(rsHREMOVE, u"odstraní čísla bloků") \
    X(rsHREFS, \
        u"vypíše odkazy na čísla bloků (ty druhy, které čte řídicí systém typu souboru): řádek, druh, cíl a " \
        u"řádek cílového bloku nebo proč žádný není; skončí s 1, když některý nemá jednoznačný cíl") \
    X(rsHTYPES, \
        u"vypíše typy souborů, jejich sedm polí a druhy odkazů, které čte jejich řídicí systém (%1, - pro " \
        u"žádné), oddělené tabulátorem") \
    X(rsHGUESS, \
        u"types: vypsat místo seznamu typ souboru, jehož řídicímu systému slova programu FILE nejspíš patří, " \
        u"a dva nebo tři řádky, podle nichž; skončí s 1, když nelze odhadnout") \
    X(rsHTYPE, \
        u"typ souboru podle jména nebo podle čísla, pod kterým ho vypíše types (1, 2, ...), nebo auto: ten, " \
        u"jehož řídicímu systému slova programu nejspíš patří (jako types --guess; nelze-li odhadnout, jako bez " \
        u"-t); výchozí: první typ, jehož přípona odpovídá příponě souboru (bez ohledu na velikost písmen; soubor " \
        u"bez přípony dostane typ s příponou \".\"), jinak první") \
    X(rsHMAIN, u"znak hlavního bloku zvoleného typu (\"\" ho vymaže)") \
    X(rsHSECONDARY, u"znak vedlejšího bloku, píše se před nová čísla") \
    X(rsHSTART, u"značka začátku programu") \
    X(rsHEND, u"značka konce programu") \
    X(rsHCOMMENT, u"znak začátku komentáře") \
    X(rsHFIRST, u"první číslo bloku, 1..9999 (výchozí 5)") \
    X(rsHINCREMENT, u"přírůstek, 1..9999 (výchozí 5)") \
    X(rsHMAX, u"největší číslo bloku, 1..9999 (výchozí 9999); větší první číslo nebo přírůstek se na ně sníží") \
    X(rsHWIDTH, \
        u"introduce, renumber: nová čísla s úvodními nulami na W číslic, 1..9 (N0010 při 4); 0: bez nul " \
        u"(výchozí)") \
    X(rsHKEEPMAX, u"po dosažení maxima ponechat poslední číslo") \
    X(rsHRESTART, u"po dosažení maxima začít znovu od prvního čísla (výchozí)") \
    X(rsHNUMBERSTART, u"introduce: očíslovat i řádky začátku programu") \
    X(rsHNUMBEREND, u"introduce: očíslovat i řádky konce programu") \
    X(rsHNUMBERCOMMENTS, u"introduce: očíslovat i řádky s komentářem") \
    X(rsHKEEPREFERENCES, \
        u"renumber: ponechat odkazy na čísla bloků, jak jsou, a ohlásit ty, které pak vedou na jiný blok " \
        u"nebo na žádný (jinak následují nová čísla svých bloků)") \
    X(rsHUPDATEREFERENCES, u"renumber: odkazy aktualizovat (výchozí)") \
    X(rsHREFERENCES, \
        u"druhy odkazů na čísla bloků, které čte řídicí systém, pro tento běh místo druhů typu souboru: " \
        u"%2 oddělené čárkou, nebo none") \
    X(rsHFORCE, u"remove: odstranit čísla i z programu, jehož odkazy na ně by pak nikam nevedly") \
    X(rsHVYSTUP, \
        u"zapsat výsledek do OUT (\"-\": standardní výstup); u několika programů nebo FOLDER je OUT " \
        u"složka, do níž se zapíší se svými cestami pod každou FOLDER") \
    X(rsHNAMISTE, \
        u"zapsat výsledek přes každý soubor (bez -o a -i jde výsledek jednoho FILE na standardní výstup)") \
    X(rsHREKURZIVNE, \
        u"vzít programy v každé FOLDER a jejích podsložkách: soubory, jejichž přípona patří některému " \
        u"typu souboru (kromě skrytých souborů a složek a odkazů na složky)") \
    X(rsHVSECHNY, u"s -r každý soubor bez ohledu na příponu") \
    X(rsHKONTROLA, \
        u"nic neměnit; říci, které programy by se změnily, a skončit s 1, když by se některý změnil (nebo " \
        u"byl odmítnut)") \
    X(rsHROZDIL, u"jako --check a navíc vypsat změny textů jako unifikovaný diff na standardní výstup") \
    X(rsHULOH, u"zpracovávat N programů najednou (výchozí: jeden na jádro)") \
    X(rsHJAZYK, \
        u"jazyk zpráv a této nápovědy pro tento běh: CZ, EN, SK, DE, FR, ES nebo jiný z jazykového " \
        u"souboru (výchozí: jazyk zvolený v okně, jinak jazyk prostředí)") \
    X(rsHNAPOVEDA, u"zobrazit tuto nápovědu") \
    X(rsHVERZE, u"zobrazit verzi a licenci") \
    X(rsHNASTAVENI, \
        u"Typy souborů a výchozí hodnoty --first, --increment, --max, --width a chování po dosažení " \
        u"maxima pocházejí z nastavení uloženého oknem (v Linuxu $XDG_CONFIG_HOME/Orvendal/Tarvik.reg, " \
        u"výchozí ~/.config; ve Windows registr); bez něj ze souboru files.ftd vedle programu a z " \
        u"výchozích hodnot výše. Nástroj nastavení nikdy nezapisuje. Nastavení, které nelze přečíst, " \
        u"ohlásí a místo něj použije files.ftd a vestavěné výchozí hodnoty.") \
    X(rsHJAZYKY, \
        u"Zprávy a tato nápověda jsou v jazyce zvoleném v okně. Dokud žádný zvolen není, jsou v jazyce " \
        u"prostředí, je-li jedním ze šesti (první z LANGUAGE a LC_ALL, LC_MESSAGES nebo LANG), jinak česky. " \
        u"Texty jsou z jazykového souboru tarvik.xml; bez něj česky.") \
    X(rsHVSTUP, u"FILE \"-\" čte program ze standardního vstupu.") \
    X(rsHSLOZKY, \
        u"S několika programy, s FOLDER, --check nebo --diff se každý program zpracuje samostatně: jeden " \
        u"řádek na program na standardní chybový výstup (soubor, pak \"hotovo\", \"beze změny\", \"změnil " \
        u"by se\", \"odmítnut: \" a důvod nebo \"selhal: \" a důvod), v zadaném pořadí bez ohledu na -j; " \
        u"count vypíše pro každý \"N FILE\" na standardní výstup. Program, který selže nebo je odmítnut, " \
        u"zůstane, jak byl; ostatní se přesto zpracují.") \
    X(rsHODKAZY, \
        u"Odkazy na čísla bloků (jejich druhy, které čte řídicí systém, určuje typ souboru, viz types, nebo " \
        u"--references): renumber jim dá nová čísla jejich bloků, každému programu souboru zvlášť, a na " \
        u"standardní chybový výstup řekne, kolik jich aktualizoval a kam vedou ostatní: odkaz, jehož cíl " \
        u"chybí, je na více blocích nebo není číslo, zůstane, jak je; odkaz, jehož blok dostane číslo, které " \
        u"pak mají i jiné bloky, dostane to číslo přesto a uvede se mezi odkazy bez jednoznačného cíle. S " \
        u"--keep-references zůstanou všechny, jak jsou, a renumber uvede ty, které pak vedou na jiný blok " \
        u"nebo na žádný. introduce řekne, které odkazy nyní vedou na nově očíslovaný blok a které na žádný; " \
        u"remove program s odkazy odmítne, není-li zadáno --force.") \
    X(rsHZAPIS, \
        u"Výsledek se zapisuje se zlomy řádků CR LF v kódování, ve kterém byl program přečten. Soubor se " \
        u"nahradí celý, nebo se zapíše na místě, kde by ho nový soubor nemohl nahradit (složka, do které " \
        u"nelze zapisovat, pevné odkazy, jiný vlastník); zařízení nebo roura se zapisuje přímo. Řádek " \
        u"statistiky jde na standardní chybový výstup, průběh jen tehdy, je-li jím terminál.") \
    X(rsHKONEC, \
        u"Návratový kód: 0 hotovo, 1 odmítnuto (čísla bloků jsou nebo chybí, odkazy, které by remove " \
        u"porušil; s --check nebo --diff také program, který by se změnil; refs: odkaz bez jednoznačného " \
        u"cíle), 2 chyba použití nebo soubor, který nelze číst nebo zapsat (nejvyšší ze všech programů).")

#define TARVIK_TEXT_DAVKY(klic, text) extern std::u16string klic;
TARVIK_TEXTY_DAVKY(TARVIK_TEXT_DAVKY)
#undef TARVIK_TEXT_DAVKY

#define TARVIK_TEXT_DAVKY(klic, text) +1
constexpr std::size_t PocetTextuDavky = 0 TARVIK_TEXTY_DAVKY(TARVIK_TEXT_DAVKY);
#undef TARVIK_TEXT_DAVKY

// The section of the language file that holds them.
constexpr std::string_view SekceDavky = "Davka";

// All of them, in the order of the language file.
const std::array<TPolozkaKatalogu, PocetTextuDavky>& KatalogDavky();

// A text with its parameters: %1 to %9 replaced by the values (UTF-8). The
// values are not searched for placeholders in turn; a '%' without the number
// of a value stays as it is.
std::string Vyplnit(std::u16string_view vzor, std::initializer_list<std::string_view> hodnoty = {});

// "13 bloků": the count of blocks in the form the current language gives
// that number (Czech and Slovak: 1, 2 to 4, else; French: 0 and 1, else;
// the others: 1, else).
std::string TextPoctuBloku(std::int64_t n);

// What became of a program in the folder mode, and its word.
enum class TStavProgramu : std::uint8_t { Hotovo, BezZmeny, ZmenilBy, Odmitnut, Selhal, Preskocen };
std::string TextStavu(TStavProgramu stav);

// The code of the language the catalogue speaks, as the language file spells
// it; "CZ" for the built-in texts.
const std::string& JazykKatalogu();

// Sets the catalogue to language kod (letter case ignored; empty: CZ) from
// the language file soubor (empty: none was found): the messages from its
// section Obecne and the batch tool's texts from Davka, each text the file
// lacks built-in. Where the language cannot be used (a code other than CZ
// without a language file, a code the file does not list in JAZYKY, a file
// that cannot be read or is refused, a text it holds wrongly) every text is
// the built-in Czech one and the warning says why, in Czech. Returns the
// warnings.
std::vector<std::u16string> NastavitJazyk(std::string_view kod, const std::filesystem::path& soubor);
