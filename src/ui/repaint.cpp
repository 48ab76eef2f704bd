#include "ui/mainform.h"

#include "core/resultsmodel.h"
#include "render/labelcache.h"
#include "render/viewstate.h"
#include "ui/colorswatch.h"
#include "ui/measurementcommands.h"
#include "ui/paintbox.h"
#include "ui/viewcommands.h"

#include <QAction>
#include <QCheckBox>
#include <QDoubleSpinBox>

ViewState &TMainForm::view()
{
    return viewCommands->view();
}

DrawingSettings TMainForm::drawingSettings() const
{
    DrawingSettings d;
    d.elementColor = settings.Shape1->brushColor();
    d.lineWidth = settings.WidthEd->value();
    d.arrowLength = settings.PfeillangEd->value();
    d.labelFont.font = labelFont;
    d.labelFont.color = labelFontColor;
    d.showPicture = settings.ShowPicCheck->isChecked();
    d.showScaleLine = menus.Anzeigen1->isChecked();
    d.outlineText = menus.SchriftumrandenumdieLesbarkeitzuverbessern1->isChecked();
    return d;
}

NumberSettings TMainForm::numberSettings() const
{
    return NumberSettings{einh, nachkomma, nachkomma2};
}

void TMainForm::PaintBox1Paint()
{
    const ViewState &v = view();
    const DrawingSettings drawing = drawingSettings();
    const RenderInputs in{v, drawing, scale, measurementCommands->labelNumbers(numberSettings(), elemente, scale),
                          labelCache.get()};
    // Only a back buffer that memory cannot hold fails; the screen then keeps its last picture.
    if (renderBackBuffer(bit, PaintBox1->size(), elemente, di, in) && !v.donotreallypaint)
        showBackBuffer();
    results->ListObjekte(elemente, nachkomma2, measurementCommands->resultsOptions(elemente, scale));
    measurementCommands->showScale(StatusBar1, scale, einh);
}

void TMainForm::renderWithoutShowing()
{
    ViewState &v = view();
    const bool previous = v.donotreallypaint;
    v.donotreallypaint = true;
    PaintBox1Paint();
    v.donotreallypaint = previous;
}

void TMainForm::showBackBuffer()
{
    PaintBox1->update();
}
