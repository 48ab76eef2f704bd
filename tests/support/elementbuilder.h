#pragma once

#include "core/elements.h"

#include <QString>

// An element of any type from up to four points, the way the tests lay out their documents.
struct Pt {
    double x;
    double y;
};

inline Telemente *add(Document &doc, int typ, Pt p1 = {}, Pt p2 = {}, Pt p3 = {}, Pt p4 = {})
{
    Telemente *e = doc.appendElement();
    e->typ = typ;
    e->x1 = p1.x;
    e->y1 = p1.y;
    e->x2 = p2.x;
    e->y2 = p2.y;
    e->x3 = p3.x;
    e->y3 = p3.y;
    e->x4 = p4.x;
    e->y4 = p4.y;
    return e;
}

// An element carrying measured values as a repaint leaves them, for tests of what lists and
// exports make of those values; a null name leaves the element without one.
inline Telemente *addMeasured(Document &doc, int typ, double lang, double flaeche, double winkel,
                              const QString &name = QString())
{
    Telemente *e = doc.appendElement();
    e->typ = typ;
    e->lang = lang;
    e->flaeche = flaeche;
    e->winkel = winkel;
    if (!name.isNull())
        Document::setName(*e, name);
    return e;
}
