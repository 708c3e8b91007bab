// The conversion of a version-15 data folder of 100,000 history and 100,000 directory rows (every
// directory row with a number of its own) into empty version-16 tables.
#include "main/settings/Settings.h"
#include "main/tables/DBInfo.h"
#include "tests/support/OlderVersionFixture.h"
#include "utility/convert/Convert.h"
#include "utility/start/UtilFolders.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int Rows = 100000;

struct TQuietProgress : Utility::TConvertProgress
{
    void Start(int) override {}
    void Step() override {}
};

void BM_ConvertVersion15(benchmark::State& State)
{
    QTemporaryDir Home;
    qputenv("XDG_DATA_HOME", QFile::encodeName(Home.path()));
    ProgramPath = QStringLiteral(VX_BIN_DIR "/");
    SettingsPath = Home.path() + QStringLiteral("/settings/");
    QDir().mkpath(SettingsPath);
    // pxlib walks a table's block chain for every record it appends, so writing the source folder
    // takes a quarter of an hour: it is kept beside the benchmark and written only when missing.
    const OlderFixture::TDataFolder Source(15, QStringLiteral(VX_BIN_DIR "/../bench/ConvertBench-v15-%1").arg(Rows));
    const QString Complete = Source.Folder() + QStringLiteral("complete");
    if (!QFile::exists(Complete)) {
        QList<OlderFixture::TRow> History;
        QList<OlderFixture::TRow> Directory;
        for (int I = 0; I < Rows; ++I) {
            const QString Tel = QStringLiteral("03%1").arg(I, 8, 10, QLatin1Char('0'));
            History.append({{QStringLiteral("RecvDateTime"), 45000.0 + I / 1000.0},
                            {QStringLiteral("SchTel"), Tel},
                            {QStringLiteral("NameKanji"), QStringLiteral("山田太郎")}});
            Directory.append({{QStringLiteral("SchTel1"), Tel},
                              {QStringLiteral("NameKanji"), QStringLiteral("山田太郎")},
                              {QStringLiteral("Adrs2"), QStringLiteral("千代田区丸の内一丁目")}});
        }
        Source.WriteRecvHis(History);
        Source.WriteMeibo(Directory);
        QFile Mark(Complete);
        (void)Mark.open(QIODevice::WriteOnly);
    }
    for (auto _ : State) {
        State.PauseTiming();
        QTemporaryDir Dest;
        Utility::ConvertCounts = {};
        State.ResumeTiming();
        {
            Utility::TConversionModule Module(Dest.path() + u'/');
            TQuietProgress Progress;
            try {
                Utility::ConvertVersion(15, Source.Folder(), Progress);
            } catch (const Utility::EConvertAborted&) {
            }
        }
        State.counters["rows/s"] =
            benchmark::Counter(Utility::ConvertCounts[0] + Utility::ConvertCounts[1], benchmark::Counter::kIsRate);
    }
}
BENCHMARK(BM_ConvertVersion15)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
