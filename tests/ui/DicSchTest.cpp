#include "directory/dicdialog/DicSch.h"

#include "apps/VxRelvo16/DictionaryLink.h"
#include "directory/Numfind.h"
#include "main/common/MsgBoxPos.h"
#include "main/settings/Settings.h"
#include "platform/msg/CoreMessage.h"
#include "tests/support/DicProgramFolder.h"
#include "tests/support/RecvData.h"
#include "tests/support/Screenshots.h"
#include "tests/support/ScriptedBoxes.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <QWheelEvent>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QColor Maroon(128, 0, 0);

// The same with a postal-code library whose towns carry readings.
QString KanaProgramFolder(const QTemporaryDir& Dir)
{
    const QString Folder = MakeProgramFolder(Dir, QStringLiteral("Postroll.so"));
    QFile::link(QStringLiteral(VX_FIXTURE_DIR "/dic_kana/Postroll.so"), Folder + QStringLiteral("Postroll.so"));
    return Folder;
}

QStringList Rows(const QTreeWidget* List, int Column)
{
    QStringList Texts;
    for (int I = 0; I < List->topLevelItemCount(); ++I)
        Texts << List->topLevelItem(I)->text(Column);
    return Texts;
}

QColor TextColor(const QLabel* Label)
{
    return Label->palette().color(QPalette::WindowText);
}

void Wheel(QWidget* Over, QPoint At, int Delta)
{
    QWheelEvent Event(At, Over->mapToGlobal(At), {}, {0, Delta}, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                      false);
    QApplication::sendEvent(Over, &Event);
}

class DicSchTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        Installed = std::make_unique<QTemporaryDir>();
        InstalledFolder = MakeProgramFolder(*Installed);
    }
    static void TearDownTestSuite() { Installed.reset(); }

    void SetUp() override
    {
        ProgramPath = InstalledFolder;
        InstallDictionaryLink();
        // As the program does at start: the identification asks through the message boxes.
        SetCoreMessageBox([](const QString& Text, const QString& Caption, unsigned Flags) {
            return MessageBoxPos(nullptr, Text, Caption, Flags);
        });
    }
    void TearDown() override
    {
        SetCoreMessageBox({});
        FreeNumberDictionary();
        ProgramPath.clear();
    }

    // A dialog as the openers make it: all three tabs, the earlier-search setting on.
    static std::unique_ptr<TDicSearch> NewDialog()
    {
        auto Dialog = std::make_unique<TDicSearch>();
        Dialog->SetTabs(7, true);
        return Dialog;
    }

    static inline std::unique_ptr<QTemporaryDir> Installed;
    static inline QString InstalledFolder;
};

TEST_F(DicSchTest, APostalCodeOfOneTownIsTakenUnseenAndOneTypedIsLeftToTheUser)
{
    TScriptedBoxes Boxes;
    auto Dialog = NewDialog();
    EXPECT_EQ(Dialog->StartSearch(2, QStringLiteral("〒100-0001")), 1);
    EXPECT_FALSE(Dialog->isVisible());
    EXPECT_EQ(Dialog->ResultKind(), TDicSearch::DicResultPos);
    TDicSearchResult Result;
    Dialog->GetResult(Result);
    EXPECT_EQ(Result.Pos, QStringLiteral("100-0001"));
    EXPECT_EQ(Result.Tdfkn, QStringLiteral("東京都"));
    EXPECT_EQ(Result.Adrs1, QStringLiteral("千代田区"));
    EXPECT_EQ(Result.Adrs2, QStringLiteral("千代田"));
    EXPECT_TRUE(Result.Tel.isEmpty());
    EXPECT_FALSE(Result.Personal);

    auto Several = NewDialog();
    EXPECT_EQ(Several->StartSearch(2, QStringLiteral("5100000")), 0);
    EXPECT_EQ(Rows(Several->lvPosCity, 0),
              QStringList({QStringLiteral("三重県四日市市"), QStringLiteral("三重県三重郡朝日町"),
                           QStringLiteral("三重県三重郡川越町")}));
    EXPECT_EQ(Several->edtPosSch->text(), QStringLiteral("510-0000"));
    // The first city's towns are listed at once: the code names the municipality alone, which is one
    // row under the municipality's reading, taken as the address without a town.
    ASSERT_EQ(Several->lvPosTown->topLevelItemCount(), 1);
    EXPECT_EQ(Rows(Several->lvPosTown, 0), QStringList{QStringLiteral("510-0000")});
    EXPECT_EQ(Rows(Several->lvPosTown, 1), QStringList{QStringLiteral("よ")});
    EXPECT_EQ(Rows(Several->lvPosTown, 2), QStringList{QString()});
    EXPECT_EQ(Several->lblPosSch->text(), QStringLiteral("郵便番号検索結果から住所を選択してください。"));

    Several->show();
    Several->edtPosSch->setText(QStringLiteral("100-0001"));
    QTest::keyClick(Several->edtPosSch, Qt::Key_Return);
    EXPECT_TRUE(Several->isVisible());
    EXPECT_FALSE(Several->Decided());
    EXPECT_EQ(Rows(Several->lvPosCity, 0), QStringList({QStringLiteral("東京都千代田区")}));
    EXPECT_EQ(Rows(Several->lvPosTown, 0), QStringList({QStringLiteral("100-0001")}));
    // Enter in the town list takes the row.
    QTest::keyClick(Several->lvPosTown, Qt::Key_Return);
    EXPECT_TRUE(Several->Decided());
    EXPECT_EQ(Several->result(), QDialog::Accepted);
    EXPECT_TRUE(Boxes.Texts().isEmpty());
}

TEST_F(DicSchTest, ANumberOfTheOwnDirectoryClosesTheDialogUnseenWithTheEntry)
{
    TScriptedBoxes Boxes("Yes");
    TRecvData Data;
    Data.AddEntry(7, QStringLiteral("059-354-8111"), {}, QStringLiteral("四日市商店"));
    auto Dialog = NewDialog();
    EXPECT_EQ(Dialog->StartSearch(0, QStringLiteral("059-354-8111")), 1);
    EXPECT_FALSE(Dialog->isVisible());
    EXPECT_EQ(Dialog->ResultKind(), TDicSearch::DicResultCaller);
    TCallerRecord Caller;
    Dialog->GetResult(Caller);
    EXPECT_EQ(Caller.RecNo, 7);
    EXPECT_EQ(Caller.NameKanji, QStringLiteral("四日市商店"));
}

TEST_F(DicSchTest, AnUnknownNumberListsItsExchangeAreaWithOrWithoutTheNumberDictionary)
{
    TScriptedBoxes Boxes;
    const QString Found =
        QStringLiteral("該当するデータは見つかりませんでした。 局番検索結果から住所を選択してください。");
    // Without the number dictionary the identification answers 102; the area code is searched all the same.
    ASSERT_FALSE(NumberDictionaryLoaded());
    auto Unloaded = NewDialog();
    EXPECT_EQ(Unloaded->StartSearch(0, QStringLiteral("0593548111")), 0);
    EXPECT_TRUE(Rows(Unloaded->lvTelCity, 0).contains(QStringLiteral("三重県四日市市")));
    EXPECT_EQ(Unloaded->lblTelSch->text(), Found);
    EXPECT_EQ(Unloaded->edtTelSch->text(), QStringLiteral("059-354-8111"));
    EXPECT_GT(Unloaded->lvTelTown->topLevelItemCount(), 0);

    ASSERT_EQ(LoadNumberDictionary(InstalledFolder, QStringLiteral("Tolvane１６")), 0);
    auto Loaded = NewDialog();
    EXPECT_EQ(Loaded->StartSearch(4, QStringLiteral("059-354-8111")), 0);
    EXPECT_EQ(Loaded->lblTelSch->text(), Found);
    EXPECT_EQ(Rows(Loaded->lvTelCity, 0), Rows(Unloaded->lvTelCity, 0));

    // The chosen town comes back with the number and its place.
    Loaded->lvTelCity->topLevelItem(0)->setSelected(true);
    Loaded->show();
    Loaded->btnDecision->click();
    ASSERT_TRUE(Loaded->Decided());
    TDicSearchResult Result;
    Loaded->GetResult(Result);
    EXPECT_EQ(Result.Tel, QStringLiteral("059-354-8111"));
    EXPECT_EQ(Result.Tdfkn, QStringLiteral("三重県"));
    EXPECT_EQ(Result.Adrs1, QStringLiteral("四日市市"));
    EXPECT_FALSE(Result.Adrs2.isEmpty());

    auto Unknown = NewDialog();
    EXPECT_EQ(Unknown->StartSearch(0, QStringLiteral("0120123456")), 9);
    EXPECT_EQ(Unknown->lblTelSch->text(), QStringLiteral("該当する局番は見つかりませんでした。"));
    EXPECT_EQ(TextColor(Unknown->lblTelSch), Maroon);
    EXPECT_EQ(Unknown->lvTelCity->topLevelItemCount(), 0);
    EXPECT_TRUE(Boxes.Texts().isEmpty());
}

TEST_F(DicSchTest, InvalidNumbersAreToldInThePromptInMaroon)
{
    TScriptedBoxes Boxes;
    auto Dialog = NewDialog();
    EXPECT_EQ(Dialog->StartSearch(0, QStringLiteral("-")), 0); // no digit: nothing is searched
    Dialog->show();
    const QColor Normal = TextColor(Dialog->lblTelSch);
    const struct
    {
        QString Typed;
        QString Prompt;
        bool Warning;
    } Cases[] = {
        {QStringLiteral("-"), QStringLiteral("ハイフンのみは無効です。"), true},
        {QStringLiteral("03a"), QStringLiteral("数字とハイフン以外は無効です。"), true},
        {QStringLiteral("  "), QStringLiteral("検索する電話番号を入力してください。"), false},
        {QStringLiteral("0120-"), QStringLiteral("入力した局番に誤りがあります。"), true},
    };
    for (const auto& Case : Cases) {
        Dialog->edtTelSch->setText(Case.Typed);
        Dialog->bbtnTelSch->click();
        EXPECT_EQ(Dialog->lblTelSch->text(), Case.Prompt) << Case.Typed.toStdString();
        EXPECT_EQ(TextColor(Dialog->lblTelSch), Case.Warning ? Maroon : Normal) << Case.Typed.toStdString();
    }
    Dialog->pgctlDicType->setCurrentIndex(1);
    Dialog->edtPosSch->setText(QStringLiteral("1a0"));
    QTest::keyClick(Dialog->edtPosSch, Qt::Key_Return);
    EXPECT_EQ(Dialog->lblPosSch->text(), QStringLiteral("数字とハイフン以外は無効です。"));
    Dialog->edtPosSch->setText(QStringLiteral("9999999"));
    QTest::keyClick(Dialog->edtPosSch, Qt::Key_Return);
    EXPECT_EQ(Dialog->lblPosSch->text(), QStringLiteral("該当する住所は見つかりませんでした。"));
    EXPECT_EQ(TextColor(Dialog->lblPosSch), Maroon);
    EXPECT_TRUE(Dialog->isVisible());
    EXPECT_TRUE(Boxes.Texts().isEmpty());
}

TEST_F(DicSchTest, TheKanaFilterKeepsTheTownsOfItsColumnAndMarksEachInitialOnce)
{
    TScriptedBoxes Boxes;
    QTemporaryDir Dir;
    ProgramPath = KanaProgramFolder(Dir);
    auto Dialog = NewDialog();
    ASSERT_EQ(Dialog->StartSearch(2, QStringLiteral("1000001")), 0);
    QTreeWidget* Towns = Dialog->lvPosTown;
    // The town without reading and name is left out; each run of one initial shows it on its first row.
    EXPECT_EQ(Rows(Towns, 2),
              QStringList({QStringLiteral("青葉"), QStringLiteral("旭"), QStringLiteral("河原"), QStringLiteral("若葉"),
                           QStringLiteral("小野"), QStringLiteral("馬場"), QStringLiteral("六本木")}));
    EXPECT_EQ(Rows(Towns, 1), QStringList({QStringLiteral("あ"), QString(), QStringLiteral("か"), QStringLiteral("わ"),
                                           QStringLiteral("を"), QStringLiteral("ん"), QStringLiteral("ろ")}));
    EXPECT_EQ(Rows(Towns, 0).front(), QStringLiteral("100-0001"));

    const QStringList Expected[] = {
        {},
        {QStringLiteral("青葉"), QStringLiteral("旭")},
        {QStringLiteral("河原")},
        {},
        {},
        {},
        {},
        {},
        {},
        {QStringLiteral("六本木")},
        {QStringLiteral("若葉")},
    };
    for (int Item = 1; Item <= 10; ++Item) {
        Dialog->cbxPosViewKana->setCurrentIndex(Item);
        EXPECT_EQ(Rows(Towns, 2), Expected[Item]) << Dialog->cbxPosViewKana->currentText().toStdString();
        if (Expected[Item].isEmpty()) {
            EXPECT_EQ(Dialog->lblPosSch->text(), QStringLiteral("該当する住所は見つかりませんでした。"));
        }
    }
    Dialog->cbxPosViewKana->setCurrentIndex(0);
    EXPECT_EQ(Towns->topLevelItemCount(), 7);
    EXPECT_EQ(Dialog->lblPosSch->text(), QStringLiteral("郵便番号検索結果から住所を選択してください。"));

    // Choosing the same city again leaves the town list and its chosen row alone.
    Towns->setCurrentItem(Towns->topLevelItem(3));
    Dialog->lvPosCity->clearSelection();
    Dialog->lvPosCity->topLevelItem(0)->setSelected(true);
    EXPECT_EQ(Towns->currentItem(), Towns->topLevelItem(3));

    // The large-office view adds its column and takes the office into the result.
    Dialog->show();
    Dialog->rbPosViewOhguchi->click();
    ASSERT_EQ(Towns->columnCount(), 4);
    EXPECT_EQ(Towns->headerItem()->text(3), QStringLiteral("大口事業所等名"));
    EXPECT_EQ(Towns->columnWidth(2), 170);
    EXPECT_EQ(Rows(Towns, 3), QStringList({QStringLiteral("宮内庁")}));
    EXPECT_EQ(Dialog->rbPosViewOhguchi->palette().color(QPalette::WindowText), QColor(Qt::blue));
    EXPECT_NE(Dialog->rbPosViewTown->palette().color(QPalette::WindowText), QColor(Qt::blue));
    Dialog->btnDecision->click();
    TDicSearchResult Result;
    Dialog->GetResult(Result);
    EXPECT_EQ(Result.NameKanji, QStringLiteral("宮内庁"));
    EXPECT_EQ(Result.NameKana, QStringLiteral("ｸﾅｲﾁﾖｳ"));
    EXPECT_EQ(Result.Pos, QStringLiteral("100-8111"));
    EXPECT_EQ(Result.Adrs1, QStringLiteral("千代田区"));
    EXPECT_TRUE(Boxes.Texts().isEmpty());
}

TEST_F(DicSchTest, TheTownViewDropsTheOfficeColumnAgain)
{
    TScriptedBoxes Boxes;
    QTemporaryDir Dir;
    ProgramPath = KanaProgramFolder(Dir);
    auto Dialog = NewDialog();
    ASSERT_EQ(Dialog->StartSearch(2, QStringLiteral("1000001")), 0);
    Dialog->rbPosViewOhguchi->click();
    Dialog->rbPosViewTown->click();
    EXPECT_EQ(Dialog->lvPosTown->columnCount(), 3);
    EXPECT_EQ(Dialog->lvPosTown->columnWidth(2), 350);
    EXPECT_EQ(Dialog->lvPosTown->topLevelItemCount(), 7);
    EXPECT_EQ(Dialog->rbPosViewTown->palette().color(QPalette::WindowText), QColor(Qt::blue));
}

TEST_F(DicSchTest, DecidingWithoutTownsDoesNothing)
{
    TScriptedBoxes Boxes;
    auto Dialog = NewDialog();
    EXPECT_EQ(Dialog->StartSearch(2, QString()), 0);
    Dialog->show();
    Dialog->btnDecision->click();
    EXPECT_TRUE(Dialog->isVisible());
    EXPECT_FALSE(Dialog->Decided());
    QTest::mouseDClick(Dialog->lvPosTown->viewport(), Qt::LeftButton);
    EXPECT_FALSE(Dialog->Decided());
    Dialog->btnCancel->click();
    EXPECT_EQ(Dialog->result(), QDialog::Rejected);
    EXPECT_FALSE(Dialog->Decided());
}

TEST_F(DicSchTest, TheWheelOverTheTabHeadersStepsRoundAndTheTabSetsKindAndHelp)
{
    auto Dialog = NewDialog();
    Dialog->show();
    QTabBar* Bar = Dialog->pgctlDicType->tabBar();
    const auto Help = [&] { return Dialog->property("HelpContext").toInt(); };
    EXPECT_EQ(Dialog->pgctlDicType->currentIndex(), 0);
    EXPECT_EQ(Help(), 47);
    Wheel(Bar, Bar->tabRect(0).center(), 120);
    EXPECT_EQ(Dialog->pgctlDicType->currentIndex(), 2);
    EXPECT_EQ(Dialog->ResultKind(), TDicSearch::DicResultAdrs);
    EXPECT_EQ(Help(), 49);
    Wheel(Bar, Bar->tabRect(2).center(), -120);
    EXPECT_EQ(Dialog->pgctlDicType->currentIndex(), 0);
    Wheel(Bar, Bar->tabRect(0).center(), -120);
    EXPECT_EQ(Dialog->pgctlDicType->currentIndex(), 1);
    EXPECT_EQ(Dialog->ResultKind(), TDicSearch::DicResultPos);
    EXPECT_EQ(Help(), 48);
    // Elsewhere the wheel belongs to the controls.
    Wheel(Dialog->lvPosTown->viewport(), {20, 20}, -120);
    EXPECT_EQ(Dialog->pgctlDicType->currentIndex(), 1);

    // Hidden tabs are passed over.
    auto Two = std::make_unique<TDicSearch>();
    Two->SetTabs(5, true);
    Two->show();
    QTabBar* TwoBar = Two->pgctlDicType->tabBar();
    Wheel(TwoBar, TwoBar->tabRect(0).center(), -120);
    EXPECT_EQ(Two->pgctlDicType->currentIndex(), 2);
    Wheel(TwoBar, TwoBar->tabRect(2).center(), -120);
    EXPECT_EQ(Two->pgctlDicType->currentIndex(), 0);
}

TEST_F(DicSchTest, EnterWalksFromTheCityToTheTownsAndTheViewToTheKanaFilter)
{
    TScriptedBoxes Boxes;
    auto Dialog = NewDialog();
    ASSERT_EQ(Dialog->StartSearch(3, QStringLiteral("東京都千代田区")), 0);
    Dialog->show();
    QApplication::setActiveWindow(Dialog.get());
    EXPECT_EQ(QApplication::focusWidget(), Dialog->lvAdrsCity);
    QTest::keyClick(Dialog->lvAdrsCity, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), Dialog->lvAdrsTown);
    Dialog->rbAdrsViewTown->setFocus();
    QTest::keyClick(Dialog->rbAdrsViewTown, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), Dialog->cbxAdrsViewKana);
    QTest::keyClick(Dialog->cbxAdrsViewKana, Qt::Key_Return);
    EXPECT_NE(QApplication::focusWidget(), Dialog->cbxAdrsViewKana);
    EXPECT_TRUE(Dialog->isVisible());
    EXPECT_FALSE(Dialog->Decided());

    // Enter on the search button searches; on "決定(&D)" it decides.
    Dialog->edtAdrsSch->setText(QStringLiteral("架空県架空市"));
    Dialog->bbtnAdrsSch->setFocus();
    QTest::keyClick(Dialog->bbtnAdrsSch, Qt::Key_Return);
    EXPECT_EQ(Dialog->lblAdrsSch->text(), QStringLiteral("該当する住所は見つかりませんでした。"));
    EXPECT_FALSE(Dialog->Decided());
    ASSERT_EQ(Dialog->StartSearch(3, QStringLiteral("東京都千代田区")), 0);

    // A click into a town list that lost its selection takes the focused row again.
    Dialog->lvAdrsTown->clearSelection();
    QTest::mouseClick(Dialog->lvAdrsTown->viewport(), Qt::LeftButton, {}, QPoint(5, 200));
    EXPECT_EQ(Dialog->lvAdrsTown->selectedItems().size(), 1);
    Dialog->btnDecision->setFocus();
    QTest::keyClick(Dialog->btnDecision, Qt::Key_Return);
    EXPECT_TRUE(Dialog->Decided());
}

TEST_F(DicSchTest, AnAddressIsSearchedAsTyped)
{
    TScriptedBoxes Boxes;
    auto Dialog = NewDialog();
    // One city with one town is taken at once; more are left to the user.
    EXPECT_EQ(NewDialog()->StartSearch(3, QStringLiteral("三重県四日市市")), 1);
    EXPECT_EQ(Dialog->StartSearch(3, QStringLiteral("東京都千代田区")), 0);
    EXPECT_EQ(Dialog->pgctlDicType->currentIndex(), 2);
    EXPECT_EQ(Dialog->ResultKind(), TDicSearch::DicResultAdrs);
    EXPECT_EQ(Rows(Dialog->lvAdrsCity, 0), QStringList({QStringLiteral("東京都千代田区")}));
    EXPECT_EQ(Dialog->lblAdrsSch->text(), QStringLiteral("住所検索結果から住所を選択してください。"));
    EXPECT_EQ(Rows(Dialog->lvAdrsTown, 2),
              QStringList({QStringLiteral("千代田"), QStringLiteral("皇居外苑"), QStringLiteral("大手町")}));
    Dialog->lvAdrsTown->setCurrentItem(Dialog->lvAdrsTown->topLevelItem(2));
    Dialog->show();
    const QPoint Third = Dialog->lvAdrsTown->visualItemRect(Dialog->lvAdrsTown->topLevelItem(2)).center();
    QTest::mouseClick(Dialog->lvAdrsTown->viewport(), Qt::LeftButton, {}, Third);
    QTest::mouseDClick(Dialog->lvAdrsTown->viewport(), Qt::LeftButton, {}, Third);
    ASSERT_TRUE(Dialog->Decided());
    TDicSearchResult Result;
    Dialog->GetResult(Result);
    EXPECT_EQ(Result.Adrs2, QStringLiteral("大手町"));
    EXPECT_EQ(Result.Pos, QStringLiteral("100-0004"));

    Dialog = NewDialog();
    ASSERT_EQ(Dialog->StartSearch(3, QStringLiteral("東京都千代田区")), 0);
    Dialog->show();
    Dialog->edtAdrsSch->setText(QStringLiteral("  "));
    QTest::keyClick(Dialog->edtAdrsSch, Qt::Key_Return);
    EXPECT_EQ(Dialog->lblAdrsSch->text(), QStringLiteral("検索する住所を入力してください。"));
    EXPECT_TRUE(Boxes.Texts().isEmpty());
}

TEST_F(DicSchTest, AMissingLibraryIsReportedAndTheOtherTabsStillWork)
{
    TScriptedBoxes Boxes;
    QTemporaryDir Dir;
    ProgramPath = MakeProgramFolder(Dir, QStringLiteral("Areadex.so"));
    auto Dialog = NewDialog();
    EXPECT_EQ(Dialog->StartSearch(0, QStringLiteral("0593548111")), 9);
    ASSERT_EQ(Boxes.Boxes().size(), 1);
    const QJsonObject Box = Boxes.Boxes().front();
    EXPECT_EQ(Box.value(QStringLiteral("text")).toString(),
              QStringLiteral("Areadex.so LoadLibrary Error\r\nDLLのロードに失敗しました"));
    EXPECT_EQ(Box.value(QStringLiteral("caption")).toString(), QStringLiteral("Tolvane１６"));
    EXPECT_EQ(Dialog->lvTelCity->topLevelItemCount(), 0);

    EXPECT_EQ(Dialog->StartSearch(2, QStringLiteral("5100000")), 0);
    EXPECT_EQ(Dialog->lvPosCity->topLevelItemCount(), 3);

    // The library is tried again by the next search, here from the showing dialog.
    Dialog->show();
    Dialog->pgctlDicType->setCurrentIndex(0);
    Dialog->bbtnTelSch->click();
    EXPECT_EQ(Boxes.Boxes().size(), 2);
    EXPECT_TRUE(Dialog->isVisible());
}

// With VX_SCREENSHOT_DIR set, each tab is saved with the results of a search.
TEST_F(DicSchTest, Screenshots)
{
    TScriptedBoxes Boxes;
    auto Dialog = NewDialog();
    ASSERT_EQ(Dialog->StartSearch(0, QStringLiteral("0593548111")), 0);
    ASSERT_EQ(Dialog->StartSearch(2, QStringLiteral("100")), 0);
    ASSERT_EQ(Dialog->StartSearch(3, QStringLiteral("東京都千代田区")), 0);
    Dialog->show();
    for (int Tab = 0; Tab < 3; ++Tab) {
        Dialog->pgctlDicType->setCurrentIndex(Tab);
        ExpectLabelsWhole(*Dialog, QStringLiteral("tab %1").arg(Tab));
        SaveScreenshot(*Dialog, QStringLiteral("DicSch-%1").arg(Tab));
    }
    Dialog->pgctlDicType->setCurrentIndex(1);
    Dialog->rbPosViewOhguchi->click();
    EXPECT_EQ(Rows(Dialog->lvPosTown, 3), QStringList({QStringLiteral("宮内庁"), QStringLiteral("大手町事務所")}));
    SaveScreenshot(*Dialog, QStringLiteral("DicSch-offices"));
}

} // namespace
