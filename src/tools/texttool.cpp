#include "tools/texttool.h"

#include "core/elements.h"
#include "tools/toolcontext.h"
#include "tools/toolhost.h"

void TextTool::press(QPoint pos)
{
    ToolHost &host = ctx.host;
    Construction &c = ctx.construction;
    const QPointF p = host.screenToImage(pos);
    c.startx = c.endx = p.x();
    c.starty = c.endy = p.y();
    QString text;
    if (host.askName(text)) {
        if (Telemente *e = ctx.document().appendElement()) {
            e->typ = TypText;
            e->nr = 0;
            e->closed = false;
            e->x1 = e->x2 = p.x();
            e->y1 = e->y2 = p.y();
            if (!Document::setName(*e, text))
                ctx.document().deleteElement(ctx.document().count() - 1);
        }
    }
    host.repaint();
    ctx.returnToPointer();
}

void TextTool::move(QPoint pos)
{
    ctx.host.renderWithoutShowing();
    ctx.host.drawTextPreview(pos);
    ctx.host.showBackBuffer();
}
