#pragma once

// The directory the list's benchmarks page through: a data module over a folder of its own, the
// table filled before any timing starts, and a pager of 200 lines a page in one of the six orders.
#include "directory/list/MeiboPager.h"
#include "tests/unit/MeiboTableFixture.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <functional>
#include <memory>

class TMeiboBenchData
{
public:
    TMeiboBenchData(int Rows, const std::function<TMeiboFixtureRow(int)>& Make)
        : FData(std::make_unique<TMeiboFixtureData>(FDir.path()))
    {
        AppendMeiboRows(FData->Table(), Rows, Make);
    }
    TTable& Table() { return FData->Table(); }

private:
    QTemporaryDir FDir;
    std::unique_ptr<TMeiboFixtureData> FData;
};

inline TMeiboPager MakeMeiboPager(int SortIndex)
{
    TMeiboPager Pager;
    Pager.ListMaxCount = 200;
    Pager.SortIndex = SortIndex;
    return Pager;
}

// Each round one page further on, from page 1 again after the last.
inline void StepPages(benchmark::State& State, TMeiboPager& Pager, TTable& Table)
{
    Pager.Load(Table, TMeiboPager::Reload, 1);
    for (auto _ : State) {
        if (Pager.Load(Table, TMeiboPager::Next, 1) != TListLoadResult::Loaded) {
            State.PauseTiming();
            Pager.Load(Table, TMeiboPager::Reload, 1);
            State.ResumeTiming();
        }
    }
}

// Ten-digit numbers spread over the range, each with one of a hundred names.
inline TMeiboFixtureRow SpreadMeiboRow(int I)
{
    TMeiboFixtureRow Row = GeneratedMeiboRow(I);
    Row.Tel1 = QStringLiteral("0%1").arg(300000000 + static_cast<qint64>(I) * 7919 % 600000000);
    Row.NameKanji = QStringLiteral("名前%1").arg(I % 100, 2, 10, QLatin1Char('0'));
    return Row;
}
