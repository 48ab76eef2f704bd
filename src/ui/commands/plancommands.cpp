#include "ui/commands/plancommands.h"

#include "core/planscale.h"
#include "core/translate.h"
#include "image/rectify.h"
#include "image/velumo.h"
#include "ui/dialogs/pdfpageform.h"
#include "ui/dialogs/perspektiveform.h"
#include "ui/dialogs/planmassstabform.h"
#include "workspace/workspace.h"

#include <QAction>
#include <QCoreApplication>
#include <QMainWindow>
#include <QMessageBox>

#include <algorithm>

namespace {

// The straightening dialog shows the picture at most this large; corners are still placed in
// the picture's own coordinates.
constexpr int PreviewSide = 4096;

} // namespace

PlanCommands::PlanCommands(QMainWindow *mainWindow, Workspace &workspace, std::function<void()> numericScaleCommand)
    : QObject(mainWindow), window(mainWindow), work(workspace), numericScale(std::move(numericScaleCommand))
{
    // Children of the window, so that the translation walk over it reaches them.
    pdfPageForm = new TPdfSeiteForm(window);
    planScaleForm = new TPlanmassstabForm(window);
    perspectiveForm = new TPerspektiveForm(window);
    if (QAction *fromResolution = window->findChild<QAction *>(QStringLiteral("AusAuflsungundPlanmastab1")))
        connect(fromResolution, &QAction::triggered, this, &PlanCommands::AusAuflsungundPlanmastab1Click);
    if (QAction *straighten = window->findChild<QAction *>(QStringLiteral("Perspektiveentzerren1")))
        connect(straighten, &QAction::triggered, this, &PlanCommands::Perspektiveentzerren1Click);
}

void PlanCommands::tell(const QString &message)
{
    QMessageBox box(QMessageBox::Warning, QCoreApplication::applicationName(), message, QMessageBox::Ok, window);
    box.setObjectName(QStringLiteral("PlanProblemBox"));
    box.exec();
}

void PlanCommands::AusAuflsungundPlanmastab1Click()
{
    const dib &image = work.picture();
    if (!image.poi) {
        tell(Translate(rectifyProblemText(RectifyProblem::NoPicture)));
        return;
    }
    const BITMAPINFOHEADER &h = image.pmi->bmiHeader;
    if (h.biXPelsPerMeter <= 0 || h.biYPelsPerMeter <= 0) {
        QMessageBox box(QMessageBox::Question, QCoreApplication::applicationName(),
                        Translate(QStringLiteral("Das Bild hat keine gespeicherte Auflösung. Möchten Sie den Maßstab "
                                                 "numerisch eingeben?")),
                        QMessageBox::Yes | QMessageBox::No, window);
        box.setObjectName(QStringLiteral("NoResolutionBox"));
        if (box.exec() == QMessageBox::Yes)
            numericScale();
        return;
    }
    const double dotsPerInch = (double(h.biXPelsPerMeter) + double(h.biYPelsPerMeter)) / 2 * 0.0254;
    double ratio = lastRatio;
    QString unit = lastUnit;
    if (!planScaleForm->ask(dotsPerInch, ratio, unit))
        return;
    Scale scale;
    if (!planScale(h.biXPelsPerMeter, h.biYPelsPerMeter, ratio, unit, scale))
        return;
    lastRatio = ratio;
    lastUnit = unit;
    work.setScale(scale);
    work.setUnit(unit);
    work.commitStep(Translate(QStringLiteral("Maßstab")));
    emit repaintNeeded();
}

void PlanCommands::Perspektiveentzerren1Click()
{
    const dib &image = work.picture();
    if (!image.poi) {
        tell(Translate(rectifyProblemText(RectifyProblem::NoPicture)));
        return;
    }
    const QSize size(DibWidth(image), DibHeight(image));
    QImage preview = dibToQImage(image);
    if (preview.isNull()) {
        tell(Translate(rectifyProblemText(RectifyProblem::OutOfMemory)));
        return;
    }
    if (std::max(size.width(), size.height()) > PreviewSide)
        preview = preview.scaled(PreviewSide, PreviewSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    const QString unit = metresPerUnit(work.numberSettings().unit) > 0 ? work.numberSettings().unit : lastUnit;
    TPerspektiveForm::Answer answer;
    if (!perspectiveForm->ask(preview, size, unit, answer))
        return;

    RectifyPlan plan;
    RectifyProblem problem =
        planRectification(size, answer.corners, answer.width, answer.height, answer.density, plan);
    Picture straight;
    if (problem == RectifyProblem::None && !rectifyDib(straight.record(), image, plan))
        problem = RectifyProblem::OutOfMemory;
    if (problem != RectifyProblem::None) {
        tell(Translate(rectifyProblemText(problem)));
        return;
    }
    // Nothing is changed until the new picture is in hand; picture, elements and scale are one step.
    work.setPicture(std::move(straight));
    mapElements(work.document(), plan.transform);
    work.documentEdited();
    Scale scale;
    scale.pixelLength = plan.rectangleWidth;
    scale.realLength = answer.width;
    work.setScale(scale);
    work.setUnit(answer.unit);
    work.commitStep(Translate(QStringLiteral("Perspektive entzerren")));
    emit repaintNeeded();
}
