#pragma once
// cTextBox: a numeric filter attached to one text box. On entry the text is stripped to a
// plain number (trailing decimal zeros dropped) and selected; only digits, control keys and,
// when allowed, the decimal separator can be typed; on exit the number takes the display
// format; a value outside the range raises ValidateError, whose cancel keeps the focus there.
// The decimal separator is "." whatever the locale.
#include <QLineEdit>
#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>



namespace vexal {

class cTextBox : public QObject {
    Q_OBJECT
public:
    explicit cTextBox(QObject* parent = nullptr);

    // The text box whose focus, keys and validation the filter handles.
    void SetTextBox(QLineEdit* box);
    QLineEdit* TextBox() const { return box_; }

    std::optional<double> Minimum;      // empty = no minimum
    std::optional<double> Maximum;      // empty = no maximum
    bool DecimalAllowed = false;
    QString DisplayFormat;              // vb::Format pattern applied on exit; empty = none

    static QChar DecimalSeparator() { return QLatin1Char('.'); }

    // The text reduced to "-0123456789" and the separator; with trimZeros, when the text has a
    // separator, trailing zeros go and then a trailing separator (12.500 -> 12.5, 12.000 -> 12).
    static QString FilterNumber(const QString& text, bool trimZeros);
    // The characters of text that occur in allowed, in their order (case-sensitive).
    static QString FilterString(const QString& text, const QString& allowed);

    // The validation as the box's focus loss runs it; returns the cancel flag. A text that is
    // no number is out of range whenever a bound is set.
    bool Validate();
    // Whether a typed character passes the key filter.
    bool KeyPasses(QChar c) const;

signals:
    void ValidateError(bool& cancel);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QLineEdit> box_;
    bool refocusing_ = false;
};

} // namespace vexal
