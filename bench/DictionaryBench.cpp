// Figures of the dictionary bindings on the stand-ins and the postal dictionary of the build.
#include "directory/Dashrule.h"
#include "directory/dic/AdrsDicClass.h"
#include "directory/dic/ConAdrsDicClass.h"
#include "directory/dic/KykbnDicClass.h"
#include "directory/dic/PosDicClass.h"

#include <benchmark/benchmark.h>

namespace {

const QString BinFolder = QStringLiteral(VX_BIN_DIR "/");
const QString DicFolder = QStringLiteral(VX_BIN_DIR "/Dic/");

// A postal search with its city list and the towns of its city.
void PostalSearch(benchmark::State& State)
{
    TPosSearch Search(BinFolder, DicFolder);
    for (auto _ : State) {
        benchmark::DoNotOptimize(Search.Search(QStringLiteral("100-0001")));
        benchmark::DoNotOptimize(Search.ListTowns(0, false));
        benchmark::DoNotOptimize(Search.ListTowns(0, true));
    }
}
BENCHMARK(PostalSearch)->Unit(benchmark::kMillisecond);

// An address search down to the towns of a ward of several hundred towns.
void AddressSearch(benchmark::State& State)
{
    TAdrsSearch Search(BinFolder, DicFolder);
    for (auto _ : State) {
        benchmark::DoNotOptimize(Search.Search(QStringLiteral("東京都千代田区")));
        benchmark::DoNotOptimize(Search.ListTowns(0, false));
    }
}
BENCHMARK(AddressSearch)->Unit(benchmark::kMillisecond);

// An area-code search with the towns of its one city.
void AreaSearch(benchmark::State& State)
{
    TKykbnSearch Search(BinFolder, DicFolder);
    for (auto _ : State) {
        benchmark::DoNotOptimize(Search.Search(QStringLiteral("0593548111")));
        benchmark::DoNotOptimize(Search.ListTowns(0));
    }
}
BENCHMARK(AreaSearch)->Unit(benchmark::kMillisecond);

// The text import's normalisation, one address after another.
void Normalise(benchmark::State& State)
{
    TContinualAdrsSearch Search(BinFolder, DicFolder);
    for (auto _ : State) {
        benchmark::DoNotOptimize(Search.Search(QStringLiteral("三重県四日市市八田２－１－１")));
        benchmark::DoNotOptimize(Search.GetResult(false));
    }
    State.SetItemsProcessed(State.iterations());
}
BENCHMARK(Normalise)->Unit(benchmark::kMicrosecond);

// The first search of a dialog: the library is loaded for each, as a new dialog loads it, so what
// the library does at its first call (opening and indexing its dictionary) is counted every time.
void FirstAddressSearch(benchmark::State& State)
{
    for (auto _ : State) {
        TAdrsSearch Search(BinFolder, DicFolder);
        benchmark::DoNotOptimize(Search.Search(QStringLiteral("東京都千代田区")));
        benchmark::DoNotOptimize(Search.ListTowns(0, false));
    }
}
BENCHMARK(FirstAddressSearch)->Unit(benchmark::kMillisecond);

// As the dialog searches, with the number hyphenated. The program holds the hyphenation library
// from its start (held:1); without that (held:0) the binding loads it for the call and releases it,
// and its reading of libphonenumber's plan is counted every time too. libphonenumber itself, which
// that library links, stays in the process once loaded: the loader never unloads it.
void FirstAreaSearch(benchmark::State& State)
{
    const bool Held = State.range(0) != 0;
    if (Held)
        (void)LoadHyphenLibrary(BinFolder, DicFolder);
    for (auto _ : State) {
        TKykbnSearch Search(BinFolder, DicFolder);
        QString Hyphenated;
        benchmark::DoNotOptimize(Search.Search(QStringLiteral("0593548111"), &Hyphenated));
        benchmark::DoNotOptimize(Search.ListTowns(0));
    }
    if (Held)
        FreeHyphenLibrary();
}
BENCHMARK(FirstAreaSearch)->ArgName("held")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void FirstPostalSearch(benchmark::State& State)
{
    for (auto _ : State) {
        TPosSearch Search(BinFolder, DicFolder);
        benchmark::DoNotOptimize(Search.Search(QStringLiteral("100-0001")));
        benchmark::DoNotOptimize(Search.ListTowns(0, false));
    }
}
BENCHMARK(FirstPostalSearch)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
