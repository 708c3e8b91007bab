#include "platform/sys/Registry.h"

#include <QTemporaryDir>
#include <QtGlobal>
#include <gtest/gtest.h>

#ifdef VX_TEST_CORE_APP
#include <QCoreApplication>
using TTestApplication = QCoreApplication;
#else
#include <QApplication>
using TTestApplication = QApplication;
#endif

// A test never writes to the real home, nor reads the machine's own settings: the whole run gets data,
// settings, cache and system-wide configuration folders of its own (Qt keeps the file dialog's history
// in the settings folder, fontconfig its cache in the cache).
int main(int argc, char** argv)
{
    QTemporaryDir DataHome;
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
    return RUN_ALL_TESTS();
}
