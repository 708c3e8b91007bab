#pragma once

#include <QString>
#include <array>

// The folders every command of the utility works on, found once at its start. ProgramPath and
// SettingsPath are the main program's own (main/settings/Settings.h), computed by the same code.
namespace Utility {

// What an earlier version's folder shows when the version was not found.
inline const QString NotFoundText = QStringLiteral("見つかりません");

inline constexpr int OlderVersionCount = 15;

// The data folder of the tables, with a trailing "/"; set by ReadUtilityDataPath and changed by a
// restore into another folder.
extern QString DataPath;
// The first argument asked for the silent conversion.
extern bool SilentConversion;

// An earlier version's data folder (with a trailing "/") when it was found.
struct TOlderFolder
{
    QString Folder;
    bool Found = false;
    // The folder, or the not-found text for the edit that shows it.
    [[nodiscard]] QString Text() const { return Found ? Folder : NotFoundText; }
};

struct TOlderAdapterSetting
{
    bool IPPBX = false;
    int Adapter = 1;
    QString Port = QStringLiteral("COM1");
    bool operator==(const TOlderAdapterSetting&) const = default;
};

// Entry i is version 15 - i.
extern std::array<TOlderFolder, OlderVersionCount> OlderVersionFolders;
extern std::array<QString, OlderVersionCount> OlderVersionEdits;
extern std::array<TOlderAdapterSetting, OlderVersionCount> OlderAdapterSettings;

// The first argument, trimmed and lower-cased, is "/c".
[[nodiscard]] bool IsSilentConversionArgument(const QStringList& Arguments);

// [COMMON] DataPath of the settings file, read here and not through the main program's settings,
// which fall back to a folder of their own: the utility has no default. True with DataPath set
// when the value names an existing folder.
[[nodiscard]] bool ReadUtilityDataPath();

// The entry Name of Folder (with its trailing "/"), found without regard to letter case: the earlier
// versions ran where file names do not tell case apart, and their folders and files come spelled
// either way. The exact spelling wins; the answer is the entry's path (no trailing "/"), or empty.
[[nodiscard]] QString FindIgnoringCase(const QString& Folder, const QString& Name);

// [COMMON] DataPath of Folder + Stem + ".ini"; empty unless it names an existing folder, else with
// a trailing "/".
[[nodiscard]] QString ReadOlderDataPath(const QString& Folder, const QString& Stem);
[[nodiscard]] TOlderAdapterSetting ReadOlderAdapterSettings(const QString& Folder, const QString& Stem);

// Looks for versions 15 to 11 in the application data folder and versions 10 to 1 through the
// registry's App Paths, filling the three arrays above.
void FindOlderVersionFolders();

// Whether two folders are the same: the same text, or the same folder on disk (through a link,
// "/./" or "../"). CaseSensitive false also takes texts that differ only in letter case.
[[nodiscard]] bool SameFolder(const QString& A, const QString& B, bool CaseSensitive);

} // namespace Utility
