#include "DialogHooks.h"

#include <QDialog>
#include <QTimer>

namespace vexal {

void ConnectOpenAndClose(QDialog& dialog, const DialogHooks* hooks)
{
    if (!hooks)
        return;
    // The timer fires inside the dialog's own loop, when the dialog is shown.
    if (hooks->initDialog)
        QTimer::singleShot(0, &dialog, [hooks, &dialog] { hooks->initDialog(&dialog); });
    if (hooks->dialogClose)
        QObject::connect(&dialog, &QDialog::finished, &dialog, [hooks] { hooks->dialogClose(); });
}

} // namespace vexal
