#include "transfer/import/FImport.h"

#include "directory/Dashrule.h"
#include "main/settings/Settings.h"
#include "platform/ini/IniFile.h"
#include "platform/msg/CoreMessage.h"
#include "platform/text/Cp932.h"
#include "tests/support/RecvData.h"
#include "tests/support/Screenshots.h"
#include "tests/support/ScriptedBoxes.h"
#include "transfer/import/ConstIn.h"
#include "transfer/import/ImportRun.h"
#include "transfer/import/SetOrdVw.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QString BinFolder = QStringLiteral(VX_BIN_DIR "/");

class FImportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Settings = TSettings();
        SettingsPath = Data.Folder;
        // The logic's boxes go where the program sends them.
        SetCoreMessageBox([](const QString& Text, const QString& Caption, unsigned Flags) {
            return ShowMessageBox(nullptr, Text, Caption, Flags);
        });
    }
    void TearDown() override
    {
        SetCoreMessageBox({});
        Settings = TSettings();
        SettingsPath.clear();
    }

    void WriteInput(const QByteArray& Bytes, const QString& Name = QStringLiteral("in.csv"))
    {
        QFile File(Data.Folder + Name);
        ASSERT_TRUE(File.open(QIODevice::WriteOnly | QIODevice::Truncate));
        File.write(Bytes);
    }
    // A window with the file typed and read as the user does it: the name, then Enter.
    std::unique_ptr<TFileImport> Open(bool Directory, const QString& Name = QStringLiteral("in.csv"))
    {
        auto Window = std::make_unique<TFileImport>();
        (Directory ? Window->rbAddMeibo : Window->rbRecvHis)->click();
        Window->show();
        Window->edtFile->setText(Data.Folder + Name);
        Window->edtFile->setFocus();
        QTest::keyClick(Window->edtFile, Qt::Key_Return);
        return Window;
    }
    static QString Source(TFileImport& Window, int Row) { return Window.sgSrc->item(Row, 1)->text(); }
    static QString Piece(TFileImport& Window, int Row, int Column)
    {
        const QTableWidgetItem* Item = Window.sgDest->item(Row - 1, Column);
        return Item ? Item->text() : QString();
    }
    // Sets source field Field into destination Row with "セット" or "追加".
    static void Map(TFileImport& Window, int Field, int Row)
    {
        Window.sgSrc->setCurrentCell(Field, 1);
        Window.sgDest->setCurrentCell(Row - 1, 1);
        (Window.bbtnSet->isVisible() ? Window.bbtnSet : Window.bbtnAdd)->click();
    }

    TRecvData Data;
};

TEST_F(FImportTest, FirstLineFieldsKeepQuotesAndBlankHeadersStillImport)
{
    TScriptedBoxes Boxes("Yes,OK");
    WriteInput(Cp932Encode(QStringLiteral("a,\"b,c\",,  ,\"\"\r\n0311111111,x,名1,名2,名3\r\n")));
    auto Window = Open(true);
    ASSERT_EQ(Window->sgSrc->rowCount(), 5);
    EXPECT_EQ(Source(*Window, 1), QStringLiteral("\"b,c\""));
    Map(*Window, 0, 1);
    for (int Field = 2; Field <= 4; ++Field)
        Map(*Window, Field, 11);
    EXPECT_EQ(Piece(*Window, 11, 1), QStringLiteral("項目3"));
    EXPECT_EQ(Piece(*Window, 11, 2), QStringLiteral("項目4"));
    EXPECT_EQ(Piece(*Window, 11, 3), QStringLiteral("項目5"));
    Window->chkSkipRecord->setChecked(true);
    Window->chkNotAutoSupplement->setChecked(true);
    Window->btnImport->click();
    EXPECT_EQ(Data.Rows(MeiboFileName, "SELECT SchTel1, NameKanji FROM Meibo"), QStringList({"0311111111|名1名2名3"}));
    EXPECT_EQ(Window->result(), QDialog::Accepted);
}

TEST_F(FImportTest, AutoMappingTakesTheEarlierFieldAndLeavesQuotedHeaders)
{
    TScriptedBoxes Boxes("Yes,Yes");
    WriteInput(Cp932Encode(QStringLiteral("都道府県,住所,電話番号１,電話番号\r\n")));
    auto Directory = Open(true);
    Directory->bbtnAllSet->click();
    EXPECT_EQ(Piece(*Directory, 4, 1), QStringLiteral("都道府県"));
    EXPECT_EQ(Piece(*Directory, 4, 2), QStringLiteral("住所"));
    // Both telephone fields name 電話番号１'s entry; the earlier field wins, shown as its name.
    EXPECT_EQ(Directory->PieceCodes[1][1], QStringLiteral("2"));
    EXPECT_EQ(Piece(*Directory, 1, 1), QStringLiteral("電話番号１"));
    EXPECT_TRUE(Directory->chkSkipRecord->isChecked());

    WriteInput(Cp932Encode(QStringLiteral("\"着信日付\",ｼﾞｺｸ,時刻\r\n")), QStringLiteral("his.csv"));
    auto History = Open(false, QStringLiteral("his.csv"));
    History->bbtnAllSet->click();
    EXPECT_TRUE(History->PieceCodes[1][1].isEmpty());
    EXPECT_EQ(History->PieceCodes[1][2], QStringLiteral("2"));
}

TEST_F(FImportTest, NinePiecesCloseAddAndConstantUntilOneIsDeleted)
{
    WriteInput("a,b\r\n");
    auto Window = Open(true);
    for (int I = 0; I < 9; ++I)
        Map(*Window, I % 2, 3);
    EXPECT_FALSE(Window->bbtnAdd->isEnabled());
    EXPECT_FALSE(Window->bbtnConst->isEnabled());
    Window->bbtnDelete->click();
    EXPECT_TRUE(Window->bbtnAdd->isEnabled());
    EXPECT_TRUE(Window->bbtnConst->isEnabled());
    EXPECT_TRUE(Piece(*Window, 3, 9).isEmpty());
}

TEST_F(FImportTest, TheErrorFileIsRefusedInAnyCaseAndThroughALink)
{
    TScriptedBoxes Boxes;
    WriteInput("x\r\n", QStringLiteral("InError.txt"));
    ASSERT_TRUE(QFile::link(Data.Folder + QStringLiteral("InError.txt"), Data.Folder + QStringLiteral("link.csv")));
    for (const char* Name : {"INERROR.TXT", "link.csv"}) {
        auto Window = Open(false, QString::fromLatin1(Name));
        EXPECT_FALSE(Window->btnImport->isEnabled()) << Name;
        EXPECT_FALSE(Window->sgSrc->isEnabled()) << Name;
    }
    EXPECT_EQ(Boxes.Texts(), QStringList({ImportErrorFileRefusal, ImportErrorFileRefusal}));
}

// Directory records of the test, written as a CSV by the test itself, come back field for field.
TEST_F(FImportTest, DirectoryRecordsComeBackAsWrittenAndASecondRunReplacesNothing)
{
    ASSERT_EQ(LoadHyphenLibrary(BinFolder, BinFolder + QStringLiteral("Dic/")), 0);
    struct TRecord
    {
        QString Tel1, Tdfkn, Adrs1, CorpKanji, NameKanji, PrivCorp, Note;
    };
    QList<TRecord> Records;
    QString Csv = QStringLiteral("電話番号１,住所１,会社名漢字,名前漢字,個人法人区分,備考\r\n");
    auto Quote = [](QString Text) { return QLatin1Char('"') + Text.replace(u'"', QStringLiteral("\"\"")) + u'"'; };
    for (int I = 0; I < 200; ++I) {
        TRecord R;
        R.Tel1 = QStringLiteral("03%1").arg(10000000 + I * 7);
        R.Tdfkn = I % 3 == 0 ? QString() : QStringLiteral("大阪府");
        R.Adrs1 = QStringLiteral("北区～%1番①").arg(I);
        R.CorpKanji = I % 4 == 0 ? QString() : QStringLiteral("ｶﾞｽ,\"%1\"商会").arg(I);
        R.NameKanji = QStringLiteral("名前%1").arg(I);
        R.PrivCorp = I % 2 ? QStringLiteral("法人") : QStringLiteral("個人");
        R.Note = QStringLiteral("行%1\t二行目").arg(I);
        Records.append(R);
        Csv += QStringList({R.Tel1, Quote(R.Tdfkn + R.Adrs1), Quote(R.CorpKanji), R.NameKanji, R.PrivCorp, R.Note})
                   .join(u',') +
               QStringLiteral("\r\n");
    }
    WriteInput(Cp932Encode(Csv));

    for (int Run = 0; Run < 2; ++Run) {
        TScriptedBoxes Boxes("Yes,Yes,OK");
        auto Window = Open(true);
        Window->chkNotAutoSupplement->setChecked(true);
        Window->bbtnAllSet->click();
        Window->btnImport->click();
        const QStringList Texts = Boxes.Texts();
        ASSERT_EQ(Texts.size(), 3) << Run;
        EXPECT_EQ(Texts[1], QStringLiteral("テキストファイルの取り込みを開始します  \r\nよろしいですか？  "));
        EXPECT_EQ(Boxes.Boxes()[1].value(QStringLiteral("default")).toString(), QStringLiteral("No"));
        EXPECT_EQ(Texts[2], QStringLiteral("テキストファイルの取り込みが完了しました  \r\n\r\n読込件数 : 200 件\r\n"
                                           "登録件数 : %1 件")
                                .arg(Run == 0 ? 200 : 0));
    }
    EXPECT_TRUE(QFile::exists(Data.Folder + QStringLiteral("backupMB.imp/Meibo.DB")));
    const QStringList Rows =
        Data.Rows(MeiboFileName,
                  "SELECT RecNo, Tel1, Tdfkn, Adrs1, CorpKanji, NameKanji, PrivCorp, Note FROM Meibo ORDER BY RecNo");
    ASSERT_EQ(Rows.size(), 200);
    for (int I = 0; I < 200; ++I) {
        const TRecord& R = Records[I];
        EXPECT_EQ(Rows[I],
                  QStringList({QString::number(I), FormatTelHyphen(R.Tel1), R.Tdfkn, R.Adrs1, R.CorpKanji, R.NameKanji,
                               R.PrivCorp == QStringLiteral("法人") ? "1" : "0",
                               QString(R.Note).replace(u'\t', QStringLiteral("\r\n")) + QStringLiteral("\r\n")})
                      .join(u'|'));
    }
    EXPECT_NE(FormatTelHyphen(Records[0].Tel1), Records[0].Tel1) << "the hyphenation library hyphenates";
    QFile Errors(Data.Folder + QStringLiteral("InError.txt"));
    ASSERT_TRUE(Errors.open(QIODevice::ReadOnly));
    const QList<QByteArray> Lines = Errors.readAll().split('\n');
    EXPECT_EQ(Lines.size(), 201);
    EXPECT_TRUE(Lines[0].startsWith(
        "1," + Cp932Encode(QStringLiteral("同一電話番号データを上書きしない設定で同一電話番号出現,")) + "0310000000,"));
    FreeHyphenLibrary();
}

} // namespace

namespace {

// A history file of calls, date, time and number in the first three fields.
QByteArray Calls(int Count)
{
    QByteArray Text;
    for (int I = 0; I < Count; ++I)
        Text += "20261201,090000,03" + QByteArray::number(10000000 + I) + "\r\n";
    return Text;
}

void MapHistory(TFileImport& Window)
{
    for (int Field = 0; Field < 3; ++Field) {
        Window.sgSrc->setCurrentCell(Field, 1);
        Window.sgDest->setCurrentCell(Field, 1);
        Window.bbtnSet->click();
    }
}

TEST_F(FImportTest, ChecksBeforeTheRunStopWithTheirMessages)
{
    TScriptedBoxes Boxes;
    WriteInput(Calls(1));
    auto Window = Open(false);
    Window->btnImport->click();
    Window->sgSrc->setCurrentCell(2, 1);
    Window->sgDest->setCurrentCell(2, 1);
    Window->bbtnSet->click();
    Window->btnImport->click();
    Window->sgSrc->setCurrentCell(0, 1);
    Window->sgDest->setCurrentCell(0, 1);
    Window->bbtnSet->click();
    Window->btnImport->click();
    MapHistory(*Window);
    Window->chkSkipRecord->setChecked(true);
    Window->btnImport->click();
    EXPECT_EQ(Boxes.Texts(),
              QStringList({QStringLiteral("入力する項目がセットされていません  "),
                           QStringLiteral("着信日付は必須項目ですのでセットしてください  "),
                           QStringLiteral("着信時刻は必須項目ですのでセットしてください  "),
                           QStringLiteral("指定したテキストファイルには  \r\n内容が１件しかありませんでした  ")}));
    EXPECT_FALSE(QFile::exists(Data.Folder + QStringLiteral("backupRH.imp")));
    EXPECT_TRUE(Window->isVisible());
}

TEST_F(FImportTest, AFileThatWentAwayAfterReadingIsSaidSo)
{
    TScriptedBoxes Boxes;
    WriteInput(Calls(2));
    auto Window = Open(false);
    MapHistory(*Window);
    ASSERT_TRUE(QFile::remove(Data.Folder + QStringLiteral("in.csv")));
    Window->btnImport->click();
    ASSERT_EQ(Boxes.Boxes().size(), 1);
    EXPECT_TRUE(Boxes.Texts()[0].startsWith(QStringLiteral("テキストファイルが読み込めませんでした")));
    EXPECT_EQ(Boxes.Boxes()[0].value(QStringLiteral("icon")).toString(), QStringLiteral("Stop"));
}

// A field dropped on an item row is set there; held over the header it is refused and the items
// scroll up a row. The events go straight to the window's filter: the application delivers drag
// events only while a drag of its own is running.
TEST_F(FImportTest, DropsSetPiecesAndTheHeaderScrollsUp)
{
    WriteInput("a,b\r\n");
    auto Window = Open(true);
    Window->resize(Window->width(), 300);
    QTableWidget* Dest = Window->sgDest;
    Dest->verticalScrollBar()->setValue(3);
    Window->sgSrc->setCurrentCell(1, 1);
    QMimeData Data;
    Data.setData(QStringLiteral("application/x-tolvane-import-field"), "1");
    const QRect Cell = Dest->visualRect(Dest->model()->index(Dest->rowAt(5), 2));
    QDragMoveEvent Over(Cell.center(), Qt::CopyAction, &Data, Qt::LeftButton, Qt::NoModifier);
    (void)static_cast<QObject*>(Window.get())->eventFilter(Dest->viewport(), &Over);
    EXPECT_TRUE(Over.isAccepted());
    QDropEvent Drop(QPointF(Cell.center()), Qt::CopyAction, &Data, Qt::LeftButton, Qt::NoModifier);
    (void)static_cast<QObject*>(Window.get())->eventFilter(Dest->viewport(), &Drop);
    EXPECT_EQ(Piece(*Window, Dest->rowAt(5) + 1, 1), QStringLiteral("b"));

    QDragMoveEvent OverHeader(QPoint(10, 5), Qt::CopyAction, &Data, Qt::LeftButton, Qt::NoModifier);
    (void)static_cast<QObject*>(Window.get())->eventFilter(Dest->horizontalHeader(), &OverHeader);
    EXPECT_FALSE(OverHeader.isAccepted());
    EXPECT_EQ(Dest->verticalScrollBar()->value(), 2);
}

TEST_F(FImportTest, ABackupThatDoesNotFitStartsNothing)
{
    TScriptedBoxes Boxes("Yes");
    FileImportHooks().MeasureBackup = [](const QString&, const QStringList&, const QString&) {
        return TBackupMeasure{4096, 8192, 4096};
    };
    WriteInput(Calls(2));
    auto Window = Open(false);
    MapHistory(*Window);
    Window->btnImport->click();
    FileImportHooks().MeasureBackup = MeasureBackup;
    ASSERT_EQ(Boxes.Texts().size(), 2);
    EXPECT_TRUE(Boxes.Texts()[1].startsWith(QStringLiteral("バックアップを作成するための空き容量が不足しています")));
    EXPECT_TRUE(Data.Rows(RecvHisFileName, "SELECT RecNo FROM RecvHis").isEmpty());
    EXPECT_FALSE(QFile::exists(Data.Folder + QStringLiteral("backupRH.imp")));
}

TEST_F(FImportTest, TheLimitEndsTheRunTheSummaryFollowsAndTheListIsReloaded)
{
    Data.AddCall(99998, QStringLiteral("0399999999"));
    int Reloads = 0;
    FileImportHooks().ReloadHistoryList = [&] { ++Reloads; };
    TScriptedBoxes Boxes("Yes");
    WriteInput(Calls(3));
    auto Window = Open(false);
    MapHistory(*Window);
    Window->btnImport->click();
    FileImportHooks().ReloadHistoryList = {};
    EXPECT_EQ(Boxes.Texts().mid(1),
              QStringList({QStringLiteral("データ管理カウンタが一杯になり登録できませんでした  \r\n"
                                          "最適化処理を行うことにより登録できるようになります  "),
                           QStringLiteral("テキストファイルの取り込みが完了しました  \r\n\r\n読込件数 : 2 件\r\n"
                                          "登録件数 : 1 件")}));
    EXPECT_EQ(Reloads, 1);
    EXPECT_EQ(Window->result(), QDialog::Accepted);
    const TFileImportSettings Saved = ReadFileImportSettings(SettingsFileName());
    EXPECT_EQ(Saved.File, Data.Folder + QStringLiteral("in.csv"));
    EXPECT_EQ(Saved.ImportDest, TImportDest::RecvHis);
}

// Without the address library a run that completes addresses cannot start: the window says why
// with a stop icon, stays open, and saves nothing.
TEST_F(FImportTest, AnErrorOutsideALineIsShownAndNothingIsSaved)
{
    TScriptedBoxes Boxes("Yes");
    ProgramPath = Data.Folder;
    WriteInput("0311111111\r\n");
    auto Window = Open(true);
    Window->bbtnSet->click();
    Window->chkNotAutoSupplement->setChecked(false);
    Window->btnImport->click();
    ProgramPath.clear();
    const QList<QJsonObject> Shown = Boxes.Boxes();
    ASSERT_EQ(Shown.size(), 2);
    EXPECT_EQ(Shown[1].value(QStringLiteral("icon")).toString(), QStringLiteral("Stop"));
    EXPECT_TRUE(Window->isVisible());
    EXPECT_TRUE(Window->gbxFile->isEnabled());
    EXPECT_FALSE(TMemIniFile(SettingsFileName()).SectionExists(QStringLiteral("FILE IMPORT")));
}

TEST_F(FImportTest, TheFernbookNoticeComesForTheDirectoryOnly)
{
    TScriptedBoxes Boxes;
    Settings.UseFbAdrs = true;
    TFileImport Window;
    Window.show();
    EXPECT_TRUE(Boxes.Texts().isEmpty());
    Window.rbAddMeibo->click();
    Window.rbRecvHis->click();
    ASSERT_EQ(Boxes.Texts().size(), 1);
    EXPECT_TRUE(
        Boxes.Texts()[0].startsWith(QStringLiteral("ここでのテキストファイル取り込みはTolvaneの登録名簿が対象です")));
    EXPECT_FALSE(Window.chkSameReplace->isEnabled());
}

} // namespace

namespace {

TEST_F(FImportTest, PicturesOfTheWindowsAndTheirSmallDialogs)
{
    WriteInput(Cp932Encode(QStringLiteral("電話番号,会社名,\"住所\",,メモ\r\n")));
    auto Window = Open(true);
    Window->sgSrc->setCurrentCell(0, 1);
    Window->sgDest->setCurrentCell(0, 1);
    Window->bbtnSet->click();
    Window->sgSrc->setCurrentCell(3, 1);
    Window->bbtnAdd->click();
    SaveScreenshot(*Window, QStringLiteral("FileImport"));
    ExpectLabelsWhole(*Window, QStringLiteral("FileImport"));

    TConstantInput Input(Window.get());
    Input.SetMaxLength(8);
    Input.show();
    Input.btnDate->click();
    EXPECT_EQ(Input.GetValue(), QDate::currentDate().toString(QStringLiteral("yyyyMMdd")));
    Input.edtConst->setText(QStringLiteral("  "));
    Input.btnOk->click();
    EXPECT_EQ(Input.result(), QDialog::Rejected) << "a blank value sets nothing";
    Input.show();
    Input.edtConst->setText(QStringLiteral(" 固定 "));
    SaveScreenshot(Input, QStringLiteral("ConstantInput"));
    ExpectLabelsWhole(Input, QStringLiteral("ConstantInput"));
    Input.btnOk->click();
    EXPECT_EQ(Input.result(), QDialog::Accepted);
    EXPECT_EQ(Input.GetValue(), QStringLiteral("固定"));

    TSetOrderView View(Window.get());
    View.SetPieces({QStringLiteral("電話番号"), QStringLiteral("項目4")});
    View.show();
    EXPECT_EQ(View.sgOrder->item(1, 1)->text(), QStringLiteral("項目4"));
    SaveScreenshot(View, QStringLiteral("SetOrderView"));
}

} // namespace

// A UTF-8 file is read as UTF-8 when the user says so, and as CP932 when not; the question comes only
// for a file that looks like UTF-8.
TEST_F(FImportTest, AUtf8FileIsAskedAboutBeforeAnythingIsRead)
{
    const QString Question = QStringLiteral("指定したテキストファイルは UTF-8 で書かれているようです  \r\n"
                                            "UTF-8 として読み込みますか？  \r\n\r\n"
                                            "「いいえ」を選ぶと Shift_JIS (CP932) として読み込みます  ");
    WriteInput(QByteArray("\xEF\xBB\xBF") + QStringLiteral("着信日付,着信時刻,電話番号,会社名\r\n"
                                                           "20130401,090000,0311111111,東京商店\r\n")
                                                .toUtf8());
    {
        TScriptedBoxes Boxes("Yes,Yes,Yes,OK");
        auto Window = Open(false);
        EXPECT_EQ(Source(*Window, 3), QStringLiteral("会社名"));
        Window->bbtnAllSet->click();
        Window->btnImport->click();
        ASSERT_FALSE(Boxes.Texts().isEmpty());
        EXPECT_EQ(Boxes.Texts()[0], Question);
        EXPECT_EQ(Data.Rows(RecvHisFileName, "SELECT CorpKanji FROM RecvHis"), QStringList{"東京商店"});
    }
    {
        // Read as CP932 the bytes are other characters, and not even the same fields.
        TScriptedBoxes Boxes("No");
        auto Window = Open(false);
        for (int Row = 0; Row < Window->sgSrc->rowCount(); ++Row) {
            EXPECT_NE(Source(*Window, Row), QStringLiteral("会社名"));
        }
    }
    WriteInput(Cp932Encode(QStringLiteral("着信日付,着信時刻,電話番号,会社名\r\n")));
    TScriptedBoxes Boxes;
    auto Window = Open(false);
    EXPECT_EQ(Boxes.Texts(), QStringList());
    EXPECT_EQ(Source(*Window, 3), QStringLiteral("会社名"));
}

TEST_F(FImportTest, AFirstLineOfTooManyFieldsIsRefused)
{
    WriteInput(QByteArray(300000, ',') + "\r\n1\r\n");
    TScriptedBoxes Boxes;
    auto Window = Open(false);
    EXPECT_EQ(Boxes.Texts(), QStringList({QStringLiteral("指定したテキストファイルは１件目の項目数が多すぎるため  \r\n"
                                                         "取り込むことができません  ")}));
    for (int Row = 0; Row < Window->sgSrc->rowCount(); ++Row) {
        EXPECT_EQ(Source(*Window, Row), QString()) << Row;
    }
    EXPECT_FALSE(Window->btnImport->isEnabled());
}

// The backup holds the customers' data: a backup folder left open to others by an earlier version is
// closed by the next import.
TEST_F(FImportTest, TheBackupFolderIsTheOwnersAlone)
{
    const QString Backup = Data.Folder + QStringLiteral("backupRH.imp");
    ASSERT_TRUE(QDir().mkpath(Backup));
    ASSERT_TRUE(QFile::setPermissions(Backup, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                  QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                                  QFile::ExeOther));
    Data.AddCall(0, QStringLiteral("0399999999"));
    TScriptedBoxes Boxes("Yes");
    WriteInput(Calls(2));
    auto Window = Open(false);
    MapHistory(*Window);
    Window->btnImport->click();
    EXPECT_EQ(QFileInfo(Backup).permissions() & 0x0077, 0);
    EXPECT_TRUE(QFile::exists(Backup + QStringLiteral("/RecvHis.DB")));
    EXPECT_FALSE(QFile::exists(Data.Folder + ImportUnfinishedFileName));
}
