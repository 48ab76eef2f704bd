#pragma once

#include "core/elements.h"

#include <QString>

#include <array>
#include <vector>

// One element as the history keeps it: the fixed part of its record, its vertices, its name and
// the zoom its points were placed at, owning nothing of the document.
class ElementCopy
{
public:
    ElementCopy() = default;
    explicit ElementCopy(const Telemente &e);

    // Whether e is this element as far as the work goes: type, points, vertices, closing, name,
    // placement zoom and (when withSelection) the selection; never the values, the label corners
    // or the drag state, which every repaint and every press renew.
    bool matches(const Telemente &e, bool withSelection) const;
    bool matches(const ElementCopy &other, bool withSelection) const;

    // Writes this element over e, which keeps its own vertex list; false when memory ran out.
    bool writeInto(Telemente &e) const;
    // Inserts this element at index i of doc; false when memory ran out.
    bool insertInto(Document &doc, int i) const;

    std::int32_t type() const;

private:
    bool fixedMatches(const unsigned char *other, bool withSelection) const;

    std::array<unsigned char, ElementFileFixedPart> fixed{};
    std::vector<Tvertex> vertices;
    QString name;
    double zoom = 0.0;
};
