#include "scan/scanjob.h"

#include "core/transferprogress.h"
#include "core/translate.h"
#include "scan/sanesession.h"
#include "scan/scanmessage.h"
#include "scan/scannedimages.h"
#include "scan/scanreadyevent.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QProgressDialog>
#include <QThread>

#include <algorithm>

namespace {

ScanJob *active = nullptr;
ScanRunner runner;
// Whether a scan runs under the runner, which returns only when it has ended.
bool watchedRunning = false;

// Progress is passed on only when the shown value changes, so a fast device does not flood the
// user interface with events.
class ProgressThrottle
{
public:
    bool changed(qint64 received, qint64 expected)
    {
        const int permille = expected > 0 ? static_cast<int>(std::min<qint64>(received, expected) * 1000 / expected) : -1;
        if (permille == last)
            return false;
        last = permille;
        return true;
    }

private:
    int last = -2;
};

} // namespace

void ScanJob::start(QWidget *window, const QString &deviceName, const ScanOptions &options)
{
    start(window, [deviceName, options](const std::atomic_bool &cancel, const ScanProgress &progress) {
        return scanWithSane(deviceName, options, cancel, progress);
    });
}

void ScanJob::start(QWidget *window, ScanFunction scan)
{
    if (running())
        return;
    if (runner && runWatched(window, scan))
        return;
    active = new ScanJob(window, std::move(scan));
}

void ScanJob::setRunner(ScanRunner newRunner)
{
    runner = std::move(newRunner);
}

bool ScanJob::running()
{
    return active != nullptr || watchedRunning;
}

bool ScanJob::runWatched(QWidget *window, const ScanFunction &scan)
{
    QPointer<QWidget> target = window;
    auto progress = std::make_shared<TransferProgress>();
    auto outcome = std::make_shared<ScanOutcome>();
    watchedRunning = true;
    const bool ran = runner(window, Translate(QStringLiteral("Scanne...")), progress, [scan, progress, outcome] {
        *outcome = scan(progress->cancelled, [&progress](qint64 received, qint64 expected) {
            progress->total = expected;
            progress->done = received;
        });
    });
    watchedRunning = false;
    if (ran)
        deliver(target, *outcome, progress->cancelled);
    return ran;
}

std::optional<QList<ScannerDevice>> ScanJob::listDevices(QWidget *window)
{
    if (runner) {
        auto progress = std::make_shared<TransferProgress>();
        auto devices = std::make_shared<QList<ScannerDevice>>();
        watchedRunning = true;
        const bool ran = runner(window, Translate(QStringLiteral("Suche Scanner...")), progress,
                                [devices] { *devices = listScanners(); });
        watchedRunning = false;
        if (ran) {
            if (progress->cancelled)
                return std::nullopt;
            return *devices;
        }
    }
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    QList<ScannerDevice> devices = listScanners();
    QGuiApplication::restoreOverrideCursor();
    return devices;
}

void ScanJob::raiseRunning()
{
    if (active && active->dialog && active->dialog->isVisible()) {
        active->dialog->raise();
        active->dialog->activateWindow();
    }
}

bool ScanJob::stopRunning()
{
    if (!active)
        return true;
    ScanJob *job = active;
    job->cancelRequested = true;
    if (!job->thread->wait(QDeadlineTimer(10000)))
        return false;
    active = nullptr;
    if (job->outcome.kind == ScanOutcome::Image)
        FreeDib(job->outcome.image);
    delete job;
    return true;
}

ScanJob::ScanJob(QWidget *parentWindow, ScanFunction scan) : window(parentWindow)
{
    auto *progress = new QProgressDialog(Translate(QStringLiteral("Scanne...")), Translate(QStringLiteral("Abbrechen")), 0,
                                         0, parentWindow);
    progress->setObjectName(QStringLiteral("ScanProgressDialog"));
    progress->setWindowTitle(QCoreApplication::applicationName());
    // Not modal: the window stays usable while the device works, and a modal progress dialog
    // would run the event loop inside every progress step, where the scan may end under it.
    progress->setWindowModality(Qt::NonModal);
    progress->setMinimumDuration(0);
    progress->setAutoClose(false);
    progress->setAutoReset(false);
    connect(progress, &QProgressDialog::canceled, this, &ScanJob::cancel);
    if (parentWindow)
        connect(parentWindow, &QObject::destroyed, this, &ScanJob::cancel);
    dialog = progress;

    thread = QThread::create([this, scan = std::move(scan)] {
        ProgressThrottle throttle;
        outcome = scan(cancelRequested, [this, &throttle](qint64 received, qint64 expected) {
            if (throttle.changed(received, expected))
                QMetaObject::invokeMethod(this, [this, received, expected] { showProgress(received, expected); },
                                          Qt::QueuedConnection);
        });
    });
    thread->setObjectName(QStringLiteral("ScanThread"));
    connect(thread, &QThread::finished, this, &ScanJob::threadFinished, Qt::QueuedConnection);
    progress->show();
    thread->start();
}

ScanJob::~ScanJob()
{
    delete dialog;
    delete thread;
}

void ScanJob::cancel()
{
    cancelRequested = true;
    if (dialog)
        dialog->hide();
}

void ScanJob::showProgress(qint64 received, qint64 expected)
{
    if (!dialog || cancelRequested)
        return;
    if (expected <= 0) {
        dialog->setRange(0, 0);
        return;
    }
    dialog->setRange(0, 1000);
    dialog->setValue(static_cast<int>(std::min(received, expected) * 1000 / expected));
}

void ScanJob::threadFinished()
{
    if (active != this)
        return;
    active = nullptr;
    thread->wait();
    QPointer<QWidget> target = window;
    if (dialog) {
        dialog->hide();
        dialog->deleteLater();
    }
    deleteLater();
    deliver(target, outcome, cancelRequested);
}

void ScanJob::deliver(QWidget *target, ScanOutcome result, bool cancelled)
{
    if (cancelled && result.kind == ScanOutcome::Image) {
        // The user asked to stop; a picture that was complete by then is not wanted either.
        FreeDib(result.image);
        result.kind = ScanOutcome::Cancelled;
    }
    if (result.kind == ScanOutcome::Image) {
        if (!target) {
            FreeDib(result.image);
            return;
        }
        const quintptr id = storeScannedImage(result.image, target);
        QCoreApplication::postEvent(target, new ScanReadyEvent(id));
        return;
    }
    switch (result.kind) {
    case ScanOutcome::NoDevice:
        showScanMessage(target, Translate(QStringLiteral("Es wurde kein Scanner gefunden.")), QStringLiteral("NoScannerBox"));
        break;
    case ScanOutcome::OpenFailed:
        showScanMessage(target,
                        Translate(QStringLiteral("Der Scanner konnte nicht geöffnet werden:")) + QLatin1Char('\n')
                            + saneStatusText(result.status),
                        QStringLiteral("ScanErrorBox"));
        break;
    case ScanOutcome::Failed:
        showScanMessage(target,
                        Translate(QStringLiteral("Beim Scannen ist ein Fehler aufgetreten:")) + QLatin1Char('\n')
                            + saneStatusText(result.status),
                        QStringLiteral("ScanErrorBox"));
        break;
    default:
        break;
    }
}
