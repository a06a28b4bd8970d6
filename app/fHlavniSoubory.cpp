// The main window's program files: opening (the open command, the command
// line, a drop, the desktop's "Open with"), the question about unsaved
// changes, saving, and the file bar.
#include "fHlavni.h"

#include "ui_fHlavni.h"

#include "app/ObecnaChyba.h"
#include "ui/fNastaveni.h"
#include "katalog/Zpravy.h"
#include "katalog/convar.h"
#include "platform/CteniTextu.h"
#include "platform/ZapisSouboru.h"
#include "ui/Hlaseni.h"
#include "ui/Modalni.h"

#include <QAction>
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
    const int odpoved = Hlaseni->ZobrazitHlaseni(thDotaz, text, Q(rsPOTVRZENI));
    if (odpoved == Tlacitko::Storno) return false;
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
    const TKodovani kodovani = PrecistProgram(soubor, program, puvodni, odhad);
    NastavitAktualniSoubor(cesta, kodovani, program, puvodni, typ);
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
                                      TEditorProgramu::TNovyText& puvodni, std::size_t odhad) {
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
        });
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
                                         TEditorProgramu::TNovyText& puvodni, const std::optional<TTypSouboru>& typ) {
    ui->memProgram->Nacist(program);
    ui->memPuvodni->Nacist(puvodni);
    for (TEditorProgramu* e : {ui->memProgram, ui->memPuvodni}) e->NastavitTypSouboru(typ);
    aktualniSoubor_ = cesta;
    kodovaniSouboru_ = kodovani;
    ui->lblSoubor->setText(ZkratitCestu(QDir::toNativeSeparators(cesta), ui->lblSoubor->font(),
                                        ui->lblSoubor->width()));
    typ_ = typ.value_or(TTypSouboru{});
    stavUlozeniZnam_ = true;
    ObnovitStavUlozeni();
    panel0_->setText(TextStatistiky());
    StatistikyZobrazeny();
    panel1_->setText(typ ? Q(typ->Nazev) : QString());
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
    ZapsatProgram(aktualniSoubor_);
    return true;
}

bool THlavniForm::UlozitJako() {
    if (pruchodBezi_) return false;
    const auto volba = Modalni::UlozitSoubor(this, filtr_, poziceFiltru_,
                                             aktualniSoubor_.isEmpty() ? nabizenySoubor_ : aktualniSoubor_);
    if (!volba) return false;
    const QString cesta = QFileInfo(volba->Soubor).absoluteFilePath();
    ZapsatProgram(cesta);
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
            panel1_->setText(Q(typ->Nazev));
            panel0_->setText(TextStatistiky());
            StatistikyZobrazeny();
        }
    }
    ui->lblSoubor->setText(ZkratitCestu(QDir::toNativeSeparators(cesta), ui->lblSoubor->font(),
                                        ui->lblSoubor->width()));
    ZapamatovatSoubor(cesta);
    return true;
}

void THlavniForm::ZapsatProgram(const QString& cesta) {
    const std::string_view text = ui->memProgram->Utf8();
    const TKodovani pozadovane = KodovaniProZapis(kodovaniSouboru_);
    // A character the encoding cannot hold, or a start that would read back
    // as a mark: the file becomes UTF-8 with a mark.
    const bool lze = LzeZakodovatUtf8(text, pozadovane);
    const TKodovani pouzite = lze ? KodovaniZapisu(pozadovane, text.substr(0, 16)) : TKodovani::Utf8Znacka;
    const bool jakJe = pouzite == TKodovani::Utf8 && JePlatneUtf8(text);
    {
        // Written in pieces that end after a line break, the window served between them.
        const TPrace prace(*this);
        TZapisSouboru zapis(std::filesystem::path(cesta.toStdU16String()));
        std::string bajty(ZnackaKodovani(pouzite));
        constexpr std::size_t Kus = std::size_t{1} << 20;
        for (std::size_t od = 0; od < text.size();) {
            std::size_t konec = std::min(text.size(), od + Kus);
            if (konec < text.size()) {
                konec = cnc::KonecRadku(text, konec);
                if (konec < text.size()) konec += text.compare(konec, 2, "\r\n") == 0 ? 2 : 1;
            }
            if (jakJe) {
                zapis.Zapsat(text.substr(od, konec - od));
            } else {
                PrevestZUtf8(bajty, text.substr(od, konec - od), pouzite);
                zapis.Zapsat(bajty);
                bajty.clear();
            }
            od = konec;
            PrubehPrace(od, text.size());
        }
        if (!bajty.empty()) zapis.Zapsat(bajty);
        zapis.Dokoncit();
    }
    ui->memProgram->NastavitBodUlozeni();
    stavUlozeniZnam_ = true;
    ObnovitStavUlozeni();
    if (pouzite != pozadovane) {
        // The program is read in the new encoding from now on.
        kodovaniSouboru_ = pouzite;
        if (!lze) {
            const auto nazev = [](TKodovani k) {
                // The names are the encodings' own; the mark is said in the user's language.
                return k == TKodovani::Utf8Znacka ? QStringLiteral("UTF-8 ") + Q(rsSEZNACKOU)
                                                  : QString::fromLatin1(NazevKodovani(k));
            };
            Hlaseni->ZobrazitHlaseni(thInformace,
                                     Q(rsZNAKYMIMOKODOVANI) + QStringLiteral(": ") + nazev(pozadovane) +
                                         QStringLiteral(".\r") + Q(rsULOZENOVKODOVANI) + QStringLiteral(": ") +
                                         nazev(pouzite) + u'.',
                                     Q(rsINFORMACE));
        }
    }
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
