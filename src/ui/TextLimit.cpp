#include "TextLimit.h"

#include "MsgBox.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>
#include <QValidator>

namespace vexal {

namespace {

// The box's own maximum length cuts a paste before any validation sees it: the limit is kept
// here instead, on every change of the text by the user.
class TextLimit : public QValidator {
public:
    TextLimit(QLineEdit* box, int maxLength, std::string message)
        : QValidator(box), box_(box), maxLength_(maxLength), message_(std::move(message))
    {
        box->setMaxLength(32767);
        box->setValidator(this);
        box->installEventFilter(this);
        connect(box, &QLineEdit::inputRejected, this, [this] {
            const bool report = refused_ && box_->isUndoAvailable();
            refused_ = false;
            if (report)
                Report();
        });
    }

    State validate(QString& input, int&) const override
    {
        refused_ = input.size() > maxLength_;
        return refused_ ? Invalid : Acceptable;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == box_ && event->type() == QEvent::KeyPress && !box_->isReadOnly()) {
            auto* key = static_cast<QKeyEvent*>(event);
            const QString text = key->text();
            const bool typing = !text.isEmpty() && text.at(0).unicode() >= 32 && text.at(0).unicode() != 127 &&
                                !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
            if (typing && box_->text().size() - box_->selectedText().size() + text.size() > maxLength_) {
                Report();
                return true;
            }
        }
        return QValidator::eventFilter(watched, event);
    }

private:
    // Shown once the refused change is undone, as the number boxes do: a window that saves a
    // box when it loses the focus must never read the refused text.
    void Report()
    {
        QTimer::singleShot(0, this, [message = message_] { MsgBox(message, vbExclamation); });
    }

    QLineEdit* box_;
    int maxLength_;
    std::string message_;
    mutable bool refused_ = false;
};

} // namespace

void UseTextLimit(QLineEdit* box, int maxLength, const std::string& message)
{
    if (box)
        new TextLimit(box, maxLength, message);
}

} // namespace vexal
