#pragma once

#include <QFile>
#include <QMarginsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QString>

// Plans for the PDF tests, written by Qt's own PDF writer: page 1 is A4 upright with a black
// horizontal line of exactly 100 mm, 10 mm thick, from (50 mm, 100 mm); page 2 is A3 lying.
inline constexpr double TestLineLeftMm = 50.0;
inline constexpr double TestLineMm = 100.0;
inline constexpr double TestLineYMm = 100.0;

inline bool writeTestPlan(const QString &path)
{
    QPdfWriter writer(path);
    writer.setResolution(1200);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter p;
    if (!p.begin(&writer))
        return false;
    const double dotsPerMm = 1200 / 25.4;
    p.fillRect(QRectF(TestLineLeftMm * dotsPerMm, (TestLineYMm - 5) * dotsPerMm, TestLineMm * dotsPerMm,
                      10 * dotsPerMm),
               Qt::black);
    writer.setPageSize(QPageSize(QPageSize::A3));
    writer.setPageOrientation(QPageLayout::Landscape);
    if (!writer.newPage())
        return false;
    p.fillRect(QRectF(0, 0, 100, 100), Qt::black);
    return p.end();
}

// The plan cut off in the middle, as an interrupted download leaves it.
inline bool writeDamagedPlan(const QString &source, const QString &path)
{
    QFile in(source);
    QFile out(path);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = in.readAll();
    QByteArray damaged = bytes.left(bytes.size() / 2);
    damaged.replace("obj", "ob!");
    return out.write(damaged) == damaged.size();
}
