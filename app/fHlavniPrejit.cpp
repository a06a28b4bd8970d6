// The main window's ways into the program: go to block (Ctrl+G), a block
// number in the program section of the caret or a line, and the lines of a
// command's report that lead to the program lines they name.
#include "fHlavni.h"

#include "ui_fHlavni.h"

#include "app/ObecnaChyba.h"
#include "engine/Odkazy.h"
#include "katalog/convar.h"
#include "ui/Hlaseni.h"
#include "ui/fPrejit.h"

#include <Qsci/qsciscintilla.h>

#include <charconv>

namespace {

QString Q(const std::u16string& s) { return QString::fromStdU16String(s); }

// The start of the line before the one that starts at zacatek (> 0).
std::size_t PredchoziRadek(std::string_view text, std::size_t zacatek) {
    std::size_t z = zacatek - 1;  // the last byte of the break before it
    if (text[z] == '\n' && z > 0 && text[z - 1] == '\r') --z;
    while (z > 0 && text[z - 1] != '\n' && text[z - 1] != '\r') --z;
    return z;
}

// What a block number finds in the program section of a line.
struct TNalezBloku {
    std::optional<std::size_t> Pozice;      // the start of the block's line
    std::optional<std::uint64_t> Posledni;  // the number of the section's last block, when it has one
};

// The block numbered cislo in the program section of the line that starts at
// zacatekRadku: from the nearest line above it (or it) that starts a program
// (the start marker, an O-program), to the next such line after a block.
// Block lines and their numbers are those the block commands see.
TNalezBloku NajitBlok(std::string_view text, const TTypSouboru& typ, std::size_t zacatekRadku, std::uint64_t cislo) {
    const cnc::TZnackaUtf8 hlavni(typ.HlavniZnak), vedlejsi(typ.VedlejsiZnak), zacatek(typ.Zacatek),
        komentar(typ.Komentar);
    const auto h = hlavni.Znacka(), v = vedlejsi.Znacka(), z = zacatek.Znacka(), k = komentar.Znacka();
    const TPravidlaBloku pravidla(
        TZnakyOdkazu{h.Text, v.Text, z.Text, k.Text, h.MuzeZacinat, v.MuzeZacinat, z.MuzeZacinat});
    const auto radek = [&](std::size_t od) { return text.substr(od, cnc::KonecRadku(text, od) - od); };
    const auto zacinaProgram = [&](std::string_view r) {
        return pravidla.JeZacatek(r) || pravidla.CisloProgramu(r).has_value();
    };
    std::size_t od = zacatekRadku;
    while (od > 0 && !zacinaProgram(radek(od))) od = PredchoziRadek(text, od);
    TNalezBloku nalez;
    for (;;) {
        const std::string_view r = radek(od);
        // The next program starts: the section has ended (program starts
        // right after one another, "%" and "O1234", are one start).
        if (nalez.Posledni && zacinaProgram(r)) break;
        const TPravidlaBloku::TBlok blok = pravidla.Rozebrat(r);
        if (blok.Blokovy && blok.Cislic > 0) {
            if (blok.Hodnota == cislo) {
                nalez.Pozice = od;
                return nalez;
            }
            nalez.Posledni = blok.Hodnota;
        }
        const std::size_t konec = od + r.size();
        if (konec >= text.size()) break;
        od = cnc::ZaZlomem(text, konec);
    }
    return nalez;
}

// A whole number of decimal digits only, at least 1.
std::optional<std::uint64_t> Cislo(const QString& text) {
    if (text.isEmpty() || text.size() > 19) return std::nullopt;
    for (const QChar c : text)
        if (c < u'0' || c > u'9') return std::nullopt;
    const QByteArray a = text.toLatin1();
    std::uint64_t n = 0;
    std::from_chars(a.data(), a.data() + a.size(), n);
    if (n == 0) return std::nullopt;
    return n;
}

}  // namespace

void THlavniForm::aPrejitExecute() {
    Chranene([this] {
        if (pruchodBezi_) return;
        if (const std::optional<QString> cil = PrejitForm->Zadat()) PrejitNa(*cil);
    });
}

bool THlavniForm::PrejitNa(const QString& zadano) {
    const auto oznamit = [](const QString& text) {
        Hlaseni->ZobrazitHlaseni(thInformace, text + u'.', Q(rsINFORMACE));
        return false;
    };
    QString cil = zadano.trimmed();
    TEditorProgramu& e = *ui->memProgram;
    const long radku = e.SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT);
    // "L123": the line.
    if (cil.startsWith(u'L', Qt::CaseInsensitive)) {
        const std::optional<std::uint64_t> radek = Cislo(cil.mid(1).trimmed());
        if (!radek) return oznamit(Q(rsPREJITNEPLATNE));
        if (*radek > std::uint64_t(radku)) return oznamit(Q(rsRADEKNENI) + u' ' + QString::number(*radek));
        PrejitNaRadek(std::size_t(*radek - 1));
        return true;
    }
    // "123", or "N123" with a block character of the file type.
    for (const std::u16string* znak : {&typ_.HlavniZnak, &typ_.VedlejsiZnak}) {
        if (!znak->empty() && cil.startsWith(Q(*znak), Qt::CaseInsensitive)) {
            cil = cil.mid(qsizetype(znak->size())).trimmed();
            break;
        }
    }
    const std::optional<std::uint64_t> cislo = Cislo(cil);
    if (!cislo) return oznamit(Q(rsPREJITNEPLATNE));
    const std::size_t kurzor = e.RadekPozice(std::size_t(e.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS)));
    const std::string_view text = e.Utf8();
    const TNalezBloku nalez = NajitBlok(text, typ_, e.ZacatekRadku(kurzor), *cislo);
    if (nalez.Pozice) {
        PrejitNaRadek(e.RadekPozice(*nalez.Pozice));
        return true;
    }
    if (nalez.Posledni && *cislo > *nalez.Posledni)
        return oznamit(Q(rsBLOKZAPOSLEDNIM) + u' ' + QString::number(*nalez.Posledni));
    return oznamit(Q(rsBLOKNENALEZEN) + u' ' + QString::number(*cislo));
}

void THlavniForm::PrejitNaRadek(std::size_t radek) {
    TEditorProgramu& e = *ui->memProgram;
    ui->pgcSoubory->setCurrentWidget(ui->tshProgram);
    const long radku = e.SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT);
    const long r = std::min(long(radek), radku - 1);
    // A line out of sight comes to the middle of the area.
    const long prvni = e.SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE);
    const long naObrazovce = e.SendScintilla(QsciScintillaBase::SCI_LINESONSCREEN);
    const bool videt = r >= prvni && r < prvni + naObrazovce;
    e.SendScintilla(QsciScintillaBase::SCI_GOTOLINE, static_cast<unsigned long>(r));
    if (!videt)
        e.SendScintilla(QsciScintillaBase::SCI_SETFIRSTVISIBLELINE,
                        static_cast<unsigned long>(std::max(0L, r - naObrazovce / 2)));
    e.setFocus();
}

void THlavniForm::OhlasitSOdkazy(const THlaseniPrikazu& h) {
    const TTypHlaseni druh = h.Druh == TDruhHlaseni::Varovani ? thVarovani : thInformace;
    Hlaseni->ZobrazitHlaseniSOdkazy(druh, Q(h.Text), Q(h.Titulek), h.RadkyProgramu,
                                    [this](std::size_t radek) { PrejitNaRadek(radek); });
}
