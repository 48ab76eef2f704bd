#include "ui/paintbox.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>

PaintBox::PaintBox(const QImage &buffer, QWidget *parent) : QWidget(parent), bit(buffer)
{
    setObjectName(QStringLiteral("PaintBox1"));
    // Rubber bands follow the mouse without a button held.
    setMouseTracking(true);
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

void PaintBox::resizeEvent(QResizeEvent *)
{
    emit resized();
}
