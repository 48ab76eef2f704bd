#pragma once

#include "core/dib.h"

#include <QRgb>

#include <cstdint>

// A 24-bit picture of one colour; an empty record when there is no memory for it.
inline dib solidPicture(int width, int height, QRgb colour)
{
    dib d;
    if (!newdib(d, width, height, 24, nullptr, 0))
        return d;
    for (int y = 0; y < height; ++y) {
        std::uint8_t *row = dibRow(d, y);
        for (int x = 0; x < width; ++x) {
            row[3 * x] = static_cast<std::uint8_t>(qBlue(colour));
            row[3 * x + 1] = static_cast<std::uint8_t>(qGreen(colour));
            row[3 * x + 2] = static_cast<std::uint8_t>(qRed(colour));
        }
    }
    return d;
}
