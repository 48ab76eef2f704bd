#include "render/realsize.h"

#include "core/translate.h"

#include <algorithm>
#include <cmath>

namespace {

struct UnitLength {
    const char *german;
    double millimetres;
};

// The unit list in its order; the international definitions of foot, yard, inch, mile and
// nautical mile.
constexpr UnitLength Units[] = {
    {"mm", 1.0},
    {"cm", 10.0},
    {"dm", 100.0},
    {"m", 1000.0},
    {"km", 1.0e6},
    {"Fuß", 304.8},
    {"Yard", 914.4},
    {"Inch", 25.4},
    {"Meilen", 1609344.0},
    {"Seemeilen", 1.852e6},
    {"µm", 1.0e-3},
    {"nm", 1.0e-6},
    {"pm", 1.0e-9},
};

bool positiveFinite(double v)
{
    return std::isfinite(v) && v > 0.0;
}

// A page count whose last page would hold only a sliver of rounding error is one page shorter.
double pagesFor(double extent, int pageSide)
{
    return std::max(1.0, std::ceil(extent / pageSide - 1e-9));
}

} // namespace

std::optional<double> unitMillimetres(const QString &unitText)
{
    QString text = unitText.trimmed();
    // The Greek small mu is typed for the micro sign often enough to take it as one.
    text.replace(QChar(0x03BC), QChar(0x00B5));
    for (const UnitLength &unit : Units) {
        const QString german = QString::fromUtf8(unit.german);
        if (text == german || text == Translate(german).trimmed())
            return unit.millimetres;
    }
    return std::nullopt;
}

std::optional<PaperPixel> paperMillimetresPerImagePixel(const Scale &scale, const QString &unit)
{
    const std::optional<double> unitMm = unitMillimetres(unit);
    if (!unitMm)
        return std::nullopt;
    const PaperPixel mm{std::fabs(scale.realLength / scale.pixelLength) * *unitMm, std::fabs(scale.yFactor()) * *unitMm};
    if (!positiveFinite(mm.across) || !positiveFinite(mm.down))
        return std::nullopt;
    return mm;
}

std::optional<RealSizeLayout> realSizeLayout(QSize image, PaperPixel mmPerPixel, double dpiX, double dpiY,
                                             QSize page)
{
    if (image.width() <= 0 || image.height() <= 0 || page.width() <= 0 || page.height() <= 0)
        return std::nullopt;
    if (!positiveFinite(mmPerPixel.across) || !positiveFinite(mmPerPixel.down) || !positiveFinite(dpiX)
        || !positiveFinite(dpiY))
        return std::nullopt;
    RealSizeLayout layout;
    layout.factorX = mmPerPixel.across * dpiX / 25.4;
    layout.factorY = mmPerPixel.down * dpiY / 25.4;
    layout.paperAspect = mmPerPixel.across / mmPerPixel.down;
    layout.page = page;
    layout.columns = pagesFor(image.width() * layout.factorX, page.width());
    layout.rows = pagesFor(image.height() * layout.factorY, page.height());
    return layout;
}
