#include "transfer/export/FExport.h"

#include "main/settings/Settings.h"
#include "tests/support/OwnTables.h"
#include "tests/support/ScriptedBoxes.h"

#include <QFile>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

// "テキストファイル出力" looks for rows in the tables of the module it is handed.

TEST(FExportTablesTest, TheListOpensOnlyOverATableOfTheHandedModuleThatHasRows)
{
    TOwnTables Mine;
    TOwnTables Empty;
    Mine.AddCall(0, QStringLiteral("03-1111-1111"));
    Settings = TSettings();
    SettingsPath = Mine.Folder;
    {
        QFile Ini(SettingsFileName());
        ASSERT_TRUE(Ini.open(QIODevice::WriteOnly));
        Ini.write("[FILE EXPORT]\nSource=0\nRecvHisLayout1=2\n");
    }
    QList<int> Opened;
    FileExportHooks().ShowList = [&Opened](QWidget*, int Source, const TExportLayout&, const QStringList&) {
        Opened << Source;
    };

    for (TOwnTables* Tables : {&Empty, &Mine}) {
        TScriptedBoxes Boxes;
        TFileExport Window(Tables->Module);
        Window.show();
        ASSERT_TRUE(Window.btnList->isEnabled());
        QTest::mouseClick(Window.btnList, Qt::LeftButton);
        EXPECT_EQ(Boxes.Texts(), Tables == &Empty ? QStringList{QStringLiteral("着信対応履歴ファイルにはデータが登録されていません  ")}
                                                  : QStringList());
        EXPECT_EQ(Tables->Module.RecvHisOpenCount(), 0);
    }
    EXPECT_EQ(Opened, QList<int>{ExportSourceHistory}) << "once, over the table with the call";
    EXPECT_TRUE(Mine.OutOfGlobalReach() && Empty.OutOfGlobalReach());

    FileExportHooks() = {};
    Settings = TSettings();
    SettingsPath.clear();
}
