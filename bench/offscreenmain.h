#pragma once

#include <QByteArray>
#include <QGuiApplication>

#include <benchmark/benchmark.h>

// The main function of a benchmark that paints: fonts and images need a GUI application, which
// runs without a display on the offscreen platform.
inline int runOffscreenBenchmarks(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
