// The list printing's preview over a call history of 100,000 rows at 52 rows a page: a page walked
// from the table and drawn into a recording of the whole sheet, as the preview shows it.
#include "platform/ini/IniFile.h"
#include "tests/unit/HisTableFixture.h"
#include "transfer/print/PreviewWalk.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPicture>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

constexpr int RowCount = 100000;

struct TBenchData
{
    QTemporaryDir Dir;
    std::unique_ptr<THisFixtureData> Data;
    TListPrintModel Model;
    TBenchData()
    {
        Data = std::make_unique<THisFixtureData>(Dir.path());
        // One call without a date, as a history may hold: the page is still found by counting dates.
        AppendHistoryRows(Data->Table(), RowCount, [](int I) {
            THisFixtureRow Row = GeneratedRow(I);
            if (I == 0)
                Row.When = 0;
            return Row;
        });
        Data->Module.CreateMeiboTable();
        TMemIniFile Ini(Dir.filePath(QStringLiteral("VxRelvo16.ini")));
        Ini.FromBytes("[LIST PRINT LAYOUT RECVHIS]\nItemNo=1,2,3,4,6,8,10,15\nItemSize=5,10,8,13,50,14,10,40\n");
        Model.LoadPrintSettings(Ini, Dir.filePath(QStringLiteral("LstPrint.pi")));
        Model.RecordsPerPage = 52;
        Model.SourceRecordCount = RowCount;
    }
};

TBenchData& Bench()
{
    static TBenchData Data;
    return Data;
}

void BM_PreviewPage(benchmark::State& State)
{
    TBenchData& Data = Bench();
    const TListTextMetrics Metrics;
    // The first page, the one in the middle (the farthest from both ends of the table) and the last.
    const int Last = PageCountOf(RowCount, 52);
    const int Page = State.range(0) == 0 ? 1 : State.range(0) == 1 ? Last / 2 : Last;
    for (auto _ : State) {
        QPicture Picture;
        QPainter Painter(&Picture);
        RenderPreviewPage(Painter, Data.Model, Data.Data->Module, Page, Metrics);
        Painter.end();
        benchmark::DoNotOptimize(Picture.size());
    }
    State.counters["page"] = Page;
}

} // namespace

BENCHMARK(BM_PreviewPage)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication App(argc, argv);
    benchmark::Initialize(&argc, argv);
    Bench(); // the 100,000 rows are written before any timing starts
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
