#include "platform/db/Table.h"
#include "platform/db/TableInternal.h"

#include <QHash>
#include <QSet>
#include <memory>
#include <sqlite3.h>

// The statements a table's file is made with, from its definition alone. A file made elsewhere may
// carry any text in its schema, and SQLite runs every statement of a text it is handed: the engine
// runs only the texts it makes here, and reads a file's own schema as data, to compare with them.

using namespace TableInternal;

namespace {

QString TypeSql(TFieldType Type)
{
    switch (Type) {
    case TFieldType::String:
    case TFieldType::Memo:
        return QStringLiteral("TEXT NOT NULL DEFAULT ''");
    case TFieldType::DateTime:
        return QStringLiteral("REAL NOT NULL DEFAULT 0");
    default:
        return QStringLiteral("INTEGER NOT NULL DEFAULT 0");
    }
}

// A text column carries its collation itself, so that SQLite seeks its indexes on plain
// comparisons (an explicit COLLATE in a comparison keeps the planner off the index): the folding
// one when a case-insensitive index covers the column, else plain CP932 order.
bool ColumnFolds(const TTableDef& Def, const QString& FieldName)
{
    for (const TIndexDef& Index : Def.Indexes)
        if (Index.CaseInsensitive)
            for (const QString& Name : Index.FieldList())
                if (Name.compare(FieldName, Qt::CaseInsensitive) == 0)
                    return true;
    return false;
}

QString CollationSql(bool Fold)
{
    return QStringLiteral(" COLLATE ") + QString::fromLatin1(Fold ? Cp932CiCollationName : Cp932CollationName);
}

const TFieldDef* FindField(const TTableDef& Def, const QString& FieldName)
{
    for (const TFieldDef& Field : Def.Fields)
        if (Field.Name.compare(FieldName, Qt::CaseInsensitive) == 0)
            return &Field;
    return nullptr;
}

const TIndexDef* PrimaryOf(const TTableDef& Def)
{
    const TIndexDef* Primary = nullptr;
    for (const TIndexDef& Index : Def.Indexes)
        if (Index.Primary)
            Primary = &Index;
    return Primary;
}

QStringList IndexColumns(const TTableDef& Def, const TIndexDef& Index)
{
    QStringList Result;
    for (const QString& FieldName : Index.FieldList()) {
        const TFieldDef* Field = FindField(Def, FieldName);
        if (!Field)
            throw EDatabaseError(QStringLiteral("Index %1 names the unknown field %2").arg(Index.Name, FieldName));
        Result << IndexColumnSql(Def, *Field, Index.CaseInsensitive);
    }
    return Result;
}

// What SQLite writes for the tables it keeps itself: the numbers an auto-increment field gave, and the
// statistics an administrator's ANALYZE leaves (the planner's, which a rebuild does without).
const QString SequenceSql = QStringLiteral("CREATE TABLE sqlite_sequence(name,seq)");
const QString Stat1Sql = QStringLiteral("CREATE TABLE sqlite_stat1(tbl,idx,stat)");
const QString Stat4Sql = QStringLiteral("CREATE TABLE sqlite_stat4(tbl,idx,neq,nlt,ndlt,sample)");

} // namespace

namespace TableInternal {

bool HasAutoInc(const TTableDef& Def)
{
    for (const TFieldDef& Field : Def.Fields)
        if (Field.Type == TFieldType::AutoInc)
            return true;
    return false;
}

// A column of an index; the collation is named only where the index differs from the column.
QString IndexColumnSql(const TTableDef& Def, const TFieldDef& Field, bool CaseInsensitive)
{
    QString Column = Quote(Field.Name);
    if (IsText(Field.Type) && ColumnFolds(Def, Field.Name) != CaseInsensitive)
        Column += CollationSql(CaseInsensitive);
    return Column;
}

QString TableSql(const TTableDef& Def, const QString& Name)
{
    const TIndexDef* Primary = PrimaryOf(Def);
    const QStringList PrimaryFields = Primary ? Primary->FieldList() : QStringList();
    const TFieldDef* PrimaryField = PrimaryFields.size() == 1 ? FindField(Def, PrimaryFields[0]) : nullptr;
    const bool RowIdPrimary =
        PrimaryField && (PrimaryField->Type == TFieldType::Integer || PrimaryField->Type == TFieldType::AutoInc);
    QStringList Columns;
    for (const TFieldDef& Field : Def.Fields) {
        if (Field.Name.isEmpty())
            throw EDatabaseError(QStringLiteral("A field without a name"));
        const bool IsPrimaryColumn = RowIdPrimary && Field.Name.compare(PrimaryFields[0], Qt::CaseInsensitive) == 0;
        if (Field.Type == TFieldType::AutoInc && !IsPrimaryColumn)
            throw EDatabaseError(
                QStringLiteral("The auto-increment field %1 must be the primary index").arg(Field.Name));
        if (IsPrimaryColumn)
            Columns << Quote(Field.Name) + (Field.Type == TFieldType::AutoInc
                                                ? QStringLiteral(" INTEGER PRIMARY KEY AUTOINCREMENT")
                                                : QStringLiteral(" INTEGER PRIMARY KEY"));
        else
            Columns << Quote(Field.Name) + u' ' + TypeSql(Field.Type) +
                           (IsText(Field.Type) ? CollationSql(ColumnFolds(Def, Field.Name)) : QString());
    }
    QString PrimaryClause;
    if (Primary && !RowIdPrimary)
        PrimaryClause =
            QStringLiteral(", PRIMARY KEY (") + IndexColumns(Def, *Primary).join(QStringLiteral(", ")) + u')';
    return QStringLiteral("CREATE TABLE ") + Quote(Name) + QStringLiteral(" (") + Columns.join(QStringLiteral(", ")) +
           PrimaryClause + u')';
}

QString IndexSqlName(const QString& Table, const TIndexDef& Index)
{
    return Table + u'_' + Index.Name;
}

QString IndexSql(const TTableDef& Def, const QString& Table, const TIndexDef& Index, const QString& Schema)
{
    if (Index.Name.isEmpty())
        throw EDatabaseError(QStringLiteral("A secondary index without a name"));
    return QStringLiteral("CREATE ") + (Index.Unique ? QStringLiteral("UNIQUE ") : QString()) +
           QStringLiteral("INDEX ") + (Schema.isEmpty() ? QString() : Quote(Schema) + u'.') +
           Quote(IndexSqlName(Table, Index)) + QStringLiteral(" ON ") + Quote(Table) + QStringLiteral(" (") +
           IndexColumns(Def, Index).join(QStringLiteral(", ")) + u')';
}

QString MetaTableSql()
{
    return QStringLiteral("CREATE TABLE _meta (Kind TEXT NOT NULL, Position INTEGER NOT NULL, Name TEXT NOT NULL, "
                          "Type TEXT NOT NULL DEFAULT '', Size INTEGER NOT NULL DEFAULT 0, "
                          "Fields TEXT NOT NULL DEFAULT '', IsPrimary INTEGER NOT NULL DEFAULT 0, "
                          "IsUnique INTEGER NOT NULL DEFAULT 0, CaseInsensitive INTEGER NOT NULL DEFAULT 0, "
                          "Value TEXT NOT NULL DEFAULT '', PRIMARY KEY (Kind, Position))");
}

TSchemaCheck CheckSchema(sqlite3* Db, const TTableDef& Def, const QString& Name, const QString& File)
{
    QHash<QString, QString> Expected; // index name -> its text
    for (const TIndexDef& Index : Def.Indexes)
        if (!Index.Primary)
            Expected.insert(IndexSqlName(Name, Index), IndexSql(Def, Name, Index));
    const QString OwnSql = TableSql(Def, Name);

    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> Statement(nullptr, sqlite3_finalize);
    {
        sqlite3_stmt* Prepared = nullptr;
        const int Rc = TableInternal::PrepareV2(Db, "SELECT type, name, tbl_name, sql FROM main.sqlite_master", -1,
                                                &Prepared, nullptr);
        Statement.reset(Prepared);
        if (Rc != SQLITE_OK)
            throw EDatabaseError(
                QStringLiteral("Cannot read the schema of %1: %2").arg(File, QString::fromUtf8(sqlite3_errmsg(Db))),
                Rc);
    }
    auto Text = [&](int Column) {
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(Statement.get(), Column)),
                                 sqlite3_column_bytes(Statement.get(), Column));
    };
    TSchemaCheck Check;
    bool OwnTable = false;
    bool Meta = false;
    QSet<QString> Seen;
    int Rc;
    while ((Rc = TableInternal::Step(Statement.get())) == SQLITE_ROW) {
        const QString Type = Text(0);
        const QString Object = Text(1);
        const QString Of = Text(2);
        const bool NoSql = sqlite3_column_type(Statement.get(), 3) == SQLITE_NULL;
        const QString Sql = Text(3);
        const QString Shown = Type + u' ' + Object;
        if (Type == QStringLiteral("table")) {
            bool Own = false;
            if (Object == Name)
                Own = OwnTable = Sql == OwnSql;
            else if (Object == QStringLiteral("_meta"))
                Own = Meta = Sql == MetaTableSql();
            else if (Object == QStringLiteral("sqlite_sequence"))
                Own = HasAutoInc(Def) && Sql == SequenceSql;
            else if (Object == QStringLiteral("sqlite_stat1") || Object == QStringLiteral("sqlite_stat4"))
                Own = Sql == (Object.endsWith(u'1') ? Stat1Sql : Stat4Sql);
            if (!Own)
                Check.Foreign << Shown;
        } else if (Type == QStringLiteral("index")) {
            // SQLite's own index of a primary key or unique constraint has no text: it follows from
            // the table's, which is checked above.
            if (NoSql) {
                if (!Object.startsWith(QStringLiteral("sqlite_autoindex_")) ||
                    (Of != Name && Of != QStringLiteral("_meta")))
                    Check.Foreign << Shown;
            } else if (Expected.contains(Object) && Expected.value(Object) == Sql && Of == Name) {
                Seen.insert(Object);
            } else {
                Check.OtherIndexes << Object;
            }
        } else {
            // Triggers and views: the engine never makes them, and they act on what is read or written.
            Check.Foreign << Shown;
        }
    }
    if (Rc != SQLITE_DONE)
        throw EDatabaseError(
            QStringLiteral("Cannot read the schema of %1: %2").arg(File, QString::fromUtf8(sqlite3_errmsg(Db))), Rc);
    if (!OwnTable && !Check.Foreign.contains(QStringLiteral("table ") + Name))
        Check.Foreign << QStringLiteral("no table ") + Name;
    if (!Meta && !Check.Foreign.contains(QStringLiteral("table _meta")))
        Check.Foreign << QStringLiteral("no table _meta");
    for (auto It = Expected.cbegin(); It != Expected.cend(); ++It)
        if (!Seen.contains(It.key()) && !Check.OtherIndexes.contains(It.key()))
            Check.OtherIndexes << It.key();
    return Check;
}

} // namespace TableInternal
