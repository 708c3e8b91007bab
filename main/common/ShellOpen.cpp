#include "main/common/ShellOpen.h"

#include "main/common/CommonText.h"
#include "main/settings/Settings.h"

#include <QDir>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QSet>
#include <QStandardPaths>
#include <QUrl>

QString MailtoUrlText(const QString& Address)
{
    const QString Scheme = QStringLiteral("mailto:");
    const QString Bare = Address.startsWith(Scheme) ? Address.mid(Scheme.size()) : Address;
    // "@" stays as it is, so the mail program shows the address the user typed.
    return Scheme + QString::fromLatin1(QUrl::toPercentEncoding(Bare, "@!$'()*+,;=:~-._"));
}

namespace {

// What the desktop shows or edits rather than runs: documents, pictures, plain text, PDF, the office
// formats, and archives, which an archive manager lists without running anything inside. Only these
// very types count: a script, a desktop launcher and a Java Web Start file all derive from text, and
// a Java archive from a zip archive.
const char* const DocumentTypes[] = {"application/pdf",
                                     "application/rtf",
                                     "text/plain",
                                     "text/csv",
                                     "text/tab-separated-values",
                                     "text/markdown",
                                     "image/png",
                                     "image/jpeg",
                                     "image/gif",
                                     "image/bmp",
                                     "image/tiff",
                                     "image/webp",
                                     "image/heif",
                                     "application/msword",
                                     "application/vnd.ms-excel",
                                     "application/vnd.ms-powerpoint",
                                     "application/x-ole-storage",
                                     "application/vnd.openxmlformats-officedocument.wordprocessingml.document",
                                     "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet",
                                     "application/vnd.openxmlformats-officedocument.presentationml.presentation",
                                     "application/vnd.oasis.opendocument.text",
                                     "application/vnd.oasis.opendocument.spreadsheet",
                                     "application/vnd.oasis.opendocument.presentation",
                                     "application/vnd.oasis.opendocument.graphics",
                                     "application/zip",
                                     "application/x-7z-compressed",
                                     "application/vnd.rar",
                                     "application/x-lha",
                                     "application/x-tar",
                                     "application/gzip",
                                     "application/x-compressed-tar",
                                     "application/x-bzip",
                                     "application/x-xz"};

// What a name or a content alone cannot tell (no known suffix, no known signature, no bytes): the
// other of the two decides.
const char* const UndecidedTypes[] = {"application/octet-stream", "application/x-zerosize"};

// Programs, scripts and launchers, which the refusal names as such.
const char* const ProgramTypes[] = {"application/x-executable", "application/x-sharedlib", "application/x-desktop",
                                    "application/x-ms-dos-executable"};

// The names as this system's type database spells them: each type under its canonical name, aliases
// (text/rtf, application/x-rar) resolved, types the database does not know left out.
template <std::size_t N> QSet<QString> CanonicalTypes(const QMimeDatabase& Types, const char* const (&Names)[N])
{
    QSet<QString> Result;
    for (const char* Name : Names)
        if (const QMimeType Type = Types.mimeTypeForName(QLatin1String(Name)); Type.isValid())
            Result.insert(Type.name());
    return Result;
}

} // namespace

TAttachedFileKind ClassifyAttachedFile(const QString& Path)
{
    const QFileInfo Info(Path);
    if (Path.isEmpty() || (!Info.exists() && !Info.isSymLink()))
        return TAttachedFileKind::Missing;
    if (!Info.exists() || !Info.isFile() || Info.isExecutable())
        return TAttachedFileKind::Runnable;
    const QMimeDatabase Types;
    static const QSet<QString> Documents = CanonicalTypes(Types, DocumentTypes);
    static const QSet<QString> Undecided = CanonicalTypes(Types, UndecidedTypes);
    // The desktop's opener goes by the name, by the content, or by both; each must be a document.
    const QMimeType ByName = Types.mimeTypeForFile(Info, QMimeDatabase::MatchExtension);
    const QMimeType ByContent = Types.mimeTypeForFile(Info, QMimeDatabase::MatchContent);
    for (const QMimeType& Type : {ByName, ByContent})
        for (const char* Program : ProgramTypes)
            if (Type.inherits(QLatin1String(Program)))
                return TAttachedFileKind::Runnable;
    const bool NameUndecided = Undecided.contains(ByName.name());
    const bool ContentUndecided = Undecided.contains(ByContent.name());
    if (NameUndecided && ContentUndecided)
        return TAttachedFileKind::Unlisted;
    if ((NameUndecided || Documents.contains(ByName.name())) &&
        (ContentUndecided || Documents.contains(ByContent.name())))
        return TAttachedFileKind::Document;
    return TAttachedFileKind::Unlisted;
}

bool AddressStartsWith(const QString& Current, const QString& Found)
{
    if (TrimBlanks(Current).isEmpty())
        return false;
    return Current.startsWith(Found);
}

QString GetMyDocumentsFolder()
{
    QString Folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).trimmed();
    if (Folder.isEmpty() || !QFileInfo(Folder).isDir())
        return SettingsPath;
    if (!Folder.endsWith(u'/'))
        Folder += u'/';
    return Folder;
}
