// The conversion of the directory into an address book: the fields, the rank merge and the limits
// through the conversion itself, and the page's command with its checks, its backup and its book choice.
#include "utility/fernbook/FbConvert.h"

#include "main/identify/DBInfoFb.h"
#include "platform/sys/SingleInstance.h"
#include "tests/support/FbBookInUse.h"
#include "tests/support/FbWorld.h"
#include "tests/support/ProgramHarness.h"
#include "tests/support/Screenshots.h"
#include "tests/support/ScriptedBoxes.h"
#include "tests/support/SqlRows.h"
#include "tests/support/WhenModal.h"
#include "utility/forms/AddressSelect.h"
#include "utility/forms/UtilMainForm.h"
#include "utility/start/UtilityRunning.h"
#include "main/start/ProgramStart.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace Utility;

namespace {

using TRow = QMap<QString, QString>;

TFbConvertCounts Convert(const TFbWorld& World, const QString& Book, const TFbConvertChoice& Choice = {})
{
    TDMVxRelvo16 Module(World.Data(), ProgramPath);
    KeywordPath = World.Fb() + QStringLiteral("History/");
    return ConvertToFernbook(Module, World.Book(Book), Choice);
}

TEST(FbConvertTest, EachDirectoryFieldLandsWhereTheChoicesSay)
{
    TFbWorld World;
    TScriptedBoxes Boxes;
    QDir().mkpath(World.Book(QStringLiteral("Book")));
    World.AddMeibo({TRow{{"SchTel1", "09011112222"},
                         {"Tel1", "090-1111-2222"},
                         {"SchTel2", "0312345678"},
                         {"NameKanji", "山田太郎"},
                         {"PrivCorp", "0"},
                         {"Memo1", "m1"},
                         {"Memo2", "m2"},
                         {"Memo3", "m3"},
                         {"Msg1", "s1"},
                         {"Msg2", "s2"},
                         {"Rank", "A"},
                         {"BGColor", "$D8E9EC"},
                         {"EMail", "a@b.jp"},
                         {"Adrs2", "千代田区"},
                         {"Note", "覚え"}},
                    TRow{{"CorpKanji", "山田商店"}, {"PrivCorp", "1"}, {"BGColor", "xyz"}, {"Memo2", "only2"}},
                    TRow{{"PrivCorp", ""}, {"BGColor", "123"}}});
    TFbConvertChoice Choice;
    Choice.Tel1Set = 2; // 携帯1
    Choice.Tel2Set = 0; // TEL
    const TFbConvertCounts Counts = Convert(World, QStringLiteral("Book"), Choice);
    EXPECT_EQ(Counts.Records, 3);
    const auto Rows = World.Rows(QStringLiteral("Book"));
    ASSERT_EQ(Rows.size(), 3);
    const auto& First = Rows[0];
    EXPECT_EQ(First["Portable1"].toString(), QStringLiteral("09011112222"));
    EXPECT_EQ(First["Tel"].toString(), QStringLiteral("0312345678"));
    EXPECT_EQ(First["Fax"].toString(), QString());
    QStringList Keywords;
    for (int I = 1; I <= 8; ++I)
        Keywords << First[QStringLiteral("Keyword%1").arg(I)].toString();
    EXPECT_EQ(Keywords, (QStringList{"m1", "m2", "m3", "s1", "s2", "A", "", ""}));
    EXPECT_EQ(First["SymbolColor"].toString(), QStringLiteral("14215660"));
    EXPECT_TRUE(First["PrivCorp"].toBool()); // a person
    EXPECT_EQ(First["EMail1"].toString(), QStringLiteral("a@b.jp"));
    EXPECT_EQ(First["Note"].toString(), QStringLiteral("覚え"));
    EXPECT_TRUE(First["JointPrint3"].toBool());
    EXPECT_FALSE(First["IgnoreName"].toBool());
    const double Added = First["AddDateTime"].toDouble();
    EXPECT_GT(Added, 0);
    EXPECT_EQ(DaysToDateTime(Added).time().msec(), 0);
    EXPECT_FALSE(Rows[1]["PrivCorp"].toBool()); // the directory's company
    EXPECT_EQ(Rows[1]["SymbolColor"].toString(), QStringLiteral("0"));
    EXPECT_EQ(Rows[1]["Keyword2"].toString(), QStringLiteral("only2"));
    EXPECT_TRUE(Rows[2]["PrivCorp"].toBool());
    EXPECT_EQ(Rows[2]["SymbolColor"].toString(), QStringLiteral("123"));
    EXPECT_TRUE(Boxes.Texts().isEmpty());

    // Two memos sent to one keyword: the later one stands.
    QDir(World.Book(QStringLiteral("Two"))).mkpath(QStringLiteral("."));
    Choice.Memo2 = 0;
    ASSERT_EQ(Convert(World, QStringLiteral("Two"), Choice).Records, 3);
    EXPECT_EQ(World.Rows(QStringLiteral("Two"))[0]["Keyword1"].toString(), QStringLiteral("m2"));
}

// A new book is loaded without its indexes, which the commit builds: an error half-way still leaves
// the records posted before it in a book with every index.
TEST(FbConvertTest, RecordsPostedBeforeAnErrorStayInABookWithEveryIndex)
{
    TFbWorld World;
    TScriptedBoxes Boxes;
    QDir().mkpath(World.Book(QStringLiteral("Book")));
    QList<TRow> Directory;
    for (int I = 0; I < 6; ++I)
        Directory.append(
            TRow{{"SchTel1", QStringLiteral("0311%1").arg(I)}, {"NameKana", QStringLiteral("ｶ%1").arg(5 - I)}});
    World.AddMeibo(Directory);
    TDMVxRelvo16 Module(World.Data(), ProgramPath);
    KeywordPath = World.Fb() + QStringLiteral("History/");
    EXPECT_THROW((void)ConvertToFernbook(Module, World.Book(QStringLiteral("Book")), {},
                                         [](int Done, int) {
                                             if (Done == 4)
                                                 throw std::runtime_error("stopped");
                                         }),
                 std::runtime_error);
    EXPECT_EQ(World.Rows(QStringLiteral("Book")).size(), 4);

    DefaultSession().AddPassword(AdrsPassword(0));
    TTable Adrs;
    Adrs.SetDatabaseName(World.Book(QStringLiteral("Book")));
    Adrs.SetTableName(AdrsFileName);
    Adrs.Open();
    QStringList Made;
    for (const TIndexDef& Index : AdrsTableDef().Indexes)
        if (!Index.Primary)
            Made << QStringLiteral("Adrs_") + Index.Name;
    Made.sort();
    EXPECT_EQ(SqlIndexNames(Adrs.FileName()), Made);
    EXPECT_EQ(Adrs.IntegrityCheck(), QStringList());
    Adrs.SetIndexName(QStringLiteral("NameKana"));
    QStringList Kana;
    for (Adrs.First(); !Adrs.Eof(); Adrs.Next())
        Kana << Adrs.FieldByName(QStringLiteral("NameKana")).AsString();
    EXPECT_EQ(Kana, (QStringList{"ｶ2", "ｶ3", "ｶ4", "ｶ5"}));
}

TEST(FbConvertTest, TheRankListStandsAtTheTopOfItsKeywordListInItsOwnOrder)
{
    TFbWorld World;
    TScriptedBoxes Boxes;
    QDir().mkpath(World.Book(QStringLiteral("Book")));
    TFbWorld::WriteList(World.Data() + QStringLiteral("Rank.mtd"), 20, {"A", "B", "C"});
    TFbWorld::WriteList(World.Fb() + QStringLiteral("History/Keyword1.mtd"), 100, {"x", "B"});
    const TFbConvertCounts Counts = Convert(World, QStringLiteral("Book"));
    EXPECT_EQ(Counts.Records, 0);
    EXPECT_EQ(Counts.Ranks, 3);
    EXPECT_EQ(TFbWorld::ReadList(World.Fb() + QStringLiteral("History/Keyword1.mtd"), 100),
              (QStringList{"A", "B", "C", "x"}));
    EXPECT_TRUE(QFileInfo::exists(World.Book(QStringLiteral("Book")) + AdrsFileName));
}

TEST(FbConvertTest, AnEmptyDirectoryAndRankListOpenNothing)
{
    TFbWorld World;
    TScriptedBoxes Boxes;
    QDir().mkpath(World.Book(QStringLiteral("Book")));
    TFbWorld::WriteList(World.Data() + QStringLiteral("Rank.mtd"), 20, {});
    const TFbConvertCounts Counts = Convert(World, QStringLiteral("Book"));
    EXPECT_EQ(Counts.Records + Counts.Ranks, 0);
    EXPECT_FALSE(QFileInfo::exists(World.Book(QStringLiteral("Book")) + AdrsFileName));
    EXPECT_FALSE(QFileInfo::exists(World.Fb() + QStringLiteral("History")));
}

TEST(FbConvertTest, ABookAtTheLastRecordNumberTakesNothingAndSaysWhy)
{
    TFbWorld World;
    World.AddMeibo({TRow{{"NameKanji", "a"}}});
    for (const int Held : {1, 100000}) {
        const QString Name = QStringLiteral("Full%1").arg(Held);
        World.MakeBook(Name);
        {
            DefaultSession().AddPassword(AdrsPassword(0));
            TTable Table;
            Table.SetDatabaseName(World.Book(Name));
            Table.SetTableName(AdrsFileName);
            Table.Open();
            TTableTransaction Transaction(Table);
            for (int I = 0; I < Held; ++I) {
                Table.Append();
                Table.FieldByName(QStringLiteral("RecNo")).SetAsInteger(Held == 1 ? 99999 : I + 1);
                Table.Post();
            }
            Transaction.Commit();
        }
        TScriptedBoxes Boxes;
        EXPECT_EQ(Convert(World, Name).Records, 0);
        EXPECT_EQ(Boxes.Texts(), QStringList{Held < 100000 ? FbCounterFullText : FbBookFullText});
        EXPECT_EQ(World.Rows(Name).size(), Held);
    }
}

// The page of a window on the world, with book "Book" chosen through the dialog.
struct TPage
{
    explicit TPage(const TFbWorld& World) : World(World) { Form.pgctlUtility->setCurrentWidget(Form.tabstFbConvert); }
    void Choose(const QString& Name)
    {
        WhenModal<TAddressSelect>([Name](TAddressSelect* Dialog) {
            const auto Listed = Dialog->lvAdrs->findItems(Name, Qt::MatchExactly);
            if (Listed.isEmpty()) {
                Dialog->edtNew->setText(Name);
            } else {
                Dialog->rbOpen->click();
                Dialog->lvAdrs->setCurrentItem(Listed.first());
            }
            Dialog->btnOk->click();
        });
        Form.bbtnSelectAdrs->click();
    }
    const TFbWorld& World;
    TMainForm Form;
};

TEST(FbConvertPageTest, TheCommandBacksUpConvertsAndRestoresTheDataFolder)
{
    TFbWorld World;
    World.MakeBook(QStringLiteral("Book"));
    World.AddMeibo({TRow{{"SchTel1", "0311112222"}}, TRow{{"SchTel1", "0311113333"}}});
    TFbWorld::WriteList(World.Data() + QStringLiteral("Rank.mtd"), 20, {"A"});
    TMemIniFile Ini(SettingsFileName());
    Ini.WriteInteger(QStringLiteral("USE FBADRS"), QStringLiteral("rank"), 2);
    ASSERT_TRUE(Ini.UpdateFile());
    const QString Source = World.Path(QStringLiteral("source/"));
    QDir().mkpath(Source);
    QFile::copy(World.Data() + MeiboFileName, Source + MeiboFileName);
    QFile::copy(World.Data() + QStringLiteral("Rank.mtd"), Source + QStringLiteral("Rank.mtd"));
    TScriptedBoxes Boxes("Yes,Yes");
    TPage Page(World);
    EXPECT_TRUE(Page.Form.bbtnSelectAdrs->isEnabled());
    EXPECT_EQ(Page.Form.edtDestFbDataPath->text(), World.Fb());
    Page.Choose(QStringLiteral("Book"));
    EXPECT_EQ(Page.Form.pnlAdrs->text(), QStringLiteral("Book"));
    Page.Form.edtSrcVxDataPath->setText(Source);
    Page.Form.show();
    SaveScreenshot(Page.Form, QStringLiteral("FbConvertPage"));
    ExpectLabelsWhole(Page.Form, QStringLiteral("FbConvertPage"));
    const QString Before = DataPath;
    Page.Form.bbtnFbConvert->click();
    EXPECT_EQ(DataPath, Before);
    const QStringList Texts = Boxes.Texts();
    ASSERT_EQ(Texts.size(), 3) << Texts.join(QStringLiteral("|")).toStdString();
    EXPECT_TRUE(Texts[0].startsWith(QStringLiteral("コンバート前にコンバート先のアドレス帳の　 \r\n")));
    EXPECT_EQ(Texts[1], QStringLiteral("アドレス帳のバックアップを完了しました  \r\nコンバートを実行しますか？  "));
    EXPECT_EQ(
        Texts[2],
        QStringLiteral("コンバートが終了しました  \r\n\r\nコンバート件数\r\n登録名簿\t\t2件　\r\nランク\t\t1件　"));
    EXPECT_EQ(World.Rows(QStringLiteral("Book")).size(), 2);
    EXPECT_TRUE(QFileInfo::exists(World.Data() + QStringLiteral("backup.CnvFbAdrs/Book/Adrs.DB")));
    EXPECT_EQ(TFbWorld::ReadList(World.Fb() + QStringLiteral("History/Keyword3.mtd"), 100), QStringList{"A"});
    EXPECT_EQ(Page.Form.pgbarFbConvert->value(), 0);
}

// The book the page converts into is the one the main program, started as a process on it,
// identifies a caller in.
TEST(FbConvertPageTest, TheMainProgramIdentifiesACallerFromTheBookThePageConverted)
{
    TFbWorld World;
    World.AddMeibo({TRow{{"SchTel1", "0312345678"}, {"NameKanji", "変換太郎"}, {"PrivCorp", "0"}}});
    const QString Source = World.Path(QStringLiteral("source/"));
    QDir().mkpath(Source);
    ASSERT_TRUE(QFile::copy(World.Data() + MeiboFileName, Source + MeiboFileName));
    {
        TScriptedBoxes Boxes("Yes,Yes");
        TPage Page(World);
        Page.Choose(QStringLiteral("得意先"));
        ASSERT_EQ(Page.Form.pnlAdrs->text(), QStringLiteral("得意先"));
        Page.Form.edtSrcVxDataPath->setText(Source);
        Page.Form.bbtnFbConvert->click();
        ASSERT_EQ(Boxes.Texts().size(), 3) << Boxes.Texts().join(QStringLiteral("|")).toStdString();
        EXPECT_EQ(Boxes.Texts().last().toStdString(),
                  "コンバートが終了しました  \r\n\r\nコンバート件数\r\n登録名簿\t\t1件　\r\nランク\t\t0件　");
    }

    TProgramHarness Program;
    ASSERT_TRUE(UseFbBookInProgram(Program, World.Fb(), QStringLiteral("得意先")));
    ASSERT_TRUE(Program.StartAndWaitForLine());
    ASSERT_EQ(Program.Ring(QStringLiteral("0312345678")), 0);
    ASSERT_TRUE(Program.WaitForRows(1));
    EXPECT_EQ(Program.Rows(QStringLiteral("SELECT NameKanji FROM RecvHis")), QStringList{QStringLiteral("変換太郎")});
}

TEST(FbConvertPageTest, ARunningEditionStopsTheCommandBeforeAnythingChanges)
{
    TFbWorld World;
    QDir().mkpath(World.Book(QStringLiteral("Book")));
    World.AddMeibo({TRow{{"SchTel1", "0311112222"}}});
    TSingleInstance Lock(FbInstanceName(0));
    ASSERT_EQ(Lock.Acquire(), TSingleInstance::EAcquire::Acquired);
    TScriptedBoxes Boxes("Yes,Yes");
    TPage Page(World);
    Page.Choose(QStringLiteral("Book"));
    Page.Form.bbtnFbConvert->click();
    EXPECT_EQ(Boxes.Texts(),
              QStringList{QStringLiteral(
                  "「Fernbook2013」が動作中です  \r\n「Fernbook2013」を終了してから実行してください  ")});
    EXPECT_FALSE(QFileInfo::exists(World.Book(QStringLiteral("Book")) + AdrsFileName));
}

TEST(FbConvertPageTest, TheMainProgramsFolderIsKnownHoweverTheSourceSpellsIt)
{
    TFbWorld World;
    QDir().mkpath(World.Book(QStringLiteral("Book")));
    World.AddMeibo({TRow{{"SchTel1", "0311112222"}}});
    TSingleInstance Main(MAIN_INSTANCE_NAME);
    ASSERT_EQ(Main.Acquire(), TSingleInstance::EAcquire::Acquired);
    const QString Data = QDir(DataPath).absolutePath();
    ASSERT_TRUE(QFile::link(Data, Data + QStringLiteral("-link")));
    for (const QString& Source : {DataPath + QStringLiteral("./"), Data + QStringLiteral("-link")}) {
        SCOPED_TRACE(Source.toStdString());
        TScriptedBoxes Boxes("Yes,Yes");
        TPage Page(World);
        Page.Choose(QStringLiteral("Book"));
        Page.Form.edtSrcVxDataPath->setText(Source);
        Page.Form.bbtnFbConvert->click();
        EXPECT_EQ(Boxes.Texts(), QStringList{QString::fromUtf8(MainProgramRunningMessage)});
        EXPECT_FALSE(QFileInfo::exists(World.Book(QStringLiteral("Book")) + AdrsFileName));
    }
    QFile::remove(Data + QStringLiteral("-link"));
}

TEST(FbConvertPageTest, AFailedBackupKeepsTheEarlierCopyAndLetsTheUserDecide)
{
    TFbWorld World;
    World.MakeBook(QStringLiteral("Book"));
    World.AddMeibo({TRow{{"SchTel1", "0311112222"}}});
    const QString Earlier = World.Data() + QStringLiteral("backup.CnvFbAdrs/Book/");
    QDir().mkpath(Earlier);
    QFile Old(Earlier + QStringLiteral("Adrs.DB"));
    ASSERT_TRUE(Old.open(QIODevice::WriteOnly));
    Old.write("earlier");
    Old.close();
    // A file the copy cannot read.
    ASSERT_TRUE(QFile::link(World.Path(QStringLiteral("nowhere")), World.Book(QStringLiteral("Book")) + "Lost.txt"));
    TScriptedBoxes Boxes("Yes,No");
    TPage Page(World);
    Page.Choose(QStringLiteral("Book"));
    Page.Form.edtSrcVxDataPath->setText(World.Data());
    Page.Form.bbtnFbConvert->click();
    ASSERT_EQ(Boxes.Texts().size(), 2) << Boxes.Texts().join(QStringLiteral("|")).toStdString();
    EXPECT_EQ(Boxes.Texts()[1],
              QStringLiteral("アドレス帳のバックアップに失敗しました  \r\nこのままコンバートを実行しますか？  "));
    EXPECT_EQ(TUtilityWorld::Bytes(Earlier + QStringLiteral("Adrs.DB")), QByteArray("earlier"));
    EXPECT_EQ(QDir(World.Data() + QStringLiteral("backup.CnvFbAdrs"))
                  .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{QStringLiteral("Book")});
    EXPECT_TRUE(World.Rows(QStringLiteral("Book")).isEmpty());
}

TEST(FbConvertPageTest, TheChecksStopTheCommandInTheirOrder)
{
    TFbWorld World;
    QDir().mkpath(World.Book(QStringLiteral("Book")));
    TScriptedBoxes Boxes("OK,OK,OK,OK,OK,Cancel");
    TPage Page(World);
    TMainForm& Form = Page.Form;
    Form.bbtnFbConvert->click();
    Page.Choose(QStringLiteral("Book"));
    Form.edtSrcVxDataPath->setText(QStringLiteral(" "));
    Form.bbtnFbConvert->click();
    Form.edtSrcVxDataPath->setText(World.Path(QStringLiteral("none")));
    Form.bbtnFbConvert->click();
    Form.edtSrcVxDataPath->setText(World.Data());
    Form.cbxTel2Set->setCurrentIndex(0);
    Form.bbtnFbConvert->click();
    Form.cbxTel2Set->setCurrentIndex(1);
    Form.edtSrcVxDataPath->setText(World.Book(QStringLiteral("Book")));
    Form.bbtnFbConvert->click();
    Form.edtSrcVxDataPath->setText(World.Data());
    Form.bbtnFbConvert->click(); // passes every check: the backup question is cancelled
    const QStringList Texts = Boxes.Texts();
    ASSERT_EQ(Texts.size(), 6) << Texts.join(QStringLiteral("|")).toStdString();
    EXPECT_EQ(Texts[0], QStringLiteral("コンバート先のアドレス帳を指定してください  "));
    EXPECT_EQ(Texts[1], QStringLiteral("「Tolvane１６」のデータ保存フォルダーを指定してください  "));
    EXPECT_EQ(Texts[2], QStringLiteral("「Tolvane１６」のデータ保存フォルダーが見つかりません  "));
    EXPECT_EQ(Texts[3], QStringLiteral("電話番号1と電話番号2のコピー先が同一です  \r\n違う項目を指定してください  "));
    EXPECT_EQ(
        Texts[4],
        QStringLiteral("コンバート元とコンバート先のフォルダーが同一です  \r\n違うフォルダーを指定してください  "));
    EXPECT_TRUE(Texts[5].startsWith(QStringLiteral("コンバート前に")));
    EXPECT_FALSE(QFileInfo::exists(World.Book(QStringLiteral("Book")) + AdrsFileName));
}

TEST(FbConvertPageTest, TheBookChoiceKeepsItsStateOnCancelAndRebuildsTheListEachTime)
{
    TFbWorld World;
    World.MakeBook(QStringLiteral("A"));
    World.MakeBook(QStringLiteral("B"));
    TScriptedBoxes Boxes;
    TPage Page(World);
    TMainForm& Form = Page.Form;
    // A book made in the dialog is found in the list when it returns.
    Page.Choose(QStringLiteral("New"));
    EXPECT_EQ(Form.pnlAdrs->text(), QStringLiteral("New"));
    ASSERT_GE(Form.ChosenAdrsBook(), 0);
    EXPECT_EQ(FbAdrsBooks[Form.ChosenAdrsBook()].Folder, QStringLiteral("New"));
    EXPECT_TRUE(QFileInfo(World.Book(QStringLiteral("New"))).isDir());
    Page.Choose(QStringLiteral("B"));
    const int Chosen = Form.ChosenAdrsBook();
    EXPECT_EQ(FbAdrsBooks[Chosen].Name, QStringLiteral("B"));

    // Cancel changes nothing.
    WhenModal<TAddressSelect>([](TAddressSelect* Dialog) {
        EXPECT_EQ(Dialog->edtNew->text(), QStringLiteral("B"));
        Dialog->edtNew->setText(QStringLiteral("Other"));
        Dialog->btnCancel->click();
    });
    Form.bbtnSelectAdrs->click();
    EXPECT_EQ(Form.pnlAdrs->text(), QStringLiteral("B"));
    EXPECT_EQ(Form.ChosenAdrsBook(), Chosen);

    // The second press reads the folder then shown.
    const QString Other = World.Path(QStringLiteral("fb2/"));
    TFbWorld::WriteList(Other + QStringLiteral("Adrs/Z/x.mtd"), 10, {});
    QFile::copy(World.Book(QStringLiteral("A")) + AdrsFileName, Other + QStringLiteral("Adrs/Z/") + AdrsFileName);
    Form.edtDestFbDataPath->setText(Other);
    WhenModal<TAddressSelect>([](TAddressSelect* Dialog) {
        ASSERT_EQ(Dialog->lvAdrs->count(), 1);
        EXPECT_EQ(Dialog->lvAdrs->item(0)->text(), QStringLiteral("Z"));
        Dialog->btnCancel->click();
    });
    Form.bbtnSelectAdrs->click();
    EXPECT_EQ(Form.AdrsFolder(), Other + QStringLiteral("Adrs/"));
}

// The book choice opens in the middle of the main window, measured by the size it is shown at.
TEST(FbConvertPageTest, TheBookChoiceOpensCentredOnTheMainWindow)
{
    TFbWorld World;
    World.MakeBook(QStringLiteral("A"));
    TScriptedBoxes Boxes;
    TPage Page(World);
    Page.Form.show();
    Page.Form.move(60, 40);
    QApplication::processEvents();
    QRect Shown;
    WhenModal<TAddressSelect>([&Shown](TAddressSelect* Dialog) {
        QApplication::processEvents();
        Shown = Dialog->frameGeometry();
        Dialog->btnCancel->click();
    });
    Page.Form.bbtnSelectAdrs->click();
    const QPoint Middle = Page.Form.frameGeometry().center();
    ASSERT_FALSE(Shown.isEmpty());
    EXPECT_LE(std::abs(Shown.center().x() - Middle.x()), 2) << Shown.center().x() << " " << Middle.x();
    EXPECT_LE(std::abs(Shown.center().y() - Middle.y()), 2) << Shown.center().y() << " " << Middle.y();
}

} // namespace
