#include "ui/plancommands.h"

#include "core/planscale.h"
#include "core/translate.h"
#include "image/rectify.h"
#include "image/velumo.h"
#include "ui/pdfpageform.h"
#include "ui/perspektiveform.h"
#include "ui/planmassstabform.h"

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

PlanCommands::PlanCommands(QMainWindow *mainWindow, Host h) : QObject(mainWindow), window(mainWindow), host(std::move(h))
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
    const dib &image = host.image();
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
            host.numericScale();
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
    host.setScale(scale, unit);
    host.repaint();
}

void PlanCommands::Perspektiveentzerren1Click()
{
    dib &image = host.image();
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
    const QString unit = metresPerUnit(host.unit()) > 0 ? host.unit() : lastUnit;
    TPerspektiveForm::Answer answer;
    if (!perspectiveForm->ask(preview, size, unit, answer))
        return;

    RectifyPlan plan;
    RectifyProblem problem =
        planRectification(size, answer.corners, answer.width, answer.height, answer.density, plan);
    dib straight;
    if (problem == RectifyProblem::None && !rectifyDib(straight, image, plan))
        problem = RectifyProblem::OutOfMemory;
    if (problem != RectifyProblem::None) {
        tell(Translate(rectifyProblemText(problem)));
        return;
    }
    // Nothing is changed until the new picture is in hand.
    FreeDib(image);
    image = straight;
    mapElements(host.document(), plan.transform);
    Scale scale;
    scale.mas1 = plan.rectangleWidth;
    scale.mas2 = answer.width;
    host.setScale(scale, answer.unit);
    host.repaint();
}
