#include "image/velumo.h"

#include <cstring>

namespace {

QRgb paletteColor(const dib &d, std::uint32_t index)
{
    const int entries = dibPaletteSize(DibBitCount(d));
    if (static_cast<int>(index) >= entries)
        return qRgb(0, 0, 0);
    const RGBQUAD *table = d.pmi->bmiColors;
    const RGBQUAD &q = table[index];
    return qRgb(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

QList<QRgb> colorTable(const dib &d, int entries)
{
    QList<QRgb> table(entries);
    for (int i = 0; i < entries; ++i)
        table[i] = paletteColor(d, static_cast<std::uint32_t>(i));
    return table;
}

QImage::Format formatFor(int bitCount)
{
    switch (bitCount) {
    case 1:
        return QImage::Format_Mono;
    case 4:
    case 8:
        return QImage::Format_Indexed8;
    case 16:
        return QImage::Format_RGB555;
    case 24:
        return QImage::Format_BGR888;
    case 32:
        return QImage::Format_RGB32;
    default:
        return QImage::Format_Invalid;
    }
}

} // namespace

QRgb dibPixelColor(const dib &d, std::int32_t x, std::int32_t y)
{
    if (!d.poi || x < 0 || y < 0 || x >= DibWidth(d) || y >= DibHeight(d))
        return qRgb(0, 0, 0);
    const int bits = DibBitCount(d);
    if (bits <= 8)
        return paletteColor(d, getpixel(d, x, y));
    const std::uint32_t v = getpixel(d, x, y);
    if (bits == 16) {
        const auto five = [](std::uint32_t c) { return static_cast<int>((c & 31u) << 3 | (c & 31u) >> 2); };
        return qRgb(five(v >> 10), five(v >> 5), five(v));
    }
    return 0xFF000000u | (v & 0xFFFFFFu);
}

QImage dibToQImage(const dib &d)
{
    return dibToQImage(d, QRect(0, 0, DibWidth(d), DibHeight(d)));
}

QImage dibToQImage(const dib &d, const QRect &part)
{
    const QRect r = part & QRect(0, 0, DibWidth(d), DibHeight(d));
    const int bits = DibBitCount(d);
    const QImage::Format format = formatFor(bits);
    if (!d.poi || r.isEmpty() || format == QImage::Format_Invalid)
        return QImage();
    QImage img(r.width(), r.height(), format);
    if (img.isNull())
        return QImage();
    if (bits <= 8)
        img.setColorTable(colorTable(d, bits == 1 ? 2 : 1 << bits));
    if (d.pmi->bmiHeader.biXPelsPerMeter > 0 && d.pmi->bmiHeader.biYPelsPerMeter > 0) {
        img.setDotsPerMeterX(d.pmi->bmiHeader.biXPelsPerMeter);
        img.setDotsPerMeterY(d.pmi->bmiHeader.biYPelsPerMeter);
    }
    const int height = DibHeight(d);
    const int w = r.width();
    for (int row = 0; row < r.height(); ++row) {
        const std::int32_t stored = height - 1 - (r.y() + row);
        const std::uint8_t *in = dibRow(d, stored);
        uchar *out = img.scanLine(row);
        switch (bits) {
        case 1:
            std::memset(out, 0, static_cast<std::size_t>(img.bytesPerLine()));
            for (int i = 0; i < w; ++i)
                if (getpixel(d, r.x() + i, stored))
                    out[i >> 3] |= static_cast<uchar>(0x80u >> (i & 7));
            break;
        case 4:
            for (int i = 0; i < w; ++i)
                out[i] = static_cast<uchar>(getpixel(d, r.x() + i, stored));
            break;
        case 8:
            std::memcpy(out, in + r.x(), static_cast<std::size_t>(w));
            break;
        case 16:
            for (int i = 0; i < w; ++i) {
                const std::uint8_t *p = in + 2 * static_cast<std::ptrdiff_t>(r.x() + i);
                const auto v = static_cast<quint16>((p[0] | p[1] << 8) & 0x7FFF);
                std::memcpy(out + 2 * i, &v, 2);
            }
            break;
        case 24:
            std::memcpy(out, in + 3 * static_cast<std::ptrdiff_t>(r.x()), static_cast<std::size_t>(w) * 3);
            break;
        default: {
            auto *o = reinterpret_cast<QRgb *>(out);
            const std::uint8_t *p = in + 4 * static_cast<std::ptrdiff_t>(r.x());
            for (int i = 0; i < w; ++i, p += 4)
                o[i] = qRgb(p[2], p[1], p[0]);
            break;
        }
        }
    }
    return img;
}
