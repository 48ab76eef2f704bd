#pragma once

#include "core/geometry.h"
#include "render/labels.h"

#include <QColor>
#include <QSize>

class Document;
class DrawList;
class ElementValueCache;
class LabelCache;
class QImage;
class QPainter;
struct dib;
struct ViewState;

// The drawing settings that apply to every element at every repaint.
struct DrawingSettings {
    QColor elementColor = QColor(255, 0, 0); // the swatch Shape1
    double lineWidth = 2.0;                   // WidthEd, image pixels
    double arrowLength = 30.0;                // PfeillangEd, image pixels
    LabelFont labelFont;                      // FontDialog1
    bool showPicture = true;                  // ShowPicCheck
    bool showScaleLine = true;                // Anzeigen1
    bool outlineText = false;                 // "Schrift umranden, um die Lesbarkeit zu verbessern"
};

// How one rendering pass is drawn, apart from what it shows.
struct RenderPass {
    // The back buffer holds the whole zoomed image rather than the surface (exports).
    bool wholeImage = false;
    // No point marks and no curve handles (exports and printouts).
    bool withoutMarks = false;
    // The hand tool is down: the point marks disappear, the curve handles stay.
    bool handToolDown = false;

    bool pointMarksShown() const { return !withoutMarks && !handToolDown; }
};

// What an export or a printout draws: the whole image, without marks.
inline constexpr RenderPass ExportPass{true, true, false};

// What one rendering pass reads besides the document and the image.
struct RenderInputs {
    const ViewState &view;
    const DrawingSettings &settings;
    Scale scale;
    NumberSettings numbers;
    // The screen's cache of rasterised label texts; none draws every text as text.
    LabelCache *labelCache = nullptr;
    // The screen's record of the values it refreshed; none refreshes every element's values.
    ElementValueCache *valueCache = nullptr;
    // How much wider one image pixel comes out than high where the drawing takes separate X
    // and Y scales on paper: texts and arrow heads are drawn against it, so that they keep their
    // shape there. 1 on the screen and in every other output.
    double paperAspect = 1.0;
    RenderPass pass;
};

// Width of the element pen: Round(zoom * lineWidth / 100), and 1 when that gives 0.
int elementPenWidth(const ViewState &view, const DrawingSettings &settings);

// Draws every element in document order over whatever the painter already holds, refreshing
// each element's measured values first (through the value cache when given). Uses only the painter and the view mapping, so
// the screen, the printer page and the vector exports share it.
// With a draw list, the drawings that go straight into the pixels are gathered there, put in by
// its second thread as they come and by both threads when the pass ends.
void drawElements(QPainter &p, Document &doc, const RenderInputs &in, DrawList *list = nullptr);

// The screen repaint into the back buffer: sized to the drawing surface (or to the whole zoomed
// image while rendering for export), reallocated only when that size changes, cleared white,
// the image drawn when shown, then the elements. False when the buffer cannot be had (an
// export size beyond memory); the document is then untouched.
bool renderBackBuffer(QImage &bit, QSize surface, Document &doc, const dib &di, const RenderInputs &in);
