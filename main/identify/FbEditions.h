#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <utility>

// The two editions of the address-book product Fernbook that the program can link to, their
// folders, and the list of address books of an edition with the product's pending book
// operations (the journal AdrsOp.ini) carried out. Used at start-up, by the settings dialog, the
// caller identification and the address-book link; nothing here shows a window.

inline constexpr int FbSeriesCount = 2;
// The executable's stem (its App Paths key and file name), its folder under the common application
// data folder + "Pelmar/", and the stem of its settings file there.
inline const std::array<QString, FbSeriesCount> FbProgramNames = {QStringLiteral("fbarea18"),
                                                                  QStringLiteral("fbtype18")};
inline const std::array<QString, FbSeriesCount> FbEditionNames = {QStringLiteral("Fernbook2013"),
                                                                  QStringLiteral("Fernbook2013 Trade")};

// By edition: the install folder ("" when not registered) and the data folder ("" when the edition
// or its data folder is not found); both with a trailing "/". Each address book is a folder in the
// data folder's "Adrs/".
extern std::array<QString, FbSeriesCount> FbInstallPaths;
extern std::array<QString, FbSeriesCount> FbDataPaths;

struct TFbAdrsBook
{
    enum : std::uint8_t
    {
        StateNormal = 0,
        StateDeletePending = 1,
        StateRenamePending = 2
    };
    QString Name;   // shown in lists: empty when a deletion is pending, the name-to-be when a rename is
    QString Folder; // the folder under the Adrs folder, the value stored as the chosen book
    std::uint8_t State = StateNormal;
    bool operator==(const TFbAdrsBook&) const = default;
};

// The books of the last LoadAddressBookList, sorted by folder name without regard to case.
extern QList<TFbAdrsBook> FbAdrsBooks;

// The program name of an edition; any index but 1 is edition 0, as everywhere the editions are used.
[[nodiscard]] const QString& FbProgramName(int Series);

// The App Paths key of an edition's program in the registry.
[[nodiscard]] QString FbAppPathsKey(int Series);

// Fills FbInstallPaths and FbDataPaths for both editions. A program not registered under App Paths
// is looked for on PATH; an edition found neither way keeps its previous install folder and gets
// no data folder.
void FindDirectoryProductFolders();

// Common application data folder + "Pelmar/" + ProgramName + "/" when that folder exists, else "".
// The folder, like the settings file in it, is found without regard to letter case.
[[nodiscard]] QString FindFbSettingsFolder(const QString& ProgramName);

// [BASE] DataPath of SettingsFolder + the edition's program name + ".ini", trimmed, with a trailing
// "/"; "" when the file, the value or the folder is missing.
[[nodiscard]] QString ReadFbDataPath(int Series, const QString& SettingsFolder);

// The address-book table file in BookFolder: "Adrs.DB" in any letter case, as the product's own file
// system does not tell cases apart (the exact spelling wins when several exist); "" when there is
// none. The book list and the address-book data module both go by this one rule.
[[nodiscard]] QString FindAdrsTableFile(const QString& BookFolder);

// The pending operations of an Adrs folder's journal, in journal order.
struct TAdrsJournal
{
    QStringList Deletions;
    QList<std::pair<QString, QString>> Renames; // old folder name, new folder name
    [[nodiscard]] bool IsEmpty() const { return Deletions.isEmpty() && Renames.isEmpty(); }
};

// The characters a book name must not hold, and its longest length in CP932 bytes.
inline const QString ForbiddenBookNameChars = QStringLiteral("\\/:;*?\"<>|");
inline constexpr int MaxBookNameBytes = 100;

// Whether a name can be a book: not empty, not beginning with ".", none of the forbidden characters
// (nor a control character), at most MaxBookNameBytes bytes. The address-book dialog names books by
// this rule and both programs' journal runs take only such names, old and new: the journal is
// written by other programs, and any other entry is ignored and never leads to a deletion or a move.
[[nodiscard]] bool IsPlainBookFolderName(const QString& Name);

// The journal of AdrsFolder (a missing file reads as empty). Deletions of folders that no longer
// exist and entries that are not plain folder names are left out.
[[nodiscard]] TAdrsJournal ReadAdrsJournal(const QString& AdrsFolder);

// Book folders that must not be deleted or moved under the running program: the book the settings
// link to (USE FBADRS) and the book the address-book data module holds open, which it reports here.
void SetFbOpenBookFolder(const QString& BookFolder);
[[nodiscard]] bool IsFbBookInUse(const QString& BookFolder);

// Appends one entry to the journal of AdrsFolder as the file stands on disk (entries the journal run
// passes over included): the section's Count goes up by one and the new key holds Value. The file is
// replaced whole through a temporary file. False when it could not be written.
[[nodiscard]] bool AppendAdrsJournal(const QString& AdrsFolder, bool Rename, const QString& Value);

// Rebuilds FbAdrsBooks from AdrsFolder (the data folder + "Adrs/"). With Apply the journal's
// deletions and renames are carried out first and what could not be done stays in the journal.
void LoadAddressBookList(const QString& AdrsFolder, bool Apply);

// The maker's product page of an edition, and its opening in the desktop's browser without waiting.
[[nodiscard]] QString FbProductPageAddress(int Series);
void OpenFbProductPage(int Series);
