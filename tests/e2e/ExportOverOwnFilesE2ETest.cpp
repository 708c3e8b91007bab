// The export's save prompt answered with a table of the data folder, or a link to one: the export
// is refused and the table is the table it was.
#include "tests/support/ProgramHarness.h"
#include "tests/support/TransferWindows.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace {

TEST(ExportOverOwnFilesE2ETest, ALiveTableOrALinkToItIsNoTarget)
{
    TProgramHarness Program;
    const QString Meibo = Program.DataFolder() + QStringLiteral("Meibo.DB");
    const QString Link = Program.TempPath(QStringLiteral("rireki.csv"));
    // Under "すべてのファイル", which adds no extension.
    Program.Environment().insert(QStringLiteral("VX_FILEDIALOG_ANSWERS"), Meibo + QStringLiteral("|3,") + Link);
    // The notice that no CD drive is there; for each try "export all?" and the refusal.
    Program.Environment().insert(QStringLiteral("VX_MSGBOX_ANSWERS"), QStringLiteral("OK,Yes,OK,Yes,OK"));
    ASSERT_TRUE(Program.StartAndWaitForLine());
    ASSERT_EQ(Program.Ring(QStringLiteral("0312345678")), 0);
    ASSERT_TRUE(Program.WaitForRows(1));
    ASSERT_TRUE(QFile::link(Program.DataFolder() + QStringLiteral("RecvHis.DB"), Link));
    const QStringList Entries = Program.Rows(QStringLiteral("SELECT COUNT(*) FROM Meibo"), QStringLiteral("Meibo.DB"));
    ASSERT_EQ(Entries.size(), 1);

    OpenHistoryExportList(Program);
    if (HasFatalFailure())
        return;
    Program.AnswerDialog(QStringLiteral("RecvHisFileExportList"), {}, QStringLiteral("btnExport"));
    Program.AnswerDialog(QStringLiteral("RecvHisFileExportList"), {}, QStringLiteral("btnExport"));
    const QString Refused =
        QStringLiteral("\r\nは Tolvane１６ が使用しているファイルのため  \r\n出力先に指定できません  ");
    ASSERT_TRUE(Program.WaitForBox(Meibo + Refused));
    ASSERT_TRUE(Program.WaitForBox(Link + Refused));

    EXPECT_EQ(Program.Rows(QStringLiteral("SELECT COUNT(*) FROM Meibo"), QStringLiteral("Meibo.DB")), Entries);
    EXPECT_EQ(Program.Rows(QStringLiteral("SELECT COUNT(*) FROM RecvHis")), QStringList{QStringLiteral("1")});
    EXPECT_TRUE(QFileInfo(Link).isSymLink());
    // A call after the refusals still finds its tables.
    ASSERT_EQ(Program.Ring(QStringLiteral("0312345679")), 0);
    EXPECT_TRUE(Program.WaitForRows(2));
    for (const QJsonObject& Box : Program.Boxes()) {
        EXPECT_FALSE(Box.value(QStringLiteral("text")).toString().contains(QStringLiteral("オープンできませんでした")));
    }
}

} // namespace
