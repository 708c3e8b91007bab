// The table rebuild on any file that calls itself a table, with the definition the seeds were made
// with: it either refuses, leaving the file byte for byte as it was and nothing beside it, or swaps
// in a file that checks out and holds as many rows as it reports. Either way no file outside its
// folder appears or changes, whatever statements the file's schema carries. The seeds are small
// table files of ours, some with statements, a trigger or a view added to their schema: they end
// the rebuild's transaction, drop the table of "../victim.db", attach and write "../escaped.db" and
// copy the table to "../copied.db", relative to the table's folder. Mutations damage their pages; a file
// the rebuild cannot read whole goes to the salvage, which is held to the same.

#include "FuzzSupport.h"
#include "platform/db/Table.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <sqlite3.h>

namespace {

TTableDef SeedDef()
{
    return {{{QStringLiteral("Id"), TFieldType::AutoInc, 0},
             {QStringLiteral("Name"), TFieldType::String, 20},
             {QStringLiteral("When"), TFieldType::DateTime, 0}},
            {{QString(), QStringLiteral("Id"), true, true, false},
             {QStringLiteral("Name"), QStringLiteral("Name"), false, false, true}}};
}

// Every file under the scratch folder but the rebuild's own, with its bytes.
QMap<QString, QByteArray> FilesOutside(const QString& Own)
{
    QMap<QString, QByteArray> Files;
    const QString Inside = QDir::cleanPath(Own) + QLatin1Char('/');
    QDirIterator It(FuzzScratchFolder(), QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (It.hasNext()) {
        const QString File = QDir::cleanPath(It.next());
        if (!File.startsWith(Inside))
            Files.insert(File, ReadFuzzFile(File));
    }
    return Files;
}

// The working folder is the table's for one input, so that a relative name in a file's schema points
// next to it or, with "../", out of it.
class TWorkingFolder
{
public:
    explicit TWorkingFolder(const QString& Folder) : FSaved(QDir::currentPath()) { QDir::setCurrent(Folder); }
    ~TWorkingFolder() { QDir::setCurrent(FSaved); }
    TWorkingFolder(const TWorkingFolder&) = delete;
    TWorkingFolder& operator=(const TWorkingFolder&) = delete;

private:
    QString FSaved;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const QByteArray Bytes(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size));
    const QString Folder = FuzzScratchFolder() + QStringLiteral("rebuild/");
    QDir(Folder).removeRecursively();
    QDir().mkpath(Folder);
    // A table file outside the folder for a stray statement to meet.
    const QString Victim = FuzzScratchFolder() + QStringLiteral("victim.db");
    if (!QFile::exists(Victim)) {
        sqlite3* Db = nullptr;
        VX_FUZZ_CHECK(sqlite3_open(QFile::encodeName(Victim).constData(), &Db) == SQLITE_OK);
        VX_FUZZ_CHECK(sqlite3_exec(Db, "CREATE TABLE Victim (Name); INSERT INTO Victim VALUES ('kept')", nullptr,
                                   nullptr, nullptr) == SQLITE_OK);
        sqlite3_close(Db);
    }
    const QString File = Folder + QStringLiteral("Fuzz.DB");
    WriteFuzzFile(File, Bytes);
    const QMap<QString, QByteArray> Outside = FilesOutside(Folder);
    TWorkingFolder Working(Folder);
    TSession Session;
    Session.SetBusyTimeout(0);
    TTable Table(Session);
    Table.SetDatabaseName(Folder);
    Table.SetTableName(QStringLiteral("Fuzz.DB"));
    qint64 Rows = -1;
    try {
        Rows = Table.Rebuild(SeedDef());
    } catch (const EForeignTableError&) {
        VX_FUZZ_CHECK(ReadFuzzFile(File) == Bytes);
        VX_FUZZ_CHECK_EQ(QDir(Folder).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("Fuzz.DB")});
        VX_FUZZ_CHECK(FilesOutside(Folder) == Outside);
        return 0;
    } catch (const EDatabaseError&) {
        VX_FUZZ_CHECK(ReadFuzzFile(File) == Bytes);
        VX_FUZZ_CHECK_EQ(QDir(Folder).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("Fuzz.DB")});
        VX_FUZZ_CHECK(FilesOutside(Folder) == Outside);
        // What the plain rebuild could not read, the salvage reads past: it too refuses and leaves the
        // file, or swaps in one that checks out with the rows it says it saved.
        try {
            const TTable::TSalvageCount Count = Table.Salvage(SeedDef());
            VX_FUZZ_CHECK(Count.Saved >= 0 && Count.Lost >= -1);
            Rows = Count.Saved;
        } catch (const EDatabaseError&) {
            VX_FUZZ_CHECK(ReadFuzzFile(File) == Bytes);
            VX_FUZZ_CHECK_EQ(QDir(Folder).entryList(QDir::Files | QDir::Hidden),
                             QStringList{QStringLiteral("Fuzz.DB")});
            VX_FUZZ_CHECK(FilesOutside(Folder) == Outside);
            return 0;
        }
    }
    VX_FUZZ_CHECK_EQ(QDir(Folder).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("Fuzz.DB")});
    VX_FUZZ_CHECK(FilesOutside(Folder) == Outside);
    // A file that SQLite reads in one way and not another may still refuse to open as a table:
    // only what opens is held to the check.
    try {
        Table.Open();
    } catch (const EDatabaseError&) {
        return 0;
    }
    VX_FUZZ_CHECK(Table.IntegrityCheck().isEmpty());
    VX_FUZZ_CHECK(Table.RecordCount() == Rows);
    VX_FUZZ_CHECK(Table.Definition() == SeedDef());
    Table.Close();
    VX_FUZZ_CHECK(FilesOutside(Folder) == Outside);
    return 0;
}
