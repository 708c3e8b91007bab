#include "tests/support/ProgramHarness.h"
#include "tests/support/XDesktop.h"

#include <QRect>
#include <QThread>
#include <gtest/gtest.h>

namespace {

// A laptop's 1366 x 768 screen with the desktop's scale at 150 %: the windows a call opens stand whole on
// the screen, whatever did not fit scrolled inside them.
TEST(SmallScreenE2ETest, ACallsWindowsStandWholeOnALaptopScreenAtOneAndAHalf)
{
    if (const QString Missing = TXDesktop::Missing(false, true); !Missing.isEmpty())
        GTEST_SKIP() << Missing.toStdString();
    TProgramHarness Program;
    TXDesktop Desktop(Program.TempPath(QStringLiteral("desktop-ready")), QStringLiteral("1366x768x24"));
    ASSERT_TRUE(Desktop.Ready);
    Desktop.Host(Program);
    Program.Environment().insert(QStringLiteral("QT_SCALE_FACTOR"), QStringLiteral("1.5"));
    Program.SetSetting(QStringLiteral("OPERATION"), QStringLiteral("HisListPopup"), QStringLiteral("1"));
    Program.SetSetting(QStringLiteral("OPERATION"), QStringLiteral("RecvViewPopup"), QStringLiteral("1"));
    ASSERT_TRUE(Program.StartAndWaitForLine());
    ASSERT_EQ(Program.Ring(QStringLiteral("0312345678")), 0);

    const QRect Screen(0, 0, 1366, 768);
    for (const QString& Title : {QStringLiteral("着信対応履歴一覧"), QStringLiteral("着信照会")}) {
        SCOPED_TRACE(Title.toStdString());
        const qulonglong Window = Desktop.WaitForWindow(Title);
        ASSERT_NE(Window, 0u);
        QThread::msleep(500); // the window manager frames the window
        const QRect Area = Desktop.ClientArea(Window);
        EXPECT_TRUE(Screen.contains(Area)) << Area.x() << "," << Area.y() << " " << Area.width() << "x"
                                           << Area.height();
    }
    Desktop.Screenshot(QStringLiteral("small-screen-call"));
}

} // namespace
