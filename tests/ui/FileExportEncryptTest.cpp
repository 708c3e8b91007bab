// The encrypted output of the export list window: what a failed build, a refused copy or a cancelled
// password leaves behind, and what an existing program file or a folder of the old working name
// meets.
#include "main/settings/Settings.h"
#include "platform/ini/IniFile.h"
#include "platform/ui/FilePrompt.h"
#include "tests/support/RecvData.h"
#include "tests/support/ScriptedBoxes.h"
#include "tests/support/WhenModal.h"
#include "tests/unit/HisTableFixture.h"
#include "transfer/export/ExportEncrypt.h"
#include "transfer/export/ExportRun.h"
#include "transfer/export/FExpPw.h"
#include "transfer/export/RHFELst.h"
#include "transfer/export/SfxLibrary.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

const QString Fixtures = QStringLiteral(VX_FIXTURE_DIR "/");

class FileExportEncryptTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Settings = TSettings();
        Settings.ListMaxCount = 10;
        Settings.DataPath = Data.Folder;
        SettingsPath = Data.Folder;
        ExportSettings() = TExportSettings();
        ExportSettings().Type = 0;
        ExportSettings().Range = 2;
        Out = Data.Folder + QStringLiteral("out/");
        ASSERT_TRUE(QDir().mkpath(Out + QStringLiteral("Encrypt.Tmp")));
        Write(Out + QStringLiteral("Encrypt.Tmp/mine.txt"), "mine");
        TTableUse Use(*DMVxRelvo16, TDataTable::RecvHis);
        AppendHistoryRows(*RecvHisTable, 5, [](int I) { return GeneratedRow(I); });
    }
    void TearDown() override
    {
        Settings = TSettings();
        SettingsPath.clear();
        ExportSettings() = TExportSettings();
        qunsetenv("VX_FILEDIALOG_ANSWERS");
        ResetFilePromptAnswers();
        UseSfxLibraryFolderForTests({});
        FailExeInstallForTests(false);
    }
    static void Write(const QString& Path, const QByteArray& Bytes)
    {
        QFile File(Path);
        ASSERT_TRUE(File.open(QIODevice::WriteOnly | QIODevice::Truncate));
        File.write(Bytes);
    }
    static QByteArray Read(const QString& Path)
    {
        QFile File(Path);
        return File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray("<missing>");
    }
    // One export to Out + Name, the password typed (empty: cancelled; null: the dialog is not to
    // come); the boxes it showed.
    QStringList Export(const QString& Name, const QByteArray& Answers, const char* Password = "Abc12345")
    {
        TRecvHisFileExportList List;
        List.SetLayout({{1, 2}}, ExportItemNames(List.Source(), {}));
        List.show();
        qputenv("VX_FILEDIALOG_ANSWERS", (Out + Name).toUtf8());
        ResetFilePromptAnswers();
        TScriptedBoxes Boxes(Answers);
        if (Password)
            WhenModal<TFileExportPassword>([Password](TFileExportPassword* Dialog) {
                Dialog->medtPassword1->setText(QString::fromLatin1(Password));
                Dialog->medtPassword2->setText(QString::fromLatin1(Password));
                (Password[0] ? Dialog->btnSet : Dialog->btnCancel)->click();
            });
        List.btnExport->click();
        return Boxes.Texts();
    }
    QStringList OutEntries() const
    {
        return QDir(Out).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    bool PathSaved() const
    {
        return TMemIniFile(SettingsFileName())
            .ValueExists(QStringLiteral("FILE EXPORT RECVHIS LIST"), QStringLiteral("FileEncrypt"));
    }
    TRecvData Data;
    QString Out;
};

const QString Question = QStringLiteral("登録されているデータ  5件すべてをテキストファイルに出力します  \r\n"
                                        "よろしいですか？  ");

TEST_F(FileExportEncryptTest, AFullDiskShowsItsMessageAndLeavesNothing)
{
    UseSfxLibraryFolderForTests(Fixtures + QStringLiteral("sfx_full"));
    EXPECT_EQ(Export(QStringLiteral("Rireki.txt"), "Yes"),
              (QStringList{Question, QStringLiteral("空き容量が足りなかったため出力できませんでした  ")}));
    EXPECT_EQ(OutEntries(), QStringList{QStringLiteral("Encrypt.Tmp")});
    EXPECT_EQ(Read(Out + QStringLiteral("Encrypt.Tmp/mine.txt")), "mine");
    EXPECT_EQ(QDir(Out + QStringLiteral("Encrypt.Tmp")).entryList(QDir::Files),
              QStringList{QStringLiteral("mine.txt")});
    EXPECT_FALSE(PathSaved());
}

TEST_F(FileExportEncryptTest, AProgramThatCannotBeCopiedIsNoSuccess)
{
    UseSfxLibraryFolderForTests(Fixtures + QStringLiteral("sfx_record"));
    FailExeInstallForTests(true);
    EXPECT_EQ(Export(QStringLiteral("Rireki.exe"), "Yes"),
              (QStringList{Question, ExeNotWrittenText(Out + QStringLiteral("Rireki.exe"))}));
    EXPECT_EQ(OutEntries(), QStringList{QStringLiteral("Encrypt.Tmp")});
    EXPECT_FALSE(PathSaved());

    // Once the copy works the program stands, and its path is kept.
    FailExeInstallForTests(false);
    const QStringList Shown = Export(QStringLiteral("Rireki.exe"), "Yes");
    ASSERT_EQ(Shown.size(), 2);
    EXPECT_EQ(Shown[1], ExportDoneText(5, 5));
    EXPECT_TRUE(Read(Out + QStringLiteral("Rireki.exe")).startsWith("SFX-FIXTURE\n"));
    EXPECT_TRUE(PathSaved());
}

TEST_F(FileExportEncryptTest, ACancelledPasswordOrAKeptProgramWritesNothing)
{
    UseSfxLibraryFolderForTests(Fixtures + QStringLiteral("sfx_record"));
    EXPECT_EQ(Export(QStringLiteral("Meibo"), "Yes", ""), QStringList{Question});
    EXPECT_EQ(OutEntries(), QStringList{QStringLiteral("Encrypt.Tmp")});

    Write(Out + QStringLiteral("Meibo.exe"), "earlier");
    const QStringList Shown = Export(QStringLiteral("Meibo"), "Yes,No", nullptr);
    EXPECT_EQ(Shown, (QStringList{Question, QStringLiteral("既にあるファイルを指定しました  \r\n"
                                                           "上書きしてもよろしいですか？  ")}));
    EXPECT_EQ(Read(Out + QStringLiteral("Meibo.exe")), "earlier");
    EXPECT_FALSE(PathSaved());
}

} // namespace
