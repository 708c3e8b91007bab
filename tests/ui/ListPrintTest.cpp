#include "main/controls/NumberUpDown.h"
#include "main/settings/Settings.h"
#include "platform/ini/IniFile.h"
#include "platform/print/Printing.h"
#include "platform/ui/Prompts.h"
#include "tests/support/RecvData.h"
#include "tests/support/Screenshots.h"
#include "tests/support/ScriptedBoxes.h"
#include "tests/support/WhenModal.h"
#include "tests/unit/FakePrinters.h"
#include "transfer/print/DevMode.h"
#include "transfer/print/ListPrtDlg.h"
#include "transfer/print/PrinterSetupDlg.h"
#include "transfer/print/lists/LPLst.h"
#include "transfer/print/preview/LPPrevw.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryFile>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

class ListPrintTest : public ::testing::Test
{
protected:
    TRecvData Data;
    TFakePrinters Printers;
    TScriptedBoxes Boxes;

    void SetUp() override
    {
        Settings = TSettings();
        SettingsPath = Data.Folder;
        Settings.DataPath = Data.Folder;
        Printers.Add(QStringLiteral("PDF"), PdfPrinterCaps());
    }
    void TearDown() override
    {
        Settings = TSettings();
        SettingsPath.clear();
    }
    void WriteFile(const QString& Name, const QByteArray& Bytes)
    {
        QFile File(Data.Folder + Name);
        ASSERT_TRUE(File.open(QIODevice::WriteOnly | QIODevice::Truncate));
        File.write(Bytes);
    }
    void WriteSettings(const QByteArray& Lines) { WriteFile(QStringLiteral("VxRelvo16.ini"), Lines); }
    std::unique_ptr<TListPrint> Open()
    {
        auto Window = std::make_unique<TListPrint>();
        Window->show();
        QApplication::setActiveWindow(Window.get());
        return Window;
    }
    static void Type(QLineEdit* Edit, const QString& Text)
    {
        Edit->setFocus();
        Edit->setText(Text);
        QTest::keyClick(Edit, Qt::Key_Return);
    }
    QStringList Dest(TListPrint& W)
    {
        QStringList Names;
        for (int I = 0; I < W.lbxDest->count(); ++I)
            Names << W.lbxDest->item(I)->text();
        return Names;
    }
    static int Row(QListWidget* List, const QString& Text)
    {
        for (int I = 0; I < List->count(); ++I)
            if (List->item(I)->text() == Text)
                return I;
        return -1;
    }
};

const QByteArray OneItemLayout = "[LIST PRINT LAYOUT RECVHIS]\nItemNo=2\nItemSize=10\n";

TEST_F(ListPrintTest, AFreshFileGivesTheDefaultsAndCancelWritesOnlyThePlace)
{
    auto W = Open();
    EXPECT_EQ(W->windowTitle(), QStringLiteral("一覧表の印刷"));
    EXPECT_TRUE(W->rbRecvHis->isChecked());
    ASSERT_TRUE(W->lbxFontName->currentItem());
    EXPECT_EQ(W->lbxFontName->currentItem()->text(), QStringLiteral("ＭＳ ゴシック"));
    EXPECT_EQ(W->pnlSample->text(), QStringLiteral("Tolvane１６"));
    EXPECT_EQ(W->pnlCharset->text(), QStringLiteral("日本語"));
    EXPECT_EQ(W->cbxFontSize->currentText(), QStringLiteral("9"));
    EXPECT_EQ(W->cbxRows->currentIndex(), 0);
    EXPECT_EQ(W->edtOffsetX->text(), QStringLiteral("0.0"));
    EXPECT_EQ(W->edtOffsetY->text(), QStringLiteral("0.0"));
    EXPECT_EQ(W->edtInterval->text(), QStringLiteral("1"));
    EXPECT_EQ(W->edtCopies->text(), QStringLiteral("1"));
    EXPECT_TRUE(W->chkViewDate->isChecked());
    EXPECT_EQ(W->cbxDatePosX->currentIndex(), 2);
    EXPECT_EQ(W->cbxPagePosY->currentIndex(), 1);
    EXPECT_EQ(W->pnlHeaderColor->text(), QStringLiteral("なし"));
    EXPECT_EQ(W->lbxColor->count(), 0);
    EXPECT_TRUE(W->rbList->isChecked());
    EXPECT_TRUE(W->lblLineCount->text().endsWith(QStringLiteral(" 件")));
    EXPECT_GT(W->Model.RecordsPerPage, 0);
    EXPECT_FALSE(W->btnList->isEnabled()) << "no items set";
    EXPECT_FALSE(W->btnPreview->isEnabled()) << "the history is empty";
    EXPECT_EQ(W->PageButtons[0]->isChecked(), true);
    W->btnCancel->click();
    W.reset();
    const TMemIniFile Ini(SettingsFileName());
    EXPECT_EQ(Ini.ReadSectionValues(ListPrintSection).size(), 2); // Left and Top
    EXPECT_TRUE(Ini.ValueExists(ListPrintSection, QStringLiteral("Left")));
    EXPECT_FALSE(QFile::exists(Data.Folder + PrinterFileName));
}

TEST_F(ListPrintTest, StoredValuesAreReadByTheirRules)
{
    WriteSettings("[LIST PRINT]\nFontSize=24\nFontCharset=1\nHorzInterval=21\nCopies=101\nOffsetX=-5\n"
                  "ColorCount=11\nColor1=255\n");
    auto W = Open();
    EXPECT_EQ(W->cbxFontSize->currentText(), QStringLiteral("9"));
    EXPECT_EQ(W->Model.PrintSettings.FontCharset, 128);
    EXPECT_EQ(W->edtInterval->text(), QStringLiteral("1"));
    EXPECT_EQ(W->edtCopies->text(), QStringLiteral("1"));
    EXPECT_EQ(W->edtOffsetX->text(), QStringLiteral("0.0"));
    EXPECT_EQ(W->lbxColor->count(), 0);
    W->btnCancel->click();
}

TEST_F(ListPrintTest, SwitchingTheSourceShowsItsOwnLayoutAndTemplates)
{
    Data.AddEntry(1, QStringLiteral("0311112222"), QString());
    WriteSettings(OneItemLayout + "[LIST PRINT LAYOUT MEIBO]\nItemNo=3,4\nItemSize=10,10\n");
    WriteFile(QStringLiteral("LPAMeibo.tpl"), "[名簿A]\nItemNo=2\nItemSize=8\n");
    auto W = Open();
    EXPECT_EQ(W->lbxDest->count(), 2);
    EXPECT_FALSE(W->btnPreview->isEnabled());
    W->rbAddMeibo->click();
    EXPECT_EQ(W->lbxDest->count(), 3);
    EXPECT_EQ(W->cbxTemplateName->count(), 2);
    EXPECT_EQ(W->cbxTemplateName->itemText(1), QStringLiteral("名簿A"));
    EXPECT_TRUE(W->btnPreview->isEnabled());
    W->rbRecvHis->click();
    EXPECT_EQ(W->lbxDest->count(), 2);
    W->btnCancel->click();
}

TEST_F(ListPrintTest, TheFernbookNoticeComesWithTheDirectory)
{
    Settings.UseFbAdrs = true;
    auto W = Open();
    EXPECT_TRUE(Boxes.Texts().isEmpty());
    W->rbAddMeibo->click();
    EXPECT_EQ(Boxes.Texts(), QStringList{FernbookNotice});
    W->btnCancel->click();
    W.reset();
    WriteSettings("[LIST PRINT]\nPrintSource=1\n");
    W = Open(); // the directory stored as the source: the notice as the window shows
    EXPECT_EQ(Boxes.Texts().size(), 2);
    W->btnCancel->click();
}

TEST_F(ListPrintTest, ItemsAreSetRemovedAndLimited)
{
    auto W = Open();
    const QString Blank = QStringLiteral("＜空白＞");
    const QString Serial = QStringLiteral("＜通番＞");
    for (int I = 0; I < 3; ++I) {
        W->lbxSrc->setCurrentRow(Row(W->lbxSrc, Blank));
        W->bbtnSet->click();
    }
    EXPECT_EQ(W->Model.CurrentLayout().size(), 3);
    EXPECT_GE(Row(W->lbxSrc, Blank), 0) << "the blank item stays offered";
    EXPECT_TRUE(W->btnList->isEnabled());

    W->lbxSrc->setCurrentRow(Row(W->lbxSrc, Serial));
    W->bbtnSet->click();
    EXPECT_EQ(Row(W->lbxSrc, Serial), -1);
    W->lbxDest->setCurrentRow(Row(W->lbxDest, Serial));
    W->bbtnDelete->click();
    EXPECT_EQ(Row(W->lbxSrc, Serial), 1) << "back in its place by number";

    // The insertion row selected: the last real entry goes.
    W->lbxSrc->setCurrentRow(Row(W->lbxSrc, QStringLiteral("着信日付")));
    W->lbxDest->setCurrentRow(W->lbxDest->count() - 1);
    W->bbtnSet->click();
    EXPECT_EQ(Dest(*W).at(3), QStringLiteral("着信日付"));
    W->lbxDest->setCurrentRow(W->lbxDest->count() - 1);
    W->bbtnDelete->click();
    EXPECT_EQ(W->Model.CurrentLayout().size(), 3);
    EXPECT_EQ(Row(W->lbxDest, QStringLiteral("着信日付")), -1);

    W->bbtnAllClear->click();
    EXPECT_TRUE(W->Model.CurrentLayout().isEmpty());
    EXPECT_FALSE(W->btnList->isEnabled());
    EXPECT_FALSE(W->bbtnSaveTemplate->isEnabled());

    for (int I = 0; I < 99; ++I) {
        W->lbxSrc->setCurrentRow(0);
        W->bbtnSet->click();
    }
    W->bbtnSet->click();
    EXPECT_EQ(W->Model.CurrentLayout().size(), 100);
    EXPECT_TRUE(Boxes.Texts().isEmpty()) << "99 take one more";
    W->bbtnSet->click();
    EXPECT_EQ(W->Model.CurrentLayout().size(), 100);
    EXPECT_EQ(Boxes.Texts(),
              QStringList{QStringLiteral("設定できる項目数は100項目です  \r\nこれ以上追加できません  ")});
    W->btnCancel->click();
}

TEST_F(ListPrintTest, TemplatesAreListedSavedAndRefused)
{
    QByteArray File;
    for (int I = 1; I <= 12; ++I)
        File += "[T" + QByteArray::number(I) + "]\nItemNo=2,3\nItemSize=10,8\n";
    WriteFile(QStringLiteral("LPRHis.tpl"), File);
    WriteSettings(OneItemLayout);
    auto W = Open();
    EXPECT_EQ(W->cbxTemplateName->count(), 11);
    EXPECT_EQ(W->cbxTemplateName->itemText(0), QStringLiteral("前回のレイアウト"));
    EXPECT_FALSE(W->bbtnSaveTemplate->isEnabled());
    W->btnCancel->click();
    W.reset();

    WriteFile(QStringLiteral("LPRHis.tpl"), "[甲]\nItemNo=2\nItemSize=10\n[乙]\nItemNo=3\nItemSize=8\n");
    W = Open();
    W->cbxTemplateName->setCurrentIndex(1);
    W->cbxTemplateNameClick();
    ASSERT_EQ(W->Model.CurrentLayout().size(), 1);
    W->lbxSrc->setCurrentRow(Row(W->lbxSrc, QStringLiteral("着信時刻")));
    W->bbtnSetClick();
    const QByteArray Before = [&] {
        QFile F(Data.Folder + QStringLiteral("LPRHis.tpl"));
        return F.open(QIODevice::ReadOnly) ? F.readAll() : QByteArray();
    }();
    W->cbxTemplateName->setEditText(QStringLiteral("乙"));
    W->bbtnSaveTemplateClick();
    EXPECT_EQ(Boxes.Texts().value(0),
              QStringLiteral("同じ名称のテンプレートが保存されています  \r\n別の名称で保存してください  "));
    QFile After(Data.Folder + QStringLiteral("LPRHis.tpl"));
    ASSERT_TRUE(After.open(QIODevice::ReadOnly));
    EXPECT_EQ(After.readAll(), Before);
    W->cbxTemplateName->setEditText(QStringLiteral("甲"));
    W->bbtnSaveTemplateClick();
    EXPECT_EQ(Boxes.Texts().size(), 1);
    EXPECT_EQ(W->Model.CurrentTemplates().Items[1].Layout.size(), 2) << "the selected template took the layout";
    W->btnCancel->click();
}

TEST_F(ListPrintTest, MarginEditsAcceptOneDecimalWithinRange)
{
    auto W = Open();
    W->PageButtonClick(1);
    const int Recounts = W->RecountCount;
    Type(W->edtOffsetY, QStringLiteral("12"));
    EXPECT_EQ(W->edtOffsetY->text(), QStringLiteral("12.0"));
    EXPECT_EQ(W->udOffsetY->Position(), 120);
    EXPECT_EQ(W->RecountCount, Recounts) << "the recount is posted, not run inside the edit";
    QCoreApplication::processEvents();
    EXPECT_EQ(W->RecountCount, Recounts + 1);
    for (const char* Text : {"1.25", "1..2", "123", "50.1"}) {
        Type(W->edtOffsetY, QString::fromLatin1(Text));
        EXPECT_EQ(W->edtOffsetY->text(), QStringLiteral("12.0")) << Text;
        EXPECT_EQ(W->udOffsetY->Position(), 120) << Text;
    }
    Type(W->edtOffsetX, QStringLiteral("12."));
    EXPECT_EQ(W->edtOffsetX->text(), QStringLiteral("12.0"));
    EXPECT_EQ(W->udOffsetX->Position(), 120);
    QCoreApplication::processEvents();
    EXPECT_EQ(W->RecountCount, Recounts + 1) << "the left margin takes no part in the count";
    W->btnCancel->click();
}

TEST_F(ListPrintTest, IntegerEditsKeysAndTheEnterWalk)
{
    WriteSettings(OneItemLayout);
    auto W = Open();
    W->PageButtonClick(3);
    Type(W->edtCopies, QStringLiteral("0"));
    EXPECT_EQ(W->edtCopies->text(), QStringLiteral("1"));
    Type(W->edtCopies, QStringLiteral("7a"));
    EXPECT_EQ(W->edtCopies->text(), QStringLiteral("1"));
    Type(W->edtCopies, QStringLiteral("050"));
    EXPECT_EQ(W->udCopies->Position(), 50);
    EXPECT_EQ(W->edtCopies->text(), QStringLiteral("50"));
    EXPECT_TRUE(W->edtCopies->hasFocus()) << "Enter after a change stays";
    QTest::keyClick(W->edtCopies, Qt::Key_Return);
    EXPECT_TRUE(W->btnList->hasFocus());
    Type(W->edtCopies, QStringLiteral("1"));
    QTest::keyClick(W->edtCopies, Qt::Key_Down);
    EXPECT_EQ(W->udCopies->Position(), 1);

    W->PageButtonClick(2);
    Type(W->edtInterval, QStringLiteral("15"));
    QTest::keyClick(W->edtInterval, Qt::Key_PageUp);
    EXPECT_EQ(W->edtInterval->text(), QStringLiteral("20"));
    QTest::keyClick(W->edtInterval, Qt::Key_PageUp);
    EXPECT_EQ(W->udInterval->Position(), 20);

    W->PageButtonClick(0);
    W->chkViewPage->setChecked(false);
    W->chkViewPage->setFocus();
    QTest::keyClick(W->chkViewPage, Qt::Key_Return);
    EXPECT_EQ(W->CurrentPage(), 1);
    for (int Tag = 0; Tag < 4; ++Tag) {
        EXPECT_EQ(W->PageButtons[Tag]->isChecked(), Tag == 1) << Tag;
    }
    W->btnCancel->click();
}

TEST_F(ListPrintTest, RuleButtonsRecountOnlyForTheTopAndBottom)
{
    auto W = Open();
    W->dgLineType->setCurrentCell(2, 0);
    const int Before = W->RecountCount;
    W->RuleButtons[RuleLeft]->click();
    EXPECT_TRUE(W->RuleButtons[RuleLeft]->isChecked());
    EXPECT_EQ(W->RecountCount, Before);
    W->RuleButtons[RuleTop]->click();
    EXPECT_EQ(W->RecountCount, Before + 1);
    W->dgLineType->setCurrentCell(0, 0);
    W->RuleButtons[RuleTop]->click();
    EXPECT_TRUE(W->RuleButtons[RuleTop]->isChecked()) << "another type retypes the rule";
    EXPECT_EQ(W->Rules.LineType[RuleTop], 0);
    EXPECT_EQ(W->RecountCount, Before + 2);
    W->btnCancel->click();
}

TEST_F(ListPrintTest, TenColoursStopTheAddButtonAndColoursShareTheCustomFile)
{
    QByteArray Lines = "[LIST PRINT]\nColorCount=10\n";
    for (int I = 1; I <= 10; ++I)
        Lines += "Color" + QByteArray::number(I) + "=255\n";
    WriteSettings(Lines);
    auto W = Open();
    EXPECT_EQ(W->lbxColor->count(), 10);
    W->bbtnDataColor->click();
    EXPECT_EQ(W->lbxColor->count(), 10);
    EXPECT_TRUE(Boxes.Boxes().isEmpty()) << "no colour dialog";
    W->bbtnDeleteDataColor->click();
    W->btnCancel->click();
    W.reset();

    TScriptedBoxes Answers("$0000FF");
    W = Open();
    W->bbtnHeaderColor->click();
    EXPECT_EQ(W->pnlHeaderColor->text(), QString());
    W->CollectPrintSettings();
    EXPECT_TRUE(W->Model.PrintSettings.HeaderColorExists);
    EXPECT_EQ(W->Model.PrintSettings.HeaderColor, 0x0000FF) << "red, blue first";
    EXPECT_TRUE(QFile::exists(Data.Folder + QStringLiteral("CstmClr.ini")));
    W->btnCancel->click();
}

TEST_F(ListPrintTest, APageTooSmallForOneRecordRefusesBothButtons)
{
    Data.AddCall(1, QStringLiteral("0311112222"));
    Printers.List = {{QStringLiteral("小さな用紙"), FakeCaps({QPageSize::A6})}};
    WriteSettings(OneItemLayout + "[LIST PRINT]\nOffsetY=500\nTitle=一覧\nFontSize=23\niRowCount=2\n");
    auto W = Open();
    EXPECT_EQ(W->lblLineCount->text(), QStringLiteral("0 件"));
    W->btnPreview->click();
    W->btnList->click();
    EXPECT_EQ(Boxes.Texts(), (QStringList{PageTooSmallMessage, PageTooSmallMessage}));
    W->btnCancel->click();
    W.reset();
    const TMemIniFile Ini(SettingsFileName());
    EXPECT_FALSE(Ini.ValueExists(ListPrintSection, QStringLiteral("Copies"))) << "nothing saved";
}

// "プレビュー(&V)" opens one preview over the settings window and refreshes it when pressed again;
// "一覧(&L)" opens the print list of the source chosen, modally, and lets it go; the preview goes
// with the settings window.
TEST_F(ListPrintTest, PreviewAndListOpenFromTheSettingsWindow)
{
    for (int I = 1; I <= 3; ++I)
        Data.AddCall(I, QStringLiteral("031111222%1").arg(I));
    Data.AddEntry(1, QStringLiteral("0311112221"), QString(), QStringLiteral("山田"));
    WriteSettings(OneItemLayout + "[LIST PRINT LAYOUT MEIBO]\nItemNo=2\nItemSize=10\n");
    auto W = Open();
    W->btnPreview->click();
    TListPrintPreview* Preview = ListPrintPreview;
    ASSERT_NE(Preview, nullptr);
    EXPECT_TRUE(Preview->isVisible());
    EXPECT_EQ(Preview->parentWidget(), W.get());
    Preview->cbxZoom->setCurrentIndex(5);
    W->btnPreview->click();
    EXPECT_EQ(ListPrintPreview, Preview);
    EXPECT_EQ(W->findChildren<TListPrintPreview*>().size(), 1);
    EXPECT_EQ(Preview->cbxZoom->currentIndex(), 5);

    for (const bool Directory : {false, true}) {
        if (Directory)
            W->rbAddMeibo->click();
        QString Shown;
        WhenModal<TListPrintList>([&Shown](TListPrintList* List) {
            Shown = List->objectName();
            List->close();
        });
        W->btnList->click();
        EXPECT_EQ(Shown, Directory ? QStringLiteral("AddMeiboListPrintList") : QStringLiteral("RecvHisListPrintList"));
        EXPECT_TRUE(W->findChildren<TListPrintList*>().isEmpty());
    }
    W->btnCancel->click();
    W.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(ListPrintPreview, nullptr);
}

// What the set-up leaves is the window's printer: its panels, copies and count, and the printer
// file, which the next window opens with.
TEST_F(ListPrintTest, TheSetUpBecomesTheWindowsPrinter)
{
    const QString Second = QStringLiteral("第二営業部のレーザープリンター");
    Printers.Add(Second, FakeCaps({QPageSize::A4, QPageSize::B5, QPageSize::A3}, 300, QMarginsF(3, 4, 5, 6)));
    // The dialog is shown and driven here, not logged as a box.
    QTemporaryFile NoAnswers;
    ASSERT_TRUE(NoAnswers.open());
    qputenv("VX_DIALOG_ANSWERS", QFile::encodeName(NoAnswers.fileName()));
    WriteSettings(OneItemLayout + "[LIST PRINT]\nCopies=2\n");
    auto W = Open();
    EXPECT_EQ(W->pnlPrinterName->text(), QStringLiteral("PDF"));
    const QString PortraitCount = W->lblLineCount->text();

    QString Caption;
    QStringList Offered;
    int StartCopies = 0;
    WhenModal<TPrinterSetupDialog>([&](TPrinterSetupDialog* Dialog) {
        Caption = Dialog->windowTitle();
        StartCopies = Dialog->Selection().Copies;
        Dialog->cbxPrinter->setCurrentIndex(Dialog->cbxPrinter->findText(Second));
        for (int I = 0; I < Dialog->cbxPaper->count(); ++I)
            Offered << Dialog->cbxPaper->itemText(I);
        Dialog->cbxPaper->setCurrentIndex(Dialog->cbxPaper->findText(QStringLiteral("B5")));
        Dialog->cbxOrientation->setCurrentIndex(1);
        Dialog->edtCopies->setText(QStringLiteral("3"));
        SaveScreenshot(*Dialog, QStringLiteral("PrinterSetup"));
        Dialog->btnOk->click();
    });
    W->btnPrinterSetup->click();
    qunsetenv("VX_DIALOG_ANSWERS");
    EXPECT_EQ(Caption, QStringLiteral("プリンターの設定"));
    EXPECT_EQ(StartCopies, 2) << "the set-up starts from the window's copies";
    EXPECT_EQ(Offered, QStringList({QStringLiteral("A4"), QStringLiteral("B5"), QStringLiteral("A3")}));
    EXPECT_EQ(W->pnlPrinterName->text(), Second);
    EXPECT_EQ(W->pnlPaperSize->text(), QStringLiteral("B5"));
    EXPECT_EQ(W->pnlOrientation->text(), QStringLiteral("横"));
    EXPECT_EQ(W->udCopies->Position(), 3);
    EXPECT_EQ(W->edtCopies->text(), QStringLiteral("3"));
    EXPECT_NE(W->lblLineCount->text(), PortraitCount) << "a landscape B5 holds fewer rows";
    EXPECT_EQ(W->Model.PrinterInfo->DpiY, 300);

    QFile Stored(Data.Folder + QStringLiteral("LstPrint.pi"));
    ASSERT_TRUE(Stored.open(QIODevice::ReadOnly));
    const std::optional<TDevModeFields> Fields = DecodeDevMode(Stored.readAll().mid(4));
    ASSERT_TRUE(Fields);
    EXPECT_EQ(Fields->Name, Second);
    EXPECT_EQ(Fields->Orientation, DMORIENT_LANDSCAPE);
    EXPECT_EQ(Fields->Copies, 3);
    EXPECT_TRUE(Fields->Paper.isEquivalentTo(QPageSize(QPageSize::B5)));
    W->btnCancel->click();
    W.reset();

    // Cancel changes nothing; the next window opens on the printer chosen.
    auto Again = Open();
    EXPECT_EQ(Again->pnlPrinterName->text(), Second);
    EXPECT_EQ(Again->pnlOrientation->text(), QStringLiteral("横"));
    {
        const TScriptedBoxes Cancel("Cancel");
        Again->btnPrinterSetup->click();
        ASSERT_EQ(Cancel.Boxes().size(), 1);
        EXPECT_EQ(Cancel.Boxes()[0].value(QStringLiteral("caption")).toString(), QStringLiteral("プリンターの設定"));
        EXPECT_EQ(Cancel.Texts()[0], Second);
    }
    EXPECT_EQ(Again->pnlPaperSize->text(), QStringLiteral("B5"));
    Again->btnCancel->click();
}

// Items set one after another stand in the order they were set, wherever the selection was.
TEST_F(ListPrintTest, ItemsSetInTurnKeepTheirOrder)
{
    auto W = Open();
    const auto SetItem = [&W](const QString& Name) {
        W->lbxSrc->setCurrentRow(Row(W->lbxSrc, Name));
        W->bbtnSet->click();
    };
    for (const QString& Name : {QStringLiteral("着信日付"), QStringLiteral("着信時刻"), QStringLiteral("電話番号")})
        SetItem(Name);
    EXPECT_EQ(Dest(*W), QStringList({QStringLiteral("着信日付"), QStringLiteral("着信時刻"), QStringLiteral("電話番号"),
                                     QString()}));
    // Set before a chosen row: the new items go there in order, and the chosen row stays selected.
    W->lbxDest->setCurrentRow(1);
    SetItem(QStringLiteral("区分"));
    W->lbxSrc->setCurrentRow(Row(W->lbxSrc, QStringLiteral("ランク")));
    emit W->lbxSrc->itemDoubleClicked(W->lbxSrc->currentItem());
    EXPECT_EQ(Dest(*W), QStringList({QStringLiteral("着信日付"), QStringLiteral("区分"), QStringLiteral("ランク"),
                                     QStringLiteral("着信時刻"), QStringLiteral("電話番号"), QString()}));
    EXPECT_EQ(W->lbxDest->currentRow(), 3);
    QList<int> Numbers;
    for (const LayoutEntry& Entry : W->Model.CurrentLayout())
        Numbers << Entry.ItemNo;
    EXPECT_EQ(Numbers, QList<int>({2, 9, 10, 3, 4}));
    W->btnCancel->click();
}

// An open preview keeps the pages of its last "プレビュー(&V)" while the settings change.
TEST_F(ListPrintTest, AnOpenPreviewChangesOnlyWithThePreviewButton)
{
    for (int I = 1; I <= 120; ++I)
        Data.AddCall(I, QStringLiteral("03111%1").arg(I, 5, 10, QLatin1Char('0')));
    WriteSettings(OneItemLayout);
    auto W = Open();
    W->btnPreview->click();
    TListPrintPreview* Preview = ListPrintPreview;
    ASSERT_NE(Preview, nullptr);
    const int Pages = Preview->PageCount();
    const int Rows = W->Model.RecordsPerPage;
    ASSERT_GT(Pages, 1);
    const QByteArray Before = Preview->PageImage().data();

    W->cbxFontSize->setCurrentIndex(W->cbxFontSize->findText(QStringLiteral("20")));
    emit W->cbxFontSize->activated(W->cbxFontSize->currentIndex());
    ASSERT_LT(W->Model.RecordsPerPage, Rows) << "the window counts the new size";
    Preview->sbtnLast->click();
    Preview->sbtnFirst->click();
    EXPECT_EQ(Preview->PageCount(), Pages);
    EXPECT_EQ(Preview->lblTotalPage->text(), QString::number(Pages));
    EXPECT_EQ(Preview->PageImage().data(), Before);

    W->btnPreview->click();
    EXPECT_GT(Preview->PageCount(), Pages);
    W->btnCancel->click();
}

TEST_F(ListPrintTest, TheCommandNeedsAPrinter)
{
    SetPrintersForTest(QList<TPrinterEntry>{});
    ShowListPrint(nullptr);
    SetPrintersForTest(std::nullopt);
    EXPECT_EQ(Boxes.Texts(), QStringList{NoPrinterMessage});
    EXPECT_EQ(ListPrint, nullptr);
}

TEST_F(ListPrintTest, EveryPageOpensAndSpeaksJapanese)
{
    WriteSettings(OneItemLayout + "[LIST PRINT]\nColorCount=2\nColor1=255\nColor2=65280\nLine1=1\nLine4=1\n");
    auto W = Open();
    for (int Tag = 0; Tag < 4; ++Tag) {
        W->PageButtons[Tag]->click();
        EXPECT_EQ(W->CurrentPage(), Tag);
        ExpectLabelsWhole(*W, QStringLiteral("page %1").arg(Tag));
        SaveScreenshot(*W, QStringLiteral("ListPrint-page%1").arg(Tag));
    }
    W->btnCancel->click();
}

// The colour dialog of the print settings opens where the printer set-up does.
TEST(ListPrintColorDialogTest, OpensAtTheOwnersCornerInsideTheWorkArea)
{
    QWidget Owner;
    Owner.resize(300, 200);
    Owner.move(200, 150);
    Owner.show();
    QPoint Shown;
    WhenModal<QColorDialog>([&Shown](QColorDialog* Dialog) {
        Shown = Dialog->frameGeometry().topLeft();
        Dialog->reject();
    });
    QList<QColor> Custom(16, QColor(Qt::black));
    EXPECT_FALSE(PromptColor(&Owner, Qt::white, Custom, true));
    EXPECT_EQ(Shown, Owner.frameGeometry().topLeft() + QPoint(15, 15));
}

} // namespace
