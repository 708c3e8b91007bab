#include "main/common/ShellOpen.h"

#include "main/common/CommonText.h"
#include "main/settings/Settings.h"

#include <QDir>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QStandardPaths>
#include <QUrl>

QString MailtoUrlText(const QString& Address)
{
    const QString Scheme = QStringLiteral("mailto:");
    const QString Bare = Address.startsWith(Scheme) ? Address.mid(Scheme.size()) : Address;
    // "@" stays as it is, so the mail program shows the address the user typed.
    return Scheme + QString::fromLatin1(QUrl::toPercentEncoding(Bare, "@!$'()*+,;=:~-._"));
}

TAttachedFileKind ClassifyAttachedFile(const QString& Path)
{
    const QFileInfo Info(Path);
    if (Path.isEmpty() || (!Info.exists() && !Info.isSymLink()))
        return TAttachedFileKind::Missing;
    if (!Info.exists() || !Info.isFile() || Info.isExecutable())
        return TAttachedFileKind::Runnable;
    // What the desktop would run rather than show, whatever its mode bits say.
    static const QStringList RunnableTypes = {QStringLiteral("application/x-executable"),
                                              QStringLiteral("application/x-sharedlib"),
                                              QStringLiteral("application/x-pie-executable"),
                                              QStringLiteral("application/x-shellscript"),
                                              QStringLiteral("application/x-desktop"),
                                              QStringLiteral("application/x-ms-dos-executable"),
                                              QStringLiteral("application/x-msdownload"),
                                              QStringLiteral("application/x-msi"),
                                              QStringLiteral("application/x-java-archive"),
                                              QStringLiteral("application/x-perl"),
                                              QStringLiteral("text/x-python"),
                                              QStringLiteral("text/x-python3"),
                                              QStringLiteral("application/x-ruby"),
                                              QStringLiteral("application/x-appimage"),
                                              QStringLiteral("application/vnd.appimage"),
                                              QStringLiteral("application/x-csh"),
                                              QStringLiteral("application/x-bat"),
                                              QStringLiteral("application/javascript"),
                                              QStringLiteral("text/javascript"),
                                              QStringLiteral("application/x-executable-script")};
    static const QStringList RunnableSuffixes = {
        QStringLiteral("desktop"), QStringLiteral("sh"),  QStringLiteral("bash"), QStringLiteral("csh"),
        QStringLiteral("ksh"),     QStringLiteral("zsh"), QStringLiteral("py"),   QStringLiteral("pl"),
        QStringLiteral("rb"),      QStringLiteral("exe"), QStringLiteral("bat"),  QStringLiteral("cmd"),
        QStringLiteral("com"),     QStringLiteral("jar"), QStringLiteral("run"),  QStringLiteral("appimage"),
        QStringLiteral("msi"),     QStringLiteral("js"),  QStringLiteral("vbs"),  QStringLiteral("ps1")};
    if (RunnableSuffixes.contains(Info.suffix().toLower()))
        return TAttachedFileKind::Runnable;
    const QMimeDatabase Types;
    for (const QMimeType& Type : {Types.mimeTypeForFile(Info, QMimeDatabase::MatchDefault),
                                  Types.mimeTypeForFile(Info, QMimeDatabase::MatchContent)})
        for (const QString& Name : RunnableTypes)
            if (Type.inherits(Name))
                return TAttachedFileKind::Runnable;
    return TAttachedFileKind::Document;
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
