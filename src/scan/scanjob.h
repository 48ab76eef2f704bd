#pragma once

#include "scan/quillet.h"
#include "scan/sanedevice.h"
#include "scan/sanesession.h"
#include "scan/scanoptions.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <atomic>
#include <functional>
#include <optional>

class QProgressDialog;
class QThread;
class QWidget;

// One scan off the user-interface thread, watched by the window's runner when one is installed and
// otherwise by a progress dialog of its own; either can cancel it. When it ends, the picture is
// stored and announced to the window with the scan-ready event, or the failure is reported; a
// cancelled scan ends silently. At most one scan runs at a time.
class ScanJob : public QObject
{
    Q_OBJECT
public:
    // Does the scan on the worker thread; cancel is set when the user cancels.
    using ScanFunction = std::function<ScanOutcome(const std::atomic_bool &cancel, const ScanProgress &progress)>;
    static void setRunner(ScanRunner runner);

    // Scans with SANE from deviceName (or the first device found).
    static void start(QWidget *window, const QString &deviceName, const ScanOptions &options);
    static void start(QWidget *window, ScanFunction scan);
    static bool running();
    // The devices SANE finds, listed under the runner as a scan is, so that the window stays
    // alive while a slow backend answers; without a runner (or when it declines) listed here
    // under a wait cursor. Nothing when the user cancelled. Counts as running meanwhile.
    static std::optional<QList<ScannerDevice>> listDevices(QWidget *window);
    // Brings the running scan's progress dialog to the front.
    static void raiseRunning();
    // Cancels the running scan and waits for its thread, at the end of the program. False when
    // the device did not let go in time; SANE must then be left as it is.
    static bool stopRunning();

private:
    ScanJob(QWidget *window, ScanFunction scan);
    ~ScanJob() override;

    static bool runWatched(QWidget *window, const ScanFunction &scan);
    static void deliver(QWidget *window, ScanOutcome result, bool cancelled);

    void cancel();
    void showProgress(qint64 received, qint64 expected);
    void threadFinished();

    QPointer<QWidget> window;
    QPointer<QProgressDialog> dialog;
    QThread *thread = nullptr;
    std::atomic_bool cancelRequested{false};
    ScanOutcome outcome;
};
