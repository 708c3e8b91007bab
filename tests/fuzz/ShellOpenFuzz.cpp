// Mail addresses and attached paths come from the directory table, which an import fills with any
// text. The mail URL never lets the address add a header, a body or an attachment and gives the
// address back when decoded; an attached file the program would run is never taken for a document,
// under no name: whatever the desktop takes a document for, by its name or by its content, is
// nothing that runs, installs or launches.

#include "FuzzSupport.h"
#include "main/common/ShellOpen.h"

#include <QFileInfo>
#include <QMimeDatabase>
#include <QUrl>

namespace {

// What the desktop would run, install or hand to a launcher: programs and scripts (they derive from
// the executable types), launchers, packages, Java Web Start and Flatpak files.
bool RunsOrInstalls(const QMimeType& Type)
{
    static const char* const Types[] = {"application/x-executable",
                                        "application/x-sharedlib",
                                        "application/x-desktop",
                                        "application/x-ms-dos-executable",
                                        "application/x-msi",
                                        "application/x-java-archive",
                                        "application/x-java-jnlp-file",
                                        "application/vnd.flatpak.ref",
                                        "application/vnd.flatpak.repo",
                                        "application/vnd.flatpak",
                                        "application/vnd.debian.binary-package",
                                        "application/x-rpm",
                                        "application/vnd.snap",
                                        "application/vnd.squashfs",
                                        "application/vnd.appimage",
                                        "application/x-shellscript"};
    for (const char* Name : Types)
        if (Type.inherits(QLatin1String(Name)))
            return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const QByteArray Bytes(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size));
    const QString Address = QString::fromUtf8(Bytes);

    const QString Url = MailtoUrlText(Address);
    VX_FUZZ_CHECK(Url.startsWith(QStringLiteral("mailto:")));
    const QString Rest = Url.mid(7);
    for (const QChar Ch : Rest)
        VX_FUZZ_CHECK(Ch.unicode() > 0x20 && Ch.unicode() < 0x7F && Ch != u'?' && Ch != u'&' && Ch != u'#');
    const QString Bare = Address.startsWith(QStringLiteral("mailto:")) ? Address.mid(7) : Address;
    VX_FUZZ_CHECK_EQ(QUrl::fromPercentEncoding(Rest.toLatin1()), Bare);

    // The same bytes as a file's content, once as a plain file and once marked executable.
    const QString Folder = FreshFolder(QStringLiteral("shellopen"));
    const QString Name = Folder + QStringLiteral("attached.dat");
    WriteFuzzFile(Name, Bytes);
    const TAttachedFileKind Plain = ClassifyAttachedFile(Name);
    VX_FUZZ_CHECK(Plain != TAttachedFileKind::Missing);
    QFile::setPermissions(Name, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    VX_FUZZ_CHECK(ClassifyAttachedFile(Name) == TAttachedFileKind::Runnable);
    VX_FUZZ_CHECK(ClassifyAttachedFile(Folder + QStringLiteral("none.dat")) == TAttachedFileKind::Missing);

    // The same content under a document's name, a text's and none.
    const QMimeDatabase Types;
    for (const QString& Base : {QStringLiteral("見積.pdf"), QStringLiteral("memo.txt"), QStringLiteral("scan")}) {
        const QString Named = Folder + Base;
        WriteFuzzFile(Named, Bytes);
        if (ClassifyAttachedFile(Named) != TAttachedFileKind::Document)
            continue;
        const QFileInfo Info(Named);
        for (const QMimeDatabase::MatchMode Mode :
             {QMimeDatabase::MatchDefault, QMimeDatabase::MatchExtension, QMimeDatabase::MatchContent})
            VX_FUZZ_CHECK(!RunsOrInstalls(Types.mimeTypeForFile(Info, Mode)));
    }
    return 0;
}
