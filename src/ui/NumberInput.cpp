#include "NumberInput.h"

#include "MsgBox.h"
#include "RefusingRule.h"

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
    const bool also = c.unicode() < 128 && kind.also.find(static_cast<char>(c.unicode())) != std::string_view::npos;
    if (kind.anyText || IsAsciiDigit(c) || also)
        return true;
    if (c == QLatin1Char('.'))
        return kind.decimals;
    if (c == QLatin1Char('-'))
        return kind.negative;
    return false;
}

// The rule on one box: its keys through TypedIntoNumber, every other change of its text
// (a paste, a drop) through validate.
class NumberRule : public RefusingRule {
public:
    NumberRule(QLineEdit* box, const NumberKind& kind) : RefusingRule(box) { SetKind(kind); }

    // The box's own limit cuts a paste before any validation sees it: the rule keeps it instead.
    void SetKind(const NumberKind& kind)
    {
        kind_ = kind;
        if (kind_.maxLength <= 0 && box_->maxLength() < NoLimit)
            kind_.maxLength = box_->maxLength();
        box_->setMaxLength(NoLimit);
    }

    State validate(QString& input, int&) const override
    {
        refused_ = false;
        if (kind_.maxLength > 0 && input.size() > kind_.maxLength) {
            refused_ = true;
            return Invalid;
        }
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
        // Keys without one character (arrows, an input method's words) go to the box, whose
        // validation rules what they would insert.
        if (!TypesOneCharacter(*key))
            return QValidator::eventFilter(watched, event);
        const QString text = key->text();
        if (box_->isReadOnly())
            return QValidator::eventFilter(watched, event);
        const TypedCharacter typed = TypedIntoNumber(text.at(0), kind_);
        const bool tooLong = kind_.maxLength > 0 && !typed.text.isEmpty() &&
                             box_->text().size() - box_->selectedText().size() + typed.text.size() > kind_.maxLength;
        if (typed.refused || tooLong) {
            Report();
            return true;
        }
        if (typed.text == text)
            return QValidator::eventFilter(watched, event);
        if (!typed.text.isEmpty())
            box_->insert(typed.text);
        return true;
    }

    void Report() override
    {
        ShowLater([kind = kind_] { ShowNumberBoxMessage(kind); });
    }

private:
    static constexpr int NoLimit = 32767; // QLineEdit's own default

    NumberKind kind_;
};

} // namespace

std::string NumberBoxMessage(const NumberKind& kind)
{
    const bool limited = kind.maxLength > 0 && !kind.anyText;
    if (limited && !kind.decimals && !kind.negative && kind.also.empty() && kind.maxLength < 10)
        return "Please type a whole number from 0 to " + std::string(static_cast<std::size_t>(kind.maxLength), '9') + ".";
    std::string message;
    if (kind.anyText)
        message = "Please type a number, such as -3.5 or 44, with \".\" as the decimal point.";
    else if (!kind.decimals)
        message = kind.negative ? "Please type a whole number, such as -3 or 44." :
                                  "Please type a whole number of 0 or more, such as 3 or 44.";
    else
        message = kind.negative ? "Please type a number, such as -3.5 or 44, with \".\" as the decimal point." :
                                  "Please type a number of 0 or more, such as 3.5 or 44, with \".\" as the decimal point.";
    if (limited)
        message += " The box holds at most " + std::to_string(kind.maxLength) + " characters.";
    return message;
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
    if (!box)
        return;
    if (auto* rule = dynamic_cast<NumberRule*>(const_cast<QValidator*>(box->validator())))
        rule->SetKind(kind);
    else
        new NumberRule(box, kind);
}

} // namespace vexal
