#pragma once

#include <QPoint>
#include <QPointF>
#include <QSize>

// The view onto the image: zoom, the two scroll positions, the hand drag and the repaint flags,
// with the one image<->screen mapping that the renderer and the tools share. Plain data, so the
// window only mirrors it into its spin field and scroll bars.
struct ViewState {
    static constexpr int ZoomMin = 10;
    static constexpr int ZoomMax = 30000;
    static constexpr int ZoomStep = 10;
    static constexpr int ScrollMin = -10000;
    static constexpr int ScrollMax = 10000;
    static constexpr int ScrollSmallStep = 10;
    static constexpr int ScrollLargeStep = 50;
    static constexpr int WheelStep = 20;

    int zoomed = 100;      // percent of the image's pixel size
    int scrollBar1 = 0;    // horizontal position
    int scrollBar2 = 0;    // vertical position
    bool handBtn = false;  // the hand tool is down

    bool inhand = false;
    int dragxx = 0;
    int dragyy = 0;
    int ooffx = 0;
    int ooffy = 0;

    bool donotpaintnow = false;
    bool donotreallypaint = false;
    bool paintforexport = false;
    bool noendpunkte = false;

    double zoom() const { return zoomed; }

    // Screen position of the image origin; (0, 0) while rendering for export.
    int ox() const { return paintforexport ? 0 : -scrollBar1; }
    int oy() const { return paintforexport ? 0 : -scrollBar2; }

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

    // Point marks are hidden while the hand tool is down or for a mark-free rendering.
    bool pointMarksShown() const { return !noendpunkte && !handBtn; }

    // Round(zoom * side / 100) for both sides: the image on the screen, and the back buffer of an
    // export rendering.
    QSize zoomedImageSize(int imageWidth, int imageHeight) const;

    // Setters hold the value in range and return whether it changed; an unchanged position
    // fires no change event and so no repaint.
    bool setZoom(int value);
    bool setScrollBar1(int position);
    bool setScrollBar2(int position);

    // One wheel notification: towards the user scrolls down. True when a repaint is due.
    bool wheel(bool towardsUser);

    // Hand tool. A press with any button but the right one starts the drag; every move places
    // both scroll positions from the press anchors and asks for one repaint when either moved,
    // so a purely vertical drag is shown as well.
    void handPress(int X, int Y, bool rightButton);
    bool handMove(int X, int Y);
    void handRelease();

private:
    int toScreen(double v, int offset) const;
    double toImage(int V, int offset) const;
};

// Round half to even in extended precision, held within +-2^30 so that screen arithmetic on
// the result cannot overflow.
inline constexpr int ScreenLimit = 1 << 30;
int roundScreen(long double v);
