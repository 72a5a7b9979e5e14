#pragma once
// The main window's popup menus (cPop): menus are built item by item, stored under a key
// and restored and shown later. Items are numbered from 1 in the order they were added;
// an item may sit under another (a submenu), be a header (a caption that cannot be
// chosen) or carry a check mark. Showing a menu returns the number of the chosen item,
// 0 when nothing was chosen.
#include <QIcon>
#include <QPoint>
#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QMenu;
class QWidget;

namespace vexal {

class PopupMenu {
public:
    struct Item {
        std::string caption;
        int icon = -1;        // index into the image list; -1 = none
        int parent = 0;       // the item it sits under; 0 = the top level
        bool header = false;
        bool checked = false;
        bool enabled = true;  // a disabled item is shown grey and cannot be chosen
        int key = 0;          // what the item stands for: a team list's entry, its team's code
    };

    void Clear() { items_.clear(); }
    // Adds an item and returns its number.
    int AddItem(const std::string& caption, int icon = -1, int parent = 0, int key = 0);
    void SetHeader(int item, bool header);
    void SetChecked(int item, bool checked);
    void SetEnabled(int item, bool enabled);
    bool Checked(int item) const;
    const std::vector<Item>& Items() const { return items_; }
    int Count() const { return static_cast<int>(items_.size()); }

    void Store(const std::string& key) { stored_[key] = items_; }
    // False (and nothing changed) when nothing is stored under the key.
    bool Restore(const std::string& key);
    bool IsStored(const std::string& key) const { return stored_.count(key) != 0; }
    const std::vector<Item>* StoredItems(const std::string& key) const;

    // The owner window and the image list the icons come from.
    void SetOwner(QWidget* owner) { owner_ = owner; }
    void SetImageList(std::function<QIcon(int)> images) { images_ = std::move(images); }

    // Shows the current items at a screen position and waits for the choice.
    int ShowPopupMenu(const QPoint& globalPos);
    // The menu ShowPopupMenu shows: a choosable entry's action carries its number as data; a
    // header is a bold heading that cannot be chosen.
    std::unique_ptr<QMenu> BuildMenu() const;

    // Tests answer the menu instead of a user: the chooser gets the items shown and
    // returns the chosen number (0 = none). An empty function restores the real menu.
    using Chooser = std::function<int(const std::vector<Item>&)>;
    static void SetChooser(Chooser chooser);

private:
    std::vector<Item> items_;
    std::map<std::string, std::vector<Item>> stored_;
    QWidget* owner_ = nullptr;
    std::function<QIcon(int)> images_;
};

} // namespace vexal
