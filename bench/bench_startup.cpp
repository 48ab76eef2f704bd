// Start-up: building the main window and showing it until it is on screen, against a bare main
// window shown the same way. Both run in the folder the benchmark is started from, as the
// program does.

#include "ui/mainwindow/mainform.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMainWindow>
#include <QWindow>

#include <benchmark/benchmark.h>

namespace {

void showUntilExposed(QWidget &window)
{
    window.show();
    while (!window.windowHandle() || !window.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QCoreApplication::processEvents();
}

void BM_ShowMainWindow(benchmark::State &state)
{
    for (auto _ : state) {
        TMainForm form;
        showUntilExposed(form);
        state.PauseTiming();
        form.hide();
        state.ResumeTiming();
    }
}

void BM_ShowMainWindow_BaselineBareWindow(benchmark::State &state)
{
    for (auto _ : state) {
        QMainWindow window;
        window.resize(800, 600);
        showUntilExposed(window);
        state.PauseTiming();
        window.hide();
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(BM_ShowMainWindow)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_ShowMainWindow_BaselineBareWindow)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tesselon"));
    QCoreApplication::setOrganizationName(QStringLiteral("Kovrant"));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
