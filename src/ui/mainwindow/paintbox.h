#pragma once

#include <QWidget>

class QImage;

// The drawing surface. All drawing happens synchronously into the window's back buffer, so a
// paint event only has to copy that buffer; mouse events go straight to the window's tools.
class PaintBox : public QWidget
{
    Q_OBJECT
public:
    // buffer is owned by the window and outlives this widget.
    PaintBox(const QImage &buffer, QWidget *parent);

signals:
    void mousePressed(QMouseEvent *event);
    void mouseMoved(QMouseEvent *event);
    void mouseReleased(QMouseEvent *event);
    void mouseDoubleClicked(QMouseEvent *event);
    // A key the surface does not handle itself: Esc, Enter and Return end constructions.
    void keyPressed(QKeyEvent *event);
    // The surface changed its size: the back buffer has to be rendered at the new size.
    void resized();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    const QImage &bit;
};
