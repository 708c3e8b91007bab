// A directory converted into an address book by the utility is the book the main program identifies
// callers in: the converted name reaches the call history of the real program.
#include "main/identify/FbEditions.h"
#include "main/tables/AdrsTableDef.h"
#include "main/tables/DBInfo.h"
#include "platform/db/Table.h"
#include "platform/msg/CoreMessage.h"
#include "tests/support/ProgramHarness.h"
#include "utility/fernbook/FbArea.h"
#include "utility/fernbook/FbConvert.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

TEST(FbConvertE2ETest, TheMainProgramIdentifiesACallerFromTheConvertedBook)
{
    TProgramHarness Program;
    const QString Source = Program.TempPath(QStringLiteral("source/"));
    const QString Fb = Program.TempPath(QStringLiteral("fb/"));
    const QString Book = Fb + QStringLiteral("Adrs/得意先/");
    QDir().mkpath(Source);
    QDir().mkpath(Book);
    SetCoreMessageBox([](const QString&, const QString&, unsigned) { return 1; });
    {
        TDMVxRelvo16 Module(Source, Source);
        Module.CreateMeiboTable();
        TTableUse Use(Module, TDataTable::Meibo);
        MeiboTable->Append();
        MeiboTable->FieldByName(QStringLiteral("RecNo")).SetAsInteger(1);
        MeiboTable->FieldByName(QStringLiteral("SchTel1")).SetAsString(QStringLiteral("0312345678"));
        MeiboTable->FieldByName(QStringLiteral("NameKanji")).SetAsString(QStringLiteral("変換太郎"));
        MeiboTable->FieldByName(QStringLiteral("PrivCorp")).SetAsString(QStringLiteral("0"));
        MeiboTable->Post();
    }
    {
        Utility::KeywordPath = Fb + QStringLiteral("History/");
        TDMVxRelvo16 Module(Source, Source);
        ASSERT_EQ(Utility::ConvertToFernbook(Module, Book, {}).Records, 1);
    }
    SetCoreMessageBox({});

    // Edition 0 registered with its settings file naming the data folder, the book in use.
    const QString Pelmar = Program.DataHome() + QStringLiteral("Pelmar/");
    QDir().mkpath(Pelmar + QStringLiteral("fbarea18"));
    QFile Registry(Pelmar + QStringLiteral("registry.ini"));
    ASSERT_TRUE(Registry.open(QIODevice::Append));
    Registry.write("\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\fbarea18.exe]\n"
                   "Path=" +
                   Program.TempPath(QStringLiteral("fernbook/")).toUtf8() + "\n");
    Registry.close();
    QFile Ini(Pelmar + QStringLiteral("fbarea18/fbarea18.ini"));
    ASSERT_TRUE(Ini.open(QIODevice::WriteOnly));
    Ini.write("[BASE]\nDataPath=" + Fb.toUtf8() + "\n");
    Ini.close();
    for (const auto& [Key, Value] : {std::pair{"UseFbAdrs", "1"},
                                     {"FbSeries", "0"},
                                     {"FbAdrsBook", "0"},
                                     {"FbAdrsBookName", "得意先"},
                                     {"RunFbDlg", "0"},
                                     {"FbBackup", "0"}})
        Program.SetSetting(QStringLiteral("USE FBADRS"), QString::fromLatin1(Key), QString::fromUtf8(Value));

    ASSERT_TRUE(Program.StartAndWaitForLine());
    ASSERT_EQ(Program.Ring(QStringLiteral("0312345678")), 0);
    ASSERT_TRUE(Program.WaitForRows(1));
    EXPECT_EQ(Program.Rows(QStringLiteral("SELECT NameKanji FROM RecvHis")), QStringList{QStringLiteral("変換太郎")});
}

} // namespace
