// The main window: numbering settings, the program and its original, the
// block commands, opening and saving, and the settings kept between runs.
#pragma once

#include "filetypes/TypSouboru.h"
#include "filetypes/UlozeneNastaveni.h"
#include "katalog/Zpravy.h"
#include "platform/CteniTextu.h"
#include "platform/Kodovani.h"
#include "prikazy/Prikaz.h"
#include "ui/EditorProgramu.h"

#include <QHash>
#include <QLabel>
#include <QMainWindow>
#include <QStringList>

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace Ui {
class THlavniForm;
}
class QAction;
class QMenu;
class QProgressBar;
class QTimer;
class QRadioButton;
class TChyba;
class TPorovnani;
class TRegistr;
class TSpinEdit;
class TZvyrazneniVstupu;

class THlavniForm : public QMainWindow {
    Q_OBJECT

public:
    explicit THlavniForm(TRegistr& registr, QWidget* rodic = nullptr);
    ~THlavniForm() override;

    // The controls, for the tests.
    ::Ui::THlavniForm& Formular() { return *ui; }
    TEditorProgramu* memProgram() const;
    TEditorProgramu* memPuvodni() const;
    QLabel* Panel(int i) const { return i == 0 ? panel0_ : panel1_; }

    // Document state.
    const QString& AktualniSoubor() const { return aktualniSoubor_; }
    // The file type the program was opened with (empty fields: none).
    const TTypSouboru& AktivniTypSouboru() const { return typ_; }
    bool Zmeneno() const;
    bool PruchodBezi() const { return pruchodBezi_; }
    const QString& Filtr() const { return filtr_; }
    int PoziceFiltru() const { return poziceFiltru_; }

    // The file type list is to come from files.ftd (no list in the store).
    bool NacistZeSouboru = false;
    // The default file type list, in the first data folder that holds it.
    std::filesystem::path SouborTypu;
    // Where the language file is looked for: the program's data folders
    // (beside the executable, the installation's share/tarvik, the XDG data
    // folders), never the working directory, which may be any folder of
    // programs.
    std::vector<std::filesystem::path> SlozkyDat;
    // A program to open when the window is first shown (the command line).
    QString SouborPriStartu;
    // The language command's image, 8 + the chosen language's row.
    int IndexObrazku() const { return indexObrazku_; }
    void NastavitIndexObrazku(int index);
    // Open maximised (read from the store).
    bool Maximalizovat() const { return maximalizovat_; }

    // The maximum bounds the first number and the increment.
    void NastavitMeze();
    // "Name (*.ext)|*.ext|..." of the file type rows, in list order.
    QString SestavitFiltr() const;
    // The statistics line of the program text.
    QString TextStatistiky() const;
    // The statistics line follows the text: counted when the window is idle
    // after a change (a few megabytes at a time, so that typing into a long
    // program waits for none of it). True while a count is due or running.
    bool StatistikyCekaji() const;
    // Fits a path into a width by cutting directories from its front.
    static QString ZkratitCestu(const QString& cesta, const QFont& pismo, int sirka);

    void NacistNastaveni();
    void UlozitNastaveni();
    // Fills the settings dialog's file type list, from files.ftd or from the store.
    void NacistTypySouboru(bool zeSouboru);
    // Takes the messages and window texts of the current language.
    void PrelozitAplikaci();
    // The window is never smaller than its design, nor than its texts need in
    // the font and the language in use (a wider font than the design's, where
    // the fonts it was laid out for are not installed, or longer texts).
    void PrizpusobitMinimum();
    // The language file's XML document (tarvik.xml in the first data folder
    // that holds one), loaded once by the catalogue pass or the
    // language command; until then looked for again at each of them.
    std::shared_ptr<class TXMLDokument> xdcJazyk;
    void NajitJazykovySoubor();
    // The first display steps, once, after the window is first shown.
    void FormShow();
    // Opens a program given from outside (the command line, a drop, the
    // desktop's "Open with"): after the unsaved-changes question, as the open
    // command does, with the file type its name belongs to (else the first);
    // the open dialog then offers the file and that type, so that the user
    // can open it again as another type.
    void OtevritPredany(const QString& soubor);
    // The programs opened or saved last, the latest first (at most 8).
    const QStringList& PosledniSoubory() const { return posledni_; }
    // The menu of the recent programs (the open command's drop-down and the
    // text area's context menu).
    QMenu* MenuPoslednich() const { return menuPoslednich_; }

    // Go to block: "123" (or "N123", with a block character of the file type)
    // goes to the block of that number in the program section of the caret
    // (from a program start, or an O-program, to the next), "L123" to line
    // 123; the user is told when there is none. False then.
    bool PrejitNa(const QString& cil);
    // Puts the caret at the start of a line (from 0) of the program and shows it.
    void PrejitNaRadek(std::size_t radek);

    // Find and replace (fHlavniHledani.cpp), with what the find dialog holds.
    // The next (previous) occurrence after (before) the selection, round from
    // the other end when there is none, in the program or in the part that
    // "only within the selection" marks: selected and shown. False when there
    // is none (the user is told).
    bool Najit(bool dopredu);
    // The selection, when it is an occurrence, becomes the replacement (one
    // undo step); then the next occurrence is found.
    bool Nahradit();
    // Every occurrence replaced, as one undo step; how many (the user is told).
    std::size_t NahraditVse();
    // The part of the program searched in; none: the whole program.
    std::optional<TEditorProgramu::TUsek> RozsahHledani() const;

    // The program against its original, as the texts stand (made again after a change).
    const TPorovnani& Porovnani();
    // The caret to the first line of the next (previous) change; false when
    // there is none (a beep).
    bool PrejitNaZmenu(bool dalsi);

    // The second pass of a block command over the program's text: the new
    // text replaces the text (the selection, when the command concerns one)
    // in one undo step, also when the pass fails; the failure then goes on
    // and the status bar stays, else the status bar shows the percentage
    // and the statistics line.
    void ProvestPruchod(const TPrikazNadTextem& prikaz, TPrubeh& prubeh,
                        const std::optional<TPrikazNadTextem::TVyber>& vyber);
    // The selected bytes and their lines, as a command takes them; none
    // without a selection.
    std::optional<TPrikazNadTextem::TVyber> VyberPrikazu() const;

    // Work that takes long (a pass, opening, saving): the busy cursor, no
    // commands and no editing meanwhile; the window serves its events about
    // every 30 ms, and shows the progress once the work has taken 200 ms.
    // Work may hold work (a command holds its pass): the inner one goes on
    // as the outer.
    void ZacitPraci();
    void PrubehPrace(std::size_t hotovo, std::size_t celkem);
    // Serves the window during work whose progress is not known (the last
    // progress stays shown); nothing outside work.
    void ObslouzitPraci();
    void UkoncitPraci();
    // Long work in the window, ended also when it fails.
    class TPrace {
    public:
        explicit TPrace(THlavniForm& okno) : okno_(okno) { okno_.ZacitPraci(); }
        ~TPrace() { okno_.UkoncitPraci(); }
        TPrace(const TPrace&) = delete;
        TPrace& operator=(const TPrace&) = delete;

    private:
        THlavniForm& okno_;
    };

    // Called by the engine's interface around and during a pass: the work
    // of a pass, which ends with the beep.
    void ZacitPruchod();
    void PrubehPruchodu(std::size_t hotovo, std::size_t celkem);
    void UkoncitPruchod();

public slots:
    void aKonecExecute();
    void aOtevritExecute();
    void aUlozitExecute();
    void aUlozitJakoExecute();
    void aPrejitExecute();
    void aZavestExecute();
    void aPrecislovatExecute();
    void aOdstranitExecute();
    void aNastaveniExecute();
    void aJazykExecute();
    void aOAplikaciExecute();
    void aNajitExecute();
    void aNahraditExecute();
    void aNajitDalsiExecute();
    void aNajitPredchoziExecute();
    void aDalsiZmenaExecute();
    void aPredchoziZmenaExecute();
    void aPorovnatExecute();

protected:
    void showEvent(QShowEvent* udalost) override;
    bool event(QEvent* udalost) override;
    void closeEvent(QCloseEvent* udalost) override;
    // A program file dragged onto the window or its text areas.
    void dragEnterEvent(QDragEnterEvent* udalost) override;
    void dragMoveEvent(QDragMoveEvent* udalost) override;
    void dropEvent(QDropEvent* udalost) override;
    bool eventFilter(QObject* objekt, QEvent* udalost) override;

private:
    // The commands: the nine of the tool bar in its order, then save as and
    // go to block, then finding and the changes.
    std::array<QAction*, 18> Prikazy() const;
    // The drop-downs of the open and save buttons, and the text area's context menu.
    void PripravitNabidky();
    void PrizpusobitRamu();
    // A drag or drop of files: accepted when it carries one program file
    // and no pass runs; a drop then opens it. False for other drags.
    bool Pretazeni(QEvent* udalost);
    void memProgramChange();
    void ObnovitStavUlozeni();
    void speMaximumExit();
    bool FormCloseQuery();
    void FormClose();

    // The settings as the controls show them (the numbers as the spin edits
    // read them), and the controls showing settings.
    TUlozeneNastaveni NastaveniOvladacu() const;
    void ZobrazitNastaveni(const TUlozeneNastaveni& nastaveni);
    // The spin edits of the numbering, and their bounds and highlighting.
    std::vector<TSpinEdit*> CiselneOvladace() const;
    void PripravitOvladaceNastaveni();
    static void NastavitPrepinac(QRadioButton* prepinac, bool vybrany);
    void NacistUmisteni();
    void UlozitUmisteni();
    static QString ChybaUloziste(const std::u16string& uvod, const std::u16string& zprava);

    // When the program is modified, asks whether to save it first (Yes, No,
    // Cancel), and saves it on Yes (a failed save throws). False when things
    // are to stay as they are: Cancel, or the save did not happen (no name
    // given, the file changed by another program and not overwritten).
    bool MoznaUlozit();
    // Saves the program under its name; one without a name asks for it.
    // False when nothing was saved (the name was not given, or the user did
    // not overwrite a file another program changed).
    bool UlozitSoubor();
    // Asks for a name and saves the program under it, which becomes its name.
    bool UlozitJako();
    // Writes the program's text into a file through the command layer, in the
    // document's encoding (or UTF-8 with a mark when it cannot hold a
    // character, which is told); the file's fingerprint is kept. Given
    // precteny, a file that is no longer that one is left alone
    // (TZmenenoOdCteni).
    void ZapsatProgram(const QString& cesta, const std::optional<TOtiskSouboru>& precteny);
    // Saves the program into its own file while that is the file precteny
    // (as read or saved last, or as the user agreed to overwrite it); when
    // another program has changed or removed it, the user is asked. False
    // when nothing was saved.
    bool PrepsatSoubor(std::optional<TOtiskSouboru> precteny);
    // The question about a change made outside: read the file again,
    // overwrite it, or save the program under another name; Cancel leaves
    // all as it is. Prepsat: the caller overwrites the file as it is now,
    // whose fingerprint precteny then holds; reading again and saving as are
    // done here.
    enum class TOdpovedZvenku : std::uint8_t { Prepsat, UlozenoJinam, Nic };
    TOdpovedZvenku OtazkaZvenku(std::optional<TOtiskSouboru>& precteny);
    // On the window's activation: a file changed since it was read or saved
    // is asked about, each state of it once.
    void KontrolaZvenku();
    void NaplanovatKontroluZvenku();
    void OtevritSoubor();
    // A path that names no regular file (a folder, a pipe, a device, a
    // socket) is refused with a message before anything is read: reading a
    // pipe would wait for a writer, a device might never end.
    bool LzeCist(const QString& cesta);
    // Reads a program into both text areas and makes it the document, as one
    // work with its progress; nothing changes when it cannot be read (a
    // failure to read throws; false: refused with a message).
    bool NacistDokument(const QString& cesta, const std::optional<TTypSouboru>& typ);
    // The recent programs: one goes first (or comes in), the list is kept
    // with the settings, and the menu follows.
    void ZapamatovatSoubor(const QString& cesta);
    void ObnovitMenuPoslednich();
    // A program chosen from the menu of the recent ones.
    void OtevritPosledni(const QString& soubor);
    // The document becomes the file: both text areas, its name in the file
    // bar, its encoding, the file type (none: no characters and markers), the
    // saved state and the status bar.
    void NastavitAktualniSoubor(const QString& cesta, TKodovani kodovani, TEditorProgramu::TNovyText& program,
                                TEditorProgramu::TNovyText& puvodni, const std::optional<TTypSouboru>& typ,
                                const std::optional<TOtiskSouboru>& otisk);
    // The room a file's text takes in a text area, about.
    static std::size_t OdhadTextu(const std::filesystem::path& soubor);
    // Reads a program file into new texts for both text areas, showing the
    // progress; nothing shown changes. Returns the encoding it was read in.
    TKodovani PrecistProgram(const std::filesystem::path& soubor, TEditorProgramu::TNovyText& program,
                             TEditorProgramu::TNovyText& puvodni, std::size_t odhad,
                             std::optional<TOtiskSouboru>& otisk);


    // A block command may run: no pass is running and a program is open (else
    // the user is told).
    bool PrikazMuzeBezet();
    // The numbering settings as a command takes them when it starts.
    TUlozeneNastaveni CislovaniPrikazu();
    // A block command on the program: the command layer decides and writes,
    // the window asks, shows and replaces the text.
    void SpustitPrikaz(TPrikazProgramu druh);
    // A command's message in a box of its kind.
    void Ohlasit(const THlaseniPrikazu& hlaseni);
    // The selected bytes go back with CR LF after each of their lines.
    void VratitVyber(TEditorProgramu::TUsek vyber);
    void AktualizovatStavovyRadek(std::uint8_t procenta);
    // The file type's name in status panel 1.
    void ZobrazitTypSouboru(const QString& nazev);
    void PovolitPrikazy(bool povolit);
    // The statistics line after a change: counted on idle (fHlavniPrace.cpp).
    void NaplanovatStatistiky();
    void PocitatStatistiky();
    // The statistics line was shown for this text.
    void StatistikyZobrazeny();
    // The statistics line shows these counts, in the current language (again
    // after a change of language); counted now of the whole text.
    void ZobrazitStatistiky(const TStatistiky& s);
    void PrelozitStatistiky();
    void SpocitatAZobrazitStatistiky();
    // A command's message; the lines that name program lines lead there.
    void OhlasitSOdkazy(const THlaseniPrikazu& hlaseni);

    // Finding, the changes, the context menu and the title (fHlavniHledani.cpp).
    // The text area's context menu with the editing commands, and the keys of finding.
    void PripravitMenuEditoru();
    // The find dialog's buttons lead here (once it exists).
    void PripojitNajitForm();
    // Shows the find dialog: a selection within a line is the text to find,
    // a longer one the part to search in.
    void ZobrazitNajit(bool nahradit);
    // "Only within the selection" has its part: else it is cleared and the user told.
    bool RozsahPlati();
    // Marks the part searched in (none: unmarks it).
    void OznacitRozsah(std::optional<TEditorProgramu::TUsek> rozsah);
    // The window's title: the program's name and a star while it is not saved.
    void ObnovitTitulek();

    // References to block numbers (fHlavniOdkazy.cpp).
    // The switch's text and hint in the current language.
    void PrelozitPrepinacOdkazu();
    // The status bar names the type the program's words point to, the lines
    // it goes by in its tip (app/fHlavniOdkazy.cpp).
    void ZobrazitOdhadTypu();
    // The lines of the selected bytes, as the reference pass takes them.
    TVyberRadku RadkyVyberu(TEditorProgramu::TUsek usek) const;

    std::unique_ptr<::Ui::THlavniForm> ui;
    TRegistr& registr_;
    QLabel* panel0_ = nullptr;
    QLabel* panel1_ = nullptr;
    QProgressBar* prubeh_ = nullptr;
    TZvyrazneniVstupu* zvyrazneni_ = nullptr;

    QString aktualniSoubor_;
    QString nabizenySoubor_;
    QStringList posledni_;
    QMenu* menuPoslednich_ = nullptr;
    QString filtr_;
    int poziceFiltru_ = 1;
    TKodovani kodovaniSouboru_ = TKodovani::Utf8;
    // The program's file as it was read or saved last; and the file as it
    // stood when the user was last asked about a change from outside.
    std::optional<TOtiskSouboru> otisk_;
    std::optional<std::optional<TOtiskSouboru>> ohlasenaZmena_;
    bool kontrolaZvenkuNaplanovana_ = false;
    TTypSouboru typ_;
    bool stavUlozeniZnam_ = false;
    // The file type list is saved at exit (not when the store could not be read).
    bool ulozitSeznam_ = true;

    int indexObrazku_ = 0;  // set from the stored settings when the window is created
    // A language was chosen in the language dialog, now or in an earlier run
    // (it is stored); until then the window speaks the locale's.
    bool jazykZvolen_ = false;
    std::optional<QSize> navrzeneMinimum_;  // the design's least size
    bool maximalizovat_ = false;
    std::optional<QSize> ulozenaVelikost_;
    bool formShowProbehl_ = false;
    bool formShowNaplanovan_ = false;

    bool pruchodBezi_ = false;
    int hloubkaPrace_ = 0;
    int procentaPrace_ = 0;
    qint64 zacatekPruchodu_ = 0;
    qint64 posledniObsluha_ = 0;

    // The texts each window was designed with, by its section and key (as
    // its first translation found them): every translation starts from them.
    std::map<QString, QHash<QString, QString>> navrzeneTexty_;
    // The counts the statistics line shows (told again in another language).
    std::optional<TStatistiky> zobrazeneStatistiky_;
    // The statistics counted on idle: the text's count of changes they were
    // shown for, and the count under way (the text's count when it started,
    // how far it is, the counts so far).
    QTimer* casovacStatistik_ = nullptr;
    std::uint64_t verzeStatistik_ = 0;
    struct TPocitani;
    std::shared_ptr<TPocitani> pocitani_;  // shared: complete only where it is counted

    bool najitPripojen_ = false;
    // The comparison with the original, and the texts' counts of changes it was made for.
    std::unique_ptr<TPorovnani> porovnani_;
    std::pair<std::uint64_t, std::uint64_t> verzePorovnani_;
};

// The main window, one for the whole run (created and destroyed by the application).
extern THlavniForm* HlavniForm;
// The block-number engine of the window's commands, one for the whole run.
extern TCNCFile* CNCFile;
