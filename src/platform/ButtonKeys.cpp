#include "ButtonKeys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QToolButton>

namespace vexal {

namespace {

class ReturnPressesButtons : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) ||
            (key->modifiers() & ~Qt::KeyboardModifiers(Qt::KeypadModifier)))
            return false;
        auto* button = qobject_cast<QAbstractButton*>(watched);
        if (!button || !button->isEnabled())
            return false;
        auto* push = qobject_cast<QPushButton*>(button);
        if (!push && !qobject_cast<QToolButton*>(button))
            return false;
        if (push && (push->autoDefault() || push->isDefault()))
            return false;
        // Held down, the key presses once, as Space does; the dialog's default button is not
        // pressed as well.
        if (!key->isAutoRepeat())
            button->click();
        return true;
    }
};

} // namespace

void InstallButtonKeys(QApplication& app)
{
    app.installEventFilter(new ReturnPressesButtons(&app));
}

} // namespace vexal
