#include "main/update/UpdDlg.h"
#include "main/update/UpdInfo.h"
#include "tests/support/TestHttpServer.h"
#include "tests/support/UpdateSigning.h"
#include "tests/unit/UpdateAnswers.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>

TEST(UpdateCheckTest, ChecksTheAnswer)
{
    const QByteArray Good = FileXml("a.dat", "a.dl", 3, Stamp);
    const struct
    {
        QByteArray Body;
        int Code;
    } Cases[] = {
        {"<update/>", UpdNoXmlDeclaration},
        {"<?xml version=\"1.0\"?><check/>", UpdRootNotUpdate},
        {"<?xml version=\"1.0\"?><update><count>0</count></update>", UpdNoApp},
        {AnswerXml(1, {Good}, "VxUtil16"), UpdWrongApp},
        {"<?xml version=\"1.0\"?><update><app>VxRelvo16</app></update>", UpdNoCount},
        {"<?xml version=\"1.0\"?><update><app>VxRelvo16</app><count>x</count></update>", UpdCountNotInteger},
        {AnswerXml(2, {Good, Good, Good}), UpdCountMismatch},
        {"<?xml version=\"1.0\"?><update><app>VxRelvo16</app><count>0</count></update>", UpdNoDlPath},
        {"<?xml version=\"1.0\"?><update><app>VxRelvo16</app><count>0</count><dlpath/></update>", UpdEmptyDlPath},
        {AnswerXml(1, {"<file><size>1</size></file>"}), UpdFileNoName},
        {AnswerXml(1, {"<file><name>a</name></file>"}), UpdFileNoSize},
        {AnswerXml(1, {"<file><name>a</name><size>1k</size></file>"}), UpdFileSizeNotInteger},
        {AnswerXml(1, {"<file><name>a</name><size>1</size></file>"}), UpdFileNoDateTime},
        {AnswerXml(1, {FileXml("a", "a", 1, "2026/02/30 00:00:00")}), UpdFileBadDateTime},
        {AnswerXml(1, {FileXml("a", "a", 1, "2026/02/3")}), UpdFileBadDateTime},
        {AnswerXml(1, {"<file><name>a</name><size>1</size><datetime>2026-01-01T01:02:03</datetime></file>"}),
         UpdFileNoDlFile},
        {AnswerXml(1, {"<file><name>a</name><size>1</size><datetime>2026-01-01 01:02:03</datetime><dlfile>a</dlfile>"
                       "</file>"}),
         UpdFileNoDlParam},
        {AnswerXml(1, {FileXml("a", "../x", 1, Stamp)}), UpdFileNoDlFile},
        {AnswerXml(1, {FileXml("a", "sub/x", 1, Stamp)}), UpdFileNoDlFile},
        {AnswerXml(1, {FileXml("a", "sub\\x", 1, Stamp)}), UpdFileNoDlFile},
        {AnswerXml(1, {FileXml("..", "x", 1, Stamp)}), UpdFileNoName},
        {AnswerXml(1, {FileXml("a", "x", 1, Stamp, "<path>..\\</path>")}), UpdFileNoName},
        {"<?xml version=\"1.0\"?><update><app>VxRelvo16</app><count>0</count>", UpdParseError},
        {AnswerXml(1, {Good}), 0},
        {AnswerXml(2, {Good, "<FILE>" + FileXml("b", "b", 1, Stamp).mid(6, -1).chopped(7) + "</FILE>"}), 0},
    };
    for (const auto& Case : Cases) {
        const TUpdateAnswer Answer = CheckUpdateAnswer(Case.Body);
        EXPECT_EQ(Answer.Code, Case.Code) << Case.Body.constData();
        if (Case.Code != 0) {
            EXPECT_TRUE(Answer.Files.isEmpty()) << Case.Body.constData();
        }
    }

    const TUpdateAnswer Answer = CheckUpdateAnswer(
        AnswerXml(1, {FileXml("a.dat", "a.dl", 3, "2026/03/04 05:06:07",
                              "<path>sub\\</path><version>1.2.3.4</version><restart>true</restart>")}));
    ASSERT_EQ(Answer.Files.size(), 1);
    EXPECT_EQ(Answer.DownloadPath, QStringLiteral("/dl/"));
    EXPECT_EQ(Answer.Files[0].Path, QStringLiteral("sub/"));
    EXPECT_EQ(Answer.Files[0].DateTime, QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7)));
    EXPECT_FALSE(Answer.Files[0].Restart) << "only the text 1 asks for a restart";
}

TEST(UpdateCheckTest, DecidesWhichFilesAreNewer)
{
    const QDateTime Local(QDate(2026, 1, 1), QTime(12, 0, 0, 500));
    const struct
    {
        const char* Version;
        std::optional<TFileVersion> LocalVersion;
        QDateTime Server;
        QDateTime LocalTime;
        bool Newer;
    } Cases[] = {
        {"1.2.10.0", TFileVersion{1, 2, 9, 5}, Local.addDays(-1), Local, true},
        {"1.2.9.5", TFileVersion{1, 2, 10, 0}, Local.addDays(-1), Local, false},
        {"1.2.9.5", TFileVersion{1, 2, 10, 0}, Local.addSecs(1), Local, true},
        {"", TFileVersion{9, 9, 9, 9}, Local.addSecs(1), Local, true},
        {"", TFileVersion{0, 0, 0, 0}, QDateTime(QDate(2026, 1, 1), QTime(12, 0, 0)), Local, false},
        {"1.2", TFileVersion{1, 2, 0, 1}, Local.addDays(-1), Local, false},
        {"1.2.x.1", TFileVersion{1, 2, 0, 0}, Local.addDays(-1), Local, true},
        {"", TFileVersion{0, 0, 0, 0}, Local.addYears(-20), QDateTime(), true},
        // A local file that states no version is judged by its time alone, not taken for version 0.
        {"9.9.9.9", std::nullopt, Local.addDays(-1), Local, false},
        {"9.9.9.9", std::nullopt, Local.addSecs(1), Local, true},
    };
    for (const auto& Case : Cases) {
        TUpdateFileInfo File;
        File.Version = QString::fromLatin1(Case.Version);
        File.DateTime = Case.Server;
        EXPECT_EQ(IsNewerFile(File, Case.LocalVersion, Case.LocalTime), Case.Newer)
            << Case.Version << " " << qPrintable(Case.Server.toString());
    }
}

TEST(UpdateCheckTest, RefusedAnswersAreLoggedInANewUpdateFolder)
{
    const TTestUpdateTrust Trust;
    for (const auto& [Body, Code] : {std::pair{AnswerXml(2, {FileXml("a", "a", 1, Stamp), FileXml("b", "b", 1, Stamp),
                                                             FileXml("c", "c", 1, Stamp)}),
                                               2006},
                                     std::pair{AnswerXml(0, {}, "Other"), 2003}}) {
        TCheckFolders F;
        TTestServer Server(TTestServer::TTransport::Https);
        Server.Answers[QStringLiteral("/check/vxrelvo16/")] = {200, Body};
        TUpdateDialog Update(nullptr, {Server.Domain(), QStringLiteral("/CHECK/"), QStringLiteral("/app/")}, F.Program,
                             F.Settings);
        ASSERT_TRUE(Update.FetchUpdateInfo()) << Code;
        EXPECT_EQ(Server.Requested, QStringList{QStringLiteral("/check/vxrelvo16/")});
        EXPECT_EQ(Update.ErrorCode, 1000);
        EXPECT_FALSE(Update.HasNewerFiles());
        EXPECT_EQ(ReadFile(F.Update + QStringLiteral("upderr.dat")),
                  "----------\n" + QByteArray::number(Code) + "\n----------\n\n" + Body);
    }
}

TEST(UpdateCheckTest, DownloadsNewerFilesAndHandsThemOver)
{
    const TTestUpdateTrust Trust;
    TCheckFolders F;
    const QDateTime Old(QDate(2020, 1, 1), QTime(0, 0));
    WriteFile(F.Program + QStringLiteral("a.dat"), "old a", Old);
    WriteFile(F.Program + QStringLiteral("c.dat"), "same c", QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7)));
    TTestServer Server(TTestServer::TTransport::Https);
    Server.Answers[QStringLiteral("/check/vxrelvo16/")] = {
        200, AnswerXml(3, {FileXml("a.dat", "a.dl", 5, Stamp, "<restart>1</restart>"),
                           FileXml("b.dat", "b.dl", 5, Stamp), FileXml("c.dat", "c.dl", 5, Stamp)})};
    ServeSigned(Server.Answers, QStringLiteral("/dl/a.dl/"), "new a");
    ServeSigned(Server.Answers, QStringLiteral("/dl/b.dl/"), "new b");
    ServeSigned(Server.Answers, QStringLiteral("/app/"), "#!/bin/sh\n");
    TUpdateDialog Update(nullptr, {Server.Domain()}, F.Program, F.Settings);
    Update.ExeName = QStringLiteral("VxRelvo16");
    ASSERT_TRUE(Update.CheckInternetAvailable());
    ASSERT_TRUE(Update.FetchUpdateInfo());
    EXPECT_EQ(Update.ErrorCode, 0);
    ASSERT_TRUE(Update.HasNewerFiles());
    EXPECT_TRUE(Update.RestartNeeded);
    EXPECT_FALSE(QFileInfo::exists(F.Update)) << "nothing is written before the user agreed";
    ASSERT_TRUE(Update.DownloadUpdateFiles());
    EXPECT_EQ(ReadFile(F.Update + QStringLiteral("a.dl")), QByteArray("new a"));
    EXPECT_EQ(ReadFile(F.Update + QStringLiteral("b.dl")), QByteArray("new b"));
    EXPECT_FALSE(QFileInfo::exists(F.Update + QStringLiteral("c.dl")));
    EXPECT_TRUE(QFileInfo(F.Update + UpdaterFileName).isExecutable());
    EXPECT_TRUE(QDir(F.Update).entryList({QStringLiteral("*.part")}, QDir::Files).isEmpty());
    const QString Info = QString::fromUtf8(ReadFile(F.Update + QStringLiteral("updateinfo.dat")));
    for (const char* Line :
         {"[APP]\n", "Name=Mirelo　Tolvane\n", "Exe=VxRelvo16\n", "Ident=vxrelvo16\n", "Run=1\n",
          "[FILE1]\nName=a.dat\nSize=5\nDateTime=2026/03/04 5:06:07\nDLFile=a.dl\n", "[FILE2]\nName=b.dat\nSize=5\n"})
        EXPECT_TRUE(Info.contains(QString::fromUtf8(Line))) << Line << "\n" << qPrintable(Info);
    EXPECT_FALSE(Info.contains(QStringLiteral("FILE3")));
    EXPECT_FALSE(Info.contains(QStringLiteral("Done")));
}

TEST(UpdateCheckTest, FailedDownloadsAreNeverHandedOver)
{
    const TTestUpdateTrust Trust;
    const struct
    {
        const char* What;
        TTestServer::TAnswer Answer;
    } Cases[] = {
        {"404 with a body of the right size", {404, "12345"}},
        {"short body", {200, "1234"}},
        {"connection broken off", {200, "123", 5}},
        {"longer body", {200, "123456"}},
    };
    for (const auto& Case : Cases) {
        TCheckFolders F;
        TTestServer Server(TTestServer::TTransport::Https);
        Server.Answers[QStringLiteral("/check/vxrelvo16/")] = {200, AnswerXml(1, {FileXml("a.dat", "a.dl", 5, Stamp)})};
        Server.Answers[QStringLiteral("/dl/a.dl/")] = Case.Answer;
        Server.Answers[QStringLiteral("/dl/a.dl.sig/")] = {200, TestSignature("12345")};
        ServeSigned(Server.Answers, QStringLiteral("/app/"), "#!/bin/sh\n");
        WriteFile(F.Update + QStringLiteral("a.dl"), "stale");
        TUpdateDialog Update(nullptr, {Server.Domain()}, F.Program, F.Settings);
        ASSERT_TRUE(Update.FetchUpdateInfo()) << Case.What;
        ASSERT_TRUE(Update.HasNewerFiles()) << Case.What;
        EXPECT_FALSE(Update.DownloadUpdateFiles()) << Case.What;
        EXPECT_FALSE(Update.UpdateFiles[0].Downloaded) << Case.What;
        EXPECT_EQ(QDir(F.Update).entryList(QDir::Files), QStringList{}) << Case.What;
        EXPECT_FALSE(Server.Requested.contains(QStringLiteral("/app/"))) << Case.What;
    }
}

TEST(UpdateCheckTest, ConnectionFailuresAreReported)
{
    const TTestUpdateTrust Trust;
    TCheckFolders F;
    quint16 ClosedPort = 0;
    {
        QTcpServer Probe;
        Probe.listen(QHostAddress::LocalHost);
        ClosedPort = Probe.serverPort();
    }
    TUpdateDialog Update(nullptr, {QStringLiteral("127.0.0.1:%1").arg(ClosedPort)}, F.Program, F.Settings);
    EXPECT_FALSE(Update.FetchUpdateInfo());
    EXPECT_EQ(Update.ErrorCode, 1503);
    EXPECT_EQ(Update.ErrorText, QStringLiteral("接続できませんでした  "));
    EXPECT_FALSE(Update.Connected);

    // The default server is a name that never resolves: nothing leaves the machine unless set up.
    TUpdateDialog Default(nullptr, {}, F.Program, F.Settings);
    EXPECT_FALSE(Default.FetchUpdateInfo());
    EXPECT_EQ(Default.ErrorCode, 1502);
}

TEST(UpdateCheckTest, TheUpdaterMovesTheFilesIntoTheProgramFolder)
{
    const TTestUpdateTrust Trust;
    const QByteArray UpdaterBytes = ReadFile(QStringLiteral(VX_BIN_DIR "/updateapp"));
    ASSERT_FALSE(UpdaterBytes.isEmpty()) << "the updater stand-in is built into the program folder";
    TCheckFolders F;
    WriteFile(F.Program + QStringLiteral("a.dat"), "old a", QDateTime(QDate(2020, 1, 1), QTime(0, 0)));
    TTestServer Server(TTestServer::TTransport::Https);
    Server.Answers[QStringLiteral("/check/vxrelvo16/")] = {
        200,
        AnswerXml(2, {FileXml("a.dat", "a.dl", 5, Stamp), FileXml("b.dat", "b.dl", 5, Stamp, "<path>sub\\</path>")})};
    ServeSigned(Server.Answers, QStringLiteral("/dl/a.dl/"), "new a");
    ServeSigned(Server.Answers, QStringLiteral("/dl/b.dl/"), "new b");
    ServeSigned(Server.Answers, QStringLiteral("/app/"), UpdaterBytes);
    TUpdateDialog Update(nullptr, {Server.Domain()}, F.Program, F.Settings);
    ASSERT_TRUE(Update.FetchUpdateInfo());
    ASSERT_TRUE(Update.HasNewerFiles());
    ASSERT_FALSE(Update.RestartNeeded);
    ASSERT_TRUE(Update.DownloadUpdateFiles());
    EXPECT_EQ(Update.RunUpdater(), 0);
    EXPECT_EQ(ReadFile(F.Program + QStringLiteral("a.dat")), QByteArray("new a"));
    EXPECT_EQ(ReadFile(F.Program + QStringLiteral("sub/b.dat")), QByteArray("new b"));
    EXPECT_FALSE(QFileInfo::exists(F.Update + QStringLiteral("a.dl")));
    EXPECT_TRUE(ReadFile(F.Update + QStringLiteral("updateinfo.dat")).contains("[APP]\nDone=1\n"));
    EXPECT_FALSE(QFileInfo::exists(F.Update + QStringLiteral("runapp.log")));

    QFile::remove(F.Update + UpdaterFileName);
    EXPECT_EQ(Update.RunUpdater(), 1);
    EXPECT_EQ(ReadFile(F.Update + QStringLiteral("runapp.log")), QByteArray("2\n"));
}

// Blanks around a name, a folder or a download name: the program compares, downloads and hands over
// the names the updater then reads, so that the file compared is the file replaced.
TEST(UpdateCheckTest, TheUpdaterReplacesTheFileTheProgramCompared)
{
    const TTestUpdateTrust Trust;
    const QByteArray UpdaterBytes = ReadFile(QStringLiteral(VX_BIN_DIR "/updateapp"));
    ASSERT_FALSE(UpdaterBytes.isEmpty());
    TCheckFolders F;
    WriteFile(F.Program + QStringLiteral("sub/a.dat"), "old a", QDateTime(QDate(2020, 1, 1), QTime(0, 0)));
    TTestServer Server(TTestServer::TTransport::Https);
    Server.Answers[QStringLiteral("/check/vxrelvo16/")] = {
        200, AnswerXml(2, {"<file><name> a.dat </name><path>sub\\ </path><size>5</size><datetime>" + Stamp.toUtf8() +
                               "</datetime><dlfile> a.dl </dlfile><dlparam>a</dlparam></file>",
                           FileXml("Setup..exe", "s.dl", 5, Stamp)})};
    ServeSigned(Server.Answers, QStringLiteral("/dl/a/"), "new a");
    ServeSigned(Server.Answers, QStringLiteral("/dl/s.dl/"), "new s");
    ServeSigned(Server.Answers, QStringLiteral("/app/"), UpdaterBytes);
    TUpdateDialog Update(nullptr, {Server.Domain()}, F.Program, F.Settings);
    ASSERT_TRUE(Update.FetchUpdateInfo());
    ASSERT_EQ(Update.UpdateFiles.size(), 2);
    EXPECT_EQ(Update.UpdateFiles[0].Name, QStringLiteral("a.dat"));
    EXPECT_EQ(Update.UpdateFiles[0].Path, QStringLiteral("sub/"));
    EXPECT_EQ(Update.UpdateFiles[0].DLFile, QStringLiteral("a.dl"));
    ASSERT_TRUE(Update.HasNewerFiles());
    ASSERT_TRUE(Update.DownloadUpdateFiles());
    EXPECT_EQ(Update.RunUpdater(), 0);
    EXPECT_EQ(ReadFile(F.Program + QStringLiteral("sub/a.dat")), QByteArray("new a"));
    EXPECT_EQ(ReadFile(F.Program + QStringLiteral("Setup..exe")), QByteArray("new s"));
    EXPECT_EQ(QDir(F.Program).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              (QStringList{QStringLiteral("Setup..exe"), QStringLiteral("sub")}));
}

TEST(UpdateCheckTest, TheUpdaterRestartsTheProgramAfterAnUpdateThatNeedsIt)
{
    const TTestUpdateTrust Trust;
    const QByteArray UpdaterBytes = ReadFile(QStringLiteral(VX_BIN_DIR "/updateapp"));
    ASSERT_FALSE(UpdaterBytes.isEmpty());
    TCheckFolders F;
    // The "program" notes that it was started again.
    WriteFile(F.Program + QStringLiteral("fakeprog"), "#!/bin/sh\ntouch \"$(dirname \"$0\")/restarted\"\n");
    QFile::setPermissions(F.Program + QStringLiteral("fakeprog"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    TTestServer Server(TTestServer::TTransport::Https);
    Server.Answers[QStringLiteral("/check/vxrelvo16/")] = {
        200, AnswerXml(1, {FileXml("lib.so", "lib.dl", 5, Stamp, "<restart>1</restart>")})};
    ServeSigned(Server.Answers, QStringLiteral("/dl/lib.dl/"), "new l");
    ServeSigned(Server.Answers, QStringLiteral("/app/"), UpdaterBytes);
    TUpdateDialog Update(nullptr, {Server.Domain()}, F.Program, F.Settings);
    Update.ExeName = QStringLiteral("fakeprog");
    ASSERT_TRUE(Update.FetchUpdateInfo());
    ASSERT_TRUE(Update.HasNewerFiles());
    ASSERT_TRUE(Update.RestartNeeded);
    ASSERT_TRUE(Update.DownloadUpdateFiles());
    EXPECT_EQ(Update.RunUpdater(), 0);
    for (QDeadlineTimer Deadline(10000); !Deadline.hasExpired(); QThread::msleep(50))
        if (QFile::exists(F.Program + QStringLiteral("restarted")))
            break;
    EXPECT_TRUE(QFile::exists(F.Program + QStringLiteral("restarted")));
    EXPECT_EQ(ReadFile(F.Program + QStringLiteral("lib.so")), QByteArray("new l"));
}

// Each file states its own version: the programs and the libraries beside them are compared by it, a
// file without one by its time.
TEST(UpdateCheckTest, ComparesEachFileByItsOwnVersion)
{
    const TTestUpdateTrust Trust;
    TCheckFolders F;
    QDir().mkpath(F.Program);
    for (const char* Name : {"VxComm3.so", "VxUtil16"})
        ASSERT_TRUE(QFile::copy(QStringLiteral(VX_BIN_DIR "/") + QLatin1String(Name), F.Program + QLatin1String(Name)))
            << Name;
    WriteFile(F.Program + QStringLiteral("readme.txt"), "text");
    const QString Old = QStringLiteral("2020/01/01 00:00:00");
    TTestServer Server(TTestServer::TTransport::Https);
    Server.Answers[QStringLiteral("/check/vxrelvo16/")] = {
        200, AnswerXml(5, {FileXml("VxComm3.so", "a", 1, Old, "<version>2.0.0.8</version>"),
                           FileXml("VxComm3ip.so", "b", 1, Old, "<version>2.0.0.9</version>"),
                           FileXml("VxUtil16", "c", 1, Old, "<version>16.0.1.0</version>"),
                           FileXml("readme.txt", "d", 1, Old, "<version>1.0.0.0</version>"),
                           FileXml("VxComm3.so", "e", 1, Old, "<version>2.0.1.0</version>")})};
    TUpdateDialog Update(nullptr, {Server.Domain()}, F.Program, F.Settings);
    ASSERT_TRUE(Update.FetchUpdateInfo());
    ASSERT_TRUE(Update.HasNewerFiles());
    QStringList Offered;
    for (const TUpdateFileInfo& File : Update.UpdateFiles)
        if (File.NeedsUpdate)
            Offered << File.DLFile;
    EXPECT_EQ(Offered, (QStringList{"b", "c", "e"})) << "b is missing here, c and e are newer versions";
}

TEST(UpdateCheckTest, AnInstalledUpdateIsNotOfferedAgain)
{
    const TTestUpdateTrust Trust;
    const QByteArray Library = ReadFile(QStringLiteral(VX_BIN_DIR "/VxComm3.so"));
    const QByteArray UpdaterBytes = ReadFile(QStringLiteral(VX_BIN_DIR "/updateapp"));
    ASSERT_FALSE(Library.isEmpty());
    ASSERT_FALSE(UpdaterBytes.isEmpty());
    TCheckFolders F;
    WriteFile(F.Program + QStringLiteral("VxComm3.so"), "an old build", QDateTime(QDate(2020, 1, 1), QTime(0, 0)));
    TTestServer Server(TTestServer::TTransport::Https);
    Server.Answers[QStringLiteral("/check/vxrelvo16/")] = {
        200, AnswerXml(1, {FileXml("VxComm3.so", "vxcomm.dl", Library.size(), Stamp, "<version>2.0.0.8</version>")})};
    ServeSigned(Server.Answers, QStringLiteral("/dl/vxcomm.dl/"), Library);
    ServeSigned(Server.Answers, QStringLiteral("/app/"), UpdaterBytes);
    {
        TUpdateDialog Update(nullptr, {Server.Domain()}, F.Program, F.Settings);
        ASSERT_TRUE(Update.FetchUpdateInfo());
        ASSERT_TRUE(Update.HasNewerFiles());
        ASSERT_TRUE(Update.DownloadUpdateFiles());
        ASSERT_EQ(Update.RunUpdater(), 0);
    }
    ASSERT_EQ(ReadFile(F.Program + QStringLiteral("VxComm3.so")), Library);
    TUpdateDialog Again(nullptr, {Server.Domain()}, F.Program, F.Settings);
    ASSERT_TRUE(Again.FetchUpdateInfo());
    EXPECT_FALSE(Again.HasNewerFiles());
}

// The first file that fails takes every file of this update with it: nothing is left for an updater
// of a later run to take for its own, and no updater is kept or made executable.
TEST(UpdateCheckTest, NothingOfAFailedUpdateStays)
{
    const TTestUpdateTrust Trust;
    const struct
    {
        const char* What;
        QString Spoiled;
        TTestServer::TAnswer Answer;
        TUpdateDialog::TDownloadFailure Failure;
    } Cases[] = {
        {"the updater signed by another key",
         QStringLiteral("/app.sig/"),
         {200, TestSignature("#!/bin/sh\n", QStringLiteral("other"))},
         TUpdateDialog::TDownloadFailure::NotVerified},
        {"the second file changed",
         QStringLiteral("/dl/b.dl/"),
         {200, "new B"},
         TUpdateDialog::TDownloadFailure::NotVerified},
        {"the second file's signature missing",
         QStringLiteral("/dl/b.dl.sig/"),
         {404, "not here"},
         TUpdateDialog::TDownloadFailure::NotVerified},
        {"the updater missing", QStringLiteral("/app/"), {404, "not here"}, TUpdateDialog::TDownloadFailure::Transfer},
    };
    for (const auto& Case : Cases) {
        TCheckFolders F;
        TTestServer Server(TTestServer::TTransport::Https);
        Server.Answers[QStringLiteral("/check/vxrelvo16/")] = {
            200, AnswerXml(2, {FileXml("a.dat", "a.dl", 5, Stamp), FileXml("b.dat", "b.dl", 5, Stamp)})};
        ServeSigned(Server.Answers, QStringLiteral("/dl/a.dl/"), "new a");
        ServeSigned(Server.Answers, QStringLiteral("/dl/b.dl/"), "new b");
        ServeSigned(Server.Answers, QStringLiteral("/app/"), "#!/bin/sh\n");
        Server.Answers[Case.Spoiled] = Case.Answer;
        TUpdateDialog Update(nullptr, {Server.Domain()}, F.Program, F.Settings);
        ASSERT_TRUE(Update.FetchUpdateInfo()) << Case.What;
        ASSERT_TRUE(Update.HasNewerFiles()) << Case.What;
        EXPECT_FALSE(Update.DownloadUpdateFiles()) << Case.What;
        EXPECT_EQ(Update.DownloadFailure, Case.Failure) << Case.What;
        EXPECT_EQ(QDir(F.Update).entryList(QDir::Files | QDir::Hidden), QStringList{}) << Case.What;
        for (const TUpdateFileInfo& File : Update.UpdateFiles) {
            EXPECT_FALSE(File.Downloaded) << Case.What;
        }
        EXPECT_EQ(Update.RunUpdater(), 1) << Case.What;
    }
}

// The size of the whole update and the room for it are known from the answer: both are checked
// before a byte is fetched or written. Files that are up to date do not count.
TEST(UpdateCheckTest, TheTotalAndTheRoomAreCheckedBeforeAnythingIsWritten)
{
    const TTestUpdateTrust Trust;
    constexpr qint64 MiB = 1024 * 1024;
    const QDateTime Newer(QDate(2027, 1, 1), QTime(0, 0));
    const struct
    {
        const char* What;
        QList<qint64> Sizes;
        qint64 Free;
        bool KeyBuiltIn;
        TUpdateDialog::TDownloadFailure Failure;
    } Cases[] = {
        {"three files of 150 MiB",
         {150 * MiB, 150 * MiB, 150 * MiB},
         1024 * MiB,
         true,
         TUpdateDialog::TDownloadFailure::TooLarge},
        {"one byte above 200 MiB",
         {100 * MiB, 100 * MiB + 1},
         1024 * MiB,
         true,
         TUpdateDialog::TDownloadFailure::TooLarge},
        {"one file of 2 GiB", {qint64(2147483647)}, 4096 * MiB, true, TUpdateDialog::TDownloadFailure::TooLarge},
        {"200 MiB on a disk with 100 MiB free",
         {100 * MiB, 100 * MiB},
         100 * MiB,
         true,
         TUpdateDialog::TDownloadFailure::NoRoom},
        {"five bytes on a disk with four free", {5}, 4, true, TUpdateDialog::TDownloadFailure::NoRoom},
        {"no key built into the program", {5}, 1024 * MiB, false, TUpdateDialog::TDownloadFailure::NotVerified},
    };
    for (const auto& Case : Cases) {
        TCheckFolders F;
        // Beside the files offered, one as large as the limit that is already up to date.
        WriteFile(F.Program + QStringLiteral("current.dat"), "current", Newer);
        QList<QByteArray> Files{FileXml("current.dat", "current.dl", MaxUpdateTotalBytes, Stamp)};
        for (qsizetype I = 0; I < Case.Sizes.size(); ++I)
            Files << FileXml(QStringLiteral("f%1.dat").arg(I), QStringLiteral("f%1.dl").arg(I), Case.Sizes[I], Stamp);
        TTestServer Server(TTestServer::TTransport::Https);
        Server.Answers[QStringLiteral("/check/vxrelvo16/")] = {200, AnswerXml(Files.size(), Files)};
        TUpdateDialog Update(nullptr, {Server.Domain()}, F.Program, F.Settings);
        if (!Case.KeyBuiltIn)
            Update.Trust.PublicKey.clear();
        QStringList AskedFor;
        Update.FreeSpaceOf = [&](const QString& Folder) {
            AskedFor << Folder;
            return Case.Free;
        };
        ASSERT_TRUE(Update.FetchUpdateInfo()) << Case.What;
        ASSERT_TRUE(Update.HasNewerFiles()) << Case.What;
        EXPECT_FALSE(Update.UpdateFiles[0].NeedsUpdate) << Case.What;
        EXPECT_FALSE(Update.DownloadUpdateFiles()) << Case.What;
        EXPECT_EQ(Update.DownloadFailure, Case.Failure) << Case.What;
        EXPECT_EQ(Server.Requested, QStringList{QStringLiteral("/check/vxrelvo16/")}) << Case.What;
        EXPECT_FALSE(QFileInfo::exists(F.Update)) << Case.What;
        if (Case.Failure == TUpdateDialog::TDownloadFailure::NoRoom) {
            EXPECT_EQ(AskedFor, QStringList{F.Update}) << Case.What;
            EXPECT_EQ(Update.FreeBytes, Case.Free) << Case.What;
        }
    }
}

// The updater that starts is the file this check fetched and verified, not whatever lies in its place.
TEST(UpdateCheckTest, OnlyTheUpdaterThisCheckVerifiedIsStarted)
{
    const TTestUpdateTrust Trust;
    const QByteArray UpdaterBytes = ReadFile(QStringLiteral(VX_BIN_DIR "/updateapp"));
    ASSERT_FALSE(UpdaterBytes.isEmpty());
    TCheckFolders F;
    TTestServer Server(TTestServer::TTransport::Https);
    Server.Answers[QStringLiteral("/check/vxrelvo16/")] = {200, AnswerXml(1, {FileXml("a.dat", "a.dl", 5, Stamp)})};
    ServeSigned(Server.Answers, QStringLiteral("/dl/a.dl/"), "new a");
    ServeSigned(Server.Answers, QStringLiteral("/app/"), UpdaterBytes);
    TUpdateDialog Update(nullptr, {Server.Domain()}, F.Program, F.Settings);
    ASSERT_TRUE(Update.FetchUpdateInfo());
    ASSERT_TRUE(Update.HasNewerFiles());
    // Under the most open umask a session can have, the folder and what is fetched are the user's alone.
    const mode_t SavedUmask = umask(0);
    const bool Downloaded = Update.DownloadUpdateFiles();
    umask(SavedUmask);
    ASSERT_TRUE(Downloaded);
    const QFile::Permissions Others =
        QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    EXPECT_EQ(QFile::permissions(F.Update) & Others, QFile::Permissions{}) << "the update folder is the user's alone";
    for (const QFileInfo& Entry : QDir(F.Update).entryInfoList(QDir::Files | QDir::Hidden)) {
        EXPECT_EQ(QFile::permissions(Entry.filePath()) & Others, QFile::Permissions{})
            << Entry.fileName().toStdString();
    }
    // Put in its place, a script would run with the user's rights.
    const QString Marker = F.Dir.path() + QStringLiteral("/ran");
    WriteFile(F.Update + UpdaterFileName, "#!/bin/sh\ntouch '" + Marker.toUtf8() + "'\n");
    QFile::setPermissions(F.Update + UpdaterFileName, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(Update.RunUpdater(), 1);
    EXPECT_FALSE(QFileInfo::exists(Marker));
    EXPECT_EQ(ReadFile(F.Update + QStringLiteral("runapp.log")), QByteArray("1\n"));

    // A check that downloaded nothing starts nothing either.
    TUpdateDialog Fresh(nullptr, {Server.Domain()}, F.Program, F.Settings);
    EXPECT_EQ(Fresh.RunUpdater(), 1);
    EXPECT_FALSE(QFileInfo::exists(Marker));
}
