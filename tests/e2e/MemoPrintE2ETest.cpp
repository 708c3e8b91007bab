// The running program's incoming-call window offers its memo print, copy, screen print and item
// settings: their buttons are enabled when a call pops the window up.

#include "tests/support/ProgramHarness.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QThread>
#include <gtest/gtest.h>

TEST(MemoPrintE2ETest, TheIncomingCallWindowsPrintButtonsAreEnabled)
{
    TProgramHarness Program;
    Program.SetSetting(QStringLiteral("OPERATION"), QStringLiteral("RecvViewPopup"), QStringLiteral("1"));
    ASSERT_TRUE(Program.StartAndWaitForLine());
    ASSERT_EQ(Program.Ring(QStringLiteral("0312345678")), 0);
    QElapsedTimer Clock;
    Clock.start();
    QList<QJsonObject> Fills = Program.WindowFills(QStringLiteral("ReceiveView"));
    while (Fills.isEmpty() && Clock.elapsed() < TProgramHarness::Patience) {
        QThread::msleep(50);
        Fills = Program.WindowFills(QStringLiteral("ReceiveView"));
    }
    ASSERT_FALSE(Fills.isEmpty()) << "the window did not pop up";
    const QJsonArray Disabled = Fills.last().value(QStringLiteral("disabled")).toArray();
    for (const char* Button : {"bbnMemoPrintSet", "bbtnCopy", "bbtnMemoPrint", "bbtnPrint"}) {
        EXPECT_FALSE(Disabled.contains(QLatin1String(Button))) << Button;
    }
}
