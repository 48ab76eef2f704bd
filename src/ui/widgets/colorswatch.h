#pragma once

#include <QColor>
#include <QWidget>

// A filled rectangle showing the drawing colour of the elements; a press on it asks for a new one.
class ColorSwatch : public QWidget
{
    Q_OBJECT
public:
    explicit ColorSwatch(QWidget *parent = nullptr);

    QColor brushColor() const { return brush; }
    void setBrushColor(const QColor &color);

signals:
    void pressed();
    void colorChanged(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QColor brush{Qt::red};
};
