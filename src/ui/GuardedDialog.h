#pragma once
// A dialog window that every close asks first: Escape, a reject() from code and the close box
// alike go through QueryClose, so a window that asks before it drops unsaved work, or refuses
// to close while it works, is never hidden past that. A close that QueryClose accepts ends the
// dialog as rejected (exec() returns Rejected); accept() and done() end it without asking.
#include <QDialog>

class QCloseEvent;

namespace vexal {

class GuardedDialog : public QDialog {
    Q_OBJECT
public:
    using QDialog::QDialog;

    void reject() override;

protected:
    // Asked once for every close, however it came: false keeps the window open. A window
    // does here what its closing does (a setting saved, a connection ended).
    virtual bool QueryClose() { return true; }

    void closeEvent(QCloseEvent* event) final;

private:
    bool closing_ = false;
};

} // namespace vexal
