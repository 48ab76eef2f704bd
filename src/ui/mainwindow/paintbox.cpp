#include "ui/mainwindow/paintbox.h"

#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

PaintBox::PaintBox(const QImage &buffer, QWidget *parent) : QWidget(parent), bit(buffer)
{
    setObjectName(QStringLiteral("PaintBox1"));
    // Rubber bands follow the mouse without a button held.
    setMouseTracking(true);
    // A click on the drawing takes the keyboard from whatever field had it, so that the window's
    // keys (Del above all) act on the drawing and a typed zoom is applied on leaving its field.
    setFocusPolicy(Qt::ClickFocus);
}

void PaintBox::paintEvent(QPaintEvent *event)
{
    // Where the buffer does not reach, the scroll box's background shows through.
    const QRect area = event->rect() & bit.rect();
    if (area.isEmpty())
        return;
    QPainter painter(this);
    painter.drawImage(area.topLeft(), bit, area);
}

void PaintBox::mousePressEvent(QMouseEvent *event)
{
    emit mousePressed(event);
}

void PaintBox::mouseMoveEvent(QMouseEvent *event)
{
    emit mouseMoved(event);
}

void PaintBox::mouseReleaseEvent(QMouseEvent *event)
{
    emit mouseReleased(event);
}

void PaintBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    emit mouseDoubleClicked(event);
}

void PaintBox::keyPressEvent(QKeyEvent *event)
{
    // Unhandled keys travel on to the window.
    event->ignore();
    emit keyPressed(event);
}

void PaintBox::resizeEvent(QResizeEvent *)
{
    emit resized();
}
