#include "SendKey.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace vexal {

namespace {

void Put16(std::array<uint8_t, 28>& r, size_t at, uint16_t v)
{
    r[at] = static_cast<uint8_t>(v & 0xFF);
    r[at + 1] = static_cast<uint8_t>(v >> 8);
}

void Put32(std::array<uint8_t, 28>& r, size_t at, uint32_t v)
{
    for (size_t i = 0; i < 4; ++i)
        r[at + i] = static_cast<uint8_t>((v >> (8 * i)) & 0xFF);
}

// The Qt key and text of a Windows virtual-key code.
int QtKey(int vk, QString& text)
{
    text.clear();
    if (vk >= '0' && vk <= '9') {
        text = QChar(vk);
        return Qt::Key_0 + (vk - '0');
    }
    if (vk >= 'A' && vk <= 'Z') {
        text = QChar(vk).toLower();
        return Qt::Key_A + (vk - 'A');
    }
    switch (vk) {
    case 8: text = QStringLiteral("\b"); return Qt::Key_Backspace;
    case 9: text = QStringLiteral("\t"); return Qt::Key_Tab;
    case 13: text = QStringLiteral("\r"); return Qt::Key_Return;
    case 27: text = QString(QChar(27)); return Qt::Key_Escape;
    case 32: text = QStringLiteral(" "); return Qt::Key_Space;
    case 33: return Qt::Key_PageUp;
    case 34: return Qt::Key_PageDown;
    case 35: return Qt::Key_End;
    case 36: return Qt::Key_Home;
    case 37: return Qt::Key_Left;
    case 38: return Qt::Key_Up;
    case 39: return Qt::Key_Right;
    case 40: return Qt::Key_Down;
    case 45: return Qt::Key_Insert;
    case 46: return Qt::Key_Delete;
    default:
        if (vk >= 0x70 && vk <= 0x87)
            return Qt::Key_F1 + (vk - 0x70);
        return Qt::Key_unknown;
    }
}

class EnterAsTab : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                SendKey(9, true);
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

std::array<uint8_t, 28> KeyboardInputRecord(int16_t virtualKey, bool keyDown)
{
    std::array<uint8_t, 28> r{};
    Put32(r, 0, 1);
    Put16(r, 4, static_cast<uint16_t>(virtualKey));
    Put16(r, 6, 0);
    Put32(r, 8, keyDown ? 0u : 2u);
    return r;
}

void SendKey(int16_t virtualKey, bool keyDown)
{
    QWidget* target = QApplication::focusWidget();
    if (!target)
        return;
    QString text;
    const int key = QtKey(virtualKey, text);
    QCoreApplication::postEvent(target, new QKeyEvent(keyDown ? QEvent::KeyPress : QEvent::KeyRelease, key,
                                                      Qt::NoModifier, text));
}

void AnswerEnterWithTab(QWidget* box)
{
    if (box)
        box->installEventFilter(new EnterAsTab(box));
}

} // namespace vexal
