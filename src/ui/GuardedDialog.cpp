#include "GuardedDialog.h"

#include <QCloseEvent>
#include <QPointer>

namespace vexal {

void GuardedDialog::reject()
{
    // QDialog's closeEvent rejects: inside a close that QueryClose allowed the dialog ends at
    // once, and a hidden dialog has nothing to ask about.
    if (closing_ || !isVisible()) {
        QDialog::reject();
        return;
    }
    close();
}

void GuardedDialog::closeEvent(QCloseEvent* event)
{
    if (!QueryClose()) {
        event->ignore();
        return;
    }
    const QPointer<GuardedDialog> alive(this);
    closing_ = true;
    QDialog::closeEvent(event);
    if (alive)
        closing_ = false;
}

} // namespace vexal
