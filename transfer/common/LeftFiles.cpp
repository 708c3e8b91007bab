#include "transfer/common/LeftFiles.h"

#include "platform/db/Table.h"
#include "platform/sys/ProgramStarts.h"
#include "transfer/common/TableCopy.h"

#include <QDir>
#include <QFileInfo>

void RemoveLeftTableFiles(const QString& DataFolder)
{
    RemoveLeftTableFiles(DataFolder,
                         EarliestProgramStart({QStringLiteral("VxRelvo16"), QStringLiteral("VxUtil16")}, DataFolder)
                             .value_or(QDateTime::currentDateTime()));
}

void RemoveLeftTableFiles(const QString& DataFolder, const QDateTime& Before)
{
    const QString Data = QDir::cleanPath(QFileInfo(DataFolder).absoluteFilePath());
    if (Data.isEmpty() || !QFileInfo(Data).isDir())
        return;
    // The data folder itself is a restore's destination; its safety and import folders are the
    // destinations of the copies made before a change, and hold the repair's copy of a table.
    QStringList Destinations{Data};
    const QStringList Backups = QDir(Data).entryList({QStringLiteral("backup*")}, QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& Name : Backups)
        Destinations << Data + u'/' + Name;
    for (const QString& Dest : std::as_const(Destinations)) {
        (void)RemoveLeftTemporaries(Dest, Before);
        (void)RemoveLeftStaging(Dest, Before);
    }
}
