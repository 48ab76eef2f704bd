#pragma once

#include "workspace/elementcopy.h"

#include <vector>

// What one step did to the document, as the elements it removed, inserted and changed, so that
// it can be undone and redone without copies of the rest of the document. Applying it forward
// removes (descending old positions), then inserts (ascending new positions), then writes the
// changed elements at their new positions; backward does the opposite in the opposite order.
class DocumentChange
{
public:
    // The change that turns before (the document as the last step left it) into doc.
    static DocumentChange between(const std::vector<ElementCopy> &before, Document &doc);

    bool isEmpty() const { return removed.empty() && inserted.empty() && changed.empty(); }
    // Whether more than the selection changed.
    bool changesWork() const { return works; }
    // The one element it added, or nullptr.
    const ElementCopy *singleInsertion() const;

    // Applies the change forward or backward to the document, to its copy as the history keeps
    // it, or to both (either may be nullptr); false when memory ran out.
    bool apply(Document *doc, std::vector<ElementCopy> *shadow, bool forward) const;

private:
    struct Positioned {
        int index;
        ElementCopy element;
    };
    struct Changed {
        int index;
        ElementCopy before;
        ElementCopy after;
    };

    std::vector<Positioned> removed;  // ascending old positions
    std::vector<Positioned> inserted; // ascending new positions
    std::vector<Changed> changed;     // new positions
    bool works = false;
};
