#include "render/viewstate.h"

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
    const long double scaled = static_cast<long double>(zoomed) * static_cast<long double>(v) / 100.0L;
    return roundScreen(roundSaturated(scaled) + static_cast<long double>(offset));
}

double ViewState::toImage(int V, int offset) const
{
    const long double diff = static_cast<long double>(static_cast<long long>(V) - offset);
    return static_cast<double>(diff / static_cast<long double>(zoomed) * 100.0L);
}

long long ViewState::scaledRound(double length) const
{
    return static_cast<long long>(
        roundSaturated(static_cast<long double>(zoomed) * static_cast<long double>(length) / 100.0L));
}

QSize ViewState::zoomedImageSize(int imageWidth, int imageHeight) const
{
    return QSize(static_cast<int>(scaledRound(imageWidth)), static_cast<int>(scaledRound(imageHeight)));
}

bool ViewState::setZoom(int value)
{
    const int v = std::clamp(value, ZoomMin, ZoomMax);
    if (v == zoomed)
        return false;
    zoomed = v;
    return true;
}

bool ViewState::setScrollBar1(int position)
{
    const int v = std::clamp(position, ScrollMin, ScrollMax);
    if (v == scrollBar1)
        return false;
    scrollBar1 = v;
    return true;
}

bool ViewState::setScrollBar2(int position)
{
    const int v = std::clamp(position, ScrollMin, ScrollMax);
    if (v == scrollBar2)
        return false;
    scrollBar2 = v;
    return true;
}

bool ViewState::wheel(bool towardsUser)
{
    const bool changed = setScrollBar2(scrollBar2 + (towardsUser ? WheelStep : -WheelStep));
    return changed && !donotpaintnow;
}

void ViewState::handPress(int X, int Y, bool rightButton)
{
    if (rightButton || !handBtn)
        return;
    inhand = true;
    dragxx = X;
    dragyy = Y;
    ooffx = scrollBar1;
    ooffy = scrollBar2;
}

bool ViewState::handMove(int X, int Y)
{
    if (!inhand)
        return false;
    // Anchors and mouse positions are 32-bit; their sum is formed in 64 bits and then held in
    // range by the setters.
    const auto clampInt = [](long long v) {
        return static_cast<int>(std::clamp<long long>(v, ScrollMin - 1LL, ScrollMax + 1LL));
    };
    donotpaintnow = true;
    const bool movedX = setScrollBar1(clampInt(static_cast<long long>(ooffx) + dragxx - X));
    const bool movedY = setScrollBar2(clampInt(static_cast<long long>(ooffy) + dragyy - Y));
    donotpaintnow = false;
    return movedX || movedY;
}

void ViewState::handRelease()
{
    inhand = false;
}
