#include "core/elementvalues.h"

#include "core/elements.h"

#include <bit>

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

namespace {

bool same(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// Bit for bit, so that a scale whose values would differ in as much as a zero's sign is new.
bool sameScale(const Scale &a, const Scale &b)
{
    static_assert(sizeof(Scale) == 5 * sizeof(double), "a new field of the scale is to be compared here too");
    return same(a.mas1, b.mas1) && same(a.mas2, b.mas2) && a.separateAxes == b.separateAxes &&
           same(a.ymas1, b.ymas1) && same(a.ymas2, b.ymas2);
}

}

void ElementValueCache::refresh(Document &doc, const Scale &s, bool scaleLinesShown)
{
    if (valid && doc.revision() == revision && sameScale(s, scale) && scaleLinesShown == scaleLines)
        return;
    refreshElementValues(doc, s, scaleLinesShown);
    valid = true;
    revision = doc.revision();
    scale = s;
    scaleLines = scaleLinesShown;
}
