#include "ui/mainform.h"

#include "core/elementvalues.h"
#include "core/resultsmodel.h"
#include "render/labelcache.h"
#include "render/viewstate.h"
#include "ui/measurementcommands.h"
#include "ui/paintbox.h"
#include "ui/viewcommands.h"


ViewState &TMainForm::view()
{
    return viewCommands->view();
}

void TMainForm::PaintBox1Paint()
{
    const ViewState &v = view();
    Workspace &w = *work;
    const DrawingSettings drawing = w.drawingSettings();
    const NumberSettings numbers = w.numberSettings();
    const RenderInputs in{v, drawing, w.scale(), measurementCommands->labelNumbers(numbers), labelCache.get(),
                          valueCache.get()};
    // Only a back buffer that memory cannot hold fails; the screen then keeps its last picture.
    if (renderBackBuffer(bit, PaintBox1->size(), w.document(), w.picture(), in) && !v.donotreallypaint)
        showBackBuffer();
    results->ListObjekte(w.document(), numbers.nachkomma2, measurementCommands->resultsOptions());
    measurementCommands->showScale(StatusBar1);
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
