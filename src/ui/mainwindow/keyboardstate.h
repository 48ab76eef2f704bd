#pragma once

#include <QObject>
#include <Qt>

class QKeyEvent;

// Which modifier keys are held at the moment of a mouse event. Qt's mouse events know that a
// Ctrl key is down but not which one, while the rectangle and ellipse tools treat the left one
// differently. So the window watches every key event of the application for the native codes of
// the two Ctrl keys; where the platform gives none, either Ctrl counts as the left one.
class KeyboardState : public QObject
{
    Q_OBJECT
public:
    enum class CtrlSide { None, Left, Right, Unknown };

    // Watches the key events of the whole application as long as it lives.
    explicit KeyboardState(QObject *parent = nullptr);
    ~KeyboardState() override;

    // The modifiers that the mouse event about to be handled carries.
    void setEventModifiers(Qt::KeyboardModifiers modifiers);

    bool leftCtrl() const;
    bool anyCtrl() const;
    bool alt() const;

    // The Ctrl key a key event reports, from its native key code.
    static CtrlSide ctrlSide(const QKeyEvent &event);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void forgetKeys();

    Qt::KeyboardModifiers modifiers;
    bool leftDown = false;
    bool rightDown = false;
};
