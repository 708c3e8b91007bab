#include "main/identify/AppSub.h"
#include "main/tables/HisInfo.h"
#include "main/tables/PickListIndex.h"
#include "platform/db/Table.h"
#include "platform/db/TableIndexes.h"
#include "platform/text/Cp932.h"
#include "tests/support/FaultyVfs.h"
#include "tests/support/RecvData.h"
#include "transfer/import/ImportRun.h"
#include "transfer/import/ImportStore.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

// The import's work against the size of its file, the order a pick list takes, and a run in
// batches with calls between them.

namespace {

void WriteBytes(const QString& Name, const QByteArray& Bytes)
{
    QFile File(Name);
    ASSERT_TRUE(File.open(QIODevice::WriteOnly | QIODevice::Truncate));
    File.write(Bytes);
}

// History lines whose three select items are new on every line.
QByteArray HistoryLines(int Count, int From = 0)
{
    QByteArray Text;
    for (int I = From; I < From + Count; ++I)
        Text += QStringLiteral("20130401,%1,03%2,項目%3,区分%3,件%3\r\n")
                    .arg((8 + I / 3600 % 12) * 10000 + I / 60 % 60 * 100 + I % 60, 6, 10, QLatin1Char('0'))
                    .arg(10000000 + I)
                    .arg(I)
                    .toUtf8();
    return Cp932Encode(QString::fromUtf8(Text));
}

QByteArray DirectoryLines(int Count)
{
    QByteArray Text;
    for (int I = 0; I < Count; ++I)
        Text += QStringLiteral("03%1,名前%2,ランク%2\r\n").arg(10000000 + I).arg(I).toUtf8();
    return Cp932Encode(QString::fromUtf8(Text));
}

TImportRun HistoryRun(const TRecvData& Data, const QString& Input)
{
    TImportRun Run;
    Run.FileName = Input;
    Run.DataPath = Data.Folder;
    Run.ProgramPath = Data.Folder;
    Run.SourceCount = 6;
    Run.Mapping = TImportMapping(HisItem::Last + 1);
    Run.Mapping[HisItem::RecvDate] = {FieldPiece(0, {})};
    Run.Mapping[HisItem::RecvTime] = {FieldPiece(1, {})};
    Run.Mapping[HisItem::Tel] = {FieldPiece(2, {})};
    for (int I = 0; I < 3; ++I)
        Run.Mapping[HisItem::SelItem1 + I] = {FieldPiece(3 + I, {})};
    return Run;
}

TImportRun DirectoryRun(const TRecvData& Data, const QString& Input)
{
    TImportRun Run;
    Run.FileName = Input;
    Run.DataPath = Data.Folder;
    Run.ProgramPath = Data.Folder;
    Run.SourceCount = 3;
    Run.Options.Dest = TImportDest::Meibo;
    Run.Options.NotAutoSupplement = true;
    Run.Mapping = TImportMapping(MeiboItem::Last + 1);
    Run.Mapping[MeiboItem::Tel1] = {FieldPiece(0, {})};
    Run.Mapping[MeiboItem::NameKanji] = {FieldPiece(1, {})};
    Run.Mapping[MeiboItem::Rank] = {FieldPiece(2, {})};
    return Run;
}

struct TWork
{
    long long VmSteps = 0;
    qint64 PickListTexts = 0;
};

qint64 PickListTexts()
{
    qint64 Texts = RankHistory->EncodedTexts();
    for (THistoryData* List : SelItemHistory)
        Texts += List->EncodedTexts();
    return Texts;
}

// The work of one run over a fresh data folder, of Rows lines.
template <typename TMakeRun> TWork ImportWork(int Rows, bool Directory, TMakeRun MakeRun)
{
    TRecvData Data;
    const QString Input = Data.Folder + QStringLiteral("in.csv");
    WriteBytes(Input, Directory ? DirectoryLines(Rows) : HistoryLines(Rows));
    TImportRun Run = MakeRun(Data, Input);
    const long long Steps = TableVmSteps();
    const qint64 Texts = PickListTexts();
    const TImportCounts Counts = Run.RunImport();
    EXPECT_EQ(Counts.StoredCount, Rows);
    return {TableVmSteps() - Steps, PickListTexts() - Texts};
}

} // namespace

TEST(ImportScaleTest, WorkGrowsWithTheLinesOfTheFile)
{
    constexpr int N = 400;
    for (const bool Directory : {false, true}) {
        const auto Make = Directory ? DirectoryRun : HistoryRun;
        const TWork Small = ImportWork(N, Directory, Make);
        const TWork Large = ImportWork(4 * N, Directory, Make);
        ASSERT_GT(Small.VmSteps, 0);
        EXPECT_LE(Large.VmSteps, 5 * Small.VmSteps) << (Directory ? "directory" : "history");
        // Every line brings new select items (and, to the directory, a new rank): a list that is
        // searched item by item for each of them grows its work with the square of the file.
        ASSERT_GT(Small.PickListTexts, 0);
        EXPECT_LE(Large.PickListTexts, 5 * Small.PickListTexts) << (Directory ? "directory" : "history");
    }
}

TEST(ImportScaleTest, TheImportLeavesThePickListsAsMovesOneByOneWould)
{
    TRecvData Data;
    // Two equal items already (a list from elsewhere): only the first is the one moved.
    SelItemHistory[0]->Add(QStringLiteral("古い"), 1.5);
    SelItemHistory[0]->Add(QStringLiteral("残る"), 2.5);
    SelItemHistory[0]->Add(QStringLiteral("古い"), 3.5);
    RankHistory->Add(QStringLiteral("Ａ"), 4.5);
    THistoryData Expected(Data.Folder + QStringLiteral("x.mtd"), true, SelItemHistory[0]->ItemBytes());
    (void)Expected.Load();
    for (int I = 0; I < SelItemHistory[0]->Count(); ++I)
        Expected.Add(SelItemHistory[0]->GetText(I), 1);

    QByteArray Text;
    const QStringList Values = {QStringLiteral("新"), QStringLiteral("古い"), QStringLiteral("新"),
                                QStringLiteral("次"), QStringLiteral("新")};
    for (const QString& Value : Values) {
        Text += Cp932Encode(QStringLiteral("20130401,090000,03,%1,,\r\n").arg(Value));
        const int At = Expected.IndexOf(Value);
        if (At >= 0)
            Expected.Delete(At);
        Expected.Insert(0, Value, 1);
    }
    const QString Input = Data.Folder + QStringLiteral("in.csv");
    WriteBytes(Input, Text);
    TImportRun Run = HistoryRun(Data, Input);
    Run.Mapping[HisItem::Rank] = {FieldPiece(5, {})};
    (void)Run.RunImport();

    QStringList Got, Want;
    for (int I = 0; I < SelItemHistory[0]->Count(); ++I)
        Got << SelItemHistory[0]->GetText(I);
    for (int I = 0; I < Expected.Count(); ++I)
        Want << Expected.GetText(I);
    EXPECT_EQ(Got, Want);
    EXPECT_EQ(Got, QStringList({"新", "次", "古い", "残る", "古い"}));
    // An item no line named keeps its time; the file on disk says the same as the memory.
    EXPECT_EQ(SelItemHistory[0]->Items()->at(3).Stamp, 2.5);
    THistoryData Saved(SelItemHistory[0]->FileName(), false, SelItemHistory[0]->ItemBytes());
    ASSERT_TRUE(Saved.Load());
    EXPECT_EQ(Saved.Count(), 5);
    EXPECT_EQ(Saved.GetText(1), QStringLiteral("次"));
    // No line carried a rank: the rank list is as it was, untouched on disk.
    EXPECT_EQ(RankHistory->Count(), 1);
}

TEST(ImportScaleTest, TheIndexMatchesTheListOnRandomMovesAndAdditions)
{
    TRecvData Data;
    THistoryData& Moved = *SelItemHistory[1];
    THistoryData Plain(Data.Folder + QStringLiteral("plain.mtd"), true, Moved.ItemBytes());
    (void)Plain.Load();
    QRandomGenerator Random(49);
    for (int I = 0; I < 20; ++I) {
        const QString Text = QStringLiteral("値%1").arg(Random.bounded(12));
        Moved.Add(Text, I + 1);
        Plain.Add(Text, I + 1);
    }
    TPickListIndex Index(Moved);
    for (int Step = 0; Step < 300; ++Step) {
        // Two spellings that are one text in the file count as one item.
        const QString Text =
            Random.bounded(5) == 0
                ? (Random.bounded(2) == 0 ? QStringLiteral("〜%1") : QStringLiteral("～%1")).arg(Random.bounded(3))
                : QStringLiteral("値%1").arg(Random.bounded(40));
        const int At = Plain.IndexOf(Text);
        EXPECT_EQ(Index.Contains(Text), At >= 0) << Step;
        if (Random.bounded(2) == 0) {
            if (At >= 0)
                Plain.Delete(At);
            Plain.Insert(0, Text, 0);
            Index.MoveToFront(Text);
        } else if (At < 0) {
            Plain.Add(Text, 0);
            Index.AddIfAbsent(Text);
        } else {
            Index.AddIfAbsent(Text);
        }
    }
    Index.Apply();
    ASSERT_EQ(Moved.Count(), Plain.Count());
    for (int I = 0; I < Plain.Count(); ++I) {
        EXPECT_EQ(Moved.StoredBytes(Moved.GetText(I)), Plain.StoredBytes(Plain.GetText(I))) << I;
    }
}

// A history run of Lines lines, begun.
TImportRun BegunHistoryRun(TRecvData& Data, int Lines)
{
    const QString Input = Data.Folder + QStringLiteral("in.csv");
    WriteBytes(Input, HistoryLines(Lines));
    TImportRun Run = HistoryRun(Data, Input);
    Run.Begin();
    return Run;
}

TEST(ImportScaleTest, BatchesTakeCallsBetweenThemAndStoreEveryLine)
{
    TRecvData Data;
    TImportRun Run = BegunHistoryRun(Data, 30);
    int Batches = 0;
    bool More = true;
    while (More) {
        More = Run.RunBatch(std::chrono::milliseconds(0));
        ++Batches;
        // Between two batches nothing of the run is pending: a call is a row of its own, committed.
        EXPECT_FALSE(RecvHisTable->InTransaction());
        if (Batches == 10) {
            TTableUse Use(*DMVxRelvo16, TDataTable::RecvHis);
            RecvHisTable->Last();
            Data.AddCall(RecvHisTable->FieldByName(QStringLiteral("RecNo")).AsInteger() + 1, "0120000000");
        }
    }
    const TImportCounts Counts = Run.Finish();
    // One line a batch, and the last one finds the end.
    EXPECT_EQ(Batches, 31);
    EXPECT_EQ(Counts.StoredCount, 30);
    EXPECT_FALSE(QFile::exists(Data.Folder + ImportErrorFileName));
    const QStringList Numbers = Data.Rows(RecvHisFileName, "SELECT Tel FROM RecvHis ORDER BY RecNo");
    ASSERT_EQ(Numbers.size(), 31);
    EXPECT_EQ(Numbers[10], QStringLiteral("0120000000"));
}

TEST(ImportScaleTest, ABatchEndsWhereItsYieldSaysAndCommitsWhatItRead)
{
    TRecvData Data;
    TImportRun Run = BegunHistoryRun(Data, 12);
    // With all the time in the world, a call waiting after the fifth line ends the batch there.
    int Asked = 0;
    EXPECT_TRUE(Run.RunBatch(std::chrono::milliseconds::max(), [&] { return ++Asked == 5; }));
    EXPECT_EQ(Run.Counts().ReadCount, 5);
    EXPECT_FALSE(RecvHisTable->InTransaction());
    EXPECT_EQ(Data.Rows(RecvHisFileName, "SELECT COUNT(*) FROM RecvHis"), QStringList{QStringLiteral("5")});
    EXPECT_FALSE(Run.RunBatch(std::chrono::milliseconds::max(), [] { return false; }));
    EXPECT_EQ(Run.Finish().StoredCount, 12);
}

TEST(ImportScaleTest, AnUnfinishedRunIsToldOnceAtTheNextStart)
{
    TRecvData Data;
    EXPECT_TRUE(TakeUnfinishedImportNotice(Data.Folder).isEmpty());
    MarkImportUnfinished(Data.Folder, TImportDest::Meibo, true);
    const QString Notice = TakeUnfinishedImportNotice(Data.Folder);
    EXPECT_TRUE(Notice.contains(QStringLiteral("backupMB.imp"))) << Notice.toStdString();
    EXPECT_TRUE(TakeUnfinishedImportNotice(Data.Folder).isEmpty());
    MarkImportUnfinished(Data.Folder, TImportDest::RecvHis, true);
    MarkImportUnfinished(Data.Folder, TImportDest::RecvHis, false);
    EXPECT_TRUE(TakeUnfinishedImportNotice(Data.Folder).isEmpty());
}

// A run that builds the destination's indexes after its rows: smaller than the program's least.
constexpr int DeferredLines = 1200;

// Runs every batch of Run, with Between called after each; answers how many there were.
template <typename TBetween> int RunAllBatches(TImportRun& Run, TBetween Between)
{
    int Batches = 0;
    for (bool More = true; More; ++Batches) {
        More = Run.RunBatch(std::chrono::milliseconds::max(), [Lines = 0]() mutable { return ++Lines == 100; });
        Between(Batches);
    }
    return Batches;
}

TEST(ImportScaleTest, IndexesAreBuiltAfterTheRowsOnlyWhereTheFileOutweighsTheTable)
{
    EXPECT_FALSE(DefersIndexes(0, 0)); // a run that does not know its lines
    EXPECT_FALSE(DefersIndexes(DeferIndexesMinLines - 1, 0));
    EXPECT_TRUE(DefersIndexes(DeferIndexesMinLines, 0));
    EXPECT_TRUE(DefersIndexes(100000, 100000));
    EXPECT_FALSE(DefersIndexes(100000, 100001));
    EXPECT_FALSE(DefersIndexes(DeferredLines, 0));
    EXPECT_TRUE(DefersIndexes(DeferredLines, 0, DeferredLines));

    for (const qint64 Lines : {qint64(0), qint64(DeferredLines)}) {
        TRecvData Data;
        const QString Input = Data.Folder + QStringLiteral("in.csv");
        WriteBytes(Input, HistoryLines(DeferredLines));
        TImportRun Run = HistoryRun(Data, Input);
        Run.LineCount = Lines;
        Run.DeferIndexesFrom = DeferredLines;
        Run.Begin();
        EXPECT_EQ(Run.IndexesDeferred(), Lines > 0);
        (void)RunAllBatches(Run, [&](int) { EXPECT_EQ(MissingIndexes(*RecvHisTable).size(), Lines > 0 ? 7 : 0); });
        EXPECT_EQ(Run.Finish().StoredCount, DeferredLines);
        TTableUse Use(*DMVxRelvo16, TDataTable::RecvHis);
        EXPECT_EQ(MissingIndexes(*RecvHisTable), QStringList());
        EXPECT_EQ(RecvHisTable->IntegrityCheck(), QStringList());
        // Pack runs only on a schema that is word for word the definition's.
        EXPECT_NO_THROW(RecvHisTable->Pack());
        EXPECT_EQ(RecvHisTable->RecordCount(), DeferredLines);
    }
}

TEST(ImportScaleTest, ACallDuringARunWithoutIndexesIsStoredAndItsCallerFound)
{
    TRecvData Data;
    Data.AddEntry(0, QStringLiteral("0399990000"), {}, QStringLiteral("前からの客"));
    const QString Input = Data.Folder + QStringLiteral("in.csv");
    WriteBytes(Input, DirectoryLines(DeferredLines));
    TImportRun Run = DirectoryRun(Data, Input);
    Run.LineCount = DeferredLines;
    Run.DeferIndexesFrom = DeferredLines;
    Run.Begin();
    ASSERT_TRUE(Run.IndexesDeferred());
    int Calls = 0;
    (void)RunAllBatches(Run, [&](int Batch) {
        if (Batch != 5)
            return;
        // The directory keeps the indexes a caller is found by; the others are missing now.
        TTableUse Use(*DMVxRelvo16, TDataTable::Meibo);
        EXPECT_FALSE(MissingIndexes(*MeiboTable).contains(QStringLiteral("SchTel1")));
        EXPECT_TRUE(MissingIndexes(*MeiboTable).contains(QStringLiteral("NameKanji")));
        for (const auto& [Number, Name] : {std::pair{"0399990000", "前からの客"}, std::pair{"0310000250", "名前250"}}) {
            TCallerRecord Record;
            EXPECT_EQ(SearchOwnDirectory(false, QString::fromLatin1(Number), Record), IdentifyFound) << Number;
            EXPECT_EQ(Record.NameKanji, QString::fromUtf8(Name));
        }
        // A search in the order of a missing index reads the table and still finds the entry.
        MeiboTable->SetIndexName(QStringLiteral("NameKanji"));
        EXPECT_TRUE(MeiboTable->FindKey({QStringLiteral("名前499")}));
        EXPECT_EQ(DigitsOnly(MeiboTable->FieldByName(QStringLiteral("Tel1")).AsString()), QStringLiteral("0310000499"));
        MeiboTable->SetIndexName({});
        // The call is a row of the history at once, whatever the directory's run does.
        Data.AddCall(0, QStringLiteral("0399990000"));
        ++Calls;
    });
    EXPECT_EQ(Calls, 1);
    EXPECT_EQ(Run.Finish().StoredCount, DeferredLines);
    EXPECT_EQ(Data.Rows(RecvHisFileName, "SELECT Tel FROM RecvHis"), QStringList{"0399990000"});
    TTableUse Use(*DMVxRelvo16, TDataTable::Meibo);
    EXPECT_EQ(MissingIndexes(*MeiboTable), QStringList());
    EXPECT_EQ(MeiboTable->IntegrityCheck(), QStringList());
}

TEST(ImportScaleTest, AKillDuringTheIndexBuildLeavesTheRowsAndTheNextStartBuildsTheIndexes)
{
    TRecvData Data;
    Data.AddCall(0, QStringLiteral("0311111111"));
    const QString Input = Data.Folder + QStringLiteral("in.csv");
    WriteBytes(Input, HistoryLines(DeferredLines, 1));
    TImportRun Run = HistoryRun(Data, Input);
    Run.LineCount = DeferredLines;
    Run.DeferIndexesFrom = DeferredLines;
    Run.Begin();
    ASSERT_TRUE(Run.IndexesDeferred());
    (void)RunAllBatches(Run, [](int) {});
    // The build as the run's end makes it, killed when three of the indexes are made.
    const pid_t Child = fork();
    ASSERT_GE(Child, 0);
    if (Child == 0) {
        try {
            (void)BuildMissingIndexes(*RecvHisTable, [](int Built) {
                if (Built == 3)
                    _exit(9);
            });
        } catch (...) {
        }
        _exit(1);
    }
    int Status = 0;
    ASSERT_EQ(waitpid(Child, &Status, 0), Child);
    ASSERT_TRUE(WIFEXITED(Status));
    ASSERT_EQ(WEXITSTATUS(Status), 9);
    Run.Abandon();

    {
        TTableUse Use(*DMVxRelvo16, TDataTable::RecvHis);
        // Nothing of the build is left: the indexes are all missing, the rows all there.
        EXPECT_EQ(MissingIndexes(*RecvHisTable).size(), 7);
        EXPECT_EQ(RecvHisTable->IntegrityCheck(), QStringList());
        EXPECT_EQ(RecvHisTable->RecordCount(), DeferredLines + 1);
    }
    RestoreImportIndexes(Data.Folder); // as the next start does
    TTableUse Use(*DMVxRelvo16, TDataTable::RecvHis);
    EXPECT_EQ(MissingIndexes(*RecvHisTable), QStringList());
    EXPECT_EQ(RecvHisTable->IntegrityCheck(), QStringList());
    EXPECT_NO_THROW(RecvHisTable->Pack());
    EXPECT_EQ(RestoreImportIndexes(*RecvHisTable), 0);
}

TEST(ImportScaleTest, AFullDiskDuringTheIndexBuildLeavesTheTableAsBeforeTheRun)
{
    TRecvData Data;
    Data.AddCall(0, QStringLiteral("0311111111"));
    const QString Input = Data.Folder + QStringLiteral("in.csv");
    WriteBytes(Input, HistoryLines(DeferredLines, 1));
    TFaultyVfs Disk;
    TImportRun Run = HistoryRun(Data, Input);
    Run.LineCount = DeferredLines;
    Run.DeferIndexesFrom = DeferredLines;
    Run.Begin();
    ASSERT_TRUE(Run.IndexesDeferred());
    (void)RunAllBatches(Run, [](int) {});
    // The rows are in; the indexes find no room to grow the file.
    Disk.TableSizeLimit = QFileInfo(Data.Folder + RecvHisFileName).size();
    try {
        (void)Run.Finish();
        ADD_FAILURE() << "the run ended as if the disk had room";
    } catch (const Exception& Error) {
        EXPECT_TRUE(Error.Message().startsWith(QStringLiteral("ディスクの空き容量が不足しているか")));
        EXPECT_TRUE(Error.Message().contains(QStringLiteral("取り込み前の状態です"))) << Error.Message().toStdString();
    }
    Disk.TableSizeLimit = 0;
    TTableUse Use(*DMVxRelvo16, TDataTable::RecvHis);
    EXPECT_EQ(RecvHisTable->RecordCount(), 1);
    EXPECT_EQ(MissingIndexes(*RecvHisTable), QStringList());
    EXPECT_EQ(RecvHisTable->IntegrityCheck(), QStringList());
}
