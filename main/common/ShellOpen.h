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
    Unlisted, // a file of a type that is no document (a package, a Java Web Start or Flatpak file...): never opened
    Document  // a document, a picture, text, an office file or an archive, for the desktop's opener
};
// Attached paths come from the table, which an import fills with any text. A file is a document only
// when the type its name gives and the type its content gives are both on the list of document types
// (or one of them tells nothing), so a launcher or a program under a document's name is refused.
[[nodiscard]] TAttachedFileKind ClassifyAttachedFile(const QString& Path);

// Current, trimmed, is not empty and its first characters, as many as Found has, equal Found exactly.
[[nodiscard]] bool AddressStartsWith(const QString& Current, const QString& Found);

// The user's documents folder with a trailing "/"; the settings folder when the desktop names none
// that exists.
[[nodiscard]] QString GetMyDocumentsFolder();
