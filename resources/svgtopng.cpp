// Build-time helper: renders an SVG file into a PNG of a given size on a white background.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgRenderer>
#include <QTextStream>

#include <cstdio>

namespace {

int fail(const QString &what)
{
    std::fprintf(stderr, "svgtopng: %s\n", qPrintable(what));
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 5)
        return fail(QStringLiteral("usage: svgtopng INPUT.svg OUTPUT.png WIDTH HEIGHT"));

    bool okW = false;
    bool okH = false;
    const int width = args.at(3).toInt(&okW);
    const int height = args.at(4).toInt(&okH);
    if (!okW || !okH || width <= 0 || height <= 0 || width > 20000 || height > 20000)
        return fail(QStringLiteral("bad size %1 x %2").arg(args.at(3), args.at(4)));

    QSvgRenderer renderer(args.at(1));
    if (!renderer.isValid())
        return fail(QStringLiteral("cannot read %1").arg(args.at(1)));

    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        return fail(QStringLiteral("not enough memory for %1 x %2").arg(width).arg(height));
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        renderer.render(&painter, QRectF(0, 0, width, height));
    }

    QSaveFile out(args.at(2));
    if (!out.open(QIODevice::WriteOnly) || !image.save(&out, "PNG") || !out.commit())
        return fail(QStringLiteral("cannot write %1").arg(args.at(2)));
    return 0;
}
