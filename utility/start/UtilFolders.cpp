#include "utility/start/UtilFolders.h"

#include "main/settings/Settings.h"
#include "platform/ini/IniFile.h"
#include "platform/sys/Folders.h"
#include "platform/sys/Registry.h"

#include <QDir>
#include <QFileInfo>
#include <filesystem>

namespace Utility {

QString DataPath;
bool SilentConversion = false;
std::array<TOlderFolder, OlderVersionCount> OlderVersionFolders;
std::array<QString, OlderVersionCount> OlderVersionEdits;
std::array<TOlderAdapterSetting, OlderVersionCount> OlderAdapterSettings;

namespace {

// A folder value of a settings file: an existing folder with a trailing "/", else empty.
QString ExistingFolder(const QString& Value)
{
    const QString Trimmed = Value.trimmed();
    if (Trimmed.isEmpty() || !QFileInfo(Trimmed).isDir())
        return {};
    return IncludeTrailingDelimiter(Trimmed);
}

} // namespace

bool IsSilentConversionArgument(const QStringList& Arguments)
{
    return Arguments.size() > 1 && Arguments[1].trimmed().toLower() == QStringLiteral("/c");
}

bool ReadUtilityDataPath()
{
    const TMemIniFile Ini(SettingsFileName());
    const QString Folder = ExistingFolder(Ini.ReadString(QStringLiteral("COMMON"), QStringLiteral("DataPath"), {}));
    if (Folder.isEmpty())
        return false;
    DataPath = Folder;
    return true;
}

QString FindIgnoringCase(const QString& Folder, const QString& Name)
{
    if (Name.isEmpty())
        return {};
    if (QFileInfo::exists(Folder + Name))
        return Folder + Name;
    const QStringList Entries = QDir(Folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString& Entry : Entries)
        if (Entry.compare(Name, Qt::CaseInsensitive) == 0)
            return Folder + Entry;
    return {};
}

namespace {

QString OlderIniName(const QString& Folder, const QString& Stem)
{
    const QString Found = FindIgnoringCase(Folder, Stem + QStringLiteral(".ini"));
    return Found.isEmpty() ? Folder + Stem + QStringLiteral(".ini") : Found;
}

} // namespace

QString ReadOlderDataPath(const QString& Folder, const QString& Stem)
{
    const TMemIniFile Ini(OlderIniName(Folder, Stem));
    return ExistingFolder(Ini.ReadString(QStringLiteral("COMMON"), QStringLiteral("DataPath"), {}));
}

TOlderAdapterSetting ReadOlderAdapterSettings(const QString& Folder, const QString& Stem)
{
    const TMemIniFile Ini(OlderIniName(Folder, Stem));
    const QString Common = QStringLiteral("COMMON");
    return {Ini.ReadBool(Common, QStringLiteral("IPPBX"), false), Ini.ReadInteger(Common, QStringLiteral("Adapter"), 1),
            Ini.ReadString(Common, QStringLiteral("Port"), QStringLiteral("COM1"))};
}

void FindOlderVersionFolders()
{
    for (int I = 0; I < OlderVersionCount; ++I) {
        const int Version = 15 - I;
        const QString Stem = QStringLiteral("VxRelvo") + QString::number(Version);
        QString Folder;
        if (Version >= 11) {
            Folder = ExistingFolder(FindIgnoringCase(GetCommonAppDataFolder() + QStringLiteral("Pelmar/"), Stem));
        } else {
            const QString Key =
                QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\") + Stem +
                QStringLiteral(".exe");
            Folder = ExistingFolder(ReadRegistryString(Key, QStringLiteral("Path")).value_or(QString()));
        }
        TOlderFolder Found;
        TOlderAdapterSetting Adapter;
        if (!Folder.isEmpty()) {
            Found.Folder = ReadOlderDataPath(Folder, Stem);
            Found.Found = !Found.Folder.isEmpty();
            Adapter = ReadOlderAdapterSettings(Folder, Stem);
        }
        // A version without a data folder carries no settings over either.
        if (!Found.Found)
            Adapter = {};
        OlderVersionFolders[I] = Found;
        OlderAdapterSettings[I] = Adapter;
    }
    for (int I = 0; I < OlderVersionCount; ++I)
        OlderVersionEdits[I] = OlderVersionFolders[I].Text();
}

bool SameFolder(const QString& A, const QString& B, bool CaseSensitive)
{
    const QString Left = IncludeTrailingDelimiter(A);
    const QString Right = IncludeTrailingDelimiter(B);
    if (Left.compare(Right, CaseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive) == 0)
        return true;
    std::error_code Error;
    return std::filesystem::equivalent(std::filesystem::path(QFile::encodeName(A).toStdString()),
                                       std::filesystem::path(QFile::encodeName(B).toStdString()), Error) &&
           !Error;
}

} // namespace Utility
