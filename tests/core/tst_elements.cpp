#include "core/elements.h"

#include <QTest>

#include <cstring>

class tst_Elements : public QObject
{
    Q_OBJECT

private slots:
    void fileLayout();
    void freshElement();
    void vertexListsShareOnePublishedVertex();
    void names_data();
    void names();
    void renamingReplacesTheBlock();
    void deleteWithoutName();
    void deleteKeepsOrder();
    void clearReleasesEverything();
};

void tst_Elements::fileLayout()
{
    // The project file copies the first 179 bytes of each record, so the fields must sit there.
    Telemente e{};
    e.typ = 0x01020304;
    e.closed = true;
    e.dragit4 = true;
    unsigned char bytes[ElementFileFixedPart];
    std::memcpy(bytes, &e, sizeof bytes);
    QCOMPARE(int(bytes[8]), 0x04);
    QCOMPARE(int(bytes[11]), 0x01);
    QCOMPARE(int(bytes[164]), 1);
    QCOMPARE(int(bytes[170]), 1);
    QCOMPARE(ElementFileRecordSize * 2, std::size_t(358));
}

void tst_Elements::freshElement()
{
    Document doc;
    Telemente *e = doc.appendElement();
    QVERIFY(e);
    QCOMPARE(doc.aele(), e);
    QCOMPARE(doc.count(), 1);
    QVERIFY(e->vert);
    QCOMPARE(Document::vertexCount(*e), 0);
    QCOMPARE(e->vert->recordSize(), std::uint32_t(sizeof(Tvertex)));
    QCOMPARE(e->name, nullptr);
    QCOMPARE(Document::name(*e), QString());
    const QByteArray zeros(ElementFileFixedPart, '\0');
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(e), ElementFileFixedPart), zeros);
}

void tst_Elements::vertexListsShareOnePublishedVertex()
{
    Document doc;
    Telemente *first = doc.appendElement();
    QVERIFY(doc.appendVertex(1, 2));
    QCOMPARE(doc.avert()->x, 1.0);
    QCOMPARE(doc.avert()->y, 2.0);
    doc.appendElement();
    QVERIFY(doc.appendVertex(3, 4));
    QCOMPARE(doc.avert()->x, 3.0);

    // Moving the first element's list republishes into the same variable.
    Document::vertex(first->vert, 0);
    QCOMPARE(doc.avert()->y, 2.0);
    QCOMPARE(Document::vertexCount(*first), 1);
}

void tst_Elements::names_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("plain") << QStringLiteral("Wand Nord");
    QTest::newRow("umlaut and surrogates") << QStringLiteral("Fläche \U0001F4D0");
}

void tst_Elements::names()
{
    QFETCH(QString, text);
    Document doc;
    Telemente *e = doc.appendElement();
    QVERIFY(Document::setName(*e, text));
    // Even an empty name is a real block holding one terminating zero.
    QVERIFY(e->name);
    QCOMPARE(e->name[text.size()], u'\0');
    QCOMPARE(std::memcmp(e->name, text.utf16(), std::size_t(text.size()) * 2), 0);
    QCOMPARE(Document::name(*e), text);
}

void tst_Elements::renamingReplacesTheBlock()
{
    Document doc;
    Telemente *e = doc.appendElement();
    QVERIFY(Document::setName(*e, QStringLiteral("a rather long first name")));
    QVERIFY(Document::setName(*e, QStringLiteral("kurz")));
    QCOMPARE(Document::name(*e), QStringLiteral("kurz"));
    QCOMPARE(nameText(nullptr), QString());
}

void tst_Elements::deleteWithoutName()
{
    Document doc;
    doc.appendElement();
    doc.appendVertex(5, 5);
    doc.deleteElement(0);
    QCOMPARE(doc.count(), 0);
    QCOMPARE(doc.aele(), nullptr);
    doc.deleteElement(0);
    doc.deleteElement(-1);
    QCOMPARE(doc.count(), 0);
}

void tst_Elements::deleteKeepsOrder()
{
    Document doc;
    for (int i = 0; i < 5; ++i) {
        Telemente *e = doc.appendElement();
        e->typ = TypDistance;
        e->x1 = i;
        Document::setName(*e, QString::number(i));
    }
    // Deleting several elements runs from the last one down, as Delete clears the cursor.
    for (int i = doc.count() - 1; i >= 0; --i)
        if (i % 2 == 1)
            doc.deleteElement(i);
    QCOMPARE(doc.count(), 3);
    QStringList left;
    doc.elemente.First();
    while (doc.elemente.WhileNext())
        left << Document::name(*doc.aele());
    QCOMPARE(left, (QStringList{"0", "2", "4"}));
    QCOMPARE(double(doc.element(2)->x1), 4.0);
    doc.deleteElement(5);
    QCOMPARE(doc.count(), 3);
}

void tst_Elements::clearReleasesEverything()
{
    // The sanitizer run reports any name or vertex list left behind here.
    Document doc;
    for (int i = 0; i < 150; ++i) {
        doc.appendElement();
        for (int v = 0; v < 120; ++v)
            doc.appendVertex(v, i);
        if (i % 3)
            Document::setName(*doc.aele(), QStringLiteral("Element %1").arg(i));
    }
    doc.clear();
    QCOMPARE(doc.count(), 0);
    QCOMPARE(doc.aele(), nullptr);
    QCOMPARE(doc.elemente.memSize(), std::size_t(0));

    // The destructor releases a document that still holds elements.
    Document other;
    other.appendElement();
    other.appendVertex(1, 1);
    Document::setName(*other.aele(), QStringLiteral("bleibt"));
}

QTEST_GUILESS_MAIN(tst_Elements)
#include "tst_elements.moc"
