#include "main/pipeline/CallPipeline.h"

#include "main/device/VxComm.h"
#include "main/settings/Settings.h"
#include "main/tables/DBInfo.h"
#include "platform/db/Table.h"
#include "platform/msg/MessageBoxFlags.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

struct TRow
{
    int RecNo;
    QString SchTel, Tel, SelItem1, Division;
    int RecvWeek;
    double RecvDateTime;
};

class CallPipelineTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Data.isValid());
        ::Settings = TSettings();
        Module = std::make_unique<TDMVxRelvo16>(Data.path(), Data.path());
        DMVxRelvo16 = Module.get();
        Module->CreateRecvHisTable();
        TCallPipelineLinks& L = Pipeline.Links;
        L.ProgramStarted = [this] { return Started; };
        L.ShowMessage = [this](const QString& Text, unsigned) { Shown << Text; };
        // 2026-12-09 (a Wednesday) 10:00:00, one minute later for each call.
        L.Now = [this] { return QDateTime(QDate(2026, 12, 9), QTime(10, 0)).addSecs(60 * Clock++); };
        L.Hyphenate = [](const QString& Number) { return Number == u"0312345678" ? u"03-1234-5678"_qs : Number; };
        L.OpenReceiveView = [this](const TCallerRecord& Record) { Opened << Record; };
    }
    void TearDown() override
    {
        DMVxRelvo16 = nullptr;
        Module.reset();
    }

    // A notification as the device library sends it, then the posted handling.
    void Ring(const QByteArray& Number)
    {
        const TDeviceNotify Notify{0, static_cast<std::int32_t>(Number.size()), Number.constData()};
        Pipeline.HandleMessage(WM_DEVICE_CALL, 0, reinterpret_cast<TLParam>(&Notify));
        QCoreApplication::processEvents();
    }

    QList<TRow> Rows()
    {
        QList<TRow> Result;
        TTableUse Use(*Module, TDataTable::RecvHis);
        RecvHisTable->SetIndexName({});
        for (RecvHisTable->First(); !RecvHisTable->Eof(); RecvHisTable->Next()) {
            auto F = [](const char* Name) { return RecvHisTable->FieldByName(QString::fromLatin1(Name)); };
            Result.append({F("RecNo").AsInteger(), F("SchTel").AsString(), F("Tel").AsString(),
                           F("SelItem1").AsString(), F("Division").AsString(), F("RecvWeek").AsInteger(),
                           F("RecvDateTime").AsFloat()});
        }
        return Result;
    }

    void AddRow(int RecNo, const QString& SchTel, const QString& SelItem1, const QDateTime& Time)
    {
        TTableUse Use(*Module, TDataTable::RecvHis);
        RecvHisTable->Append();
        RecvHisTable->FieldByName(u"RecNo"_qs).SetAsInteger(RecNo);
        RecvHisTable->FieldByName(u"SchTel"_qs).SetAsString(SchTel);
        RecvHisTable->FieldByName(u"SelItem1"_qs).SetAsString(SelItem1);
        RecvHisTable->FieldByName(u"RecvDateTime"_qs).SetAsDateTime(Time);
        RecvHisTable->Post();
    }

    QTemporaryDir Data;
    std::unique_ptr<TDMVxRelvo16> Module;
    TCallPipeline Pipeline;
    bool Started = true;
    int Clock = 0;
    QStringList Shown;
    QList<TCallerRecord> Opened;
};

TEST_F(CallPipelineTest, CallsBecomeRowsInArrivalOrderAndBlankOnesAreDropped)
{
    // A call during the start waits for it, ahead of the calls after it.
    Started = false;
    Ring("0399999999");
    EXPECT_TRUE(Rows().isEmpty());
    Started = true;
    Pipeline.ProgramHasStarted();
    for (const QByteArray& Number : {QByteArray("0312345678"), QByteArray("P"), QByteArray("   "), QByteArray()})
        Ring(Number);
    // Three at once are handled in the order they came.
    const QByteArray Burst[] = {"0611112222", "0622223333", "0633334444"};
    for (const QByteArray& Number : Burst) {
        const TDeviceNotify Notify{0, static_cast<std::int32_t>(Number.size()), Number.constData()};
        Pipeline.HandleMessage(WM_DEVICE_CALL, 0, reinterpret_cast<TLParam>(&Notify));
    }
    // The queue is written a slice at a time, the event loop turning in between.
    QElapsedTimer Clock;
    Clock.start();
    while (!Pipeline.CallQueue.isEmpty() && Clock.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);

    const QList<TRow> R = Rows();
    ASSERT_EQ(R.size(), 6);
    const struct
    {
        const char16_t* SchTel;
        const char16_t* Tel;
    } Want[] = {{u"0399999999", u"0399999999"}, {u"0312345678", u"03-1234-5678"}, {u"P", u"P"},
                {u"0611112222", u"0611112222"}, {u"0622223333", u"0622223333"},   {u"0633334444", u"0633334444"}};
    for (int I = 0; I < 6; ++I) {
        EXPECT_EQ(R[I].RecNo, I);
        EXPECT_EQ(R[I].SchTel, QString::fromUtf16(Want[I].SchTel)) << I;
        EXPECT_EQ(R[I].Tel, QString::fromUtf16(Want[I].Tel)) << I;
        EXPECT_EQ(R[I].Division, u"0"_qs);
        EXPECT_EQ(R[I].RecvWeek, 4); // Wednesday
    }
    EXPECT_TRUE(Pipeline.CallQueue.isEmpty());
    ASSERT_EQ(Opened.size(), 6);
    EXPECT_EQ(Opened[2].HisRecNo, 2);
    EXPECT_TRUE(Shown.isEmpty()) << Shown.join(u'\n').toStdString();
}

TEST_F(CallPipelineTest, ARepeatedCallerGetsTheLatestEarlierCallsItemsAndTime)
{
    const QDateTime Older(QDate(2026, 11, 1), QTime(9, 0, 5));
    const QDateTime Latest(QDate(2026, 12, 1), QTime(18, 30, 15, 600));
    struct
    {
        bool Items, Time;
    } Cases[] = {{true, true}, {false, true}, {true, false}};
    int RecNo = 0;
    for (const auto& Case : Cases) {
        // Each case a caller of its own, so that the calls of one case are not the next one's past.
        const QString Number = u"031234567"_qs + QString::number(RecNo);
        AddRow(RecNo++, Number, u"古い用件"_qs, Older);
        AddRow(RecNo++, Number, u"  見積依頼  "_qs, Latest);
        AddRow(RecNo++, u"0999999999"_qs, u"別の人"_qs, Latest.addDays(1));
        ::Settings.BeforeSelectItems = Case.Items;
        ::Settings.BeforeRecvDateTime = Case.Time;
        Opened.clear();
        Ring(Number.toLatin1());
        ASSERT_EQ(Opened.size(), 1);
        EXPECT_EQ(Opened[0].SelItem1, Case.Items ? u"見積依頼"_qs : QString());
        // Whole seconds, as the stamp keeps them.
        EXPECT_EQ(Opened[0].BeforeRecvDateTime,
                  Case.Time ? DateTimeToDays(Latest.addMSecs(-Latest.time().msec())) : 0.0);
        RecNo = Rows().last().RecNo + 1;
    }
    // A caller-number code is never a key.
    Opened.clear();
    AddRow(RecNo, u"P"_qs, u"匿名の用件"_qs, Older);
    Ring("P");
    EXPECT_EQ(Opened[0].SelItem1, QString());
    EXPECT_EQ(Opened[0].BeforeRecvDateTime, 0.0);
}

TEST_F(CallPipelineTest, TheLastRecNoRefusesTheNextCallWithoutARow)
{
    AddRow(99998, u"0311111111"_qs, {}, QDateTime::currentDateTime());
    Ring("0322222222");
    ASSERT_EQ(Rows().size(), 2);
    EXPECT_EQ(Rows().last().RecNo, 99999);
    EXPECT_TRUE(Shown.isEmpty());

    Ring("0333333333");
    EXPECT_EQ(Rows().size(), 2);
    EXPECT_EQ(Pipeline.LastAppendResult(), THistoryAppendResult::CounterFull);
    EXPECT_EQ(Shown, QStringList{HistoryCounterFull});
    // The call is still shown, but names no row.
    ASSERT_EQ(Opened.size(), 2);
    EXPECT_EQ(Opened[1].HisRecNo, -1);
    EXPECT_EQ(Opened[1].Tel[0], u"0333333333"_qs);
    EXPECT_EQ(Module->RecvHisOpenCount(), 0);
}

TEST_F(CallPipelineTest, ARowThatCannotBeWrittenIsReportedAndNamesNoRow)
{
    Ring("0311111111");
    // Another program holds the write lock longer than the table waits for it.
    DefaultSession().SetBusyTimeout(50);
    sqlite3* Other = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(Data.filePath(RecvHisFileName)).constData(), &Other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(Other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);

    TCallerRecord Record;
    FillReceivedNumber(u"0322222222"_qs, Record);
    EXPECT_FALSE(Pipeline.AppendHistory(Record));
    EXPECT_EQ(Pipeline.LastAppendResult(), THistoryAppendResult::Busy);
    EXPECT_EQ(Record.HisRecNo, -1);
    EXPECT_EQ(Shown, QStringList{HistoryPostError});

    sqlite3_exec(Other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(Other);
    DefaultSession().SetBusyTimeout(5000);
    EXPECT_EQ(Rows().size(), 1);
    EXPECT_EQ(Module->RecvHisOpenCount(), 0);
    // The next call gets the next number: nothing was left half-written.
    EXPECT_TRUE(Pipeline.AppendHistory(Record));
    EXPECT_EQ(Record.HisRecNo, 1);
}

TEST_F(CallPipelineTest, DeviceErrorsShowTheirCodeAndTextButCodeOne)
{
    for (int Code : {1, 7}) {
        const QByteArray Text("Line lost");
        const TDeviceNotify Notify{Code, static_cast<std::int32_t>(Text.size()), Text.constData()};
        Pipeline.HandleMessage(WM_DEVICE_ERROR, 0, reinterpret_cast<TLParam>(&Notify));
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(Shown, QStringList{u"7\r\nLine lost"_qs + DeviceErrorTail});
    // The advice names what a Linux user can restart.
    EXPECT_TRUE(Shown.value(0).endsWith(u"Tolvaneを終了後、コンピューターを再起動してください  "_qs));
}

TEST_F(CallPipelineTest, TheRowIsWrittenBeforeTheExtensionAndThePopUps)
{
    QStringList Steps;
    auto RowsNow = [this] { return QString::number(Rows().size()); };
    TCallPipelineLinks& L = Pipeline.Links;
    L.ExtDllLoaded = [] { return true; };
    L.CallExtDll = [&](const TCallerRecord&) {
        Steps << u"ext "_qs + RowsNow();
        return 0;
    };
    L.ReloadHistoryList = [&] { Steps << u"reload"_qs; };
    L.ShowHistoryList = [&] { Steps << u"list"_qs; };
    L.UIIdle = [] { return true; };
    // A directory that fails must not cost the call its row.
    L.IdentifyCaller = [](bool, bool, const QString&, TCallerRecord&) -> int {
        throw EDatabaseError(u"Meibo.DB is damaged"_qs);
    };
    Ring("0312345678");
    EXPECT_EQ(Steps, (QStringList{u"ext 1"_qs, u"reload"_qs, u"list"_qs}));
    ASSERT_EQ(Rows().size(), 1);
    EXPECT_EQ(Rows()[0].Tel, u"03-1234-5678"_qs);
    EXPECT_EQ(Shown, QStringList{u"Meibo.DB is damaged"_qs});
}

// When nobody will see a call pop up, the tray marks it; the ring plays when it is switched on.
TEST_F(CallPipelineTest, TheUnseenMarkIsForCallsNobodySeesPopUp)
{
    struct
    {
        bool Unseen, ListShowing, ViewExists, HisListPopup, RecvViewPopup, Idle, Marked;
    } Cases[] = {
        {false, false, false, false, false, true, true}, // no pop-ups at all
        {false, false, false, true, false, false, true}, // a modal window keeps the list down
        {false, false, false, true, true, true, false},  // the pop-ups show it
        {true, false, false, false, false, true, false}, // marked already
        {false, true, false, false, false, true, false}, // the list is on the screen
        {false, false, true, false, false, true, false}, // the incoming-call window is open
    };
    TCallPipelineLinks& L = Pipeline.Links;
    int Rings = 0;
    L.RingStream = [] { return QByteArray("RIFF"); };
    L.PlayRing = [&Rings](const QByteArray&) { ++Rings; };
    for (const auto& Case : Cases) {
        bool Marked = false;
        L.UnseenCall = [&] { return Case.Unseen; };
        L.MarkUnseenCall = [&] { Marked = true; };
        L.HistoryListShowing = [&] { return Case.ListShowing; };
        L.ReceiveViewExists = [&] { return Case.ViewExists; };
        L.UIIdle = [&] { return Case.Idle; };
        ::Settings.HisListPopup = Case.HisListPopup;
        ::Settings.RecvViewPopup = Case.RecvViewPopup;
        ::Settings.RingSound = !Case.Marked;
        Ring("0312345678");
        EXPECT_EQ(Marked, Case.Marked) << &Case - Cases;
    }
    EXPECT_EQ(Rings, 4);
}

// The own directory's second number is searched first when it is the one that rang; without a first
// number nothing is searched. The address book searches all four numbers.
TEST_F(CallPipelineTest, PreviousCallKeysFollowTheDirectoryInUse)
{
    const QDateTime Time(QDate(2026, 12, 1), QTime(9, 0));
    AddRow(0, u"0311111111"_qs, u"first number"_qs, Time);
    AddRow(1, u"0322222222"_qs, u"second number"_qs, Time.addSecs(60));
    AddRow(2, u"0344444444"_qs, u"mobile 2"_qs, Time.addSecs(120));
    struct
    {
        bool Book;
        std::array<QString, 4> Tels;
        const char* Number;
        const char16_t* Want;
    } Cases[] = {
        {false, {u"03-1111-1111"_qs, u"03-2222-2222"_qs}, "0311111111", u"second number"},
        {false, {QString(), u"03-2222-2222"_qs}, "0399999999", u""},
        {false, {QString(), u"03-2222-2222"_qs}, "0322222222", u"second number"},
        {false, {u"03-1111-1111"_qs, QString(), QString(), u"03-4444-4444"_qs}, "0311111111", u"first number"},
        {true, {u"03-1111-1111"_qs, QString(), QString(), u"03-4444-4444"_qs}, "0311111111", u"mobile 2"},
    };
    for (const auto& Case : Cases) {
        ::Settings.UseFbAdrs = Case.Book;
        TCallerRecord Record;
        Record.Tel = Case.Tels;
        Pipeline.LookUpPreviousCall(QString::fromLatin1(Case.Number), Record);
        EXPECT_EQ(Record.SelItem1, QString::fromUtf16(Case.Want)) << &Case - Cases;
    }
}

} // namespace
