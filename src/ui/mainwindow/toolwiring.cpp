#include "ui/mainwindow/mainform.h"

#include "tools/toolcontroller.h"
#include "ui/commands/viewcommands.h"
#include "ui/mainwindow/keyboardstate.h"
#include "ui/mainwindow/paintbox.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QToolButton>

#include <utility>

void TMainForm::wireTools()
{
    const std::pair<QToolButton *, ToolId> buttons[] = {
        {tools.ZeigerBtn, ToolId::Pointer},    {tools.HandBtn, ToolId::Hand},
        {tools.DimensionBtn, ToolId::Distance}, {tools.StreckeBtn, ToolId::Polyline},
        {tools.PolygonBtn, ToolId::Polygon},   {tools.RectBtn, ToolId::Rectangle},
        {tools.CircleBtn, ToolId::Ellipse},    {tools.SchraegBtn, ToolId::Inclined},
        {tools.massstabBtn, ToolId::Scale},    {tools.TextBtn, ToolId::Text},
        {tools.AngleBtn, ToolId::Angle},
    };
    for (const auto &[button, id] : buttons) {
        const ToolId tool = id;
        connect(button, &QToolButton::clicked, this, [this, tool] { chooseTool(tool); });
    }

    connect(PaintBox1, &PaintBox::mousePressed, this, &TMainForm::PaintBox1MouseDown);
    connect(PaintBox1, &PaintBox::mouseMoved, this, &TMainForm::PaintBox1MouseMove);
    connect(PaintBox1, &PaintBox::mouseReleased, this, &TMainForm::PaintBox1MouseUp);
    connect(PaintBox1, &PaintBox::mouseDoubleClicked, this, [this](QMouseEvent *event) {
        keyboard->setEventModifiers(event->modifiers());
        controller->mouseDoubleClick(event->button(), event->position().toPoint());
        if (!controller->construction().constructing)
            work->commitStep(QString());
    });
    connect(PaintBox1, &PaintBox::keyPressed, this, [this](QKeyEvent *event) {
        const bool handled = event->key() == Qt::Key_Escape ? controller->cancel()
                             : event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter
                                 ? controller->finishConstruction()
                                 : false;
        // A finished polygon is a step; a construction or a drag given up leaves nothing to keep.
        if (handled && !controller->construction().constructing)
            work->commitStep(QString());
        event->setAccepted(handled);
    });
}

void TMainForm::chooseTool(ToolId id)
{
    controller->setTool(id);
    if (id == ToolId::Hand)
        viewCommands->HandBtnClick();
    else
        PaintBox1Paint();
}

void TMainForm::Grafisch1Click()
{
    tools.massstabBtn->setChecked(true);
    chooseTool(ToolId::Scale);
}

void TMainForm::PaintBox1MouseDown(QMouseEvent *event)
{
    keyboard->setEventModifiers(event->modifiers());
    controller->mousePress(event->button(), event->position().toPoint());
    // A finished element, a move or a dragged point is one step; a construction is not yet.
    if (!controller->construction().constructing)
        work->commitStep(QString());
}

void TMainForm::PaintBox1MouseMove(QMouseEvent *event)
{
    keyboard->setEventModifiers(event->modifiers());
    controller->mouseMove(event->position().toPoint());
}

void TMainForm::PaintBox1MouseUp(QMouseEvent *event)
{
    keyboard->setEventModifiers(event->modifiers());
    controller->mouseRelease(event->position().toPoint());
    if (!controller->construction().constructing)
        work->commitStep(QString());
}
