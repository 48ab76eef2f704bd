#pragma once

#include "render/printlayout.h"

#include <QSize>
#include <QWidget>

#include <functional>

class QPainter;
struct dib;

// What the preview shows: the printer's printable page, the picture and the dialog's choices.
// The picture record may be a reduced rendering; pictureSize is the size the choices apply to.
struct PrintPreviewContent {
    const dib *picture = nullptr;
    QSize pictureSize;
    QSize page;
    PrintSizeChoice choice;
};

// Paints the preview into an area: the background in the button face colour, the page in white
// in its proportions, and the whole picture with DrawDib (halftoning allowed) at its place.
void paintPrintPreview(QPainter &p, QSize area, const QColor &background, const PrintPreviewContent &content);

// The preview's drawing area (PrintPaintBox), 190 x 190 pixels. It asks its owner for the
// content at every paint, so it always shows the dialog's current state.
class PrintPreviewBox : public QWidget
{
    Q_OBJECT
public:
    using ContentSource = std::function<PrintPreviewContent()>;

    explicit PrintPreviewBox(ContentSource source, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    ContentSource source;
};
