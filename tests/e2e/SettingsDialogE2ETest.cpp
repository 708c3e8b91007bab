#include "tests/support/ProgramHarness.h"

#include <QFile>
#include <QJsonArray>
#include <QThread>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

// The last time the window log shows the window of that name.
QJsonObject LastFill(const TProgramHarness& Program, const QString& Window)
{
    const QList<QJsonObject> Fills = Program.WindowFills(Window);
    return Fills.isEmpty() ? QJsonObject() : Fills.last();
}

// An installation without the IP-PBX library still reaches its settings: that line kind is shown
// unavailable, and nothing ends the program.
TEST(SettingsDialogE2ETest, OpensWithoutTheOtherLineKindsLibrary)
{
    TProgramHarness Program;
    Program.CopyProgramFolder({QStringLiteral("VxComm3ip.so")});
    // A data folder that is gone leaves the settings incomplete: the start-up enters the settings.
    Program.SetSetting(QStringLiteral("COMMON"), QStringLiteral("DataPath"), Program.TempPath(QStringLiteral("gone")));
    ASSERT_TRUE(Program.Start());
    ASSERT_TRUE(Program.WaitForWindow(QStringLiteral("Environment")));
    const QJsonArray Disabled =
        LastFill(Program, QStringLiteral("Environment")).value(QStringLiteral("disabled")).toArray();
    EXPECT_TRUE(Disabled.contains(QStringLiteral("rbIPPBX")));
    EXPECT_FALSE(Disabled.contains(QStringLiteral("rbNormal")));
    for (const QJsonObject& Box : Program.Boxes())
        EXPECT_FALSE(Box.value(QStringLiteral("text")).toString().contains(QStringLiteral("VxComm3ip.so")))
            << "the missing library is told in the dialog, not in a box that ends the program";
    EXPECT_EQ(Program.Process().state(), QProcess::Running);
}

// The same from the menu window's "環境設定" while the program runs on its line: the dialog opens,
// and cancelling it leaves the program running.
TEST(SettingsDialogE2ETest, OpensFromTheMenuWithoutTheOtherLineKindsLibrary)
{
    TProgramHarness Program;
    Program.CopyProgramFolder({QStringLiteral("VxComm3ip.so")});
    ASSERT_TRUE(Program.StartAndWaitForLine());
    ASSERT_TRUE(Program.WaitForWindow(QStringLiteral("MainForm")));
    Program.AnswerDialog(QStringLiteral("MainForm"), {}, QStringLiteral("tbtnEnv"));
    ASSERT_TRUE(Program.WaitForWindow(QStringLiteral("Environment")));
    const QJsonArray Disabled =
        LastFill(Program, QStringLiteral("Environment")).value(QStringLiteral("disabled")).toArray();
    EXPECT_TRUE(Disabled.contains(QStringLiteral("rbIPPBX")));

    Program.AnswerDialog(QStringLiteral("Environment"), {}, QStringLiteral("btnCancel"));
    QThread::msleep(500);
    EXPECT_EQ(Program.Process().state(), QProcess::Running);
    EXPECT_EQ(Program.Ring(QStringLiteral("0312345678")), 0) << "the line is still open";
}

// The settings folder turns read-only while the program runs: "設定(&S)" says once that the file could not
// be written and why, the new value is in use but not on disk, and the program writes it as it ends once
// the folder can be written again.
TEST(SettingsDialogE2ETest, AFileThatCannotBeWrittenIsToldAndWrittenAtTheEnd)
{
    TProgramHarness Program;
    Program.WithoutPermissionOverride();
    ASSERT_TRUE(Program.StartAndWaitForLine());
    ASSERT_TRUE(Program.WaitForWindow(QStringLiteral("MainForm")));
    const QByteArray Folder = QFile::encodeName(Program.SettingsFolder());
    ASSERT_EQ(::chmod(Folder.constData(), 0500), 0);

    Program.AnswerDialog(QStringLiteral("MainForm"), {}, QStringLiteral("tbtnEnv"));
    ASSERT_TRUE(Program.WaitForWindow(QStringLiteral("Environment")));
    const QString NewName = QString::fromUtf16(u"用件");
    Program.AnswerDialog(QStringLiteral("Environment"), {{QStringLiteral("edtSelectItem1"), NewName}},
                         QStringLiteral("btnSet"));
    const QString Told = QString::fromUtf16(u"設定ファイル「") + Program.SettingsFolder() +
                         QString::fromUtf16(u"VxRelvo16.ini」に保存できませんでした  \r\n"
                                            u"アクセスが拒否されました。  \r\n\r\n"
                                            u"設定はこのまま使われ、次に保存するときにもう一度書き込みます  \r\n"
                                            u"終了するまでに保存できなければ、次回の起動には引き継がれません  ");
    ASSERT_TRUE(Program.WaitForBox(Told));
    EXPECT_EQ(Program.Setting(QStringLiteral("SCREEN VIEW"), QStringLiteral("SelectItem1")),
              QString::fromUtf16(u"内容"));

    ASSERT_EQ(::chmod(Folder.constData(), 0700), 0);
    ASSERT_TRUE(Program.Terminate());
    EXPECT_EQ(Program.Setting(QStringLiteral("SCREEN VIEW"), QStringLiteral("SelectItem1")), NewName);
    int Failures = 0;
    for (const QJsonObject& Box : Program.Boxes()) {
        if (Box.value(QStringLiteral("text")).toString().contains(QString::fromUtf16(u"保存できませんでした"))) {
            ++Failures;
            EXPECT_EQ(Box.value(QStringLiteral("caption")).toString(), QString::fromUtf16(u"Tolvane１６"));
        }
    }
    EXPECT_EQ(Failures, 1) << "the dialog's own section, closing with it, is not told twice";
}

} // namespace
