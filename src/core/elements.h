#pragma once

#include "core/kovrant.h"

#include <QString>

#include <cstddef>
#include <cstdint>

// Element type codes.
enum ElementType : std::int32_t {
    TypLine = 0,
    TypQuadCurve = 1,
    TypCubicCurve = 2,
    TypRectangle = 55,
    TypEllipse = 66,
    TypDistance = 77,
    TypScaleLine = 88,
    TypAngle = 98,
    TypPolygon = 99,
    TypPolyline = 100,
    TypText = 101,
};

#pragma pack(push, 1)
// One measurement element. The first 171 bytes are the project file's record layout; vert and
// name follow as ordinary pointers (the file writes 8 bytes of its own in their place), then
// what the record has no room for.
struct Telemente {
    std::int32_t dragvertnr;
    std::int32_t nr;
    std::int32_t typ;
    double lang;
    double flaeche;
    double winkel;
    double x1, y1, x2, y2, x3, y3, x4, y4;
    double ox1, oy1, ox2, oy2, ox3, oy3, ox4, oy4;
    bool closed;
    bool dragvert;
    bool selected;
    bool dragit1;
    bool dragit2;
    bool dragit3;
    bool dragit4;
    TDynaArray *vert;
    char16_t *name;
    // The zoom in percent at which the points were placed or last dragged; 0 where none was
    // recorded (elements of older files).
    double placementZoom;
};

struct Tvertex {
    double x;
    double y;
};
#pragma pack(pop)

using PElemente = Telemente *;

// Bytes of an element record in the project file, and of the part of it that sits in memory
// at the same offsets.
inline constexpr std::size_t ElementFileRecordSize = 179;
inline constexpr std::size_t ElementFileFixedPart = 171;

static_assert(offsetof(Telemente, dragvertnr) == 0);
static_assert(offsetof(Telemente, nr) == 4);
static_assert(offsetof(Telemente, typ) == 8);
static_assert(offsetof(Telemente, lang) == 12);
static_assert(offsetof(Telemente, flaeche) == 20);
static_assert(offsetof(Telemente, winkel) == 28);
static_assert(offsetof(Telemente, x1) == 36);
static_assert(offsetof(Telemente, y2) == 60);
static_assert(offsetof(Telemente, x4) == 84);
static_assert(offsetof(Telemente, y4) == 92);
static_assert(offsetof(Telemente, ox1) == 100);
static_assert(offsetof(Telemente, oy4) == 156);
static_assert(offsetof(Telemente, closed) == 164);
static_assert(offsetof(Telemente, dragvert) == 165);
static_assert(offsetof(Telemente, selected) == 166);
static_assert(offsetof(Telemente, dragit1) == 167);
static_assert(offsetof(Telemente, dragit4) == 170);
static_assert(offsetof(Telemente, vert) == ElementFileFixedPart);
static_assert(sizeof(bool) == 1);
static_assert(sizeof(Tvertex) == 16);

// Names: a heap block of (length + 1) zero-filled UTF-16 code units; nullptr reads as "".
bool allocname(char16_t *&p, const QString &s);
void freename(char16_t *&p);
QString nameText(const char16_t *p);

// The document: the element list publishing its current record into aele, and the single
// current-vertex variable that every vertex list (the copy buffer's too) publishes into.
class Document
{
public:
    Document();
    ~Document();
    Document(const Document &) = delete;
    Document &operator=(const Document &) = delete;

    TDynaArray elemente;

    Telemente *aele() const { return static_cast<Telemente *>(aeleSlot); }
    Tvertex *avert() const { return static_cast<Tvertex *>(avertSlot); }
    void **aeleVariable() { return &aeleSlot; }
    void **avertVariable() { return &avertSlot; }

    int count() const { return static_cast<int>(elemente.Count()); }
    // Makes element i current and returns it; i must be in 0 .. count() - 1.
    Telemente *element(int i) { return static_cast<Telemente *>(elemente.GetObject(static_cast<std::uint32_t>(i))); }

    // A new vertex list publishing into avert, or nullptr when memory ran out.
    TDynaArray *newVertexList();
    // Appends a zero-filled element with an empty vertex list; nullptr when memory ran out.
    Telemente *appendElement();
    // Appends a vertex to the current element; false when memory ran out.
    bool appendVertex(double x, double y);
    static bool appendVertex(TDynaArray *list, double x, double y);
    static Tvertex *vertex(TDynaArray *list, int i)
    {
        return static_cast<Tvertex *>(list->GetObject(static_cast<std::uint32_t>(i)));
    }
    static int vertexCount(const Telemente &e) { return e.vert ? static_cast<int>(e.vert->Count()) : 0; }

    static bool setName(Telemente &e, const QString &s);
    static QString name(const Telemente &e) { return nameText(e.name); }

    // Releases an element's vertex list and name (for records about to be dropped or reused).
    static void releaseParts(Telemente &e);
    void deleteElement(int i);
    void clear();

    // Telemente::placementZoom of element i; 0 for an index out of range.
    double placementZoom(int i) const;
    void setPlacementZoom(int i, double zoomPercent);
    // A point of element i was placed or dragged at zoomPercent. One zoom stands for all of an
    // element's points, so the lowest, which makes the largest uncertainty, is kept.
    void notePlacementZoom(int i, double zoomPercent);

    // Changes whenever the elements may have changed: adding, deleting and clearing change it,
    // and whoever writes records in place calls touch. No two documents share a revision, so
    // what is derived from a document can be kept while the revision stays the same.
    std::uint64_t revision() const { return revisionNumber; }
    void touch();

private:
    void *aeleSlot = nullptr;
    void *avertSlot = nullptr;
    std::uint64_t revisionNumber = 0;
};
