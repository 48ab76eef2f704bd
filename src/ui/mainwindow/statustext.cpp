#include "ui/mainwindow/statustext.h"

#include "core/numberformat.h"
#include "core/translate.h"
#include "render/loupe.h"

#include <QStringList>

namespace {

constexpr int PixelUnitMessage = 3;
const QString Gap = QStringLiteral("     ");

} // namespace

bool scaleIsSet(const Scale &scale, const QString &unit)
{
    return scale.pixelLength != scale.realLength || unit != Message(PixelUnitMessage);
}

QString statusText(const StatusInputs &in)
{
    QStringList parts;
    if (in.cursor) {
        const QPoint pixel = loupePixel(*in.cursor);
        parts.append(QStringLiteral("%1, %2 px").arg(pixel.x()).arg(pixel.y()));
        if (scaleIsSet(in.scale, in.unit)) {
            const QString unit = in.unit.isEmpty() ? QString() : QLatin1Char(' ') + in.unit;
            parts.append(F(in.scale.length(in.cursor->x()), in.lengthDecimals) + QStringLiteral(", ")
                         + F(in.scale.length(in.cursor->y()), in.lengthDecimals) + unit);
        }
    }
    parts.append(in.zoomCaption + QStringLiteral(" %1 %").arg(in.zoom));
    if (!in.liveValue.isEmpty())
        parts.append(in.liveValue);
    return parts.join(Gap);
}
