// The main window's program files: opening (the open command, the command
// line, a drop, the desktop's "Open with"), the question about unsaved
// changes, saving, and the file bar.
#include "fHlavni.h"

#include "ui_fHlavni.h"

#include "app/ObecnaChyba.h"
#include "ui/fNastaveni.h"
#include "katalog/Zpravy.h"
#include "katalog/convar.h"
#include "platform/ChybySouboru.h"
#include "platform/CteniTextu.h"
#include "prikazy/PrikazSouboru.h"
#include "ui/Hlaseni.h"
#include "ui/Modalni.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QFontMetrics>
#include <QMenu>
#include <QMimeData>

#include <system_error>

namespace {

QString Q(const std::u16string& s) { return QString::fromStdU16String(s); }

// The files a drag carries: local files only, else nothing.
std::optional<QStringList> PretazeneSoubory(const QMimeData* data) {
    if (!data || !data->hasUrls()) return std::nullopt;
    QStringList soubory;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) return std::nullopt;
        soubory << url.toLocalFile();
    }
    if (soubory.isEmpty()) return std::nullopt;
    return soubory;
}

}  // namespace

QString THlavniForm::SestavitFiltr() const {
    QStringList polozky;
    for (const TTypSouboru& typ : NastaveniForm->Typy()) {
        // A "|" inside a name or an extension would shift every later entry.
        const QString pripona = Q(typ.Pripona).replace(u'|', u'/');
        const QString nazev = Q(typ.Nazev).replace(u'|', u'/');
        polozky << nazev + QStringLiteral(" (*") + pripona + QStringLiteral(")|*") + pripona;
    }
    return polozky.join(u'|');
}

QString THlavniForm::ZkratitCestu(const QString& cesta, const QFont& pismo, int sirka) {
    const QFontMetrics miry(pismo);
    QString vysledek = cesta;
    // Both separators count, so that paths of either platform are fitted.
    QString c = cesta;
    c.replace(u'/', u'\\');
    const qsizetype posledni = c.lastIndexOf(u'\\');
    QString d = c.left(posledni + 1);
    const QString n = c.mid(posledni + 1);
    QString v;
    if (d.size() >= 2 && d[1] == u':') {
        v = d.left(2);
        d.remove(0, 2);
    }
    const auto zpet = [&](QString s) {
        // Shown with the separator the path came with.
        if (!cesta.contains(u'\\')) s.replace(u'\\', u'/');
        return s;
    };
    while ((!d.isEmpty() || !v.isEmpty()) && miry.horizontalAdvance(vysledek) > sirka) {
        if (d == u"\\...\\") {
            v.clear();
            d = QStringLiteral("...\\");
        } else if (d.isEmpty()) {
            v.clear();
        } else if (d == u"\\") {
            d.clear();
        } else {
            const bool lomitko = d.startsWith(u'\\');
            if (lomitko) d.remove(0, 1);
            if (d.startsWith(u'.')) d.remove(0, 4);
            const qsizetype p = d.indexOf(u'\\');
            if (p >= 0) {
                d = QStringLiteral("...\\") + d.mid(p + 1);
            } else {
                d.clear();
            }
            if (lomitko) d.prepend(u'\\');
        }
        vysledek = zpet(v + d + n);
    }
    return vysledek;
}

bool THlavniForm::MoznaUlozit() {
    if (!Zmeneno()) return true;
    // A program without a name (typed into the empty window) is asked about without one.
    const QString text = aktualniSoubor_.isEmpty()
                             ? Q(rsULOZITSOUBOR) + u'?'
                             : Q(rsULOZITSOUBOR) + u'\r' + u'"' + aktualniSoubor_ + u'"' + u'?';
    // Cancel (Escape, or closing the question) leaves everything as it was.
    const int odpoved = Hlaseni->ZobrazitHlaseni(thDotaz, text, Q(rsPOTVRZENI),
                                                 StylHlaseni::IkonaDotazu | StylHlaseni::AnoNeStorno);
    if (odpoved != Tlacitko::Ano && odpoved != Tlacitko::Ne) return false;
    // Yes: saved, or (without a name the user did not give) kept as it is.
    if (odpoved == Tlacitko::Ano) return UlozitSoubor();
    return true;
}

void THlavniForm::aOtevritExecute() {
    Chranene([this] { OtevritSoubor(); });
}

void THlavniForm::OtevritSoubor() {
    if (pruchodBezi_) return;
    // Whatever the answer, the dialog follows (unless the save fails, or the
    // user did not name a program that has no name).
    if (!MoznaUlozit()) return;
    const auto volba = Modalni::OtevritSoubor(this, filtr_, poziceFiltru_,
                                              nabizenySoubor_.isEmpty() ? aktualniSoubor_ : nabizenySoubor_);
    if (!volba) return;
    // The dialog keeps what was chosen, also when the file then cannot be read.
    nabizenySoubor_ = volba->Soubor;
    poziceFiltru_ = volba->PoziceFiltru;

    const QString cesta = QFileInfo(volba->Soubor).absoluteFilePath();
    // The row at the chosen filter position (none past the list).
    NacistDokument(cesta, NastaveniForm->TypNaRadku(poziceFiltru_ - 1));
}

bool THlavniForm::LzeCist(const QString& cesta) {
    std::error_code ec;
    const auto stav = std::filesystem::status(std::filesystem::path(cesta.toStdU16String()), ec);
    // A path that is not there (or cannot be looked at) fails as the reading says.
    if (ec || !std::filesystem::exists(stav) || std::filesystem::is_regular_file(stav)) return true;
    const std::u16string& duvod = std::filesystem::is_directory(stav) ? rsJESLOZKA : rsNENIBEZNYSOUBOR;
    Hlaseni->ZobrazitHlaseni(thChyba, ZpravaOSouboru(rsNELZEOTEVRIT, QDir::toNativeSeparators(cesta), Q(duvod)) + u'.',
                             Q(rsCHYBA));
    return false;
}

bool THlavniForm::NacistDokument(const QString& cesta, const std::optional<TTypSouboru>& typ) {
    if (!LzeCist(cesta)) return false;
    // One work from the first byte to the statistics: the documents' room
    // (taken while the window is served), the reading, the text areas.
    const TPrace prace(*this);
    // The whole file is read before anything shown changes: a file that cannot
    // be read leaves the document, its name and the file type as they were.
    const std::filesystem::path soubor(cesta.toStdU16String());
    const std::size_t odhad = OdhadTextu(soubor);
    TEditorProgramu::TNovyText program(*ui->memProgram, odhad), puvodni(*ui->memPuvodni, odhad);
    std::optional<TOtiskSouboru> otisk;
    const TKodovani kodovani = PrecistProgram(soubor, program, puvodni, odhad, otisk);
    NastavitAktualniSoubor(cesta, kodovani, program, puvodni, typ, otisk);
    ZapamatovatSoubor(cesta);
    return true;
}

std::size_t THlavniForm::OdhadTextu(const std::filesystem::path& soubor) {
    std::error_code ec;
    const auto velikost = static_cast<std::size_t>(std::filesystem::file_size(soubor, ec));
    // Room for LF breaks that become CR LF, too.
    return ec ? 0 : velikost + velikost / 32;
}

TKodovani THlavniForm::PrecistProgram(const std::filesystem::path& soubor, TEditorProgramu::TNovyText& program,
                                      TEditorProgramu::TNovyText& puvodni, std::size_t odhad,
                                      std::optional<TOtiskSouboru>& otisk) {
    // Both text areas get their documents as the file is read.
    const TPrace prace(*this);
    return NacistTextEditoru(
        soubor,
        [&](std::string_view kus) {
            program.Pridat(kus);
            puvodni.Pridat(kus);
            PrubehPrace(std::min(program.Delka(), odhad), odhad);
        },
        [&] {
            program.Vyprazdnit();
            puvodni.Vyprazdnit();
        },
        &otisk);
}

void THlavniForm::OtevritPredany(const QString& soubor) {
    Chranene([&] {
        if (pruchodBezi_) return;
        if (!MoznaUlozit()) return;
        const QString cesta = QFileInfo(soubor).absoluteFilePath();
        const std::vector<TTypSouboru> typy = NastaveniForm->Typy();
        const std::optional<std::size_t> typ = ZvolitTypSouboru(typy, std::filesystem::path(cesta.toStdU16String()));
        if (!NacistDokument(cesta, typ ? std::optional<TTypSouboru>(typy[*typ]) : std::nullopt)) return;
        // The open dialog offers it next, with its type.
        nabizenySoubor_ = cesta;
        if (typ) poziceFiltru_ = int(*typ) + 1;
    });
}

bool THlavniForm::Pretazeni(QEvent* udalost) {
    const auto typ = udalost->type();
    if (typ != QEvent::DragEnter && typ != QEvent::DragMove && typ != QEvent::Drop) return false;
    auto* pretazeni = static_cast<QDropEvent*>(udalost);
    const std::optional<QStringList> soubory = PretazeneSoubory(pretazeni->mimeData());
    if (!soubory) return false;
    // One program, never moved away from where it came from. A folder, a
    // pipe or a device is taken too, to be told why it does not open.
    const bool lze = !pruchodBezi_ && soubory->size() == 1 && QFileInfo::exists(soubory->front()) &&
                     pretazeni->possibleActions().testFlag(Qt::CopyAction);
    if (!lze) {
        pretazeni->ignore();
        return true;
    }
    pretazeni->setDropAction(Qt::CopyAction);
    pretazeni->accept();
    if (typ == QEvent::Drop) {
        // Opened once the drop has ended, so that the program the file came
        // from does not wait for the question or the reading.
        QMetaObject::invokeMethod(
            this, [this, soubor = soubory->front()] { OtevritPredany(soubor); }, Qt::QueuedConnection);
    }
    return true;
}

void THlavniForm::dragEnterEvent(QDragEnterEvent* udalost) {
    if (!Pretazeni(udalost)) QMainWindow::dragEnterEvent(udalost);
}

void THlavniForm::dragMoveEvent(QDragMoveEvent* udalost) {
    if (!Pretazeni(udalost)) QMainWindow::dragMoveEvent(udalost);
}

void THlavniForm::dropEvent(QDropEvent* udalost) {
    if (!Pretazeni(udalost)) QMainWindow::dropEvent(udalost);
}

bool THlavniForm::eventFilter(QObject* objekt, QEvent* udalost) {
    // Files dragged onto a text area are the window's; text stays the area's.
    if (Pretazeni(udalost)) return true;
    return QMainWindow::eventFilter(objekt, udalost);
}

void THlavniForm::NastavitAktualniSoubor(const QString& cesta, TKodovani kodovani, TEditorProgramu::TNovyText& program,
                                         TEditorProgramu::TNovyText& puvodni, const std::optional<TTypSouboru>& typ,
                                         const std::optional<TOtiskSouboru>& otisk) {
    ui->memProgram->Nacist(program);
    ui->memPuvodni->Nacist(puvodni);
    for (TEditorProgramu* e : {ui->memProgram, ui->memPuvodni}) e->NastavitTypSouboru(typ);
    aktualniSoubor_ = cesta;
    kodovaniSouboru_ = kodovani;
    otisk_ = otisk;
    ohlasenaZmena_.reset();
    // The user goes on in the program (arrow keys scroll it, never a setting).
    ui->memProgram->setFocus();
    ui->lblSoubor->setText(ZkratitCestu(QDir::toNativeSeparators(cesta), ui->lblSoubor->font(),
                                        ui->lblSoubor->width()));
    typ_ = typ.value_or(TTypSouboru{});
    stavUlozeniZnam_ = true;
    ObnovitStavUlozeni();
    SpocitatAZobrazitStatistiky();
    ZobrazitTypSouboru(typ ? Q(typ->Nazev) : QString());
    ZobrazitOdhadTypu();
}

void THlavniForm::ZobrazitTypSouboru(const QString& nazev) {
    // The panel is 120 pixels wide, wider for a longer name, which is shown whole.
    panel1_->setText(nazev);
    const int okraj = 2 * panel1_->fontMetrics().horizontalAdvance(u' ') + 4;
    panel1_->setFixedWidth(std::max(120, panel1_->fontMetrics().horizontalAdvance(nazev) + okraj));
}

void THlavniForm::aUlozitExecute() {
    Chranene([this] { UlozitSoubor(); });
}

void THlavniForm::aUlozitJakoExecute() {
    Chranene([this] { UlozitJako(); });
}

bool THlavniForm::UlozitSoubor() {
    if (pruchodBezi_) return false;
    // A program typed into the empty window gets its name now.
    if (aktualniSoubor_.isEmpty()) return UlozitJako();
    return PrepsatSoubor(otisk_);
}

bool THlavniForm::PrepsatSoubor(std::optional<TOtiskSouboru> precteny) {
    // The writer itself tells a file that is no longer the one read (as it
    // opens it and just before it takes its place): there is no moment
    // between a look and the writing in which another program's work could
    // be lost. The user then decides; overwriting writes over the file as it
    // was when asked, and asks again if it changes once more.
    for (;;) {
        try {
            ZapsatProgram(aktualniSoubor_, precteny);
            return true;
        } catch (const TZmenenoOdCteni&) {
        }
        switch (OtazkaZvenku(precteny)) {
            case TOdpovedZvenku::Prepsat: continue;
            case TOdpovedZvenku::UlozenoJinam: return true;
            case TOdpovedZvenku::Nic: return false;
        }
    }
}

void THlavniForm::KontrolaZvenku() {
    const std::filesystem::path soubor(aktualniSoubor_.toStdU16String());
    if (::ZmenaZvenku(soubor, otisk_) == TZmenaZvenku::Zadna) return;
    // Each state of the file is asked about once.
    if (ohlasenaZmena_ && *ohlasenaZmena_ == OtiskSouboru(soubor)) return;
    std::optional<TOtiskSouboru> precteny = otisk_;
    if (OtazkaZvenku(precteny) == TOdpovedZvenku::Prepsat) PrepsatSoubor(precteny);
}

THlavniForm::TOdpovedZvenku THlavniForm::OtazkaZvenku(std::optional<TOtiskSouboru>& precteny) {
    const std::filesystem::path soubor(aktualniSoubor_.toStdU16String());
    // Gone, or another file (or the same one changed) stands there.
    const bool zmizel = ::ZmenaZvenku(soubor, precteny) == TZmenaZvenku::Zmizel;
    // Overwriting writes over the file as it is now, and only over that.
    precteny = OtiskSouboru(soubor);
    ohlasenaZmena_ = precteny;
    QString text = Q(zmizel ? rsZMIZELZVENKU : rsZMENENZVENKU) + QStringLiteral(":\r\"") +
                   QDir::toNativeSeparators(aktualniSoubor_) + u'"';
    if (!zmizel && Zmeneno()) text += u'\r' + Q(rsZMENYSEZTRATI) + u'.';
    // Read again (not when it is gone), overwrite (write it anew), save as.
    QStringList odpovedi;
    if (!zmizel) odpovedi << Q(rsNACISTZNOVU);
    odpovedi << (zmizel ? ui->aUlozit->text() : Q(rsPREPSAT)) << ui->aUlozitJako->text();
    // Enter reads an unchanged program again, and cancels otherwise.
    const int vychozi = !zmizel && !Zmeneno() ? 0 : -1;
    int odpoved = Hlaseni->ZobrazitVolbu(thVarovani, text, Q(rsVAROVANI), odpovedi, vychozi);
    // Without "read again" the answers start at "overwrite"; Cancel stays Cancel.
    if (zmizel && odpoved >= 0) ++odpoved;
    switch (odpoved) {
        case 0:
            // The file's program, with the file type it was opened as; the
            // window's program is not saved (a closing window stays open).
            NacistDokument(aktualniSoubor_, typ_ == TTypSouboru{} ? std::nullopt : std::optional<TTypSouboru>(typ_));
            return TOdpovedZvenku::Nic;
        case 1: return TOdpovedZvenku::Prepsat;
        case 2: return UlozitJako() ? TOdpovedZvenku::UlozenoJinam : TOdpovedZvenku::Nic;
        default: return TOdpovedZvenku::Nic;
    }
}

void THlavniForm::NaplanovatKontroluZvenku() {
    if (kontrolaZvenkuNaplanovana_) return;
    kontrolaZvenkuNaplanovana_ = true;
    // Once the activation is over, and only when nothing else asks or works.
    QMetaObject::invokeMethod(
        this,
        [this] {
            kontrolaZvenkuNaplanovana_ = false;
            if (aktualniSoubor_.isEmpty() || pruchodBezi_ || QApplication::activeModalWidget() || !isActiveWindow())
                return;
            Chranene([this] { KontrolaZvenku(); });
        },
        Qt::QueuedConnection);
}

bool THlavniForm::UlozitJako() {
    if (pruchodBezi_) return false;
    const auto volba = Modalni::UlozitSoubor(this, filtr_, poziceFiltru_,
                                             aktualniSoubor_.isEmpty() ? nabizenySoubor_ : aktualniSoubor_);
    if (!volba) return false;
    const QString cesta = QFileInfo(volba->Soubor).absoluteFilePath();
    // The program's own file is written only while it is the file read, as a save does.
    if (cesta == aktualniSoubor_) return PrepsatSoubor(otisk_);
    ZapsatProgram(cesta, std::nullopt);
    // The program is that file from now on; the original tab keeps the text
    // as it was opened. A program that had no file type (typed into the
    // empty window) takes the one chosen in the dialog.
    aktualniSoubor_ = cesta;
    nabizenySoubor_ = cesta;
    ObnovitTitulek();
    if (typ_ == TTypSouboru{}) {
        poziceFiltru_ = volba->PoziceFiltru;
        if (const std::optional<TTypSouboru> typ = NastaveniForm->TypNaRadku(poziceFiltru_ - 1)) {
            typ_ = *typ;
            for (TEditorProgramu* e : {ui->memProgram, ui->memPuvodni}) e->NastavitTypSouboru(typ);
            ZobrazitTypSouboru(Q(typ->Nazev));
            SpocitatAZobrazitStatistiky();
        }
    }
    ui->lblSoubor->setText(ZkratitCestu(QDir::toNativeSeparators(cesta), ui->lblSoubor->font(),
                                        ui->lblSoubor->width()));
    ZapamatovatSoubor(cesta);
    return true;
}

void THlavniForm::ZapsatProgram(const QString& cesta, const std::optional<TOtiskSouboru>& precteny) {
    TUlozeniProgramu ulozeni;
    {
        // Written in pieces that end after a line break, the window served between them.
        const TPrace prace(*this);
        ulozeni = UlozitProgram(std::filesystem::path(cesta.toStdU16String()), ui->memProgram->Utf8(),
                                kodovaniSouboru_, precteny, [this](std::size_t hotovo, std::size_t celkem) {
                                    PrubehPrace(hotovo, celkem);
                                });
    }
    otisk_ = ulozeni.Otisk;
    ohlasenaZmena_.reset();
    ui->memProgram->NastavitBodUlozeni();
    stavUlozeniZnam_ = true;
    ObnovitStavUlozeni();
    if (ulozeni.Pouzite == ulozeni.Pozadovane) return;
    // The program is read in the new encoding from now on.
    kodovaniSouboru_ = ulozeni.Pouzite;
    // A start that would read back as a mark got one, silently; characters
    // the encoding cannot hold are told.
    if (ulozeni.ZacatekJakoZnacka) return;
    const auto nazev = [](TKodovani k) {
        // The names are the encodings' own; the mark is said in the user's language.
        return k == TKodovani::Utf8Znacka ? QStringLiteral("UTF-8 ") + Q(rsSEZNACKOU)
                                          : QString::fromLatin1(NazevKodovani(k));
    };
    Hlaseni->ZobrazitHlaseni(thInformace,
                             Q(rsZNAKYMIMOKODOVANI) + QStringLiteral(": ") + nazev(ulozeni.Pozadovane) +
                                 QStringLiteral(".\r") + Q(rsULOZENOVKODOVANI) + QStringLiteral(": ") +
                                 nazev(ulozeni.Pouzite) + u'.',
                             Q(rsINFORMACE));
}

// ---------------------------------------------------------------- recent programs

void THlavniForm::ZapamatovatSoubor(const QString& cesta) {
#ifdef _WIN32
    const Qt::CaseSensitivity velikost = Qt::CaseInsensitive;
#else
    const Qt::CaseSensitivity velikost = Qt::CaseSensitive;
#endif
    posledni_.removeIf([&](const QString& s) { return s.compare(cesta, velikost) == 0; });
    posledni_.prepend(cesta);
    while (posledni_.size() > qsizetype(TUlozeneNastaveni::PocetPoslednich)) posledni_.removeLast();
    ObnovitMenuPoslednich();
}

void THlavniForm::ObnovitMenuPoslednich() {
    if (!menuPoslednich_) return;
    menuPoslednich_->clear();
    for (qsizetype i = 0; i < posledni_.size(); ++i) {
        // "&1 path": the digit chooses it from the keyboard; an "&" of the path is no access key.
        const QString text = QStringLiteral("&%1 ").arg(i + 1) + QDir::toNativeSeparators(posledni_[i]).replace(
                                                                      u'&', QStringLiteral("&&"));
        QAction* a = menuPoslednich_->addAction(text);
        // Opened once the menu is gone: the list, and this entry, are made anew.
        connect(a, &QAction::triggered, this, [this, soubor = posledni_[i]] { OtevritPosledni(soubor); },
                Qt::QueuedConnection);
    }
    ui->aPosledni->setEnabled(!posledni_.isEmpty() && !pruchodBezi_);
}

void THlavniForm::OtevritPosledni(const QString& soubor) {
    OtevritPredany(soubor);
    // A program no longer there (told by the reading) leaves the list.
    if (QFileInfo::exists(soubor) || !posledni_.contains(soubor)) return;
    posledni_.removeAll(soubor);
    ObnovitMenuPoslednich();
}
