#include "core/elements.h"
#include "render/emfexport.h"
#include "render/renderer.h"
#include "render/viewstate.h"
#include "support/elementbuilder.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <vector>

namespace {

enum RecordType : quint32 {
    EmrHeader = 1,
    EmrPolyBezierTo = 5,
    EmrEof = 14,
    EmrMoveToEx = 27,
    EmrSelectObject = 37,
    EmrCreatePen = 38,
    EmrDeleteObject = 40,
    EmrEllipse = 42,
    EmrLineTo = 54,
    EmrPolyBezierTo16 = 88,
};
constexpr quint32 NullBrush = 0x80000005;

struct Record {
    quint32 type = 0;
    QByteArray body; // the record after its type and size

    qint32 at(int index) const { return qFromLittleEndian<qint32>(body.constData() + 4 * index); }
};

// Splits a metafile into its records, checking the sizes and the header's totals on the way.
std::vector<Record> parseEmf(const QByteArray &bytes)
{
    std::vector<Record> records;
    qsizetype offset = 0;
    while (offset < bytes.size()) {
        if (bytes.size() - offset < 8)
            return {};
        const auto type = qFromLittleEndian<quint32>(bytes.constData() + offset);
        const auto size = qFromLittleEndian<quint32>(bytes.constData() + offset + 4);
        if (size < 8 || size % 4 != 0 || size > static_cast<quint64>(bytes.size() - offset))
            return {};
        records.push_back({type, bytes.mid(offset + 8, size - 8)});
        offset += size;
    }
    if (records.empty() || records.front().type != EmrHeader || records.back().type != EmrEof)
        return {};
    const Record &header = records.front();
    // nBytes and nRecords follow the bounds, the frame, the signature and the version.
    if (header.at(10) != bytes.size() || header.at(11) != static_cast<qint32>(records.size()))
        return {};
    return records;
}

std::vector<Record> ofType(const std::vector<Record> &records, quint32 type)
{
    std::vector<Record> found;
    for (const Record &r : records)
        if (r.type == type)
            found.push_back(r);
    return found;
}

std::vector<Record> exportRecords(Document &doc, int zoom, double lineWidth, int scroll = 0)
{
    ViewState view;
    view.zoomPercent = zoom;
    view.scrollX = scroll;
    view.scrollY = scroll;
    DrawingSettings settings;
    settings.lineWidth = lineWidth;
    QString error;
    const QByteArray bytes = emfBytes(doc, view, settings, &error);
    if (bytes.isEmpty())
        qWarning() << error;
    return parseEmf(bytes);
}

QPoint point(const Record &r) { return QPoint(r.at(0), r.at(1)); }

// The end point of a curve record, whichever of the two sizes libEMF chose.
QList<QPoint> bezierPoints(const Record &r)
{
    QList<QPoint> points;
    const int count = r.at(4);
    for (int i = 0; i < count; ++i) {
        if (r.type == EmrPolyBezierTo16)
            points.append(QPoint(qFromLittleEndian<qint16>(r.body.constData() + 20 + 4 * i),
                                 qFromLittleEndian<qint16>(r.body.constData() + 22 + 4 * i)));
        else
            points.append(QPoint(r.at(5 + 2 * i), r.at(6 + 2 * i)));
    }
    return points;
}

QRect bounds(const std::vector<Record> &records)
{
    const Record &h = records.front();
    return QRect(QPoint(h.at(0), h.at(1)), QPoint(h.at(2), h.at(3)));
}

} // namespace

class TestEmfExport : public QObject
{
    Q_OBJECT

private slots:
    void penWidthFollowsZoom_data();
    void penWidthFollowsZoom();
    void lineAtZoom200();
    void closingLineGetsItsOwnPen();
    void curves();
    void ellipseIsUnfilled();
    void onlyMeasuringElementsGiveAnEmptyPicture();
    void scrollPositionDoesNotMoveThePicture();
    void largeCoordinates();
    void savesThroughATemporaryFile();
};

void TestEmfExport::penWidthFollowsZoom_data()
{
    QTest::addColumn<int>("zoom");
    QTest::addColumn<double>("lineWidth");
    QTest::addColumn<int>("penWidth");
    QTest::newRow("zoom 200, initial width") << 200 << 2.0 << 4;
    QTest::newRow("zoom 10 rounds to 0, drawn as 1") << 10 << 2.0 << 1;
    QTest::newRow("zoom 100, 2.5 to even") << 100 << 2.5 << 2;
    QTest::newRow("zoom 300, width 0.5") << 300 << 0.5 << 2;
}

void TestEmfExport::penWidthFollowsZoom()
{
    QFETCH(int, zoom);
    QFETCH(double, lineWidth);
    QFETCH(int, penWidth);
    Document doc;
    add(doc, TypLine, {10, 10}, {20, 15});
    const auto records = exportRecords(doc, zoom, lineWidth);
    QVERIFY(!records.empty());
    const auto pens = ofType(records, EmrCreatePen);
    QCOMPARE(pens.size(), 1u);
    QCOMPARE(pens[0].at(1), 0);          // PS_SOLID
    QCOMPARE(pens[0].at(2), penWidth);
    QCOMPARE(pens[0].at(4), 0x0000FF);   // red as 0x00BBGGRR
}

void TestEmfExport::lineAtZoom200()
{
    Document doc;
    add(doc, TypLine, {10, 10}, {20, 15});
    const auto records = exportRecords(doc, 200, 2.0);
    QVERIFY(!records.empty());
    const auto moves = ofType(records, EmrMoveToEx);
    const auto lines = ofType(records, EmrLineTo);
    QCOMPARE(moves.size(), 1u);
    QCOMPARE(lines.size(), 1u);
    QCOMPARE(point(moves[0]), QPoint(20, 20));
    QCOMPARE(point(lines[0]), QPoint(40, 30));
    // The bounds hold the line with half the pen width of 4 on every side.
    QCOMPARE(bounds(records), QRect(QPoint(18, 18), QPoint(42, 32)));
    // The pen is selected before the line is drawn.
    std::size_t select = 0, line = 0;
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (records[i].type == EmrSelectObject && !select)
            select = i;
        if (records[i].type == EmrLineTo)
            line = i;
    }
    QVERIFY(select > 0 && select < line);
}

void TestEmfExport::closingLineGetsItsOwnPen()
{
    Document doc;
    add(doc, TypLine, {0, 0}, {10, 0});
    add(doc, TypLine, {10, 0}, {10, 10})->nr = 1;
    Telemente *last = add(doc, TypLine, {10, 10}, {0, 10});
    last->nr = 2;
    last->closed = true;
    const auto records = exportRecords(doc, 100, 2.0);
    QVERIFY(!records.empty());
    const auto lines = ofType(records, EmrLineTo);
    QCOMPARE(lines.size(), 4u);
    QCOMPARE(point(lines[3]), QPoint(0, 0));
    QCOMPARE(ofType(records, EmrCreatePen).size(), 4u);
    // Between the third segment and the closing line: a move to the last segment's end and a
    // fresh pen, selected before the line is drawn.
    std::vector<std::size_t> lineIndex;
    for (std::size_t i = 0; i < records.size(); ++i)
        if (records[i].type == EmrLineTo)
            lineIndex.push_back(i);
    QList<quint32> between;
    QPoint movedTo;
    for (std::size_t i = lineIndex[2] + 1; i < lineIndex[3]; ++i) {
        between.append(records[i].type);
        if (records[i].type == EmrMoveToEx)
            movedTo = point(records[i]);
    }
    QCOMPARE(movedTo, QPoint(0, 10));
    const qsizetype pen = between.indexOf(EmrCreatePen);
    QVERIFY(pen > between.indexOf(EmrMoveToEx));
    QVERIFY(between.indexOf(EmrSelectObject, pen) > pen);
}

void TestEmfExport::curves()
{
    Document doc;
    add(doc, TypQuadCurve, {0, 0}, {60, 0}, {30, 30});
    add(doc, TypCubicCurve, {100, 0}, {160, 0}, {110, 40}, {150, 40});
    const auto records = exportRecords(doc, 100, 1.0);
    QVERIFY(!records.empty());
    std::vector<Record> curves = ofType(records, EmrPolyBezierTo16);
    for (const Record &r : ofType(records, EmrPolyBezierTo))
        curves.push_back(r);
    QCOMPARE(curves.size(), 2u);
    QCOMPARE(bezierPoints(curves[0]), (QList<QPoint>{{20, 20}, {40, 20}, {60, 0}}));
    QCOMPARE(bezierPoints(curves[1]), (QList<QPoint>{{110, 40}, {150, 40}, {160, 0}}));
    const auto moves = ofType(records, EmrMoveToEx);
    QCOMPARE(point(moves[0]), QPoint(0, 0));
    QCOMPARE(point(moves[1]), QPoint(100, 0));
    // The quadratic curve's highest point is at y = 15, the cubic's at y = 30, not at the
    // control points.
    QCOMPARE(bounds(records), QRect(QPoint(0, 0), QPoint(160, 30)));
}

void TestEmfExport::ellipseIsUnfilled()
{
    Document doc;
    add(doc, TypEllipse, {10, 20}, {50, 40});
    const auto records = exportRecords(doc, 50, 2.0);
    QVERIFY(!records.empty());
    const auto ellipses = ofType(records, EmrEllipse);
    QCOMPARE(ellipses.size(), 1u);
    QCOMPARE(QRect(QPoint(ellipses[0].at(0), ellipses[0].at(1)), QPoint(ellipses[0].at(2), ellipses[0].at(3))),
             QRect(QPoint(5, 10), QPoint(25, 20)));
    bool clearBrush = false;
    for (const Record &r : records) {
        if (r.type == EmrSelectObject && static_cast<quint32>(r.at(0)) == NullBrush)
            clearBrush = true;
        if (r.type == EmrEllipse)
            break;
    }
    QVERIFY(clearBrush);
}

void TestEmfExport::onlyMeasuringElementsGiveAnEmptyPicture()
{
    Document doc;
    add(doc, TypRectangle, {10, 10}, {40, 30});
    add(doc, TypDistance, {0, 0}, {100, 0}, {50, -10});
    add(doc, TypText, {5, 5}, {0, 0});
    const auto records = exportRecords(doc, 100, 2.0);
    QVERIFY(!records.empty());
    for (const quint32 drawing : {EmrLineTo, EmrPolyBezierTo, EmrPolyBezierTo16, EmrEllipse})
        QVERIFY(ofType(records, drawing).empty());
    // Each element still sets the pen and moves to its first point.
    QCOMPARE(ofType(records, EmrMoveToEx).size(), 3u);
    const Record &h = records.front();
    QCOMPARE(QList<qint32>({h.at(0), h.at(1), h.at(2), h.at(3)}), QList<qint32>({0, 0, -1, -1}));
    QCOMPARE(QList<qint32>({h.at(4), h.at(5), h.at(6), h.at(7)}), QList<qint32>({0, 0, -1, -1}));

    Document none;
    const auto empty = exportRecords(none, 100, 2.0);
    QVERIFY(!empty.empty());
    QCOMPARE(bounds(empty).isValid(), false);
}

void TestEmfExport::scrollPositionDoesNotMoveThePicture()
{
    Document doc;
    add(doc, TypLine, {10, 10}, {20, 15});
    const auto plain = exportRecords(doc, 150, 2.0);
    const auto scrolled = exportRecords(doc, 150, 2.0, 300);
    QVERIFY(!plain.empty());
    QCOMPARE(point(ofType(scrolled, EmrLineTo)[0]), point(ofType(plain, EmrLineTo)[0]));
    QCOMPARE(point(ofType(scrolled, EmrLineTo)[0]), QPoint(30, 22));
}

void TestEmfExport::largeCoordinates()
{
    Document doc;
    add(doc, TypLine, {-100, 5}, {2000, 1500});
    const auto records = exportRecords(doc, 30000, 2.0);
    QVERIFY(!records.empty());
    QCOMPARE(point(ofType(records, EmrMoveToEx)[0]), QPoint(-30000, 1500));
    QCOMPARE(point(ofType(records, EmrLineTo)[0]), QPoint(600000, 450000));
    QCOMPARE(bounds(records).right(), 600000 + 300);
}

void TestEmfExport::savesThroughATemporaryFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    Document doc;
    add(doc, TypLine, {10, 10}, {20, 15});
    const QString path = dir.filePath(QStringLiteral("lines.emf"));
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old contents");
    }
    QString error;
    QVERIFY2(saveasemf(path, doc, ViewState(), DrawingSettings(), &error), qPrintable(error));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(!parseEmf(file.readAll()).empty());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("lines.emf")});

    const QString unwritable = dir.filePath(QStringLiteral("missing/lines.emf"));
    QVERIFY(!saveasemf(unwritable, doc, ViewState(), DrawingSettings(), &error));
    QVERIFY(error.contains(unwritable));
    QVERIFY(!QFileInfo::exists(unwritable));
}

QTEST_GUILESS_MAIN(TestEmfExport)
#include "tst_emfexport.moc"
