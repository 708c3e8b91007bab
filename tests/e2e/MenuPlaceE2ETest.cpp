#include "tests/support/ProgramHarness.h"
#include "tests/support/XDesktop.h"

#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QThread>
#include <gtest/gtest.h>

namespace {

// The menu window comes back where it was, start after start, under a window manager that frames it.
// A dialog of the start-up (the first-start information) makes the window exist before it is placed.
TEST(MenuPlaceE2ETest, TheMenuWindowStaysWhereItWas)
{
    if (const QString Missing = TXDesktop::Missing(); !Missing.isEmpty())
        GTEST_SKIP() << Missing.toStdString();
    TProgramHarness Program;
    TXDesktop Desktop(Program.TempPath(QStringLiteral("desktop-ready")));
    ASSERT_TRUE(Desktop.Ready);
    Desktop.Host(Program);
    Program.SetSetting(QStringLiteral("COMMON"), QStringLiteral("Info"), QStringLiteral("1"));

    QStringList Places;
    for (int Start = 0; Start < 5; ++Start) {
        SCOPED_TRACE(Start);
        QFile::remove(Program.WindowLogFile());
        // Each start takes the answers from the top of the file again.
        QFile::remove(Program.TempPath(QStringLiteral("dialogs.jsonl")));
        Program.AnswerDialog(QStringLiteral("InfoDialog"), {{QStringLiteral("ckbInfo"), true}},
                             QStringLiteral("btnOK"));
        ASSERT_TRUE(Program.Start());
        ASSERT_TRUE(Program.WaitForWindow(QStringLiteral("MainForm")));
        QThread::msleep(300); // the window manager frames the window
        ASSERT_TRUE(Program.Terminate());
        Places << Program.Setting(QStringLiteral("MENU VIEW"), QStringLiteral("Left")) + QLatin1Char(',') +
                      Program.Setting(QStringLiteral("MENU VIEW"), QStringLiteral("Top"));
    }
    EXPECT_NE(Places.first(), QStringLiteral(","));
    EXPECT_EQ(Places, QStringList(5, Places.first())) << Places.join(QLatin1Char(' ')).toStdString();
}

} // namespace
