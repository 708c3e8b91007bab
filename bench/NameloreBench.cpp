// The name-reading stand-in on Debian's name dictionary: reading the file into its index, and one
// count plus list for a one-character reading, the most a user waits for while typing a name.

#include "platform/dynlib/DynLib.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <vector>

namespace {

struct TNameDicEntry
{
    char Reading[12];
    char Name[12];
};

using TCount = int (*)(const char*, std::int32_t, std::int32_t*, const char*);
using TList = int (*)(const char*, std::int32_t, TNameDicEntry*, std::int32_t, const char*);

const char* const Library = VX_BIN_DIR "/Namelore.so";
const char* const SystemOnly = "/nonexistent/";
const char* const Ta = "\xC0"; // ﾀ

void LoadDictionary(benchmark::State& State)
{
    for (auto _ : State) {
        TDynLib Lib;
        if (!Lib.Load(QString::fromLatin1(Library))) {
            State.SkipWithError("Namelore.so not built");
            return;
        }
        std::int32_t N = 0;
        Lib.SymbolAs<TCount>("NameloreSeiCount")(Ta, 0, &N, SystemOnly); // the first call reads the file
        benchmark::DoNotOptimize(N);
        Lib.Free();
    }
}
BENCHMARK(LoadDictionary)->Unit(benchmark::kMillisecond);

void CountAndListOneCharacter(benchmark::State& State)
{
    TDynLib Lib;
    if (!Lib.Load(QString::fromLatin1(Library))) {
        State.SkipWithError("Namelore.so not built");
        return;
    }
    const auto Count = Lib.SymbolAs<TCount>("NameloreSeiCount");
    const auto List = Lib.SymbolAs<TList>("NameloreSeiList");
    std::int32_t N = 0;
    Count(Ta, 0, &N, SystemOnly);
    for (auto _ : State) {
        Count(Ta, 0, &N, SystemOnly);
        std::vector<TNameDicEntry> Entries(static_cast<std::size_t>(N));
        benchmark::DoNotOptimize(List(Ta, 0, Entries.data(), N, SystemOnly));
    }
    State.counters["names"] = N;
}
BENCHMARK(CountAndListOneCharacter)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
