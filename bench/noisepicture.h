#pragma once

#include "core/dib.h"

#include <cstdint>
#include <cstdlib>

// A 24-bit picture of fixed pseudo-random noise: no run of equal pixels for a drawing path to
// profit from, and the same pixels in every run.
inline dib noisePicture(int width, int height)
{
    dib p;
    if (!newdib(p, width, height, 24, nullptr, 0))
        std::abort();
    std::uint32_t seed = 12345;
    for (int y = 0; y < height; ++y) {
        std::uint8_t *row = dibRow(p, y);
        for (int x = 0; x < width * 3; ++x) {
            seed = seed * 1664525u + 1013904223u;
            row[x] = static_cast<std::uint8_t>(seed >> 24);
        }
    }
    return p;
}
