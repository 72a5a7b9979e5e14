#include "NoticeWindow.h"

#include "QtPlatform.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QVBoxLayout>

namespace vexal {

NoticeWindow::NoticeWindow(const QString& title, const QString& text, int seconds, QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("Notice"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::ToolTipBase));
    pal.setColor(QPalette::WindowText, pal.color(QPalette::ToolTipText));
    setPalette(pal);

    auto* layout = new QVBoxLayout(this);
    title_ = new QLabel(title, this);
    title_->setObjectName(QStringLiteral("lblTitle"));
    QFont bold = title_->font();
    bold.setBold(true);
    title_->setFont(bold);
    text_ = new QLabel(text, this);
    text_->setObjectName(QStringLiteral("lblText"));
    text_->setWordWrap(true);
    layout->addWidget(title_);
    layout->addWidget(text_);
    // Clicks on the labels close the notice too.
    title_->setAttribute(Qt::WA_TransparentForMouseEvents);
    text_->setAttribute(Qt::WA_TransparentForMouseEvents);
    adjustSize();

    // Bottom-right of the owner, or of the screen.
    QRect area;
    if (owner)
        area = QRect(owner->mapToGlobal(QPoint(0, 0)), owner->size());
    else if (QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isValid())
        move(area.right() - width() - 8, area.bottom() - height() - 8);

    timer_.setSingleShot(true);
    timer_.setInterval(seconds * 1000);
    connect(&timer_, &QTimer::timeout, this, &QWidget::close);
    timer_.start();
}

void NoticeWindow::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    close();
}

QWidget* FindOwnerWindow(const QString& name)
{
    if (name.isEmpty())
        return nullptr;
    const auto tops = QApplication::topLevelWidgets();
    for (QWidget* w : tops)
        if (w->objectName() == name)
            return w;
    for (QWidget* w : tops)
        if (QWidget* inner = w->findChild<QWidget*>(name))
            return inner->window();
    return nullptr;
}

void QtNotice::Show()
{
    int seconds = number_ > 0 ? number_ : 6;
    if (seconds > 60)
        seconds = 60;
    QString text = Q(text_);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    auto* window = new NoticeWindow(Q(title_), text, seconds, FindOwnerWindow(Q(owner_)));
    shown_ = window;
    window->show();
}

void InstallQtNotices()
{
    InstallNoticeFactory([] { return std::make_unique<QtNotice>(); });
}

} // namespace vexal
