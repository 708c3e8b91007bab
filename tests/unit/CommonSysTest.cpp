#include "main/common/CommonSys.h"

#include "tests/support/HermeticRun.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <atomic>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

void WriteFile(const QString& Path, const QByteArray& Bytes = "x")
{
    QFile File(Path);
    ASSERT_TRUE(File.open(QIODevice::WriteOnly));
    File.write(Bytes);
}

// Builds Root/tree with files, a nested folder, a folder the owner may not write, and links that lead
// out of the tree to Root/outside.
void BuildTree(const QString& Root)
{
    QDir Dir(Root);
    ASSERT_TRUE(Dir.mkpath(QStringLiteral("outside/keep")));
    WriteFile(Root + QStringLiteral("/outside/keep/precious.txt"));
    WriteFile(Root + QStringLiteral("/outside/lone.txt"));
    ASSERT_TRUE(Dir.mkpath(QStringLiteral("tree/sub/deeper")));
    ASSERT_TRUE(Dir.mkpath(QStringLiteral("tree/locked")));
    ASSERT_TRUE(Dir.mkpath(QStringLiteral("tree/empty")));
    WriteFile(Root + QStringLiteral("/tree/a.txt"));
    WriteFile(Root + QStringLiteral("/tree/sub/deeper/b.txt"));
    WriteFile(Root + QStringLiteral("/tree/locked/c.txt"));
    ASSERT_EQ(chmod(QFile::encodeName(Root + QStringLiteral("/tree/locked")).constData(), 0500), 0);
    ASSERT_TRUE(QFile::link(Root + QStringLiteral("/outside"), Root + QStringLiteral("/tree/sub/to-outside")));
    ASSERT_TRUE(QFile::link(Root + QStringLiteral("/outside/lone.txt"), Root + QStringLiteral("/tree/to-file")));
}

void ExpectOutsideWhole(const QString& Root)
{
    EXPECT_TRUE(QFileInfo::exists(Root + QStringLiteral("/outside/keep/precious.txt")));
    EXPECT_TRUE(QFileInfo::exists(Root + QStringLiteral("/outside/lone.txt")));
}

QString TestInstanceName(const char* Tag)
{
    return QStringLiteral("VxTest-%1-%2").arg(QLatin1String(Tag)).arg(QCoreApplication::applicationPid());
}

} // namespace

TEST(CommonSysTest, DeleteFolderTreeRemovesLinksWithoutFollowingThem)
{
    QTemporaryDir Root;
    BuildTree(Root.path());
    EXPECT_TRUE(DeleteFolderTree(Root.path() + QStringLiteral("/tree/"), false));
    EXPECT_FALSE(QFileInfo::exists(Root.path() + QStringLiteral("/tree")));
    ExpectOutsideWhole(Root.path());

    // The folder itself being a link: the link goes, its target stays.
    ASSERT_TRUE(QFile::link(Root.path() + QStringLiteral("/outside"), Root.path() + QStringLiteral("/alias")));
    EXPECT_TRUE(DeleteFolderTree(Root.path() + QStringLiteral("/alias"), false));
    EXPECT_FALSE(QFileInfo(Root.path() + QStringLiteral("/alias")).isSymLink());
    ExpectOutsideWhole(Root.path());

    EXPECT_TRUE(DeleteFolderTree(Root.path() + QStringLiteral("/never-was"), false));
}

TEST(CommonSysTest, DeleteFolderTreeKeepFilesLeavesFilesAndTheirFolders)
{
    QTemporaryDir Root;
    BuildTree(Root.path());
    const QString Tree = Root.path() + QStringLiteral("/tree");
    EXPECT_TRUE(DeleteFolderTree(Tree, true));
    for (const char* Kept : {"a.txt", "sub/deeper/b.txt", "locked/c.txt"}) {
        EXPECT_TRUE(QFileInfo::exists(Tree + QLatin1Char('/') + QLatin1String(Kept))) << Kept;
    }
    EXPECT_FALSE(QFileInfo::exists(Tree + QStringLiteral("/empty")));
    EXPECT_TRUE(QFileInfo(Tree + QStringLiteral("/sub/to-outside")).isSymLink());
    ExpectOutsideWhole(Root.path());

    EXPECT_TRUE(DeleteFolderTree(Tree, false));
    EXPECT_FALSE(QFileInfo::exists(Tree));
    ExpectOutsideWhole(Root.path());
}

TEST(CommonSysTest, ScanDrivesListsMountPointsByKind)
{
    QTemporaryDir Dir;
    const QString Mounts = Dir.filePath(QStringLiteral("mounts"));
    WriteFile(Mounts, "sysfs /sys sysfs rw,nosuid 0 0\n"
                      "/dev/sda2 / ext4 rw,relatime 0 0\n"
                      "proc /proc proc rw 0 0\n"
                      "tmpfs /run tmpfs rw 0 0\n"
                      "/dev/sda1 /boot/efi vfat rw 0 0\n"
                      "/dev/sr0 /media/user/My\\040Disc iso9660 ro 0 0\n"
                      "server:/export /mnt/nfs nfs4 rw 0 0\n"
                      "//nas/share /mnt/smb cifs rw 0 0\n"
                      "/dev/sdb1 /home xfs rw 0 0\n"
                      "/dev/sdb1 /home xfs rw 0 0\n"
                      "overlay /var/lib/x overlay rw 0 0\n"
                      "/dev/sr1 /media/dvd udf ro 0 0\n"
                      "ext4-without-device /odd ext4 rw 0 0\n");
    const struct
    {
        unsigned Mask;
        QStringList Expected;
    } Cases[] = {
        {DRIVE_MASK_FIXED, {"/", "/boot/efi/", "/home/"}},
        {DRIVE_MASK_CDROM, {"/media/user/My Disc/", "/media/dvd/"}},
        {DRIVE_MASK_NETWORK, {"/mnt/nfs/", "/mnt/smb/"}},
        {DRIVE_MASK_CDROM | DRIVE_MASK_NETWORK, {"/media/user/My Disc/", "/mnt/nfs/", "/mnt/smb/", "/media/dvd/"}},
        {0, {}},
    };
    for (const auto& Case : Cases) {
        ScanDrives(Case.Mask, Mounts);
        EXPECT_EQ(DriveList, Case.Expected) << Case.Mask;
        EXPECT_EQ(DriveCount, Case.Expected.size()) << Case.Mask;
    }
    ScanDrives(DRIVE_MASK_FIXED, Dir.filePath(QStringLiteral("missing")));
    EXPECT_EQ(DriveCount, 0);
}

TEST(CommonSysTest, IsAlreadyRunningFirstKeepsTheLockSecondIsRefused)
{
    const QString Name = TestInstanceName("single");
    std::unique_ptr<TSingleInstance> First;
    ASSERT_FALSE(IsAlreadyRunning(Name, true, &First));
    ASSERT_TRUE(First && First->IsHeld());
    EXPECT_TRUE(IsProgramRunning(Name));
    // Another process sees the claim as well.
    EXPECT_EQ(QProcess::execute(QStringLiteral("flock"),
                                {QStringLiteral("-n"), TSingleInstance::LockFilePath(Name), QStringLiteral("true")}),
              1);

    int Requests = 0;
    QObject::connect(First.get(), &TSingleInstance::ActivationRequested, [&Requests] { ++Requests; });
    std::unique_ptr<TSingleInstance> Second;
    EXPECT_TRUE(IsAlreadyRunning(Name, true, &Second));
    EXPECT_FALSE(Second);
    const QDeadlineTimer Deadline(5000);
    while (Requests == 0 && !Deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(Requests, 1);

    // Without Activate nobody is disturbed.
    EXPECT_TRUE(IsAlreadyRunning(Name, false));
    QCoreApplication::processEvents(QEventLoop::AllEvents, 200);
    EXPECT_EQ(Requests, 1);

    First.reset();
    EXPECT_FALSE(IsProgramRunning(Name));
    // A caller that does not keep the lock lets it go at once.
    EXPECT_FALSE(IsAlreadyRunning(Name, false));
    EXPECT_FALSE(IsProgramRunning(Name));
}

TEST(CommonSysTest, LookingWhetherAProgramRunsNeverKeepsACopyFromStarting)
{
    const QString Name = TestInstanceName("look");
    std::atomic<bool> Stop{false};
    std::atomic<int> Looks{0};
    std::atomic<int> SeenWhileHeld{0};
    std::atomic<bool> Held{false};
    std::thread Looker([&] {
        while (!Stop) {
            const bool WasHeld = Held;
            if (IsProgramRunning(Name) && WasHeld)
                ++SeenWhileHeld;
            ++Looks;
        }
    });
    int Refused = 0;
    int Starts = 0;
    for (; Starts < 1500 && Refused == 0; ++Starts) {
        TSingleInstance Copy(Name);
        if (Copy.Acquire() != TSingleInstance::EAcquire::Acquired) {
            ++Refused;
            continue;
        }
        Held = true;
        const int Before = Looks;
        while (Looks < Before + 2) {
        }
        Held = false;
    }
    Stop = true;
    Looker.join();
    EXPECT_EQ(Refused, 0) << "refused at start " << Starts;
    // The looks still see the running copy.
    EXPECT_GT(SeenWhileHeld, 0);
    EXPECT_FALSE(IsProgramRunning(Name));
}

TEST(CommonSysTest, StartedProgramsDoNotInheritTheLock)
{
    const QString Name = TestInstanceName("inherit");
    TSingleInstance Lock(Name);
    ASSERT_EQ(Lock.Acquire(), TSingleInstance::EAcquire::Acquired);
    QProcess Child;
    Child.start(QStringLiteral("sleep"), {QStringLiteral("10")});
    ASSERT_TRUE(Child.waitForStarted());
    Lock.Release();
    EXPECT_FALSE(IsProgramRunning(Name));
    Child.kill();
    Child.waitForFinished();
}

TEST(CommonSysTest, RunProgramAnswersExitCodesAndStartsInTheProgramsFolder)
{
    QTemporaryDir Dir;
    const QString Script = Dir.filePath(QStringLiteral("where.sh"));
    WriteFile(Script, "#!/bin/sh\npwd -P > here.txt\nexit \"$1\"\n");
    ASSERT_TRUE(QFile::setPermissions(Script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    const QString Plain = Dir.filePath(QStringLiteral("plain.txt"));
    WriteFile(Plain);

    EXPECT_EQ(RunProgram(Script, {QStringLiteral("7")}, QStringLiteral(" @ "), false), 7);
    QFile Here(Dir.filePath(QStringLiteral("here.txt")));
    ASSERT_TRUE(Here.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromLocal8Bit(Here.readAll()).trimmed(), QFileInfo(Dir.path()).canonicalFilePath());

    // Arguments are passed as they are: no shell splits or expands them.
    EXPECT_EQ(RunProgram(QStringLiteral("/bin/sh"),
                         {QStringLiteral("-c"), QStringLiteral("test \"$0\" = 'a b;$x'"), QStringLiteral("a b;$x")},
                         QString(), false),
              0);
    EXPECT_EQ(RunProgram(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("exit 3")},
                         Dir.filePath(QStringLiteral("no-such-folder")), false),
              3);
    EXPECT_EQ(RunProgram(Dir.filePath(QStringLiteral("missing")), {}, QString(), false), RUN_PROGRAM_NOT_FOUND);
    EXPECT_EQ(RunProgram(QStringLiteral("no-such-program-anywhere"), {}, QString(), true), RUN_PROGRAM_NOT_FOUND);
    EXPECT_EQ(RunProgram(Plain, {}, QString(), false), RUN_PROGRAM_CANNOT_START);

    // Found on PATH, which holds only stand-ins: the desktop's opener must not be the machine's.
    const QString Found = Dir.filePath(QStringLiteral("found-on-path"));
    WriteFile(Found, "#!/bin/sh\nexit 0\n");
    const QString Opener = Dir.filePath(QStringLiteral("xdg-open"));
    WriteFile(Opener, "#!/bin/sh\n[ -e \"$1\" ] || exit 2\n");
    for (const QString& StandIn : {Found, Opener}) {
        ASSERT_TRUE(QFile::setPermissions(StandIn, QFile::ReadOwner | QFile::ExeOwner));
    }
    const TPathGuard Path(Dir.path());
    EXPECT_EQ(RunProgram(QStringLiteral("found-on-path"), {}, QString(), true), 0);

    EXPECT_EQ(ShellOpenAndWait(Script, {QStringLiteral("5")}, QStringLiteral("@"), false), 0);
    EXPECT_EQ(ShellOpenAndWait(Dir.filePath(QStringLiteral("missing.exe")), {}, QString(), false) != 0, true);
}

namespace {

// Runs the test with XDG_RUNTIME_DIR as given (unset for a null value) and the data folder in Home.
class TLockFolderEnvironment
{
public:
    TLockFolderEnvironment(const QString& Home, const QByteArray& Runtime)
        : SavedRuntime(qgetenv("XDG_RUNTIME_DIR")), HadRuntime(qEnvironmentVariableIsSet("XDG_RUNTIME_DIR")),
          SavedData(qgetenv("XDG_DATA_HOME"))
    {
        qputenv("XDG_DATA_HOME", QFile::encodeName(Home));
        if (Runtime.isNull())
            qunsetenv("XDG_RUNTIME_DIR");
        else
            qputenv("XDG_RUNTIME_DIR", Runtime);
    }
    ~TLockFolderEnvironment()
    {
        qputenv("XDG_DATA_HOME", SavedData);
        if (HadRuntime)
            qputenv("XDG_RUNTIME_DIR", SavedRuntime);
        else
            qunsetenv("XDG_RUNTIME_DIR");
    }

private:
    QByteArray SavedRuntime;
    bool HadRuntime;
    QByteArray SavedData;
};

mode_t ModeOf(const QString& Path)
{
    struct stat Info
    {
    };
    return lstat(QFile::encodeName(Path).constData(), &Info) == 0 ? Info.st_mode & 07777 : 0;
}

} // namespace

// Another local user must not be able to keep the program from starting, nor hold its claim: the
// lock lives only where nobody else can make or replace a file.
TEST(CommonSysTest, TheClaimLivesOnlyInAFolderNobodyElseCanWrite)
{
    QTemporaryDir Root;
    const QString Home = Root.filePath(QStringLiteral("home"));
    const QString OwnFolder = Home + QStringLiteral("/Pelmar/locks");
    const QString Name = TestInstanceName("private");

    // The name an earlier build used in /tmp, made and locked first by somebody else.
    const QString Squatted = QDir::tempPath() + QStringLiteral("/%1-%2.lock").arg(Name).arg(getuid());
    WriteFile(Squatted, QByteArray());
    QProcess Squatter;
    Squatter.start(QStringLiteral("flock"),
                   {QStringLiteral("-x"), Squatted, QStringLiteral("sleep"), QStringLiteral("30")});
    ASSERT_TRUE(Squatter.waitForStarted());

    const QString OpenRuntime = Root.filePath(QStringLiteral("open-runtime"));
    ASSERT_TRUE(QDir().mkpath(OpenRuntime));
    ASSERT_EQ(chmod(QFile::encodeName(OpenRuntime).constData(), 01777), 0);
    const QString ForeignRuntime = Root.filePath(QStringLiteral("foreign-runtime"));
    ASSERT_TRUE(QDir().mkpath(ForeignRuntime));
    ASSERT_EQ(chmod(QFile::encodeName(ForeignRuntime).constData(), 0700), 0);
    const bool CanGiveAway = chown(QFile::encodeName(ForeignRuntime).constData(), 65534, 65534) == 0;

    struct TCase
    {
        const char* What;
        QByteArray Runtime;
    } Cases[] = {
        {"no runtime folder", QByteArray()},
        {"a runtime folder everybody may write", QFile::encodeName(OpenRuntime)},
        {"a relative runtime folder", QByteArrayLiteral("run/user")},
        {"a runtime folder of another user", CanGiveAway ? QFile::encodeName(ForeignRuntime) : QByteArray()},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.What);
        const TLockFolderEnvironment Environment(Home, Case.Runtime);
        EXPECT_EQ(QFileInfo(TSingleInstance::LockFilePath(Name)).absolutePath(), OwnFolder);
        TSingleInstance Copy(Name);
        ASSERT_EQ(Copy.Acquire(), TSingleInstance::EAcquire::Acquired);
        EXPECT_EQ(ModeOf(OwnFolder), 0700u);
        EXPECT_EQ(ModeOf(TSingleInstance::LockFilePath(Name)), 0600u);
    }

    {
        // A folder of ours made open by an earlier build is closed before it is used.
        const TLockFolderEnvironment Environment(Home, QByteArray());
        ASSERT_EQ(chmod(QFile::encodeName(OwnFolder).constData(), 0755), 0);
        TSingleInstance Copy(Name);
        EXPECT_EQ(Copy.Acquire(), TSingleInstance::EAcquire::Acquired);
        EXPECT_EQ(ModeOf(OwnFolder), 0700u);
    }
    {
        // A link in place of our folder could lead the claim anywhere: the start fails instead.
        const QString Elsewhere = Root.filePath(QStringLiteral("elsewhere"));
        ASSERT_TRUE(QDir().mkpath(Elsewhere));
        ASSERT_EQ(chmod(QFile::encodeName(Elsewhere).constData(), 0700), 0);
        ASSERT_TRUE(QDir(OwnFolder).removeRecursively());
        ASSERT_TRUE(QFile::link(Elsewhere, OwnFolder));
        const TLockFolderEnvironment Environment(Home, QByteArray());
        TSingleInstance Copy(Name);
        EXPECT_EQ(Copy.Acquire(), TSingleInstance::EAcquire::Failed);
        EXPECT_TRUE(QDir(Elsewhere).isEmpty());
    }
    {
        // The user's own private runtime folder is used as it is.
        const QString Runtime = Root.filePath(QStringLiteral("runtime"));
        ASSERT_TRUE(QDir().mkpath(Runtime));
        ASSERT_EQ(chmod(QFile::encodeName(Runtime).constData(), 0700), 0);
        const TLockFolderEnvironment Environment(Home, QFile::encodeName(Runtime));
        EXPECT_EQ(QFileInfo(TSingleInstance::LockFilePath(Name)).absolutePath(), Runtime);
        TSingleInstance Copy(Name);
        EXPECT_EQ(Copy.Acquire(), TSingleInstance::EAcquire::Acquired);
    }
    Squatter.kill();
    Squatter.waitForFinished();
    QFile::remove(Squatted);
}
