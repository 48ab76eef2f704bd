// Feeds arbitrary bytes to the options file reader. A refused file leaves the options alone;
// an accepted one holds a language the translation table has a column for.

#include "core/optionsfile.h"

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
    Options options;
    options.language = 7;
    QString error;
    if (loadOptionsFromBytes(input, options, &error)) {
        check(options.language >= 0 && options.language <= MaxLanguage);
        check(static_cast<qsizetype>(options.scales.size()) * 16 <= input.size());
    } else {
        check(!error.isEmpty() && options.language == 7 && options.scales.isEmpty());
    }
    return 0;
}
