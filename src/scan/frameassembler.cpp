#include "scan/frameassembler.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <exception>

namespace {

bool isChannel(SANE_Frame format)
{
    return format == SANE_FRAME_RED || format == SANE_FRAME_GREEN || format == SANE_FRAME_BLUE;
}

int samplesPerPixel(const SANE_Parameters &p)
{
    return p.format == SANE_FRAME_RGB ? 3 : 1;
}

std::int32_t pixelsPerMeter(double dpi)
{
    if (!(dpi > 0.0) || dpi > 1.0e6)
        return 0;
    return static_cast<std::int32_t>(std::lround(dpi / 0.0254));
}

// Writes samples offset, offset + step, ... of one line as 8-bit values, dstStep bytes apart.
// 16-bit samples come in the machine's byte order; 1-bit colour samples mean full intensity.
void lineSamples(const std::uint8_t *line, int depth, std::int32_t offset, int step, std::int32_t count,
                 std::uint8_t *dst, int dstStep)
{
    std::int64_t i = offset;
    switch (depth) {
    case 8:
        for (std::int32_t n = 0; n < count; ++n, i += step, dst += dstStep)
            *dst = line[i];
        break;
    case 16:
        for (std::int32_t n = 0; n < count; ++n, i += step, dst += dstStep) {
            std::uint16_t v;
            std::memcpy(&v, line + 2 * i, sizeof v);
            *dst = static_cast<std::uint8_t>(v >> 8);
        }
        break;
    default:
        for (std::int32_t n = 0; n < count; ++n, i += step, dst += dstStep)
            *dst = ((line[i >> 3] >> (7 - (i & 7))) & 1) ? 255 : 0;
        break;
    }
}

void writeColorTable(dib &d, const RGBQUAD *colors, int count)
{
    std::memcpy(reinterpret_cast<char *>(d.pmi) + sizeof(BITMAPINFOHEADER), colors,
                sizeof(RGBQUAD) * static_cast<std::size_t>(count));
}

} // namespace

std::int64_t saneLineBytes(const SANE_Parameters &parameters)
{
    const std::int64_t bits = std::int64_t(parameters.pixels_per_line) * samplesPerPixel(parameters) * parameters.depth;
    return (bits + 7) / 8;
}

SANE_Status FrameAssembler::beginFrame(const SANE_Parameters &p)
{
    switch (p.format) {
    case SANE_FRAME_GRAY: case SANE_FRAME_RGB: case SANE_FRAME_RED: case SANE_FRAME_GREEN: case SANE_FRAME_BLUE:
        break;
    default:
        return SANE_STATUS_UNSUPPORTED;
    }
    if (p.depth != 1 && p.depth != 8 && p.depth != 16)
        return SANE_STATUS_UNSUPPORTED;
    if (p.pixels_per_line <= 0 || p.pixels_per_line > MaxDibSide || p.lines == 0 || p.lines < -1
        || p.lines > MaxDibSide || p.bytes_per_line < saneLineBytes(p))
        return SANE_STATUS_INVAL;
    if (!frames.empty()) {
        // Only the three colour channels come as separate frames, each once and alike in size.
        const SANE_Parameters &first = frames.front().parameters;
        if (!isChannel(p.format) || !isChannel(first.format) || p.pixels_per_line != first.pixels_per_line
            || p.depth != first.depth)
            return SANE_STATUS_INVAL;
        for (const Frame &f : frames)
            if (f.parameters.format == p.format)
                return SANE_STATUS_INVAL;
    }
    Frame frame;
    frame.parameters = p;
    frame.limit = std::int64_t(p.lines > 0 ? p.lines : MaxDibSide) * p.bytes_per_line;
    // Raw samples take at most twice the image's bytes (16 bits per sample); a frame announcing
    // more than that could never become an image. Memory is taken only as data arrives.
    if (p.lines > 0 && frame.limit > 2 * MaxDibBytes)
        return SANE_STATUS_NO_MEM;
    try {
        frames.push_back(std::move(frame));
    } catch (const std::exception &) {
        return SANE_STATUS_NO_MEM;
    }
    return SANE_STATUS_GOOD;
}

SANE_Status FrameAssembler::append(const std::uint8_t *data, std::size_t count)
{
    if (frames.empty())
        return SANE_STATUS_INVAL;
    Frame &frame = frames.back();
    const std::int64_t room = frame.limit - static_cast<std::int64_t>(frame.data.size());
    const std::size_t taken = static_cast<std::size_t>(std::min<std::int64_t>(room, static_cast<std::int64_t>(count)));
    try {
        frame.data.insert(frame.data.end(), data, data + taken);
    } catch (const std::exception &) {
        return SANE_STATUS_NO_MEM;
    }
    // A frame of unknown length that outgrows the largest image cannot become one.
    if (taken < count && frame.parameters.lines < 0)
        return SANE_STATUS_NO_MEM;
    return SANE_STATUS_GOOD;
}

std::int64_t FrameAssembler::expectedBytes() const
{
    if (frames.empty() || frames.front().parameters.lines < 0)
        return 0;
    const std::int64_t frameBytes = frames.front().limit;
    return isChannel(frames.front().parameters.format) ? 3 * frameBytes : frameBytes;
}

std::int64_t FrameAssembler::receivedBytes() const
{
    std::int64_t sum = 0;
    for (const Frame &f : frames)
        sum += static_cast<std::int64_t>(f.data.size());
    return sum;
}

std::int32_t FrameAssembler::completeLines(const Frame &frame) const
{
    return static_cast<std::int32_t>(static_cast<std::int64_t>(frame.data.size()) / frame.parameters.bytes_per_line);
}

SANE_Status FrameAssembler::finish(dib &out, double xDpi, double yDpi)
{
    out = dib{};
    if (frames.empty())
        return SANE_STATUS_INVAL;
    const Frame &first = frames.front();
    std::int32_t height = completeLines(first);
    for (const Frame &f : frames)
        height = std::min(height, completeLines(f));
    // A scan that ended before its first complete line holds no picture.
    if (height <= 0)
        return SANE_STATUS_IO_ERROR;
    const SANE_Status status = first.parameters.format == SANE_FRAME_GRAY
                                   ? buildGray(out, first, height)
                                   : buildColor(out, first.parameters.pixels_per_line, height);
    frames.clear();
    if (status != SANE_STATUS_GOOD)
        return status;
    out.pmi->bmiHeader.biXPelsPerMeter = pixelsPerMeter(xDpi);
    out.pmi->bmiHeader.biYPelsPerMeter = pixelsPerMeter(yDpi);
    return SANE_STATUS_GOOD;
}

SANE_Status FrameAssembler::buildGray(dib &out, const Frame &frame, std::int32_t height) const
{
    const SANE_Parameters &p = frame.parameters;
    const std::int32_t width = p.pixels_per_line;
    if (!newdib(out, width, height, p.depth == 1 ? 1 : 8, nullptr, 0))
        return SANE_STATUS_NO_MEM;
    if (p.depth == 1) {
        // SANE's line art has 1 for black; the image keeps the usual table of black, then white.
        const RGBQUAD table[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
        writeColorTable(out, table, 2);
        const std::size_t lineBytes = static_cast<std::size_t>((width + 7) / 8);
        for (std::int32_t t = 0; t < height; ++t) {
            const std::uint8_t *src = frame.data.data() + std::int64_t(t) * p.bytes_per_line;
            std::uint8_t *dst = dibRow(out, height - 1 - t);
            for (std::size_t i = 0; i < lineBytes; ++i)
                dst[i] = static_cast<std::uint8_t>(~src[i]);
        }
        return SANE_STATUS_GOOD;
    }
    std::array<RGBQUAD, 256> table;
    for (int i = 0; i < 256; ++i) {
        const auto v = static_cast<std::uint8_t>(i);
        table[static_cast<std::size_t>(i)] = {v, v, v, 0};
    }
    writeColorTable(out, table.data(), 256);
    for (std::int32_t t = 0; t < height; ++t)
        lineSamples(frame.data.data() + std::int64_t(t) * p.bytes_per_line, p.depth, 0, 1, width,
                    dibRow(out, height - 1 - t), 1);
    return SANE_STATUS_GOOD;
}

SANE_Status FrameAssembler::buildColor(dib &out, std::int32_t width, std::int32_t height) const
{
    if (!newdib(out, width, height, 24, nullptr, 0))
        return SANE_STATUS_NO_MEM;
    // Stored pixels are blue, green, red; a channel that never came stays 0.
    for (const Frame &f : frames) {
        const SANE_Parameters &p = f.parameters;
        for (std::int32_t t = 0; t < height; ++t) {
            const std::uint8_t *line = f.data.data() + std::int64_t(t) * p.bytes_per_line;
            std::uint8_t *dst = dibRow(out, height - 1 - t);
            switch (p.format) {
            case SANE_FRAME_RGB:
                for (int c = 0; c < 3; ++c)
                    lineSamples(line, p.depth, c, 3, width, dst + 2 - c, 3);
                break;
            case SANE_FRAME_RED:
                lineSamples(line, p.depth, 0, 1, width, dst + 2, 3);
                break;
            case SANE_FRAME_GREEN:
                lineSamples(line, p.depth, 0, 1, width, dst + 1, 3);
                break;
            default:
                lineSamples(line, p.depth, 0, 1, width, dst, 3);
                break;
            }
        }
    }
    return SANE_STATUS_GOOD;
}
