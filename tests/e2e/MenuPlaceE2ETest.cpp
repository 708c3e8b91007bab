#include "tests/support/ProgramHarness.h"

#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QThread>
#include <gtest/gtest.h>

namespace {

// A display of the test's own with a real window manager, which puts a frame around the menu window
// as the desktop does: Xvfb finds a free display itself, and openbox says when it is ready.
class TDesktop
{
public:
    TDesktop(const QString& ReadyFile)
    {
        Server.start(QStringLiteral("Xvfb"),
                     {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
                      QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        if (!Server.waitForStarted() || !Server.waitForReadyRead(TProgramHarness::Patience))
            return;
        Display = QStringLiteral(":") + QString::fromLatin1(Server.readLine().trimmed());
        QProcessEnvironment Env = QProcessEnvironment::systemEnvironment();
        Env.insert(QStringLiteral("DISPLAY"), Display);
        Manager.setProcessEnvironment(Env);
        Manager.start(QStringLiteral("openbox"), {QStringLiteral("--startup"), QStringLiteral("touch ") + ReadyFile});
        QElapsedTimer Clock;
        Clock.start();
        while (!QFile::exists(ReadyFile) && Clock.elapsed() < TProgramHarness::Patience)
            QThread::msleep(50);
        Ready = QFile::exists(ReadyFile);
    }
    ~TDesktop()
    {
        for (QProcess* Process : {&Manager, &Server}) {
            Process->terminate();
            if (!Process->waitForFinished(3000)) {
                Process->kill();
                Process->waitForFinished();
            }
        }
    }

    QProcess Server;
    QProcess Manager;
    QString Display;
    bool Ready = false;
};

// The menu window comes back where it was, start after start, under a window manager that frames it.
// A dialog of the start-up (the first-start information) makes the window exist before it is placed.
TEST(MenuPlaceE2ETest, TheMenuWindowStaysWhereItWas)
{
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("openbox")).isEmpty())
        GTEST_SKIP() << "Xvfb and openbox are installed by scripts/bootstrap";
    TProgramHarness Program;
    TDesktop Desktop(Program.TempPath(QStringLiteral("desktop-ready")));
    ASSERT_TRUE(Desktop.Ready);
    Program.Environment().insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    Program.Environment().insert(QStringLiteral("DISPLAY"), Desktop.Display);
    // On a real display the X keyboard library hands strndup a text without its terminator, which is
    // sound (strndup stops at its length) but which the sanitizers' strict string checks report.
    if (QString Options = Program.Environment().value(QStringLiteral("ASAN_OPTIONS")); !Options.isEmpty())
        Program.Environment().insert(QStringLiteral("ASAN_OPTIONS"),
                                     Options.replace(QStringLiteral("strict_string_checks=1"),
                                                     QStringLiteral("strict_string_checks=0")));
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
