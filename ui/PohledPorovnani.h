// The side-by-side view of a comparison: the original on the left, the
// program on the right, row by row, each with its line numbers; changed lines
// on orange with the words that differ in a stronger orange, added lines on
// green beside an empty grey row, removed ones on red. It paints only the rows
// in sight and reads their lines from the two text areas, so that a program
// of millions of lines shows at once. One row is current (framed): the arrow
// keys, Page Up and Down, Home and End move it, a click chooses it; Enter or
// a double click asks to go there in the program.
#pragma once

#include "ui/Porovnani.h"

#include <QAbstractScrollArea>
#include <QFont>
#include <QString>

#include <cstddef>
#include <utility>
#include <vector>

class TEditorProgramu;

class TPohledPorovnani : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit TPohledPorovnani(QWidget* rodic = nullptr);

    // What it shows: the comparison of the areas with the original and the
    // program, which must not change while it shows them; nulls: nothing.
    void Nastavit(const TPorovnani* porovnani, const TEditorProgramu* puvodni, const TEditorProgramu* program);

    std::size_t AktualniRadek() const { return aktualni_; }
    // Makes a row current and brings it into sight.
    void NastavitAktualniRadek(std::size_t radek);
    // Makes the first row of the next (previous) change current; false when there is none.
    bool DalsiZmena();
    bool PredchoziZmena();
    // The first row in sight.
    std::size_t PrvniRadek() const;

    // What a row shows on one side: its line number (from 1; 0: none), the
    // text, and the spans of characters marked as changed.
    struct TStrana {
        std::size_t Cislo = 0;
        QString Text;
        bool Zmeneny = false;                    // the other side has the line otherwise
        std::vector<std::pair<int, int>> Zmeny;  // [od, po) in Text
    };
    TStrana Obsah(std::size_t radek, bool puvodni) const;

signals:
    // Enter or a double click on a row.
    void Aktivovan(std::size_t radek);

protected:
    void paintEvent(QPaintEvent* udalost) override;
    void resizeEvent(QResizeEvent* udalost) override;
    void keyPressEvent(QKeyEvent* udalost) override;
    void mousePressEvent(QMouseEvent* udalost) override;
    void mouseDoubleClickEvent(QMouseEvent* udalost) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    int VyskaRadku() const;
    // The width of the line numbers' margin of each half, and of its text.
    int SirkaOkraje() const;
    int SirkaTextu() const;
    int RadkuNaObrazovce() const;
    std::size_t RadekNa(int y) const;
    void AktualizovatPosuvniky();
    // The row in sight, at a third of the height when it was far.
    void Ukazat(std::size_t radek);

    const TPorovnani* porovnani_ = nullptr;
    const TEditorProgramu* puvodni_ = nullptr;
    const TEditorProgramu* program_ = nullptr;
    std::size_t aktualni_ = 0;
    QFont pismo_;
    int sirkaZnaku_ = 8;
    int nejdelsi_ = 0;  // the widest line painted so far, in characters
};
