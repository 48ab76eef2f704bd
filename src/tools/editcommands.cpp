#include "tools/editcommands.h"

#include "tools/pointertool.h"
#include "tools/toolcontroller.h"
#include "tools/toolhost.h"

#include <cstring>

namespace {

// Copies the vertices of one list onto the end of another; false when memory ran out.
bool copyVertices(TDynaArray *from, TDynaArray *to)
{
    const auto count = from ? static_cast<int>(from->Count()) : 0;
    for (int i = 0; i < count; ++i) {
        const Tvertex v = *Document::vertex(from, i);
        if (!Document::appendVertex(to, v.x, v.y))
            return false;
    }
    return true;
}

} // namespace

CopyBuffer::CopyBuffer(Document &doc) : document(doc) {}

CopyBuffer::~CopyBuffer()
{
    Document::releaseParts(copy);
}

bool CopyBuffer::take(const Telemente &e)
{
    TDynaArray *vertices = document.newVertexList();
    char16_t *name = nullptr;
    if (!copyVertices(e.vert, vertices) || !allocname(name, Document::name(e))) {
        delete vertices;
        return false;
    }
    Document::releaseParts(copy);
    std::memcpy(static_cast<void *>(&copy), &e, ElementFileFixedPart);
    copy.vert = vertices;
    copy.name = name;
    copy.placementZoom = e.placementZoom;
    filled = true;
    return true;
}

EditCommands::EditCommands(ToolHost &h, ToolController &t) : host(h), tools(t), buffer(h.document()) {}

void EditCommands::deleteSelected()
{
    Document &doc = host.document();
    bool removed = false;
    for (int i = doc.count() - 1; i >= 0; --i) {
        if (doc.element(i)->selected) {
            doc.deleteElement(i);
            removed = true;
        }
    }
    if (removed)
        tools.elementsRemoved();
    host.repaint();
}

void EditCommands::copySelected()
{
    Document &doc = host.document();
    for (int i = doc.count() - 1; i >= 0; --i)
        if (doc.element(i)->selected)
            buffer.take(*doc.element(i));
    host.repaint();
}

void EditCommands::paste()
{
    if (!buffer.kopiert())
        return;
    Document &doc = host.document();
    unselectall(doc);
    if (Telemente *e = doc.appendElement()) {
        const Telemente &kopie = buffer.kopie();
        std::memcpy(static_cast<void *>(e), &kopie, ElementFileFixedPart);
        e->placementZoom = kopie.placementZoom;
        if (copyVertices(kopie.vert, e->vert) && Document::setName(*e, Document::name(kopie))) {
            const double shift = 1000.0 / host.zoom();
            e->x1 += shift;
            e->y1 += shift;
            e->x2 += shift;
            e->y2 += shift;
            for (int i = 0; i < Document::vertexCount(*e); ++i) {
                Tvertex *v = Document::vertex(e->vert, i);
                v->x += shift;
                v->y += shift;
            }
        } else {
            doc.deleteElement(doc.count() - 1);
        }
    }
    host.repaint();
}

void EditCommands::renameSelected()
{
    Document &doc = host.document();
    for (int i = doc.count() - 1; i >= 0; --i) {
        if (!doc.element(i)->selected)
            continue;
        QString text = Document::name(*doc.element(i));
        if (host.askName(text) && i < doc.count())
            Document::setName(*doc.element(i), text);
    }
    host.repaint();
}

void EditCommands::newDocument()
{
    tools.elementsRemoved();
    host.document().clear();
    host.repaint();
}
