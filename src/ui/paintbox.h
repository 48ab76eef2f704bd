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
    // The surface changed its size: the back buffer has to be rendered at the new size.
    void resized();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    const QImage &bit;
};
