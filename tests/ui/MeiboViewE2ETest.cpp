// An entry registered in the record window is who the running program finds when that number
// rings, and once deleted through the directory list it is nobody: the windows write into the data
// folder of a program harness, the real program runs on it, and the calls' history rows are read
// back with the sqlite3 shell.
#include "directory/list/MeiboLst.h"
#include "directory/record/MeiboVw.h"
#include "main/settings/Settings.h"
#include "main/tables/DBInfo.h"
#include "main/tables/HisInfo.h"
#include "tests/support/ProgramHarness.h"
#include "tests/support/ScriptedBoxes.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(MeiboViewE2ETest, AnEntryRegisteredInTheWindowNamesItsCaller)
{
    TProgramHarness Program;
    Settings = TSettings();
    {
        TScriptedBoxes Boxes("No"); // no further entry
        DMVxRelvo16 = new TDMVxRelvo16(Program.DataFolder(), Program.DataFolder());
        DMVxRelvo16->CreateMeiboTable();
        DMVxRelvo16->CreateRankHistory();
        DMVxRelvo16->LoadRankHistory();
        {
            TMeiboView View(*DMVxRelvo16);
            View.ShowRecord(nullptr);
            View.show();
            QTest::keyClicks(View.edtTel1, QStringLiteral("03-1234-5678"));
            QTest::keyClicks(View.edtTel2, QStringLiteral("0466-12-3456"));
            View.edtCorpKanji->setText(QStringLiteral("株式会社トルヴァネ"));
            QTest::mouseClick(View.btnAddUpd, Qt::LeftButton);
            EXPECT_EQ(View.result(), 1);
            EXPECT_EQ(Boxes.Texts(), QStringList{QStringLiteral("登録しました  \r\n続けて登録しますか？  ")});
        }
        DMVxRelvo16->FreeRankHistory();
        DMVxRelvo16->FreeMeiboTable();
        delete DMVxRelvo16;
        DMVxRelvo16 = nullptr;
    }

    ASSERT_TRUE(Program.StartAndWaitForLine()) << "the line did not open";
    ASSERT_EQ(Program.Ring(QStringLiteral("0466123456")), 0);
    ASSERT_TRUE(Program.WaitForRows(1));
    EXPECT_EQ(Program.Rows(QStringLiteral("select Division, CorpKanji from RecvHis")),
              QStringList{QStringLiteral("1|株式会社トルヴァネ")});
    EXPECT_EQ(Program.Rows(QStringLiteral("select Tel1, Tel2 from Meibo"), MeiboFileName),
              QStringList{QStringLiteral("03-1234-5678|0466-12-3456")});

    // The entry deleted through the directory list, while the program runs: the next call from the
    // number is a new caller.
    {
        TScriptedBoxes Boxes("Yes,OK");
        DMVxRelvo16 = new TDMVxRelvo16(Program.DataFolder(), Program.DataFolder());
        DMVxRelvo16->CreateMeiboTable();
        {
            TMeiboList List;
            List.show();
            ASSERT_EQ(List.RowRecNos().size(), 1);
            List.lbxAddMeibo->setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
            QTest::mouseClick(List.btnDelete, Qt::LeftButton);
            EXPECT_EQ(Boxes.Texts().value(1), QStringLiteral("1件のデータを削除しました  "));
        }
        DMVxRelvo16->FreeMeiboTable();
        delete DMVxRelvo16;
        DMVxRelvo16 = nullptr;
    }
    ASSERT_EQ(Program.Ring(QStringLiteral("0466123456")), 0);
    ASSERT_TRUE(Program.WaitForRows(2));
    EXPECT_EQ(Program.Rows(QStringLiteral("select Division from RecvHis order by RecNo")),
              (QStringList{QStringLiteral("1"), QStringLiteral("0")}));
}

} // namespace
