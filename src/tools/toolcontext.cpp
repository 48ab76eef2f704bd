#include "tools/toolcontext.h"

#include "core/elements.h"
#include "tools/hittest.h"
#include "tools/toolhost.h"

Document &ToolContext::document()
{
    return host.document();
}

Telemente *ToolContext::lastElement()
{
    Document &doc = document();
    return doc.count() > 0 ? doc.element(doc.count() - 1) : nullptr;
}

bool ToolContext::snap(QPoint mouse, QPointF &point)
{
    Document &doc = document();
    const QPoint scroll = host.scrollPosition();
    const int x = mouse.x() + scroll.x();
    const int y = mouse.y() + scroll.y();
    const double zoom = host.zoom();
    for (int i = 0; i < doc.count(); ++i) {
        const Telemente &e = *doc.element(i);
        const double px[4] = {e.x1, e.x2, e.x3, e.x4};
        const double py[4] = {e.y1, e.y2, e.y3, e.y4};
        const int points = e.typ > 1 ? 4 : e.typ > 0 ? 3 : 2;
        for (int k = 0; k < points; ++k) {
            if (clickonpunkt(x, y, px[k], py[k], zoom)) {
                point = QPointF(px[k], py[k]);
                return true;
            }
        }
    }
    return false;
}

void ToolContext::askNameOfLast()
{
    if (!host.askNameOption() || document().count() == 0)
        return;
    QString text;
    if (host.askName(text)) {
        if (Telemente *last = lastElement())
            Document::setName(*last, text);
    }
    host.repaint();
}

void ToolContext::returnToPointer()
{
    if (!host.returnToPointerOption())
        return;
    current = ToolId::Pointer;
    host.setPointerToolDown();
}
