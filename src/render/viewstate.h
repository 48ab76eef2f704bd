#pragma once

#include <QPoint>
#include <QPointF>
#include <QRectF>
#include <QSize>

// The view onto the image: the zoom and the two scroll positions, the one image<->screen mapping
// that the renderer and the tools share, and the ways the user moves it (zooming about a point,
// fitting, bringing a box into view, the wheel). The window holds one of these as the view's only
// source; its zoom field and scroll bars show it.
struct ViewState {
    static constexpr int ZoomMin = 10;
    static constexpr int ZoomMax = 30000;
    static constexpr int ZoomStep = 10;
    static constexpr int ScrollMin = -10000;
    static constexpr int ScrollMax = 10000;
    static constexpr int ScrollSmallStep = 10;
    static constexpr int ScrollLargeStep = 50;
    static constexpr int WheelStep = 20;

    int zoomPercent = 100; // percent of the image's pixel size
    int scrollX = 0;       // the surface's left edge in zoomed image pixels
    int scrollY = 0;       // the surface's top edge in zoomed image pixels

    double zoom() const { return zoomPercent; }

    // Screen position of the image origin.
    int ox() const { return -scrollX; }
    int oy() const { return -scrollY; }

    // Image to screen: Round(zoom * v / 100) in extended precision, ties to even, and the
    // integer offset added after rounding.
    int screenX(double x) const { return toScreen(x, ox()); }
    int screenY(double y) const { return toScreen(y, oy()); }
    QPoint screen(double x, double y) const { return QPoint(screenX(x), screenY(y)); }
    QPoint screen(QPointF p) const { return screen(p.x(), p.y()); }

    // Screen to image, unrounded: (X - offset) / zoom * 100.
    double imageX(int X) const { return toImage(X, ox()); }
    double imageY(int Y) const { return toImage(Y, oy()); }
    QPointF image(QPoint p) const { return QPointF(imageX(p.x()), imageY(p.y())); }

    // Round(zoom * length / 100): an image length as whole screen pixels.
    long long scaledRound(double length) const;

    // Round(zoom * side / 100) for both sides: the image on the screen, and the back buffer of an
    // export rendering.
    QSize zoomedImageSize(int imageWidth, int imageHeight) const;

    // The same zoom with the image origin at the surface's: what an export or a printout renders,
    // whatever the screen is scrolled to.
    ViewState atOrigin() const;

    // Setters hold the value in range and return whether it changed; an unchanged view needs
    // no repaint.
    bool setZoom(int value);
    bool setScrollX(int position);
    bool setScrollY(int position);

    // One wheel notification: towards the user scrolls down.
    bool wheel(bool towardsUser);
    // Sets the zoom so that the image point under anchor, a surface position, stays under it,
    // to the pixel as far as the scroll range allows.
    bool zoomAbout(int zoom, QPoint anchor);
    // The whole picture in the surface, its top-left corner at the surface's.
    bool fit(QSize picture, QSize surface);
    // An image box that is not wholly on the surface is brought to its centre, at the same zoom.
    bool scrollIntoView(const QRectF &imageBox, QSize surface);

private:
    int toScreen(double v, int offset) const;
    double toImage(int V, int offset) const;
};

// The hand drag: from the press on, both scroll positions follow the mouse.
class HandDrag
{
public:
    void press(QPoint at, const ViewState &view);
    // Places both scroll positions from the press anchors; true when either moved, so that a
    // purely vertical drag is shown as well.
    bool moveTo(QPoint at, ViewState &view) const;
    void release() { dragging = false; }
    bool active() const { return dragging; }

private:
    bool dragging = false;
    QPoint pressedAt;
    QPoint scrollAtPress;
};

// Round half to even in extended precision, held within +-2^30 so that screen arithmetic on
// the result cannot overflow.
inline constexpr int ScreenLimit = 1 << 30;
int roundScreen(long double v);
