#include "cTextBox.h"

#include "LeavingControl.h"
#include "VbConvert.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

#include <memory>

namespace vexal {

cTextBox::cTextBox(QObject* parent) : QObject(parent) {}

void cTextBox::SetTextBox(QLineEdit* box)
{
    if (box_)
        box_->removeEventFilter(this);
    box_ = box;
    if (box)
        box->installEventFilter(this);
}

QString cTextBox::FilterString(const QString& text, const QString& allowed)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text)
        if (allowed.contains(c, Qt::CaseSensitive))
            out.append(c);
    return out;
}

QString cTextBox::FilterNumber(const QString& text, bool trimZeros)
{
    const QChar sep = DecimalSeparator();
    QString out = FilterString(text, QStringLiteral("-0123456789") + sep);
    if (trimZeros && text.contains(sep)) {
        while (!out.isEmpty()) {
            const QChar last = out.back();
            if (last == QLatin1Char('0')) {
                out.chop(1);
            } else {
                if (last == sep)
                    out.chop(1);
                break;
            }
        }
    }
    return out;
}

bool cTextBox::KeyPasses(QChar c) const
{
    const ushort code = c.unicode();
    if (code < 32)
        return true;
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
        return true;
    return DecimalAllowed && c == DecimalSeparator();
}

bool cTextBox::Validate()
{
    if (!box_)
        return false;
    bool cancel = false;
    if (!Minimum && !Maximum)
        return cancel;
    const std::string text = box_->text().toStdString();
    if (!vb::IsPlainNumber(text)) {
        emit ValidateError(cancel);
        return cancel;
    }
    const double value = vb::Val(text);
    if (Minimum && value < *Minimum)
        emit ValidateError(cancel);
    if (Maximum && value > *Maximum)
        emit ValidateError(cancel);
    return cancel;
}

bool cTextBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != box_ || !box_)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::FocusIn:
        if (!refocusing_ && EntersControl(box_, event)) {
            box_->setText(FilterNumber(box_->text(), true));
            box_->selectAll();
        }
        refocusing_ = false;
        break;
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        // A typed comma is the decimal point, as in every number box; dropping it would
        // make 1,5 fifteen.
        if (DecimalAllowed && text == QLatin1String(",")) {
            box_->insert(DecimalSeparator());
            return true;
        }
        // Keys without a character (arrows, function keys) are not typing.
        if (!text.isEmpty() && !KeyPasses(text.at(0)))
            return true;
        break;
    }
    case QEvent::FocusOut: {
        if (!LeavesControl(box_, event))
            break;
        // The control the focus went to is not left while the box names its fault and takes
        // the focus back.
        auto refused = std::make_shared<LeaveRefused>(box_);
        if (Validate()) {
            // The validation's cancel keeps the focus in the box.
            refocusing_ = true;
            QPointer<QLineEdit> box = box_;
            QTimer::singleShot(0, box, [box, refused] {
                if (box)
                    box->setFocus(Qt::OtherFocusReason);
            });
            break;
        }
        if (!DisplayFormat.isEmpty()) {
            const std::string text = box_->text().toStdString();
            if (vb::IsPlainNumber(text))
                box_->setText(QString::fromStdString(vb::Format(vb::Val(text), DisplayFormat.toStdString())));
        }
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace vexal
