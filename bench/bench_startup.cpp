// Start-up: from main to the main window painted on screen, in a fresh process each time as the
// program starts, with no picture and with an 8000 x 6000 picture on the command line, against a
// bare main window started the same way. The benchmark starts itself as that process; the
// process reports the time from its main to the end of the drawing surface's first paint. It runs
// in the folder the benchmark is started from, as the program does.

#include "ui/mainwindow/mainform.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QMainWindow>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char ChildOption[] = "--start-window";

// Ends the process as soon as the watched widget has finished its first paint, reporting the
// nanoseconds since main began.
class FirstPaintApplication : public QApplication
{
public:
    FirstPaintApplication(int &argc, char **argv, const QElapsedTimer &sinceMain)
        : QApplication(argc, argv), sinceMain(sinceMain)
    {
    }

    QObject *watched = nullptr;

    bool notify(QObject *receiver, QEvent *event) override
    {
        const bool painted = receiver == watched && event->type() == QEvent::Paint;
        const bool result = QApplication::notify(receiver, event);
        if (painted) {
            std::printf("%lld\n", static_cast<long long>(sinceMain.nsecsElapsed()));
            std::fflush(stdout);
            std::_Exit(0);
        }
        return result;
    }

private:
    const QElapsedTimer &sinceMain;
};

// The surface of the bare window: it paints, as the program's drawing surface does.
class Surface : public QWidget
{
protected:
    void paintEvent(QPaintEvent *) override {}
};

// The program's start as main does it, with the main window or the bare one.
int startWindow(int argc, char **argv, const QElapsedTimer &sinceMain)
{
    const bool bare = std::strcmp(argv[2], "bare") == 0;
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    int appArgc = 1;
    FirstPaintApplication app(appArgc, argv, sinceMain);
    QCoreApplication::setApplicationName(QStringLiteral("Tesselon"));
    QCoreApplication::setOrganizationName(QStringLiteral("Kovrant"));
    if (bare) {
        QMainWindow window;
        auto *surface = new Surface;
        window.setCentralWidget(surface);
        window.resize(800, 600);
        app.watched = surface;
        window.show();
        return QApplication::exec();
    }
    TMainForm form;
    app.watched = form.findChild<QWidget *>(QStringLiteral("PaintBox1"));
    if (argc > 3)
        form.setCommandLineImage(QString::fromLocal8Bit(argv[3]));
    form.show();
    return QApplication::exec();
}

const QString &largePicture()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString file = dir.filePath(QStringLiteral("large.jpg"));
        QImage picture(8000, 6000, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        if (!dir.isValid() || !picture.save(file, "JPG", 90))
            std::abort();
        return file;
    }();
    return path;
}

void startInChild(benchmark::State &state, const QStringList &arguments)
{
    for (auto _ : state) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), QStringList{QString::fromLatin1(ChildOption)} + arguments);
        if (!child.waitForFinished(60000) || child.exitCode() != 0) {
            state.SkipWithError("the window did not show");
            return;
        }
        bool ok = false;
        const double nanoseconds = child.readAllStandardOutput().trimmed().toDouble(&ok);
        if (!ok) {
            state.SkipWithError("no time reported");
            return;
        }
        state.SetIterationTime(nanoseconds / 1e9);
    }
}

// 0: no picture; 1: an 8000 x 6000 JPEG named on the command line.
void BM_StartToWindow(benchmark::State &state)
{
    QStringList arguments{QStringLiteral("form")};
    if (state.range(0) == 1)
        arguments << largePicture();
    startInChild(state, arguments);
}

void BM_StartToWindow_BaselineBareWindow(benchmark::State &state)
{
    startInChild(state, {QStringLiteral("bare")});
}

} // namespace

BENCHMARK(BM_StartToWindow)->DenseRange(0, 1)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(BM_StartToWindow_BaselineBareWindow)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

int main(int argc, char **argv)
{
    QElapsedTimer sinceMain;
    sinceMain.start();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 2 && std::strcmp(argv[1], ChildOption) == 0)
        return startWindow(argc, argv, sinceMain);
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
