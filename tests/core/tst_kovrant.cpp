#include "core/kovrant.h"

#include <QBuffer>
#include <QTest>

#include <cstring>

namespace {

struct Rec {
    std::int32_t a;
    std::int32_t b;
};

Rec *rec(TDynaArray &arr, std::uint32_t i)
{
    return static_cast<Rec *>(arr.GetObject(i));
}

void fill(TDynaArray &arr, int n)
{
    for (int i = 0; i < n; ++i) {
        auto *r = static_cast<Rec *>(arr.Add());
        r->a = i;
        r->b = -i;
    }
}

QList<int> values(TDynaArray &arr)
{
    QList<int> out;
    for (std::uint32_t i = 0; i < arr.Count(); ++i)
        out << rec(arr, i)->a;
    return out;
}

QList<int> range(int from, int to)
{
    QList<int> out;
    for (int i = from; i < to; ++i)
        out << i;
    return out;
}

// A pipe-like device that delivers its bytes and then nothing more, as a socket would.
class Trickle : public QIODevice
{
public:
    explicit Trickle(QByteArray bytes) : data(std::move(bytes)) { open(QIODevice::ReadOnly); }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *out, qint64 max) override
    {
        const qint64 n = qMin<qint64>(max, data.size());
        if (n > 0) {
            std::memcpy(out, data.constData(), static_cast<std::size_t>(n));
            data.remove(0, n);
        }
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray data;
};

} // namespace

class tst_Kovrant : public QObject
{
    Q_OBJECT

private slots:
    void constructionPublishesNothing();
    void firstAddIsZeroAndPublished();
    void growthAt101();
    void shrinkBackTo100_data();
    void shrinkBackTo100();
    void deletingTheOnlyRecord();
    void reusedRecordIsZeroed();
    void walkPositions();
    void firstOnEmpty();
    void next();
    void insert_data();
    void insert();
    void insertAcrossStep();
    void deleteOutOfRange_data();
    void deleteOutOfRange();
    void change();
    void clear();
    void stepChangedAfterRecords();
    void failedRequestIsReported();
    void writeString();
    void readString_data();
    void readString();
    void readEmptyConsumesOnlyLength();
    void readFromSequentialDevice();
    void writeToReadOnlyDevice();
};

void tst_Kovrant::constructionPublishesNothing()
{
    void *owner = this;
    {
        TDynaArray arr(sizeof(Rec), &owner);
        QCOMPARE(arr.cursor(), -1);
        QCOMPARE(arr.memSize(), std::size_t(0));
        QCOMPARE(arr.buffersize, 100u);
    }
    QCOMPARE(owner, static_cast<void *>(this));
}

void tst_Kovrant::firstAddIsZeroAndPublished()
{
    void *owner = nullptr;
    TDynaArray arr(179, &owner);
    void *r = arr.Add();
    QVERIFY(r);
    QCOMPARE(owner, r);
    QCOMPARE(arr.cursor(), 0);
    QCOMPARE(arr.memSize(), std::size_t(17900));
    const QByteArray zeros(179, '\0');
    QCOMPARE(QByteArray(static_cast<const char *>(r), 179), zeros);
}

void tst_Kovrant::growthAt101()
{
    void *owner = nullptr;
    TDynaArray arr(sizeof(Rec), &owner);
    fill(arr, 100);
    const void *oldBlock = arr.block();
    QCOMPARE(arr.memSize(), 100 * sizeof(Rec));
    auto *r = static_cast<Rec *>(arr.Add());
    QVERIFY(arr.block() != oldBlock);
    QCOMPARE(arr.memSize(), 200 * sizeof(Rec));
    QCOMPARE(owner, static_cast<void *>(r));
    QCOMPARE(r, static_cast<Rec *>(arr.block()) + 100);
    QCOMPARE(r->a, 0);
    QCOMPARE(r->b, 0);
    QCOMPARE(arr.cursor(), 100);
    r->a = 100;
    QCOMPARE(values(arr), range(0, 101));
}

void tst_Kovrant::shrinkBackTo100_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("first") << 0;
    QTest::newRow("middle") << 50;
    QTest::newRow("last") << 100;
}

void tst_Kovrant::shrinkBackTo100()
{
    QFETCH(int, index);
    void *owner = nullptr;
    TDynaArray arr(sizeof(Rec), &owner);
    fill(arr, 101);
    arr.Delete(index);
    QCOMPARE(arr.Count(), 100u);
    QCOMPARE(arr.memSize(), 100 * sizeof(Rec));
    QCOMPARE(arr.cursor(), -1);
    QCOMPARE(owner, nullptr);
    QList<int> expected = range(0, 101);
    expected.removeAt(index);
    QCOMPARE(values(arr), expected);
}

void tst_Kovrant::deletingTheOnlyRecord()
{
    void *owner = nullptr;
    TDynaArray arr(sizeof(Rec), &owner);
    fill(arr, 1);
    arr.Delete(0);
    QCOMPARE(arr.Count(), 0u);
    QCOMPARE(arr.block(), nullptr);
    QCOMPARE(arr.memSize(), std::size_t(0));
    QCOMPARE(owner, nullptr);
    QCOMPARE(arr.cursor(), -1);
    QVERIFY(arr.Add());
    QCOMPARE(arr.Count(), 1u);
}

void tst_Kovrant::reusedRecordIsZeroed()
{
    // The block is not replaced here, so the freed tail still holds the deleted record's bytes.
    void *owner = nullptr;
    TDynaArray arr(sizeof(Rec), &owner);
    fill(arr, 3);
    rec(arr, 2)->a = 0x5A5A5A5A;
    arr.Delete(2);
    auto *fresh = static_cast<Rec *>(arr.Add());
    QCOMPARE(fresh->a, 0);
    QCOMPARE(fresh->b, 0);

    rec(arr, 1)->a = 77;
    auto *inserted = static_cast<Rec *>(arr.Insert(1));
    QCOMPARE(inserted->a, 0);
    QCOMPARE(inserted->b, 0);
    QCOMPARE(rec(arr, 2)->a, 77);
}

void tst_Kovrant::walkPositions()
{
    void *owner = nullptr;
    TDynaArray arr(sizeof(Rec), &owner);
    fill(arr, 3);
    QList<int> positions;
    QList<int> seen;
    arr.First();
    while (arr.WhileNext()) {
        positions << arr.cursor();
        seen << static_cast<Rec *>(owner)->a;
    }
    QCOMPARE(positions, (QList<int>{1, 2, 3}));
    QCOMPARE(seen, (QList<int>{0, 1, 2}));
    QCOMPARE(arr.cursor(), 3);
    QCOMPARE(owner, static_cast<void *>(static_cast<Rec *>(arr.block()) + 2));
    QVERIFY(!arr.WhileNext());
    QVERIFY(!arr.Next());
}

void tst_Kovrant::firstOnEmpty()
{
    int sentinel = 0;
    void *owner = &sentinel;
    TDynaArray arr(sizeof(Rec), &owner);
    arr.First();
    QCOMPARE(owner, static_cast<void *>(&sentinel));
    QCOMPARE(arr.cursor(), -1);
    QVERIFY(!arr.WhileNext());

    // After emptying, a walk must not revisit a stale cursor either.
    fill(arr, 2);
    arr.Clear();
    arr.First();
    QVERIFY(!arr.WhileNext());
    QVERIFY(!arr.Next());
}

void tst_Kovrant::next()
{
    void *owner = nullptr;
    TDynaArray arr(sizeof(Rec), &owner);
    fill(arr, 2);
    arr.Delete(1);
    QCOMPARE(arr.cursor(), -1);
    QVERIFY(arr.Next());
    QCOMPARE(arr.cursor(), 0);
    QCOMPARE(owner, arr.block());
    QVERIFY(!arr.Next());
    QCOMPARE(arr.cursor(), 0);
}

void tst_Kovrant::insert_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QList<int>>("expected");

    QTest::newRow("front") << 0 << true << QList<int>{-1, 0, 1, 2};
    QTest::newRow("middle") << 2 << true << QList<int>{0, 1, -1, 2};
    QTest::newRow("at count appends") << 3 << true << QList<int>{0, 1, 2, -1};
    QTest::newRow("beyond count") << 4 << false << QList<int>{0, 1, 2};
    QTest::newRow("negative") << -1 << false << QList<int>{0, 1, 2};
}

void tst_Kovrant::insert()
{
    QFETCH(int, position);
    QFETCH(bool, accepted);
    QFETCH(QList<int>, expected);
    void *owner = nullptr;
    TDynaArray arr(sizeof(Rec), &owner);
    fill(arr, 3);
    auto *r = static_cast<Rec *>(arr.Insert(position));
    QCOMPARE(r != nullptr, accepted);
    if (r) {
        QCOMPARE(owner, static_cast<void *>(r));
        QCOMPARE(arr.cursor(), position);
        r->a = -1;
    } else {
        QCOMPARE(arr.cursor(), 2);
    }
    QCOMPARE(values(arr), expected);
}

void tst_Kovrant::insertAcrossStep()
{
    void *owner = nullptr;
    TDynaArray arr(sizeof(Rec), &owner);
    fill(arr, 100);
    auto *r = static_cast<Rec *>(arr.Insert(0));
    QVERIFY(r);
    QCOMPARE(r->a, 0);
    QCOMPARE(r->b, 0);
    r->a = -1;
    QCOMPARE(arr.memSize(), 200 * sizeof(Rec));
    QList<int> expected = range(0, 100);
    expected.prepend(-1);
    QCOMPARE(values(arr), expected);
}

void tst_Kovrant::deleteOutOfRange_data()
{
    QTest::addColumn<int>("records");
    QTest::addColumn<int>("position");
    QTest::newRow("at count") << 3 << 3;
    QTest::newRow("far beyond") << 3 << 1000;
    QTest::newRow("negative") << 3 << -1;
    QTest::newRow("empty array") << 0 << 0;
}

void tst_Kovrant::deleteOutOfRange()
{
    QFETCH(int, records);
    QFETCH(int, position);
    void *owner = nullptr;
    TDynaArray arr(sizeof(Rec), &owner);
    fill(arr, records);
    void *before = owner;
    arr.Delete(position);
    QCOMPARE(arr.Count(), std::uint32_t(records));
    QCOMPARE(owner, before);
    QCOMPARE(values(arr), range(0, records));
}

void tst_Kovrant::change()
{
    void *owner = nullptr;
    TDynaArray arr(sizeof(Rec), &owner);
    fill(arr, 3);
    arr.Change(1, 1);
    QCOMPARE(arr.cursor(), 1);
    QCOMPARE(values(arr), (QList<int>{0, 1, 2}));

    arr.Change(0, 2);
    QCOMPARE(arr.cursor(), 2);
    QCOMPARE(owner, static_cast<void *>(static_cast<Rec *>(arr.block()) + 2));
    QCOMPARE(values(arr), (QList<int>{2, 1, 0}));
    QCOMPARE(rec(arr, 0)->b, -2);

    arr.GetObject(1);
    arr.Change(0, 3);
    arr.Change(-1, 0);
    QCOMPARE(arr.cursor(), 1);
    QCOMPARE(values(arr), (QList<int>{2, 1, 0}));
}

void tst_Kovrant::clear()
{
    void *owner = nullptr;
    TDynaArray arr(sizeof(Rec), &owner);
    fill(arr, 150);
    arr.Clear();
    QCOMPARE(arr.Count(), 0u);
    QCOMPARE(arr.block(), nullptr);
    QCOMPARE(arr.memSize(), std::size_t(0));
    QCOMPARE(arr.cursor(), -1);
    QCOMPARE(owner, nullptr);
    auto *r = static_cast<Rec *>(arr.Add());
    QCOMPARE(r->a, 0);
    QCOMPARE(arr.memSize(), 100 * sizeof(Rec));
}

void tst_Kovrant::stepChangedAfterRecords()
{
    void *owner = nullptr;
    TDynaArray arr(sizeof(Rec), &owner);
    fill(arr, 50);
    arr.buffersize = 10;
    fill(arr, 1);
    rec(arr, 50)->a = 50;
    QCOMPARE(arr.memSize(), 60 * sizeof(Rec));
    QCOMPARE(values(arr), range(0, 51));

    // A step of 0 would never allocate; records must still land in a real block.
    arr.buffersize = 0;
    fill(arr, 1);
    rec(arr, 51)->a = 51;
    QCOMPARE(values(arr), range(0, 52));

    // A larger step makes the next shrink ask for more than the old block holds.
    arr.buffersize = 1000;
    arr.Delete(51);
    QCOMPARE(arr.memSize(), 1000 * sizeof(Rec));
    QCOMPARE(values(arr), range(0, 51));
}

void tst_Kovrant::failedRequestIsReported()
{
    QStringList messages;
    setAllocationFailureHandler([&messages](const QString &m) { messages << m; });
    void *owner = nullptr;
    TDynaArray arr(0xFFFFFFFFu, &owner);
    arr.buffersize = 0xFFFFFFFFu;
    const void *r = arr.Add();
    setAllocationFailureHandler({});
    QCOMPARE(r, nullptr);
    QCOMPARE(arr.Count(), 0u);
    QCOMPARE(arr.block(), nullptr);
    QCOMPARE(messages.size(), 1);
    QVERIFY(messages.first().startsWith(QStringLiteral("Error 1 while trying to allocate ")));
    QVERIFY(messages.first().endsWith(QStringLiteral(" bytes of RAM. Not enough memory.")));
}

void tst_Kovrant::writeString()
{
    QBuffer buf;
    buf.open(QIODevice::WriteOnly);
    QVERIFY(writefilestring(buf, QStringLiteral("abc")));
    QVERIFY(writefilestring(buf, QString()));
    QCOMPARE(buf.data(), QByteArray("\x03\0\0\0a\0b\0c\0\0\0\0\0", 14));
}

void tst_Kovrant::readString_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("expected");

    const QString text = QStringLiteral("Länge \U0001F4CF");
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    writefilestring(out, text);
    QTest::newRow("umlaut and surrogate pair") << out.data() << true << text;
    QTest::newRow("empty") << QByteArray(4, '\0') << true << QString();
    QTest::newRow("negative length") << QByteArray("\xff\xff\xff\xff" "a\0", 6) << false << QString();
    QTest::newRow("oversized length") << QByteArray("\xff\xff\xff\x7f" "a\0", 6) << false << QString();
    QTest::newRow("one unit missing") << QByteArray("\x03\0\0\0a\0b\0", 8) << false << QString();
    QTest::newRow("odd byte count") << QByteArray("\x01\0\0\0a", 5) << false << QString();
    QTest::newRow("short length") << QByteArray("\x01\0", 2) << false << QString();
    QTest::newRow("nothing") << QByteArray() << false << QString();
}

void tst_Kovrant::readString()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, ok);
    QFETCH(QString, expected);
    QBuffer buf(&bytes);
    buf.open(QIODevice::ReadOnly);
    QString s = QStringLiteral("old");
    QCOMPARE(readfilestring(buf, s), ok);
    QCOMPARE(s, expected);
}

void tst_Kovrant::readEmptyConsumesOnlyLength()
{
    QByteArray bytes("\0\0\0\0\x01\0\0\0z\0", 10);
    QBuffer buf(&bytes);
    buf.open(QIODevice::ReadOnly);
    QString s;
    QVERIFY(readfilestring(buf, s));
    QCOMPARE(buf.pos(), 4);
    QVERIFY(readfilestring(buf, s));
    QCOMPARE(s, QStringLiteral("z"));
    QVERIFY(buf.atEnd());
}

void tst_Kovrant::readFromSequentialDevice()
{
    Trickle good(QByteArray("\x02\0\0\0o\0k\0", 8));
    QString s;
    QVERIFY(readfilestring(good, s));
    QCOMPARE(s, QStringLiteral("ok"));

    // A huge count on a device whose size is unknown must end at the data, not allocate 4 GB.
    Trickle damaged(QByteArray("\xff\xff\xff\x7f" "abcdef", 10));
    QVERIFY(!readfilestring(damaged, s));
    QVERIFY(s.isEmpty());
}

void tst_Kovrant::writeToReadOnlyDevice()
{
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::ReadOnly);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("ReadOnly device")));
    QVERIFY(!writefilestring(buf, QStringLiteral("x")));
}

QTEST_GUILESS_MAIN(tst_Kovrant)
#include "tst_kovrant.moc"
