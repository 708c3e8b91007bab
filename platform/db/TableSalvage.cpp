#include "platform/db/Table.h"
#include "platform/db/TableInternal.h"

#include <QFile>
#include <QtEndian>
#include <limits>
#include <optional>
#include <sqlite3.h>
#include <utility>

// The rows of a damaged file, read one by one through the table's own b-tree. SQLite reports a
// damaged or missing page when a step reaches it; the walk then seeks past it by rowid to the next
// row that can be reached, so that one bad page costs the rows on it and no more.

using namespace TableInternal;

namespace {

constexpr qint64 Lowest = std::numeric_limits<qint64>::min();
constexpr qint64 Highest = std::numeric_limits<qint64>::max();

class TStatement
{
public:
    TStatement(sqlite3* Db, const QString& Sql)
    {
        if (TableInternal::PrepareV2(Db, Sql.toUtf8().constData(), -1, &FStatement, nullptr) != SQLITE_OK) {
            const QString Message = QString::fromUtf8(sqlite3_errmsg(Db));
            sqlite3_finalize(FStatement);
            FStatement = nullptr;
            throw EDatabaseError(Message);
        }
    }
    // A statement on an object that may be gone from the file: null instead of a failure.
    static std::optional<TStatement> Try(sqlite3* Db, const QString& Sql)
    {
        try {
            return std::optional<TStatement>(std::in_place, Db, Sql);
        } catch (const EDatabaseError&) {
            return std::nullopt;
        }
    }
    ~TStatement() { sqlite3_finalize(FStatement); }
    TStatement(TStatement&& Other) noexcept : FStatement(std::exchange(Other.FStatement, nullptr)) {}
    TStatement(const TStatement&) = delete;
    TStatement& operator=(const TStatement&) = delete;
    TStatement& operator=(TStatement&&) = delete;
    sqlite3_stmt* operator*() const { return FStatement; }
    // The steps the statement ran over all its runs.
    [[nodiscard]] qint64 Steps() const { return sqlite3_stmt_status(FStatement, SQLITE_STMTSTATUS_VM_STEP, 0); }

private:
    sqlite3_stmt* FStatement = nullptr;
};

class TSalvage
{
public:
    TSalvage(sqlite3* Source, const QString& From, sqlite3* Dest, const QString& To, const QStringList& Columns)
        : FRead(Source, QStringLiteral("SELECT rowid, ") + Columns.join(QStringLiteral(", ")) +
                            QStringLiteral(" FROM ") + From +
                            QStringLiteral(" NOT INDEXED WHERE rowid >= ?1 ORDER BY rowid")),
          FProbe(Source, QStringLiteral("SELECT rowid FROM ") + From +
                             QStringLiteral(" NOT INDEXED WHERE rowid >= ?1 ORDER BY rowid LIMIT 1")),
          FWrite(Dest, QStringLiteral("INSERT INTO ") + To + QStringLiteral(" (") + Columns.join(QStringLiteral(", ")) +
                           QStringLiteral(") VALUES (") + QStringList(Columns.size(), QStringLiteral("?")).join(u',') +
                           u')'),
          FColumns(static_cast<int>(Columns.size()))
    {
    }

    void Run()
    {
        std::optional<qint64> From = Lowest;
        while (From) {
            sqlite3_bind_int64(*FRead, 1, *From);
            std::optional<qint64> Last;
            int Rc;
            while ((Rc = TableInternal::Step(*FRead)) == SQLITE_ROW) {
                // A page cut off inside, its rest read as zeros, still passes for a page and gives
                // rows out of order: the walk's order is the proof a row is one of the table's.
                const qint64 RowId = sqlite3_column_int64(*FRead, 0);
                if (RowId < *From || (Last && RowId <= *Last)) {
                    Rc = SQLITE_CORRUPT;
                    break;
                }
                Last = RowId;
                Copy();
            }
            sqlite3_reset(*FRead);
            if (Rc == SQLITE_DONE)
                return;
            if (!IsDamage(Rc))
                throw EDatabaseError(QString::fromUtf8(sqlite3_errstr(Rc)), Rc);
            Damaged = true;
            if (Last && *Last == Highest)
                return;
            From = NextReachable(Last ? *Last + 1 : *From);
        }
    }

    qint64 Saved = 0;
    qint64 Refused = 0;
    bool Damaged = false;
    [[nodiscard]] qint64 Steps() const { return FRead.Steps() + FProbe.Steps() + FWrite.Steps(); }

private:
    static bool IsDamage(int Rc)
    {
        const int Primary = Rc & 0xff;
        return Primary == SQLITE_CORRUPT || Primary == SQLITE_NOTADB || Primary == SQLITE_IOERR ||
               Primary == SQLITE_ERROR || Primary == SQLITE_RANGE || Primary == SQLITE_MISMATCH;
    }

    void Copy()
    {
        for (int I = 0; I < FColumns; ++I)
            sqlite3_bind_value(*FWrite, I + 1, sqlite3_column_value(*FRead, I + 1));
        // A value a damaged page gave that the new table's constraints refuse costs that row alone.
        if (TableInternal::Step(*FWrite) == SQLITE_DONE)
            ++Saved;
        else
            ++Refused;
        sqlite3_reset(*FWrite);
    }

    // Whether the first row at or after RowId, if any, can be reached; *Row is its rowid.
    bool Reachable(qint64 RowId, std::optional<qint64>* Row = nullptr)
    {
        sqlite3_bind_int64(*FProbe, 1, RowId);
        const int Rc = TableInternal::Step(*FProbe);
        if (Row != nullptr)
            *Row = Rc == SQLITE_ROW ? std::optional<qint64>(sqlite3_column_int64(*FProbe, 0)) : std::nullopt;
        sqlite3_reset(*FProbe);
        if (Rc == SQLITE_ROW || Rc == SQLITE_DONE)
            return true;
        if (!IsDamage(Rc))
            throw EDatabaseError(QString::fromUtf8(sqlite3_errstr(Rc)), Rc);
        return false;
    }

    // The lowest rowid above Bad from which the walk goes on: steps that double until one reaches a
    // readable row, then halving back towards the damage, so that a gap of n numbers costs about
    // 2 log n seeks. None when nothing beyond Bad can be reached.
    std::optional<qint64> NextReachable(qint64 Bad)
    {
        // Distances from Bad, unsigned: the whole range of rowids spans more than a signed number holds.
        const quint64 Room = quint64(Highest) - quint64(Bad);
        const auto At = [Bad](quint64 Offset) { return qint64(quint64(Bad) + Offset); };
        quint64 Failed = 0;
        quint64 Step = 1;
        quint64 Found;
        for (;;) {
            const quint64 Try = Room - Failed < Step ? Room : Failed + Step;
            if (Reachable(At(Try))) {
                Found = Try;
                break;
            }
            if (Try == Room)
                return std::nullopt;
            Failed = Try;
            Step *= 2;
        }
        while (Found - Failed > 1) {
            const quint64 Middle = Failed + (Found - Failed) / 2;
            (Reachable(At(Middle)) ? Found : Failed) = Middle;
        }
        // The walk goes on at the row found, not at the number the search stopped at: a row whose
        // number the index gives but whose values cannot be read would else be met again at every
        // number up to its own, one walk each.
        std::optional<qint64> Row;
        Reachable(At(Found), &Row);
        return Row ? *Row : At(Found);
    }

    TStatement FRead;
    TStatement FProbe;
    TStatement FWrite;
    int FColumns;
};

} // namespace

namespace TableInternal {

TTable::TSalvageCount SalvageRows(const QString& SourceFile, const QString& From, sqlite3* Dest, const QString& To,
                                  const QStringList& Columns, const QStringList& Indexes)
{
    // The damaged file is read through a connection of its own: a read that meets a damaged page
    // leaves SQLite unable to commit the transaction it ran in, which must not be the new file's.
    TRawDb Source(SourceFile, SQLITE_OPEN_READONLY);
    // A cell that runs past its page is reported as damage rather than read as a row.
    sqlite3_exec(Source.Db, "PRAGMA cell_size_check=ON", nullptr, nullptr, nullptr);
    TSalvage Salvage(Source.Db, From, Dest, To, Columns);
    Salvage.Run();
    TTable::TSalvageCount Count;
    Count.Saved = Salvage.Saved;
    Count.Steps = Salvage.Steps();
    // The index that still counts the most rows tells how many the table held.
    std::optional<qint64> Held;
    for (const QString& Index : Indexes) {
        auto Counting = TStatement::Try(Source.Db, QStringLiteral("SELECT count(*) FROM ") + From +
                                                       QStringLiteral(" INDEXED BY ") + Quote(Index));
        if (Counting && TableInternal::Step(**Counting) == SQLITE_ROW)
            Held = std::max(Held.value_or(0), qint64(sqlite3_column_int64(**Counting, 0)));
    }
    const qint64 Read = Salvage.Saved + Salvage.Refused;
    Count.Lost = Held ? std::max(*Held, Read) - Salvage.Saved : (Salvage.Damaged ? -1 : Salvage.Refused);
    return Count;
}

QString ReadableCopyOf(const QString& File)
{
    QFile In(File);
    if (!In.open(QIODevice::ReadOnly))
        return File;
    const QByteArray Header = In.read(100);
    if (Header.size() < 100 || !Header.startsWith("SQLite format 3"))
        return File;
    const auto Number = [&Header](int At) { return qFromBigEndian<quint32>(Header.constData() + At); };
    int PageSize = qFromBigEndian<quint16>(Header.constData() + 16);
    if (PageSize == 1)
        PageSize = 65536;
    // The header's page count stands only while its change counter agrees with the one it was
    // written with; otherwise SQLite goes by the file's size and reads a cut file as it is.
    const qint64 Pages = Number(92) == Number(24) ? qint64(Number(28)) : 0;
    if (PageSize < 512 || Pages * PageSize <= In.size())
        return File;
    const QString Copy = TemporaryNameBeside(File) + QStringLiteral("-cut");
    CreateOwnerOnlyFile(Copy);
    QFile Out(Copy);
    In.seek(0);
    bool Ok = Out.open(QIODevice::WriteOnly);
    while (Ok && !In.atEnd()) {
        const QByteArray Block = In.read(1 << 20);
        Ok = Out.write(Block) == Block.size();
    }
    Ok = Ok && Out.resize(Pages * PageSize);
    if (!Ok) {
        Out.close();
        QFile::remove(Copy);
        throw EDatabaseError(QStringLiteral("Cannot copy %1 to read it").arg(File), SQLITE_FULL);
    }
    return Copy;
}

} // namespace TableInternal
