#pragma once

#include <QPoint>
#include <QPointF>
#include <QSize>
#include <QString>

class Document;

// The outline drawn over a back-buffer-only rendering while a point is being placed.
struct RubberBand {
    enum Shape { Line, Rectangle, Ellipse };
    Shape shape = Line;
    QPoint from;  // screen position of the last placed point
    QPoint to;    // screen position of the candidate point
};

// What the mouse tools may ask of the window. The tools see nothing else of it, so tests drive
// them with a fake host, press by press.
class ToolHost
{
public:
    virtual ~ToolHost() = default;

    virtual Document &document() = 0;

    // The view: zoom in percent, the two scroll positions and the one image<->screen mapping
    // that the renderer uses as well.
    virtual double zoom() const = 0;
    virtual QPoint scrollPosition() const = 0;
    virtual QPoint imageToScreen(double x, double y) const = 0;
    virtual QPointF screenToImage(QPoint screen) const = 0;

    // A full synchronous repaint: renders, refreshes every element's values and shows the result.
    virtual void repaint() = 0;
    // Renders the document into the back buffer without showing it; the rubber band and the
    // text preview are drawn over that, then the back buffer is shown.
    virtual void renderWithoutShowing() = 0;
    // Drawn with the element pen (colour, width scaled by the zoom), unfilled.
    virtual void drawRubberBand(const RubberBand &band) = 0;
    // The text label preview, in the label font scaled by the zoom, its lower-left corner at
    // the cursor.
    virtual void drawTextPreview(QPoint cursor) = 0;
    virtual void showBackBuffer() = 0;
    // Width and height of a text in the label font scaled by the zoom, in screen pixels.
    virtual QSize labelTextExtent(const QString &text) const = 0;

    // The keyboard state at the moment of the mouse event. Where the platform cannot tell the
    // two Ctrl keys apart, either one counts as the left one.
    virtual bool leftCtrl() const = 0;
    virtual bool anyCtrl() const = 0;
    virtual bool alt() const = 0;

    // The check marks of the two tool options.
    virtual bool askNameOption() const = 0;         // ask for a name when an element is complete
    virtual bool returnToPointerOption() const = 0; // set the pointer tool down when complete

    // The name dialog, its edit field preset to text; true and the entered text on OK.
    virtual bool askName(QString &text) = 0;
    // The inclination dialog, preset to degrees; true and the entered angle on OK.
    virtual bool askInclination(double &degrees) = 0;
    // Sets both sides of the scale, then the numeric scale command shows them for editing,
    // applies them and repaints.
    virtual void setScale(double pixelLength, double realLength) = 0;
    virtual void runNumericScaleCommand() = 0;

    // Sets the pointer tool's button down without running its click handler.
    virtual void setPointerToolDown() = 0;

    // The hand tool pans the view by screen pixels from the press anchors.
    virtual void beginPan(QPoint press) = 0;
    virtual void panTo(QPoint cursor) = 0;
    virtual void endPan() = 0;
};
