#include "ui/mainwindow/mainform.h"

#include "core/elementvalues.h"
#include "core/resultsmodel.h"
#include "render/labelcache.h"
#include "render/viewstate.h"
#include "ui/commands/measurementcommands.h"
#include "ui/commands/viewcommands.h"
#include "ui/mainwindow/paintbox.h"


const ViewState &TMainForm::view() const
{
    return viewCommands->view();
}

void TMainForm::PaintBox1Paint()
{
    repaintPass(true);
}

void TMainForm::repaintPass(bool show)
{
    Workspace &w = *work;
    const DrawingSettings drawing = w.drawingSettings();
    const NumberSettings numbers = w.numberSettings();
    RenderPass pass;
    pass.handToolDown = viewCommands->handToolDown();
    RenderInputs in{view(), drawing, w.scale(), measurementCommands->labelNumbers(numbers), labelCache.get(),
                    valueCache.get()};
    in.pass = pass;
    // Only a back buffer that memory cannot hold fails; the screen then keeps its last picture.
    if (renderBackBuffer(bit, PaintBox1->size(), w.document(), w.picture(), in) && show)
        showBackBuffer();
    results->ListObjekte(w.document(), numbers.areaDecimals, measurementCommands->resultsOptions());
    measurementCommands->showScale(StatusBar1);
}

void TMainForm::renderWithoutShowing()
{
    repaintPass(false);
}

void TMainForm::showBackBuffer()
{
    PaintBox1->update();
}
