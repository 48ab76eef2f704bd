#pragma once

#include "render/viewstate.h"

#include <QObject>
#include <QPoint>
#include <QRectF>
#include <QSize>

#include <functional>

class QAbstractButton;
class QScrollBar;
class QSpinBox;

// The view handlers of the main window. The view state here is the view's only source: the zoom
// field and the two scroll bars show it and send the user's changes to it, and the mouse wheel,
// the hand drag and the zoom commands change it and then show it on them.
class ViewCommands : public QObject
{
    Q_OBJECT
public:
    ViewCommands(QSpinBox *zoomed, QScrollBar *horizontal, QScrollBar *vertical, QAbstractButton *handBtn,
                 std::function<void()> repaint, QObject *parent = nullptr);

    const ViewState &view() const { return state; }
    // The hand tool's button is down: the point marks are hidden.
    bool handToolDown() const;

    // Wheel rotation in eighths of a degree, as the wheel event reports it; 120 is one notch.
    void wheel(int angleDelta);
    // The same with Ctrl held: each notch zooms one step about anchor, a surface position.
    void zoomWheel(int angleDelta, QPoint anchor);

    // Sets the zoom so that the image point under anchor stays under it, with one repaint.
    void zoomAbout(int zoom, QPoint anchor);
    // One step of about a quarter in or out.
    void zoomStep(bool in, QPoint anchor);
    // The whole picture in the surface, its top-left corner at the surface's.
    void fit(QSize picture, QSize surface);
    // An image box that is not wholly on the surface is brought to its centre, at the same zoom.
    void scrollIntoView(const QRectF &imageBox, QSize surface);

    // The hand drag.
    void beginPan(QPoint press);
    void panTo(QPoint cursor);
    void endPan();

signals:
    // The zoom or a scroll position changed, by the user at a control or by a view command.
    void viewChanged();

public slots:
    void zoomedChange();
    void ScrollBar1Change();
    void ScrollBar2Change();
    // The hand tool's button went down: the point marks disappear.
    void HandBtnClick();

private:
    // Shows the view state's zoom and scroll positions on their controls without running their
    // handlers, then one repaint when changed says so.
    void showView(bool changed);
    // Whole notches of the rotation, keeping the rest for the next event.
    int notchesOf(int angleDelta);

    QSpinBox *zoomed;
    QScrollBar *ScrollBar1;
    QScrollBar *ScrollBar2;
    QAbstractButton *HandBtn;
    std::function<void()> repaint;
    ViewState state;
    HandDrag hand;
    int wheelRemainder = 0;
};
