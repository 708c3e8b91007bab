// Export, import the file into an empty data folder and export again, all through the windows a
// user works with: the two files are the same bytes.
#include "directory/Dashrule.h"
#include "main/common/CommonText.h"
#include "main/settings/Settings.h"
#include "platform/ini/IniFile.h"
#include "platform/text/Cp932.h"
#include "platform/ui/FilePrompt.h"
#include "tests/support/RecvData.h"
#include "tests/support/ScriptedBoxes.h"
#include "tests/support/WhenModal.h"
#include "transfer/export/AMFELst.h"
#include "transfer/export/ExportSettings.h"
#include "transfer/export/FExpPw.h"
#include "transfer/export/FExport.h"
#include "transfer/export/RHFELst.h"
#include "transfer/import/FImport.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

constexpr double Day = 46000.0;

void AddCall(int RecNo, double When, const QString& Tel, const QStringList& Texts)
{
    TTableUse Use(*DMVxRelvo16, TDataTable::RecvHis);
    TTable& T = *RecvHisTable;
    T.Append();
    T.FieldByName(QStringLiteral("RecNo")).SetAsInteger(RecNo);
    T.FieldByName(QStringLiteral("RecvDateTime")).SetAsFloat(When);
    T.FieldByName(QStringLiteral("Tel")).SetAsString(Tel);
    // A withheld number keeps its letter as the search number, as the call road stores it.
    T.FieldByName(QStringLiteral("SchTel")).SetAsString(Tel == QStringLiteral("P") ? Tel : DigitsOnly(Tel));
    static const char* const Fields[] = {"CorpKana", "CorpKanji", "NameKana", "NameKanji", "Division",
                                         "Rank",     "SelItem1",  "SelItem2", "SelItem3"};
    for (int I = 0; I < Texts.size(); ++I)
        T.FieldByName(QLatin1String(Fields[I])).SetAsString(Texts[I]);
    T.Post();
}

void AddEntry(int RecNo, const QMap<QString, QString>& Values)
{
    TTableUse Use(*DMVxRelvo16, TDataTable::Meibo);
    TTable& T = *MeiboTable;
    T.Append();
    T.FieldByName(QStringLiteral("RecNo")).SetAsInteger(RecNo);
    T.FieldByName(QStringLiteral("AddDateTime")).SetAsFloat(Day + 0.25 + RecNo / 100.0);
    T.FieldByName(QStringLiteral("Msg")).SetAsInteger(1);
    for (auto It = Values.cbegin(); It != Values.cend(); ++It)
        T.FieldByName(It.key()).SetAsString(It.value());
    T.FieldByName(QStringLiteral("SchTel1")).SetAsString(DigitsOnly(Values.value(QStringLiteral("Tel1"))));
    T.FieldByName(QStringLiteral("SchTel2")).SetAsString(DigitsOnly(Values.value(QStringLiteral("Tel2"))));
    T.Post();
}

void Seed()
{
    AddCall(0, Day + 0.375, QStringLiteral("03-1234-5678"),
            {QStringLiteral("ｶﾞｽ"), QStringLiteral("山田,商店"), QStringLiteral("ﾔﾏﾀﾞ"), QStringLiteral("山田\"太郎\""),
             QStringLiteral("0"), QStringLiteral("Ａ"), QStringLiteral("見積～①"), QStringLiteral("折返し"),
             QStringLiteral("済")});
    AddCall(1, Day + 0.5, QStringLiteral("P"),
            {QString(), QStringLiteral("匿名"), QString(), QString(), QStringLiteral("0")});
    AddCall(2, Day + 1.625, QStringLiteral("090-1111-2222"),
            {QStringLiteral("ｽｽﾞｷ"), QStringLiteral("鈴木"), QString(), QString(), QStringLiteral("1")});
    AddEntry(0, {{QStringLiteral("Tel1"), QStringLiteral("03-1234-5678")},
                 {QStringLiteral("Tel2"), QStringLiteral("090-1111-2222")},
                 {QStringLiteral("Pos"), QStringLiteral("1000001")},
                 {QStringLiteral("Tdfkn"), QStringLiteral("東京都")},
                 {QStringLiteral("Adrs1"), QStringLiteral("千代田区")},
                 {QStringLiteral("Adrs2"), QStringLiteral("千代田１－１")},
                 {QStringLiteral("Adrs3"), QStringLiteral("\"ビル\",３階")},
                 {QStringLiteral("JisCode"), QStringLiteral("13101")},
                 {QStringLiteral("CorpKana"), QStringLiteral("ｶﾞｽﾔ")},
                 {QStringLiteral("CorpKanji"), QStringLiteral("山田,商店～①")},
                 {QStringLiteral("NameKana"), QStringLiteral("ﾔﾏﾀﾞ")},
                 {QStringLiteral("NameKanji"), QStringLiteral("山田太郎")},
                 {QStringLiteral("PrivCorp"), QStringLiteral("1")},
                 {QStringLiteral("Memo1"), QStringLiteral("メモ,一")},
                 {QStringLiteral("EMail"), QStringLiteral("yamada@example.jp")},
                 {QStringLiteral("Rank"), QStringLiteral("Ａ")},
                 {QStringLiteral("Msg1"), QStringLiteral("お得意様")},
                 {QStringLiteral("Note"), QStringLiteral("一行目\r\n\"二\"行目\r\n")}});
    AddEntry(1, {{QStringLiteral("Tel1"), QStringLiteral("06-9876-5432")},
                 {QStringLiteral("NameKanji"), QStringLiteral("大阪一郎")},
                 {QStringLiteral("Note"), QStringLiteral("一行\r\n")}});
}

// Writes every record of a source with the given items, all values quoted, with the header; as a
// self-restoring file under Password when it is given.
void ExportAllOf(int Source, int Items, bool Hyphens, const QString& Target, const QString& Password = {})
{
    TExportState State;
    State.Settings.Source = Source;
    State.Settings.Range = 2;
    State.Settings.Type = Password.isEmpty() ? 1 : 0;
    State.Settings.OutHeader = true;
    State.Settings.BindDblQuote = true;
    State.Settings.EditTelHyphen = Hyphens;
    State.Settings.EditPosHyphen = Hyphens;
    TExportLayout& Layout = Source == ExportSourceMeibo ? State.Meibo : State.History;
    for (int I = 0; I < Items; ++I)
        Layout.append({I + 1, I});
    {
        TMemIniFile Ini(SettingsFileName());
        WriteExportSettings(Ini, State);
        ASSERT_TRUE(Ini.UpdateFile());
    }
    qputenv("VX_FILEDIALOG_ANSWERS", Target.toUtf8());
    ResetFilePromptAnswers();
    // The scope's question, then a new target instead of the last one, when there is one.
    TScriptedBoxes Boxes("Yes,Yes");
    TFileExport Export(*DMVxRelvo16);
    Export.show();
    FileExportHooks().ShowList = [Password](QWidget* Owner, int From, const TExportLayout& Shown,
                                            const QStringList& Names) {
        std::unique_ptr<TFileExportList> List;
        if (From == ExportSourceMeibo)
            List = std::make_unique<TAddMeiboFileExportList>(Owner);
        else
            List = std::make_unique<TRecvHisFileExportList>(Owner);
        List->SetLayout(Shown, Names);
        WhenModal<TFileExportList>([Password](TFileExportList* Window) {
            if (!Password.isEmpty())
                WhenModal<TFileExportPassword>([Password](TFileExportPassword* Dialog) {
                    Dialog->medtPassword1->setText(Password);
                    Dialog->medtPassword2->setText(Password.toLower());
                    Dialog->btnSet->click();
                });
            Window->btnExport->click();
            Window->btnCancel->click();
        });
        List->exec();
    };
    Export.btnList->click();
    FileExportHooks() = {};
    ASSERT_FALSE(Boxes.Texts().isEmpty());
    EXPECT_TRUE(Boxes.Texts().last().startsWith(QStringLiteral("テキストファイル出力が完了しました")))
        << Boxes.Texts().join(u'|').toStdString();
}

void Import(int Source, const QString& File)
{
    qputenv("VX_FILEDIALOG_ANSWERS", File.toUtf8());
    ResetFilePromptAnswers();
    TScriptedBoxes Boxes("Yes,Yes,Yes");
    TFileImport Window;
    Window.show();
    (Source == ExportSourceMeibo ? Window.rbAddMeibo : Window.rbRecvHis)->click();
    Window.bbtnBrowseFile->click();
    Window.chkSkipRecord->setChecked(true);
    Window.chkNotAutoSupplement->setChecked(true);
    Window.bbtnAllSet->click();
    Window.btnImport->click();
    ASSERT_FALSE(Boxes.Texts().isEmpty());
    EXPECT_TRUE(Boxes.Texts().last().startsWith(QStringLiteral("テキストファイルの取り込みが完了しました")))
        << Boxes.Texts().join(u'|').toStdString();
}

QByteArray Read(const QString& Path)
{
    QFile File(Path);
    return File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray();
}

class ExportRoundTripTest : public ::testing::TestWithParam<bool>
{
protected:
    void SetUp() override
    {
        // The numbers are hyphenated as the running program does it, with the library of the program folder.
        const QString BinFolder = QStringLiteral(VX_BIN_DIR "/");
        ASSERT_EQ(LoadHyphenLibrary(BinFolder, BinFolder + QStringLiteral("Dic/")), 0);
        Settings = TSettings();
        SettingsPath = Dir.path() + u'/';
        ExportSettings() = TExportSettings();
    }
    void TearDown() override
    {
        FreeHyphenLibrary();
        Settings = TSettings();
        SettingsPath.clear();
        ExportSettings() = TExportSettings();
        qunsetenv("VX_FILEDIALOG_ANSWERS");
        ResetFilePromptAnswers();
    }
    QTemporaryDir Dir;
};

} // namespace

TEST_P(ExportRoundTripTest, TheFileComesBackTheSame)
{
    const bool Hyphens = GetParam();
    const QString First = Dir.filePath(QStringLiteral("first"));
    const QString Second = Dir.filePath(QStringLiteral("second"));
    {
        TRecvData Data;
        Settings.DataPath = Data.Folder;
        Seed();
        ExportAllOf(ExportSourceHistory, 12, Hyphens, First + QStringLiteral("-calls.txt"));
        ExportAllOf(ExportSourceMeibo, 26, Hyphens, First + QStringLiteral("-meibo.txt"));
    }
    {
        TRecvData Data;
        Settings.DataPath = Data.Folder;
        Import(ExportSourceHistory, First + QStringLiteral("-calls.txt"));
        Import(ExportSourceMeibo, First + QStringLiteral("-meibo.txt"));
        ExportAllOf(ExportSourceHistory, 12, Hyphens, Second + QStringLiteral("-calls.txt"));
        ExportAllOf(ExportSourceMeibo, 26, Hyphens, Second + QStringLiteral("-meibo.txt"));
    }
    for (const QString& Name : {QStringLiteral("-calls.txt"), QStringLiteral("-meibo.txt")}) {
        const QByteArray Before = Read(First + Name);
        EXPECT_GT(Before.count("\r\n"), 2) << Name.toStdString();
        const QByteArray After = Read(Second + Name);
        EXPECT_TRUE(After == Before) << Name.toStdString() << "\n"
                                     << Cp932Decode(Before, TDecodeMode::Substitute).value_or(QString()).toStdString()
                                     << "\n"
                                     << Cp932Decode(After, TDecodeMode::Substitute).value_or(QString()).toStdString();
    }
}

// Exported as a self-restoring file (typed as .txt), restored by the file itself, imported into an
// empty data folder and exported as plain text: the same bytes as the plain export of the original.
TEST_P(ExportRoundTripTest, AnEncryptedExportRestoresToThePlainExport)
{
    const bool Hyphens = GetParam();
    const QString Plain = Dir.filePath(QStringLiteral("plain-calls.txt"));
    const QString Packed = Dir.filePath(QStringLiteral("packed/"));
    const QString Restored = Dir.filePath(QStringLiteral("restored/"));
    ASSERT_TRUE(QDir().mkpath(Restored));
    {
        TRecvData Data;
        Settings.DataPath = Data.Folder;
        Seed();
        ExportAllOf(ExportSourceHistory, 12, Hyphens, Plain);
        ExportAllOf(ExportSourceHistory, 12, Hyphens, Packed + QStringLiteral("calls.txt"), QStringLiteral("AbC12345"));
    }
    EXPECT_EQ(QDir(Packed).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("calls.exe")})
        << "no working folder and no plain text stay beside the program file";
    EXPECT_EQ(TMemIniFile(SettingsFileName())
                  .ReadString(QStringLiteral("FILE EXPORT RECVHIS LIST"), QStringLiteral("FileEncrypt"), {}),
              Packed + QStringLiteral("calls.exe"));

    QProcess Restore;
    Restore.start(Packed + QStringLiteral("calls.exe"), {Restored});
    Restore.write("abc12345\n");
    Restore.closeWriteChannel();
    ASSERT_TRUE(Restore.waitForFinished(60000));
    ASSERT_EQ(Restore.exitCode(), 0) << Restore.readAllStandardError().toStdString();
    EXPECT_EQ(Read(Restored + QStringLiteral("calls.txt")), Read(Plain));

    const QString Again = Dir.filePath(QStringLiteral("again-calls.txt"));
    {
        TRecvData Data;
        Settings.DataPath = Data.Folder;
        Import(ExportSourceHistory, Restored + QStringLiteral("calls.txt"));
        ExportAllOf(ExportSourceHistory, 12, Hyphens, Again);
    }
    EXPECT_GT(Read(Plain).count("\r\n"), 2);
    EXPECT_TRUE(Read(Again) == Read(Plain));
}

INSTANTIATE_TEST_SUITE_P(BothHyphenOptions, ExportRoundTripTest, ::testing::Bool());
