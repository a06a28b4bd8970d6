#include "Prvky.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>

#include <limits>

TSpinEdit::TSpinEdit(QWidget* rodic) : QSpinBox(rodic) {
    // The box itself holds any whole number; the bounds are checked on leaving.
    setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    setKeyboardTracking(true);
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    setValue(min_);
}

void TSpinEdit::SetMinValue(int hodnota) {
    min_ = hodnota;
    update();
}

void TSpinEdit::SetMaxValue(int hodnota) {
    max_ = hodnota;
    update();
}

int TSpinEdit::Value() const {
    bool ok = false;
    const int v = lineEdit()->text().trimmed().toInt(&ok);
    return ok ? v : min_;
}

void TSpinEdit::SetValue(int hodnota) {
    setValue(hodnota);
    lineEdit()->setText(QString::number(hodnota));
}

void TSpinEdit::Zkontrolovat() {
    if (min_ == max_) return;
    const int v = Value();
    const int omezena = std::clamp(v, std::min(min_, max_), std::max(min_, max_));
    if (omezena != v || lineEdit()->text().trimmed() != QString::number(v)) SetValue(omezena);
}

QValidator::State TSpinEdit::validate(QString& text, int&) const {
    const QString t = text.trimmed();
    if (t.isEmpty()) return QValidator::Intermediate;
    if (t.size() > 9) return QValidator::Invalid;
    for (QChar c : t)
        if (!c.isDigit() || c.unicode() > u'9') return QValidator::Invalid;
    return QValidator::Acceptable;
}

int TSpinEdit::valueFromText(const QString& text) const {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    return ok ? v : min_;
}

void TSpinEdit::fixup(QString& text) const {
    if (text.trimmed().isEmpty()) text = QString::number(min_);
}

void TSpinEdit::stepBy(int kroky) {
    const int v = Value();
    const long long nova = static_cast<long long>(v) + kroky;
    const int omezena = static_cast<int>(std::clamp<long long>(nova, std::min(min_, max_), std::max(min_, max_)));
    SetValue(omezena);
    selectAll();
}

QAbstractSpinBox::StepEnabled TSpinEdit::stepEnabled() const {
    const int v = Value();
    StepEnabled s = StepNone;
    if (v < std::max(min_, max_)) s |= StepUpEnabled;
    if (v > std::min(min_, max_)) s |= StepDownEnabled;
    return s;
}

void TSpinEdit::focusInEvent(QFocusEvent* udalost) {
    QSpinBox::focusInEvent(udalost);
    emit Vstoupeno();
}

void TSpinEdit::focusOutEvent(QFocusEvent* udalost) {
    // An emptied box reads as the lower bound, and shows it.
    if (lineEdit()->text().trimmed().isEmpty()) SetValue(min_);
    Zkontrolovat();
    QSpinBox::focusOutEvent(udalost);
    emit Opusteno();
}

TKruh::TKruh(QWidget* rodic) : QWidget(rodic) { setFixedSize(20, 20); }

void TKruh::NastavitBarvu(const QColor& barva) {
    if (barva == barva_) return;
    barva_ = barva;
    update();
}

void TKruh::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(barva_);
    p.drawEllipse(rect().adjusted(0, 0, -1, -1));
}

TPrednostZkratek::TPrednostZkratek(QWidget* okno, QList<QAction*> prikazy)
    : QObject(okno), okno_(okno), prikazy_(std::move(prikazy)) {
    // The application sees a control's key before the control does.
    qApp->installEventFilter(this);
}

bool TPrednostZkratek::eventFilter(QObject* objekt, QEvent* udalost) {
    // Before a key press becomes a shortcut, the focused control is asked
    // whether it wants the key itself; for a command's shortcut in this
    // window the answer is no, so the shortcut runs the command.
    if (udalost->type() != QEvent::ShortcutOverride || !objekt->isWidgetType() ||
        static_cast<QWidget*>(objekt)->window() != okno_)
        return false;
    const auto* klavesa = static_cast<QKeyEvent*>(udalost);
    const QKeySequence zkratka(QKeyCombination(klavesa->modifiers() & ~Qt::KeypadModifier, Qt::Key(klavesa->key())));
    for (const QAction* prikaz : prikazy_)
        if (prikaz->isEnabled() && prikaz->shortcuts().contains(zkratka)) return true;
    return false;
}
