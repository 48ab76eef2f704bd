#include "image/filecomplete.h"

#include <QFile>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

// Sequential byte reader over a file in blocks, so that a large file is walked without holding it.
class ByteStream {
public:
    explicit ByteStream(QFile &file) : file(file) {}

    bool next(std::uint8_t &b)
    {
        if (pos == len && !fill())
            return false;
        b = static_cast<std::uint8_t>(buffer[pos++]);
        return true;
    }

    bool skip(qint64 n)
    {
        const qint64 buffered = len - pos;
        if (n <= buffered) {
            pos += n;
            return true;
        }
        n -= buffered;
        pos = len = 0;
        if (file.pos() + n > file.size())
            return false;
        return file.seek(file.pos() + n);
    }

    // Skips to the next 0xFF byte; false at the end of the file.
    bool seekFF()
    {
        for (;;) {
            if (pos == len && !fill())
                return false;
            const void *hit = std::memchr(buffer + pos, 0xFF, static_cast<std::size_t>(len - pos));
            if (hit) {
                pos = static_cast<const char *>(hit) - buffer;
                return true;
            }
            pos = len;
        }
    }

private:
    bool fill()
    {
        len = file.read(buffer, sizeof buffer);
        pos = 0;
        return len > 0;
    }

    QFile &file;
    char buffer[65536];
    qint64 pos = 0;
    qint64 len = 0;
};

// Walks the markers and entropy-coded segments up to the end-of-image marker.
bool jpegComplete(QFile &file)
{
    auto stream = std::make_unique<ByteStream>(file);
    std::uint8_t a, b;
    if (!stream->next(a) || !stream->next(b) || a != 0xFF || b != 0xD8)
        return false;
    std::uint8_t marker = 0;
    bool haveMarker = false;
    for (;;) {
        if (!haveMarker) {
            if (!stream->next(a) || a != 0xFF)
                return false;
            do {
                if (!stream->next(marker))
                    return false;
            } while (marker == 0xFF);
        }
        haveMarker = false;
        if (marker == 0xD9)
            return true;
        if ((marker >= 0xD0 && marker <= 0xD7) || marker == 0x01)
            continue;
        std::uint8_t hi, lo;
        if (!stream->next(hi) || !stream->next(lo))
            return false;
        const int length = hi << 8 | lo;
        if (length < 2 || !stream->skip(length - 2))
            return false;
        if (marker != 0xDA)
            continue;
        // Entropy-coded data: 0xFF is followed by a stuffed 0x00 or a restart marker inside it.
        for (;;) {
            if (!stream->seekFF() || !stream->next(a))
                return false;
            do {
                if (!stream->next(b))
                    return false;
            } while (b == 0xFF);
            if (b != 0x00 && !(b >= 0xD0 && b <= 0xD7)) {
                marker = b;
                haveMarker = true;
                break;
            }
        }
    }
}

std::uint32_t le32(const char *p)
{
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | static_cast<std::uint8_t>(p[i]);
    return v;
}

std::uint16_t le16(const char *p)
{
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(p[0]) | static_cast<std::uint8_t>(p[1]) << 8);
}

// Uncompressed rows must all be in the file; run-length data is left to the decoder.
bool bmpComplete(QFile &file)
{
    char h[30];
    if (file.read(h, sizeof h) != sizeof h || h[0] != 'B' || h[1] != 'M')
        return false;
    const std::uint32_t offset = le32(h + 10);
    const std::uint32_t infoSize = le32(h + 14);
    std::int64_t width, height;
    int bits;
    std::uint32_t compression = 0;
    if (infoSize == 12) {
        width = le16(h + 18);
        height = le16(h + 20);
        bits = le16(h + 24);
    } else if (infoSize >= 40) {
        char more[4];
        if (file.read(more, sizeof more) != sizeof more)
            return false;
        width = static_cast<std::int32_t>(le32(h + 18));
        height = static_cast<std::int32_t>(le32(h + 22));
        bits = le16(h + 28);
        compression = le32(more);
    } else {
        return true;
    }
    if (compression != 0 && compression != 3 && compression != 6)
        return true;
    width = width < 0 ? -width : width;
    height = height < 0 ? -height : height;
    const std::int64_t stride = (width * bits + 31) / 32 * 4;
    const std::int64_t start = std::max<std::int64_t>(offset, 14 + std::int64_t(infoSize));
    return file.size() >= start + stride * height;
}

} // namespace

bool imageFileComplete(const QString &fileName, const QByteArray &format)
{
    const QByteArray f = format.toLower();
    if (f != "jpeg" && f != "jpg" && f != "bmp")
        return true;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return f == "bmp" ? bmpComplete(file) : jpegComplete(file);
}
