#pragma once

#include <QString>

// What the record windows hand to the desktop: mail addresses and attached files, and where their file
// prompts start. The windows' buttons share these, so both treat an address or a path alike.

// "mailto:" + the address with everything that could add a header, a body or an attachment
// ("?", "&", "#", "%", line breaks, blanks) percent-encoded; a "mailto:" already in front is kept once.
[[nodiscard]] QString MailtoUrlText(const QString& Address);

enum class TAttachedFileKind
{
    Missing,  // nothing at the path: nothing happens
    Runnable, // a program, a script, a desktop launcher, or no plain file at all: never opened
    Document  // a regular file, for the desktop's opener
};
// Attached paths come from the table, which an import fills with any text.
[[nodiscard]] TAttachedFileKind ClassifyAttachedFile(const QString& Path);

// Current, trimmed, is not empty and its first characters, as many as Found has, equal Found exactly.
[[nodiscard]] bool AddressStartsWith(const QString& Current, const QString& Found);

// The user's documents folder with a trailing "/"; the settings folder when the desktop names none
// that exists.
[[nodiscard]] QString GetMyDocumentsFolder();
