#pragma once

#include <QImage>
#include <QRect>

#include <memory>

class QPainter;

// A coverage canvas that label texts are rasterised on one after the other, kept with its
// painter: a fresh image and painter for every text cost more than the text's glyphs. Only the
// part a text was given is handed out, zeroed, and zeroed again afterwards.
class LabelCanvas
{
public:
    LabelCanvas();
    ~LabelCanvas();
    LabelCanvas(const LabelCanvas &) = delete;
    LabelCanvas &operator=(const LabelCanvas &) = delete;

    // A painter drawing coverage onto the zeroed top-left size pixels of the canvas, clipped to
    // them; nullptr when no canvas of that size can be had.
    QPainter *begin(QSize size);
    // The part given by the last begin as an image sharing the canvas's memory, good until the
    // next begin or end.
    QImage part() const;
    // Zeroes the part again.
    void end();

private:
    QImage image;
    std::unique_ptr<QPainter> painter;
    QSize used;
};
