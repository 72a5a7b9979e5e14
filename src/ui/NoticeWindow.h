#pragma once
// The notice pop-up on screen: a small window that does not take the focus or block, shows a
// title and a text, and closes when clicked or when its time is up (the notice's number, in
// seconds; 6 when the number is 0 or less, at most 60). InstallQtNotices makes CreateNotice()
// give this window; the program calls it at start-up.
#include "Notice.h"

#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace vexal {

class NoticeWindow : public QWidget {
    Q_OBJECT
public:
    // owner may be null (a top-level notice). The window deletes itself when closed.
    NoticeWindow(const QString& title, const QString& text, int seconds, QWidget* owner);

    QString Title() const { return title_->text(); }
    QString Text() const { return text_->text(); }
    QTimer* CloseTimer() { return &timer_; }

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    QLabel* title_;
    QLabel* text_;
    QTimer timer_;
};

// The Notice that shows a NoticeWindow.
class QtNotice : public Notice {
public:
    void SetText(const std::string& text) override { text_ = text; }
    void SetTitle(const std::string& title) override { title_ = title; }
    void SetNumber(int32_t number) override { number_ = number; }
    void SetOwner(const std::string& windowName) override { owner_ = windowName; }
    void Show() override;
    // The last window shown (null once it has closed).
    NoticeWindow* Shown() const { return shown_; }

private:
    std::string text_, title_, owner_;
    int32_t number_ = 0;
    QPointer<NoticeWindow> shown_;
};

// The top-level window (or a window inside one) whose objectName is name, else null.
QWidget* FindOwnerWindow(const QString& name);

void InstallQtNotices();

} // namespace vexal
