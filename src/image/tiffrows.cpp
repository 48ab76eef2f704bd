#include "image/rowdecode.h"

#include <QFile>
#include <QtGlobal>

#include <cmath>
#include <cstdarg>
#include <utility>

#include <tiffio.h>

namespace {

// libtiff reports through these instead of printing; any error refuses the file, warnings pass
// as they do with Qt's decoder.
int recordError(TIFF *, void *failed, const char *, const char *, va_list)
{
    *static_cast<bool *>(failed) = true;
    return 1;
}

int ignoreWarning(TIFF *, void *, const char *, const char *, va_list)
{
    return 1;
}

std::uint16_t field16(TIFF *tiff, ttag_t tag)
{
    std::uint16_t value = 0;
    TIFFGetFieldDefaulted(tiff, tag, &value);
    return value;
}

// Compressions whose rows libtiff hands over one by one; JPEG inside TIFF and the rarer codecs
// stay with Qt's decoder.
bool plainCompression(std::uint16_t compression)
{
    return compression == COMPRESSION_NONE || compression == COMPRESSION_LZW || compression == COMPRESSION_PACKBITS
           || compression == COMPRESSION_ADOBE_DEFLATE || compression == COMPRESSION_DEFLATE;
}

// Stripped, unrotated, 8 bits per sample, one plane, no extra samples: RGB (24 bits) or grey
// (8 bits); 0 for every other kind.
int handledBits(TIFF *tiff)
{
    std::uint16_t extraCount = 0;
    std::uint16_t *extra = nullptr;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_EXTRASAMPLES, &extraCount, &extra);
    std::uint16_t photometric = 0;
    if (TIFFIsTiled(tiff) || extraCount != 0 || !TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric)
        || field16(tiff, TIFFTAG_BITSPERSAMPLE) != 8 || field16(tiff, TIFFTAG_SAMPLEFORMAT) != SAMPLEFORMAT_UINT
        || field16(tiff, TIFFTAG_PLANARCONFIG) != PLANARCONFIG_CONTIG
        || field16(tiff, TIFFTAG_ORIENTATION) != ORIENTATION_TOPLEFT
        || !plainCompression(field16(tiff, TIFFTAG_COMPRESSION)))
        return 0;
    const std::uint16_t samples = field16(tiff, TIFFTAG_SAMPLESPERPIXEL);
    if (photometric == PHOTOMETRIC_RGB && samples == 3)
        return 24;
    if ((photometric == PHOTOMETRIC_MINISBLACK || photometric == PHOTOMETRIC_MINISWHITE) && samples == 1)
        return 8;
    return 0;
}

// The same rounding as Qt's decoder; values no picture has count as not stated.
std::int32_t perMeter(float resolution, double factor)
{
    const double value = resolution * factor;
    return std::isfinite(value) && std::abs(value) < 2e9 ? qRound(value) : 0;
}

void keepResolution(dib &d, TIFF *tiff)
{
    float x = 0, y = 0;
    std::uint16_t unit = RESUNIT_INCH;
    TIFFGetField(tiff, TIFFTAG_RESOLUTIONUNIT, &unit);
    double factor = unit == RESUNIT_CENTIMETER ? 100. : unit == RESUNIT_INCH ? 100 / 2.54 : 0.;
    if (!TIFFGetField(tiff, TIFFTAG_XRESOLUTION, &x) || !TIFFGetField(tiff, TIFFTAG_YRESOLUTION, &y))
        factor = 0.;
    keepStatedResolution(d, perMeter(x, factor), perMeter(y, factor));
}

RowDecode decode(TIFF *tiff, const bool &failed, dib &picture)
{
    const int bits = handledBits(tiff);
    if (!bits)
        return RowDecode::NotHandled;
    std::uint32_t w = 0, h = 0;
    if (!TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &w) || !TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &h)
        || !decodedSizeAccepted(w, h, bits))
        return RowDecode::Refused;
    const std::uint64_t rowBytes = std::uint64_t(w) * (bits / 8);
    if (TIFFScanlineSize64(tiff) != rowBytes)
        return RowDecode::NotHandled;

    // Qt shows min-is-white grey through an inverted table over the file's values.
    const bool inverted = field16(tiff, TIFFTAG_PHOTOMETRIC) == PHOTOMETRIC_MINISWHITE;
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[256];
    } table{};
    for (int i = 0; i < 256; ++i) {
        const auto v = static_cast<std::uint8_t>(inverted ? 255 - i : i);
        table.colors[i] = RGBQUAD{v, v, v, 0};
    }
    if (!newdib(picture, static_cast<std::int32_t>(w), static_cast<std::int32_t>(h), bits,
                bits == 8 ? reinterpret_cast<const BITMAPINFO *>(&table) : nullptr, bits == 8 ? 256 : 0))
        return RowDecode::Refused;
    adviseHugePages(picture.poi, std::int64_t(picture.bytew) * h);

    // The record stores the bottom row first, so the file's rows go in from the top down.
    for (std::uint32_t y = 0; y < h; ++y) {
        std::uint8_t *out = dibRow(picture, static_cast<std::int32_t>(h - 1 - y));
        if (TIFFReadScanline(tiff, out, y, 0) < 0 || failed)
            return RowDecode::Refused;
        if (bits == 24)
            for (std::uint8_t *p = out, *end = out + rowBytes; p < end; p += 3)
                std::swap(p[0], p[2]);
    }
    keepResolution(picture, tiff);
    return RowDecode::Decoded;
}

} // namespace

RowDecode decodeTiffRows(dib &d, const QString &fileName)
{
    d.poi = nullptr;
    bool failed = false;
    TIFFOpenOptions *options = TIFFOpenOptionsAlloc();
    if (!options)
        return RowDecode::Refused;
    TIFFOpenOptionsSetErrorHandlerExtR(options, recordError, &failed);
    TIFFOpenOptionsSetWarningHandlerExtR(options, ignoreWarning, nullptr);
    // Read, not mapped: a mapped file would count its whole size against the memory held while opening.
    TIFF *tiff = TIFFOpenExt(QFile::encodeName(fileName).constData(), "rm", options);
    TIFFOpenOptionsFree(options);
    if (!tiff)
        return RowDecode::Refused;
    // A directory libtiff complained about but still read is left to Qt's decoder to judge, as before.
    dib picture;
    const RowDecode result = failed ? RowDecode::NotHandled : decode(tiff, failed, picture);
    TIFFClose(tiff);
    return keepDecoded(result, d, picture);
}
