// A directory row and display conditions of any texts: the SQL form of the conditions, which the
// directory list counts and walks with, selects the row exactly when the row test passes it, which
// the export and print lists apply to each row they read.

#include "FuzzSupport.h"
#include "directory/search/MeiboSchCond.h"
#include "platform/db/Collation.h"

#include <sqlite3.h>

namespace {

sqlite3* Database()
{
    static sqlite3* Db = [] {
        sqlite3* Opened = nullptr;
        sqlite3_open(":memory:", &Opened);
        RegisterCp932Collations(Opened); // the filter's fold, as every connection of the engine has it
        sqlite3_exec(Opened,
                     "CREATE TABLE Meibo (SchTel1 TEXT, SchTel2 TEXT, Tdfkn TEXT, Adrs1 TEXT, Adrs2 TEXT, "
                     "Adrs3 TEXT, CorpKana TEXT, CorpKanji TEXT, NameKana TEXT, NameKanji TEXT)",
                     nullptr, nullptr, nullptr);
        return Opened;
    }();
    return Db;
}

void BindText(sqlite3_stmt* Statement, int Index, const QString& Text)
{
    const QByteArray Utf8 = Text.toUtf8();
    sqlite3_bind_text(Statement, Index, Utf8.constData(), static_cast<int>(Utf8.size()), SQLITE_TRANSIENT);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    TFuzzInput Input(Data, Size);
    const std::uint8_t Flags = Input.Byte();
    const QList<QByteArray> Pieces = SplitInput(Input.Rest(), QByteArrayLiteral("\x01"), 16);
    // The texts as the table holds them: UTF-8, so what the row test sees is what SQLite compares.
    QStringList Texts;
    for (const QByteArray& Piece : Pieces)
        Texts << QString::fromUtf8(Piece);

    sqlite3* Db = Database();
    sqlite3_exec(Db, "DELETE FROM Meibo", nullptr, nullptr, nullptr);
    sqlite3_stmt* Insert = nullptr;
    sqlite3_prepare_v2(Db, "INSERT INTO Meibo VALUES (?,?,?,?,?,?,?,?,?,?)", -1, &Insert, nullptr);
    for (int I = 0; I < 10; ++I) {
        // An empty text of an imported row may be NULL in the table.
        if ((Flags & 4) && Texts[I].isEmpty())
            sqlite3_bind_null(Insert, I + 1);
        else
            BindText(Insert, I + 1, Texts[I]);
    }
    VX_FUZZ_CHECK(sqlite3_step(Insert) == SQLITE_DONE);
    sqlite3_finalize(Insert);

    // The row as read back from the table.
    TMeiboRowKeys Row;
    QString TMeiboRowKeys::*const Fields[] = {
        &TMeiboRowKeys::SchTel1,  &TMeiboRowKeys::SchTel2,  &TMeiboRowKeys::Tdfkn,    &TMeiboRowKeys::Adrs1,
        &TMeiboRowKeys::Adrs2,    &TMeiboRowKeys::Adrs3,    &TMeiboRowKeys::CorpKana, &TMeiboRowKeys::CorpKanji,
        &TMeiboRowKeys::NameKana, &TMeiboRowKeys::NameKanji};
    sqlite3_stmt* Select = nullptr;
    sqlite3_prepare_v2(Db, "SELECT * FROM Meibo", -1, &Select, nullptr);
    VX_FUZZ_CHECK(sqlite3_step(Select) == SQLITE_ROW);
    for (int I = 0; I < 10; ++I)
        Row.*Fields[I] = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(Select, I)),
                                           sqlite3_column_bytes(Select, I));
    sqlite3_finalize(Select);

    TMeiboSearchCondition Condition;
    Condition.HasConditions = Flags & 1;
    Condition.OrMode = Flags & 2;
    Condition.Tel = Texts[10];
    Condition.Adrs = Texts[11];
    Condition.CorpKana = Texts[12];
    Condition.CorpKanji = Texts[13];
    Condition.NameKana = Texts[14];
    Condition.NameKanji = Texts[15];
    if (Flags & 8)
        Condition.CutToWidths();

    const TMeiboSqlFilter Filter = MeiboFilterSql(Condition);
    const QByteArray Sql =
        ("SELECT count(*) FROM Meibo" + (Filter.Where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + Filter.Where))
            .toUtf8();
    sqlite3_stmt* Count = nullptr;
    VX_FUZZ_CHECK(sqlite3_prepare_v2(Db, Sql.constData(), -1, &Count, nullptr) == SQLITE_OK);
    for (int P = 0; P < Filter.Params.size(); ++P) {
        const QVariant& Value = Filter.Params[P];
        if (Value.typeId() == QMetaType::LongLong)
            sqlite3_bind_int64(Count, P + 1, Value.toLongLong());
        else
            BindText(Count, P + 1, Value.toString());
    }
    VX_FUZZ_CHECK(sqlite3_step(Count) == SQLITE_ROW);
    const bool BySql = sqlite3_column_int(Count, 0) == 1;
    sqlite3_finalize(Count);
    const bool ByTest = MeiboRowMatches(Condition, Row);
    if (BySql != ByTest) {
        std::fprintf(stderr, "SQL %d, row test %d\n", BySql, ByTest);
        for (int I = 0; I < 16; ++I)
            std::fprintf(stderr, "  %d: %s\n", I, qPrintable(FuzzShow(Texts[I])));
    }
    VX_FUZZ_CHECK(BySql == ByTest);
    return 0;
}
