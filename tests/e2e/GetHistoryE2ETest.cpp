// "着信履歴取り込み" from the running program's menu: on an adapter that keeps a call log the command
// is enabled, the dialog lists the log the adapter holds, saves it into the history, and the next
// call the program takes is numbered after the imported rows.

#include "tests/support/ProgramHarness.h"

#include <QJsonArray>
#include <gtest/gtest.h>

TEST(GetHistoryE2ETest, TheMenuCommandImportsTheAdaptersLogBeforeTheNextCall)
{
    TProgramHarness Program;
    Program.SetSetting(QStringLiteral("COMMON"), QStringLiteral("Adapter"), QStringLiteral("3"));
    Program.Environment().insert(QStringLiteral("VX_MSGBOX_ANSWERS"), QStringLiteral("Yes,Yes,OK"));
    ASSERT_TRUE(Program.StartAndWaitForLine());
    const QString Log = Program.TempPath(QStringLiteral("adapter.txt"));
    QFile File(Log);
    ASSERT_TRUE(File.open(QIODevice::WriteOnly));
    File.write("0312345678,20240105,090807\nP,20240105,091000\n");
    File.close();
    ASSERT_EQ(Program.VxCall({QStringLiteral("history"), Log}), 0);

    ASSERT_TRUE(Program.WaitForWindow(QStringLiteral("MainForm")));
    Program.AnswerDialog(QStringLiteral("MainForm"), {}, QStringLiteral("mmGetHistory"));
    ASSERT_TRUE(Program.WaitForWindow(QStringLiteral("GetReceiveHistory"))) << "the command is not enabled";
    Program.AnswerDialog(QStringLiteral("GetReceiveHistory"), {{QStringLiteral("lbxRecvHis"), true}},
                         QStringLiteral("btnSave"));
    ASSERT_TRUE(Program.WaitForBox(QStringLiteral("2件保存しました  ")));
    const QList<QJsonObject> Fills = Program.WindowFills(QStringLiteral("GetReceiveHistory"));
    ASSERT_FALSE(Fills.isEmpty());
    EXPECT_EQ(Fills.last().value(QStringLiteral("fields")).toObject().value(QStringLiteral("lbxRecvHis")).toArray(),
              (QJsonArray{QStringLiteral("2024/01/05\t09:08:07\t03-1234-5678\t"),
                          QStringLiteral("2024/01/05\t09:10:00\t匿名着信\t")}));
    Program.AnswerDialog(QStringLiteral("GetReceiveHistory"), {}, QStringLiteral("btnCancel"));

    ASSERT_EQ(Program.Ring(QStringLiteral("0466123456")), 0);
    ASSERT_TRUE(Program.WaitForRows(3));
    EXPECT_EQ(Program.Rows(QStringLiteral("select RecNo, Tel from RecvHis order by RecNo")),
              (QStringList{"0|03-1234-5678", "1|P", "2|0466-12-3456"}));
}
