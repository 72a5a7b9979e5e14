#include "PopupMenu.h"

#include <QAction>
#include <QFont>
#include <QMenu>
#include <QPointer>

namespace vexal {

namespace {
PopupMenu::Chooser& TestChooser()
{
    static PopupMenu::Chooser chooser;
    return chooser;
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
    QMenu root(owner_);
    std::vector<QMenu*> menus(items_.size() + 1, nullptr);
    menus[0] = &root;
    // An item that others sit under becomes a submenu.
    std::vector<bool> hasChildren(items_.size() + 1, false);
    for (const auto& item : items_)
        hasChildren[item.parent] = true;
    for (int i = 1; i <= Count(); ++i) {
        const Item& item = items_[i - 1];
        QMenu* into = menus[item.parent] ? menus[item.parent] : &root;
        QIcon icon = item.icon >= 0 && images_ ? images_(item.icon) : QIcon();
        const QString caption = QString::fromStdString(item.caption);
        if (hasChildren[i]) {
            QMenu* sub = into->addMenu(icon, caption);
            menus[i] = sub;
            continue;
        }
        QAction* action = into->addAction(icon, caption);
        action->setData(i);
        if (item.checked) {
            action->setCheckable(true);
            action->setChecked(true);
        }
        if (item.header) {
            QFont bold = action->font();
            bold.setBold(true);
            action->setFont(bold);
            action->setEnabled(false);
        }
        if (!item.enabled)
            action->setEnabled(false);
    }
    QAction* chosen = root.exec(globalPos);
    return chosen ? chosen->data().toInt() : 0;
}

} // namespace vexal
