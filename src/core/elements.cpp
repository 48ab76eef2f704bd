#include "core/elements.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

bool allocname(char16_t *&p, const QString &s)
{
    const std::size_t units = static_cast<std::size_t>(s.size()) + 1;
    auto *block = static_cast<char16_t *>(std::calloc(units, sizeof(char16_t)));
    if (!block) {
        reportAllocationFailure(QStringLiteral("Error 1 while trying to allocate %1 bytes of RAM. Not enough memory.")
                                    .arg(units * sizeof(char16_t)));
        return false;
    }
    if (!s.isEmpty())
        std::memcpy(block, s.utf16(), static_cast<std::size_t>(s.size()) * sizeof(char16_t));
    p = block;
    return true;
}

void freename(char16_t *&p)
{
    std::free(p);
    p = nullptr;
}

QString nameText(const char16_t *p)
{
    return p ? QString::fromUtf16(p) : QString();
}

Document::Document() : elemente(sizeof(Telemente), &aeleSlot)
{
    touch();
}

void Document::touch()
{
    static std::atomic<std::uint64_t> next{0};
    revisionNumber = ++next;
}

Document::~Document()
{
    clear();
}

TDynaArray *Document::newVertexList()
{
    return new TDynaArray(sizeof(Tvertex), &avertSlot);
}

Telemente *Document::appendElement()
{
    touch();
    auto *e = static_cast<Telemente *>(elemente.Add());
    if (!e)
        return nullptr;
    e->vert = newVertexList();
    return e;
}

bool Document::appendVertex(TDynaArray *list, double x, double y)
{
    auto *v = static_cast<Tvertex *>(list->Add());
    if (!v)
        return false;
    v->x = x;
    v->y = y;
    return true;
}

bool Document::appendVertex(double x, double y)
{
    touch();
    Telemente *e = aele();
    return e && e->vert && appendVertex(e->vert, x, y);
}

bool Document::setName(Telemente &e, const QString &s)
{
    char16_t *block = nullptr;
    if (!allocname(block, s))
        return false;
    char16_t *old = e.name;
    freename(old);
    e.name = block;
    return true;
}

void Document::releaseParts(Telemente &e)
{
    char16_t *n = e.name;
    freename(n);
    e.name = nullptr;
    delete e.vert;
    e.vert = nullptr;
}

void Document::deleteElement(int i)
{
    if (i < 0 || i >= count())
        return;
    touch();
    releaseParts(*element(i));
    elemente.Delete(i);
}

void Document::clear()
{
    touch();
    elemente.First();
    while (elemente.WhileNext())
        releaseParts(*aele());
    elemente.Clear();
}

double Document::placementZoom(int i) const
{
    if (i < 0 || i >= count())
        return 0.0;
    // Read from the block, so that asking does not move the published current element.
    return (static_cast<const Telemente *>(elemente.block()) + i)->placementZoom;
}

void Document::setPlacementZoom(int i, double zoomPercent)
{
    if (i < 0 || i >= count())
        return;
    touch();
    (static_cast<Telemente *>(elemente.block()) + i)->placementZoom = zoomPercent;
}

void Document::notePlacementZoom(int i, double zoomPercent)
{
    const double recorded = placementZoom(i);
    if (zoomPercent > 0 && (recorded <= 0 || zoomPercent < recorded))
        setPlacementZoom(i, zoomPercent);
}
