#include "workspace/elementcopy.h"

#include <cstddef>
#include <cstring>

namespace {

// The parts of the fixed record the work consists of, as [begin, end) byte ranges. The values
// (lang, flaeche, winkel), the label corners and drag origins (ox1 .. oy4), the drag marks and
// the selection are left out; a polyline's or an angle's x1 .. y2 repeat its last segment.
struct Range {
    std::size_t begin;
    std::size_t end;
};

constexpr Range Kind{offsetof(Telemente, nr), offsetof(Telemente, lang)};
constexpr Range FirstPoints{offsetof(Telemente, x1), offsetof(Telemente, x3)};
constexpr Range LastPoints{offsetof(Telemente, x3), offsetof(Telemente, ox1)};
constexpr std::size_t Closed = offsetof(Telemente, closed);
constexpr std::size_t Selected = offsetof(Telemente, selected);

bool sameRange(const unsigned char *a, const unsigned char *b, Range r)
{
    return std::memcmp(a + r.begin, b + r.begin, r.end - r.begin) == 0;
}

std::int32_t typeOf(const unsigned char *fixed)
{
    std::int32_t typ = 0;
    std::memcpy(&typ, fixed + offsetof(Telemente, typ), sizeof typ);
    return typ;
}

bool repeatsLastSegment(std::int32_t typ)
{
    return typ == TypPolyline || typ == TypAngle;
}

const unsigned char *bytesOf(const Telemente &e)
{
    return reinterpret_cast<const unsigned char *>(&e);
}

} // namespace

ElementCopy::ElementCopy(const Telemente &e) : name(Document::name(e)), zoom(e.placementZoom)
{
    std::memcpy(fixed.data(), bytesOf(e), fixed.size());
    const int n = Document::vertexCount(e);
    vertices.resize(static_cast<std::size_t>(n));
    if (n > 0)
        std::memcpy(vertices.data(), e.vert->block(), static_cast<std::size_t>(n) * sizeof(Tvertex));
}

std::int32_t ElementCopy::type() const
{
    return typeOf(fixed.data());
}

bool ElementCopy::fixedMatches(const unsigned char *other, bool withSelection) const
{
    const unsigned char *mine = fixed.data();
    if (!sameRange(mine, other, Kind) || !sameRange(mine, other, LastPoints) || mine[Closed] != other[Closed])
        return false;
    if (!repeatsLastSegment(typeOf(mine)) && !sameRange(mine, other, FirstPoints))
        return false;
    return !withSelection || mine[Selected] == other[Selected];
}

bool ElementCopy::matches(const Telemente &e, bool withSelection) const
{
    if (!fixedMatches(bytesOf(e), withSelection))
        return false;
    const int n = Document::vertexCount(e);
    if (static_cast<std::size_t>(n) != vertices.size())
        return false;
    if (n > 0 && std::memcmp(vertices.data(), e.vert->block(), vertices.size() * sizeof(Tvertex)) != 0)
        return false;
    return name == Document::name(e) && zoom == e.placementZoom;
}

bool ElementCopy::matches(const ElementCopy &other, bool withSelection) const
{
    return fixedMatches(other.fixed.data(), withSelection) && vertices.size() == other.vertices.size()
        && (vertices.empty()
            || std::memcmp(vertices.data(), other.vertices.data(), vertices.size() * sizeof(Tvertex)) == 0)
        && name == other.name && zoom == other.zoom;
}

bool ElementCopy::writeInto(Telemente &e) const
{
    TDynaArray *list = e.vert;
    char16_t *oldName = e.name;
    std::memcpy(reinterpret_cast<unsigned char *>(&e), fixed.data(), fixed.size());
    e.vert = list;
    e.name = oldName;
    e.placementZoom = zoom;
    if (!Document::setName(e, name))
        return false;
    if (!e.vert)
        return vertices.empty();
    e.vert->Clear();
    for (const Tvertex &v : vertices)
        if (!Document::appendVertex(e.vert, v.x, v.y))
            return false;
    return true;
}

bool ElementCopy::insertInto(Document &doc, int i) const
{
    doc.touch();
    auto *e = static_cast<Telemente *>(doc.elemente.Insert(i));
    if (!e)
        return false;
    e->vert = doc.newVertexList();
    return writeInto(*e);
}
