#pragma once

#include "core/dib.h"

#include <QString>

#include <cstdint>
#include <cstdio>

// JPEG, PNG and TIFF pictures are decoded row by row straight into the image record's layout,
// so that no 32-bit copy of the picture is ever held; what these decoders leave alone goes
// through Qt's. Depth, transparency over white and resolution follow the same rules as there.

enum class RowDecode {
    Decoded,    // the record holds the picture
    Refused,    // damaged, truncated or too large: the file does not open
    NotHandled, // a kind of picture left to Qt's decoders; the record is untouched
};

// Each fills an empty record.
RowDecode decodeJpegRows(dib &d, const QString &fileName);
RowDecode decodePngRows(dib &d, const QString &fileName);
RowDecode decodeTiffRows(dib &d, const QString &fileName);

// True when a picture of this size, held at bitsPerPixel, fits the program's limits.
bool decodedSizeAccepted(std::int64_t width, std::int64_t height, int bitsPerPixel);

// Stores a resolution the file states (0: not stated) in d's header the way pictures decoded by
// Qt get it: a resolution equal to Qt's screen default counts as not stated and stays 0.
void keepStatedResolution(dib &d, std::int32_t xPerMeter, std::int32_t yPerMeter);

// A colour channel with its alpha laid over white.
inline std::uint8_t overWhite(int channel, int alpha)
{
    return static_cast<std::uint8_t>((channel * alpha + 255 * (255 - alpha) + 127) / 255);
}

// Moves the pixels and header of a finished picture into the empty record d.
void handOver(dib &d, dib &made);
// Hands made over to d when result says it was decoded and frees it otherwise; returns result.
RowDecode keepDecoded(RowDecode result, dib &d, dib &made);

// The file opened for reading with a buffer large enough that the decoders' small reads cost few
// system calls; nullptr when it cannot be opened.
std::FILE *openForDecoding(const QString &fileName);
