#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// The built program, as scripts and the headless demonstration start it.
inline const QString program = QStringLiteral(TESSELON_BINARY_DIR "/bin/tesselon");

struct HeadlessRun {
    int exitCode = -1; // -1: did not finish normally within a minute
    QByteArray out;
    QString err;
};

// Runs the program without any display: neither a platform nor an X server is given.
inline HeadlessRun runHeadless(const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    HeadlessRun run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}
