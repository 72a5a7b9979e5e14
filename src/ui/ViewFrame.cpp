#include "ViewFrame.h"

#include <QAction>
#include <QMenu>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QVBoxLayout>

namespace vexal {

QWidget* AddMenuBarAndBody(QWidget* view, QMenuBar*& menuBar, const char* bodyName)
{
    auto* layout = new QVBoxLayout(view);
    layout->setContentsMargins(0, 0, 0, 0);
    menuBar = new QMenuBar(view);
    menuBar->setObjectName("mnuBar");
    layout->setMenuBar(menuBar);
    auto* body = new QWidget(view);
    body->setObjectName(QString::fromLatin1(bodyName));
    layout->addWidget(body);
    return body;
}

bool OnFrameActivated(QWidget* view, std::function<void()> activated)
{
    auto* frame = qobject_cast<QMdiSubWindow*>(view->parentWidget());
    if (!frame)
        return false;
    QObject::connect(frame, &QMdiSubWindow::windowStateChanged, view,
                     [activated = std::move(activated)](Qt::WindowStates before, Qt::WindowStates now) {
                         if ((now & Qt::WindowActive) && !(before & Qt::WindowActive))
                             activated();
                     });
    return true;
}

QAction* AddMenuItem(QMenu* menu, const char* name, const char* caption, QObject* receiver,
                     std::function<void()> handler)
{
    QAction* a = menu->addAction(QString::fromLatin1(caption));
    a->setObjectName(QString::fromLatin1(name));
    QObject::connect(a, &QAction::triggered, receiver, [handler = std::move(handler)] { handler(); });
    return a;
}

QAction* AddStyleItem(QMenu* menu, const char* name, const char* caption, QObject* receiver,
                      std::function<void()> handler)
{
    QAction* a = menu->addAction(QString::fromLatin1(caption));
    a->setObjectName(QString::fromLatin1(name));
    a->setCheckable(true);
    QObject::connect(a, &QAction::triggered, receiver, [a, handler = std::move(handler)](bool now) {
        a->setChecked(!now);
        handler();
    });
    return a;
}

} // namespace vexal
