#include "platform/db/Table.h"
#include "platform/db/TableImpl.h"

#include <sqlite3.h>

// Bulk rewrites: a walk that reads a few columns a batch at a time and writes back only what
// changed, instead of a cursor move, a whole record and every index of it for each row.

using namespace TableInternal;

namespace {

constexpr int RewriteBatch = 512;

// A statement of one rewrite, prepared once for all its rows and finalized with it.
class TRewriteStatement
{
public:
    TRewriteStatement(sqlite3* Db, const QString& Sql)
    {
        const QByteArray Utf8 = Sql.toUtf8();
        if (TableInternal::PrepareV3(Db, Utf8.constData(), static_cast<int>(Utf8.size()), SQLITE_PREPARE_PERSISTENT,
                                     &FStatement, nullptr) != SQLITE_OK) {
            const QString Message = QString::fromUtf8(sqlite3_errmsg(Db));
            sqlite3_finalize(FStatement);
            throw EDatabaseError(QStringLiteral("Cannot prepare \"%1\": %2").arg(Sql, Message));
        }
    }
    ~TRewriteStatement() { sqlite3_finalize(FStatement); }
    TRewriteStatement(const TRewriteStatement&) = delete;
    TRewriteStatement& operator=(const TRewriteStatement&) = delete;
    sqlite3_stmt* operator*() const { return FStatement; }
    // Runs a statement without results and answers SQLite's code.
    int Run() const
    {
        const int Rc = TableInternal::Step(FStatement);
        sqlite3_reset(FStatement);
        return Rc;
    }

private:
    sqlite3_stmt* FStatement = nullptr;
};

} // namespace

TTable::TRewriteCount
TTable::TImpl::RewriteRows(const QStringList& Read, const QStringList& Write,
                           const std::function<bool(const QVariantList& Values, QVariantList& NewValues)>& Change)
{
    CheckBrowseMode();
    auto FieldsOf = [this](const QStringList& Names) {
        QList<int> Indexes;
        for (const QString& Name : Names) {
            const int Index = FFieldIndex.value(Name.toLower(), -1);
            if (Index < 0)
                throw EDatabaseError(QStringLiteral("Field '%1' not found in table %2").arg(Name, FTableName));
            Indexes << Index;
        }
        return Indexes;
    };
    const QList<int> ReadFields = FieldsOf(Read);
    const QList<int> WriteFields = FieldsOf(Write);
    const TIndexInfo& Primary = FIndexes.front();
    for (int Field : WriteFields)
        if (Field == FPrimaryField || Primary.FieldIndexes.contains(Field))
            throw EDatabaseError(QStringLiteral("The key field %1 of table %2 cannot be rewritten")
                                     .arg(FDef.Fields[Field].Name, FTableName));

    // Each batch goes on after the last key of the one before, in the primary index's order (its
    // columns end with the row id).
    const QString Table = Quote(SqlTableName());
    QStringList Selected{QStringLiteral("rowid")};
    for (int Field : Primary.FieldIndexes)
        Selected << Quote(FDef.Fields[Field].Name);
    for (int Field : ReadFields)
        Selected << Quote(FDef.Fields[Field].Name);
    const QString Keys = Primary.Columns.join(QStringLiteral(", "));
    const QString Head =
        QStringLiteral("SELECT ") + Selected.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") + Table;
    const QString Tail =
        QStringLiteral(" ORDER BY ") + Keys + QStringLiteral(" LIMIT ") + QString::number(RewriteBatch);
    const QString FirstSql = Head + Tail;
    const QString NextSql = Head + QStringLiteral(" WHERE (") + Keys + QStringLiteral(") > (") +
                            QStringList(Primary.Columns.size(), QStringLiteral("?")).join(QStringLiteral(", ")) + u')' +
                            Tail;
    // No trigger fires on the engine's connections, so a row is refused only by a constraint, which
    // SQLite checks before it writes anything of the row: "OR IGNORE" leaves such a row as it was,
    // with no savepoint and no statement journal of the row's pages.
    QStringList Sets;
    for (int Field : WriteFields)
        Sets << Quote(FDef.Fields[Field].Name) + QStringLiteral(" = ?");
    const TRewriteStatement Update(FDb, QStringLiteral("UPDATE OR IGNORE ") + Table + QStringLiteral(" SET ") +
                                            Sets.join(QStringLiteral(", ")) + QStringLiteral(" WHERE rowid = ?"));

    const bool Own = !InTransaction();
    if (Own)
        Exec(QStringLiteral("BEGIN IMMEDIATE"));
    TRewriteCount Count;
    try {
        struct TRead
        {
            qint64 RowId = 0;
            QVariantList Values;
        };
        // The rows of a batch and the key it ends on are filled in place, batch after batch: no
        // list is made anew for a row.
        std::vector<TRead> Batch(RewriteBatch);
        for (TRead& Row : Batch)
            Row.Values.resize(ReadFields.size());
        const int KeyFields = static_cast<int>(Primary.FieldIndexes.size());
        QVariantList LastKey;
        QVariantList NewValues;
        size_t Rows = 0;
        for (;;) {
            sqlite3_stmt* Select = Prepare(LastKey.isEmpty() ? FirstSql : NextSql);
            Bind(Select, LastKey);
            Rows = 0;
            int Rc;
            while ((Rc = TableInternal::Step(Select)) == SQLITE_ROW) {
                TRead& Row = Batch[Rows++];
                Row.RowId = sqlite3_column_int64(Select, 0);
                if (Rows == static_cast<size_t>(RewriteBatch)) {
                    // Only a full batch has a batch after it, which goes on after this row's key.
                    LastKey.resize(KeyFields + 1);
                    for (int I = 0; I < KeyFields; ++I)
                        LastKey[I] = ColumnValue(Select, I + 1, FDef.Fields[Primary.FieldIndexes[I]].Type);
                    LastKey[KeyFields] = Row.RowId;
                }
                for (int I = 0; I < ReadFields.size(); ++I)
                    Row.Values[I] = ColumnValue(Select, 1 + KeyFields + I, FDef.Fields[ReadFields[I]].Type);
            }
            sqlite3_reset(Select);
            if (Rc != SQLITE_DONE)
                Fail(QStringLiteral("Cannot read"));
            for (size_t Index = 0; Index < Rows; ++Index) {
                const TRead& Row = Batch[Index];
                ++Count.Rows;
                NewValues.clear();
                if (!Change(Row.Values, NewValues))
                    continue;
                if (NewValues.size() != WriteFields.size())
                    throw EDatabaseError(QStringLiteral("%1 values for %2 fields of table %3")
                                             .arg(NewValues.size())
                                             .arg(WriteFields.size())
                                             .arg(FTableName));
                for (int I = 0; I < WriteFields.size(); ++I)
                    BindValue(*Update, I + 1, ToStorage(WriteFields[I], NewValues[I]));
                BindValue(*Update, static_cast<int>(WriteFields.size()) + 1, Row.RowId);
                // Nothing but a failure of the file itself stops an ignoring update.
                if (Update.Run() != SQLITE_DONE)
                    Fail(QStringLiteral("Cannot write"));
                ++(sqlite3_changes(FDb) == 1 ? Count.Written : Count.Refused);
            }
            if (Rows < static_cast<size_t>(RewriteBatch))
                break;
        }
        if (Own)
            Exec(QStringLiteral("COMMIT"));
    } catch (...) {
        if (Own && InTransaction())
            sqlite3_exec(FDb, "ROLLBACK", nullptr, nullptr, nullptr);
        // The failure that stopped the rewrite is the one to report.
        try {
            Refresh();
        } catch (const EDatabaseError&) {
        }
        throw;
    }
    Refresh();
    return Count;
}
