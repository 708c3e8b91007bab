// The adapter's own call log: its records as the import lists them, and the rows a save appends.

#include "calls/adapter/HistoryImport.h"

#include "main/device/VxComm.h"
#include "main/pipeline/CallPipeline.h"
#include "tests/support/RecvData.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

TDeviceHistoryEntry Raw(const char* Number, const char* Date, const char* Time)
{
    TDeviceHistoryEntry Entry{};
    std::memcpy(Entry.Number, Number, std::min(sizeof(Entry.Number), std::strlen(Number)));
    std::memcpy(Entry.Date, Date, std::min(sizeof(Entry.Date), std::strlen(Date)));
    std::memcpy(Entry.Time, Time, std::min(sizeof(Entry.Time), std::strlen(Time)));
    return Entry;
}

QString Dashed(const QString& Number)
{
    return Number == QLatin1String("0312345678") ? QStringLiteral("03-1234-5678") : Number;
}

QList<THistoryImportEntry> FourCalls()
{
    return {HistoryImportEntryOf(Raw("0312345678", "20240105", "090807"), Dashed),
            HistoryImportEntryOf(Raw("P", "20240105", "091000"), Dashed),
            HistoryImportEntryOf(Raw("0466123456", "2024013", "120000"), Dashed),
            HistoryImportEntryOf(Raw("0312345678", "20241301", "120000"), Dashed)};
}

} // namespace

TEST(HistoryImportTest, LinesShowDatesTimesAndCodeWords)
{
    QStringList Lines;
    for (const THistoryImportEntry& Entry : FourCalls())
        Lines << HistoryImportLine(Entry);
    EXPECT_EQ(Lines, (QStringList{"2024/01/05\t09:08:07\t03-1234-5678\t", "2024/01/05\t09:10:00\t匿名着信\t",
                                  "2024013\t12:00:00\t0466123456\t", "2024/13/01\t12:00:00\t03-1234-5678\t"}));
    // A code letter is kept in the copy, so the save stores the letter.
    EXPECT_EQ(FourCalls()[1].Number, QStringLiteral("P"));
    // A field filled to its last byte has no NUL to end it.
    const THistoryImportEntry Full = HistoryImportEntryOf(Raw("0123456789012345", "2024010512", "12345678"), Dashed);
    EXPECT_EQ(Full.Number, QStringLiteral("0123456789012345"));
    EXPECT_EQ(Full.Date, QStringLiteral("2024010512"));
    EXPECT_EQ(Full.Time, QStringLiteral("12345678"));
}

TEST(HistoryImportTest, APartThatIsNoDateOrTimeCountsAsZero)
{
    const QDateTime Good(QDate(2024, 1, 5), QTime(9, 8, 7));
    auto At = [](const char* Date, const char* Time) {
        return HistoryImportDateTime(HistoryImportEntryOf(Raw("1", Date, Time), {}));
    };
    EXPECT_NEAR(At("20240105", "090807"), DateTimeToDays(Good), 1e-7);
    EXPECT_NEAR(At("20241301", "090807"), DateTimeToDays(QDateTime(QDate(1899, 12, 30), QTime(9, 8, 7))), 1e-7);
    EXPECT_EQ(At("2024O105", ""), 0.0);
    EXPECT_EQ(At("20240230", "250000"), 0.0);
    EXPECT_EQ(At("2024-1-5", "9:8:7x"), 0.0);
    EXPECT_NEAR(At("20240105", "9087"), DateTimeToDays(QDateTime(QDate(2024, 1, 5), QTime(0, 0))), 1e-7);
    // Before the table's epoch the time of day counts away from zero.
    const QDateTime Early(QDate(1024, 1, 4), QTime(12, 0));
    EXPECT_EQ(DaysToDateTime(At("10240104", "120000")), Early);
}

TEST(HistoryImportTest, SavedCallsFollowTheLastRowAsNewCallers)
{
    TRecvData Data;
    const QDateTime Now(QDate(2026, 12, 9), QTime(8, 0));
    THistoryImportResult Result = SaveHistoryImport(*DMVxRelvo16, FourCalls(), Now);
    EXPECT_EQ(Result.Saved, 4);
    EXPECT_EQ(Result.Stop, THistoryImportResult::EStop::None);
    EXPECT_EQ(DMVxRelvo16->RecvHisOpenCount(), 0);
    EXPECT_EQ(Data.Rows(RecvHisFileName, "SELECT RecNo, SchTel, Tel, Division, RecvWeek, NameKanji FROM RecvHis"),
              (QStringList{"0|0312345678|03-1234-5678|0|6|", "1|P|P|0|6|", "2|0466123456|0466123456|0|7|",
                           "3|0312345678|03-1234-5678|0|7|"}));
    // Saving again appends the same calls again.
    Result = SaveHistoryImport(*DMVxRelvo16, FourCalls(), Now);
    EXPECT_EQ(Result.Saved, 4);
    EXPECT_EQ(Data.Rows(RecvHisFileName, "SELECT max(RecNo), count(*) FROM RecvHis"), QStringList{"7|8"});
}

TEST(HistoryImportTest, TheCounterLimitStopsTheSaveKeepingWhatWasWritten)
{
    TRecvData Data;
    Data.AddCall(MaxHistoryRecNo - 1, QStringLiteral("0311112222"));
    const THistoryImportResult Result = SaveHistoryImport(*DMVxRelvo16, FourCalls(), QDateTime::currentDateTime());
    EXPECT_EQ(Result.Saved, 1);
    EXPECT_EQ(Result.Stop, THistoryImportResult::EStop::CounterFull);
    EXPECT_EQ(Data.Rows(RecvHisFileName, "SELECT max(RecNo) FROM RecvHis"), QStringList{"99999"});
    EXPECT_EQ(DMVxRelvo16->RecvHisOpenCount(), 0);
}

TEST(HistoryImportTest, ARowThatCannotBePostedIsSkippedAndTheTableClosed)
{
    TRecvData Data;
    Data.BreakWrites(RecvHisFileName, "RecvHis");
    const THistoryImportResult Result = SaveHistoryImport(*DMVxRelvo16, FourCalls(), QDateTime::currentDateTime());
    EXPECT_EQ(Result.Saved, 0);
    EXPECT_EQ(Result.Stop, THistoryImportResult::EStop::None);
    EXPECT_EQ(DMVxRelvo16->RecvHisOpenCount(), 0);
}

namespace {

// SQLite's file change counter, which every committed write transaction raises by one.
quint32 ChangeCounter(const QString& File)
{
    QFile Table(File);
    if (!Table.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray Header = Table.read(28);
    if (Header.size() < 28)
        return 0;
    const auto* Bytes = reinterpret_cast<const unsigned char*>(Header.constData()) + 24;
    return quint32(Bytes[0]) << 24 | quint32(Bytes[1]) << 16 | quint32(Bytes[2]) << 8 | Bytes[3];
}

} // namespace

// A device's long log goes in as one write: every row or none, and a call whose date and time were
// both unreadable still gets the weekday of the day it is stored at.
TEST(HistoryImportTest, ALongLogIsOneTransactionAndBrokenStampsGetTheirStoredWeekday)
{
    TRecvData Data;
    Data.AddCall(0, QStringLiteral("0311112222"));
    QList<THistoryImportEntry> Log;
    for (int I = 0; I < 300; ++I)
        Log << HistoryImportEntryOf(Raw(QStringLiteral("03%1").arg(10000000 + I).toLatin1().constData(), "20240105",
                                        "090807"),
                                    Dashed);
    Log << HistoryImportEntryOf(Raw("0466123456", "2024O105", "12:00"), Dashed);
    const QString File = Data.Folder + RecvHisFileName;
    const quint32 Before = ChangeCounter(File);
    const THistoryImportResult Result = SaveHistoryImport(*DMVxRelvo16, Log, QDateTime::currentDateTime());
    EXPECT_EQ(Result.Saved, 301);
    EXPECT_EQ(ChangeCounter(File) - Before, 1u) << "one commit for the whole log";
    EXPECT_EQ(Data.Rows(RecvHisFileName, "SELECT count(*), min(RecvWeek), max(RecvWeek) FROM RecvHis WHERE RecNo > 0"),
              QStringList{"301|6|7"});
    EXPECT_EQ(Data.Rows(RecvHisFileName, "SELECT RecvDateTime, RecvWeek FROM RecvHis WHERE RecNo = 301"),
              QStringList{"0.0|7"}) << "1899-12-30 was a Saturday";
}
