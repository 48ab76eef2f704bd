#include "core/elementvalues.h"
#include "core/projectfile.h"
#include "render/fontrecord.h"
#include "support/testfiles.h"
#include "workspace/workspace.h"

#include <QtTest>

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QUndoStack>

#include <cstring>

namespace {

// The work as a project file holds it, with the values a repaint would store, and the scale and
// the number settings, which the file does not hold.
struct Saved {
    QByteArray bytes;
    double pixelLength = 0;
    double realLength = 0;
    QString unit;
    int lengthDecimals = 0;
    int areaDecimals = 0;
    const Picture *picture = nullptr;
    bool operator==(const Saved &) const = default;
};

Saved saved(Workspace &w, const QString &path)
{
    refreshElementValues(w.document(), w.scale());
    const DrawingSettings d = w.drawingSettings();
    ProjectSettings s;
    s.colour = colorRef(d.elementColor);
    s.linewidth = d.lineWidth;
    s.arrowlength = d.arrowLength;
    s.font = recordFromFont(d.labelFont.font, d.labelFont.color);
    QString error;
    if (!saveProject(path, w.document(), w.picture(), s, &error))
        qWarning() << error;
    const NumberSettings n = w.numberSettings();
    return Saved{fileBytes(path), w.scale().pixelLength, w.scale().realLength, n.unit, n.lengthDecimals, n.areaDecimals,
                 w.sharedPicture().get()};
}

Picture solid(int width, int height, int grey)
{
    Picture p;
    if (newdib(p.record(), width, height, 24, nullptr, 0))
        std::memset(p.record().poi, grey, static_cast<std::size_t>(p.get().bytew) * static_cast<std::size_t>(height));
    return p;
}

// Changes the work the way the program's commands and tools do, one step at a time.
class Operations
{
public:
    Operations(Workspace &workspace, quint32 seed) : w(workspace), random(seed) {}

    double coordinate() { return random.bounded(4000) / 4.0; }

    void addElement()
    {
        static constexpr int Types[] = {TypRectangle, TypEllipse, TypDistance, TypPolygon, TypPolyline,
                                        TypAngle, TypText, TypScaleLine};
        Document &doc = w.document();
        Telemente *e = doc.appendElement();
        e->typ = Types[random.bounded(int(std::size(Types)))];
        e->x1 = coordinate();
        e->y1 = coordinate();
        e->x2 = coordinate();
        e->y2 = coordinate();
        e->x3 = coordinate();
        const int vertices = e->typ == TypPolygon || e->typ == TypPolyline ? 2 + random.bounded(5)
                             : e->typ == TypAngle                          ? 3
                                                                           : 0;
        for (int v = 0; v < vertices; ++v)
            Document::appendVertex(e->vert, coordinate(), coordinate());
        if (random.bounded(2))
            Document::setName(*e, QStringLiteral("Raum %1").arg(random.bounded(100)));
        w.commitStep(QString());
    }

    int anyElement() { return random.bounded(w.document().count()); }

    void selectSome()
    {
        Document &doc = w.document();
        for (int i = 0; i < doc.count(); ++i)
            doc.element(i)->selected = random.bounded(4) == 0;
    }

    void deleteSelected()
    {
        selectSome();
        Document &doc = w.document();
        for (int i = doc.count() - 1; i >= 0; --i)
            if (doc.element(i)->selected)
                doc.deleteElement(i);
        w.commitStep(QStringLiteral("Löschen"));
    }

    void moveSelected()
    {
        selectSome();
        const double dx = coordinate() - 500;
        const double dy = coordinate() - 500;
        Document &doc = w.document();
        for (int i = 0; i < doc.count(); ++i) {
            Telemente &e = *doc.element(i);
            if (!e.selected)
                continue;
            e.x1 += dx;
            e.y1 += dy;
            e.x2 += dx;
            e.y2 += dy;
            for (int v = 0; v < Document::vertexCount(e); ++v) {
                Tvertex *p = Document::vertex(e.vert, v);
                p->x += dx;
                p->y += dy;
            }
        }
        w.commitStep(QString());
    }

    void dragPoint()
    {
        Telemente &e = *w.document().element(anyElement());
        e.ox1 = e.x3;
        e.dragit3 = true;
        e.x3 = coordinate();
        if (Document::vertexCount(e) > 0)
            *Document::vertex(e.vert, 0) = {coordinate(), coordinate()};
        w.commitStep(QString());
    }

    void paste()
    {
        Document &doc = w.document();
        const int from = anyElement();
        for (int i = 0; i < doc.count(); ++i)
            doc.element(i)->selected = false;
        const Telemente source = *doc.element(from);
        const QString name = Document::name(source);
        std::vector<Tvertex> vertices;
        for (int v = 0; v < Document::vertexCount(source); ++v)
            vertices.push_back(*Document::vertex(source.vert, v));
        Telemente *e = doc.appendElement();
        TDynaArray *list = e->vert;
        *e = source;
        e->vert = list;
        e->name = nullptr;
        e->x1 += 10;
        e->selected = true;
        for (const Tvertex &v : vertices)
            Document::appendVertex(e->vert, v.x + 10, v.y + 10);
        Document::setName(*e, name);
        w.commitStep(QStringLiteral("Einfügen"));
    }

    void rename()
    {
        Document::setName(*w.document().element(anyElement()), QStringLiteral("Neu %1").arg(random.bounded(1000)));
        w.commitStep(QStringLiteral("Bezeichnung"));
    }

    void newDrawing()
    {
        w.document().clear();
        w.commitStep(QStringLiteral("Linien Neu"));
    }

    void settings()
    {
        switch (random.bounded(7)) {
        case 0: {
            // The graphic scale: a new scale with its reference line replaced.
            Document &doc = w.document();
            for (int i = doc.count() - 1; i >= 0; --i)
                if (doc.element(i)->typ == TypScaleLine)
                    doc.deleteElement(i);
            Telemente *line = doc.appendElement();
            line->typ = TypScaleLine;
            line->x2 = coordinate();
            w.setScale(Scale{1 + coordinate(), 1.0 + random.bounded(50)});
            break;
        }
        case 1:
            w.setDecimals(random.bounded(7), random.bounded(7));
            w.setUnit(random.bounded(2) ? QStringLiteral("m") : QStringLiteral("cm"));
            break;
        case 2:
            w.setElementColor(QColor::fromRgb(random.generate() & 0xffffff));
            break;
        case 3:
            w.setLineWidth(0.5 + random.bounded(20) / 2.0);
            break;
        case 4:
            w.setArrowLength(1 + random.bounded(100));
            break;
        case 5: {
            LabelFont font = w.labelFont();
            font.font.setPixelSize(5 + random.bounded(40));
            font.font.setBold(random.bounded(2));
            font.color = QColor::fromRgb(random.generate() & 0xffffff);
            w.setLabelFont(font);
            break;
        }
        default:
            w.setPicture(solid(20 + random.bounded(20), 10 + random.bounded(20), random.bounded(256)));
            break;
        }
        w.commitStep(QStringLiteral("Einstellung"));
    }

    void any()
    {
        if (w.document().count() == 0) {
            addElement();
            return;
        }
        switch (random.bounded(20)) {
        case 0: case 1: case 2: case 3: case 4: addElement(); break;
        case 5: case 6: deleteSelected(); break;
        case 7: case 8: case 9: moveSelected(); break;
        case 10: case 11: dragPoint(); break;
        case 12: paste(); break;
        case 13: rename(); break;
        case 14: newDrawing(); break;
        default: settings(); break;
        }
    }

private:
    Workspace &w;
    QRandomGenerator random;
};

} // namespace

class TestWorkspace : public QObject
{
    Q_OBJECT

private slots:
    void undoAllRedoAll_data();
    void undoAllRedoAll();
    void selectionAloneIsNoStep();
    void constructionGivenUp();
    void stepNamesAndMerging();
    void modifiedFollowsTheSavedStep();
    void historyIsBounded();
    void moveKeepsOnlyTheMovedElement();
    void scaleRecordsAndZoomsAreSteps_data();
    void scaleRecordsAndZoomsAreSteps();

private:
    QTemporaryDir dir;
};

void TestWorkspace::undoAllRedoAll_data()
{
    QTest::addColumn<quint32>("seed");
    for (quint32 seed : {1u, 7u, 2024u, 99991u})
        QTest::addRow("seed %u", seed) << seed;
}

void TestWorkspace::undoAllRedoAll()
{
    QFETCH(quint32, seed);
    const QString path = dir.filePath(QStringLiteral("work.ver"));
    Workspace w;
    Operations ops(w, seed);
    for (int i = 0; i < 12; ++i)
        ops.addElement();
    w.startHistory();
    const Saved before = saved(w, path);

    for (int i = 0; i < 200; ++i)
        ops.any();
    const Saved after = saved(w, path);
    QVERIFY(w.history().count() > 150);

    while (w.history().canUndo())
        w.undo();
    QVERIFY(saved(w, path) == before);
    while (w.history().canRedo())
        w.redo();
    QVERIFY(saved(w, path) == after);
}

void TestWorkspace::selectionAloneIsNoStep()
{
    Workspace w;
    Operations ops(w, 3);
    ops.addElement();
    ops.addElement();
    const int steps = w.history().count();
    w.document().element(1)->selected = true;
    w.commitStep(QString());
    QCOMPARE(w.history().count(), steps);
    // The next step keeps the selection it started from.
    w.document().element(0)->x2 += 5;
    w.commitStep(QString());
    w.undo();
    QVERIFY(w.document().element(1)->selected);
}

void TestWorkspace::constructionGivenUp()
{
    Workspace w;
    Operations ops(w, 5);
    ops.addElement();
    const int steps = w.history().count();
    Telemente *open = w.document().appendElement();
    open->typ = TypPolygon;
    Document::appendVertex(open->vert, 1, 2);
    w.revertUncommitted();
    QCOMPARE(w.document().count(), 1);
    QCOMPARE(w.history().count(), steps);
}

void TestWorkspace::stepNamesAndMerging()
{
    Workspace w;
    Telemente *polygon = w.document().appendElement();
    polygon->typ = TypPolygon;
    w.commitStep(QString());
    QCOMPARE(w.history().undoText(), QStringLiteral("Polygon"));
    w.document().element(0)->x1 = 9;
    w.commitStep(QString());
    QCOMPARE(w.history().undoText(), QStringLiteral("Verschieben"));

    // The arrows of a number field: one step, undone to the value before the first.
    const int steps = w.history().count();
    for (double width : {3.0, 3.5, 4.0}) {
        w.setLineWidth(width);
        w.commitStep(QStringLiteral("Linienbreite"), 1);
    }
    QCOMPARE(w.history().count(), steps + 1);
    w.undo();
    QCOMPARE(w.drawingSettings().lineWidth, 2.0);
}

void TestWorkspace::modifiedFollowsTheSavedStep()
{
    Workspace w;
    QSignalSpy modified(&w, &Workspace::modifiedChanged);
    QVERIFY(!w.isModified());
    w.setScale(Scale{2, 3});
    w.commitStep(QStringLiteral("Maßstab"));
    QVERIFY(w.isModified());
    w.markSaved();
    QVERIFY(!w.isModified());
    w.undo();
    QVERIFY(w.isModified());
    w.redo();
    QVERIFY(!w.isModified());
    QCOMPARE(modified.size(), 4);
    w.setModified(true);
    QVERIFY(w.isModified());
    w.startHistory();
    QVERIFY(!w.isModified());
    QVERIFY(!w.history().canUndo());
}

void TestWorkspace::historyIsBounded()
{
    Workspace w;
    for (int i = 0; i < Workspace::MaxSteps + 20; ++i) {
        w.setDecimals(i % 7, i % 5);
        w.commitStep(QStringLiteral("Nachkommastellen"));
    }
    QCOMPARE(w.history().count(), Workspace::MaxSteps);
}

void TestWorkspace::moveKeepsOnlyTheMovedElement()
{
    // Undoing a move in a large document puts back the moved element and leaves the others as
    // they are, including values a repaint refreshed meanwhile.
    Workspace w;
    for (int i = 0; i < 10000; ++i) {
        Telemente *e = w.document().appendElement();
        e->typ = TypRectangle;
        e->x2 = i;
    }
    w.startHistory();
    w.document().element(5000)->x1 = 42;
    w.commitStep(QString());
    w.document().element(7)->lang = 123;
    w.undo();
    QCOMPARE(double(w.document().element(5000)->x1), 0.0);
    QCOMPARE(double(w.document().element(7)->lang), 123.0);
    QCOMPARE(w.document().count(), 10000);
}

namespace {

// The scale with its axes and checks and every element's placement zoom.
struct ScaleState {
    double pixelLength, realLength, yPixelLength, yRealLength;
    bool separateAxes;
    std::optional<std::array<ReferenceLine, 2>> axes;
    std::vector<ReferenceLine> checks;
    std::vector<double> zooms;
    bool operator==(const ScaleState &) const = default;
};

ScaleState scaleState(const Workspace &w)
{
    const Scale s = w.scale();
    ScaleState state{s.pixelLength, s.realLength, s.yPixelLength, s.yRealLength, s.separateAxes, w.axisLines(), w.scaleChecks(), {}};
    for (int i = 0; i < w.document().count(); ++i)
        state.zooms.push_back(w.document().placementZoom(i));
    return state;
}

} // namespace

void TestWorkspace::scaleRecordsAndZoomsAreSteps_data()
{
    QTest::addColumn<int>("change");
    QTest::newRow("single scale") << 0;
    QTest::newRow("y factor") << 1;
    QTest::newRow("axis lines") << 2;
    QTest::newRow("checks") << 3;
    QTest::newRow("placement zoom") << 4;
    QTest::newRow("deleted element") << 5;
}

void TestWorkspace::scaleRecordsAndZoomsAreSteps()
{
    QFETCH(int, change);
    const ReferenceLine across{{0, 0}, {400, 10}, 8.0, 100.0};
    const ReferenceLine down{{0, 0}, {10, 300}, 6.24, 50.0};
    Workspace w;
    for (double zoom : {50.0, 0.0, 400.0}) {
        Telemente *e = w.document().appendElement();
        e->typ = TypDistance;
        e->x2 = 100;
        e->placementZoom = zoom;
    }
    Scale stretched{1.0, 0.02};
    stretched.separateAxes = true;
    stretched.yRealLength = 0.0208;
    w.setScale(stretched);
    w.setAxisLines(std::array<ReferenceLine, 2>{across, down});
    w.setScaleChecks({across});
    w.commitStep(QStringLiteral("Maßstab"));
    const ScaleState before = scaleState(w);
    const int steps = w.history().count();

    Scale other = stretched;
    switch (change) {
    case 0: w.setScale(Scale{50, 1}); break;
    case 1:
        other.yRealLength = 0.0209;
        w.setScale(other);
        break;
    case 2: w.setAxisLines(std::array<ReferenceLine, 2>{down, across}); break;
    case 3: w.setScaleChecks({across, down}); break;
    case 4: w.document().notePlacementZoom(2, 25.0); break;
    case 5: w.document().deleteElement(0); break;
    }
    w.commitStep(QStringLiteral("Änderung"));
    const ScaleState after = scaleState(w);
    QVERIFY(!(after == before));
    QCOMPARE(w.history().count(), steps + 1);

    w.undo();
    QVERIFY(scaleState(w) == before);
    w.redo();
    QVERIFY(scaleState(w) == after);
}

QTEST_MAIN(TestWorkspace)
#include "tst_workspace.moc"
