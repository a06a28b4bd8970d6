#include "PohledPorovnani.h"

#include "ui/EditorProgramu.h"

#include <Qsci/qsciscintilla.h>

#include <QFontDatabase>
#include <QFontInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace {

// The colours of the rows and of the words that differ: changed lines as the
// margin marks them (orange), added ones green, removed ones red, and grey
// where a side has no line.
const QColor ZmenenyRadek(0xFF, 0xF0, 0xD8), ZmeneneSlovo(0xF6, 0xC0, 0x78);
const QColor PridanyRadek(0xDF, 0xF3, 0xDF), OdebranyRadek(0xFA, 0xDE, 0xDE), ZadnyRadek(0xEC, 0xEC, 0xEC);
const QColor Okraj(0xF0, 0xF0, 0xF0), CisloRadku(0x80, 0x80, 0x80);

constexpr int Tabulator = 8, Odsazeni = 4;

// A line's bytes as the characters shown (tabs as blanks to the next stop),
// and the column where each byte's character stands (one more for the end).
QString Znaky(std::string_view bajty, std::vector<int>& sloupce) {
    QString text;
    sloupce.assign(bajty.size() + 1, 0);
    std::size_t i = 0;
    while (i < bajty.size()) {
        const auto c = static_cast<unsigned char>(bajty[i]);
        std::size_t delka = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        delka = std::min(delka, bajty.size() - i);
        for (std::size_t k = 0; k < delka; ++k) sloupce[i + k] = int(text.size());
        if (c == '\t') {
            text += QString(Tabulator - int(text.size()) % Tabulator, u' ');
        } else {
            text += QString::fromUtf8(bajty.data() + i, qsizetype(delka));
        }
        i += delka;
    }
    sloupce[bajty.size()] = int(text.size());
    return text;
}

std::string_view Radek(const TEditorProgramu* e, std::size_t radek) {
    return RadekTextu(e->Utf8(), e->ZacatekRadku(radek));
}

}  // namespace

TPohledPorovnani::TPohledPorovnani(QWidget* rodic) : QAbstractScrollArea(rodic) {
    // The program's own fixed-pitch font, at the text areas' size.
    pismo_ = QFont(QStringLiteral("Courier New"));
    if (!QFontInfo(pismo_).fixedPitch()) pismo_ = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    pismo_.setPixelSize(13);
    sirkaZnaku_ = std::max(1, QFontMetrics(pismo_).horizontalAdvance(u'0'));
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Base);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

void TPohledPorovnani::Nastavit(const TPorovnani* porovnani, const TEditorProgramu* puvodni,
                                const TEditorProgramu* program) {
    porovnani_ = porovnani && puvodni && program ? porovnani : nullptr;
    puvodni_ = puvodni;
    program_ = program;
    aktualni_ = 0;
    nejdelsi_ = 0;
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    AktualizovatPosuvniky();
    viewport()->update();
}

int TPohledPorovnani::VyskaRadku() const { return QFontMetrics(pismo_).height() + 1; }

int TPohledPorovnani::RadkuNaObrazovce() const { return std::max(1, viewport()->height() / VyskaRadku()); }

std::size_t TPohledPorovnani::PrvniRadek() const { return std::size_t(verticalScrollBar()->value()); }

std::size_t TPohledPorovnani::RadekNa(int y) const { return PrvniRadek() + std::size_t(std::max(0, y) / VyskaRadku()); }

int TPohledPorovnani::SirkaOkraje() const {
    // Room for the numbers of the longer text.
    int cislic = 1;
    for (std::size_t n = porovnani_ ? std::max(porovnani_->Radku(), std::size_t(9)) : 9; n >= 10; n /= 10) ++cislic;
    return (cislic + 1) * sirkaZnaku_ + Odsazeni;
}

int TPohledPorovnani::SirkaTextu() const {
    return std::max(0, viewport()->width() / 2 - SirkaOkraje() - Odsazeni);
}

void TPohledPorovnani::AktualizovatPosuvniky() {
    const std::size_t radku = porovnani_ ? porovnani_->Radku() : 0;
    const int naObrazovce = RadkuNaObrazovce();
    verticalScrollBar()->setRange(0, int(std::min<std::size_t>(INT_MAX, radku > std::size_t(naObrazovce) ? radku - naObrazovce : 0)));
    verticalScrollBar()->setPageStep(naObrazovce);
    verticalScrollBar()->setSingleStep(1);
    // The widest line painted so far, in the narrower half.
    horizontalScrollBar()->setRange(0, std::max(0, (nejdelsi_ + 1) * sirkaZnaku_ - SirkaTextu()));
    horizontalScrollBar()->setPageStep(std::max(1, SirkaTextu()));
    horizontalScrollBar()->setSingleStep(sirkaZnaku_ * 4);
}

void TPohledPorovnani::resizeEvent(QResizeEvent* udalost) {
    QAbstractScrollArea::resizeEvent(udalost);
    AktualizovatPosuvniky();
}

void TPohledPorovnani::scrollContentsBy(int, int) { viewport()->update(); }

TPohledPorovnani::TStrana TPohledPorovnani::Obsah(std::size_t radek, bool puvodni) const {
    TStrana s;
    if (!porovnani_ || radek >= porovnani_->Radku()) return s;
    const TPorovnani::TRadek r = porovnani_->Radek(radek);
    const std::optional<std::size_t> cislo = puvodni ? r.Puvodne : r.Nyni;
    if (!cislo) return s;
    s.Cislo = *cislo + 1;
    const std::string_view bajty = Radek(puvodni ? puvodni_ : program_, *cislo);
    std::vector<int> sloupce;
    s.Text = Znaky(bajty, sloupce);
    if (r.Puvodne && r.Nyni) {
        const std::string_view jine = Radek(puvodni ? program_ : puvodni_, puvodni ? *r.Nyni : *r.Puvodne);
        if (jine != bajty) {
            s.Zmeneny = true;
            const TRozdilSlov rozdil = puvodni ? RozdilSlov(bajty, jine) : RozdilSlov(jine, bajty);
            for (const auto& [od, po] : puvodni ? rozdil.A : rozdil.B) s.Zmeny.emplace_back(sloupce[od], sloupce[po]);
        }
    }
    return s;
}

void TPohledPorovnani::paintEvent(QPaintEvent*) {
    QPainter p(viewport());
    const int sirka = viewport()->width(), vyska = VyskaRadku();
    p.fillRect(viewport()->rect(), palette().color(QPalette::Base));
    if (!porovnani_) return;
    p.setFont(pismo_);
    const QFontMetrics fm(pismo_);
    const int polovina = sirka / 2;
    const int okraj = SirkaOkraje();
    const int posun = horizontalScrollBar()->value();
    const std::size_t prvni = PrvniRadek();
    const std::size_t posledni = std::min(porovnani_->Radku(), prvni + std::size_t(RadkuNaObrazovce()) + 1);
    int nejdelsi = nejdelsi_;
    for (std::size_t r = prvni; r < posledni; ++r) {
        const int y = int(r - prvni) * vyska;
        const TPorovnani::TRadek radek = porovnani_->Radek(r);
        for (const bool puvodni : {true, false}) {
            const int x0 = puvodni ? 0 : polovina;
            const int w = puvodni ? polovina : sirka - polovina;
            const TStrana s = Obsah(r, puvodni);
            QColor pozadi = palette().color(QPalette::Base);
            if (!s.Cislo)
                pozadi = ZadnyRadek;
            else if (!radek.Puvodne)
                pozadi = PridanyRadek;
            else if (!radek.Nyni)
                pozadi = OdebranyRadek;
            else if (s.Zmeneny)
                pozadi = ZmenenyRadek;
            p.fillRect(x0, y, w, vyska, pozadi);
            p.fillRect(x0, y, okraj, vyska, Okraj);
            if (!s.Cislo) continue;
            p.setPen(CisloRadku);
            p.drawText(QRect(x0, y, okraj - Odsazeni, vyska), Qt::AlignRight | Qt::AlignVCenter, QString::number(s.Cislo));
            p.save();
            p.setClipRect(x0 + okraj, y, w - okraj, vyska);
            const int xt = x0 + okraj + Odsazeni - posun;
            for (const auto& [od, po] : s.Zmeny)
                p.fillRect(xt + od * sirkaZnaku_, y, std::max(1, po - od) * sirkaZnaku_, vyska, ZmeneneSlovo);
            p.setPen(palette().color(QPalette::Text));
            p.drawText(xt, y + fm.ascent() + 1, s.Text);
            p.restore();
            nejdelsi = std::max(nejdelsi, int(s.Text.size()));
        }
        if (r == aktualni_) {
            p.setPen(QPen(palette().color(QPalette::Highlight), 1));
            p.drawRect(0, y, sirka - 1, vyska - 1);
        }
    }
    p.setPen(QColor(0xA0, 0xA0, 0xA0));
    p.drawLine(polovina, 0, polovina, viewport()->height());
    if (nejdelsi != nejdelsi_) {
        nejdelsi_ = nejdelsi;
        AktualizovatPosuvniky();
    }
}

void TPohledPorovnani::NastavitAktualniRadek(std::size_t radek) {
    if (!porovnani_ || porovnani_->Radku() == 0) return;
    aktualni_ = std::min(radek, porovnani_->Radku() - 1);
    Ukazat(aktualni_);
    viewport()->update();
}

void TPohledPorovnani::Ukazat(std::size_t radek) {
    const std::size_t prvni = PrvniRadek(), naObrazovce = std::size_t(RadkuNaObrazovce());
    if (radek >= prvni && radek < prvni + naObrazovce) return;
    // Close by: just into sight; far: a third of the way down, so that what leads to it shows.
    std::size_t novy;
    if (radek + 1 == prvni)
        novy = radek;
    else if (radek == prvni + naObrazovce)
        novy = radek + 1 - naObrazovce;
    else
        novy = radek > naObrazovce / 3 ? radek - naObrazovce / 3 : 0;
    verticalScrollBar()->setValue(int(std::min<std::size_t>(novy, INT_MAX)));
}

bool TPohledPorovnani::DalsiZmena() {
    if (!porovnani_) return false;
    const auto z = porovnani_->DalsiZmena(aktualni_);
    if (!z) return false;
    NastavitAktualniRadek(z->Od);
    return true;
}

bool TPohledPorovnani::PredchoziZmena() {
    if (!porovnani_) return false;
    const auto z = porovnani_->PredchoziZmena(aktualni_);
    if (!z) return false;
    NastavitAktualniRadek(z->Od);
    return true;
}

void TPohledPorovnani::keyPressEvent(QKeyEvent* udalost) {
    if (!porovnani_ || porovnani_->Radku() == 0) return QAbstractScrollArea::keyPressEvent(udalost);
    const std::size_t posledni = porovnani_->Radku() - 1, strana = std::size_t(std::max(1, RadkuNaObrazovce() - 1));
    switch (udalost->key()) {
        case Qt::Key_Up: NastavitAktualniRadek(aktualni_ > 0 ? aktualni_ - 1 : 0); break;
        case Qt::Key_Down: NastavitAktualniRadek(std::min(posledni, aktualni_ + 1)); break;
        case Qt::Key_PageUp: NastavitAktualniRadek(aktualni_ > strana ? aktualni_ - strana : 0); break;
        case Qt::Key_PageDown: NastavitAktualniRadek(std::min(posledni, aktualni_ + strana)); break;
        case Qt::Key_Home: NastavitAktualniRadek(0); break;
        case Qt::Key_End: NastavitAktualniRadek(posledni); break;
        case Qt::Key_Left: horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub); break;
        case Qt::Key_Right: horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd); break;
        case Qt::Key_Return:
        case Qt::Key_Enter: emit Aktivovan(aktualni_); break;
        default: return QAbstractScrollArea::keyPressEvent(udalost);
    }
    udalost->accept();
}

void TPohledPorovnani::mousePressEvent(QMouseEvent* udalost) {
    if (porovnani_ && udalost->button() == Qt::LeftButton) {
        const std::size_t r = RadekNa(int(udalost->position().y()));
        if (r < porovnani_->Radku()) {
            aktualni_ = r;
            viewport()->update();
        }
    }
    QAbstractScrollArea::mousePressEvent(udalost);
}

void TPohledPorovnani::mouseDoubleClickEvent(QMouseEvent* udalost) {
    if (porovnani_ && udalost->button() == Qt::LeftButton) {
        const std::size_t r = RadekNa(int(udalost->position().y()));
        if (r < porovnani_->Radku()) {
            aktualni_ = r;
            emit Aktivovan(r);
        }
    }
}
