#pragma once

#include <QImage>
#include <QPointF>
#include <QWidget>

#include <optional>

struct dib;

// The magnifier beside the cursor on the drawing surface: a child of the surface, so it moves
// with it and never takes the focus or the mouse.
class LoupeWidget : public QWidget
{
    Q_OBJECT
public:
    explicit LoupeWidget(QWidget *surface);

    // Shows the picture around the image point under the cursor, which is at surface position
    // cursor; the loupe sits below right of it, or on the other side where the surface ends.
    void showAt(QPoint cursor, const dib &picture, QPointF point, std::optional<QPointF> snapTarget);

    const QImage &image() const { return loupe; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage loupe;
};
