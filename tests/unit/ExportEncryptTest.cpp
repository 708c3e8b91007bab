#include "transfer/export/ExportEncrypt.h"

#include "transfer/export/SfxLibrary.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <ctime>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

const QString Fixtures = QStringLiteral(VX_FIXTURE_DIR "/");

QByteArray Read(const QString& Path)
{
    QFile File(Path);
    return File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray("<missing>");
}

void Write(const QString& Path, const QByteArray& Bytes)
{
    QFile File(Path);
    ASSERT_TRUE(File.open(QIODevice::WriteOnly | QIODevice::Truncate));
    File.write(Bytes);
}

class ExportEncryptTest : public ::testing::Test
{
protected:
    // A build of Text for Exe through the fixture in Folder; the shown messages land in Shown.
    bool Build(const QString& Folder, const QString& Exe, const QByteArray& Text = "a,b\r\n")
    {
        TEncryptWorkFolder Work;
        if (!Work.Make(Exe))
            return false;
        Write(Work.TextPath(), Text);
        UseSfxLibraryFolderForTests(Fixtures + Folder);
        const bool Built = BuildSelfRestoringFile(QStringLiteral("Abc12345"), Work.TextPath(), Exe, nullptr,
                                                  [this](const QString& Text) { Shown << Text; });
        UseSfxLibraryFolderForTests({});
        return Built;
    }
    // What the target folder holds besides the user's own "Encrypt.Tmp".
    QStringList Entries() const
    {
        return QDir(Dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    void TearDown() override { FailExeInstallForTests(false); }

    QTemporaryDir Dir;
    QStringList Shown;
};

TEST_F(ExportEncryptTest, TheWorkingFolderIsNewPrivateAndGoesWithWhatItHolds)
{
    // A folder of the name the program once used, with the user's file in it.
    ASSERT_TRUE(QDir(Dir.path()).mkdir(QStringLiteral("Encrypt.Tmp")));
    Write(Dir.filePath(QStringLiteral("Encrypt.Tmp/mine.txt")), "mine");
    {
        TEncryptWorkFolder Work;
        ASSERT_TRUE(Work.Make(Dir.filePath(QStringLiteral("Rireki.exe"))));
        EXPECT_NE(QFileInfo(Work.Folder()).canonicalFilePath(),
                  QFileInfo(Dir.filePath("Encrypt.Tmp")).canonicalFilePath());
        EXPECT_EQ(QFileInfo(Work.Folder()).permissions() & 0x7777, QFile::ReadOwner | QFile::WriteOwner |
                                                                       QFile::ExeOwner | QFile::ReadUser |
                                                                       QFile::WriteUser | QFile::ExeUser);
        EXPECT_EQ(QFileInfo(Work.TextPath()).fileName(), QStringLiteral("Rireki.txt"));
        Write(Work.TextPath(), "secret");
        Write(Work.Folder() + "Rireki.exe", "built");
    }
    EXPECT_EQ(Entries(), QStringList{QStringLiteral("Encrypt.Tmp")});
    EXPECT_EQ(Read(Dir.filePath(QStringLiteral("Encrypt.Tmp/mine.txt"))), "mine");
}

TEST_F(ExportEncryptTest, ABuiltProgramStandsAtTheTargetRunnable)
{
    const QString Exe = Dir.filePath(QStringLiteral("Rireki.exe"));
    ASSERT_TRUE(Build(QStringLiteral("sfx_record"), Exe, "1,2\r\n"));
    EXPECT_TRUE(Shown.isEmpty());
    EXPECT_EQ(Read(Exe), "SFX-FIXTURE\n1,2\r\n");
    EXPECT_TRUE(QFileInfo(Exe).permissions().testFlag(QFile::ExeOwner));
    EXPECT_TRUE(QFileInfo(Exe).permissions().testFlag(QFile::ExeOther));
    EXPECT_EQ(Entries(), QStringList{QStringLiteral("Rireki.exe")});
}

TEST_F(ExportEncryptTest, AFailedBuildLeavesNoProgramAndNoWorkingFolder)
{
    const QString Exe = Dir.filePath(QStringLiteral("Meibo.exe"));
    const struct
    {
        QString Folder;
        QStringList Texts;
    } Cases[] = {
        {"sfx_full", {QStringLiteral("空き容量が足りなかったため出力できませんでした  ")}},
        {"sfx_fail", {QStringLiteral("暗号化出力に失敗しましたRC = 7")}},
        {"no-such-folder",
         {QStringLiteral("Vtxcrtpup.so LoadLibrary Error\r\nDLLのロードに失敗しました"),
          QStringLiteral("暗号化出力に失敗しましたRC = 103")}},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Folder.toStdString());
        Shown.clear();
        EXPECT_FALSE(Build(Case.Folder, Exe));
        EXPECT_EQ(Shown, Case.Texts);
        EXPECT_TRUE(Entries().isEmpty()) << Entries().join(u' ').toStdString();
        EXPECT_FALSE(SfxLibraryLoaded());
    }
}

TEST_F(ExportEncryptTest, AProgramThatCannotBePutInPlaceIsReportedAndTheOldOneKept)
{
    const QString Exe = Dir.filePath(QStringLiteral("Rireki.exe"));
    Write(Exe, "earlier export");
    FailExeInstallForTests(true);
    EXPECT_FALSE(Build(QStringLiteral("sfx_record"), Exe));
    EXPECT_EQ(Shown, QStringList{ExeNotWrittenText(Exe)});
    EXPECT_EQ(Read(Exe), "earlier export");
    EXPECT_EQ(Entries(), QStringList{QStringLiteral("Rireki.exe")});
}

TEST_F(ExportEncryptTest, AFolderTooLongForTheLibraryIsRefusedBeforeTheCall)
{
    QString Deep = Dir.path();
    while (QFile::encodeName(Deep).size() < 260)
        Deep += QStringLiteral("/深い階層のフォルダー");
    ASSERT_TRUE(QDir().mkpath(Deep));
    const QString Exe = Deep + QStringLiteral("/Rireki.exe");
    EXPECT_FALSE(Build(QStringLiteral("sfx_record"), Exe));
    ASSERT_EQ(Shown.size(), 1);
    EXPECT_TRUE(Shown[0].startsWith(QStringLiteral("出力先のフォルダー名が長すぎるため"))) << Shown[0].toStdString();
    EXPECT_FALSE(QFile::exists(Exe));
    EXPECT_TRUE(QDir(Deep).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
}

} // namespace

// A kill leaves the working folder behind: in the program's own folder, not beside the target, and
// the next start removes it. A folder made after this process started, or one not of that name,
// stays.
TEST_F(ExportEncryptTest, AKilledExportsFolderGoesAtTheNextStart)
{
    QTemporaryDir Root;
    const QString Exe = Dir.filePath(QStringLiteral("Rireki.exe"));
    TEncryptWorkFolder Work;
    ASSERT_TRUE(Work.Make(Exe, Root.path()));
    EXPECT_TRUE(Work.Folder().startsWith(Root.path() + QLatin1Char('/'))) << Work.Folder().toStdString();
    EXPECT_TRUE(Entries().isEmpty());
    Write(Work.TextPath(), "secret");

    const QString Stale = Root.filePath(QStringLiteral("Encrypt.Tmp.abc123"));
    const QString Other = Root.filePath(QStringLiteral("Encrypt.Tmp.mine"));
    for (const QString& Folder : {Stale, Other}) {
        ASSERT_TRUE(QDir().mkpath(Folder));
        Write(Folder + QStringLiteral("/Rireki.txt"), "secret");
        // As a folder of a run before this process.
        const timespec Old[2] = {{::time(nullptr) - 86400, 0}, {::time(nullptr) - 86400, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(Folder).constData(), Old, 0), 0);
    }
    RemoveStaleEncryptWorkFolders(Root.path());
    EXPECT_FALSE(QFileInfo::exists(Stale));
    EXPECT_TRUE(QFileInfo::exists(Other));
    EXPECT_TRUE(QFileInfo::exists(Work.TextPath()));
}
