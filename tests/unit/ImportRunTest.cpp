#include "transfer/import/ImportRun.h"

#include "platform/text/Cp932.h"
#include "tests/support/RecvData.h"
#include "tests/unit/BoxRecorder.h"
#include "transfer/import/ImportStore.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

void WriteBytes(const QString& Name, const QByteArray& Bytes)
{
    QFile File(Name);
    ASSERT_TRUE(File.open(QIODevice::WriteOnly | QIODevice::Truncate));
    File.write(Bytes);
}

QByteArray ReadBytes(const QString& Name)
{
    QFile File(Name);
    return File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray("<missing>");
}

class ImportRunTest : public ::testing::Test
{
protected:
    // A history run whose file has date, time, number and company in its first three or four fields.
    TImportRun HistoryRun(const QString& Text, int SourceCount, bool SkipRecord)
    {
        WriteBytes(Input, Cp932Encode(Text));
        TImportRun Run;
        Run.FileName = Input;
        Run.DataPath = Data.Folder;
        Run.ProgramPath = QStringLiteral(VX_BIN_DIR) + QLatin1Char('/');
        Run.SourceCount = SourceCount;
        Run.Options.SkipRecord = SkipRecord;
        Run.Mapping = TImportMapping(HisItem::Last + 1);
        for (int Field = 0; Field < 3; ++Field)
            Run.Mapping[Field + 1] = {FieldPiece(Field, {})};
        return Run;
    }
    QString ErrorFile() const { return Data.Folder + QStringLiteral("InError.txt"); }

    TRecvData Data;
    QString Input = Data.Folder + QStringLiteral("in.csv");
};

TEST_F(ImportRunTest, AFieldCountThatDiffersIsNumberedAmongTheLinesRead)
{
    const QString Text = QStringLiteral("20130401,090000,03\r\n20130401,090000,03\r\n20130401,090000,\"0,3\"\r\n"
                                        "20130401,090000,03\r\n20130401,090000,03,x\r\n");
    for (const bool Skip : {true, false}) {
        TImportRun Run = HistoryRun(Text, 3, Skip);
        const TImportCounts Counts = Run.RunImport();
        const QByteArray Errors = ReadBytes(ErrorFile());
        // Line 5 of the file is the fourth line read when line 1 is skipped.
        EXPECT_TRUE(Errors.startsWith((Skip ? "4," : "5,") + Cp932Encode(QStringLiteral("１件目と項目数が不一致,"))))
            << Errors.constData();
        EXPECT_EQ(Counts.ReadCount, Skip ? 4 : 5);
        // The quoted comma never counted.
        EXPECT_EQ(Counts.StoredCount, Skip ? 3 : 4);
    }
}

TEST_F(ImportRunTest, ErrorFileIsMadeAnewByARunsFirstErrorAndKeptWithout)
{
    WriteBytes(ErrorFile(), "old contents\r\n");
    TImportRun Clean = HistoryRun(QStringLiteral("20130401,090000,03\r\n"), 3, false);
    (void)Clean.RunImport();
    EXPECT_EQ(ReadBytes(ErrorFile()), "old contents\r\n");
    TImportRun Failing = HistoryRun(QStringLiteral("x,y,z\r\nu,v,w\n"), 3, false);
    (void)Failing.RunImport();
    EXPECT_EQ(ReadBytes(ErrorFile()), Cp932Encode(QStringLiteral("1,着信日付か着信時刻の書式不正,x,y,z\r\n"
                                                                 "2,着信日付か着信時刻の書式不正,u,v,w\r\n")));
}

// Bytes written by hand: a line with half-width katakana and one with a quoted comma, each as read.
TEST_F(ImportRunTest, ErrorFileGoldenBytes)
{
    const QByteArray File = "20130401,0900,\xB6\xDE\xB2\r\n"
                            "2013,090000,\"0,3\"\r\n";
    WriteBytes(Input, File);
    TImportRun Run = HistoryRun({}, 3, false);
    WriteBytes(Input, File);
    (void)Run.RunImport();
    const QByteArray Reason = "\x92\x85\x90\x4D\x93\xFA\x95\x74\x82\xA9\x92\x85\x90\x4D\x8E\x9E\x8D\x8F\x82\xCC"
                              "\x8F\x91\x8E\xAE\x95\x73\x90\xB3"; // 着信日付か着信時刻の書式不正
    EXPECT_EQ(ReadBytes(ErrorFile()),
              "1," + Reason + ",20130401,0900,\xB6\xDE\xB2\r\n" + "2," + Reason + ",2013,090000,\"0,3\"\r\n");
}

TEST_F(ImportRunTest, BytesThatAreNoCp932RefuseTheLineAsRead)
{
    const QByteArray File = "20130401,090000,\x81\x20\r\n20130401,090000,03\r\n";
    WriteBytes(Input, File);
    TImportRun Run = HistoryRun({}, 3, false);
    WriteBytes(Input, File);
    const TImportCounts Counts = Run.RunImport();
    EXPECT_EQ(Counts.StoredCount, 1);
    EXPECT_EQ(ReadBytes(ErrorFile()),
              "1," + Cp932Encode(QStringLiteral("その他のエラー")) + ",20130401,090000,\x81\x20\r\n");
    EXPECT_EQ(Data.Rows(RecvHisFileName, "SELECT Tel FROM RecvHis"), QStringList({"03"}));
}

TEST_F(ImportRunTest, DirectoryRunNumbersFromZeroAndUnquotesDoubledQuotes)
{
    WriteBytes(Input, Cp932Encode(QStringLiteral("0311111111,\"a \"\"b\"\", c\"\r\n0322222222,x\r\n")));
    TImportRun Run;
    Run.FileName = Input;
    Run.DataPath = Data.Folder;
    Run.ProgramPath = Data.Folder; // no address library here: completion is off
    Run.SourceCount = 2;
    Run.Options.Dest = TImportDest::Meibo;
    Run.Options.NotAutoSupplement = true;
    Run.Mapping = TImportMapping(MeiboItem::Last + 1);
    Run.Mapping[MeiboItem::Tel1] = {FieldPiece(0, {})};
    Run.Mapping[MeiboItem::NameKanji] = {FieldPiece(1, {}), ConstantPiece(QStringLiteral("様"))};
    const TImportCounts Counts = Run.RunImport();
    EXPECT_EQ(Counts.StoredCount, 2);
    EXPECT_EQ(Data.Rows(MeiboFileName, "SELECT RecNo, NameKanji FROM Meibo ORDER BY RecNo"),
              QStringList({"0|a \"b\", c様", "1|x様"}));
}

TEST_F(ImportRunTest, AMissingAddressLibraryStopsOnlyARunThatCompletesAddresses)
{
    WriteBytes(Input, "0311111111\r\n");
    TImportRun Run;
    Run.FileName = Input;
    Run.DataPath = Data.Folder;
    Run.ProgramPath = Data.Folder;
    Run.SourceCount = 1;
    Run.Options.Dest = TImportDest::Meibo;
    Run.Mapping = TImportMapping(MeiboItem::Last + 1);
    Run.Mapping[MeiboItem::Tel1] = {FieldPiece(0, {})};
    EXPECT_THROW((void)Run.RunImport(), std::exception);
    Run.Options.NotAutoSupplement = true;
    EXPECT_EQ(Run.RunImport().StoredCount, 1);
}

TEST_F(ImportRunTest, TheLimitStopsTheRunAndKeepsWhatWasStored)
{
    Data.AddCall(99998, "03");
    TBoxRecorder Boxes;
    TImportRun Run =
        HistoryRun(QStringLiteral("20130401,090000,03\r\n20130401,090000,04\r\n20130401,090000,05\r\n"), 3, false);
    const TImportCounts Counts = Run.RunImport();
    EXPECT_EQ(Counts.ReadCount, 2);
    EXPECT_EQ(Counts.StoredCount, 1);
    ASSERT_EQ(Boxes.Boxes.size(), 1);
    EXPECT_EQ(Boxes.Boxes[0].Text, ImportCounterFull);
    EXPECT_EQ(Data.Rows(RecvHisFileName, "SELECT RecNo FROM RecvHis ORDER BY RecNo"), QStringList({"99998", "99999"}));
    EXPECT_FALSE(QFile::exists(ErrorFile()));
}

TEST_F(ImportRunTest, ErrorFileIsRecognisedUnderAnyCaseAndThroughALink)
{
    WriteBytes(ErrorFile(), "x");
    EXPECT_TRUE(IsImportErrorFile(Data.Folder + QStringLiteral("inerror.TXT"), Data.Folder));
    ASSERT_TRUE(QFile::link(ErrorFile(), Data.Folder + QStringLiteral("link.csv")));
    EXPECT_TRUE(IsImportErrorFile(Data.Folder + QStringLiteral("link.csv"), Data.Folder));
    WriteBytes(Input, "x");
    EXPECT_FALSE(IsImportErrorFile(Input, Data.Folder));
}

TEST(ImportTextTest, FieldsCountOnlyOutsideQuotesAndDoubleByteCharactersPassWhole)
{
    EXPECT_EQ(CountFields("a,\"b,c\",d"), 2);
    EXPECT_EQ(CountFields("\"a\"\",\"\",b\""), 0);
    // 0x8C 0x2C is no CP932 character, but a lead byte always takes the byte after it.
    EXPECT_EQ(CountFields("\x8C,a,b"), 1);
    EXPECT_EQ(FirstLineFields("a,\"b,c\",d"), QStringList({"a", "\"b,c\"", "d"}));
    EXPECT_EQ(*LineValues("a,\"b\"\"c\",\"\"", 3), QStringList({"a", "b\"c", ""}));
    EXPECT_EQ(FirstLineFields("\xFF"), QStringList({QString(QChar(0xFFFD))}));
}

TEST(ImportTextTest, LinesComeWholeWhereverTheReadsOfTheFileEnd)
{
    // Lines of every length up to one longer than a read, each end of line, an empty line, a last
    // line without its end; what a read cuts lies anywhere in them.
    QList<QByteArray> Lines;
    for (int Length : {0, 1, 7, 1000, 70000, 262143, 262144, 262145, 600000, 3})
        Lines.append(QByteArray(Length, 'a' + char(Lines.size())));
    QByteArray Bytes;
    for (qsizetype I = 0; I < Lines.size(); ++I)
        Bytes += Lines[I] + (I % 2 ? "\r\n" : "\n");
    for (const char* Last : {"", "z", "z\r", "\r"}) {
        QByteArray File = Bytes + Last;
        QBuffer Device(&File);
        ASSERT_TRUE(Device.open(QIODevice::ReadOnly));
        TImportLineReader Reader(Device);
        QList<QByteArray> Read;
        QByteArray Line;
        while (Reader.ReadLine(Line))
            Read.append(Line);
        QList<QByteArray> Expected = Lines;
        if (*Last)
            Expected.append(QByteArray(Last).replace("\r", ""));
        ASSERT_EQ(Read.size(), Expected.size()) << Last;
        for (qsizetype I = 0; I < Read.size(); ++I) {
            EXPECT_EQ(Read[I], Expected[I]) << "line " << I;
        }
        EXPECT_FALSE(Reader.ReadLine(Line));
    }
}

} // namespace
