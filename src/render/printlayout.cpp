#include "render/printlayout.h"

#include <cmath>
#include <cstdint>

namespace {

// Trunc(v) as the percentage fields take it: held at 1..100, so the conversion cannot overflow.
std::optional<int> percentField(double v)
{
    if (std::isnan(v))
        return std::nullopt;
    const double t = std::trunc(v);
    if (t < 1.0)
        return 1;
    if (t > 100.0)
        return 100;
    return static_cast<int>(t);
}

bool hasSize(QSize s)
{
    return s.width() > 0 && s.height() > 0;
}

// The products stay in 64 bits: a printer page times a picture side exceeds 32 bits.
int scaled(std::int64_t a, std::int64_t b, std::int64_t c)
{
    return static_cast<int>(a * b / c);
}

// Round(percent * side / 100) in floating point, halves to the even neighbour.
int percentOf(int percent, int side)
{
    return static_cast<int>(std::nearbyint(percent * static_cast<double>(side) / 100.0));
}

} // namespace

QRect previewPageRect(QSize area, QSize page)
{
    if (!hasSize(page) || !hasSize(area))
        return {};
    const std::int64_t pw = page.width();
    const std::int64_t ph = page.height();
    int w = 0;
    int h = 0;
    if (ph < pw) {
        w = area.width();
        h = scaled(w, ph, pw);
    } else {
        h = area.height();
        w = scaled(h, pw, ph);
    }
    return QRect((area.width() - w) / 2, (area.height() - h) / 2, w, h);
}

QRect picturePlacement(const QRect &pageRect, QSize image, const PrintSizeChoice &choice)
{
    const int W = pageRect.width();
    const int H = pageRect.height();
    int w = W;
    int h = H;
    if (choice.useFullPage) {
        if (choice.keepProportions && hasSize(image)) {
            const std::int64_t imgW = image.width();
            const std::int64_t imgH = image.height();
            if (imgH * W / imgW > H)
                w = scaled(imgW, H, imgH);
            else
                h = scaled(imgH, W, imgW);
        }
    } else {
        w = percentOf(choice.widthPercent, W);
        h = percentOf(choice.heightPercent, H);
    }
    int x = pageRect.x();
    int y = pageRect.y();
    if (choice.centred) {
        x += (W - w) / 2;
        y += (H - h) / 2;
    }
    return QRect(x, y, w, h);
}

std::optional<int> heightPercentFor(int widthPercent, QSize image, QSize page)
{
    if (!hasSize(image) || !hasSize(page))
        return std::nullopt;
    const std::int64_t product = std::int64_t(image.height()) * widthPercent;
    const double v = static_cast<double>(product) / image.width() * page.width() / page.height();
    return percentField(v);
}

std::optional<int> widthPercentFor(int heightPercent, QSize image, QSize page)
{
    if (!hasSize(image) || !hasSize(page))
        return std::nullopt;
    const std::int64_t product = std::int64_t(image.width()) * heightPercent;
    const double v = static_cast<double>(product) / image.height() * page.height() / page.width();
    return percentField(v);
}
