#pragma once

// What keeps a test from reaching the machine it runs on. TestMain preloads tests/fixtures/ExecWatch.c
// into every test program and what it starts: a program of the machine that the code under test
// tries to start is refused and logged, and the run fails at its end unless a test took the line.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace HermeticRun {

// Whether this process runs under the watch (not in a sanitizer build, whose runtime must be loaded
// first and so cannot have a library preloaded before it).
inline bool Watched()
{
    return !qEnvironmentVariableIsEmpty("VX_EXEC_LOG");
}

// The programs refused since the last call, one line each ("<file> <arguments>"), taken off the log
// so that a test which provokes a refusal on purpose does not fail the run.
inline QStringList TakeRefusedStarts()
{
    QFile Log(qEnvironmentVariable("VX_EXEC_LOG"));
    if (!Log.open(QIODevice::ReadWrite))
        return {};
    const QStringList Lines = QString::fromLocal8Bit(Log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    Log.resize(0);
    return Lines;
}

} // namespace HermeticRun

// Sets PATH for as long as it lives and puts the old value back, whatever way the test leaves.
class TPathGuard
{
public:
    explicit TPathGuard(const QString& Path) : Saved(qgetenv("PATH")) { qputenv("PATH", Path.toLocal8Bit()); }
    ~TPathGuard() { qputenv("PATH", Saved); }
    TPathGuard(const TPathGuard&) = delete;
    TPathGuard& operator=(const TPathGuard&) = delete;

private:
    QByteArray Saved;
};
