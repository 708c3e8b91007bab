// Long walks and batches of look-ups: rows read a batch a query, inside one read transaction, so
// that a walk over a large table costs one query and one lock per batch rather than per row.
#include "platform/db/Table.h"
#include "platform/db/TableImpl.h"

#include <algorithm>
#include <sqlite3.h>

using namespace TableInternal;

void TTable::TImpl::SetReadAhead(bool On, int Batch)
{
    FAhead.On = On;
    FAhead.Batch = std::max(Batch, 1);
    DropReadAhead();
}

void TTable::TImpl::DropReadAhead()
{
    FAhead.Rows.clear();
    FAhead.Next = 0;
    FAhead.AtEnd = false;
    FAhead.Anchor = -1;
}

int TTable::TImpl::StepReadAhead(bool Forward)
{
    // What was read ahead holds only while the walk goes on from where it left off, in the same
    // direction, with nothing written through this connection since (a write may move, change or
    // remove any of the rows read).
    const qint64 Changes = sqlite3_total_changes64(FDb);
    if (Forward != FAhead.Forward || FCurrent.RowId != FAhead.Anchor || Changes != FAhead.Changes)
        DropReadAhead();
    FAhead.Forward = Forward;
    FAhead.Changes = Changes;
    for (;;) {
        while (FAhead.Next < FAhead.Rows.size()) {
            TRow& Row = FAhead.Rows[FAhead.Next++];
            if (!Accepts(Row))
                continue;
            SetCurrent(std::move(Row));
            FAhead.Anchor = FCurrent.RowId;
            (Forward ? FBof : FEof) = false;
            return Forward ? 1 : -1;
        }
        if (FAhead.AtEnd)
            break;
        const bool First = FAhead.Rows.empty();
        std::vector<TRow> Rows;
        {
            TReadTransaction Transaction(*this);
            Rows = Fetch(Forward, First ? &FCurrent : &FAhead.Last, FAhead.Batch, {}, {});
        }
        FAhead.AtEnd = static_cast<int>(Rows.size()) < FAhead.Batch;
        if (Rows.empty())
            break;
        FAhead.Last = Rows.back();
        FAhead.Rows = std::move(Rows);
        FAhead.Next = 0;
        FAhead.Anchor = FCurrent.RowId;
    }
    // Nothing follows: the current record stays, as a step past the end leaves it.
    DropReadAhead();
    (Forward ? FEof : FBof) = true;
    return 0;
}

std::vector<QVariantList> TTable::TImpl::LookupRecords(const QString& IndexName, const QList<QVariantList>& Keys)
{
    CheckActive();
    std::vector<QVariantList> Records(static_cast<size_t>(Keys.size()));
    TReadTransaction Transaction(*this);
    for (qsizetype K = 0; K < Keys.size(); ++K) {
        const TKeySearch Search = KeySearch(IndexName, Keys[K], "LookupRecords");
        const QString Key = Search.Index->Name + u'|' + QString::number(Keys[K].size()) + QStringLiteral("|*");
        auto Sql = FLookupSql.constFind(Key);
        if (Sql == FLookupSql.constEnd())
            Sql = FLookupSql.insert(Key, KeySearchSql(*Search.Index, static_cast<int>(Keys[K].size()), SelectList()));
        sqlite3_stmt* Statement = Prepare(*Sql);
        Bind(Statement, Search.Binds);
        const int Rc = TableInternal::Step(Statement);
        if (Rc == SQLITE_ROW) {
            QVariantList& Values = Records[static_cast<size_t>(K)];
            Values.reserve(FDef.Fields.size());
            for (int I = 0; I < FDef.Fields.size(); ++I)
                Values << ColumnValue(Statement, I + 1, FDef.Fields[I].Type);
        }
        sqlite3_reset(Statement);
        if (Rc != SQLITE_ROW && Rc != SQLITE_DONE)
            Fail(QStringLiteral("Cannot read"));
    }
    return Records;
}
