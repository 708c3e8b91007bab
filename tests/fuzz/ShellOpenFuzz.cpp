// Mail addresses and attached paths come from the directory table, which an import fills with any
// text. The mail URL never lets the address add a header, a body or an attachment and gives the
// address back when decoded; an attached file the program would run is never taken for a document.

#include "FuzzSupport.h"
#include "main/common/ShellOpen.h"

#include <QFileInfo>
#include <QUrl>

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
    return 0;
}
