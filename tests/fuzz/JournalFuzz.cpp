// The address-book journal AdrsOp.ini of any bytes, carried out in a sandbox: two books, a book
// with a sub-folder, and beside them symbolic links to a folder and to a file outside the books.
// Whatever the journal says, nothing outside the book folders is deleted, created or moved, and
// the links stay as they were.

#include "FuzzSupport.h"
#include "main/identify/FbEditions.h"

#include <QDirIterator>
#include <QFileInfo>
#include <map>

namespace {

// Every entry under Root outside the Adrs folder, and the links right inside it, with what each
// holds: a file's bytes, a link's target.
std::map<QString, QByteArray> Outside(const QString& Root, const QString& Adrs)
{
    std::map<QString, QByteArray> Entries;
    QDirIterator It(Root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (It.hasNext()) {
        const QString Path = It.next();
        const QFileInfo Info = It.fileInfo();
        const bool InAdrs = Path.startsWith(Adrs);
        if (InAdrs && !(Info.isSymLink() && Info.absolutePath() + QLatin1Char('/') == Adrs))
            continue;
        Entries[Path] = Info.isSymLink() ? Info.symLinkTarget().toUtf8()
                                         : (Info.isDir() ? QByteArray("<folder>") : ReadFuzzFile(Path));
    }
    return Entries;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const QString Root = FreshFolder(QStringLiteral("journal"));
    const QString Adrs = Root + QStringLiteral("Fernbook/Adrs/");
    const QString Away = Root + QStringLiteral("Away/");
    for (const QString& Book : {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("Deep")}) {
        QDir().mkpath(Adrs + Book);
        WriteFuzzFile(Adrs + Book + QStringLiteral("/Adrs.DB"), Book.toUtf8());
    }
    QDir().mkpath(Adrs + QStringLiteral("Deep/Sub"));
    WriteFuzzFile(Adrs + QStringLiteral("Deep/Sub/Note.txt"), "sub");
    // Outside the books, reachable through links; the folder looks like a book itself.
    QDir().mkpath(Away);
    WriteFuzzFile(Away + QStringLiteral("Adrs.DB"), "away");
    WriteFuzzFile(Away + QStringLiteral("Keep.txt"), "keep");
    QFile::link(Away, Adrs + QStringLiteral("Link"));
    QFile::link(Away + QStringLiteral("Keep.txt"), Adrs + QStringLiteral("FileLink"));
    WriteFuzzFile(Adrs + QStringLiteral("AdrsOp.ini"),
                  QByteArray(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size)));

    const std::map<QString, QByteArray> Before = Outside(Root, Adrs);
    LoadAddressBookList(Adrs, true);
    const std::map<QString, QByteArray> After = Outside(Root, Adrs);
    for (const auto& [Path, Content] : Before) {
        const auto Found = After.find(Path);
        VX_FUZZ_CHECK(Found != After.end());
        VX_FUZZ_CHECK_EQ(Found->second, Content);
    }
    VX_FUZZ_CHECK_EQ(After.size(), Before.size());
    return 0;
}
