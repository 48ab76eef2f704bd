#include "ui/mainwindow/statusreport.h"

#include <QPainter>

StatusReport::StatusReport(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("StatusText"));
}

void StatusReport::setText(const QString &text)
{
    if (text == shown)
        return;
    shown = text;
    update();
}

QSize StatusReport::sizeHint() const
{
    return QSize(fontMetrics().horizontalAdvance(shown) + 8, fontMetrics().height());
}

void StatusReport::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setPen(palette().color(QPalette::WindowText));
    const QRect area = rect().adjusted(4, 0, -4, 0);
    p.drawText(area, Qt::AlignVCenter | Qt::AlignLeft, fontMetrics().elidedText(shown, Qt::ElideRight, area.width()));
}
