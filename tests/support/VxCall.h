#pragma once

#include <QEventLoop>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTimer>

// One run of the simulated adapter's control tool.
struct TVxCallRun
{
    int ExitCode = -1;
    QString Out;
    QString Err;
};

// Runs vxcall with the event loop turning, as the program's would while a call comes in (the
// adapter's line lives in this process and answers on its thread, delivering to this one).
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
