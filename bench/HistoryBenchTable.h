#pragma once

// A call history of generated rows, written once per benchmark program, before the first clock
// runs, and shared by all its benchmarks.

#include "tests/unit/HisTableFixture.h"

#include <QTemporaryDir>
#include <memory>

struct THistoryBenchData
{
    QTemporaryDir Dir;
    std::unique_ptr<THisFixtureData> Data;
    // With Undated, the first call has an empty date, as a call logged without the adapter's clock.
    THistoryBenchData(int Count, bool Undated)
    {
        Data = std::make_unique<THisFixtureData>(Dir.path());
        AppendHistoryRows(Data->Table(), Count, [Undated](int I) {
            THisFixtureRow Row = GeneratedRow(I);
            if (Undated && I == 0)
                Row.When = 0;
            return Row;
        });
    }
};

inline TTable& GeneratedHistoryTable(int RowCount)
{
    static THistoryBenchData Bench(RowCount, false);
    return Bench.Data->Table();
}

// The same history with one call of an empty date.
inline TTable& GeneratedHistoryWithUndatedCall(int RowCount)
{
    static THistoryBenchData Bench(RowCount, true);
    return Bench.Data->Table();
}
