#include "transfer/export/FExport.h"

#include "main/settings/Settings.h"
#include "platform/db/Table.h"
#include "platform/ini/IniFile.h"
#include "tests/support/RecvData.h"
#include "tests/support/Screenshots.h"
#include "tests/support/ScriptedBoxes.h"

#include <QCheckBox>
#include <QDragMoveEvent>
#include <QFile>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class FExportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Settings = TSettings();
        SettingsPath = Data.Folder;
    }
    void TearDown() override
    {
        Settings = TSettings();
        SettingsPath.clear();
        FileExportHooks() = {};
    }
    void WriteIni(const QByteArray& Bytes)
    {
        QFile File(SettingsFileName());
        ASSERT_TRUE(File.open(QIODevice::WriteOnly | QIODevice::Truncate));
        File.write(Bytes);
    }
    QByteArray ReadIni()
    {
        QFile File(SettingsFileName());
        return File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray();
    }
    static QStringList Column(QTableWidget* Grid, int Col)
    {
        QStringList Texts;
        for (int Row = 0; Row < Grid->rowCount(); ++Row)
            Texts << (Grid->item(Row, Col) ? Grid->item(Row, Col)->text() : QString());
        return Texts;
    }
    void AddCall()
    {
        TTableUse Use(*DMVxRelvo16, TDataTable::RecvHis);
        RecvHisTable->Append();
        RecvHisTable->FieldByName("RecNo").SetAsInteger(0);
        RecvHisTable->FieldByName("RecvDateTime").SetAsFloat(45000.5);
        RecvHisTable->Post();
    }
    TRecvData Data;
};

TEST_F(FExportTest, FirstStartShowsTheDefaults)
{
    TScriptedBoxes Boxes;
    TFileExport Window(*DMVxRelvo16);
    Window.show();
    EXPECT_EQ(Window.windowTitle(), QStringLiteral("テキストファイル出力"));
    EXPECT_TRUE(Window.rbRecvHis->isChecked());
    EXPECT_TRUE(Window.rbSelect->isChecked());
    EXPECT_TRUE(Window.rbEncrypt->isChecked());
    EXPECT_TRUE(Window.rbEncrypt->isEnabled());
    EXPECT_TRUE(Window.chkOutHeader->isChecked() && Window.chkEditTelHyphen->isChecked() &&
                Window.chkEditPosHyphen->isChecked());
    EXPECT_FALSE(Window.chkBindDblQuote->isChecked() || Window.chkEditDate->isChecked() ||
                 Window.chkEditTime->isChecked());
    EXPECT_FALSE(Window.btnList->isEnabled());
    EXPECT_EQ(Window.sgDest->rowCount(), 1);
    EXPECT_EQ(Window.sgSrc->rowCount(), 28);
    EXPECT_EQ(Window.sgSrc->item(9, 0)->text(), DefaultSelectItem1);
    EXPECT_EQ(Window.rbRecvHis->palette().color(QPalette::WindowText), QColor(Qt::blue));
    EXPECT_TRUE(Boxes.Texts().isEmpty());
}

TEST_F(FExportTest, StoredChoicesAndLayoutsAreShown)
{
    WriteIni("[FILE EXPORT]\nSource=1\nRange=-1\nType=2\nAddMeiboLayout1=0,8\nAddMeiboLayout2=9\n"
             "RecvHisLayout1=2\nRecvHisLayout3=4\n");
    TScriptedBoxes Boxes;
    Settings.UseFbAdrs = true;
    TFileExport Window(*DMVxRelvo16);
    Window.show();
    EXPECT_TRUE(Window.rbAddMeibo->isChecked());
    EXPECT_TRUE(Window.rbSelect->isChecked());
    EXPECT_TRUE(Window.rbEncrypt->isChecked());
    EXPECT_FALSE(Window.chkEditDate->isEnabled());
    EXPECT_EQ(Column(Window.sgDest, 0), QStringList({"  1", "", "  2", ""}));
    EXPECT_EQ(Column(Window.sgDest, 1), QStringList({"電話番号１", "会社名カナ", "会社名漢字", ""}));
    ASSERT_EQ(Boxes.Texts().size(), 1);
    EXPECT_TRUE(Boxes.Texts()[0].startsWith(QStringLiteral("ここでのテキストファイル出力はTolvaneの登録名簿")));
    Window.rbRecvHis->click();
    EXPECT_TRUE(Window.chkEditDate->isEnabled());
    EXPECT_EQ(Column(Window.sgDest, 1), QStringList({"電話番号", ""}));
    SaveScreenshot(Window, QStringLiteral("FExport"));
}

TEST_F(FExportTest, EditingRefusesTheHundredAndFirstEntry)
{
    TScriptedBoxes Boxes;
    TFileExport Window(*DMVxRelvo16);
    Window.show();
    for (int I = 0; I < 4; ++I)
        Window.bbtnAllSet->click();
    Window.sgDest->setCurrentCell(28, 1);
    for (int I = 0; I < 72; ++I)
        Window.bbtnSet->click();
    EXPECT_EQ(Window.State().History.size(), 100);
    Window.bbtnSet->click();
    Window.bbtnAdd->click();
    EXPECT_EQ(Window.State().History.size(), 100);
    EXPECT_EQ(Boxes.Texts(), QStringList(2, QStringLiteral("セットできる最大項目数は100項目です  ")));
    Window.bbtnAllClear->click();
    EXPECT_FALSE(Window.btnList->isEnabled());
    EXPECT_FALSE(Window.bbtnUp->isEnabled() || Window.bbtnDown->isEnabled());
}

TEST_F(FExportTest, ListSavesAndCancelLeavesTheFileAlone)
{
    WriteIni("; kept\n[FILE EXPORT]\nRecvHisLayout1=0\nRecvHisLayout3=2\n");
    const QByteArray Before = ReadIni();
    {
        TScriptedBoxes Boxes;
        TFileExport Window(*DMVxRelvo16);
        Window.show();
        Window.chkBindDblQuote->click();
        Window.bbtnAllSet->click();
        Window.btnCancel->click();
    }
    EXPECT_EQ(ReadIni(), Before);

    TScriptedBoxes Boxes;
    int Shown = 0;
    FileExportHooks().ShowList = [&](QWidget*, int Source, const TExportLayout& Layout, const QStringList& Names) {
        ++Shown;
        EXPECT_EQ(Source, 0);
        EXPECT_EQ(Layout.size(), 2);
        EXPECT_EQ(Names.value(0), QStringLiteral("着信日付"));
    };
    TFileExport Window(*DMVxRelvo16);
    Window.show();
    Window.btnList->click(); // an empty history
    AddCall();
    Window.sgDest->setCurrentCell(1, 1);
    Window.sgSrc->setCurrentCell(5, 0);
    Window.bbtnAdd->click();
    Window.btnList->click();
    EXPECT_EQ(Boxes.Texts(), QStringList(QStringLiteral("着信対応履歴ファイルにはデータが登録されていません  ")));
    EXPECT_EQ(Shown, 1);
    const TMemIniFile Ini(SettingsFileName());
    EXPECT_EQ(Ini.ReadString("FILE EXPORT", "RecvHisLayout1", {}), QStringLiteral("0,5"));
    EXPECT_FALSE(Ini.ValueExists("FILE EXPORT", "RecvHisLayout3"));
    EXPECT_TRUE(ReadIni().startsWith("; kept\n"));
}

} // namespace

// An item dragged from the item grid goes in before the row it is dropped on, as "セット" would put it
// there, and the item grid keeps its selection; a drag from elsewhere is refused.
TEST_F(FExportTest, AnItemDroppedOnTheLayoutIsSetBeforeThatRow)
{
    TScriptedBoxes Boxes;
    TFileExport Window(*DMVxRelvo16);
    Window.show();
    QTableWidget* Dest = Window.sgDest;
    Window.sgSrc->setCurrentCell(0, 0);
    Window.bbtnSet->click();
    Window.sgSrc->setCurrentCell(1, 0);
    Window.bbtnSet->click();
    const QStringList Before = Column(Dest, 1);
    ASSERT_EQ(Before.mid(0, 2), QStringList({Window.sgSrc->item(0, 0)->text(), Window.sgSrc->item(1, 0)->text()}));

    Window.sgSrc->setCurrentCell(5, 0);
    QMimeData Foreign;
    Foreign.setData(QStringLiteral("text/plain"), "x");
    const QRect First = Dest->visualRect(Dest->model()->index(0, 1));
    QDragMoveEvent Refused(First.center(), Qt::CopyAction, &Foreign, Qt::LeftButton, Qt::NoModifier);
    (void)static_cast<QObject*>(&Window)->eventFilter(Dest->viewport(), &Refused);
    EXPECT_FALSE(Refused.isAccepted());

    QMimeData Item;
    Item.setData(QStringLiteral("application/x-tolvane-export-item"), "5");
    const QRect Second = Dest->visualRect(Dest->model()->index(1, 1));
    QDragMoveEvent Over(Second.center(), Qt::CopyAction, &Item, Qt::LeftButton, Qt::NoModifier);
    (void)static_cast<QObject*>(&Window)->eventFilter(Dest->viewport(), &Over);
    EXPECT_TRUE(Over.isAccepted());
    EXPECT_EQ(Dest->currentRow(), 1);
    QDropEvent Drop(QPointF(Second.center()), Qt::CopyAction, &Item, Qt::LeftButton, Qt::NoModifier);
    (void)static_cast<QObject*>(&Window)->eventFilter(Dest->viewport(), &Drop);
    const QStringList After = Column(Dest, 1);
    EXPECT_EQ(After.mid(0, 3), QStringList({Before[0], Window.sgSrc->item(5, 0)->text(), Before[1]}));
    EXPECT_EQ(Dest->currentRow(), 1);
    EXPECT_EQ(Window.sgSrc->currentRow(), 5);
}
