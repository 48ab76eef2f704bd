#include "ui/pdfimport.h"

#include "core/translate.h"
#include "image/pdfpages.h"
#include "ui/pdfpageform.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>

#include <atomic>

namespace {

void tell(QWidget *parent, PdfProblem problem)
{
    QMessageBox box(QMessageBox::Warning, QCoreApplication::applicationName(), Translate(pdfProblemText(problem)),
                    QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("PdfProblemBox"));
    box.exec();
}

} // namespace

bool loadPdfPicture(QWidget *parent, TPdfSeiteForm &form, const QString &fileName, dib &out)
{
    out.poi = nullptr;
    PdfProblem problem = PdfProblem::None;
    const std::unique_ptr<PdfPlan> plan = PdfPlan::open(fileName, problem);
    if (!plan) {
        tell(parent, problem);
        return false;
    }
    int page = 0;
    double dpi = DefaultPdfDpi;
    if (!form.ask(*plan, page, dpi))
        return false;

    std::atomic<bool> cancel{false};
    std::atomic<int> rowsDone{0};
    std::atomic<int> rowsInAll{0};
    PdfRenderControl control;
    control.cancel = &cancel;
    control.progress = [&](int done, int total) {
        rowsDone = done;
        rowsInAll = total;
    };
    dib rendered;
    const QByteArray bytes = plan->bytes();
    QThread *worker = QThread::create([&] { problem = renderPdfPage(rendered, bytes, page, dpi, control); });

    QProgressDialog progress(Translate(QStringLiteral("Die PDF-Seite wird gezeichnet...")),
                             Translate(QStringLiteral("Abbrechen")), 0, 0, parent);
    progress.setObjectName(QStringLiteral("PdfProgress"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &progress, [&] {
        if (rowsInAll > 0) {
            progress.setMaximum(rowsInAll);
            progress.setValue(rowsDone);
        }
    });
    QObject::connect(&progress, &QProgressDialog::canceled, &progress, [&] { cancel = true; });
    QObject::connect(worker, &QThread::finished, &loop, &QEventLoop::quit);
    poll.start(100);
    worker->start();
    loop.exec();
    worker->wait();
    delete worker;
    poll.stop();
    progress.reset();

    if (problem == PdfProblem::Canceled)
        return false;
    if (problem != PdfProblem::None) {
        tell(parent, problem);
        return false;
    }
    out = rendered;
    return true;
}
