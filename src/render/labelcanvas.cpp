#include "render/labelcanvas.h"

#include <QPainter>

#include <algorithm>
#include <cstring>

LabelCanvas::LabelCanvas() = default;

LabelCanvas::~LabelCanvas()
{
    if (painter)
        painter->end();
}

QPainter *LabelCanvas::begin(QSize size)
{
    if (size.width() > image.width() || size.height() > image.height()) {
        if (painter)
            painter->end();
        painter.reset();
        // Grown with room to spare, so that a few longer texts do not grow it every time.
        QImage bigger(std::max(size.width() + size.width() / 2, image.width()),
                      std::max(size.height() + size.height() / 2, image.height()), QImage::Format_Alpha8);
        if (bigger.isNull())
            return nullptr;
        bigger.fill(0);
        image = std::move(bigger);
        painter = std::make_unique<QPainter>(&image);
        painter->setPen(QColor(0, 0, 0));
        painter->setBackgroundMode(Qt::TransparentMode);
    }
    used = size;
    painter->setClipRect(QRect(QPoint(0, 0), size));
    return painter.get();
}

QImage LabelCanvas::part() const
{
    return QImage(image.constBits(), used.width(), used.height(), image.bytesPerLine(), QImage::Format_Alpha8);
}

void LabelCanvas::end()
{
    // The image is not shared, so this does not copy it from under the painter.
    uchar *bits = image.bits();
    for (int y = 0; y < used.height(); ++y)
        std::memset(bits + y * image.bytesPerLine(), 0, static_cast<std::size_t>(used.width()));
    used = QSize();
}
