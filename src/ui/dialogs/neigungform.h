#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class RealSpinField;

// The inclination dialog the inclined-distance tool asks: the angle of the inclined plane in
// degrees.
class TNeigungForm : public QDialog
{
    Q_OBJECT
public:
    explicit TNeigungForm(QWidget *parent = nullptr);

    QLabel *Label1 = nullptr; // "Neigungswinkel eingeben:"
    RealSpinField *neiged = nullptr;
    QLabel *Label2 = nullptr; // "°"
    QPushButton *BitBtn1 = nullptr;

    // Presets neiged to degrees and shows the dialog modally; on OK, degrees receives the
    // entered angle and the answer is true. Any other close leaves degrees as it was.
    bool ask(double &degrees);
};
