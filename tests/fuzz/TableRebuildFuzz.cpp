// The table rebuild on any file that calls itself a table: it either refuses, leaving the file byte
// for byte as it was and nothing beside it, or swaps in a file that checks out and holds as many
// rows as it reports. The seeds are small table files of ours; mutations damage their pages.

#include "FuzzSupport.h"
#include "platform/db/Table.h"

#include <QDir>
#include <QFile>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const QByteArray Bytes(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size));
    const QString Folder = FuzzScratchFolder() + QStringLiteral("rebuild/");
    QDir(Folder).removeRecursively();
    QDir().mkpath(Folder);
    const QString File = Folder + QStringLiteral("Fuzz.DB");
    {
        QFile Out(File);
        VX_FUZZ_CHECK(Out.open(QIODevice::WriteOnly));
        Out.write(Bytes);
    }
    TSession Session;
    Session.SetBusyTimeout(0);
    TTable Table(Session);
    Table.SetDatabaseName(Folder);
    Table.SetTableName(QStringLiteral("Fuzz.DB"));
    qint64 Rows = -1;
    try {
        Rows = Table.Rebuild();
    } catch (const EDatabaseError&) {
        QFile In(File);
        VX_FUZZ_CHECK(In.open(QIODevice::ReadOnly));
        VX_FUZZ_CHECK(In.readAll() == Bytes);
        VX_FUZZ_CHECK_EQ(QDir(Folder).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("Fuzz.DB")});
        return 0;
    }
    VX_FUZZ_CHECK_EQ(QDir(Folder).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("Fuzz.DB")});
    // A file that SQLite reads in one way and not another may still refuse to open as a table:
    // only what opens is held to the check.
    try {
        Table.Open();
    } catch (const EDatabaseError&) {
        return 0;
    }
    VX_FUZZ_CHECK(Table.IntegrityCheck().isEmpty());
    VX_FUZZ_CHECK(Table.RecordCount() == Rows);
    Table.Close();
    return 0;
}
