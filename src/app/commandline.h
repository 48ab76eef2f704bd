#pragma once

#include <QStringList>

class QTextStream;

// The command line for batch work and scripts:
//   tesselon --dump PROJECT.ver
//   tesselon --export FORMAT PROJECT.ver OUT [options]      FORMAT: csv xlsx dxf emf svg png pdf ver
//   tesselon --import PICTURE_OR_PDF PROJECT.ver [options]  (see importcommand.h)
//   tesselon --thumbnail PROJECT.ver OUT.png SIZE
//   tesselon --help
//   tesselon --version
// It opens no window. Exit codes: 0 done; 1 an input that cannot be read or an output that cannot
// be written (one line on err, no output file left behind); 2 a usage error (with the usage text).

// Whether the program's arguments ask for the command line rather than the window: the first
// one is an option ("--..."), other than the demonstration's.
bool isBatchCommandLine(int argc, char *argv[]);

// Runs the command line on the arguments after the program name; needs a QGuiApplication (labels
// are drawn with fonts).
int runCommandLine(const QStringList &arguments, QTextStream &out, QTextStream &err);

// main's branch for the command line: makes a GUI application that needs no display (the
// offscreen platform whenever neither DISPLAY nor WAYLAND_DISPLAY is set) and runs it.
int commandLineMain(int argc, char *argv[]);
