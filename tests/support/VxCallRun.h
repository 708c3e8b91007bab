#pragma once

#include <QEventLoop>
#include <QProcess>
#include <QStringList>
#include <QTimer>

// The stand-in adapter's command-line tool, run with the event loop turning, as the program's
// would while a call comes in.
struct TVxCallRun
{
    int ExitCode = -1;
    QString Out;
    QString Err;
};

inline TVxCallRun RunVxCall(const QStringList& Arguments)
{
    QProcess Process;
    QEventLoop Loop;
    QObject::connect(&Process, &QProcess::finished, &Loop, &QEventLoop::quit);
    QTimer::singleShot(15000, &Loop, &QEventLoop::quit);
    Process.start(QStringLiteral(VX_BIN_DIR "/vxcall"), Arguments);
    if (Process.waitForStarted(5000))
        Loop.exec();
    TVxCallRun Run;
    if (Process.state() == QProcess::NotRunning && Process.exitStatus() == QProcess::NormalExit)
        Run.ExitCode = Process.exitCode();
    else
        Process.kill();
    Run.Out = QString::fromUtf8(Process.readAllStandardOutput());
    Run.Err = QString::fromUtf8(Process.readAllStandardError());
    return Run;
}
