#pragma once

#include "core/dib.h"

#include <sane/sane.h>

#include <cstddef>
#include <cstdint>
#include <vector>

// Collects the frames of one scan as SANE delivers them and turns them into an image record:
// grey becomes 8 bits with a grey palette, line art 1 bit, colour (one RGB frame or separate red,
// green and blue frames) 24 bits. Frames of unknown length grow as their lines arrive.
class FrameAssembler
{
public:
    // Starts the next frame with the parameters the device reported after sane_start. Refuses
    // formats and sizes that cannot become an image, and frames that do not fit the earlier ones.
    SANE_Status beginFrame(const SANE_Parameters &parameters);
    // Adds data of the current frame. Data beyond a frame's announced length is ignored.
    SANE_Status append(const std::uint8_t *data, std::size_t count);

    // Bytes the whole scan will deliver, 0 while that is unknown; and the bytes received so far.
    std::int64_t expectedBytes() const;
    std::int64_t receivedBytes() const;

    // Hands the image over to out (which it overwrites without releasing), with the scan's
    // resolution in dots per inch. Only complete lines count; a scan without one is refused.
    SANE_Status finish(dib &out, double xDpi, double yDpi);

private:
    struct Frame {
        SANE_Parameters parameters{};
        std::vector<std::uint8_t> data;
        std::int64_t limit = 0;
    };
    std::int32_t completeLines(const Frame &frame) const;
    SANE_Status buildGray(dib &out, const Frame &frame, std::int32_t height) const;
    SANE_Status buildColor(dib &out, std::int32_t width, std::int32_t height) const;

    std::vector<Frame> frames;
};

// Bytes one line of these parameters needs at least.
std::int64_t saneLineBytes(const SANE_Parameters &parameters);
