#include "ui/mainwindow/keyboardstate.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace {

// X11 (and Wayland) key symbols of the two Ctrl keys.
constexpr quint32 KeysymControlL = 0xffe3;
constexpr quint32 KeysymControlR = 0xffe4;
// Windows virtual keys of the two Ctrl keys.
constexpr quint32 VkLControl = 0xa2;
constexpr quint32 VkRControl = 0xa3;

} // namespace

KeyboardState::KeyboardState(QObject *parent) : QObject(parent)
{
    if (QCoreApplication *app = QCoreApplication::instance())
        app->installEventFilter(this);
}

KeyboardState::~KeyboardState()
{
    if (QCoreApplication *app = QCoreApplication::instance())
        app->removeEventFilter(this);
}

KeyboardState::CtrlSide KeyboardState::ctrlSide(const QKeyEvent &event)
{
    if (event.key() != Qt::Key_Control)
        return CtrlSide::None;
    switch (event.nativeVirtualKey()) {
    case KeysymControlL:
    case VkLControl:
        return CtrlSide::Left;
    case KeysymControlR:
    case VkRControl:
        return CtrlSide::Right;
    default:
        return CtrlSide::Unknown;
    }
}

void KeyboardState::setEventModifiers(Qt::KeyboardModifiers m)
{
    modifiers = m;
    // A Ctrl key released while another program had the focus sends us no release.
    if (!(m & Qt::ControlModifier))
        forgetKeys();
}

bool KeyboardState::anyCtrl() const
{
    return modifiers & Qt::ControlModifier;
}

bool KeyboardState::leftCtrl() const
{
    // Only a Ctrl known to be the right one alone is not the left one.
    return anyCtrl() && (leftDown || !rightDown);
}

bool KeyboardState::alt() const
{
    return modifiers & Qt::AltModifier;
}

void KeyboardState::forgetKeys()
{
    leftDown = false;
    rightDown = false;
}

bool KeyboardState::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        const auto *key = static_cast<const QKeyEvent *>(event);
        const bool down = event->type() == QEvent::KeyPress;
        switch (ctrlSide(*key)) {
        case CtrlSide::Left:
            leftDown = down;
            break;
        case CtrlSide::Right:
            rightDown = down;
            break;
        case CtrlSide::Unknown:
            if (!down)
                forgetKeys();
            break;
        case CtrlSide::None:
            break;
        }
        break;
    }
    case QEvent::ApplicationDeactivate:
        forgetKeys();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
