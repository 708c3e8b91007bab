#pragma once

#include <QStringList>
#include <functional>

class TTable;

// A table's secondary indexes taken away for a long load and built again afterwards from the
// table's definition, each step in a committed transaction of its own: in between, the table is
// whole and answers every walk and search as before, only without the index's help (a search or a
// walk in the order of a missing index reads the whole table). Both work on an open, shared table
// outside a transaction; its own connection sees the change at its next statement.

// Drops the open table's secondary indexes that are neither unique nor named in Keep. Answers the
// names of those dropped.
QStringList DropSecondaryIndexes(const TTable& Table, const QStringList& Keep = {});

// The indexes of the open table's definition that its file lacks.
[[nodiscard]] QStringList MissingIndexes(const TTable& Table);

// Builds every index of the open table's definition that its file lacks, from the definition
// alone, in one transaction: a failure (a full disk) or a kill half-way leaves the file as it was,
// without any of them. AfterEach sees how many are built so far, inside the transaction. Answers
// how many were built.
int BuildMissingIndexes(const TTable& Table, const std::function<void(int Built)>& AfterEach = {});
