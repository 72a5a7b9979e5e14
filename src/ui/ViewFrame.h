#pragma once
// What the views shown in the main window's area share: a menu bar over the body that holds
// their controls, and the activation of their frame.
#include <functional>

class QAction;
class QMenu;
class QMenuBar;
class QObject;
class QWidget;

namespace vexal {

// Lays out the view as its menu bar "mnuBar" over a body widget named bodyName that fills
// the rest; sets menuBar and returns the body.
QWidget* AddMenuBarAndBody(QWidget* view, QMenuBar*& menuBar, const char* bodyName);

// Calls activated each time the view's frame becomes the active one after being inactive.
// False (and nothing watched) while the view has no frame yet.
bool OnFrameActivated(QWidget* view, std::function<void()> activated);

// Adds the menu entry named name with its caption; a choice calls handler (in receiver's
// lifetime).
QAction* AddMenuItem(QMenu* menu, const char* name, const char* caption, QObject* receiver,
                     std::function<void()> handler);

// A checkable entry that toggles itself back before it reports the choice: the handler sets
// the checks itself from the state before the choice.
QAction* AddStyleItem(QMenu* menu, const char* name, const char* caption, QObject* receiver,
                      std::function<void()> handler);

} // namespace vexal
