// The text export in the running program: the menu command opens the window, its list exports the
// call history into the file the save prompt was answered with.
#include "platform/text/Cp932.h"
#include "tests/support/ProgramHarness.h"
#include "tests/support/TransferWindows.h"

#include <QFile>
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

} // namespace
