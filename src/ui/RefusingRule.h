#pragma once
// What the input rules of boxes share (numbers, text limits): the rule is the box's validator
// and key filter, and a change by the user that it refused is reported once the box holds its
// text again.
#include <QValidator>

#include <functional>

class QKeyEvent;
class QLineEdit;

namespace vexal {

class RefusingRule : public QValidator {
public:
    explicit RefusingRule(QLineEdit* box);

protected:
    // Tells the user that a change was refused (through ShowLater).
    virtual void Report() = 0;
    // The message is shown once the refused change is undone: a message box shown at once
    // takes the focus while the box still holds the refused text, and a window that saves its
    // boxes when they lose the focus would read it.
    void ShowLater(std::function<void()> show);
    // True for a key that types one character of text (not an arrow, a control key or an input
    // method's words), which the rule looks at before the box takes it.
    static bool TypesOneCharacter(const QKeyEvent& key);

    QLineEdit* box_;
    // Set by validate when it refuses; read when the box says a change was rejected.
    mutable bool refused_ = false;
};

} // namespace vexal
