#include "directory/Dashrule.h"
#include "main/common/CommonText.h"
#include "main/start/MainHooks.h"
#include "main/start/ProgramStart.h"
#include "platform/sys/SingleInstance.h"
#include "tests/support/DicProgramFolder.h"
#include "tests/support/ScriptedBoxes.h"
#include "tests/support/SqlRows.h"
#include "tests/support/TableFaults.h"
#include "tests/support/UtilityWorld.h"
#include "transfer/common/TelRules.h"
#include "utility/fixes/AdrsPosConvert.h"
#include "utility/fixes/KyokubanChange.h"
#include "utility/forms/UtilMainForm.h"
#include "utility/start/UtilityRunning.h"

#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <gtest/gtest.h>

using namespace Utility;

namespace {

const QDateTime RunTime(QDate(2026, 12, 9), QTime(10, 30, 0));
const QString Done = QStringLiteral("一括変換が終了しました  ");

// The run's clock, and a program folder with the stand-ins, for one test.
class TFixWorld : public TUtilityWorld
{
public:
    explicit TFixWorld(const QString& Without = {})
    {
        ProgramPath = MakeProgramFolder(Program, Without);
        if (Without != QStringLiteral("Addrmend.so"))
            for (const char* Name : {"Addrmend.so", "Postmend.so"})
                QFile::link(QStringLiteral(VX_BIN_DIR "/") + QLatin1String(Name), ProgramPath + QLatin1String(Name));
        QDir().mkpath(ProgramPath + QStringLiteral("AddConv"));
        SetTelRulesNow([] { return RunTime; });
    }
    ~TFixWorld() { SetTelRulesNow({}); }

    // Rows of one table: each a list of (field, value).
    void Fill(TDataTable Which, const QList<QList<std::pair<QString, QString>>>& Rows) const
    {
        TDMVxRelvo16 Module(Data(), ProgramPath);
        Which == TDataTable::RecvHis ? Module.CreateRecvHisTable() : Module.CreateMeiboTable();
        TTableUse Use(Module, Which);
        TTable& Table = *(Which == TDataTable::RecvHis ? RecvHisTable : MeiboTable);
        TTableTransaction Transaction(Table);
        int RecNo = 0;
        for (const auto& Row : Rows) {
            Table.Append();
            Table.FieldByName(QStringLiteral("RecNo")).SetAsInteger(RecNo++);
            for (const auto& [Name, Value] : Row)
                Table.FieldByName(Name).SetAsString(Value);
            Table.Post();
        }
        Transaction.Commit();
    }

    void WriteTable(const QByteArray& Lines) const
    {
        QFile Out(ProgramPath + QStringLiteral("AddConv/Addrmend.tsv"));
        ASSERT_TRUE(Out.open(QIODevice::WriteOnly));
        Out.write(Lines);
    }

    // A table that refuses to change the row numbered RecNo, as a damaged or locked row would.
    void Refuse(const QString& File, const char* Table, int RecNo) const
    {
        EXPECT_TRUE(TableFaults::RefuseRow(Data() + File, QString::fromLatin1(Table), RecNo));
    }

private:
    QTemporaryDir Program;
};

// The date-time as the tables hold it: days since 1899-12-30.
QString Days(const QDateTime& Time)
{
    const double Value = QDateTime(QDate(1899, 12, 30), QTime(0, 0)).msecsTo(Time) / 86400000.0;
    return QString::number(Value, 'f', 6);
}

QStringList HistoryRows(const QString& Folder)
{
    return SqlRows(Folder + RecvHisFileName,
                   "SELECT RecNo, Tel, SchTel, printf('%.6f', AxsDateTime) FROM RecvHis ORDER BY RecNo");
}

// Rows as one text, so that a failure shows them.
std::string Lines(const QStringList& Rows)
{
    return Rows.join(QLatin1Char('\n')).toStdString();
}

QStringList Captions(const TScriptedBoxes& Boxes)
{
    QStringList Result;
    for (const QJsonObject& Box : Boxes.Boxes())
        Result << Box.value(QStringLiteral("caption")).toString();
    return Result;
}

} // namespace

TEST(KyokubanChangeTest, HistoryNumbersAreRewrittenAndRehyphenatedAndOthersLeftAlone)
{
    TFixWorld World;
    World.Fill(TDataTable::RecvHis, {{{"Tel", "010-1234-567"}, {"SchTel", "0101234567"}},
                                     {{"Tel", "P"}},
                                     {{"Tel", ""}},
                                     {{"Tel", "0312345678"}, {"SchTel", "0312345678"}},
                                     {{"Tel", "090-1123-4567"}, {"SchTel", "09011234567"}},
                                     {{"Tel", "0101234567"}}});
    World.Refuse(RecvHisFileName, "RecvHis", 5);
    const QStringList Before = HistoryRows(World.Data());
    TScriptedBoxes Boxes("Yes");
    EXPECT_TRUE(RunKyokubanChange());
    const QString Now = Days(RunTime);
    EXPECT_EQ(
        Lines(HistoryRows(World.Data())),
        Lines({"0|090-1123-4567|09011234567|" + Now, "1|P||0.000000", "2|||0.000000",
               "3|03-1234-5678|0312345678|" + Now, "4|090-1123-4567|09011234567|0.000000", "5|0101234567||0.000000"}));
    EXPECT_EQ(Boxes.Texts().last(), Done);
    EXPECT_EQ(HistoryRows(World.Data() + QStringLiteral("backup.kyk/")), Before);
}

TEST(KyokubanChangeTest, DirectoryRowsWithoutAFirstNumberAreLeftUnchanged)
{
    TFixWorld World;
    World.Fill(TDataTable::Meibo, {{{"Tel1", ""}, {"Tel2", "0101234567"}},
                                   {{"Tel1", "0101234567"}, {"Tel2", "0312345678"}},
                                   {{"Tel1", "03-1234-5678"}, {"Tel2", ""}}});
    TScriptedBoxes Boxes("Yes");
    EXPECT_TRUE(RunKyokubanChange());
    const QString Now = Days(RunTime);
    EXPECT_EQ(Lines(SqlRows(World.Data() + MeiboFileName, "SELECT RecNo, Tel1, SchTel1, Tel2, SchTel2, "
                                                          "printf('%.6f', AxsDateTime) FROM Meibo ORDER BY RecNo")),
              Lines({"0|||0101234567||0.000000", "1|090-1123-4567|09011234567|03-1234-5678|0312345678|" + Now,
                     "2|03-1234-5678||||0.000000"}));
}

TEST(KyokubanChangeTest, TheEarlierExchangeStaysBeforeItsDayAndNumbersAreHyphenated)
{
    TFixWorld World;
    ASSERT_EQ(LoadHyphenLibrary(ProgramPath, ProgramPath + QStringLiteral("Dic/")), 0);
    const QString After = ConvertStoredTel(QStringLiteral("0720123456"));
    SetTelRulesClock([] { return QDate(1999, 12, 31); });
    const QString Before = ConvertStoredTel(QStringLiteral("0720123456"));
    FreeHyphenLibrary();
    EXPECT_TRUE(DigitsOnly(After).startsWith(QStringLiteral("0728"))) << After.toStdString();
    EXPECT_EQ(DigitsOnly(Before), QStringLiteral("0720123456"));
}

TEST(KyokubanChangeTest, WithoutTheHyphenationLibraryNoTableChanges)
{
    TFixWorld World(QStringLiteral("Dashrule.so"));
    World.Fill(TDataTable::RecvHis, {{{"Tel", "010-1234-567"}}});
    const QByteArray Before = TUtilityWorld::Bytes(World.Data() + RecvHisFileName);
    TScriptedBoxes Boxes("Yes");
    EXPECT_FALSE(RunKyokubanChange());
    EXPECT_EQ(Captions(Boxes).last(), QStringLiteral("Dashrule.so LoadLibrary Error"));
    EXPECT_EQ(TUtilityWorld::Bytes(World.Data() + RecvHisFileName), Before);
}

TEST(AdrsPosConvertRunTest, ConvertedRowsAreCountedAndARefusedRowKeepsItsValues)
{
    TFixWorld World;
    World.WriteTable("東京都旧市\t東京都\t新市\t13999\t1000001\n");
    World.Fill(TDataTable::Meibo, {{{"Tdfkn", "東京都"}, {"Adrs1", "旧市"}, {"Adrs2", "本町"}, {"Pos", "1230000"}},
                                   {{"Tdfkn", "大阪府"}, {"Adrs1", "大阪市"}},
                                   {{"Tdfkn", "東京都"}, {"Adrs1", "旧市"}, {"Adrs2", "北町"}}});
    World.Refuse(MeiboFileName, "Meibo", 2);
    TScriptedBoxes Boxes("Yes");
    EXPECT_TRUE(RunConvertAdrsPos());
    EXPECT_EQ(SqlRows(World.Data() + MeiboFileName,
                      "SELECT RecNo, Tdfkn, Adrs1, Adrs2, Pos, JisCode FROM Meibo ORDER BY RecNo"),
              (QStringList{"0|東京都|新市|本町|1000001|13999", "1|大阪府|大阪市|||", "2|東京都|旧市|北町||"}));
    EXPECT_EQ(Boxes.Texts().last(),
              QStringLiteral("住所・郵便番号変換が終了しました  \r\n\r\n  処理件数 = 3\r\n  変換件数 = 1"));
    EXPECT_TRUE(QFile::exists(World.Data() + QStringLiteral("backup.cap/") + MeiboFileName));
}

TEST(AdrsPosConvertRunTest, WithBothLibrariesMissingEveryRowIsReadAndNoneWritten)
{
    TFixWorld World(QStringLiteral("Addrmend.so"));
    World.WriteTable("東京都旧市\t東京都\t新市\t13999\t1000001\n");
    World.Fill(TDataTable::Meibo, {{{"Tdfkn", "東京都"}, {"Adrs1", "旧市"}}, {{"Tdfkn", "東京都"}}});
    const QByteArray Before = TUtilityWorld::Bytes(World.Data() + MeiboFileName);
    TScriptedBoxes Boxes("Yes");
    EXPECT_TRUE(RunConvertAdrsPos());
    EXPECT_EQ(Captions(Boxes).mid(1, 2),
              (QStringList{"Addrmend.so LoadLibrary Error", "Postmend.so LoadLibrary Error"}));
    EXPECT_EQ(Boxes.Texts().last(),
              QStringLiteral("住所・郵便番号変換が終了しました  \r\n\r\n  処理件数 = 2\r\n  変換件数 = 0"));
    EXPECT_EQ(SqlRows(World.Data() + MeiboFileName, "SELECT Tdfkn, Adrs1 FROM Meibo ORDER BY RecNo"),
              (QStringList{"東京都|旧市", "東京都|"}));
}

TEST(UtilityFixesRunningTest, BothFixesRefuseWhileTheMainProgramRuns)
{
    TFixWorld World;
    World.Fill(TDataTable::RecvHis, {{{"Tel", "010-1234-567"}}});
    World.Fill(TDataTable::Meibo, {{{"Tel1", "0101234567"}, {"Tdfkn", "東京都"}}});
    TSingleInstance MainProgram(MAIN_INSTANCE_NAME);
    ASSERT_EQ(MainProgram.Acquire(), TSingleInstance::EAcquire::Acquired);
    const QByteArray Meibo = TUtilityWorld::Bytes(World.Data() + MeiboFileName);
    const QByteArray RecvHis = TUtilityWorld::Bytes(World.Data() + RecvHisFileName);
    TScriptedBoxes Boxes("Yes,Yes");
    TMainForm Form;
    Form.show();
    Form.bbtn06PP->click();
    Form.bbtnConvertAdrsPos->click();
    EXPECT_EQ(Boxes.Texts(), QStringList(2, QString::fromUtf8(MainProgramRunningMessage)));
    EXPECT_EQ(TUtilityWorld::Bytes(World.Data() + MeiboFileName), Meibo);
    EXPECT_EQ(TUtilityWorld::Bytes(World.Data() + RecvHisFileName), RecvHis);
    EXPECT_FALSE(QFile::exists(World.Data() + "backup.kyk"));
    EXPECT_FALSE(QFile::exists(World.Data() + "backup.cap"));
}

TEST(UtilityFixesWindowTest, TheExchangeNumberButtonRewritesTheTablesAndKeepsASafetyCopy)
{
    TFixWorld World;
    World.Fill(TDataTable::RecvHis, {{{"Tel", "010-1234-567"}}, {{"Tel", "P"}}});
    World.Fill(TDataTable::Meibo, {{{"Tel1", "0101234567"}, {"Tel2", "0312345678"}}});
    const QStringList Before = HistoryRows(World.Data());
    TScriptedBoxes Boxes("Yes");
    TMainForm Form;
    Form.show();
    Form.pgctlUtility->setCurrentWidget(Form.tabstKyokubanChange);
    int Highest = 0;
    QObject::connect(Form.pgbar06PP, &QProgressBar::valueChanged,
                     [&Highest](int Value) { Highest = std::max(Highest, Value); });
    Form.bbtn06PP->click();
    EXPECT_EQ(Boxes.Texts().last(), Done);
    EXPECT_EQ(Highest, 3);
    EXPECT_EQ(Form.pgbar06PP->value(), 0);
    const QString Now = Days(RunTime);
    EXPECT_EQ(Lines(HistoryRows(World.Data())), Lines({"0|090-1123-4567|09011234567|" + Now, "1|P||0.000000"}));
    EXPECT_EQ(SqlRows(World.Data() + MeiboFileName, "SELECT Tel1, SchTel1, Tel2, SchTel2 FROM Meibo"),
              QStringList{"090-1123-4567|09011234567|03-1234-5678|0312345678"});
    EXPECT_EQ(HistoryRows(World.Data() + QStringLiteral("backup.kyk/")), Before);
}

TEST(AdrsPosConvertRunTest, AConversionFolderTooLongForTheRecordsStopsBeforeAnyChange)
{
    TFixWorld World;
    World.Fill(TDataTable::Meibo, {{{"Tdfkn", "東京都"}, {"Adrs1", "旧市"}}});
    const QByteArray Before = TUtilityWorld::Bytes(World.Data() + MeiboFileName);
    const QString Saved = ProgramPath;
    ProgramPath = World.Path(QString(120, QLatin1Char('a')) + QLatin1Char('/') + QString(130, QLatin1Char('b'))) +
                  QLatin1Char('/');
    ASSERT_TRUE(QDir().mkpath(ProgramPath));
    TScriptedBoxes Boxes("Yes");
    EXPECT_FALSE(RunConvertAdrsPos());
    ProgramPath = Saved;
    ASSERT_EQ(Boxes.Texts().size(), 2);
    EXPECT_TRUE(Boxes.Texts()[1].startsWith(QStringLiteral("変換データのフォルダー名が長すぎます")))
        << Lines(Boxes.Texts());
    EXPECT_EQ(TUtilityWorld::Bytes(World.Data() + MeiboFileName), Before);
    EXPECT_FALSE(QFile::exists(World.Data() + "backup.cap"));
}
