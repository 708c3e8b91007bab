#include "transfer/export/ExportEncrypt.h"

#include "transfer/export/SfxLibrary.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool FailInstall = false;

class TFd
{
public:
    explicit TFd(int Fd) : Fd(Fd) {}
    ~TFd()
    {
        if (Fd >= 0)
            ::close(Fd);
    }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    int Fd;
};

bool CopyAll(int From, int To)
{
    char Buffer[64 * 1024];
    for (;;) {
        const ssize_t Got = ::read(From, Buffer, sizeof Buffer);
        if (Got < 0 && errno == EINTR)
            continue;
        if (Got <= 0)
            return Got == 0;
        for (ssize_t Done = 0; Done < Got;) {
            const ssize_t Put = ::write(To, Buffer + Done, static_cast<std::size_t>(Got - Done));
            if (Put < 0 && errno == EINTR)
                continue;
            if (Put < 0)
                return false;
            Done += Put;
        }
    }
}

// Copies Built to Target through a temporary name beside Target, so that an existing file is
// replaced only by a whole program, never by part of one.
bool InstallProgram(const QString& Built, const QString& Target)
{
    TFd In(::open(QFile::encodeName(Built).constData(), O_RDONLY | O_CLOEXEC));
    if (In.Fd < 0)
        return false;
    const QFileInfo Info(Target);
    QByteArray Temporary = QFile::encodeName(Info.absolutePath() + QStringLiteral("/.") + Info.fileName()) + ".XXXXXX";
    if (Temporary.size() > 4000)
        return false;
    TFd Out(::mkstemp(Temporary.data()));
    if (Out.Fd < 0)
        return false;
    const bool Written = !FailInstall && CopyAll(In.Fd, Out.Fd) && ::fsync(Out.Fd) == 0 &&
                         ::fchmod(Out.Fd, 0755) == 0 &&
                         ::rename(Temporary.constData(), QFile::encodeName(Target).constData()) == 0;
    if (!Written)
        ::unlink(Temporary.constData());
    return Written;
}

} // namespace

TEncryptWorkFolder::~TEncryptWorkFolder()
{
    Remove();
}

bool TEncryptWorkFolder::Make(const QString& ExePath, const QString& Root)
{
    Remove();
    const QFileInfo Exe(ExePath);
    const QString Folder = Root.isEmpty() ? Exe.absolutePath() : QDir(Root).absolutePath();
    QByteArray Pattern = QFile::encodeName(Folder + QStringLiteral("/Encrypt.Tmp.XXXXXX"));
    // mkdtemp makes the folder new and the owner's alone; it never opens one that was there.
    if (!::mkdtemp(Pattern.data()))
        return false;
    FFolder = QFile::decodeName(Pattern) + QLatin1Char('/');
    FTextPath = FFolder + Exe.completeBaseName() + QStringLiteral(".txt");
    return true;
}

void TEncryptWorkFolder::Remove()
{
    if (FFolder.isEmpty())
        return;
    // The folder is ours alone (0700, made new), so everything in it is what the export put there.
    QDir(FFolder).removeRecursively();
    FFolder.clear();
    FTextPath.clear();
}

namespace {

// When this process started, from the kernel's count of clock ticks since the boot.
QDateTime ProcessStartTime()
{
    QFile Stat(QStringLiteral("/proc/self/stat"));
    QFile Boot(QStringLiteral("/proc/stat"));
    if (!Stat.open(QIODevice::ReadOnly) || !Boot.open(QIODevice::ReadOnly))
        return QDateTime::currentDateTime();
    const QByteArray Line = Stat.readAll();
    // The command name may hold spaces; the fields after its closing parenthesis are plain.
    const QList<QByteArray> Fields = Line.mid(Line.lastIndexOf(')') + 2).split(' ');
    qint64 BootTime = 0;
    for (const QByteArray& BootLine : Boot.readAll().split('\n'))
        if (BootLine.startsWith("btime "))
            BootTime = BootLine.mid(6).trimmed().toLongLong();
    // starttime is field 22 of the line, the 20th after the state.
    if (Fields.size() < 20 || BootTime == 0)
        return QDateTime::currentDateTime();
    const qint64 Ticks = Fields[19].toLongLong();
    return QDateTime::fromMSecsSinceEpoch(BootTime * 1000 + Ticks * 1000 / ::sysconf(_SC_CLK_TCK));
}

} // namespace

void RemoveStaleEncryptWorkFolders(const QString& Root)
{
    const QDateTime Started = ProcessStartTime();
    const QDir Folder(Root);
    for (const QFileInfo& Entry : Folder.entryInfoList({QStringLiteral("Encrypt.Tmp.??????")},
                                                       QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot)) {
        if (Entry.isSymLink() || Entry.ownerId() != ::getuid() || Entry.lastModified() >= Started)
            continue;
        QDir(Entry.absoluteFilePath()).removeRecursively();
    }
}

QString EncryptFailedText(int Result)
{
    return QStringLiteral("暗号化出力に失敗しましたRC = ") + QString::number(Result);
}

QString ExeNotWrittenText(const QString& ExePath)
{
    return QStringLiteral("自己復元ファイルを出力先に書き込めませんでした  \r\n") + ExePath +
           QStringLiteral("\r\n空き容量と書き込みの権限を確認してください  ");
}

bool BuildSelfRestoringFile(const QString& Password, const QString& TextPath, const QString& ExePath, void* Window,
                            const TExportShowError& ShowError)
{
    TSfxSettings Settings;
    TSfxFileName FileName;
    if (const TSfxFieldFault Fault = MakeSfxCall(Password, TextPath, Settings, FileName);
        Fault != TSfxFieldFault::None) {
        ShowError(SfxFieldFaultText(Fault));
        return false;
    }
    (void)LoadSfxLibrary({}, ShowError);
    const int Result = CallCreateSfx(Settings, FileName, Window);
    FreeSfxLibrary();
    // The password has no business staying in memory after the call.
    std::fill(std::begin(Settings.Password), std::end(Settings.Password), '\0');
    if (Result == SfxRcDiskFull) {
        ShowError(MsgEncryptDiskFull);
        return false;
    }
    if (Result != 0) {
        ShowError(EncryptFailedText(Result));
        return false;
    }
    const QFileInfo Text(TextPath);
    const QString Built = Text.absolutePath() + QLatin1Char('/') + Text.completeBaseName() + QStringLiteral(".exe");
    if (!InstallProgram(Built, ExePath)) {
        ShowError(ExeNotWrittenText(ExePath));
        return false;
    }
    return true;
}

void FailExeInstallForTests(bool Fail)
{
    FailInstall = Fail;
}
