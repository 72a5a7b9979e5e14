#include "NumberInput.h"

#include "MsgBox.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>
#include <QValidator>

namespace vexal {

namespace {

bool IsAsciiDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// Whether the character may stand in the box's text as typed.
bool Holds(QChar c, const NumberKind& kind)
{
    if (c == QLatin1Char(','))
        return false;
    if (kind.anyText || IsAsciiDigit(c) || kind.also.contains(c))
        return true;
    if (c == QLatin1Char('.'))
        return kind.decimals;
    if (c == QLatin1Char('-'))
        return kind.negative;
    return false;
}

// The rule on one box: its keys through TypedIntoNumber, every other change of its text
// (a paste, a drop) through validate.
class NumberRule : public QValidator {
public:
    NumberRule(QLineEdit* box, const NumberKind& kind) : QValidator(box), box_(box), kind_(kind)
    {
        box->setValidator(this);
        box->installEventFilter(this);
        // Raised too when the box is full, and when a text set by the program does not pass:
        // only a change by the user (one that can be undone) that this rule refused is reported.
        connect(box, &QLineEdit::inputRejected, this, [this] {
            const bool report = refused_ && box_->isUndoAvailable();
            refused_ = false;
            if (report)
                Report();
        });
    }

    State validate(QString& input, int&) const override
    {
        refused_ = false;
        for (QChar c : input)
            if (!Holds(c, kind_)) {
                refused_ = true;
                return Invalid;
            }
        return Acceptable;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != box_ || event->type() != QEvent::KeyPress)
            return QValidator::eventFilter(watched, event);
        auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        // Keys without one character (arrows, an input method's words) go to the box, whose
        // validation rules what they would insert.
        if (text.size() != 1 || text.at(0).unicode() < 32 || text.at(0).unicode() == 127 ||
            (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
            return QValidator::eventFilter(watched, event);
        if (box_->isReadOnly())
            return QValidator::eventFilter(watched, event);
        const TypedCharacter typed = TypedIntoNumber(text.at(0), kind_);
        if (typed.refused) {
            Report();
            return true;
        }
        if (typed.text == text)
            return QValidator::eventFilter(watched, event);
        if (!typed.text.isEmpty())
            box_->insert(typed.text);
        return true;
    }

private:
    // The message is shown once the refused change is undone: a message box shown at once
    // takes the focus while the box still holds the refused text, and a window that saves
    // its boxes when they lose the focus would read it.
    void Report()
    {
        QTimer::singleShot(0, this, [kind = kind_] { ShowNumberBoxMessage(kind); });
    }

    QLineEdit* box_;
    NumberKind kind_;
    mutable bool refused_ = false;
};

} // namespace

std::string NumberBoxMessage(const NumberKind& kind)
{
    if (kind.anyText)
        return "Please type a number, such as -3.5 or 44, with \".\" as the decimal point.";
    if (!kind.decimals)
        return kind.negative ? "Please type a whole number, such as -3 or 44." :
                               "Please type a whole number of 0 or more, such as 3 or 44.";
    return kind.negative ? "Please type a number, such as -3.5 or 44, with \".\" as the decimal point." :
                           "Please type a number of 0 or more, such as 3.5 or 44, with \".\" as the decimal point.";
}

void ShowNumberBoxMessage(const NumberKind& kind) { MsgBox(NumberBoxMessage(kind), vbExclamation); }

TypedCharacter TypedIntoNumber(QChar c, const NumberKind& kind)
{
    TypedCharacter typed;
    if (c == QLatin1Char(',') || c == QLatin1Char('.')) {
        if (kind.decimals || kind.anyText)
            typed.text = QStringLiteral(".");
        else
            typed.refused = true;
        return typed;
    }
    if (c == QLatin1Char('-') && !kind.negative && !kind.anyText) {
        typed.refused = true;
        return typed;
    }
    if (Holds(c, kind))
        typed.text = QString(c);
    return typed;
}

void UseNumberInput(QLineEdit* box, const NumberKind& kind)
{
    if (box)
        new NumberRule(box, kind);
}

} // namespace vexal
