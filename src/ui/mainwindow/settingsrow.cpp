#include "ui/mainwindow/settingsrow.h"

#include "ui/mainwindow/namedwidget.h"
#include "ui/widgets/colorswatch.h"
#include "ui/widgets/exactspinbox.h"

#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSpinBox>

namespace {

ExactSpinBox *valueField(QWidget *parent, const char *name, double minimum, double maximum, double step,
                           double value)
{
    auto *field = new ExactSpinBox(parent);
    field->setObjectName(QLatin1String(name));
    field->setLocale(QLocale::c());
    field->setDecimals(2);
    field->setRange(minimum, maximum);
    field->setSingleStep(step);
    field->setValue(value);
    field->setAlignment(Qt::AlignRight);
    return field;
}

} // namespace

SettingsRow buildSettingsRow(QWidget *parent)
{
    SettingsRow s;
    s.Panel2 = new QFrame(parent);
    s.Panel2->setObjectName(QStringLiteral("Panel2"));
    s.Panel2->setFrameShape(QFrame::NoFrame);

    s.Label1 = namedLabel(s.Panel2, "Label1", QStringLiteral("Zoom:"));
    s.zoomed = new QSpinBox(s.Panel2);
    s.zoomed->setObjectName(QStringLiteral("zoomed"));
    s.zoomed->setLocale(QLocale::c());
    s.zoomed->setRange(10, 30000);
    s.zoomed->setSingleStep(10);
    s.zoomed->setValue(100);
    s.zoomed->setAlignment(Qt::AlignRight);
    // A repaint per keystroke of "250" would draw at 2 % and 25 % on the way.
    s.zoomed->setKeyboardTracking(false);

    s.Shape1 = new ColorSwatch(s.Panel2);
    s.Shape1->setObjectName(QStringLiteral("Shape1"));
    s.Shape1->setFixedSize(40, 22);
    s.Shape1->setBrushColor(Qt::red);

    s.ChooseColorBtn = namedButton(s.Panel2, "ChooseColorBtn", QStringLiteral("Farbe wählen"));
    s.FontBtn = namedButton(s.Panel2, "FontBtn", QStringLiteral("Schrift..."));
    s.Label2 = namedLabel(s.Panel2, "Label2", QStringLiteral("Linienbreite:"));
    s.WidthEd = valueField(s.Panel2, "WidthEd", 0.1, 10.0, 0.5, 2.0);
    s.Label3 = namedLabel(s.Panel2, "Label3", QStringLiteral("Pfeillänge"));
    s.PfeillangEd = valueField(s.Panel2, "PfeillangEd", 0.1, 1000.0, 1.0, 30.0);

    s.ShowPicCheck = new QCheckBox(QStringLiteral("Zeige Bild"), s.Panel2);
    s.ShowPicCheck->setObjectName(QStringLiteral("ShowPicCheck"));
    s.ShowPicCheck->setChecked(true);

    auto *row = new QHBoxLayout(s.Panel2);
    row->setContentsMargins(4, 2, 4, 2);
    row->setSpacing(6);
    row->addWidget(s.Label1);
    row->addWidget(s.zoomed);
    row->addSpacing(8);
    row->addWidget(s.Shape1);
    row->addWidget(s.ChooseColorBtn);
    row->addWidget(s.FontBtn);
    row->addSpacing(8);
    row->addWidget(s.Label2);
    row->addWidget(s.WidthEd);
    row->addWidget(s.Label3);
    row->addWidget(s.PfeillangEd);
    row->addSpacing(8);
    row->addWidget(s.ShowPicCheck);
    row->addStretch(1);
    return s;
}
