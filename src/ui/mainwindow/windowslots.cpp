#include "ui/mainwindow/mainform.h"

#include "core/resultsmodel.h"
#include "core/translate.h"
#include "ui/commands/viewcommands.h"
#include "ui/dialogs/aboutbox.h"
#include "ui/dialogs/labelfontchoice.h"
#include "ui/mainwindow/paintbox.h"
#include "ui/widgets/colorswatch.h"

#include <QAction>
#include <QCheckBox>
#include <QColorDialog>
#include <QDoubleSpinBox>
#include <QPushButton>
#include <QToolButton>
#include <QTreeView>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

void TMainForm::wireCommands()
{
    const MainMenus &m = menus;
    connect(m.quit, &QAction::triggered, this, &TMainForm::Beenen1Click);
    connect(m.labelFont, &QAction::triggered, this, &TMainForm::Schriftart1Click);
    connect(settings.FontBtn, &QPushButton::clicked, this, &TMainForm::Schriftart1Click);
    connect(settings.ChooseColorBtn, &QPushButton::clicked, this, &TMainForm::ChooseColorBtnClick);
    connect(settings.Shape1, &ColorSwatch::pressed, this, &TMainForm::ChooseColorBtnClick);
    connect(m.showResultsList, &QAction::triggered, this, &TMainForm::Ergebnisslisteanzeigen1Click);
    connect(m.about, &QAction::triggered, this, &TMainForm::berdasProgramm1Click);
    connect(m.presetSizesOnOpen, &QAction::triggered, this,
            &TMainForm::PfeillngeundSchriftgrebeimffneneinesBildesautomatischvoreinstellen1Click);

    connect(m.openPicture, &QAction::triggered, this, &TMainForm::Bildffnen1Click);
    connect(openBar.OpenBtn, &QToolButton::clicked, m.openPicture, &QAction::trigger);
    connect(m.openPicture, &QAction::enabledChanged, openBar.OpenBtn, &QToolButton::setEnabled);

    connect(m.newLines, &QAction::triggered, this, &TMainForm::Neu1Click);
    connect(m.deleteElement, &QAction::triggered, this, &TMainForm::Lschen1Click);
    connect(m.copy, &QAction::triggered, this, &TMainForm::Kopieren1Click);
    connect(m.paste, &QAction::triggered, this, &TMainForm::Einfgen1Click);
    connect(m.editDescription, &QAction::triggered, this, &TMainForm::Beschreibungbearbeiten1Click);

    connect(m.numericScale, &QAction::triggered, this, &TMainForm::Numerisch1Click);
    connect(m.graphicScale, &QAction::triggered, this, &TMainForm::Grafisch1Click);
    connect(m.decimals, &QAction::triggered, this, &TMainForm::Nachkommastellen1Click);

    // These change what the drawing shows; the check-mark-only options are read where they apply.
    connect(m.outlineText, &QAction::triggered, this, &TMainForm::PaintBox1Paint);
    connect(m.showScaleLine, &QAction::triggered, this, &TMainForm::PaintBox1Paint);
    connect(settings.ShowPicCheck, &QCheckBox::clicked, this, &TMainForm::PaintBox1Paint);
    connect(settings.WidthEd, &QDoubleSpinBox::valueChanged, this, &TMainForm::PaintBox1Paint);
    connect(settings.PfeillangEd, &QDoubleSpinBox::valueChanged, this, &TMainForm::PaintBox1Paint);
    connect(PaintBox1, &PaintBox::resized, this, &TMainForm::PaintBox1Paint);
}


void TMainForm::Beenen1Click()
{
    close();
}

void TMainForm::Schriftart1Click()
{
    LabelFont label = work->labelFont();
    if (chooseLabelFont(this, label)) {
        work->setLabelFont(label);
        work->commitStep(Translate(QStringLiteral("Schriftart")));
    }
    PaintBox1Paint();
}

void TMainForm::ChooseColorBtnClick()
{
    const QColor chosen = QColorDialog::getColor(settings.Shape1->brushColor(), this);
    if (!chosen.isValid())
        return;
    settings.Shape1->setBrushColor(chosen);
    work->commitStep(Translate(QStringLiteral("Farbe")));
    PaintBox1Paint();
}

void TMainForm::Ergebnisslisteanzeigen1Click()
{
    ListView1->setVisible(menus.showResultsList->isChecked());
}

void TMainForm::berdasProgramm1Click()
{
    AboutBox->exec();
}

void TMainForm::PfeillngeundSchriftgrebeimffneneinesBildesautomatischvoreinstellen1Click()
{
    if (menus.presetSizesOnOpen->isChecked())
        applySizeRule();
}

void TMainForm::applySizeRule()
{
    const double z = settings.zoomed->value();
    settings.PfeillangEd->setValue(3000.0 / z);
    // Halves go to the even neighbour, as with every rounding of screen sizes.
    const int height = static_cast<int>(std::nearbyint(1500.0 / z));
    LabelFont label = work->labelFont();
    label.font.setPixelSize(std::max(1, height));
    work->setLabelFont(label);
}

void TMainForm::wheelEvent(QWheelEvent *event)
{
    if (event->modifiers() & Qt::ControlModifier)
        viewCommands->zoomWheel(event->angleDelta().y(), PaintBox1->mapFrom(this, event->position().toPoint()));
    else
        viewCommands->wheel(event->angleDelta().y());
    event->accept();
}
