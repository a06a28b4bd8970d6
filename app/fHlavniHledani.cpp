// The main window's ways of looking through the program: find and replace
// (Ctrl+F, Ctrl+H, F3, Shift+F3), the changes against the original (F8,
// Shift+F8) and their side-by-side view (F7); the text area's context menu
// with the editing commands; the window's title with the program's name.
#include "fHlavni.h"

#include "ui_fHlavni.h"

#include "app/ObecnaChyba.h"
#include "katalog/convar.h"
#include "ui/Hlaseni.h"
#include "ui/Modalni.h"
#include "ui/Nastaveni.h"
#include "ui/Porovnani.h"
#include "ui/fNajit.h"
#include "ui/fPorovnani.h"

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QContextMenuEvent>
#include <QFileInfo>

namespace {

QString Q(const std::u16string& s) { return QString::fromStdU16String(s); }

// The indicator that marks the part of the program that "only within the
// selection" searches: it follows what is typed, as the selection does not.
constexpr int IndikatorRozsahu = 10;

using QB = QsciScintillaBase;

// Keeps the editing commands of the context menu in step with the text area
// whenever the menu is about to show.
class TStavMenu : public QObject {
public:
    TStavMenu(TEditorProgramu& e, std::function<void()> obnovit) : QObject(&e), obnovit_(std::move(obnovit)) {
        e.installEventFilter(this);
        e.viewport()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* udalost) override {
        if (udalost->type() == QEvent::ContextMenu) obnovit_();
        return false;
    }

private:
    std::function<void()> obnovit_;
};

}  // namespace

// ---------------------------------------------------------------- the wiring

void THlavniForm::PripravitMenuEditoru() {
    TEditorProgramu& e = *ui->memProgram;
    // The editing commands of the context menu, with their keys shown; the
    // keys reach the text area as before (the commands do the same).
    for (QAction* a : {ui->aZpet, ui->aZnovu, ui->aVyjmout, ui->aKopirovat, ui->aVlozit, ui->aVybratVse})
        a->setShortcutContext(Qt::WidgetShortcut);
    connect(ui->aZpet, &QAction::triggered, &e, [&e] { e.undo(); });
    connect(ui->aZnovu, &QAction::triggered, &e, [&e] { e.redo(); });
    connect(ui->aVyjmout, &QAction::triggered, &e, [&e] { e.cut(); });
    connect(ui->aKopirovat, &QAction::triggered, &e, [&e] { e.copy(); });
    connect(ui->aVlozit, &QAction::triggered, &e, [&e] { e.paste(); });
    connect(ui->aVybratVse, &QAction::triggered, &e, [&e] { e.selectAll(); });
    new TStavMenu(e, [this, &e] {
        const bool zapis = !e.isReadOnly(), vyber = e.hasSelectedText();
        ui->aZpet->setEnabled(zapis && e.MuzeZpet());
        ui->aZnovu->setEnabled(zapis && e.MuzeZnovu());
        ui->aVyjmout->setEnabled(zapis && vyber);
        ui->aKopirovat->setEnabled(vyber);
        const QMimeData* schranka = QApplication::clipboard()->mimeData();
        ui->aVlozit->setEnabled(zapis && schranka && schranka->hasText());
        ui->aVybratVse->setEnabled(e.length() > 0);
    });
    const auto oddelovac = [this] {
        auto* a = new QAction(this);
        a->setSeparator(true);
        return a;
    };
    e.setContextMenuPolicy(Qt::ActionsContextMenu);
    e.addActions({ui->aZpet, ui->aZnovu, oddelovac(), ui->aVyjmout, ui->aKopirovat, ui->aVlozit, oddelovac(),
                  ui->aVybratVse, oddelovac(), ui->aNajit, ui->aNahradit, ui->aPrejit, oddelovac(),
                  ui->aDalsiZmena, ui->aPredchoziZmena, ui->aPorovnat, oddelovac(), ui->aOtevrit, ui->aPosledni,
                  ui->aUlozitJako});
    // The commands that are no tool bar buttons: their shortcuts are the window's.
    addActions({ui->aNajit, ui->aNahradit, ui->aNajitDalsi, ui->aNajitPredchozi, ui->aDalsiZmena,
                ui->aPredchoziZmena, ui->aPorovnat});
    connect(ui->aNajit, &QAction::triggered, this, &THlavniForm::aNajitExecute);
    connect(ui->aNahradit, &QAction::triggered, this, &THlavniForm::aNahraditExecute);
    connect(ui->aNajitDalsi, &QAction::triggered, this, &THlavniForm::aNajitDalsiExecute);
    connect(ui->aNajitPredchozi, &QAction::triggered, this, &THlavniForm::aNajitPredchoziExecute);
    connect(ui->aDalsiZmena, &QAction::triggered, this, &THlavniForm::aDalsiZmenaExecute);
    connect(ui->aPredchoziZmena, &QAction::triggered, this, &THlavniForm::aPredchoziZmenaExecute);
    connect(ui->aPorovnat, &QAction::triggered, this, &THlavniForm::aPorovnatExecute);

    // The caret's line stands out (after go to block, a change, a search),
    // also while a dialog has the focus.
    e.setCaretLineVisible(true);
    e.setCaretLineBackgroundColor(BarvaZvyrazneni);
    e.SendScintilla(QB::SCI_SETCARETLINEVISIBLEALWAYS, 1L);
    // The part searched within: a pale blue box under the text.
    e.SendScintilla(QB::SCI_INDICSETSTYLE, static_cast<unsigned long>(IndikatorRozsahu), long(QB::INDIC_STRAIGHTBOX));
    e.SendScintilla(QB::SCI_INDICSETFORE, static_cast<unsigned long>(IndikatorRozsahu), QColor(0x40, 0x80, 0xE0));
    e.SendScintilla(QB::SCI_INDICSETALPHA, static_cast<unsigned long>(IndikatorRozsahu), 40L);
    e.SendScintilla(QB::SCI_INDICSETOUTLINEALPHA, static_cast<unsigned long>(IndikatorRozsahu), 90L);
    e.SendScintilla(QB::SCI_INDICSETUNDER, static_cast<unsigned long>(IndikatorRozsahu), 1L);
    ObnovitTitulek();
}

void THlavniForm::PripojitNajitForm() {
    if (!NajitForm || najitPripojen_) return;
    najitPripojen_ = true;
    connect(NajitForm, &TNajitForm::Hledat, this, [this](bool dopredu) { Chranene([&] { Najit(dopredu); }); });
    connect(NajitForm, &TNajitForm::Nahradit, this, [this] { Chranene([&] { Nahradit(); }); });
    connect(NajitForm, &TNajitForm::NahraditVse, this, [this] { Chranene([&] { NahraditVse(); }); });
    connect(NajitForm, &TNajitForm::VeVyberuZmeneno, this, [this](bool veVyberu) {
        // Ticked: the selection is the part searched from now on.
        const TEditorProgramu::TUsek v = ui->memProgram->Vyber();
        if (veVyberu && v.Po <= v.Od) {
            NajitForm->NastavitVeVyberu(false);
            NajitForm->ZobrazitStav(Q(rsVYBERPRAZDNY) + u'.');
            QApplication::beep();
            return;
        }
        OznacitRozsah(veVyberu ? std::optional(v) : std::nullopt);
    });
}

void THlavniForm::ObnovitTitulek() {
    // "program.nc - Tarvik", with a star while it is not saved.
    const QString nazev = QFileInfo(aktualniSoubor_).fileName();
    const QString zmena = Zmeneno() ? QStringLiteral("*") : QString();
    setWindowTitle(nazev.isEmpty() ? TitulekAplikace + zmena : nazev + zmena + QStringLiteral(" - ") + TitulekAplikace);
}

// ---------------------------------------------------------------- find and replace

void THlavniForm::OznacitRozsah(std::optional<TEditorProgramu::TUsek> rozsah) {
    TEditorProgramu& e = *ui->memProgram;
    e.SendScintilla(QB::SCI_SETINDICATORCURRENT, IndikatorRozsahu);
    e.SendScintilla(QB::SCI_SETINDICATORVALUE, 1L);
    e.SendScintilla(QB::SCI_INDICATORCLEARRANGE, 0UL, e.SendScintilla(QB::SCI_GETLENGTH));
    if (rozsah && rozsah->Po > rozsah->Od)
        e.SendScintilla(QB::SCI_INDICATORFILLRANGE, static_cast<unsigned long>(rozsah->Od),
                        long(rozsah->Po - rozsah->Od));
}

std::optional<TEditorProgramu::TUsek> THlavniForm::RozsahHledani() const {
    if (!NajitForm || !NajitForm->VeVyberu()) return std::nullopt;
    TEditorProgramu& e = *ui->memProgram;
    const long delka = e.SendScintilla(QB::SCI_GETLENGTH);
    const auto ind = static_cast<unsigned long>(IndikatorRozsahu);
    long od = 0;
    if (e.SendScintilla(QB::SCI_INDICATORVALUEAT, ind, 0L) == 0) od = e.SendScintilla(QB::SCI_INDICATOREND, ind, 0L);
    if (od >= delka || e.SendScintilla(QB::SCI_INDICATORVALUEAT, ind, od) == 0) return std::nullopt;
    const long po = e.SendScintilla(QB::SCI_INDICATOREND, ind, od);
    return TEditorProgramu::TUsek{std::size_t(od), std::size_t(po)};
}

bool THlavniForm::RozsahPlati() {
    if (!NajitForm->VeVyberu() || RozsahHledani()) return true;
    // The part marked is gone (a command or its undo replaced the text as a
    // whole, or it was deleted): nothing is searched, least of all replaced,
    // outside it; the user selects it again.
    NajitForm->NastavitVeVyberu(false);
    NajitForm->ZobrazitStav(Q(rsVYBERPRAZDNY) + u'.');
    QApplication::beep();
    return false;
}

void THlavniForm::aNajitExecute() { ZobrazitNajit(false); }

void THlavniForm::aNahraditExecute() { ZobrazitNajit(true); }

void THlavniForm::ZobrazitNajit(bool nahradit) {
    if (!NajitForm) return;
    PripojitNajitForm();
    TEditorProgramu& e = *ui->memProgram;
    const TEditorProgramu::TUsek v = e.Vyber();
    QString hledat;
    if (v.Po > v.Od) {
        const std::string_view vybrano = e.Utf8().substr(v.Od, v.Po - v.Od);
        if (vybrano.find_first_of("\r\n") == std::string_view::npos) {
            // A selection within a line is the text to find ...
            hledat = QString::fromUtf8(vybrano.data(), qsizetype(vybrano.size()));
        } else {
            // ... a longer one the part to search in.
            NajitForm->NastavitVeVyberu(true);
            OznacitRozsah(v);
        }
    }
    // A part marked before that is gone (the text was replaced as a whole) is no more searched in.
    if (NajitForm->VeVyberu() && !RozsahHledani()) NajitForm->NastavitVeVyberu(false);
    NajitForm->ZobrazitStav({});
    NajitForm->Zobrazit(nahradit, hledat);
}

void THlavniForm::aNajitDalsiExecute() {
    Chranene([this] { Najit(true); });
}

void THlavniForm::aNajitPredchoziExecute() {
    Chranene([this] { Najit(false); });
}

bool THlavniForm::Najit(bool dopredu) {
    if (pruchodBezi_ || !NajitForm) return false;
    PripojitNajitForm();
    const THledani hledani(NajitForm->Zadani());
    // Nothing to find yet: the dialog asks for it.
    if (hledani.Prazdne()) {
        ZobrazitNajit(false);
        return false;
    }
    if (!RozsahPlati()) return false;
    TEditorProgramu& e = *ui->memProgram;
    const std::string_view text = e.Utf8();
    const TEditorProgramu::TUsek rozsah = RozsahHledani().value_or(TEditorProgramu::TUsek{0, text.size()});
    const TEditorProgramu::TUsek v = e.Vyber();
    // From the selection on, then round from the other end.
    std::optional<THledani::TNalez> nalez;
    if (dopredu)
        nalez = hledani.Najit(text, std::clamp(v.Po, rozsah.Od, rozsah.Po), rozsah.Po, true);
    else
        nalez = hledani.Najit(text, rozsah.Od, std::clamp(v.Od, rozsah.Od, rozsah.Po), false);
    QString stav;
    if (!nalez) {
        nalez = hledani.Najit(text, rozsah.Od, rozsah.Po, dopredu);
        if (nalez) stav = Q(dopredu ? rsHLEDANIODZACATKU : rsHLEDANIODKONCE) + u'.';
    }
    if (!nalez) {
        QApplication::beep();
        const QString zprava = Q(rsNENALEZENO) + QStringLiteral(": \"") + NajitForm->Zadani().Text + u'"';
        if (NajitForm->isVisible())
            NajitForm->ZobrazitStav(zprava + u'.');
        else
            Hlaseni->ZobrazitHlaseni(thInformace, zprava + u'.', Q(rsINFORMACE));
        return false;
    }
    NajitForm->ZobrazitStav(stav);
    ui->pgcSoubory->setCurrentWidget(ui->tshProgram);
    // Selected with the caret at its end (at its start when searching back), and in sight.
    const auto od = static_cast<unsigned long>(nalez->Od);
    const long po = long(nalez->Po);
    if (dopredu)
        e.SendScintilla(QB::SCI_SETSEL, od, po);
    else
        e.SendScintilla(QB::SCI_SETSEL, static_cast<unsigned long>(po), long(od));
    e.SendScintilla(QB::SCI_SCROLLRANGE, static_cast<unsigned long>(dopredu ? po : long(od)), long(dopredu ? od : po));
    return true;
}

bool THlavniForm::Nahradit() {
    if (pruchodBezi_ || !NajitForm) return false;
    const THledani hledani(NajitForm->Zadani());
    TEditorProgramu& e = *ui->memProgram;
    if (hledani.Prazdne() || e.isReadOnly() || !RozsahPlati()) return false;
    const TEditorProgramu::TUsek v = e.Vyber();
    const std::optional<TEditorProgramu::TUsek> rozsah = RozsahHledani();
    const bool uvnitr = !rozsah || (v.Od >= rozsah->Od && v.Po <= rozsah->Po);
    // The selection is replaced only when it is an occurrence (found by the
    // last search, or selected so by the user); then the next one is found.
    if (uvnitr && hledani.JeVyskyt(e.Utf8(), v.Od, v.Po)) {
        const QByteArray nahrada = NajitForm->Nahrada().toUtf8();
        // One replacement, one undo step.
        e.ZacitKrok();
        e.SendScintilla(QB::SCI_BEGINUNDOACTION);
        e.SendScintilla(QB::SCI_SETTARGETRANGE, static_cast<unsigned long>(v.Od), long(v.Po));
        e.SendScintilla(QB::SCI_REPLACETARGET, static_cast<unsigned long>(nahrada.size()), nahrada.constData());
        e.SendScintilla(QB::SCI_ENDUNDOACTION);
        const long za = long(v.Od) + long(nahrada.size());
        e.SendScintilla(QB::SCI_SETSEL, static_cast<unsigned long>(za), za);
    }
    return Najit(true);
}

std::size_t THlavniForm::NahraditVse() {
    if (pruchodBezi_ || !NajitForm) return 0;
    const THledani hledani(NajitForm->Zadani());
    TEditorProgramu& e = *ui->memProgram;
    if (hledani.Prazdne() || e.isReadOnly() || !RozsahPlati()) return 0;
    const QByteArray nahradaUtf8 = NajitForm->Nahrada().toUtf8();
    const std::string_view nahrada(nahradaUtf8.constData(), std::size_t(nahradaUtf8.size()));
    const std::optional<TEditorProgramu::TUsek> rozsah = RozsahHledani();
    // Told where it was asked for, whatever the dialog does while the work serves the window.
    const bool vDialogu = NajitForm->isVisible();
    std::size_t pocet = 0;
    {
        // The new text is built beside the one shown, read in place, and
        // replaces it as one undo step: a command's way, whatever the count.
        const TPrace prace(*this);
        const std::string_view text = e.Utf8();
        const TEditorProgramu::TUsek r = rozsah.value_or(TEditorProgramu::TUsek{0, text.size()});
        TEditorProgramu::TNovyText novy(e, text.size() + text.size() / 8);
        std::size_t pozice = 0, dalsiPrubeh = 0;
        pocet = hledani.ProKazdy(text, r.Od, r.Po, [&](std::size_t od, std::size_t po) {
            novy.Pridat(text.substr(pozice, od - pozice));
            novy.Pridat(nahrada);
            pozice = po;
            if (od >= dalsiPrubeh) {
                PrubehPrace(od, text.size());
                dalsiPrubeh = od + (std::size_t{1} << 20);
            }
        });
        if (pocet > 0) {
            novy.Pridat(text.substr(pozice));
            // Within the selection: the part replaced stays selected and marked.
            const std::size_t konec = r.Po + novy.Delka() - text.size();
            const std::optional<TEditorProgramu::TUsek> novyRozsah =
                rozsah ? std::optional(TEditorProgramu::TUsek{r.Od, konec}) : std::nullopt;
            e.Nahradit(novy, novyRozsah);
            if (novyRozsah) OznacitRozsah(novyRozsah);
        }
    }
    const QString zprava = pocet > 0 ? Q(rsNAHRAZENO) + QStringLiteral(": ") + QString::number(pocet) + u'.'
                                     : Q(rsNENALEZENO) + QStringLiteral(": \"") + NajitForm->Zadani().Text + QStringLiteral("\".");
    if (pocet == 0) QApplication::beep();
    if (vDialogu)
        NajitForm->ZobrazitStav(zprava);
    else
        Hlaseni->ZobrazitHlaseni(thInformace, zprava, Q(rsINFORMACE));
    return pocet;
}

// ---------------------------------------------------------------- the changes

const TPorovnani& THlavniForm::Porovnani() {
    TEditorProgramu &program = *ui->memProgram, &puvodni = *ui->memPuvodni;
    const std::pair<std::uint64_t, std::uint64_t> verze{program.Verze(), puvodni.Verze()};
    if (!porovnani_ || verze != verzePorovnani_) {
        porovnani_.reset();
        const auto radku = [](TEditorProgramu& e) { return std::size_t(e.SendScintilla(QB::SCI_GETLINECOUNT)); };
        std::vector<TBlokPorovnani> bloky = ZarovnatRadky(program.UpravyRadku(), radku(program), radku(puvodni));
        porovnani_ = std::make_unique<TPorovnani>(puvodni.Utf8(), program.Utf8(), std::move(bloky));
        verzePorovnani_ = verze;
    }
    return *porovnani_;
}

bool THlavniForm::PrejitNaZmenu(bool dalsi) {
    if (!PrikazMuzeBezet()) return false;
    TEditorProgramu& e = *ui->memProgram;
    const TPorovnani& p = Porovnani();
    const std::size_t radek = e.RadekPozice(std::size_t(e.SendScintilla(QB::SCI_GETCURRENTPOS)));
    // A change of removed lines leads to the line after them: one that leads
    // to the caret's own line is passed by.
    std::size_t r = p.RadekProgramu(radek);
    while (const std::optional<TPorovnani::TZmena> z = dalsi ? p.DalsiZmena(r) : p.PredchoziZmena(r)) {
        const std::size_t cil = p.RadekVProgramu(z->Od);
        if (cil != radek) {
            PrejitNaRadek(cil);
            return true;
        }
        r = z->Od;
    }
    QApplication::beep();
    return false;
}

void THlavniForm::aDalsiZmenaExecute() {
    Chranene([this] { PrejitNaZmenu(true); });
}

void THlavniForm::aPredchoziZmenaExecute() {
    Chranene([this] { PrejitNaZmenu(false); });
}

void THlavniForm::aPorovnatExecute() {
    Chranene([this] {
        if (!PrikazMuzeBezet() || !PorovnaniForm) return;
        TEditorProgramu& e = *ui->memProgram;
        const TPorovnani& p = Porovnani();
        const std::size_t radek = e.RadekPozice(std::size_t(e.SendScintilla(QB::SCI_GETCURRENTPOS)));
        PorovnaniForm->Nastavit(&p, ui->memPuvodni, &e, p.RadekProgramu(radek));
        const int vysledek = Modalni::Dialog(*PorovnaniForm);
        const std::size_t vybrany = PorovnaniForm->AktualniRadek();
        PorovnaniForm->Nastavit(nullptr, nullptr, nullptr, 0);
        if (vysledek == QDialog::Accepted) PrejitNaRadek(p.RadekVProgramu(vybrany));
    });
}
