#include "main/common/ProductInfo.h"
#include "main/start/ProgramStart.h"
#include "platform/sys/SingleInstance.h"
#include "tests/support/OlderVersionFixture.h"
#include "tests/support/Screenshots.h"
#include "tests/support/ScriptedBoxes.h"
#include "tests/support/SqlRows.h"
#include "tests/support/UtilityWorld.h"
#include "utility/convert/Convert.h"
#include "utility/forms/ProgressView.h"
#include "utility/forms/UtilMainForm.h"
#include "utility/start/UtilityRunning.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace Utility;

namespace {

const QString Confirm = QStringLiteral("データのコンバートを開始します  \r\nよろしいですか？  ");

// The utility's main window on the data-convert page, over a world where version 12 is installed
// with a little data of its own.
class TDataConvertPageTest : public ::testing::Test
{
protected:
    TUtilityWorld World;
    QString Own;
    std::unique_ptr<TMainForm> Form;

    void SetUp() override
    {
        ProgramPath = QStringLiteral(VX_BIN_DIR "/");
        Own = World.Path(QStringLiteral("v12data/"));
        const OlderFixture::TDataFolder Folder(12, Own);
        Folder.WriteRecvHis({{{QStringLiteral("SchTel"), QStringLiteral("0311")}}});
        Folder.WriteSelItems(0, {QStringLiteral("見積")});
        (void)OlderFixture::InstallVersion(12, Own, {false, 5, QStringLiteral("COM4")});
        FindOlderVersionFolders();
        Form = std::make_unique<TMainForm>();
        Form->show();
        Form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
        Form->pgctlUtility->setCurrentIndex(2);
    }
    void TearDown() override { Form.reset(); }

    void Choose(int Version)
    {
        const int Index = Form->cbxSrc->findData(Version);
        Form->cbxSrc->setCurrentIndex(Index);
        Form->cbxSrcClick(Index);
    }
    void Enter(QWidget* Widget)
    {
        Widget->setFocus();
        QTest::keyClick(Widget, Qt::Key_Return);
    }
};

TEST_F(TDataConvertPageTest, TheVersionsAreListedNewestFirstWithTheirNumbers)
{
    ASSERT_EQ(Form->cbxSrc->count(), 15);
    EXPECT_EQ(Form->cbxSrc->itemText(0), QStringLiteral("Tolvane１５"));
    EXPECT_EQ(Form->cbxSrc->itemData(0).toInt(), 15);
    EXPECT_EQ(Form->cbxSrc->itemText(14), QStringLiteral("Tolvane１"));
    EXPECT_EQ(Form->cbxSrc->itemData(14).toInt(), 1);
    EXPECT_EQ(Form->edtSrcDataPath->text(), NotFoundText);
    EXPECT_EQ(Form->edtDestDataPath->text(), World.Data());
    EXPECT_EQ(Form->NameOverflowOption(), 0);
}

TEST_F(TDataConvertPageTest, EachVersionKeepsTheFolderTypedForIt)
{
    Choose(12);
    EXPECT_EQ(Form->edtSrcDataPath->text(), Own);
    Form->edtSrcDataPath->setText(QStringLiteral("  /typed/folder  "));
    Choose(15);
    EXPECT_EQ(Form->edtSrcDataPath->text(), NotFoundText);
    Choose(12);
    EXPECT_EQ(Form->edtSrcDataPath->text(), QStringLiteral("/typed/folder"));
}

TEST_F(TDataConvertPageTest, EnterMovesOnAndTheOptionsServeOnlyTheOldestVersions)
{
    Enter(Form->edtSrcDataPath);
    EXPECT_TRUE(Form->bbtnSrcBrowse->hasFocus());
    Enter(Form->edtDestDataPath);
    EXPECT_TRUE(Form->bbtnConvert->hasFocus());
    EXPECT_FALSE(Form->pnlOption->isEnabled());
    Choose(6);
    EXPECT_TRUE(Form->pnlOption->isEnabled());
    EXPECT_TRUE(Form->rbNameSetCorpSet->isEnabled());
    EXPECT_TRUE(Form->bbtnConvert->isEnabled());
    Form->rbNameSet->click();
    EXPECT_EQ(Form->NameOverflowOption(), 1);
    EXPECT_TRUE(Form->rbNameSet->styleSheet().contains(QStringLiteral("#0000FF")));
    EXPECT_TRUE(Form->rbCorpSet->styleSheet().isEmpty());
    Enter(Form->edtDestDataPath);
    EXPECT_TRUE(Form->rbNameSet->hasFocus());
    Choose(7);
    EXPECT_FALSE(Form->lblNameSet->isEnabled());
    EXPECT_TRUE(Form->bbtnConvert->isEnabled());
}

TEST_F(TDataConvertPageTest, TheChecksRefuseWhatCannotBeConverted)
{
    TScriptedBoxes Boxes;
    Form->bbtnConvertClick();
    Choose(12);
    Form->edtDestDataPath->setText(Own.chopped(1));
    Form->bbtnConvertClick();
    QString Upper = Own;
    Upper.replace(QStringLiteral("v12data"), QStringLiteral("V12DATA"));
    Form->edtDestDataPath->setText(Upper);
    Form->bbtnConvertClick();
    const QString Same =
        QStringLiteral("コンバート元とコンバート先のフォルダーが同一です  \r\n違うフォルダーを指定してください  ");
    EXPECT_EQ(Boxes.Texts(),
              (QStringList{QStringLiteral("指定されている「Tolvane１５」のデータ保存フォルダーが見つかりません  "),
                           Same, Same}));
    EXPECT_TRUE(Form->edtDestDataPath->hasFocus());
    EXPECT_FALSE(QFileInfo::exists(Upper));
}

TEST_F(TDataConvertPageTest, RunningProgramsAreAskedAboutOnlyForTheirOwnFolders)
{
    TSingleInstance Twelve(OlderInstanceName(12));
    ASSERT_EQ(Twelve.Acquire(), TSingleInstance::EAcquire::Acquired);
    TSingleInstance Main(MAIN_INSTANCE_NAME);
    ASSERT_EQ(Main.Acquire(), TSingleInstance::EAcquire::Acquired);
    TScriptedBoxes Boxes("No,No");
    Choose(12);
    Form->bbtnConvertClick();
    // A copy of the folder elsewhere, into another folder: no running check, straight to the question.
    const QString Copy = World.Path(QStringLiteral("copy/"));
    QDir().mkpath(Copy);
    Form->edtSrcDataPath->setText(Copy);
    Form->edtDestDataPath->setText(World.Path(QStringLiteral("elsewhere/")));
    Form->bbtnConvertClick();
    Form->edtDestDataPath->setText(World.Data());
    Form->bbtnConvertClick();
    EXPECT_EQ(
        Boxes.Texts(),
        (QStringList{QStringLiteral("「Tolvane１２」が動作中です  \r\n「Tolvane１２」を終了してから実行してください  "),
                     Confirm, QString::fromUtf8(MainProgramRunningMessage)}));
    EXPECT_FALSE(QFileInfo::exists(World.Path(QStringLiteral("elsewhere"))));
}

TEST_F(TDataConvertPageTest, TheRunningChecksKnowTheirFoldersHoweverTheyAreSpelt)
{
    TSingleInstance Twelve(OlderInstanceName(12));
    ASSERT_EQ(Twelve.Acquire(), TSingleInstance::EAcquire::Acquired);
    TSingleInstance Main(MAIN_INSTANCE_NAME);
    ASSERT_EQ(Main.Acquire(), TSingleInstance::EAcquire::Acquired);
    ASSERT_TRUE(QFile::link(QDir(Own).absolutePath(), World.Path(QStringLiteral("v12link"))));
    ASSERT_TRUE(QFile::link(QDir(World.Data()).absolutePath(), World.Path(QStringLiteral("datalink"))));
    const QString Copy = World.Path(QStringLiteral("copy/"));
    QDir().mkpath(Copy);
    TScriptedBoxes Boxes;
    Choose(12);
    const QString Elsewhere = World.Path(QStringLiteral("elsewhere/"));
    for (const QString& Source : {Own + QStringLiteral("./"), World.Path(QStringLiteral("v12link"))}) {
        Form->edtSrcDataPath->setText(Source);
        Form->edtDestDataPath->setText(Elsewhere);
        Form->bbtnConvertClick();
    }
    for (const QString& Dest : {World.Data() + QStringLiteral("./"), World.Path(QStringLiteral("datalink/")),
                                World.Data() + QStringLiteral("../data")}) {
        Form->edtSrcDataPath->setText(Copy);
        Form->edtDestDataPath->setText(Dest);
        Form->bbtnConvertClick();
    }
    const QString Twelves = QStringLiteral("「Tolvane１２」が動作中です  \r\n「Tolvane１２」を終了してから実行してください  ");
    const QString Mains = QString::fromUtf8(MainProgramRunningMessage);
    EXPECT_EQ(Boxes.Texts(), (QStringList{Twelves, Twelves, Mains, Mains, Mains}));
    EXPECT_FALSE(QFileInfo::exists(Elsewhere));
    EXPECT_EQ(QDir(World.Data()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
}

TEST_F(TDataConvertPageTest, ARefusedDestinationIsNotMade)
{
    ConvertCounts = {1, 2, 3, 4, 5, 6};
    TScriptedBoxes Boxes("Yes,No");
    Choose(12);
    const QString Dest = World.Path(QStringLiteral("new/deep/"));
    Form->edtDestDataPath->setText(Dest);
    Form->bbtnConvertClick();
    EXPECT_EQ(
        Boxes.Texts().last(),
        QStringLiteral("指定されているコンバート先のフォルダーが見つかりません  \r\n作成してもよろしいですか？  "));
    EXPECT_FALSE(QFileInfo::exists(World.Path(QStringLiteral("new"))));
    EXPECT_EQ(ConvertCounts, (std::array<int, 6>{1, 2, 3, 4, 5, 6}));
}

TEST_F(TDataConvertPageTest, AConversionCountsItsRowsHandsTheSettingsOverAndRestoresTheDataFolder)
{
    TScriptedBoxes Boxes("Yes,Yes,OK");
    Choose(12);
    const QString Dest = World.Path(QStringLiteral("dest/"));
    Form->edtDestDataPath->setText(Dest);
    Form->bbtnConvertClick();
    EXPECT_EQ(Boxes.Texts().last(),
              QStringLiteral(
                  "コンバートが終了しました  \r\n\r\nコンバート件数\r\n着信対応履歴\t1件　\r\n登録名簿\t\t0件　\r\n"
                  "選択項目１\t1件　\r\n選択項目２\t0件　\r\n選択項目３\t0件　\r\nランク\t\t0件　"));
    EXPECT_EQ(SqlRows(Dest + QStringLiteral("RecvHis.DB"), "SELECT SchTel FROM RecvHis"), QStringList{"0311"});
    EXPECT_EQ(DataPath, World.Data());
    EXPECT_EQ(Form->pgbarConvert->value(), 0);
    EXPECT_TRUE(Form->btnCancel->hasFocus());
    const TMemIniFile Ini(SettingsFileName());
    EXPECT_EQ(Ini.ReadString(QStringLiteral("COMMON"), QStringLiteral("Adapter"), {}), QStringLiteral("5"));
    EXPECT_EQ(Ini.ReadString(QStringLiteral("COMMON"), QStringLiteral("Port"), {}), QStringLiteral("COM4"));
}

TEST_F(TDataConvertPageTest, AVersion6FolderConvertsWithTheOptionChosenAndEndsWithoutARankLine)
{
    const QString Six = World.Path(QStringLiteral("v6data/"));
    const OlderFixture::TDataFolder Folder(6, Six);
    const QString Reading21(21, u'ｱ');
    Folder.WriteMeibo({{{QStringLiteral("SchTel1"), QStringLiteral("0311")},
                        {QStringLiteral("NameKana"), Reading21},
                        {QStringLiteral("NameKanji"), QStringLiteral("山田")},
                        {QStringLiteral("PrivCorp"), QStringLiteral("0")}}});
    Folder.WriteSelItems(1, {QStringLiteral("見積")});
    TScriptedBoxes Boxes("Yes,Yes,OK");
    Choose(6);
    Form->edtSrcDataPath->setText(Six);
    Form->rbNameSetCorpSet->click();
    const QString Dest = World.Path(QStringLiteral("dest6/"));
    Form->edtDestDataPath->setText(Dest);
    QCoreApplication::processEvents();
    SaveScreenshot(*Form, QStringLiteral("DataConvertPageVersion6"));
    Form->bbtnConvertClick();
    EXPECT_EQ(Boxes.Texts().last(),
              QStringLiteral("コンバートが終了しました  \r\n\r\nコンバート件数\r\n着信対応履歴\t0件　\r\n"
                             "登録名簿\t\t1件　\r\n選択項目１\t0件　\r\n選択項目２\t1件　\r\n選択項目３\t0件　"));
    EXPECT_EQ(SqlRows(Dest + QStringLiteral("Meibo.DB"), "SELECT CorpKana, NameKana, NameKanji FROM Meibo"),
              QStringList{Reading21 + u'|' + Reading21 + QStringLiteral("|山田")});
    EXPECT_EQ(DataPath, World.Data());
}

TEST_F(TDataConvertPageTest, ThePageAndTheProgressWindowShowTheirWholeTexts)
{
    Choose(12);
    QCoreApplication::processEvents();
    ExpectLabelsWhole(*Form, QStringLiteral("data-convert page"));
    SaveScreenshot(*Form, QStringLiteral("DataConvertPage"));
    TProgressView View;
    View.SetRange(200, 1, 1);
    View.ShowCentred();
    View.Step(80);
    EXPECT_EQ(View.pgbarConvert->value(), 81);
    EXPECT_EQ(View.size(), QSize(349, 60));
    EXPECT_TRUE(View.windowFlags() & Qt::FramelessWindowHint);
    ExpectLabelsWhole(View, QStringLiteral("progress window"));
    SaveScreenshot(View, QStringLiteral("ProgressView"));
}

} // namespace
