// The memo item dialog: choosing, ordering and restoring items, the font page and its refusal.

#include "calls/memo/EItmSel.h"

#include "main/common/CommonForms.h"
#include "main/settings/Settings.h"
#include "tests/support/Screenshots.h"
#include "tests/support/ScriptedBoxes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

QList<TMemoPrintItem> TableOrder()
{
    QList<TMemoPrintItem> Items;
    for (int Row = 0; Row < MemoItemCount; ++Row)
        Items.append({Row, Row, QLatin1String(MemoItemTable[Row].Export) == QLatin1String("1")});
    return Items;
}

class EItmSelTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Settings = TSettings();
        Settings.SelectItem1 = QStringLiteral("問合せ");
        MemoPrintSettings = TMemoPrintSettings();
    }
    void TearDown() override
    {
        Settings = TSettings();
        MemoPrintSettings = TMemoPrintSettings();
    }
    std::unique_ptr<TExportItemSelect> Open(bool Fb = false)
    {
        auto Dialog = std::make_unique<TExportItemSelect>(nullptr, Fb);
        Dialog->SetItems(TableOrder(), MemoItemCount - 1);
        Dialog->show();
        (void)QTest::qWaitForWindowExposed(Dialog.get());
        return Dialog;
    }
    static QStringList Captions(const TExportItemSelect& Dialog)
    {
        QStringList Result;
        for (int Row = 0; Row < Dialog.lvExportItem->count(); ++Row)
            Result << Dialog.lvExportItem->item(Row)->text();
        return Result;
    }
};

} // namespace

TEST_F(EItmSelTest, TheListShowsTheModesCaptionsAndSelectItemNames)
{
    auto Dialog = Open(true);
    EXPECT_EQ(Dialog->windowTitle(), QStringLiteral("項目設定"));
    const QStringList Shown = Captions(*Dialog);
    EXPECT_EQ(Shown.mid(5, 2), (QStringList{"着信電話番号", "他の電話番号"}));
    EXPECT_EQ(Shown.mid(20, 3), (QStringList{"問合せ", QString(), QString()}));
    EXPECT_EQ(Dialog->lvExportItem->currentRow(), 0);
}

TEST_F(EItmSelTest, NothingTickedIsRefusedAndTheDialogStays)
{
    auto Dialog = Open();
    for (int Row = 0; Row < Dialog->lvExportItem->count(); ++Row)
        Dialog->lvExportItem->item(Row)->setCheckState(Qt::Unchecked);
    const TScriptedBoxes Boxes;
    Dialog->btnOk->click();
    EXPECT_EQ(Boxes.Texts(), QStringList{QStringLiteral("項目は１つ以上選択してください  ")});
    EXPECT_TRUE(Dialog->isVisible());
    EXPECT_EQ(Dialog->result(), 0);
    Dialog->bbtnAll->click();
    Dialog->btnOk->click();
    EXPECT_EQ(Dialog->result(), 1);
    QList<TMemoPrintItem> Items;
    Dialog->GetItems(Items);
    EXPECT_TRUE(std::all_of(Items.begin(), Items.end(), [](const TMemoPrintItem& I) { return I.Chosen; }));
}

TEST_F(EItmSelTest, MovesKeepChecksAndReSortRestoresTableOrder)
{
    auto Dialog = Open();
    const QStringList Before = Captions(*Dialog);
    // Line 5 (item 4, chosen) to the top.
    Dialog->lvExportItem->setCurrentRow(4);
    Dialog->bbtnTop->click();
    QStringList Expected = Before;
    Expected.move(4, 0);
    EXPECT_EQ(Captions(*Dialog), Expected);
    EXPECT_EQ(Dialog->lvExportItem->item(0)->checkState(), Qt::Checked);
    EXPECT_EQ(Dialog->lvExportItem->currentRow(), 0);
    // Item 0 (not chosen) is now second; tick it, send it to the bottom, move another one down.
    Dialog->lvExportItem->item(1)->setCheckState(Qt::Checked);
    Dialog->lvExportItem->setCurrentRow(1);
    Dialog->bbtnBottom->click();
    Dialog->lvExportItem->setCurrentRow(2);
    Dialog->bbtnDown->click();
    Dialog->bbtnUp->click();
    Dialog->bbtnUp->click();
    QList<TMemoPrintItem> Items;
    Dialog->GetItems(Items);
    EXPECT_EQ(Items.last().TableRow, 0);
    EXPECT_TRUE(Items.last().Chosen);

    Dialog->bbtnReSort->click();
    EXPECT_EQ(Captions(*Dialog), Before);
    Dialog->GetItems(Items);
    QList<TMemoPrintItem> Restored = TableOrder();
    Restored[0].Chosen = true;
    for (int Row = 0; Row < MemoItemCount; ++Row) {
        EXPECT_EQ(Items[Row].TableRow, Row);
        EXPECT_EQ(Items[Row].Chosen, Restored[Row].Chosen) << Row;
    }
    // A double click toggles, Enter in the list goes to OK.
    Dialog->lvExportItem->setCurrentRow(3);
    emit Dialog->lvExportItem->itemDoubleClicked(Dialog->lvExportItem->item(3));
    EXPECT_EQ(Dialog->lvExportItem->item(3)->checkState(), Qt::Unchecked);
    Dialog->lvExportItem->setFocus();
    QTest::keyClick(Dialog->lvExportItem, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), Dialog->btnOk);
}

TEST_F(EItmSelTest, TheFontPageTakesTheStoredFontAndHandsBackTheChosenOne)
{
    const QList<TFontListEntry> Fonts = ListFonts(false, false);
    ASSERT_FALSE(Fonts.isEmpty());
    TFontListEntry Japanese = Fonts.first();
    for (const TFontListEntry& Font : Fonts) {
        if (Font.Charset == SHIFTJIS_CHARSET) {
            Japanese = Font;
            break;
        }
    }
    MemoPrintSettings.FontName = QLatin1Char('@') + Japanese.Name;
    MemoPrintSettings.FontSize = 31;
    MemoPrintSettings.FontStyle = FONT_STYLE_BOLD;
    auto Dialog = Open();
    EXPECT_EQ(MemoPrintSettings.FontName, Japanese.Name);
    ASSERT_NE(Dialog->lbxFontName->currentItem(), nullptr);
    EXPECT_EQ(Dialog->lbxFontName->currentItem()->text(), Japanese.Name);
    EXPECT_EQ(Dialog->cbxFontSize->currentText(), QStringLiteral("7"));
    EXPECT_EQ(Dialog->cbxFontSize->count(), 24);
    EXPECT_EQ(Dialog->pnlSample->text(),
              Japanese.Charset == SHIFTJIS_CHARSET ? QStringLiteral("Tolvane１６") : QStringLiteral("Pelmar Corp."));
    EXPECT_TRUE(Dialog->chkBold->isChecked());
    EXPECT_EQ(Dialog->chkBold->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_NE(Dialog->chkItalic->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    // The names are sorted.
    for (int Row = 1; Row < Dialog->lbxFontName->count(); ++Row) {
        EXPECT_LE(Dialog->lbxFontName->item(Row - 1)->text(), Dialog->lbxFontName->item(Row)->text());
    }

    Dialog->pgcMemoPrint->setCurrentIndex(1);
    Dialog->cbxFontSize->setCurrentText(QStringLiteral("12"));
    Dialog->chkItalic->setChecked(true);
    Dialog->chkPrintMessage->setChecked(false);
    Dialog->btnOk->click();
    EXPECT_EQ(Dialog->result(), 1);
    EXPECT_EQ(MemoPrintSettings.FontSize, 12);
    EXPECT_EQ(MemoPrintSettings.FontStyle, FONT_STYLE_BOLD | FONT_STYLE_ITALIC);
    EXPECT_EQ(MemoPrintSettings.FontName, Japanese.Name);
    EXPECT_EQ(MemoPrintSettings.FontCharset, Japanese.Charset);
    EXPECT_EQ(MemoPrintSettings.TabIndex, 1);
    EXPECT_FALSE(MemoPrintSettings.PrintMsg);
}

TEST_F(EItmSelTest, BothPagesShowTheirWholeTexts)
{
    MemoPrintSettings.FontStyle = FONT_STYLE_BOLD;
    auto Dialog = Open();
    ExpectLabelsWhole(*Dialog, QStringLiteral("items"));
    SaveScreenshot(*Dialog, QStringLiteral("ExportItemSelect-items"));
    Dialog->pgcMemoPrint->setCurrentIndex(1);
    QCoreApplication::processEvents(); // the page lays itself out once it is shown
    ExpectLabelsWhole(*Dialog, QStringLiteral("font"));
    SaveScreenshot(*Dialog, QStringLiteral("ExportItemSelect-font"));
}
