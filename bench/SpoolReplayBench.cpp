// A start that finds 2,000 calls waiting in the spool (a long outage of the history, or a kill): how
// long a call that rings meanwhile waits for the program to take it, and how long the backlog takes.
// The new calls come from another thread as the device library sends them, every 100 ms while the
// backlog is written; the program's event loop runs as it does in VxRelvo16. The argument is the
// pipeline's slice in ms; 0 writes the whole backlog before anything else is done.
#include "main/device/VxComm.h"
#include "main/pipeline/CallPipeline.h"
#include "main/settings/Settings.h"
#include "main/tables/DBInfo.h"
#include "platform/msg/WindowMessage.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <benchmark/benchmark.h>
#include <thread>
#include <vector>

namespace {

constexpr int Waiting = 2000;

void BM_NewRingDuringSpoolReplay(benchmark::State& State)
{
    double LongestWait = 0;
    double Replay = 0;
    int Rings = 0;
    for (auto _ : State) {
        QTemporaryDir Folder;
        const QString Path = Folder.path() + u'/';
        {
            QFile Spool(Path + TCallSpool::FileName);
            (void)Spool.open(QIODevice::WriteOnly);
            const qint64 Rang = QDateTime::currentMSecsSinceEpoch() - 3600 * 1000;
            for (int I = 0; I < Waiting; ++I)
                Spool.write(QStringLiteral("P %1 04%2\n").arg(Rang + I).arg(I, 8, 10, QLatin1Char('0')).toLatin1());
        }
        ::Settings = TSettings();
        TDMVxRelvo16 Module(Path, Path);
        DMVxRelvo16 = &Module;
        Module.CreateRecvHisTable();
        TCallPipeline Pipeline;
        // 0: the whole queue in one go, as before the slices.
        Pipeline.SliceInterval = State.range(0) > 0 ? static_cast<int>(State.range(0)) : 1000000000;
        TCallPipelineLinks& L = Pipeline.Links;
        L.ProgramStarted = [] { return true; };
        L.UIIdle = [] { return true; };
        L.ShowMessage = [](const QString&, unsigned) {};
        L.SpoolFolder = [Path] { return Path; };
        TMessageTarget Window(
            [&Pipeline](std::uint32_t Msg, TWParam W, TLParam P) { return Pipeline.HandleMessage(Msg, W, P); });

        QElapsedTimer Clock;
        Clock.start();
        Pipeline.ProgramHasStarted();
        std::atomic<bool> Done = false;
        std::atomic<bool> Finished = false;
        std::atomic<int> Answered = 0;
        std::vector<double> Waits;
        std::thread Line([&] {
            const QByteArray Number("0399999999");
            while (!Done) {
                QThread::msleep(100);
                const TDeviceNotify Notify{0, static_cast<std::int32_t>(Number.size()), Number.constData()};
                QElapsedTimer Wait;
                Wait.start();
                (void)Window.Send(WM_DEVICE_CALL, 0, reinterpret_cast<TLParam>(&Notify));
                Waits.push_back(static_cast<double>(Wait.nsecsElapsed()) / 1e6);
                ++Answered;
            }
            Finished = true;
        });
        while (Pipeline.Spool().WaitingCount() > 0 || !Pipeline.CallQueue.isEmpty() || Answered == 0)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        Replay = static_cast<double>(Clock.nsecsElapsed()) / 1e9;
        Done = true;
        // The line's last call is answered only by this thread's event loop.
        while (!Finished)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        Line.join();
        LongestWait = std::max(LongestWait, *std::max_element(Waits.begin(), Waits.end()));
        Rings += static_cast<int>(Waits.size());
        DMVxRelvo16 = nullptr;
    }
    State.counters["replay_s"] = Replay;
    State.counters["longest_ring_wait_ms"] = LongestWait;
    State.counters["rings"] = Rings;
}
BENCHMARK(BM_NewRingDuringSpoolReplay)->Arg(50)->Arg(0)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication App(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
