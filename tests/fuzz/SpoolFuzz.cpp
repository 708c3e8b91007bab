// The call spool and the list of folders that may hold one, of any bytes (a file cut short by a
// crash, a disk that returned garbage): the spool opens, keeps exactly its waiting calls, stays
// readable after a call is added and empties once all are done; the list reads back as written.

#include "FuzzSupport.h"
#include "main/pipeline/CallSpool.h"

namespace {

struct TCallKey
{
    QString Number;
    qint64 RingTime;
    bool operator==(const TCallKey&) const = default;
};

QList<TCallKey> Keys(const QList<TSpooledCall>& Calls)
{
    QList<TCallKey> Result;
    for (const TSpooledCall& Call : Calls)
        Result.append({Call.Number, Call.RingTime});
    return Result;
}

void CheckSpool(const QByteArray& Bytes)
{
    const QString Folder = FreshFolder(QStringLiteral("spool"));
    WriteFuzzFile(Folder + TCallSpool::FileName, Bytes);
    QList<TSpooledCall> Waiting;
    {
        TCallSpool Spool;
        VX_FUZZ_CHECK(Spool.Open(Folder, Waiting));
        VX_FUZZ_CHECK_EQ(Spool.WaitingCount(), static_cast<int>(Waiting.size()));
        const QByteArray Kept = ReadFuzzFile(Folder + TCallSpool::FileName);
        // Only whole lines stay, and nothing at all when no call waits.
        VX_FUZZ_CHECK(Waiting.isEmpty() ? Kept.isEmpty() : Kept.endsWith('\n') && Bytes.startsWith(Kept));
        for (const TSpooledCall& Call : std::as_const(Waiting)) {
            VX_FUZZ_CHECK(Call.RingTime > 0);
            VX_FUZZ_CHECK(Call.Offset >= 0 && Call.Offset < Kept.size() && Kept.at(Call.Offset) == 'P');
        }
        TSpooledCall Added;
        Added.Number = QString::fromUtf8(Bytes.left(24));
        Added.RingTime = 1765245600000;
        VX_FUZZ_CHECK(Spool.Append(Added));
        Waiting.append(Added);
    }
    TCallSpool Again;
    QList<TSpooledCall> Reopened;
    VX_FUZZ_CHECK(Again.Open(Folder, Reopened));
    VX_FUZZ_CHECK(Keys(Reopened) == Keys(Waiting));
    for (const TSpooledCall& Call : std::as_const(Reopened))
        Again.MarkDone(Call);
    VX_FUZZ_CHECK(ReadFuzzFile(Folder + TCallSpool::FileName).isEmpty());
}

void CheckFolderList(const QByteArray& Bytes)
{
    const QString File = FreshFolder(QStringLiteral("list")) + TCallSpool::FolderListName;
    WriteFuzzFile(File, Bytes);
    const QStringList Folders = TCallSpool::ReadFolderList(File);
    VX_FUZZ_CHECK(Folders.size() <= 64);
    for (const QString& Folder : Folders)
        VX_FUZZ_CHECK(Folder.startsWith(u'/') && Folder.endsWith(u'/') && Folders.count(Folder) == 1);
    VX_FUZZ_CHECK(TCallSpool::WriteFolderList(File, Folders));
    VX_FUZZ_CHECK_EQ(TCallSpool::ReadFolderList(File), Folders);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const QByteArray Bytes(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size));
    CheckSpool(Bytes);
    CheckFolderList(Bytes);
    return 0;
}
