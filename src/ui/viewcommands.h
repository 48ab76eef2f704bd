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

// The view handlers of the main window: the zoom field, the two scroll bars, the hand tool's
// button, the mouse wheel and the hand drag. The controls hold the view; the view state mirrors
// them at every use, so a value set by program anywhere is seen by the next repaint.
class ViewCommands : public QObject
{
    Q_OBJECT
public:
    ViewCommands(QSpinBox *zoomed, QScrollBar *horizontal, QScrollBar *vertical, QAbstractButton *handBtn,
                 std::function<void()> repaint, QObject *parent = nullptr);

    // The view state as the controls hold it now, with the repaint flags.
    ViewState &view();

    // Wheel rotation in eighths of a degree, as the wheel event reports it; 120 is one notch.
    void wheel(int angleDelta);
    // The same with Ctrl held: each notch zooms one step about anchor, a surface position.
    void zoomWheel(int angleDelta, QPoint anchor);

    // Sets the zoom so that the image point under anchor stays under it, to the pixel (as far
    // as the scroll range allows), with one repaint.
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

public slots:
    void zoomedChange();
    void ScrollBar1Change();
    void ScrollBar2Change();
    // The hand tool's button went down: the point marks disappear.
    void HandBtnClick();

private:
    // Shows the view state's scroll positions on the bars without running their handlers.
    void showScrollPositions();
    // Shows the view state's zoom and scroll positions on their controls, then one repaint.
    void showView();
    // Whole notches of the rotation, keeping the rest for the next event.
    int notchesOf(int angleDelta);

    QSpinBox *zoomed;
    QScrollBar *ScrollBar1;
    QScrollBar *ScrollBar2;
    QAbstractButton *HandBtn;
    std::function<void()> repaint;
    ViewState state;
    int wheelRemainder = 0;
};
