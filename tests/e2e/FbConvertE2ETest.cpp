// A directory converted into an address book by the utility is the book the main program identifies
// callers in: the converted name reaches the call history of the real program.
#include "main/identify/FbEditions.h"
#include "main/tables/AdrsTableDef.h"
#include "main/tables/DBInfo.h"
#include "platform/db/Table.h"
#include "platform/msg/CoreMessage.h"
#include "tests/support/FbBookInUse.h"
#include "tests/support/ProgramHarness.h"
#include "utility/fernbook/FbArea.h"
#include "utility/fernbook/FbConvert.h"

#include <QDir>
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

    ASSERT_TRUE(UseFbBookInProgram(Program, Fb, QStringLiteral("得意先")));

    ASSERT_TRUE(Program.StartAndWaitForLine());
    ASSERT_EQ(Program.Ring(QStringLiteral("0312345678")), 0);
    ASSERT_TRUE(Program.WaitForRows(1));
    EXPECT_EQ(Program.Rows(QStringLiteral("SELECT NameKanji FROM RecvHis")), QStringList{QStringLiteral("変換太郎")});
}

} // namespace
