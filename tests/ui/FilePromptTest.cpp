#include "platform/ui/FilePrompt.h"

#include "main/common/CommonForms.h"
#include "tests/support/ScriptedBoxes.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Processes that tests start cannot click in a dialog: every prompt is logged and answered from
// VX_FILEDIALOG_ANSWERS in turn, the folder prompt of BrowseForFolder included.
TEST(FilePromptTest, ScriptedPromptsAreLoggedAndAnsweredInTurn)
{
    QTemporaryDir Dir;
    const QString Chosen = Dir.filePath(QStringLiteral("chosen"));
    ASSERT_TRUE(QDir().mkpath(Chosen));
    TScriptedBoxes Boxes;
    qputenv("VX_FILEDIALOG_ANSWERS", QFile::encodeName(Chosen + QStringLiteral("/,cancel,") + Dir.filePath("a.csv")));
    ResetFilePromptAnswers();

    QString Folder = Dir.path();
    EXPECT_TRUE(BrowseForFolder(Folder, nullptr, QStringLiteral("フォルダーの指定"), false, false));
    EXPECT_EQ(Folder, Chosen);
    TFilePrompt Open;
    Open.Title = QStringLiteral("開く");
    Open.StartFolder = Dir.path();
    Open.Filters = {QStringLiteral("テキストファイル (*.txt)"), QStringLiteral("すべてのファイル (*)")};
    EXPECT_EQ(RunFilePrompt(nullptr, Open), std::nullopt);
    EXPECT_EQ(RunFilePrompt(nullptr, Open), Dir.filePath("a.csv"));
    EXPECT_EQ(RunFilePrompt(nullptr, Open), std::nullopt) << "no answer left cancels";
    qunsetenv("VX_FILEDIALOG_ANSWERS");
    ResetFilePromptAnswers();

    const QList<QJsonObject> Logged = Boxes.Boxes();
    ASSERT_EQ(Logged.size(), 4);
    EXPECT_EQ(Logged[0].value("kind").toString(), QStringLiteral("folder"));
    EXPECT_EQ(Logged[0].value("title").toString(), QStringLiteral("フォルダーの指定"));
    EXPECT_EQ(Logged[0].value("folder").toString(), Dir.path());
    EXPECT_EQ(Logged[1].value("kind").toString(), QStringLiteral("open"));
    EXPECT_EQ(Logged[1].value("filter").toString(), QStringLiteral("テキストファイル (*.txt);;すべてのファイル (*)"));
}

} // namespace

namespace {

// A save prompt names the file it offers and hands back the filter the user left chosen.
TEST(FilePromptTest, SavePromptsTellTheirFileAndTheChosenFilter)
{
    TScriptedBoxes Boxes;
    qputenv("VX_FILEDIALOG_ANSWERS", "/tmp/out|2,/tmp/plain,cancel");
    ResetFilePromptAnswers();
    TFilePrompt Save;
    Save.Kind = TFilePrompt::EKind::SaveFile;
    Save.Title = QStringLiteral("名前を付けて保存");
    Save.StartFolder = QStringLiteral("/tmp");
    Save.SelectFile = QStringLiteral("Rireki.txt");
    Save.Filters = {QStringLiteral("テキストファイル (*.txt)"), QStringLiteral("ＣＳＶファイル (*.csv)")};
    int Filter = 0;
    Save.ChosenFilter = &Filter;
    EXPECT_EQ(RunFilePrompt(nullptr, Save), QStringLiteral("/tmp/out"));
    EXPECT_EQ(Filter, 2);
    EXPECT_EQ(RunFilePrompt(nullptr, Save), QStringLiteral("/tmp/plain"));
    EXPECT_EQ(Filter, 1);
    Filter = 0;
    EXPECT_EQ(RunFilePrompt(nullptr, Save), std::nullopt);
    EXPECT_EQ(Filter, 0) << "a cancelled prompt chose no filter";
    qunsetenv("VX_FILEDIALOG_ANSWERS");
    ResetFilePromptAnswers();

    const QList<QJsonObject> Logged = Boxes.Boxes();
    ASSERT_EQ(Logged.size(), 3);
    EXPECT_EQ(Logged[0].value("prompt").toString(), QStringLiteral("save"));
    EXPECT_EQ(Logged[0].value("file").toString(), QStringLiteral("Rireki.txt"));
}

} // namespace
