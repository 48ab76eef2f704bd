// Feeds arbitrary bytes to the project file reader. Whatever it accepts must be a complete
// image with its rows in memory and elements whose vertex lists and names exist; an extension
// block it reads must be written back byte for byte, and a damaged one must be reported.

#include "core/projectfile.h"

#include <cstddef>
#include <cstdint>

namespace {

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    Document doc;
    dib image;
    ProjectSettings settings;
    QString error;
    QString warning;
    if (loadProjectFromBytes(input, doc, image, settings, &error, &warning)) {
        check(image.poi && image.pmi && image.bytew == dibRowBytes(DibWidth(image), DibBitCount(image)));
        // Write the last pixel, so that a short pixel block shows up under the address sanitizer.
        const std::int32_t x = DibWidth(image) - 1;
        const std::int32_t y = DibHeight(image) - 1;
        setpixel(image, x, y, 1);
        check(getpixel(image, x, y) == 1);
        for (int i = 0; i < doc.count(); ++i) {
            const Telemente &e = *doc.element(i);
            check(e.vert && e.name);
            check(static_cast<qsizetype>(Document::name(e).size()) * 2 <= input.size());
        }
        const QByteArray block = encodeExtensionBlock(settings.extension);
        if (warning.isEmpty())
            check(input.endsWith(block));
        else
            check(settings.extension.isEmpty());
        ProjectExtension again;
        check(decodeExtensionBlock(block, again, nullptr) && again == settings.extension);
        if (const auto scale = settings.extension.scale())
            check(scale->pixelLength == scale->pixelLength && scale->pixelLength != 0);
    } else {
        check(!error.isEmpty() && !image.poi && doc.count() == 0);
    }
    deldib(image);
    return 0;
}
