#include "DostupnostEditoru.h"

#include "ui/EditorProgramu.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>

namespace {

// Assistive technology is active: as the platform says, or as it last told the observer.
bool aktivni = false;

// Asked before the library's own factory: the most derived class name comes first.
QAccessibleInterface* Tovarna(const QString& trida, QObject* objekt) {
    if (aktivni || QAccessible::isActive() || trida != QLatin1String(TEditorProgramu::staticMetaObject.className()) ||
        !objekt || !objekt->isWidgetType())
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget*>(objekt), QAccessible::EditableText);
}

// When assistive technology comes or goes, the objects made so far of the
// other kind go, so that the next question makes one of the right kind.
class TPozorovatel : public QAccessible::ActivationObserver {
public:
    void accessibilityActiveChanged(bool ted) override {
        aktivni = ted;
        for (QWidget* okno : QApplication::allWidgets()) {
            if (!qobject_cast<TEditorProgramu*>(okno)) continue;
            QAccessibleInterface* objekt = QAccessible::queryAccessibleInterface(okno);
            if (objekt && (objekt->textInterface() != nullptr) != ted)
                QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(objekt));
        }
    }
};

}  // namespace

void ZlehcitDostupnostEditoru() {
    static const bool hotovo = [] {
        QAccessible::installFactory(Tovarna);
        static TPozorovatel pozorovatel;
        QAccessible::installActivationObserver(&pozorovatel);
        return true;
    }();
    (void)hotovo;
}
