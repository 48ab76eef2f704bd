#include "ui/mainwindow/windowhost.h"

#include "core/translate.h"
#include "render/labels.h"
#include "render/renderer.h"
#include "tools/toolcontroller.h"
#include "ui/commands/viewcommands.h"
#include "ui/dialogs/bezeichnungform.h"
#include "ui/dialogs/neigungform.h"
#include "ui/mainwindow/keyboardstate.h"
#include "ui/mainwindow/mainform.h"
#include "ui/mainwindow/paintbox.h"
#include "ui/mainwindow/projectsettings.h"

#include <QAction>
#include <QPainter>
#include <QPen>
#include <QToolButton>

WindowHost::WindowHost(TMainForm &mainForm) : form(mainForm) {}

Document &WindowHost::document()
{
    return form.work->document();
}

double WindowHost::zoom() const
{
    return form.view().zoom();
}

QPoint WindowHost::scrollPosition() const
{
    const ViewState &v = form.view();
    return QPoint(v.scrollX, v.scrollY);
}

QPoint WindowHost::imageToScreen(double x, double y) const
{
    return form.view().screen(x, y);
}

QPointF WindowHost::screenToImage(QPoint screen) const
{
    return form.view().image(screen);
}

// The tools change the elements in place before they repaint, so their repaints refresh every
// element's values.
void WindowHost::repaint()
{
    form.work->document().touch();
    form.PaintBox1Paint();
}

void WindowHost::renderWithoutShowing()
{
    form.work->document().touch();
    form.renderWithoutShowing();
}

void WindowHost::drawRubberBand(const RubberBand &band)
{
    if (form.bit.isNull())
        return;
    const DrawingSettings settings = form.work->drawingSettings();
    QPainter p(&form.bit);
    p.setPen(QPen(settings.elementColor, elementPenWidth(form.view(), settings), Qt::SolidLine, Qt::FlatCap,
                  Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    switch (band.shape) {
    case RubberBand::Line:
        p.drawLine(band.from, band.to);
        break;
    case RubberBand::Rectangle: {
        // Drawn corner to corner as the finished rectangle will be.
        const QPoint corners[5] = {band.from, QPoint(band.to.x(), band.from.y()), band.to,
                                   QPoint(band.from.x(), band.to.y()), band.from};
        p.drawPolyline(corners, 5);
        break;
    }
    case RubberBand::Ellipse:
        p.drawEllipse(QRectF(QPointF(band.from), QPointF(band.to)).normalized());
        break;
    }
}

void WindowHost::drawTextPreview(QPoint cursor)
{
    if (form.bit.isNull())
        return;
    const DrawingSettings settings = form.work->drawingSettings();
    const TextStyle style = makeTextStyle(settings.labelFont, form.view().zoom(), settings.outlineText);
    QPainter p(&form.bit);
    mytextout(p, style, cursor.x(), cursor.y() - style.height, Message(7));
}

void WindowHost::showBackBuffer()
{
    form.showBackBuffer();
}

QSize WindowHost::labelTextExtent(const QString &text) const
{
    const DrawingSettings settings = form.work->drawingSettings();
    const TextStyle style = makeTextStyle(settings.labelFont, form.view().zoom(), false);
    return QSize(textWidth(style, text), style.height);
}

bool WindowHost::leftCtrl() const
{
    return form.keyboard->leftCtrl();
}

bool WindowHost::anyCtrl() const
{
    return form.keyboard->anyCtrl();
}

bool WindowHost::alt() const
{
    return form.keyboard->alt();
}

bool WindowHost::askNameOption() const
{
    return form.menus.askElementNames->isChecked();
}

bool WindowHost::returnToPointerOption() const
{
    return form.menus.pointerAfterMeasuring->isChecked();
}

bool WindowHost::askName(QString &text)
{
    return form.BezeichnungForm->ask(text);
}

bool WindowHost::askInclination(double &degrees)
{
    return form.NeigungForm->ask(degrees);
}

void WindowHost::setScale(double pixelLength, double realLength)
{
    form.work->setScale(Scale{pixelLength, realLength});
}

void WindowHost::runNumericScaleCommand()
{
    form.Numerisch1Click();
}

void WindowHost::setPointerToolDown()
{
    form.tools.ZeigerBtn->setChecked(true);
}

void WindowHost::beginPan(QPoint press)
{
    form.viewCommands->beginPan(press);
}

void WindowHost::panTo(QPoint cursor)
{
    form.viewCommands->panTo(cursor);
}

void WindowHost::endPan()
{
    form.viewCommands->endPan();
}

ProjectSettings WindowHost::currentSettings(const FontRecord *original) const
{
    return settingsFromWindow(form, original);
}

void WindowHost::applySettings(const ProjectSettings &settings)
{
    applySettingsToWindow(form, settings);
}

void WindowHost::endConstruction()
{
    form.controller->elementsRemoved();
}
