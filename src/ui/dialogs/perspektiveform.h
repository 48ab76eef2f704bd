#pragma once

#include "image/rectify.h"

#include <QDialog>
#include <QImage>
#include <QList>
#include <QPointF>
#include <QWidget>

class QComboBox;
class QPainter;
class QDialogButtonBox;
class QLabel;
class QPushButton;
class RealSpinField;

// The picture with the four corners the user clicks, in any order; a corner is dragged to move
// it, with a magnified view around it while dragging. Corners are held in picture coordinates.
class CornerView : public QWidget
{
    Q_OBJECT
public:
    explicit CornerView(QWidget *parent = nullptr);

    void setPicture(const QImage &preview, const QSize &pictureSize);
    const QList<QPointF> &corners() const { return points; }
    void clearCorners();
    // Picture coordinates of a point of the widget and back.
    QPointF toPicture(QPointF widgetPoint) const;
    QPointF toWidget(QPointF picturePoint) const;

signals:
    void cornersChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QRectF pictureRect() const;
    void drawLoupe(QPainter &p, QPointF at) const;

    QImage preview;
    QSize pictureSize;
    QList<QPointF> points;
    int dragged = -1;
};

// "Perspektive entzerren": the corners of something rectangular in reality, its real width and
// height with a unit, and the pixel density of the straightened picture, whose size is shown
// before it is made.
class TPerspektiveForm : public QDialog
{
    Q_OBJECT
public:
    explicit TPerspektiveForm(QWidget *parent = nullptr);

    QLabel *Anleitung = nullptr;
    CornerView *Ecken = nullptr;
    QLabel *BreiteLabel = nullptr;
    RealSpinField *BreiteEd = nullptr;
    QLabel *HoeheLabel = nullptr;
    RealSpinField *HoeheEd = nullptr;
    QLabel *EinheitLabel = nullptr;
    QComboBox *EinheitEd = nullptr;
    QLabel *DichteLabel = nullptr;
    RealSpinField *DichteEd = nullptr; // pixels per unit
    QLabel *Ergebnis = nullptr;
    QDialogButtonBox *Buttons = nullptr;
    QPushButton *OkBtn = nullptr;
    QPushButton *CancelBtn = nullptr;

    struct Answer {
        Quad corners;
        double width = 0;
        double height = 0;
        QString unit;
        double density = 0;
    };

    // Shows the picture (a preview of at most a few thousand pixels a side is enough) and asks;
    // on OK answer receives what the user chose, a straightening that can be made.
    bool ask(const QImage &preview, const QSize &pictureSize, const QString &unit, Answer &answer);

private:
    void refresh();
    void densityEdited();
    Answer current() const;

    QSize pictureSize;
    bool densityChosen = false;
    bool settingDensity = false;
};
