#include "ui/mainwindow/statustext.h"

#include "core/numberformat.h"
#include "core/translate.h"
#include "render/loupe.h"

#include <QStringList>

namespace {

constexpr int PixelUnitMessage = 3;
const QString Gap = QStringLiteral("     ");

} // namespace

bool scaleIsSet(const Scale &scale, const QString &einh)
{
    return scale.mas1 != scale.mas2 || einh != Message(PixelUnitMessage);
}

QString statusText(const StatusInputs &in)
{
    QStringList parts;
    if (in.cursor) {
        const QPoint pixel = loupePixel(*in.cursor);
        parts.append(QStringLiteral("%1, %2 px").arg(pixel.x()).arg(pixel.y()));
        if (scaleIsSet(in.scale, in.einh)) {
            const QString unit = in.einh.isEmpty() ? QString() : QLatin1Char(' ') + in.einh;
            parts.append(F(in.scale.length(in.cursor->x()), in.nachkomma) + QStringLiteral(", ")
                         + F(in.scale.length(in.cursor->y()), in.nachkomma) + unit);
        }
    }
    parts.append(in.zoomCaption + QStringLiteral(" %1 %").arg(in.zoom));
    if (!in.liveValue.isEmpty())
        parts.append(in.liveValue);
    return parts.join(Gap);
}
