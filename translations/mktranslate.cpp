// Turns the reviewable translation source (table.tsv) into the binary table translate.dat that
// the program loads at start-up.

#include "core/translationsource.h"
#include "core/translationtable.h"

#include <QFile>
#include <QSaveFile>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s table.tsv translate.dat\n", argv[0]);
        return 2;
    }
    const QString sourcePath = QString::fromLocal8Bit(argv[1]);
    const QString targetPath = QString::fromLocal8Bit(argv[2]);

    QFile input(sourcePath);
    if (!input.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(sourcePath), qPrintable(input.errorString()));
        return 1;
    }
    TranslationSource source;
    QString error;
    if (!parseTranslationSource(input.readAll(), source, error)) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(sourcePath), qPrintable(error));
        return 1;
    }
    TranslationTable table;
    if (!fillTranslationTable(source, table)) {
        std::fprintf(stderr, "%s: out of memory\n", qPrintable(sourcePath));
        return 1;
    }
    const QByteArray bytes = table.toBytes();
    QSaveFile output(targetPath);
    if (!output.open(QIODevice::WriteOnly) || output.write(bytes) != bytes.size() || !output.commit()) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(targetPath), qPrintable(output.errorString()));
        return 1;
    }
    return 0;
}
