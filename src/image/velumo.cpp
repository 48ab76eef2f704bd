#include "image/velumo.h"

#include "image/filecomplete.h"
#include "image/rowdecode.h"

#include <QFile>
#include <QHash>
#include <QImageReader>
#include <QMap>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

namespace {

// Qt refuses to decode more than its allocation limit; the program opens scanned plans of
// 20000 x 20000 pixels and more, so the limit is lifted to what such a picture needs at
// 64 bits per pixel, and every size is checked against the same budget before decoding.
constexpr int DecodeLimitMegabytes = static_cast<int>(MaxDecodedPictureBytes >> 20);

struct PaletteInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
};

bool acceptableSize(const QSize &size, QImage::Format format)
{
    int bits = QImage::toPixelFormat(format).bitsPerPixel();
    if (bits <= 0)
        bits = 64;
    return decodedSizeAccepted(size.width(), size.height(), bits);
}

RGBQUAD quadOverWhite(QRgb c)
{
    const int a = qAlpha(c);
    return RGBQUAD{overWhite(qBlue(c), a), overWhite(qGreen(c), a), overWhite(qRed(c), a), 0};
}

int targetBitCount(const QImage &img)
{
    switch (img.format()) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
        return 1;
    case QImage::Format_Indexed8:
        return img.colorCount() <= 16 ? 4 : 8;
    case QImage::Format_Grayscale8:
    case QImage::Format_Grayscale16:
        return 8;
    default:
        return 24;
    }
}

void fillPalette(PaletteInfo &info, const QImage &img)
{
    if (img.format() == QImage::Format_Grayscale8 || img.format() == QImage::Format_Grayscale16) {
        for (int i = 0; i < 256; ++i) {
            const auto v = static_cast<std::uint8_t>(i);
            info.colors[i] = RGBQUAD{v, v, v, 0};
        }
        return;
    }
    const QList<QRgb> table = img.colorTable();
    const int n = std::min<int>(static_cast<int>(table.size()), 256);
    for (int i = 0; i < n; ++i)
        info.colors[i] = quadOverWhite(table[i]);
}

std::uint8_t reversedBits(std::uint8_t b)
{
    b = static_cast<std::uint8_t>((b & 0xF0) >> 4 | (b & 0x0F) << 4);
    b = static_cast<std::uint8_t>((b & 0xCC) >> 2 | (b & 0x33) << 2);
    return static_cast<std::uint8_t>((b & 0xAA) >> 1 | (b & 0x55) << 1);
}

void convertRow1(std::uint8_t *out, const uchar *in, int w, bool lsbFirst)
{
    const int bytes = (w + 7) / 8;
    for (int i = 0; i < bytes; ++i)
        out[i] = lsbFirst ? reversedBits(in[i]) : in[i];
    if (w % 8)
        out[bytes - 1] &= static_cast<std::uint8_t>(0xFF00u >> (w % 8));
}

// Indices beyond the colour table only occur in damaged files; they take entry 0.
void convertRow4(std::uint8_t *out, const uchar *in, int w, int colors)
{
    for (int x = 0; x < w; ++x) {
        const int index = in[x] < colors ? in[x] : 0;
        if (x & 1)
            out[x >> 1] |= static_cast<std::uint8_t>(index);
        else
            out[x >> 1] = static_cast<std::uint8_t>(index << 4);
    }
}

void convertRowGrey16(std::uint8_t *out, const uchar *in, int w)
{
    const auto *p = reinterpret_cast<const quint16 *>(in);
    for (int x = 0; x < w; ++x)
        out[x] = static_cast<std::uint8_t>((p[x] * 255u + 32767u) / 65535u);
}

void convertRowArgb(std::uint8_t *out, const uchar *in, int w, bool opaque)
{
    const auto *p = reinterpret_cast<const QRgb *>(in);
    for (int x = 0; x < w; ++x, out += 3) {
        const QRgb c = p[x];
        const int a = opaque ? 255 : qAlpha(c);
        if (a == 255) {
            out[0] = static_cast<std::uint8_t>(qBlue(c));
            out[1] = static_cast<std::uint8_t>(qGreen(c));
            out[2] = static_cast<std::uint8_t>(qRed(c));
        } else {
            out[0] = overWhite(qBlue(c), a);
            out[1] = overWhite(qGreen(c), a);
            out[2] = overWhite(qRed(c), a);
        }
    }
}

void convertRowPremultiplied(std::uint8_t *out, const uchar *in, int w)
{
    const auto *p = reinterpret_cast<const QRgb *>(in);
    for (int x = 0; x < w; ++x, out += 3) {
        const QRgb c = p[x];
        const int white = 255 - qAlpha(c);
        out[0] = static_cast<std::uint8_t>(std::min(255, qBlue(c) + white));
        out[1] = static_cast<std::uint8_t>(std::min(255, qGreen(c) + white));
        out[2] = static_cast<std::uint8_t>(std::min(255, qRed(c) + white));
    }
}

void convertRowRgb888(std::uint8_t *out, const uchar *in, int w)
{
    for (int x = 0; x < w; ++x, out += 3, in += 3) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
    }
}

// Fills the rows of d from img, top row of img into the highest stored row. Formats without a
// direct conversion go through a one-row QImage, so no second full-size copy is made.
bool convertRows(dib &d, const QImage &img, int bitCount)
{
    const int w = img.width();
    const int h = img.height();
    const QImage::Format f = img.format();
    for (int y = 0; y < h; ++y) {
        std::uint8_t *out = dibRow(d, h - 1 - y);
        const uchar *in = img.constScanLine(y);
        if (bitCount == 1) {
            convertRow1(out, in, w, f == QImage::Format_MonoLSB);
        } else if (bitCount == 4) {
            convertRow4(out, in, w, std::min<int>(16, static_cast<int>(img.colorCount())));
        } else if (bitCount == 8) {
            if (f == QImage::Format_Grayscale16)
                convertRowGrey16(out, in, w);
            else
                std::memcpy(out, in, static_cast<std::size_t>(w));
        } else if (f == QImage::Format_RGB32 || f == QImage::Format_ARGB32) {
            convertRowArgb(out, in, w, f == QImage::Format_RGB32);
        } else if (f == QImage::Format_ARGB32_Premultiplied) {
            convertRowPremultiplied(out, in, w);
        } else if (f == QImage::Format_RGB888) {
            convertRowRgb888(out, in, w);
        } else if (f == QImage::Format_BGR888) {
            std::memcpy(out, in, static_cast<std::size_t>(w) * 3);
        } else {
            const QImage row = QImage(in, w, 1, img.bytesPerLine(), f)
                                   .convertToFormat(QImage::Format_ARGB32_Premultiplied);
            if (row.isNull())
                return false;
            convertRowPremultiplied(out, row.constScanLine(0), w);
        }
    }
    return true;
}

// Qt hands GIF pictures over as 32-bit images; their colours, at most 256 by the format, are
// gathered back into a palette in the order they first occur. Empty when there are more.
QList<QRgb> gatherPalette(const QImage &img)
{
    QHash<QRgb, int> seen;
    QList<QRgb> colors;
    QRgb last = 0;
    bool haveLast = false;
    for (int y = 0; y < img.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            if (haveLast && row[x] == last)
                continue;
            last = row[x];
            haveLast = true;
            if (seen.contains(last))
                continue;
            if (colors.size() == 256)
                return {};
            seen.insert(last, static_cast<int>(colors.size()));
            colors.append(last);
        }
    }
    return colors;
}

void convertRowsToPalette(dib &d, const QImage &img, const QList<QRgb> &colors, int bitCount)
{
    QHash<QRgb, int> index;
    for (int i = 0; i < colors.size(); ++i)
        index.insert(colors[i], i);
    std::vector<uchar> indices(static_cast<std::size_t>(img.width()));
    for (int y = 0; y < img.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x)
            indices[static_cast<std::size_t>(x)] = static_cast<uchar>(index.value(row[x]));
        std::uint8_t *out = dibRow(d, img.height() - 1 - y);
        if (bitCount == 4)
            convertRow4(out, indices.data(), img.width(), 16);
        else
            std::memcpy(out, indices.data(), indices.size());
    }
}

// Qt's decoders write true-colour pictures as 32-bit pixels. A block of the record's own kind,
// large enough for those, is handed to the decoder; the rows are then packed to 24 bits where
// they lie and turned bottom row first, so the picture is never held twice.
class DecodeBlock
{
public:
    DecodeBlock(const QSize &size, QImage::Format format)
        : bytes(std::int64_t(size.width()) * 4 * size.height()),
          block(static_cast<std::uint8_t *>(std::malloc(static_cast<std::size_t>(bytes))))
    {
        if (!block)
            return;
        adviseHugePages(block, bytes);
        image = QImage(block, size.width(), size.height(), qsizetype(size.width()) * 4, format);
    }
    ~DecodeBlock()
    {
        image = QImage();
        std::free(block);
    }
    DecodeBlock(const DecodeBlock &) = delete;
    DecodeBlock &operator=(const DecodeBlock &) = delete;

    // The image to decode into; the decoder may replace it with one of its own.
    QImage image;

    // True when the decoder wrote its 32-bit pixels into the block.
    bool used() const
    {
        return block && image.constBits() == block
               && (image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32);
    }

    // Turns the block into the record's 24-bit rows and gives it to d.
    bool giveTo(dib &d)
    {
        const int w = image.width();
        const int h = image.height();
        const bool opaque = image.format() == QImage::Format_RGB32;
        const std::int32_t xPerMeter = image.dotsPerMeterX();
        const std::int32_t yPerMeter = image.dotsPerMeterY();
        image = QImage();
        const std::int64_t bytew = dibRowBytes(w, 24);
        // Packed rows start at or before the rows they come from, so each is read before written over.
        for (int y = 0; y < h; ++y) {
            std::uint8_t *out = block + y * bytew;
            packRow(out, block + std::int64_t(y) * w * 4, w, opaque);
            std::memset(out + std::int64_t(w) * 3, 0, static_cast<std::size_t>(bytew - std::int64_t(w) * 3));
        }
        if (auto *smaller = static_cast<std::uint8_t *>(std::realloc(block, static_cast<std::size_t>(bytew * h))))
            block = smaller;
        for (std::uint8_t *top = block, *bottom = block + (h - 1) * bytew; top < bottom; top += bytew, bottom -= bytew)
            std::swap_ranges(top, top + bytew, bottom);
        if (!newdibAround(d, w, h, 24, block))
            return false;
        keepStatedResolution(d, xPerMeter, yPerMeter);
        block = nullptr;
        return true;
    }

private:
    static void packRow(std::uint8_t *out, const std::uint8_t *in, int w, bool opaque)
    {
        if (!opaque) {
            convertRowArgb(out, in, w, false);
            return;
        }
        // Four pixels at a time through locals: stores never overtake the loads of the same group.
        int x = 0;
        for (; x + 4 <= w; x += 4, in += 16, out += 12) {
            std::uint8_t px[16];
            std::memcpy(px, in, 16);
            const std::uint8_t packed[12] = {px[0], px[1], px[2], px[4], px[5], px[6],
                                             px[8], px[9], px[10], px[12], px[13], px[14]};
            std::memcpy(out, packed, 12);
        }
        for (; x < w; ++x, in += 4, out += 3) {
            const std::uint8_t b = in[0], g = in[1], r = in[2];
            out[0] = b;
            out[1] = g;
            out[2] = r;
        }
    }

    std::int64_t bytes;
    std::uint8_t *block;
};

// The decoders that announce (or, for PNG, usually produce) 32-bit pixels of the announced size.
// GIF pictures are left out: their colours go back into a palette from Qt's own image.
QImage::Format blockFormat(QImageReader &reader, const QByteArray &format, const QSize &announced)
{
    if (!announced.isValid() || format == "gif")
        return QImage::Format_Invalid;
    const QImage::Format f = reader.imageFormat();
    if (f == QImage::Format_RGB32 || f == QImage::Format_ARGB32)
        return f;
    return f == QImage::Format_Invalid && format == "png" ? QImage::Format_RGB32 : QImage::Format_Invalid;
}

} // namespace

bool OpenDib(dib &d, const QString &fileName)
{
    d.poi = nullptr;
    QImageReader::setAllocationLimit(DecodeLimitMegabytes);
    QImageReader reader(fileName);
    if (!reader.canRead())
        return false;
    const QSize announced = reader.size();
    if (announced != QSize() && !acceptableSize(announced, reader.imageFormat()))
        return false;
    const QByteArray format = reader.format();
    if (!imageFileComplete(fileName, format))
        return false;
    const RowDecode direct = format == "jpeg" ? decodeJpegRows(d, fileName)
                             : format == "png"  ? decodePngRows(d, fileName)
                             : format == "tiff" ? decodeTiffRows(d, fileName)
                                                : RowDecode::NotHandled;
    if (direct != RowDecode::NotHandled)
        return direct == RowDecode::Decoded;

    std::optional<DecodeBlock> block;
    if (const QImage::Format f = blockFormat(reader, format, announced); f != QImage::Format_Invalid)
        block.emplace(announced, f);
    QImage scratch;
    QImage &img = block ? block->image : scratch;
    if (!reader.read(&img) || img.isNull() || !acceptableSize(img.size(), img.format()))
        return false;
    if (block && block->used())
        return block->giveTo(d);

    QList<QRgb> gathered;
    if (format == "gif" && (img.format() == QImage::Format_ARGB32 || img.format() == QImage::Format_RGB32))
        gathered = gatherPalette(img);
    const int bitCount = gathered.isEmpty() ? targetBitCount(img) : gathered.size() <= 16 ? 4 : 8;
    PaletteInfo info{};
    if (!gathered.isEmpty()) {
        for (int i = 0; i < gathered.size(); ++i)
            info.colors[i] = quadOverWhite(gathered[i]);
    } else if (bitCount <= 8) {
        fillPalette(info, img);
    }
    dib result;
    if (!newdib(result, img.width(), img.height(), bitCount, bitCount <= 8 ? &reinterpret_cast<BITMAPINFO &>(info) : nullptr,
                bitCount <= 8 ? 1 << bitCount : 0))
        return false;
    if (!gathered.isEmpty()) {
        convertRowsToPalette(result, img, gathered, bitCount);
    } else if (!convertRows(result, img, bitCount)) {
        deldib(result);
        return false;
    }
    keepStatedResolution(result, img.dotsPerMeterX(), img.dotsPerMeterY());
    handOver(d, result);
    return true;
}

bool decodedSizeAccepted(std::int64_t width, std::int64_t height, int bitsPerPixel)
{
    if (width <= 0 || height <= 0 || width > MaxDibSide || height > MaxDibSide)
        return false;
    return width * height * bitsPerPixel / 8 <= MaxDecodedPictureBytes;
}

void keepStatedResolution(dib &d, std::int32_t xPerMeter, std::int32_t yPerMeter)
{
    // Qt gives a picture without a stored resolution the screen's; the record keeps 0 for it,
    // so that no scale is ever derived from a resolution the file never had.
    const QImage unstated(1, 1, QImage::Format_RGB32);
    const std::int32_t x = xPerMeter ? xPerMeter : unstated.dotsPerMeterX();
    const std::int32_t y = yPerMeter ? yPerMeter : unstated.dotsPerMeterY();
    if (x != unstated.dotsPerMeterX() || y != unstated.dotsPerMeterY()) {
        d.pmi->bmiHeader.biXPelsPerMeter = x;
        d.pmi->bmiHeader.biYPelsPerMeter = y;
    }
}

void handOver(dib &d, dib &made)
{
    d.pmi = made.pmi;
    d.pmih = made.pmih;
    d.poih = made.poih;
    d.poi = made.poi;
    d.bytew = made.bytew;
    made = dib();
}

RowDecode keepDecoded(RowDecode result, dib &d, dib &made)
{
    if (result == RowDecode::Decoded)
        handOver(d, made);
    else
        deldib(made);
    return result;
}

std::FILE *openForDecoding(const QString &fileName)
{
    std::FILE *file = std::fopen(QFile::encodeName(fileName).constData(), "rb");
    // The decoders ask for 4 KiB at a time; a larger buffer saves most of the system calls.
    if (file)
        std::setvbuf(file, nullptr, _IOFBF, std::size_t(1) << 16);
    return file;
}

QString GetDIBOpenFilter()
{
    // Qt lists aliases of one format separately; the dialog shows them as one entry.
    static const QMap<QString, QString> aliases = {
        {QStringLiteral("jpg"), QStringLiteral("JPEG")},  {QStringLiteral("jpeg"), QStringLiteral("JPEG")},
        {QStringLiteral("jfif"), QStringLiteral("JPEG")}, {QStringLiteral("tif"), QStringLiteral("TIFF")},
        {QStringLiteral("tiff"), QStringLiteral("TIFF")}, {QStringLiteral("svg"), QStringLiteral("SVG")},
        {QStringLiteral("svgz"), QStringLiteral("SVG")},
    };
    QStringList captions;
    QMap<QString, QStringList> patterns;
    QStringList all;
    const QList<QByteArray> formats = QImageReader::supportedImageFormats();
    for (const QByteArray &format : formats) {
        const QString suffix = QString::fromLatin1(format).toLower();
        const QString caption = aliases.value(suffix, suffix.toUpper());
        const QString pattern = QStringLiteral("*.") + suffix;
        if (!patterns.contains(caption))
            captions.append(caption);
        if (!patterns[caption].contains(pattern))
            patterns[caption].append(pattern);
        if (!all.contains(pattern))
            all.append(pattern);
    }
    // PDF plans open as pictures too, rendered page by page.
    const QString pdf = QStringLiteral("*.pdf");
    captions.append(QStringLiteral("PDF"));
    patterns[QStringLiteral("PDF")].append(pdf);
    all.append(pdf);
    QStringList entries;
    if (!all.isEmpty())
        entries.append(QStringLiteral("Bilder (%1)").arg(all.join(QLatin1Char(' '))));
    for (const QString &caption : captions)
        entries.append(QStringLiteral("%1 (%2)").arg(caption, patterns[caption].join(QLatin1Char(' '))));
    entries.append(QStringLiteral("Alle Dateien (*)"));
    return entries.join(QStringLiteral(";;"));
}
