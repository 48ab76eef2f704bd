#include "render/viewstate.h"

#include <QRect>

#include <algorithm>
#include <cmath>

namespace {

// Far beyond any surface, with room left for the few pixels that marks and text add around a
// point without leaving the 32-bit range.
constexpr long double IntMax = ScreenLimit;
constexpr long double IntMin = -IntMax;

// Rounds to nearest, ties to even (the default floating-point rounding mode; rint rather than
// nearbyint, which saves and restores the floating-point state on every call), held inside the
// screen range so that a huge zoom or a far-away point cannot wrap around to the other side.
long double roundSaturated(long double v)
{
    if (std::isnan(v))
        return 0;
    return std::clamp(std::rint(v), IntMin, IntMax);
}

}

int roundScreen(long double v)
{
    return static_cast<int>(roundSaturated(v));
}

int ViewState::toScreen(double v, int offset) const
{
    // Every element point of every repaint passes here, and extended precision costs more than
    // the rest of placing the point. In double precision the product is off by far less than
    // 1e-6 within the screen range, so wherever it lies farther than that from a tie it rounds
    // to the same whole pixel; the rest takes the extended path.
    const double fast = static_cast<double>(zoomPercent) * v / 100.0;
    if (std::abs(fast) < ScreenLimit / 2) {
        const double whole = std::rint(fast);
        if (std::abs(fast - whole) < 0.4999) {
            const long long shifted = static_cast<long long>(whole) + offset;
            return static_cast<int>(std::clamp<long long>(shifted, -ScreenLimit, ScreenLimit));
        }
    }
    const long double scaled = static_cast<long double>(zoomPercent) * static_cast<long double>(v) / 100.0L;
    return roundScreen(roundSaturated(scaled) + static_cast<long double>(offset));
}

double ViewState::toImage(int V, int offset) const
{
    const long double diff = static_cast<long double>(static_cast<long long>(V) - offset);
    return static_cast<double>(diff / static_cast<long double>(zoomPercent) * 100.0L);
}

long long ViewState::scaledRound(double length) const
{
    return static_cast<long long>(
        roundSaturated(static_cast<long double>(zoomPercent) * static_cast<long double>(length) / 100.0L));
}

QSize ViewState::zoomedImageSize(int imageWidth, int imageHeight) const
{
    return QSize(static_cast<int>(scaledRound(imageWidth)), static_cast<int>(scaledRound(imageHeight)));
}

ViewState ViewState::atOrigin() const
{
    ViewState origin;
    origin.zoomPercent = zoomPercent;
    return origin;
}

bool ViewState::setZoom(int value)
{
    const int v = std::clamp(value, ZoomMin, ZoomMax);
    if (v == zoomPercent)
        return false;
    zoomPercent = v;
    return true;
}

bool ViewState::setScrollX(int position)
{
    const int v = std::clamp(position, ScrollMin, ScrollMax);
    if (v == scrollX)
        return false;
    scrollX = v;
    return true;
}

bool ViewState::setScrollY(int position)
{
    const int v = std::clamp(position, ScrollMin, ScrollMax);
    if (v == scrollY)
        return false;
    scrollY = v;
    return true;
}

bool ViewState::wheel(bool towardsUser)
{
    return setScrollY(scrollY + (towardsUser ? WheelStep : -WheelStep));
}

bool ViewState::zoomAbout(int zoom, QPoint anchor)
{
    const QPointF fixed = image(anchor);
    if (!setZoom(zoom))
        return false;
    setScrollX(static_cast<int>(scaledRound(fixed.x())) - anchor.x());
    setScrollY(static_cast<int>(scaledRound(fixed.y())) - anchor.y());
    return true;
}

bool ViewState::fit(QSize picture, QSize surface)
{
    if (picture.isEmpty() || surface.isEmpty())
        return false;
    const long long across = static_cast<long long>(surface.width()) * 100 / picture.width();
    const long long down = static_cast<long long>(surface.height()) * 100 / picture.height();
    bool changed = setZoom(static_cast<int>(std::clamp<long long>(std::min(across, down), ZoomMin, ZoomMax)));
    changed = setScrollX(0) || changed;
    return setScrollY(0) || changed;
}

bool ViewState::scrollIntoView(const QRectF &imageBox, QSize surface)
{
    const QRect onScreen(screen(imageBox.topLeft()), screen(imageBox.bottomRight()));
    if (QRect(QPoint(0, 0), surface).contains(onScreen))
        return false;
    const QPointF centre = imageBox.center();
    bool changed = setScrollX(static_cast<int>(scaledRound(centre.x())) - surface.width() / 2);
    return setScrollY(static_cast<int>(scaledRound(centre.y())) - surface.height() / 2) || changed;
}

void HandDrag::press(QPoint at, const ViewState &view)
{
    dragging = true;
    pressedAt = at;
    scrollAtPress = QPoint(view.scrollX, view.scrollY);
}

bool HandDrag::moveTo(QPoint at, ViewState &view) const
{
    if (!dragging)
        return false;
    // Anchors and mouse positions are 32-bit; their sum is formed in 64 bits and then held in
    // range by the setters.
    const auto clampInt = [](long long v) {
        return static_cast<int>(std::clamp<long long>(v, ViewState::ScrollMin - 1LL, ViewState::ScrollMax + 1LL));
    };
    const bool movedX = view.setScrollX(clampInt(static_cast<long long>(scrollAtPress.x()) + pressedAt.x() - at.x()));
    const bool movedY = view.setScrollY(clampInt(static_cast<long long>(scrollAtPress.y()) + pressedAt.y() - at.y()));
    return movedX || movedY;
}
