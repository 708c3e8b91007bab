#include "tests/support/ProgramHarness.h"
#include "tests/support/XDesktop.h"
#include "utility/start/UtilityRunning.h"

#include <QRect>
#include <QThread>
#include <gtest/gtest.h>

namespace {

const QRect LaptopScreen(0, 0, 1366, 768);

// Whether the window of that title stands whole on the laptop screen, its title bar above its client area.
void ExpectWhollyOnTheScreen(const TXDesktop& Desktop, const QString& Title)
{
    SCOPED_TRACE(Title.toStdString());
    const qulonglong Window = Desktop.WaitForWindow(Title);
    ASSERT_NE(Window, 0u);
    QThread::msleep(500); // the window manager frames the window
    const QRect Area = Desktop.ClientArea(Window);
    EXPECT_TRUE(LaptopScreen.contains(Area) && Area.top() > 0)
        << Area.x() << "," << Area.y() << " " << Area.width() << "x" << Area.height();
}

void StartAtScale(TProgramHarness& Program, const TXDesktop& Desktop, const char* Scale = "1.5")
{
    Desktop.Host(Program);
    Program.Environment().insert(QStringLiteral("QT_SCALE_FACTOR"), QString::fromLatin1(Scale));
}

// A laptop's 1366 x 768 screen with the desktop's scale at 150 %: the windows a call opens stand whole on
// the screen, whatever did not fit scrolled inside them.
TEST(SmallScreenE2ETest, ACallsWindowsStandWholeOnALaptopScreenAtOneAndAHalf)
{
    if (const QString Missing = TXDesktop::Missing(false, true); !Missing.isEmpty())
        GTEST_SKIP() << Missing.toStdString();
    TProgramHarness Program;
    TXDesktop Desktop(Program.TempPath(QStringLiteral("desktop-ready")), QStringLiteral("1366x768x24"));
    ASSERT_TRUE(Desktop.Ready);
    StartAtScale(Program, Desktop);
    Program.SetSetting(QStringLiteral("OPERATION"), QStringLiteral("HisListPopup"), QStringLiteral("1"));
    Program.SetSetting(QStringLiteral("OPERATION"), QStringLiteral("RecvViewPopup"), QStringLiteral("1"));
    ASSERT_TRUE(Program.StartAndWaitForLine());
    ASSERT_EQ(Program.Ring(QStringLiteral("0312345678")), 0);

    for (const QString& Title : {QStringLiteral("着信対応履歴一覧"), QStringLiteral("着信照会")})
        ExpectWhollyOnTheScreen(Desktop, Title);
    Desktop.Screenshot(QStringLiteral("small-screen-call"));
}

// The windows built of layouts, at the desktop's scales of 100, 150 and 200 %: each opens whole on the
// laptop screen, what did not fit scrolled inside.
class SmallScreenScaleE2ETest : public ::testing::TestWithParam<const char*>
{
};

TEST_P(SmallScreenScaleE2ETest, TheMenuCommandsWindowsStandWholeOnALaptopScreen)
{
    if (const QString Missing = TXDesktop::Missing(false, true); !Missing.isEmpty())
        GTEST_SKIP() << Missing.toStdString();
    TProgramHarness Program;
    TXDesktop Desktop(Program.TempPath(QStringLiteral("desktop-ready")), QStringLiteral("1366x768x24"));
    ASSERT_TRUE(Desktop.Ready);
    StartAtScale(Program, Desktop, GetParam());
    const QString Scale = QString::fromLatin1(GetParam());
    ASSERT_TRUE(Program.StartAndWaitForLine());
    const struct
    {
        const char* Command;
        const char* Window;
        QString Title;
        const char* Shot;
    } Windows[] = {
        {"tbtnEnv", "Environment", QStringLiteral("環境設定"), "small-screen-settings"},
        {"mmExportFile", "FileExport", QStringLiteral("テキストファイル出力"), "small-screen-export"},
        {"mmImportFile", "FileImport", QStringLiteral("テキストファイル取り込み"), "small-screen-import"},
        {"mmListPrint", "ListPrint", QStringLiteral("一覧表の印刷"), "small-screen-print"},
    };
    for (const auto& Window : Windows) {
        ASSERT_TRUE(Program.WaitForWindow(QStringLiteral("MainForm")));
        Program.AnswerDialog(QStringLiteral("MainForm"), {}, QString::fromLatin1(Window.Command));
        ASSERT_TRUE(Program.WaitForWindow(QString::fromLatin1(Window.Window)));
        ExpectWhollyOnTheScreen(Desktop, Window.Title);
        Desktop.Screenshot(QString::fromLatin1(Window.Shot) + u'-' + Scale);
        Program.AnswerDialog(QString::fromLatin1(Window.Window), {}, QStringLiteral("btnCancel"));
        for (int Poll = 0; Poll < 50 && Desktop.Shows(Window.Title); ++Poll)
            QThread::msleep(100);
    }
}

TEST_P(SmallScreenScaleE2ETest, TheUtilityStandsWholeOnALaptopScreen)
{
    if (const QString Missing = TXDesktop::Missing(false, true); !Missing.isEmpty())
        GTEST_SKIP() << Missing.toStdString();
    TProgramHarness Program;
    TXDesktop Desktop(Program.TempPath(QStringLiteral("desktop-ready")), QStringLiteral("1366x768x24"));
    ASSERT_TRUE(Desktop.Ready);
    StartAtScale(Program, Desktop, GetParam());
    Program.SetProgram(QStringLiteral("VxUtil16"), Utility::UTILITY_INSTANCE_NAME);
    ASSERT_TRUE(Program.Start());
    ASSERT_TRUE(Program.WaitForWindow(QStringLiteral("MainForm")));
    ExpectWhollyOnTheScreen(Desktop, QStringLiteral("Tolvane１６ ユーティリティ"));
    Desktop.Screenshot(QStringLiteral("small-screen-utility-") + QString::fromLatin1(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Scales, SmallScreenScaleE2ETest, ::testing::Values("1", "1.5", "2"),
                         [](const ::testing::TestParamInfo<const char*>& Info) {
                             return std::string(Info.param) == "1.5" ? std::string("OneAndAHalf")
                                                                    : std::string("Times") + Info.param;
                         });

} // namespace
