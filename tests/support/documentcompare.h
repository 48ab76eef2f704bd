#pragma once

#include "core/elements.h"

#include <QtTest>

#include <cstring>

// Compares two documents as the project file stores them: the record's file part, the vertices
// and the names.
inline void compareDocuments(Document &a, Document &b)
{
    QCOMPARE(b.count(), a.count());
    for (int i = 0; i < a.count(); ++i) {
        const Telemente ea = *a.element(i);
        const Telemente eb = *b.element(i);
        QVERIFY2(std::memcmp(&ea, &eb, ElementFileFixedPart) == 0, qPrintable(QString::number(i)));
        QCOMPARE(Document::vertexCount(eb), Document::vertexCount(ea));
        for (int v = 0; v < Document::vertexCount(ea); ++v) {
            QCOMPARE(Document::vertex(eb.vert, v)->x, Document::vertex(ea.vert, v)->x);
            QCOMPARE(Document::vertex(eb.vert, v)->y, Document::vertex(ea.vert, v)->y);
        }
        QCOMPARE(Document::name(eb), Document::name(ea));
        QVERIFY(eb.name);
    }
}
