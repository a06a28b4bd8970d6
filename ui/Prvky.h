// Small controls of the windows: the spin edit of the numbering settings,
// the round save-state indicator, and the commands' precedence over the
// controls' own keys.
#pragma once

#include <QColor>
#include <QList>
#include <QSpinBox>
#include <QWidget>

class QAction;

// A spin edit for whole numbers with its own bounds: typing is free, a value
// outside the bounds is pulled to the nearer one when the control loses the
// focus (not while both bounds are equal), the arrows step by 1 within the
// bounds, and text that is no number reads as the lower bound.
class TSpinEdit : public QSpinBox {
    Q_OBJECT
public:
    explicit TSpinEdit(QWidget* rodic = nullptr);
    using QAbstractSpinBox::lineEdit;

    int MinValue() const { return min_; }
    int MaxValue() const { return max_; }
    void SetMinValue(int hodnota);
    void SetMaxValue(int hodnota);

    // The value as the text reads: a number, or the lower bound.
    int Value() const;
    void SetValue(int hodnota);

    // Pulls the value into the bounds, unless they are equal.
    void Zkontrolovat();

signals:
    void Opusteno();  // the control lost the focus (after the value was checked)
    void Vstoupeno();  // the control gained the focus

protected:
    QValidator::State validate(QString& text, int& pozice) const override;
    int valueFromText(const QString& text) const override;
    void fixup(QString& text) const override;
    void stepBy(int kroky) override;
    StepEnabled stepEnabled() const override;
    void focusInEvent(QFocusEvent* udalost) override;
    void focusOutEvent(QFocusEvent* udalost) override;

private:
    int min_ = 1;
    int max_ = 9999;
};

// A filled circle without outline, as the save-state indicator shows it.
class TKruh : public QWidget {
    Q_OBJECT
public:
    explicit TKruh(QWidget* rodic = nullptr);
    QColor Barva() const { return barva_; }
    void NastavitBarvu(const QColor& barva);
    QSize sizeHint() const override { return {20, 20}; }

protected:
    void paintEvent(QPaintEvent* udalost) override;

private:
    QColor barva_ = Qt::white;
};

// Gives a window's commands their shortcuts whatever control has the focus:
// an edit would otherwise take Ctrl+Insert as Copy and Ctrl+Delete as
// deleting a word, and the command would never run.
class TPrednostZkratek : public QObject {
    Q_OBJECT
public:
    // Watches the key presses of the window's controls; the actions are the
    // window's commands.
    TPrednostZkratek(QWidget* okno, QList<QAction*> prikazy);

protected:
    bool eventFilter(QObject* objekt, QEvent* udalost) override;

private:
    QWidget* okno_;
    QList<QAction*> prikazy_;
};
