#include "main/identify/DBInfoFb.h"

#include "main/common/CommonSys.h"
#include "main/identify/FbEditions.h"
#include "main/settings/Settings.h"
#include "main/tables/AdrsTableDef.h"
#include "platform/db/Table.h"
#include "platform/sys/Folders.h"
#include "platform/sys/Registry.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUuid>

TDMFbarea* DMFbarea = nullptr;

bool IsFbInstalled(int Series)
{
    return RegistryKeyExists(FbAppPathsKey(Series)) || !QStandardPaths::findExecutable(FbProgramName(Series)).isEmpty();
}

TDMFbarea::TDMFbarea(int FbSeries)
    : FEditionFolder(GetCommonAppDataFolder() + QStringLiteral("Pelmar/") + FbProgramName(FbSeries) + QLatin1Char('/')),
      FPassword(AdrsPassword(FbSeries == 1 ? 1 : 0))
{
    // The engine has no shared control folder to point at the edition folder; the password is all
    // the session needs.
    DefaultSession().AddPassword(FPassword);
}

TDMFbarea::~TDMFbarea()
{
    FAdrsOpenCount = 0;
    CloseAdrs();
    DefaultSession().RemovePassword(FPassword);
}

bool TDMFbarea::OpenAdrs(const QString& BookFolder)
{
    const QString Folder = IncludeTrailingDelimiter(BookFolder);
    const QString TableFile = FindAdrsTableFile(Folder);
    if (TableFile.isEmpty())
        return false;
    if (FAdrsTable && FAdrsTable->Active()) {
        if (QDir::cleanPath(Folder) != QDir::cleanPath(FBookFolder))
            return false;
        ++FAdrsOpenCount;
        return true;
    }
    auto Table = std::make_unique<TTable>(DefaultSession());
    Table->SetDatabaseName(Folder);
    Table->SetTableName(TableFile);
    Table->SetExclusive(false);
    try {
        Table->Open();
    } catch (const std::exception&) {
        return false;
    }
    FAdrsTable = std::move(Table);
    FAdrsOpenCount = 1;
    FBookFolder = Folder;
    SetFbOpenBookFolder(Folder);
    return true;
}

void TDMFbarea::CloseAdrs()
{
    if (!FAdrsTable)
        return;
    if (--FAdrsOpenCount > 0)
        return;
    FAdrsOpenCount = 0;
    FAdrsTable.reset(); // closes the table
    FBookFolder.clear();
    SetFbOpenBookFolder({});
}

QString FbBookFolder(int Series, int Book)
{
    const QString& DataPath = FbDataPaths[Series == 1 ? 1 : 0];
    if (DataPath.isEmpty() || Book < 0 || Book >= FbAdrsBooks.size())
        return {};
    return DataPath + QStringLiteral("Adrs/") + FbAdrsBooks[Book].Folder + QLatin1Char('/');
}

namespace {

// Copies the book folder's tree into Target. The table goes through the engine's consistent copy,
// since the product may have it open; everything else is copied as it is. The copy, of customers'
// addresses, is the owner's alone.
bool CopyBook(const QString& Source, const QString& Target, const TFbBackupProgress& Progress)
{
    QStringList Files;
    QDirIterator It(Source, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (It.hasNext())
        Files.append(It.next());
    if (!CreateOwnerOnlyFolder(Target))
        return false;
    const QDir From(Source);
    int Done = 0;
    for (const QString& File : Files) {
        if (Progress && !Progress(Done, Files.size()))
            return false;
        const QString To = Target + From.relativeFilePath(File);
        if (!CreateOwnerOnlyFolder(QFileInfo(To).absolutePath()))
            return false;
        if (QFileInfo(File).fileName().compare(AdrsFileName, Qt::CaseInsensitive) == 0) {
            try {
                BackupTableFile(File, To);
            } catch (const std::exception&) {
                return false;
            }
        } else if (!QFile::copy(File, To) || !QFile::setPermissions(To, QFile::ReadOwner | QFile::WriteOwner)) {
            return false;
        }
        ++Done;
    }
    return !Progress || Progress(Done, Files.size());
}

} // namespace

bool BackupBookFolder(const QString& BookFolder, const QString& TargetFolder, const TFbBackupProgress& Progress)
{
    const QString Source = IncludeTrailingDelimiter(BookFolder);
    const QFileInfo SourceInfo(QDir::cleanPath(Source));
    if (!SourceInfo.isDir())
        return false;
    const QString Target = IncludeTrailingDelimiter(TargetFolder);
    if (!CreateOwnerOnlyFolder(Target))
        return false;
    const QString BookName = SourceInfo.fileName();
    const QString Final = Target + BookName;
    const QString Suffix = QUuid::createUuid().toString(QUuid::Id128).left(8);
    const QString Fresh = Target + QLatin1Char('.') + BookName + QStringLiteral(".new-") + Suffix;
    const QString Previous = Target + QLatin1Char('.') + BookName + QStringLiteral(".old-") + Suffix;

    if (!CopyBook(Source, Fresh + QLatin1Char('/'), Progress)) {
        (void)DeleteFolderTree(Fresh, false);
        return false;
    }
    // Swap: the previous backup steps aside, the new one takes its name, then the previous one goes.
    const bool HadPrevious = QFileInfo::exists(Final);
    if (HadPrevious && !QDir().rename(Final, Previous)) {
        (void)DeleteFolderTree(Fresh, false);
        return false;
    }
    if (!QDir().rename(Fresh, Final)) {
        if (HadPrevious)
            QDir().rename(Previous, Final);
        (void)DeleteFolderTree(Fresh, false);
        return false;
    }
    if (HadPrevious)
        (void)DeleteFolderTree(Previous, false);
    return true;
}

bool BackupFbAdrs(const QString& DataPath, const TFbBackupProgress& Progress)
{
    const QString Source = FbBookFolder(Settings.FbSeries, Settings.FbAdrsBook);
    if (Source.isEmpty())
        return false;
    return BackupBookFolder(Source, IncludeTrailingDelimiter(DataPath) + QStringLiteral("backup.FbAdrs/Adrs/"),
                            Progress);
}

QString FbInstanceName(int Series)
{
    return QStringLiteral("Pelmar.") + FbProgramName(Series);
}

bool ActivateFbIfRunning(int Series)
{
    return IsAlreadyRunning(FbInstanceName(Series), true);
}

bool StartFbProgram(int Series)
{
    const QString& Folder = FbInstallPaths[Series == 1 ? 1 : 0];
    // Without its install folder the bare name would start whatever the search path finds first.
    if (Folder.isEmpty())
        return false;
    return RunProgram(Folder + FbProgramName(Series), {}, QString(), true) == 0;
}
