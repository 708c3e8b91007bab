// The conversion of a version-15 data folder of 100,000 history and 100,000 directory rows, every
// field of each filled (every directory row with numbers of its own), into empty version-16 tables.
// CONVERT_BENCH_ROWS=n converts n rows of each instead.
#include "main/settings/Settings.h"
#include "main/tables/DBInfo.h"
#include "tests/support/OlderVersionFixture.h"
#include "utility/convert/Convert.h"
#include "utility/start/UtilFolders.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

int BenchRows()
{
    bool Ok = false;
    const int Rows = qEnvironmentVariableIntValue("CONVERT_BENCH_ROWS", &Ok);
    return Ok && Rows > 0 ? Rows : 100000;
}

struct TQuietProgress : Utility::TConvertProgress
{
    void Start(int) override {}
    void Step() override {}
};

void BM_ConvertVersion15(benchmark::State& State)
{
    const int Rows = BenchRows();
    QTemporaryDir Home;
    qputenv("XDG_DATA_HOME", QFile::encodeName(Home.path()));
    ProgramPath = QStringLiteral(VX_BIN_DIR "/");
    SettingsPath = Home.path() + QStringLiteral("/settings/");
    QDir().mkpath(SettingsPath);
    // pxlib walks a table's block chain for every record it appends, so writing the source folder
    // takes a quarter of an hour: it is kept beside the benchmark and written only when missing.
    const OlderFixture::TDataFolder Source(15, QStringLiteral(VX_BIN_DIR "/../bench/ConvertBench-v15-full-%1").arg(Rows));
    const QString Complete = Source.Folder() + QStringLiteral("complete");
    if (!QFile::exists(Complete)) {
        QList<OlderFixture::TRow> History;
        QList<OlderFixture::TRow> Directory;
        for (int I = 0; I < Rows; ++I) {
            const QString Tel = QStringLiteral("03%1").arg(I, 8, 10, QLatin1Char('0'));
            const QString Dialled = QStringLiteral("03-%1-%2").arg(I / 10000, 4, 10, QLatin1Char('0')).arg(I % 10000, 4, 10, QLatin1Char('0'));
            const QString Mobile = QStringLiteral("090%1").arg(I, 8, 10, QLatin1Char('0'));
            // Every field filled, as a directory kept for years holds them.
            History.append({{QStringLiteral("RecvDateTime"), 45000.0 + I / 1000.0},
                            {QStringLiteral("RecvWeek"), 1 + I % 7},
                            {QStringLiteral("SchTel"), Tel},
                            {QStringLiteral("Tel"), Dialled},
                            {QStringLiteral("CorpKana"), QStringLiteral("ｶﾌﾞｼｷｶﾞｲｼｬ ﾏﾙﾉｳﾁｼｮｳｼﾞ%1").arg(I)},
                            {QStringLiteral("CorpKanji"), QStringLiteral("株式会社丸の内商事%1").arg(I)},
                            {QStringLiteral("NameKana"), QStringLiteral("ﾔﾏﾀﾞ ﾀﾛｳ")},
                            {QStringLiteral("NameKanji"), QStringLiteral("山田太郎")},
                            {QStringLiteral("Division"), QStringLiteral("1")},
                            {QStringLiteral("Rank"), QStringLiteral("Ａ")},
                            {QStringLiteral("SelItem1"), QStringLiteral("見積依頼")},
                            {QStringLiteral("SelItem2"), QStringLiteral("折り返し電話")},
                            {QStringLiteral("SelItem3"), QStringLiteral("担当：営業部")}});
            Directory.append({{QStringLiteral("SchTel1"), Tel},
                              {QStringLiteral("SchTel2"), Mobile},
                              {QStringLiteral("Tel1"), Dialled},
                              {QStringLiteral("Tel2"), QStringLiteral("090-%1").arg(I, 8, 10, QLatin1Char('0'))},
                              {QStringLiteral("Pos"), QStringLiteral("1000005")},
                              {QStringLiteral("Tdfkn"), QStringLiteral("東京都")},
                              {QStringLiteral("Adrs1"), QStringLiteral("千代田区")},
                              {QStringLiteral("Adrs2"), QStringLiteral("丸の内一丁目%1番地 丸の内ビル%2階").arg(I % 100).arg(I % 40)},
                              {QStringLiteral("JisCode"), QStringLiteral("13101")},
                              {QStringLiteral("KajoCode"), QStringLiteral("131010")},
                              {QStringLiteral("CorpKana"), QStringLiteral("ｶﾌﾞｼｷｶﾞｲｼｬ ﾏﾙﾉｳﾁｼｮｳｼﾞ%1").arg(I)},
                              {QStringLiteral("CorpKanji"), QStringLiteral("株式会社丸の内商事%1").arg(I)},
                              {QStringLiteral("NameKana"), QStringLiteral("ﾔﾏﾀﾞ ﾀﾛｳ")},
                              {QStringLiteral("NameKanji"), QStringLiteral("山田太郎")},
                              {QStringLiteral("PrivCorp"), QStringLiteral("1")},
                              {QStringLiteral("Memo1"), QStringLiteral("毎月末に請求書を送付")},
                              {QStringLiteral("Memo2"), QStringLiteral("担当は営業部の佐藤様")},
                              {QStringLiteral("Memo3"), QStringLiteral("午前中は不在が多い")},
                              {QStringLiteral("EMail"), QStringLiteral("user%1@example.co.jp").arg(I)},
                              {QStringLiteral("Rank"), QStringLiteral("Ａ")},
                              {QStringLiteral("Latitude"), 128500000 + I},
                              {QStringLiteral("Longitude"), 503300000 + I},
                              {QStringLiteral("Msg"), 1},
                              {QStringLiteral("Msg1"), QStringLiteral("お得意様です")},
                              {QStringLiteral("Msg2"), QStringLiteral("丁寧に対応")},
                              {QStringLiteral("BGColor"), QStringLiteral("#FFFF00")},
                              {QStringLiteral("ExtFile"), QStringLiteral("/home/shared/顧客/%1.pdf").arg(I)},
                              {QStringLiteral("Note"), QStringLiteral("二〇一二年からのお取引")}});
        }
        Source.WriteRecvHis(History);
        Source.WriteMeibo(Directory);
        QFile Mark(Complete);
        (void)Mark.open(QIODevice::WriteOnly);
    }
    // The converted folder is removed after the clock stops: taking away 2 x 50 MB of tables is
    // none of the conversion's time.
    std::unique_ptr<QTemporaryDir> Dest;
    for (auto _ : State) {
        State.PauseTiming();
        Dest = std::make_unique<QTemporaryDir>();
        Utility::ConvertCounts = {};
        State.ResumeTiming();
        {
            Utility::TConversionModule Module(Dest->path() + u'/');
            TQuietProgress Progress;
            try {
                Utility::ConvertVersion(15, Source.Folder(), Progress);
            } catch (const Utility::EConvertAborted&) {
            }
        }
        State.PauseTiming();
        State.counters["rows/s"] =
            benchmark::Counter(Utility::ConvertCounts[0] + Utility::ConvertCounts[1], benchmark::Counter::kIsRate);
        Dest.reset();
        State.ResumeTiming();
    }
}
BENCHMARK(BM_ConvertVersion15)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
