// The text import in the running program: the menu command opens the window, the file prompt is
// answered from outside, and the calls of the file reach the call history.
#include "platform/text/Cp932.h"
#include "tests/support/ProgramHarness.h"
#include "tests/support/TransferWindows.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonObject>
#include <QThread>
#include <gtest/gtest.h>

namespace {

TEST(FileImportE2ETest, TheMenuCommandImportsAFileChosenInTheFilePrompt)
{
    TProgramHarness Program;
    const QString Csv = Program.TempPath(QStringLiteral("calls.csv"));
    {
        QFile File(Csv);
        ASSERT_TRUE(File.open(QIODevice::WriteOnly));
        File.write(Cp932Encode(QStringLiteral("着信日付,着信時刻,電話番号,会社名\r\n"
                                              "2026/12/01,09:00:00,0312345678,\"山田,商店\"\r\n"
                                              "2026/12/02,10:30:00,匿名着信,\r\n")));
    }
    Program.Environment().insert(QStringLiteral("VX_FILEDIALOG_ANSWERS"), Csv);
    // The start-up's notice that no CD drive is there, the automatic mapping, the confirmation.
    Program.Environment().insert(QStringLiteral("VX_MSGBOX_ANSWERS"), QStringLiteral("OK,Yes,Yes"));
    ASSERT_TRUE(Program.StartAndWaitForLine());
    RunImportWindow(Program);
    if (HasFatalFailure())
        return;
    ASSERT_TRUE(Program.WaitForBox(
        QStringLiteral("テキストファイルの取り込みが完了しました  \r\n\r\n読込件数 : 2 件\r\n登録件数 : 2 件")));

    QList<QJsonObject> Prompts;
    for (const QJsonObject& Line : Program.Boxes())
        if (Line.contains(QStringLiteral("kind")))
            Prompts.append(Line);
    ASSERT_EQ(Prompts.size(), 1);
    EXPECT_EQ(Prompts[0].value(QStringLiteral("kind")).toString(), QStringLiteral("open"));
    EXPECT_EQ(Prompts[0].value(QStringLiteral("title")).toString(), QStringLiteral("ファイルを開く"));
    EXPECT_EQ(Prompts[0].value(QStringLiteral("folder")).toString(), Program.SettingsFolder());
    EXPECT_EQ(Prompts[0].value(QStringLiteral("filter")).toString(),
              QStringLiteral("テキストファイル (*.txt);;ＣＳＶファイル (*.csv);;すべてのファイル (*)"));

    EXPECT_EQ(Program.Rows(QStringLiteral("SELECT RecNo, Tel, SchTel, CorpKanji FROM RecvHis ORDER BY RecNo")),
              QStringList({"0|03-1234-5678|0312345678|山田,商店", "1|P|P|"}));
    // The window keeps its choices once the box that ends the import is answered, a moment after it.
    QElapsedTimer Kept;
    Kept.start();
    while (Program.Setting(QStringLiteral("FILE IMPORT"), QStringLiteral("File")) != Csv &&
           Kept.elapsed() < TProgramHarness::Patience)
        QThread::msleep(50);
    EXPECT_EQ(Program.Setting(QStringLiteral("FILE IMPORT"), QStringLiteral("File")), Csv);
    EXPECT_EQ(Program.Setting(QStringLiteral("FILE IMPORT"), QStringLiteral("SkipRecord")), QStringLiteral("1"));
    EXPECT_EQ(Program.Process().state(), QProcess::Running);
}

} // namespace
