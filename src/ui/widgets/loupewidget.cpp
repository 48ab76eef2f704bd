#include "ui/widgets/loupewidget.h"

#include "render/loupe.h"

#include <QPainter>

#include <algorithm>

namespace {

// Far enough from the cursor that the loupe never hides the spot being placed.
constexpr int CursorGap = 24;
constexpr int Border = 1;

int placeBeside(int cursor, int extent, int room)
{
    const int after = cursor + CursorGap;
    return after + extent <= room ? after : std::max(0, cursor - CursorGap - extent);
}

} // namespace

LoupeWidget::LoupeWidget(QWidget *surface) : QWidget(surface)
{
    setObjectName(QStringLiteral("Loupe"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(LoupeSide + 2 * Border, LoupeSide + 2 * Border);
    hide();
}

void LoupeWidget::showAt(QPoint cursor, const dib &picture, QPointF point, std::optional<QPointF> snapTarget)
{
    if (!renderLoupe(loupe, picture, point, snapTarget)) {
        hide();
        return;
    }
    const QSize room = parentWidget()->size();
    move(placeBeside(cursor.x(), width(), room.width()), placeBeside(cursor.y(), height(), room.height()));
    show();
    raise();
    update();
}

void LoupeWidget::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.drawImage(Border, Border, loupe);
    p.setPen(palette().color(QPalette::WindowText));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}
