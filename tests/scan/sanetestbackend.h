#pragma once

#include <QFile>
#include <QFileInfo>
#include <QString>

#include <csignal>
#include <dlfcn.h>
#include <pthread.h>
#include <sane/sane.h>

// SANE's test backend as the scanner of a test program; included by one file of the program.

// The backend ends its reader thread with asynchronous cancellation, both when a pass has been
// read and when a scan is cancelled. The cancellation can strike while the thread is inside the
// allocator and leave an arena locked, and a later allocation in that arena then waits for ever:
// about one scan in some hundreds hangs. The tests let the reader run out instead. Once the
// backend has closed its end of the pipe, the reader's next write fails and the thread ends by
// itself, so joining it stays bounded. Defined in the test program and exported from it
// (tests/CMakeLists.txt), this takes the place of the C library's function for the backend.
extern "C" int pthread_cancel(pthread_t)
{
    return 0;
}

// A reader whose write fails returns without freeing the block it was filling. That is the
// backend's own, so leak checking leaves it out.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libsane-test.so\n";
}

// Makes the test backend, configured in tests/scan/sane, SANE's only one. It stays loaded past
// SANE's end, so that leak reports can name its frames, and SIGPIPE is ignored: the test
// framework's crash handler would take the failing write of a reader for a crash. Returns what
// went wrong, or nothing.
inline QString useSaneTestBackend()
{
    const QString config = QStringLiteral(TESSELON_SOURCE_DIR "/tests/scan/sane");
    if (!QFile::exists(config + QStringLiteral("/dll.conf")))
        return QStringLiteral("no dll.conf in ") + config;
    qputenv("SANE_CONFIG_DIR", config.toLocal8Bit());
    // Backends live in the folder "sane" beside SANE's own library.
    Dl_info sane{};
    if (!dladdr(reinterpret_cast<void *>(&sane_init), &sane) || !sane.dli_fname)
        return QStringLiteral("SANE's library not found");
    const QString backend = QFileInfo(QString::fromLocal8Bit(sane.dli_fname)).absolutePath()
                            + QStringLiteral("/sane/libsane-test.so.1");
    if (!dlopen(QFile::encodeName(backend).constData(), RTLD_NOW | RTLD_NODELETE))
        return QStringLiteral("cannot load ") + backend;
    std::signal(SIGPIPE, SIG_IGN);
    return {};
}
