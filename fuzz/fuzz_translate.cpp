// Feeds arbitrary bytes to the translate.dat reader, then checks that what it kept saves and
// reloads identically, that merging the same bytes adds no row, and that the index leads every
// key to a row holding it, also after a row is deleted.

#include "core/translationtable.h"

#include <cstddef>
#include <cstdint>

namespace {

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

void checkIndex(TranslationTable &table)
{
    const int rows = table.rowCount() < 64 ? table.rowCount() : 64;
    for (int r = 0; r < rows; ++r) {
        const QString key = table.text(r, 0);
        if (key.isEmpty())
            continue;
        const int found = table.find(key);
        check(found >= 0 && found <= r && table.text(found, 0) == key);
        // A known key is never added again, so this lookup cannot write a file.
        table.translate(key, 1);
        check(table.rowCount() >= rows);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const bool quiet = [] {
        setTranslationCorruptionHandler([](const QString &) {});
        return true;
    }();
    (void)quiet;

    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    TranslationTable table(16);
    table.loadFromBytes(input);

    const QByteArray saved = table.toBytes();
    TranslationTable again(16);
    check(again.loadFromBytes(saved));
    check(again.rowCount() == table.rowCount());
    check(again.toBytes() == saved);

    // Merging the input into what was read from it adds no German text twice.
    again.mergeFromBytes(input);
    check(again.rowCount() == table.rowCount());
    checkIndex(again);

    checkIndex(table);
    if (table.rowCount() > 0) {
        table.deleteRow(table.rowCount() / 2);
        checkIndex(table);
    }
    return 0;
}
