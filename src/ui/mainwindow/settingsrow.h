#pragma once

#include "ui/widgets/exactspinbox.h"

class ColorSwatch;
class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;
class QSpinBox;
class QWidget;

// The row of drawing settings above the drawing: zoom, element colour, label font, line width,
// arrow length and whether the image is shown. Every number reads and writes with ".".
struct SettingsRow {
    QFrame *Panel2 = nullptr;
    QLabel *Label1 = nullptr;
    QSpinBox *zoomed = nullptr;
    ColorSwatch *Shape1 = nullptr;
    QPushButton *ChooseColorBtn = nullptr;
    QPushButton *FontBtn = nullptr;
    QLabel *Label2 = nullptr;
    ExactSpinBox *WidthEd = nullptr;
    QLabel *Label3 = nullptr;
    ExactSpinBox *PfeillangEd = nullptr;
    QCheckBox *ShowPicCheck = nullptr;
};

SettingsRow buildSettingsRow(QWidget *parent);
