#include "main/identify/FbEditions.h"

#include "main/common/CommonSys.h"
#include "main/settings/Settings.h"
#include "main/tables/AdrsTableDef.h"
#include "platform/ini/IniFile.h"
#include "platform/sys/Folders.h"
#include "platform/sys/Registry.h"
#include "platform/text/Cp932.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QStandardPaths>
#include <algorithm>
#include <limits>

std::array<QString, FbSeriesCount> FbInstallPaths;
std::array<QString, FbSeriesCount> FbDataPaths;
QList<TFbAdrsBook> FbAdrsBooks;

namespace {

const QString JournalName = QStringLiteral("AdrsOp.ini");
const QString DeleteSection = QStringLiteral("DELETE");
const QString RenameSection = QStringLiteral("RENAME");
const QString CountKey = QStringLiteral("Count");

// The maker's site; the product pages live under /products/.
const QString MakerSite = QStringLiteral("https://www.pelmarco.example");

QString OpenBookFolder;

// The book the settings link to; empty while the link is off.
QString LinkedBookFolder()
{
    const QString& DataPath = FbDataPaths[Settings.FbSeries == 1 ? 1 : 0];
    if (!Settings.UseFbAdrs || DataPath.isEmpty() || Settings.FbAdrsBookName.isEmpty())
        return {};
    return DataPath + QStringLiteral("Adrs/") + Settings.FbAdrsBookName + QLatin1Char('/');
}

bool SameName(const QString& A, const QString& B)
{
    return A.compare(B, Qt::CaseInsensitive) == 0;
}

QString WithDelimiter(const QString& Folder)
{
    return Folder.isEmpty() ? Folder : IncludeTrailingDelimiter(Folder);
}

QString BookPath(const QString& AdrsFolder, const QString& Name)
{
    return WithDelimiter(AdrsFolder) + Name + QLatin1Char('/');
}

// The book folder a journal name means. The product that writes the journal treats names without
// regard to case, so when no folder has exactly this name a single one that differs only in case
// is taken.
QString ResolveBookName(const QString& AdrsFolder, const QString& Name)
{
    if (QFileInfo::exists(BookPath(AdrsFolder, Name)))
        return Name;
    QString Found;
    const QStringList Entries = QDir(AdrsFolder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString& Entry : Entries) {
        if (!SameName(Entry, Name))
            continue;
        if (!Found.isEmpty())
            return Name; // ambiguous: only the exact name would do
        Found = Entry;
    }
    return Found.isEmpty() ? Name : Found;
}

// A book folder must be a real folder: through a link the deletion would empty whatever it points at.
bool IsRealFolder(const QString& Path)
{
    const QFileInfo Info(QDir::cleanPath(Path));
    return Info.isDir() && !Info.isSymLink();
}

// Deletes the files right inside the folder (sub-folders are not entered) and then the folder;
// answers whether the folder is gone.
bool DeleteBookFolder(const QString& Folder)
{
    if (!IsRealFolder(Folder))
        return false;
    QDir Dir(Folder);
    const QFileInfoList Entries = Dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& Entry : Entries)
        if (!Entry.isDir())
            QFile::remove(Entry.absoluteFilePath());
    return QDir().rmdir(QDir::cleanPath(Folder));
}

// Moves every entry of Source into Target under its own name, never over an existing entry; then
// removes Source. A Source that does not exist counts as done.
bool MoveBookFolder(const QString& Source, const QString& Target)
{
    if (!QFileInfo::exists(QDir::cleanPath(Source)))
        return true;
    // The target too: a link by the new name would take the book's files wherever it points.
    const QFileInfo TargetInfo(QDir::cleanPath(Target));
    if (TargetInfo.isSymLink() || (TargetInfo.exists() && !TargetInfo.isDir()))
        return false;
    if (!IsRealFolder(Source) || !QDir().mkpath(Target))
        return false;
    QDir Dir(Source);
    const QStringList Entries = Dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& Entry : Entries) {
        const QString To = Target + Entry;
        if (QFileInfo::exists(To) || QFileInfo(To).isSymLink())
            return false;
        if (!QDir().rename(Source + Entry, To))
            return false;
    }
    return QDir().rmdir(QDir::cleanPath(Source));
}

// A journal with nothing left is deleted; otherwise it is replaced as a whole by what is left.
void WriteJournal(const QString& JournalFile, const TAdrsJournal& Left)
{
    if (Left.IsEmpty()) {
        QFile::remove(JournalFile);
        return;
    }
    TMemIniFile Journal(JournalFile);
    Journal.FromBytes({});
    // A section with nothing left in it is not written at all.
    if (!Left.Deletions.isEmpty())
        Journal.WriteInteger(DeleteSection, CountKey, Left.Deletions.size());
    for (int I = 0; I < Left.Deletions.size(); ++I)
        Journal.WriteString(DeleteSection, QString::number(I + 1), Left.Deletions[I]);
    if (!Left.Renames.isEmpty())
        Journal.WriteInteger(RenameSection, CountKey, Left.Renames.size());
    for (int I = 0; I < Left.Renames.size(); ++I)
        Journal.WriteString(RenameSection, QString::number(I + 1),
                            Left.Renames[I].first + QLatin1Char('/') + Left.Renames[I].second);
    (void)Journal.UpdateFile();
}

// The values of Section's keys "1" .. Count in number order. The count is the journal's claim:
// only keys the file has are visited, so a count of two thousand million costs nothing.
QStringList NumberedValues(const TMemIniFile& Ini, const QString& Section, int Count)
{
    QMap<int, QString> Values;
    for (const QString& Key : Ini.ReadSection(Section)) {
        bool Ok = false;
        const int Number = Key.toInt(&Ok);
        if (Ok && Number >= 1 && Number <= Count && Key == QString::number(Number) && !Values.contains(Number))
            Values.insert(Number, Ini.ReadString(Section, Key, {}));
    }
    return Values.values();
}

TAdrsJournal ApplyJournal(const QString& AdrsFolder, const TAdrsJournal& Journal)
{
    TAdrsJournal Left;
    for (const QString& Name : Journal.Deletions) {
        const QString Folder = BookPath(AdrsFolder, ResolveBookName(AdrsFolder, Name));
        if (IsFbBookInUse(Folder) || !DeleteBookFolder(Folder))
            Left.Deletions.append(Name);
    }
    for (const auto& Rename : Journal.Renames) {
        const QString Source = BookPath(AdrsFolder, ResolveBookName(AdrsFolder, Rename.first));
        const QString Target = BookPath(AdrsFolder, Rename.second);
        const bool Done = !IsFbBookInUse(Source) && !IsFbBookInUse(Target) && MoveBookFolder(Source, Target);
        if (!Done)
            Left.Renames.append(Rename);
    }
    return Left;
}

// The entry of Folder named Name without regard to letter case, under its real name; the exact
// spelling wins when several differ only in case. "" when there is none.
QString FindEntryNoCase(const QString& Folder, const QString& Name, QDir::Filters Kind)
{
    const QDir Dir(Folder);
    const QFileInfo Exact(Dir.filePath(Name));
    if (Kind == QDir::Files ? Exact.isFile() : Exact.isDir())
        return Name;
    const QStringList Entries = Dir.entryList(Kind | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    const auto Found =
        std::find_if(Entries.cbegin(), Entries.cend(), [&Name](const QString& Entry) { return SameName(Entry, Name); });
    return Found == Entries.cend() ? QString() : *Found;
}

QString FindOnPath(const QString& ProgramName)
{
    const QString Found = QStandardPaths::findExecutable(ProgramName);
    return Found.isEmpty() ? QString() : IncludeTrailingDelimiter(QFileInfo(Found).absolutePath());
}

} // namespace

const QString& FbProgramName(int Series)
{
    return FbProgramNames[Series == 1 ? 1 : 0];
}

QString FbAppPathsKey(int Series)
{
    return QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\") +
           FbProgramName(Series) + QStringLiteral(".exe");
}

void FindDirectoryProductFolders()
{
    FbDataPaths.fill(QString());
    for (int Series = 0; Series < FbSeriesCount; ++Series) {
        const QString Key = FbAppPathsKey(Series);
        if (RegistryKeyExists(Key)) {
            FbInstallPaths[Series] =
                WithDelimiter(ReadRegistryString(Key, QStringLiteral("Path")).value_or(QString()).trimmed());
        } else {
            const QString Found = FindOnPath(FbProgramNames[Series]);
            if (Found.isEmpty())
                continue;
            FbInstallPaths[Series] = Found;
        }
        if (FbInstallPaths[Series].isEmpty())
            continue;
        const QString SettingsFolder = FindFbSettingsFolder(FbProgramNames[Series]);
        if (!SettingsFolder.isEmpty())
            FbDataPaths[Series] = ReadFbDataPath(Series, SettingsFolder);
    }
}

QString FindFbSettingsFolder(const QString& ProgramName)
{
    const QString Parent = GetCommonAppDataFolder() + QStringLiteral("Pelmar/");
    const QString Name = FindEntryNoCase(Parent, ProgramName, QDir::Dirs);
    return Name.isEmpty() ? QString() : Parent + Name + QLatin1Char('/');
}

QString ReadFbDataPath(int Series, const QString& SettingsFolder)
{
    const QString IniName =
        FindEntryNoCase(WithDelimiter(SettingsFolder), FbProgramName(Series) + QStringLiteral(".ini"), QDir::Files);
    if (IniName.isEmpty())
        return {};
    const QString FileName = WithDelimiter(SettingsFolder) + IniName;
    const TMemIniFile Settings(FileName);
    const QString DataPath = Settings.ReadString(QStringLiteral("BASE"), QStringLiteral("DataPath"), {}).trimmed();
    if (DataPath.isEmpty() || !QFileInfo(DataPath).isDir())
        return {};
    return IncludeTrailingDelimiter(DataPath);
}

QString FindAdrsTableFile(const QString& BookFolder)
{
    return FindEntryNoCase(BookFolder, AdrsFileName, QDir::Files);
}

bool IsPlainBookFolderName(const QString& Name)
{
    if (Name.isEmpty() || Name.startsWith(QLatin1Char('.')) || Cp932Width(Name) > MaxBookNameBytes)
        return false;
    return std::none_of(Name.cbegin(), Name.cend(), [](QChar C) {
        return C.unicode() < 0x20 || C.unicode() == 0x7F || ForbiddenBookNameChars.contains(C);
    });
}

bool AppendAdrsJournal(const QString& AdrsFolder, bool Rename, const QString& Value)
{
    const QString Section = Rename ? RenameSection : DeleteSection;
    TMemIniFile Journal(WithDelimiter(AdrsFolder) + JournalName);
    // A count another program left damaged still gives a key after the ones the file holds.
    const int Count = std::clamp(Journal.ReadInteger(Section, CountKey, 0), 0, std::numeric_limits<int>::max() - 1) + 1;
    Journal.WriteInteger(Section, CountKey, Count);
    Journal.WriteString(Section, QString::number(Count), Value);
    return Journal.UpdateFile();
}

TAdrsJournal ReadAdrsJournal(const QString& AdrsFolder)
{
    TAdrsJournal Journal;
    const QString FileName = WithDelimiter(AdrsFolder) + JournalName;
    if (!QFileInfo::exists(FileName))
        return Journal;
    const TMemIniFile Ini(FileName);
    const int DeleteCount = Ini.ReadInteger(DeleteSection, CountKey, 0);
    for (const QString& Name : NumberedValues(Ini, DeleteSection, DeleteCount)) {
        if (IsPlainBookFolderName(Name) && QFileInfo::exists(BookPath(AdrsFolder, ResolveBookName(AdrsFolder, Name))))
            Journal.Deletions.append(Name);
    }
    const int RenameCount = Ini.ReadInteger(RenameSection, CountKey, 0);
    for (const QString& Value : NumberedValues(Ini, RenameSection, RenameCount)) {
        const qsizetype Slash = Value.indexOf(QLatin1Char('/'));
        if (Slash < 0)
            continue;
        const QString Old = Value.left(Slash);
        const QString New = Value.mid(Slash + 1);
        if (IsPlainBookFolderName(Old) && IsPlainBookFolderName(New))
            Journal.Renames.append({Old, New});
    }
    return Journal;
}

void SetFbOpenBookFolder(const QString& BookFolder)
{
    OpenBookFolder = BookFolder;
}

bool IsFbBookInUse(const QString& BookFolder)
{
    const QString Path = QDir::cleanPath(BookFolder);
    const auto Same = [&Path](const QString& Other) {
        return !Other.isEmpty() && SameName(QDir::cleanPath(Other), Path);
    };
    return Same(LinkedBookFolder()) || Same(OpenBookFolder);
}

void LoadAddressBookList(const QString& AdrsFolder, bool Apply)
{
    FbAdrsBooks.clear();
    TAdrsJournal Journal = ReadAdrsJournal(AdrsFolder);
    const QString JournalFile = WithDelimiter(AdrsFolder) + JournalName;
    if (Apply) {
        Journal = ApplyJournal(AdrsFolder, Journal);
        WriteJournal(JournalFile, Journal);
    }

    QStringList Books;
    const QStringList Entries = QDir(AdrsFolder).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString& Entry : Entries)
        if (!FindAdrsTableFile(BookPath(AdrsFolder, Entry)).isEmpty())
            Books.append(Entry);
    std::sort(Books.begin(), Books.end(), [](const QString& A, const QString& B) {
        const int ByCase = A.compare(B, Qt::CaseInsensitive);
        return ByCase != 0 ? ByCase < 0 : A < B;
    });

    for (const QString& Folder : Books) {
        TFbAdrsBook Book{Folder, Folder, TFbAdrsBook::StateNormal};
        const auto IsFolder = [&Folder](const QString& Name) { return SameName(Name, Folder); };
        const bool IsRenameSource = std::any_of(Journal.Renames.cbegin(), Journal.Renames.cend(),
                                                [&](const auto& Rename) { return IsFolder(Rename.first); });
        if (std::any_of(Journal.Deletions.cbegin(), Journal.Deletions.cend(), IsFolder)) {
            Book.Name.clear();
            Book.State = TFbAdrsBook::StateDeletePending;
        } else if (IsRenameSource) {
            for (const auto& Rename : Journal.Renames)
                if (SameName(Rename.first, Book.Name))
                    Book.Name = Rename.second;
            Book.State = TFbAdrsBook::StateRenamePending;
        }
        FbAdrsBooks.append(Book);
    }
}

QString FbProductPageAddress(int Series)
{
    return MakerSite + QStringLiteral("/products/") + FbProgramName(Series) + QLatin1Char('/');
}

void OpenFbProductPage(int Series)
{
    (void)ShellOpenAndWait(FbProductPageAddress(Series), {}, QString(), true);
}
