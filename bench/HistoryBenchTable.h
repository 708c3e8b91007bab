#pragma once

// A call history of generated rows, written once per benchmark program, before the first clock
// runs, and shared by all its benchmarks.

#include "tests/unit/HisTableFixture.h"

#include <QTemporaryDir>
#include <memory>

inline TTable& GeneratedHistoryTable(int RowCount)
{
    struct TBenchData
    {
        QTemporaryDir Dir;
        std::unique_ptr<THisFixtureData> Data;
        explicit TBenchData(int Count)
        {
            Data = std::make_unique<THisFixtureData>(Dir.path());
            AppendHistoryRows(Data->Table(), Count, [](int I) { return GeneratedRow(I); });
        }
    };
    static TBenchData Bench(RowCount);
    return Bench.Data->Table();
}
