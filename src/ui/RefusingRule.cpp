#include "RefusingRule.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

namespace vexal {

RefusingRule::RefusingRule(QLineEdit* box) : QValidator(box), box_(box)
{
    box->setValidator(this);
    box->installEventFilter(this);
    // Raised too when the box is full, and when a text set by the program does not pass: only
    // a change by the user (one that can be undone) that this rule refused is reported.
    connect(box, &QLineEdit::inputRejected, this, [this] {
        const bool report = refused_ && box_->isUndoAvailable();
        refused_ = false;
        if (report)
            Report();
    });
}

void RefusingRule::ShowLater(std::function<void()> show) { QTimer::singleShot(0, this, std::move(show)); }

bool RefusingRule::TypesOneCharacter(const QKeyEvent& key)
{
    const QString text = key.text();
    return text.size() == 1 && text.at(0).unicode() >= 32 && text.at(0).unicode() != 127 &&
           !(key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

} // namespace vexal
