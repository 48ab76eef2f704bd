#include "ui/commands/pdfimport.h"

#include "core/transferprogress.h"
#include "core/translate.h"
#include "image/pdfpages.h"
#include "ui/commands/backgroundjob.h"
#include "ui/dialogs/pdfpageform.h"

#include <QCoreApplication>
#include <QMainWindow>
#include <QMessageBox>

namespace {

void tell(QWidget *parent, PdfProblem problem)
{
    QMessageBox box(QMessageBox::Warning, QCoreApplication::applicationName(), Translate(pdfProblemText(problem)),
                    QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("PdfProblemBox"));
    box.exec();
}

} // namespace

bool loadPdfPicture(QMainWindow *window, TPdfSeiteForm &form, const QString &fileName, dib &out)
{
    out.poi = nullptr;
    PdfProblem problem = PdfProblem::None;
    const std::unique_ptr<PdfPlan> plan = PdfPlan::open(fileName, problem);
    if (!plan) {
        tell(window, problem);
        return false;
    }
    int page = 0;
    double dpi = DefaultPdfDpi;
    if (!form.ask(*plan, page, dpi))
        return false;

    auto progress = std::make_shared<TransferProgress>();
    PdfRenderControl control;
    control.cancel = &progress->cancelled;
    control.progress = [&progress = *progress](int done, int total) {
        progress.done = done;
        progress.total = total;
    };
    dib rendered;
    const QByteArray bytes = plan->bytes();
    BackgroundJob::run(
        window, Translate(QStringLiteral("Die PDF-Seite wird gezeichnet...")), progress,
        [&] { problem = renderPdfPage(rendered, bytes, page, dpi, control); }, BackgroundJob::OnCancel::WaitForTask);

    if (problem == PdfProblem::Canceled)
        return false;
    if (problem != PdfProblem::None) {
        tell(window, problem);
        return false;
    }
    out = rendered;
    return true;
}
