#include "ui/dialogs/printpreview.h"

#include "core/dib.h"
#include "image/drawdib.h"

#include <QPainter>

#include <utility>

void paintPrintPreview(QPainter &p, QSize area, const QColor &background, const PrintPreviewContent &content)
{
    p.fillRect(QRect(QPoint(0, 0), area), background);
    const QRect page = previewPageRect(area, content.page);
    if (page.isEmpty())
        return;
    p.fillRect(page, Qt::white);
    if (!content.picture || !content.picture->poi)
        return;
    const QRect target = picturePlacement(page, content.pictureSize, content.choice);
    DrawDib(p, target.x(), target.y(), target.width(), target.height(), *content.picture, 0, 0,
            DibWidth(*content.picture), DibHeight(*content.picture), true);
}

PrintPreviewBox::PrintPreviewBox(ContentSource contentSource, QWidget *parent)
    : QWidget(parent), source(std::move(contentSource))
{
    setObjectName(QStringLiteral("PrintPaintBox"));
    setFixedSize(190, 190);
}

void PrintPreviewBox::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    paintPrintPreview(p, size(), palette().color(QPalette::Button), source());
}
