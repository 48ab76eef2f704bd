#pragma once

#include "core/kovrant.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <array>
#include <functional>
#include <optional>

// The dictionary behind every translated text: rows of 30 columns (0 German, the key; 1 English;
// 2 Italian; 3..29 further languages), held in a record array, with an index of 256 buckets keyed
// by the low 8 bits of a key's first UTF-16 code unit.
//
// The table lives in "translate.dat" in the program's folder, or, for an installed program that
// has none beside it, in its data folder (share/tesselon/). Where that folder cannot be
// written (an installed copy), saves go to the settings folder and loads prefer the copy there,
// so that collected texts and edits survive.
class TranslationTable
{
public:
    static constexpr int Columns = 30;
    static constexpr int Buckets = 256;
    // Growth step of the row array: loading and adding never reallocate in practice.
    static constexpr std::uint32_t RowStep = 100000;

    // One row: 30 owned texts; nullptr counts as the empty text.
    struct Row {
        QString *text[Columns];
    };
    // One index entry: an own copy of the key and the key's row number.
    struct Entry {
        QString *key;
        std::int32_t row;
    };

    // rowStep is the row array's growth step; the fuzz target uses a small one so that growing
    // and shrinking the array is exercised too.
    explicit TranslationTable(std::uint32_t rowStep = RowStep);
    ~TranslationTable();
    TranslationTable(const TranslationTable &) = delete;
    TranslationTable &operator=(const TranslationTable &) = delete;

    // Where the table is read and written. Without a call, the program's folder and
    // $XDG_CONFIG_HOME/Kovrant/Tesselon/ are used; without an application object neither, and
    // the table lives in memory only.
    void setPaths(const QString &programFile, const QString &settingsFile);
    QString programFile() const;
    QString settingsFile() const;
    // The file load() reads: the settings copy when it exists and the program's copy cannot be
    // written or is missing; the program's copy otherwise.
    QString loadPath() const;

    // Replaces the table with the preferred file's content. A missing file leaves the table
    // empty without a message. A damaged file keeps the rows read before the damage, reports
    // the damage through the corruption handler and returns false.
    // When the settings copy is read, the program's copy fills in what it lacks: rows of German
    // texts it does not hold and translations it left empty, so that an updated program brings
    // its new translations without losing the user's edits.
    bool load();
    // Parses a whole file image; same rules as load().
    bool loadFromBytes(const QByteArray &bytes);
    // Adds what another file image holds and this table lacks: rows of unknown German texts and
    // translations of known ones whose cell is empty here. Returns false, after reporting, when
    // that image is damaged; the rows read before the damage are still merged. Does not save.
    bool mergeFromBytes(const QByteArray &bytes);
    // Loads once; later calls do nothing.
    void ensureLoaded();
    bool isLoaded() const { return loaded; }

    // The file image of the whole table: 30, the row count, then every row's 30 texts.
    QByteArray toBytes() const;
    // Writes the table to the program's folder, or to the settings folder where the program's
    // folder cannot be written. A failed save returns false and changes nothing in memory.
    bool save();

    // The lookup: T in the given column, keeping T's leading and trailing spaces. An unknown
    // German text gets a new row, and the table is saved at once.
    QString translate(const QString &german, int column);

    // Row number of the first row whose German text is key, or -1.
    int find(QStringView key) const;
    int rowCount() const { return static_cast<int>(rows.Count()); }
    QString text(int row, int column) const;
    // Replaces one cell. A changed German text moves the row's index entry to its new key.
    void setText(int row, int column, const QString &value);
    // Appends a row holding german in column 0 and indexes it; returns its number or -1 when
    // memory ran out. Does not save.
    int addRow(const QString &german);
    // Removes one row; the index then leads to no removed or moved row. Does not save.
    bool deleteRow(int row);
    void clear();

    // Read access to one index bucket, for the tests of the bucket rule.
    int bucketSize(int bucket) const;
    QString bucketKey(int bucket, int entry) const;
    int bucketRow(int bucket, int entry) const;
    static int bucketOf(QStringView key);

private:
    Row *rowAt(int row) const;
    Entry *entryAt(int bucket, int entry) const;
    void releaseRow(Row *row);
    bool appendRow(QString (&texts)[Columns]);
    bool addIndexEntry(const QString &key, int row);
    void removeIndexEntry(int row);
    bool parse(const QByteArray &bytes);
    bool mergeProgramCopy();
    bool programFolderWritable() const;

    // Cursor variables the record arrays publish into: one for the rows, one shared by all buckets.
    void *arow = nullptr;
    void *aentry = nullptr;
    mutable TDynaArray rows;
    // Held in place: a table makes all 256 at once, and one allocation each would dominate
    // the cost of loading a small table.
    mutable std::array<std::optional<TDynaArray>, Buckets> index;
    QString programPath;
    QString settingsPath;
    bool loaded = false;
};

// Called with "The file translate.dat has been corrupted." when a damaged table is read. The user
// interface installs a handler that shows it in an error box; without one it goes to stderr.
using TranslationCorruptionHandler = std::function<void(const QString &message)>;
void setTranslationCorruptionHandler(TranslationCorruptionHandler handler);
QString translationCorruptedMessage();
