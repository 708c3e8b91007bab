#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QtGlobal>

#ifdef VX_TEST_CORE_APP
#include <QCoreApplication>
using TTestApplication = QCoreApplication;
#else
#include <QApplication>
using TTestApplication = QApplication;
#endif

// A test never writes to the real home: the whole run gets a data folder of its own.
int main(int argc, char** argv)
{
    QTemporaryDir DataHome;
    qputenv("XDG_DATA_HOME", DataHome.path().toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TTestApplication App(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
