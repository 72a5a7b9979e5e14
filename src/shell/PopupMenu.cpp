#include "PopupMenu.h"

#include "ReadableText.h"

#include <QAction>
#include <QFont>
#include <QLabel>
#include <QMenu>
#include <QPalette>
#include <QPointer>
#include <QStyle>
#include <QWidgetAction>

namespace vexal {

namespace {
PopupMenu::Chooser& TestChooser()
{
    static PopupMenu::Chooser chooser;
    return chooser;
}

// A header is a heading over the entries that follow it: bold, in the menu's own text colour
// kept readable on the menu, never in the grey of a disabled entry (on a light desktop that grey
// is hardly read). Its action is disabled, so neither a click nor the arrow keys choose it.
QAction* Heading(QMenu* menu, const QString& caption)
{
    auto* heading = new QWidgetAction(menu);
    heading->setText(caption);
    auto* label = new QLabel(caption);
    label->setObjectName("MenuHeading");
    label->setTextFormat(Qt::PlainText);
    QFont bold = menu->font();
    bold.setBold(true);
    label->setFont(bold);
    const QPalette menuPalette = menu->palette();
    const QColor text = NearestReadableColor(
        menuPalette.color(QPalette::Active, QPalette::Text),
        {menuPalette.color(QPalette::Active, QPalette::Base), menuPalette.color(QPalette::Active, QPalette::Window)});
    QPalette palette = label->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::WindowText, text);
    label->setPalette(palette);
    const int margin = menu->style()->pixelMetric(QStyle::PM_MenuHMargin, nullptr, menu);
    label->setContentsMargins(margin + 6, 4, margin + 6, 2);
    heading->setDefaultWidget(label);
    heading->setEnabled(false);
    return heading;
}

} // namespace

void PopupMenu::SetChooser(Chooser chooser) { TestChooser() = std::move(chooser); }

int PopupMenu::AddItem(const std::string& caption, int icon, int parent, int key)
{
    Item item;
    item.caption = caption;
    item.icon = icon;
    item.key = key;
    item.parent = parent >= 1 && parent <= Count() ? parent : 0;
    items_.push_back(item);
    return Count();
}

void PopupMenu::SetHeader(int item, bool header)
{
    if (item >= 1 && item <= Count())
        items_[item - 1].header = header;
}

void PopupMenu::SetChecked(int item, bool checked)
{
    if (item >= 1 && item <= Count())
        items_[item - 1].checked = checked;
}

void PopupMenu::SetEnabled(int item, bool enabled)
{
    if (item >= 1 && item <= Count())
        items_[item - 1].enabled = enabled;
}

bool PopupMenu::Checked(int item) const { return item >= 1 && item <= Count() && items_[item - 1].checked; }

bool PopupMenu::Restore(const std::string& key)
{
    auto it = stored_.find(key);
    if (it == stored_.end())
        return false;
    items_ = it->second;
    return true;
}

const std::vector<PopupMenu::Item>* PopupMenu::StoredItems(const std::string& key) const
{
    auto it = stored_.find(key);
    return it == stored_.end() ? nullptr : &it->second;
}

int PopupMenu::ShowPopupMenu(const QPoint& globalPos)
{
    if (TestChooser()) {
        const int chosen = TestChooser()(items_);
        const bool choosable =
            chosen >= 1 && chosen <= Count() && !items_[chosen - 1].header && items_[chosen - 1].enabled;
        return choosable ? chosen : 0;
    }
    std::unique_ptr<QMenu> root = BuildMenu();
    QAction* chosen = root->exec(globalPos);
    return chosen ? chosen->data().toInt() : 0;
}

std::unique_ptr<QMenu> PopupMenu::BuildMenu() const
{
    auto root = std::make_unique<QMenu>(owner_);
    std::vector<QMenu*> menus(items_.size() + 1, nullptr);
    menus[0] = root.get();
    // An item that others sit under becomes a submenu.
    std::vector<bool> hasChildren(items_.size() + 1, false);
    for (const auto& item : items_)
        hasChildren[item.parent] = true;
    for (int i = 1; i <= Count(); ++i) {
        const Item& item = items_[i - 1];
        QMenu* into = menus[item.parent] ? menus[item.parent] : root.get();
        QIcon icon = item.icon >= 0 && images_ ? images_(item.icon) : QIcon();
        const QString caption = QString::fromStdString(item.caption);
        if (hasChildren[i]) {
            QMenu* sub = into->addMenu(icon, caption);
            menus[i] = sub;
            continue;
        }
        if (item.header) {
            into->addAction(Heading(into, caption));
            continue;
        }
        QAction* action = into->addAction(icon, caption);
        action->setData(i);
        if (item.checked) {
            action->setCheckable(true);
            action->setChecked(true);
        }
        if (!item.enabled)
            action->setEnabled(false);
    }
    return root;
}

} // namespace vexal
