#pragma once
// The hook of a dialog: what its owner hears while the dialog is open (the dialog itself is
// the handle each one gets), and the one way a dialog window is hooked.
#include <functional>

class QDialog;
class QWidget;

namespace vexal {

// ConfirmOK answers false to keep a file dialog open after OK. Qt's dialogs send no command
// messages, so there is no command callback.
struct DialogHooks {
    std::function<void(QWidget*)> initDialog;
    std::function<void(QWidget*)> fileChange;
    std::function<void(QWidget*)> folderChange;
    std::function<void(QWidget*)> typeChange;
    std::function<bool()> confirmOK;
    std::function<void()> dialogClose;
};

// Hooks a dialog about to run: initDialog hears it once it is open and handed to it,
// dialogClose when it closes (confirmed or not). Nothing with no hooks.
void ConnectOpenAndClose(QDialog& dialog, const DialogHooks* hooks);

} // namespace vexal
