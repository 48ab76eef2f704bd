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

std::array<std::uint64_t, 5> scaleBits(const Scale &scale)
{
    static_assert(sizeof(Scale) == 5 * sizeof(double), "a new field of the scale is to be compared here too");
    const auto bits = [](double v) { return std::bit_cast<std::uint64_t>(v); };
    return {bits(scale.pixelLength), bits(scale.realLength), bits(scale.yPixelLength), bits(scale.yRealLength),
            std::uint64_t(scale.separateAxes)};
}

void ElementValueCache::refresh(Document &doc, const Scale &s, bool scaleLinesShown)
{
    const std::array<std::uint64_t, 5> bits = scaleBits(s);
    if (valid && doc.revision() == revision && bits == scale && scaleLinesShown == scaleLines)
        return;
    refreshElementValues(doc, s, scaleLinesShown);
    valid = true;
    revision = doc.revision();
    scale = bits;
    scaleLines = scaleLinesShown;
}
