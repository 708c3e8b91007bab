// The text export in the running program: the menu command opens the window, its list exports the
// call history into the file the save prompt was answered with.
#include "platform/text/Cp932.h"
#include "tests/support/ProgramHarness.h"
#include "tests/support/TransferWindows.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace {

TEST(FileExportE2ETest, TheMenuCommandExportsTheHistoryIntoTheFileChosenInTheSavePrompt)
{
    TProgramHarness Program;
    const QString Target = Program.TempPath(QStringLiteral("rireki.txt"));
    Program.Environment().insert(QStringLiteral("VX_FILEDIALOG_ANSWERS"), Target);
    // The start-up's notice that no CD drive is there, then "export all?".
    Program.Environment().insert(QStringLiteral("VX_MSGBOX_ANSWERS"), QStringLiteral("OK,Yes"));
    ASSERT_TRUE(Program.StartAndWaitForLine());
    ASSERT_EQ(Program.Ring(QStringLiteral("0312345678")), 0);
    ASSERT_TRUE(Program.WaitForRows(1));
    OpenHistoryExportList(Program);
    if (HasFatalFailure())
        return;
    Program.AnswerDialog(QStringLiteral("RecvHisFileExportList"), {}, QStringLiteral("btnExport"));
    ASSERT_TRUE(Program.WaitForBox(
        QStringLiteral("テキストファイル出力が完了しました  \r\n\r\n対象件数 = 1件\r\n出力件数 = 1件")));
    QStringList Prompts;
    for (const QJsonObject& Line : Program.Boxes())
        if (Line.contains(QStringLiteral("prompt")))
            Prompts << Line.value(QStringLiteral("kind")).toString() + u' ' +
                           Line.value(QStringLiteral("file")).toString();
    EXPECT_EQ(Prompts, QStringList{QStringLiteral("save Rireki.txt")});

    QFile File(Target);
    ASSERT_TRUE(File.open(QIODevice::ReadOnly));
    const QString Text = Cp932DecodeLenient(File.readAll());
    const QStringList Lines = Text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(Lines.size(), 2) << Text.toStdString();
    EXPECT_TRUE(Lines[1].contains(QStringLiteral("03-1234-5678")) || Lines[1].contains(QStringLiteral("0312345678")))
        << Lines[1].toStdString();
    EXPECT_EQ(Program.Process().state(), QProcess::Running);
}

// "数値で範囲を指定": the range dialog of the running program is answered like every other window, and
// only the rows it names are written.
TEST(FileExportE2ETest, TheRangeDialogTakesItsAnswersAndOnlyThoseRowsAreWritten)
{
    TProgramHarness Program;
    const QString Target = Program.TempPath(QStringLiteral("rireki.txt"));
    Program.Environment().insert(QStringLiteral("VX_FILEDIALOG_ANSWERS"), Target);
    // The start-up's notice that no CD drive is there, then "export rows 2 to 3?".
    Program.Environment().insert(QStringLiteral("VX_MSGBOX_ANSWERS"), QStringLiteral("OK,Yes"));
    ASSERT_TRUE(Program.StartAndWaitForLine());
    for (const char* Number : {"0312340001", "0312340002", "0312340003", "0312340004"}) {
        ASSERT_EQ(Program.Ring(QString::fromLatin1(Number)), 0);
    }
    ASSERT_TRUE(Program.WaitForRows(4));
    ASSERT_TRUE(Program.WaitForWindow(QStringLiteral("MainForm")));
    Program.AnswerDialog(QStringLiteral("MainForm"), {}, QStringLiteral("mmExportFile"));
    ASSERT_TRUE(Program.WaitForWindow(QStringLiteral("FileExport")));
    Program.AnswerDialog(QStringLiteral("FileExport"), {}, QStringLiteral("rbNormal"));
    Program.AnswerDialog(QStringLiteral("FileExport"), {}, QStringLiteral("rbRange"));
    Program.AnswerDialog(QStringLiteral("FileExport"), {}, QStringLiteral("bbtnAllSet"));
    Program.AnswerDialog(QStringLiteral("FileExport"), {}, QStringLiteral("btnList"));
    ASSERT_TRUE(Program.WaitForWindow(QStringLiteral("RecvHisFileExportList")));
    Program.AnswerDialog(QStringLiteral("RecvHisFileExportList"), {}, QStringLiteral("btnExport"));
    Program.AnswerDialog(
        QStringLiteral("RangeSpc"),
        {{QStringLiteral("edtBegin"), QStringLiteral("2")}, {QStringLiteral("edtEnd"), QStringLiteral("3")}},
        QStringLiteral("btnDecision"));
    ASSERT_TRUE(Program.WaitForBox(
        QStringLiteral("テキストファイル出力が完了しました  \r\n\r\n対象件数 = 2件\r\n出力件数 = 2件")))
        << QJsonDocument(QJsonArray::fromVariantList([&] {
               QVariantList All;
               for (const QJsonObject& Box : Program.Boxes())
                   All << Box.toVariantMap();
               return All;
           }()))
               .toJson()
               .toStdString();
    QFile File(Target);
    ASSERT_TRUE(File.open(QIODevice::ReadOnly));
    const QStringList Lines = Cp932DecodeLenient(File.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(Lines.size(), 3);
    // Newest first: the second and third rows of the list are the third and second calls.
    EXPECT_TRUE(Lines[1].contains(QStringLiteral("0003"))) << Lines[1].toStdString();
    EXPECT_TRUE(Lines[2].contains(QStringLiteral("0002"))) << Lines[2].toStdString();
}

} // namespace
