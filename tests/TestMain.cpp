#include "platform/sys/Registry.h"
#include "tests/support/HermeticRun.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtGlobal>
#include <cstdlib>
#include <gtest/gtest.h>
#include <unistd.h>

#ifdef VX_TEST_CORE_APP
#include <QCoreApplication>
using TTestApplication = QCoreApplication;
#else
#include <QApplication>
using TTestApplication = QApplication;
#endif

namespace {

#ifdef VX_EXEC_WATCH_LIBRARY
// Starts this test program again with the watch preloaded (the loader reads LD_PRELOAD only when a
// program starts), unless it already runs under it. The log lies in a folder of its own, removed at
// the end, so that a detached program still running then has nowhere to write.
void RunUnderTheWatch(char** Argv)
{
    if (qEnvironmentVariableIsSet("VX_EXEC_LOG"))
        return;
    char LogFolder[] = "/tmp/vx-exec-watch-XXXXXX";
    if (!::mkdtemp(LogFolder))
        return;
    QByteArray Preload = VX_EXEC_WATCH_LIBRARY;
    if (!qEnvironmentVariableIsEmpty("LD_PRELOAD"))
        Preload += ':' + qgetenv("LD_PRELOAD");
    qputenv("LD_PRELOAD", Preload);
    // Paths are compared as spelt (the watch cannot afford to resolve links), so both spellings.
    const auto BothSpellings = [](const QString& Folder) {
        return Folder.toLocal8Bit() + ':' + QDir(Folder).canonicalPath().toLocal8Bit();
    };
    qputenv("VX_EXEC_ALLOWED",
            BothSpellings(QStringLiteral(VX_BUILD_ROOT)) + ':' + BothSpellings(QStringLiteral(VX_SOURCE_ROOT)));
    qputenv("VX_EXEC_STANDINS", BothSpellings(QDir::tempPath()));
    qputenv("VX_EXEC_TOOLS", VX_EXEC_TOOLS);
    qputenv("VX_EXEC_LOG", QByteArray(LogFolder) + "/refused.log");
    ::execv("/proc/self/exe", Argv);
    // Not restarted: run without the watch rather than not at all.
    for (const char* Name : {"LD_PRELOAD", "VX_EXEC_ALLOWED", "VX_EXEC_STANDINS", "VX_EXEC_TOOLS", "VX_EXEC_LOG"})
        qunsetenv(Name);
    ::rmdir(LogFolder);
}
#endif

// A program of the machine started by the code under test fails the run, naming it.
class TRefusedStartsCheck : public ::testing::Environment
{
public:
    void TearDown() override
    {
        for (const QString& Line : HermeticRun::TakeRefusedStarts())
            ADD_FAILURE() << "the code under test tried to start a program of the machine: " << Line.toStdString();
    }
};

void RemoveTheWatchLog()
{
    if (!HermeticRun::Watched())
        return;
    const QString Log = qEnvironmentVariable("VX_EXEC_LOG");
    QFile::remove(Log);
    QDir().rmdir(QFileInfo(Log).path());
}

} // namespace

// A test never writes to the real home, nor reads the machine's own settings: the whole run gets data,
// settings, cache and system-wide configuration folders of its own (Qt keeps the file dialog's history
// in the settings folder, fontconfig its cache in the cache).
int main(int argc, char** argv)
{
#ifdef VX_EXEC_WATCH_LIBRARY
    RunUnderTheWatch(argv);
#endif
    QTemporaryDir DataHome;
    // Without a bus of its own the D-Bus library would launch one for the display (a daemon that
    // outlives the run); a test that needs a bus starts a private one.
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + QFile::encodeName(DataHome.path()) + "/no-session-bus");
    qputenv("XDG_DATA_HOME", DataHome.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (DataHome.path() + QStringLiteral("/.config")).toLocal8Bit());
    qputenv("XDG_CACHE_HOME", (DataHome.path() + QStringLiteral("/.cache")).toLocal8Bit());
    QTemporaryDir ConfigDirs;
    qputenv("XDG_CONFIG_DIRS", ConfigDirs.path().toLocal8Bit());
    QTemporaryDir MachineConfig;
    SetMachineConfigFolder(MachineConfig.path());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TTestApplication App(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    if (HermeticRun::Watched())
        ::testing::AddGlobalTestEnvironment(new TRefusedStartsCheck);
    const int Result = RUN_ALL_TESTS();
    RemoveTheWatchLog();
    return Result;
}
