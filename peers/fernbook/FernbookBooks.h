#pragma once

#include <QString>
#include <QStringList>

// The stand-in's own business, without windows: where an edition keeps its settings and books, its
// entry in the registry file, and the books themselves (one folder each under the data folder's
// "Adrs/", holding the table Adrs.DB protected with the edition's password).

struct TFbEdition
{
    int Series = 0;      // 0 "Fernbook2013", 1 "Fernbook2013 Trade"
    QString ProgramName; // "fbarea18" or "fbtype18"
    QString DisplayName;
    QString Password;
};

[[nodiscard]] TFbEdition FbEditionOf(int Series);

// The common application data folder + "Pelmar/" + program name + "/".
[[nodiscard]] QString FbSettingsFolder(const TFbEdition& Edition);
// [BASE] DataPath of the settings file, with a trailing "/"; empty when not set.
[[nodiscard]] QString FbDataFolder(const TFbEdition& Edition);

// Makes the edition known to the machine as its installer would: the settings folder with its
// settings file ([BASE] DataPath, by default the settings folder + "Data/"), the data folder with its
// "Adrs/" folder, and the App Paths key of the program in the registry file with the program's
// folder as "Path". What is already there is kept. An error text, empty on success.
[[nodiscard]] QString InstallFbEdition(const TFbEdition& Edition, const QString& ProgramFolder);

// The book folders, sorted without regard to case.
[[nodiscard]] QStringList ListFbBooks(const TFbEdition& Edition);

// A new empty book; an error text, empty on success (an existing book is an error).
[[nodiscard]] QString CreateFbBook(const TFbEdition& Edition, const QString& Book);

// One entry in a book: its telephone number (digits are kept), the person's name and optionally the
// name's reading and the company. An error text, empty on success.
struct TFbEntry
{
    QString Tel;
    QString NameKanji;
    QString NameKana;
    QString CorpKanji;
};
[[nodiscard]] QString AddFbEntry(const TFbEdition& Edition, const QString& Book, const TFbEntry& Entry);

// The entries of a book as "number<TAB>company<TAB>name" lines, in the order they were added.
[[nodiscard]] QStringList ListFbEntries(const TFbEdition& Edition, const QString& Book);
