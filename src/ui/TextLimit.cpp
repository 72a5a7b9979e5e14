#include "TextLimit.h"

#include "MsgBox.h"
#include "RefusingRule.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QValidator>

namespace vexal {

namespace {

// The box's own maximum length cuts a paste before any validation sees it: the limit is kept
// here instead, on every change of the text by the user.
class TextLimit : public RefusingRule {
public:
    TextLimit(QLineEdit* box, int maxLength, std::string message)
        : RefusingRule(box), maxLength_(maxLength), message_(std::move(message))
    {
        box->setMaxLength(32767);
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
            if (TypesOneCharacter(*key) && box_->text().size() - box_->selectedText().size() + text.size() > maxLength_) {
                Report();
                return true;
            }
        }
        return QValidator::eventFilter(watched, event);
    }

    void Report() override
    {
        ShowLater([message = message_] { MsgBox(message, vbExclamation); });
    }

private:
    int maxLength_;
    std::string message_;
};

} // namespace

void UseTextLimit(QLineEdit* box, int maxLength, const std::string& message)
{
    if (box)
        new TextLimit(box, maxLength, message);
}

} // namespace vexal
