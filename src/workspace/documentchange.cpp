#include "workspace/documentchange.h"

namespace {

// The positions of before that doc no longer holds and of doc that before did not hold, such
// that the remaining ones pair up in order. Both ends in common are skipped; in between, a pure
// removal or a pure insertion is found element by element, anything else is taken as a whole.
struct Alignment {
    std::vector<int> removed;
    std::vector<int> inserted;
};

Alignment align(const std::vector<ElementCopy> &before, Document &doc)
{
    const int n = static_cast<int>(before.size());
    const int m = doc.count();
    Alignment a;
    if (n == m)
        return a;
    int head = 0;
    while (head < n && head < m && before[static_cast<std::size_t>(head)].matches(*doc.element(head), false))
        ++head;
    int tail = 0;
    while (tail < n - head && tail < m - head
           && before[static_cast<std::size_t>(n - 1 - tail)].matches(*doc.element(m - 1 - tail), false))
        ++tail;
    const int oldEnd = n - tail;
    const int newEnd = m - tail;

    // Walks the longer side, pairing each element of the shorter side with the next that matches.
    auto greedy = [&](bool removal) {
        std::vector<int> unpaired;
        int i = head;
        int j = head;
        const int longEnd = removal ? oldEnd : newEnd;
        const int shortEnd = removal ? newEnd : oldEnd;
        for (; i < longEnd; ++i) {
            const bool pairs = j < shortEnd
                && (removal ? before[static_cast<std::size_t>(i)].matches(*doc.element(j), false)
                            : before[static_cast<std::size_t>(j)].matches(*doc.element(i), false));
            if (pairs)
                ++j;
            else
                unpaired.push_back(i);
        }
        return j == shortEnd ? unpaired : std::vector<int>{-1};
    };
    const std::vector<int> found = greedy(n > m);
    if (found.size() != 1 || found.front() != -1) {
        (n > m ? a.removed : a.inserted) = found;
        return a;
    }
    for (int i = head; i < oldEnd; ++i)
        a.removed.push_back(i);
    for (int j = head; j < newEnd; ++j)
        a.inserted.push_back(j);
    return a;
}

} // namespace

DocumentChange DocumentChange::between(const std::vector<ElementCopy> &before, Document &doc)
{
    DocumentChange change;
    const Alignment a = align(before, doc);
    for (int i : a.removed)
        change.removed.push_back({i, before[static_cast<std::size_t>(i)]});
    for (int j : a.inserted)
        change.inserted.push_back({j, ElementCopy(*doc.element(j))});
    change.works = !a.removed.empty() || !a.inserted.empty();

    // The remaining elements pair up in order.
    std::size_t r = 0;
    std::size_t s = 0;
    int j = 0;
    for (int i = 0; i < static_cast<int>(before.size()); ++i) {
        if (r < a.removed.size() && a.removed[r] == i) {
            ++r;
            continue;
        }
        while (s < a.inserted.size() && a.inserted[s] == j) {
            ++s;
            ++j;
        }
        const ElementCopy &old = before[static_cast<std::size_t>(i)];
        const Telemente &now = *doc.element(j);
        if (!old.matches(now, true)) {
            change.works = change.works || !old.matches(now, false);
            change.changed.push_back({j, old, ElementCopy(now)});
        }
        ++j;
    }
    return change;
}

const ElementCopy *DocumentChange::singleInsertion() const
{
    return removed.empty() && inserted.size() == 1 ? &inserted.front().element : nullptr;
}

bool DocumentChange::apply(Document *doc, std::vector<ElementCopy> *shadow, bool forward) const
{
    const std::vector<Positioned> &gone = forward ? removed : inserted;
    const std::vector<Positioned> &come = forward ? inserted : removed;
    if (doc)
        doc->touch();
    bool ok = true;
    auto write = [&](const Changed &c) {
        const ElementCopy &element = forward ? c.after : c.before;
        if (doc)
            ok = element.writeInto(*doc->element(c.index)) && ok;
        if (shadow)
            (*shadow)[static_cast<std::size_t>(c.index)] = element;
    };
    if (!forward)
        for (const Changed &c : changed)
            write(c);
    for (auto it = gone.rbegin(); it != gone.rend(); ++it) {
        if (doc)
            doc->deleteElement(it->index);
        if (shadow)
            shadow->erase(shadow->begin() + it->index);
    }
    for (const Positioned &p : come) {
        // Without memory for the record the copy keeps the document's count, so positions hold.
        const int count = doc ? doc->count() : 0;
        if (doc)
            ok = p.element.insertInto(*doc, p.index) && ok;
        if (shadow && (!doc || doc->count() > count))
            shadow->insert(shadow->begin() + p.index, p.element);
    }
    if (forward)
        for (const Changed &c : changed)
            write(c);
    return ok;
}
