#pragma once

#include "core/dib.h"
#include "core/elements.h"
#include "core/projectextension.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

class QIODevice;
struct TransferProgress;

// The label font as the project file stores it. The face name is kept exactly as read, so a
// face that is missing on this system is written back unchanged.
struct FontRecord {
    enum StyleBit : std::uint8_t { Bold = 1, Italic = 2, Underline = 4, StrikeOut = 8 };
    enum Pitch : std::uint8_t { DefaultPitch = 0, VariablePitch = 1, FixedPitch = 2 };

    std::uint8_t charset = 1;        // the default character set
    std::int32_t colour = 0x0000FF;  // 0x00BBGGRR
    QString name = QStringLiteral("Tahoma");
    std::uint8_t pitch = DefaultPitch;
    std::int32_t pixelsPerInch = 96;
    std::int32_t size = 11;          // points; 11 points at 96 pixels per inch is a 15 pixel height
    std::uint8_t style = 0;

    bool operator==(const FontRecord &) const = default;
};

// The drawing settings a project carries, in file order, and the chunks of its extension block.
struct ProjectSettings {
    std::int32_t colour = 0x0000FF;       // element colour (Shape1), 0x00BBGGRR
    double linewidth = 2.0;               // WidthEd
    double arrowlength = 30.0;            // PfeillangEd
    bool showScaleLine = true;            // Anzeigen1
    bool showResults = true;              // Ergebnisslisteanzeigen1
    bool outlineText = false;             // SchriftumrandenumdieLesbarkeitzuverbessern1
    bool pointerAfterMeasuring = false;   // NachMessungwiederdenZeigerauswhlen1
    bool askName = true;                  // BezeichnungfrElementeeingebenlassen1
    bool adaptToImage = true;             // PfeillngeundSchriftgrebeimffneneinesBildesautomatischvoreinstellen1
    double zoom = 100.0;                  // zoomed, percent
    FontRecord font;                      // FontDialog1
    // The scale and whatever else the original layout has no room for; without chunks no block
    // is written, so the file is exactly what the original layout describes.
    ProjectExtension extension;

    bool operator==(const ProjectSettings &) const = default;
};

// Writes the document, the image and the settings. The file is replaced only when it was written
// whole; on failure the previous file is untouched and error receives a German text naming the
// file and the cause. With progress, the bytes written are counted there and a cancel stops the
// writing, which then fails like any other.
bool saveProject(const QString &path, const Document &doc, const dib &image, const ProjectSettings &s,
                 QString *error = nullptr, TransferProgress *progress = nullptr);

// The same bytes written to out, without messages, so that it may run off the user-interface
// thread; false when the image cannot be written or a write failed.
bool writeProject(QIODevice &out, const Document &doc, const dib &image, const ProjectSettings &s);

// Reads a project. Every count and size is checked against the bytes that remain before anything
// is allocated; doc, image and settings are replaced only when the whole file was read. The
// image is held with its rows bottom row first, also when the file stores them top row first.
// A damaged extension block does not stop the project from opening: it is read as no block and
// warning receives a German text for the user; a project opened without such damage clears it.
// With progress, the bytes read are counted there and a cancel stops the reading, which then
// fails like any other.
bool loadProject(const QString &path, Document &doc, dib &image, ProjectSettings &s, QString *error = nullptr,
                 QString *warning = nullptr, TransferProgress *progress = nullptr);
bool loadProjectFromBytes(const QByteArray &bytes, Document &doc, dib &image, ProjectSettings &s,
                          QString *error = nullptr, QString *warning = nullptr);

// Bytes of the font record of a face name of that many UTF-16 code units.
inline constexpr std::int64_t fontRecordSize(std::int64_t nameUnits)
{
    return 1 + 4 + 1 + 2 * nameUnits + 1 + 4 + 4 + 1;
}
