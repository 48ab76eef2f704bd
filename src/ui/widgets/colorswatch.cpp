#include "ui/widgets/colorswatch.h"

#include <QMouseEvent>
#include <QPainter>

ColorSwatch::ColorSwatch(QWidget *parent) : QWidget(parent) {}

void ColorSwatch::setBrushColor(const QColor &color)
{
    if (color == brush)
        return;
    brush = color;
    update();
    emit colorChanged(brush);
}

void ColorSwatch::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(brush);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void ColorSwatch::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    emit pressed();
}
