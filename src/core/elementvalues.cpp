#include "core/elementvalues.h"

#include "core/elements.h"

void refreshElementValues(Document &doc, const Scale &scale, bool scaleLinesShown)
{
    const int count = doc.count();
    for (int i = 0; i < count; ++i) {
        Telemente &e = *doc.element(i);
        if (e.typ != TypScaleLine || scaleLinesShown)
            computeElementValues(doc, i, scale);
        if (e.typ != TypPolyline && e.typ != TypAngle)
            continue;
        const int n = Document::vertexCount(e);
        if (n < 2)
            continue;
        const Tvertex before = *Document::vertex(e.vert, n - 2);
        const Tvertex last = *Document::vertex(e.vert, n - 1);
        e.x1 = before.x;
        e.y1 = before.y;
        e.x2 = last.x;
        e.y2 = last.y;
    }
}
