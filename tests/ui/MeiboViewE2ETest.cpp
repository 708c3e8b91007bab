// An entry registered in the record window is who the running program finds when that number
// rings: the window writes into the data folder of a program harness, the real program starts on
// it, and the call's history row is read back with the sqlite3 shell.
#include "directory/record/MeiboVw.h"
#include "main/settings/Settings.h"
#include "main/tables/DBInfo.h"
#include "main/tables/HisInfo.h"
#include "tests/support/ProgramHarness.h"
#include "tests/support/ScriptedBoxes.h"

#include <QLineEdit>
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
            TMeiboView View;
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
}

} // namespace
