#include "platform/text/Cp932.h"
#include "tests/support/FaultyVfs.h"
#include "tests/support/RecvData.h"
#include "transfer/export/ExportItems.h"
#include "transfer/import/ImportRun.h"
#include "transfer/import/ImportStore.h"
#include "transfer/import/ImportText.h"
#include "transfer/print/ListItemText.h"

#include <QFile>
#include <gtest/gtest.h>

// Files an office brings: UTF-8 with and without its mark, texts that look like reason words, and
// a disk that fills in the middle of a run.

namespace {

void WriteBytes(const QString& Name, const QByteArray& Bytes)
{
    QFile File(Name);
    ASSERT_TRUE(File.open(QIODevice::WriteOnly | QIODevice::Truncate));
    File.write(Bytes);
}

TImportRun CallRun(const TRecvData& Data, const QString& Input, int Fields)
{
    TImportRun Run;
    Run.FileName = Input;
    Run.DataPath = Data.Folder;
    Run.ProgramPath = Data.Folder;
    Run.SourceCount = Fields;
    Run.Mapping = TImportMapping(HisItem::Last + 1);
    for (int Field = 0; Field < Fields; ++Field)
        Run.Mapping[Field + 1] = {FieldPiece(Field, {})};
    return Run;
}

} // namespace

TEST(ImportTextKindsTest, Utf8IsRecognisedWithOrWithoutItsMark)
{
    const QByteArray Utf8 = QStringLiteral("20130401,090000,03,東京\r\n").toUtf8();
    EXPECT_TRUE(LooksLikeUtf8(Utf8));
    EXPECT_TRUE(LooksLikeUtf8(QByteArray(Utf8ByteOrderMark) + "a,b\r\n"));
    // "東京" in UTF-8 is also valid CP932 ("譚ｱ莠ｬ"): validity as CP932 tells nothing.
    EXPECT_TRUE(Cp932Decode(QStringLiteral("東京").toUtf8(), TDecodeMode::Strict).has_value());
    EXPECT_FALSE(LooksLikeUtf8(Cp932Encode(QStringLiteral("20130401,090000,03,東京,ｶﾀｶﾅ\r\n"))));
    EXPECT_FALSE(LooksLikeUtf8("20130401,090000,03\r\n"));
    EXPECT_FALSE(LooksLikeUtf8({}));
}

TEST(ImportTextKindsTest, AUtf8RunStoresTheTextItHolds)
{
    TRecvData Data;
    const QString Input = Data.Folder + QStringLiteral("in.csv");
    // "ー" (E3 83 BC) then a comma: read as CP932 the lead byte 0xBC is single but 0x83 would
    // swallow the next byte; "譚" (E8 AD 9A) holds 0x9A, a CP932 lead byte, right before a quote.
    WriteBytes(Input, QByteArray(Utf8ByteOrderMark) + QStringLiteral("20130401,090000,03,\"東京ー,譚\"\r\n"
                                                                     "20130402,090000,04,名古屋\r\n")
                                                          .toUtf8());
    TImportRun Run = CallRun(Data, Input, 4);
    Run.Options.Encoding = TImportEncoding::Utf8;
    EXPECT_EQ(Run.RunImport().StoredCount, 2);
    EXPECT_EQ(Data.Rows(RecvHisFileName, "SELECT CorpKana FROM RecvHis ORDER BY RecNo"),
              QStringList({"東京ー,譚", "名古屋"}));
    // Read as UTF-8, bytes that are no UTF-8 refuse their line rather than store substitutes.
    WriteBytes(Input, Cp932Encode(QStringLiteral("20130401,090000,03,東京\r\n")));
    TImportRun Wrong = CallRun(Data, Input, 4);
    Wrong.Options.Encoding = TImportEncoding::Utf8;
    EXPECT_EQ(Wrong.RunImport().StoredCount, 0);
}

TEST(ImportTextKindsTest, AReasonWordWithABlankBeforeItStaysText)
{
    TRecvData Data;
    const QString Input = Data.Folder + QStringLiteral("in.csv");
    WriteBytes(Input, Cp932Encode(QStringLiteral("20130401,090000, 表示圏外\r\n20130401,090001,表示圏外\r\n")));
    TImportRun Run = CallRun(Data, Input, 3);
    EXPECT_EQ(Run.RunImport().StoredCount, 2);
    EXPECT_EQ(Data.Rows(RecvHisFileName, "SELECT Tel, SchTel FROM RecvHis ORDER BY RecNo"),
              QStringList({" 表示圏外| 表示圏外", "O|O"}));

    // The export writes each back as the import read it.
    TTableUse Use(*DMVxRelvo16, TDataTable::RecvHis);
    for (const bool Hyphens : {true, false}) {
        TExportSettings Settings;
        Settings.EditTelHyphen = Hyphens;
        QStringList Written;
        RecvHisTable->SetIndexName({});
        for (RecvHisTable->First(); !RecvHisTable->Eof(); RecvHisTable->Next())
            Written << FormatHistoryItem(2, TTableFieldValues(*RecvHisTable), nullptr, Settings);
        EXPECT_EQ(Written, QStringList({" 表示圏外", "表示圏外"})) << Hyphens;
    }
}

TEST(ImportTextKindsTest, AFullDiskStopsTheRunAndTakesBackWhatItStored)
{
    TRecvData Data;
    Data.AddCall(0, "0311111111");
    const QString Input = Data.Folder + QStringLiteral("in.csv");
    QByteArray Lines;
    for (int I = 0; I < 40; ++I)
        Lines +=
            QStringLiteral("20130401,0900%1,03%2\r\n").arg(I % 60, 2, 10, QLatin1Char('0')).arg(20000000 + I).toUtf8();
    WriteBytes(Input, Lines);
    TFaultyVfs Disk;
    {
        // One transaction for the whole run: nothing of it reaches the table.
        TImportRun Run = CallRun(Data, Input, 3);
        Run.Begin();
        Disk.WriteFault = SQLITE_FULL;
        try {
            (void)Run.RunBatch(std::chrono::milliseconds::max());
            ADD_FAILURE() << "the run went on";
        } catch (const Exception& Error) {
            EXPECT_TRUE(Error.Message().startsWith(QStringLiteral("ディスクの空き容量が不足しているか")));
            EXPECT_TRUE(Error.Message().contains(QStringLiteral("取り込み前の状態です")))
                << Error.Message().toStdString();
            EXPECT_TRUE(Error.Message().contains(QStringLiteral("backupRH.imp")));
        }
        Disk.WriteFault = 0;
    }
    EXPECT_EQ(Data.Rows(RecvHisFileName, "SELECT COUNT(*) FROM RecvHis"), QStringList{"1"});
    {
        // Batches committed before the disk filled are taken back once it has room again.
        TImportRun Run = CallRun(Data, Input, 3);
        Run.Begin();
        for (int I = 0; I < 5; ++I) {
            ASSERT_TRUE(Run.RunBatch(std::chrono::milliseconds(0)));
        }
        Disk.WriteFault = SQLITE_FULL;
        bool Refused = false;
        try {
            (void)Run.RunBatch(std::chrono::milliseconds::max());
        } catch (const Exception& Error) {
            Refused = true;
            // Still full: the rows stay, and the user is told so.
            EXPECT_TRUE(Error.Message().contains(QStringLiteral("残っている可能性があります")));
        }
        EXPECT_TRUE(Refused);
        Disk.WriteFault = 0;
    }
    {
        // A journal the failed write left is taken back by the next opening, as at the next start.
        TTableUse Use(*DMVxRelvo16, TDataTable::RecvHis);
        ASSERT_TRUE(Use.Opened());
        EXPECT_EQ(RecvHisTable->RecordCount(), 6);
    }
    EXPECT_EQ(Data.Rows(RecvHisFileName, "SELECT COUNT(*) FROM RecvHis"), QStringList{"6"});
}
