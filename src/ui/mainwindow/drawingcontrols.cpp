#include "ui/mainwindow/mainform.h"

#include "core/translate.h"
#include "ui/widgets/colorswatch.h"

#include <QAction>
#include <QCheckBox>
#include <QDoubleSpinBox>

void TMainForm::bindDrawingControls()
{
    Workspace &w = *work;
    showDrawingSettings();
    // Bound before the commands are wired, so the work holds a control's new value before the
    // repaint that the control's own change runs.
    connect(settings.Shape1, &ColorSwatch::colorChanged, &w, &Workspace::setElementColor);
    connect(settings.WidthEd, &QDoubleSpinBox::valueChanged, &w, &Workspace::setLineWidth);
    connect(settings.PfeillangEd, &QDoubleSpinBox::valueChanged, &w, &Workspace::setArrowLength);
    connect(settings.ShowPicCheck, &QCheckBox::toggled, &w, &Workspace::setShowPicture);
    connect(menus.showScaleLine, &QAction::toggled, &w, &Workspace::setShowScaleLine);
    connect(menus.outlineText, &QAction::toggled, &w, &Workspace::setOutlineText);
    connect(&w, &Workspace::drawingChanged, this, &TMainForm::showDrawingSettings);

    // A number typed or stepped in the settings row is a step, and the same field's next changes
    // join it. Values the program sets (a picture's size rule, an opened project) are not.
    const std::pair<QDoubleSpinBox *, const char *> fields[] = {{settings.WidthEd, "Linienbreite"},
                                                                 {settings.PfeillangEd, "Pfeillänge"}};
    int key = 0;
    for (const auto &[field, german] : fields) {
        QDoubleSpinBox *box = field;
        const QString text = QString::fromUtf8(german);
        const int mergeKey = ++key;
        connect(box, &QDoubleSpinBox::valueChanged, this, [this, box, text, mergeKey] {
            if (box->hasFocus())
                work->commitStep(Translate(text), mergeKey);
        });
    }
}

void TMainForm::showDrawingSettings()
{
    const DrawingSettings d = work->drawingSettings();
    settings.Shape1->setBrushColor(d.elementColor);
    // A field the user is typing into already holds the value; setting it again would rewrite
    // the text under the cursor.
    if (settings.WidthEd->value() != d.lineWidth)
        settings.WidthEd->setValue(d.lineWidth);
    if (settings.PfeillangEd->value() != d.arrowLength)
        settings.PfeillangEd->setValue(d.arrowLength);
    settings.ShowPicCheck->setChecked(d.showPicture);
    menus.showScaleLine->setChecked(d.showScaleLine);
    menus.outlineText->setChecked(d.outlineText);
}
