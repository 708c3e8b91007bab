// Time from an incoming call to its committed history row, on tables of the size an office reaches
// after years: 100,000 calls in the history (the last of them written by the measured calls) and
// 1,000,000 entries in the directory. The call enters as the device library's notification, handed
// to the pipeline in-process (the message the library would send), and the pipeline's own posted
// message is dispatched at once; the socket of the simulated adapter is not part of the figure.
// The calls alternate between a pipeline that keeps each call in its spool on disk until the row is
// committed, as the program does, and one that keeps them in memory only, so that both see the
// same tables and the same disk.
#include "main/device/VxComm.h"
#include "main/identify/AppSub.h"
#include "main/pipeline/CallPipeline.h"
#include "main/settings/Settings.h"
#include "main/tables/DBInfo.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>

namespace {

constexpr int MeiboRows = 1000000;
constexpr int Calls = 1000;                 // half of them through each pipeline
constexpr int RecvHisRows = 100000 - Calls; // the measured calls fill the history up to 100,000
constexpr int RepeatCallers = 5000;         // numbers that have called before, about 20 times each

QString MeiboTel(int RecNo)
{
    quint64 Seed = static_cast<quint64>(RecNo) * 2654435761ULL % 9999999967ULL;
    QString Text = QStringLiteral("0");
    while (Text.size() < 10) {
        Text += QChar(static_cast<char16_t>(u'0' + Seed % 10));
        Seed = Seed / 10 + Seed * 7 + 3;
    }
    return Text;
}

struct TFixture
{
    QTemporaryDir Folder;
    TDMVxRelvo16 Module{Folder.path(), Folder.path()};
    TCallPipeline Pipeline;   // with the spool
    TCallPipeline MemoryOnly; // without
    int Errors = 0;

    TFixture()
    {
        DMVxRelvo16 = &Module;
        Module.CreateRecvHisTable();
        Module.CreateMeiboTable();
        ::Settings = TSettings();
        Fill();
        TCallPipelineLinks& L = Pipeline.Links;
        L.ProgramStarted = [] { return true; };
        L.UIIdle = [] { return true; };
        L.ShowMessage = [this](const QString&, unsigned) { ++Errors; };
        L.IdentifyCaller = IdentifyCaller;
        MemoryOnly.Links = L;
        L.SpoolFolder = [this] { return Folder.path() + u'/'; };
    }

    void Fill()
    {
        {
            TTableUse Use(Module, TDataTable::Meibo);
            TTableTransaction Transaction(*MeiboTable);
            for (int RecNo = 0; RecNo < MeiboRows; ++RecNo) {
                MeiboTable->Append();
                MeiboTable->FieldByName("RecNo").SetAsInteger(RecNo);
                MeiboTable->FieldByName("SchTel1").SetAsString(MeiboTel(RecNo));
                MeiboTable->FieldByName("SchTel2").SetAsString(MeiboTel(RecNo + MeiboRows));
                MeiboTable->FieldByName("Tel1").SetAsString(MeiboTel(RecNo));
                MeiboTable->FieldByName("CorpKanji").SetAsString(QStringLiteral("有限会社　登録%1").arg(RecNo % 10007));
                MeiboTable->FieldByName("NameKana").SetAsString(QStringLiteral("ｽｽﾞｷ %1").arg(RecNo % 313));
                MeiboTable->Post();
            }
            Transaction.Commit();
        }
        TTableUse Use(Module, TDataTable::RecvHis);
        TTableTransaction Transaction(*RecvHisTable);
        const double Base = DateTimeToDays(QDateTime(QDate(2020, 1, 1), QTime(8, 0)));
        for (int RecNo = 0; RecNo < RecvHisRows; ++RecNo) {
            RecvHisTable->Append();
            RecvHisTable->FieldByName("RecNo").SetAsInteger(RecNo);
            RecvHisTable->FieldByName("RecvDateTime").SetAsFloat(Base + RecNo / 1440.0);
            RecvHisTable->FieldByName("RecvWeek").SetAsInteger(RecNo % 7 + 1);
            RecvHisTable->FieldByName("SchTel").SetAsString(MeiboTel(RecNo % RepeatCallers));
            RecvHisTable->FieldByName("Tel").SetAsString(MeiboTel(RecNo % RepeatCallers));
            RecvHisTable->FieldByName("CorpKanji").SetAsString(QStringLiteral("有限会社　登録%1").arg(RecNo % 10007));
            RecvHisTable->FieldByName("SelItem1").SetAsString(QStringLiteral("問い合わせ"));
            RecvHisTable->Post();
        }
        Transaction.Commit();
    }
};

double Percentile(std::vector<double> Values, double P)
{
    std::sort(Values.begin(), Values.end());
    const auto Index = static_cast<std::size_t>(P * static_cast<double>(Values.size() - 1) + 0.5);
    return Values[std::min(Index, Values.size() - 1)];
}

// Half the calls come from repeat callers (found in the directory by the real identification, with earlier calls to
// look through), a quarter from entries found by their second number, a quarter from unknown numbers.
void BM_CallToHistoryRow(benchmark::State& State)
{
    static TFixture Fixture;
    QRandomGenerator Random(11);
    std::vector<double> Times[2];
    int Call = 0;
    for (auto _ : State) {
        const int Kind = Call / 2 % 4;
        const bool Spooled = Call++ % 2 == 0;
        const int Pick = static_cast<int>(Random.bounded(Kind < 2 ? RepeatCallers : MeiboRows));
        const QByteArray Number = (Kind < 2    ? MeiboTel(Pick)
                                   : Kind == 2 ? MeiboTel(Pick + MeiboRows)
                                               : u"09"_qs + MeiboTel(Pick).mid(2))
                                      .toLatin1();
        const TDeviceNotify Notify{0, static_cast<std::int32_t>(Number.size()), Number.constData()};
        TCallPipeline& Pipeline = Spooled ? Fixture.Pipeline : Fixture.MemoryOnly;
        QElapsedTimer Timer;
        Timer.start();
        Pipeline.HandleMessage(WM_DEVICE_CALL, 0, reinterpret_cast<TLParam>(&Notify));
        QCoreApplication::sendPostedEvents();
        const double Seconds = static_cast<double>(Timer.nsecsElapsed()) / 1e9;
        State.SetIterationTime(Seconds);
        Times[Spooled ? 1 : 0].push_back(Seconds * 1000.0);
    }
    if (Fixture.Errors > 0 || Fixture.Pipeline.Spool().WaitingCount() > 0)
        State.SkipWithError("a call was not stored");
    State.counters["median_ms"] = Percentile(Times[1], 0.5);
    State.counters["p99_ms"] = Percentile(Times[1], 0.99);
    State.counters["max_ms"] = Percentile(Times[1], 1.0);
    State.counters["nospool_median_ms"] = Percentile(Times[0], 0.5);
    State.counters["nospool_p99_ms"] = Percentile(Times[0], 0.99);
}
BENCHMARK(BM_CallToHistoryRow)->Iterations(Calls)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication App(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
