// The update check against a server that means harm: answers that nest without end, never stop, come
// slowly, or carry line breaks and blanks into the hand-over file; and the updater against a hand-over
// file that was tampered with.

#include "main/update/UpdDlg.h"
#include "main/update/UpdInfo.h"
#include "peers/updateapp/UpdateInfoReader.h"
#include "tests/support/TestHttpServer.h"
#include "tests/support/UpdateSigning.h"
#include "tests/unit/UpdateAnswers.h"

#include <QElapsedTimer>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

const QString CheckPath = QStringLiteral("/check/vxrelvo16/");

QByteArray Nested(int Depth)
{
    return "<?xml version=\"1.0\"?>\n<update><app>VxRelvo16</app><count>0</count><dlpath>/dl/</dlpath>" +
           QByteArray("<a>").repeated(Depth) + QByteArray("</a>").repeated(Depth) + "</update>";
}

int LoggedCode(const TCheckFolders& F)
{
    return ReadFile(F.Update + QStringLiteral("upderr.dat")).split('\n').value(1).toInt();
}

} // namespace

TEST(UpdateHostileTest, DeepNestingIsRefusedWithoutExhaustingTheStack)
{
    const TTestUpdateTrust Trust;
    // An answer needs three levels; a little more is harmless and read as before.
    EXPECT_EQ(CheckUpdateAnswer(Nested(MaxElementDepth - 2)).Code, 0);
    EXPECT_EQ(CheckUpdateAnswer(Nested(MaxElementDepth)).Code, UpdParseError);
    // Far below the answer limit, and deep enough to overflow any stack a recursive reader would use.
    const QByteArray Deep = Nested(140000);
    ASSERT_LT(Deep.size(), MaxUpdateAnswerBytes);
    EXPECT_EQ(CheckUpdateAnswer(Deep).Code, UpdParseError);

    TCheckFolders F;
    TTestServer Server(TTestServer::TTransport::Https);
    Server.Answers[CheckPath] = {200, Deep};
    TUpdateDialog Update(nullptr, {Server.Domain()}, F.Program, F.Settings);
    ASSERT_TRUE(Update.FetchUpdateInfo());
    EXPECT_EQ(Update.ErrorCode, 1000);
    EXPECT_EQ(LoggedCode(F), UpdParseError);
    EXPECT_FALSE(Update.HasNewerFiles());
}

TEST(UpdateHostileTest, AnAnswerAboveOneMebibyteIsRefusedUnread)
{
    const TTestUpdateTrust Trust;
    // Blanks after the root keep the answer valid at any length.
    const QByteArray Valid = AnswerXml(1, {FileXml("a.dat", "a.dl", 5, Stamp)});
    const QByteArray Full = Valid + QByteArray(MaxUpdateAnswerBytes - Valid.size(), ' ');
    ASSERT_EQ(Full.size(), 1024 * 1024);
    EXPECT_EQ(CheckUpdateAnswer(Full).Code, 0);
    EXPECT_EQ(CheckUpdateAnswer(Full + ' ').Code, UpdParseError);

    const struct
    {
        const char* What;
        TTestServer::TAnswer Answer;
    } Cases[] = {
        {"one byte too many", {200, Full + ' '}},
        {"a body without end", {200, Valid, -1, qint64(256) * 1024 * 1024}},
        {"announced too long", {200, Valid, 2 * MaxUpdateAnswerBytes, 0}},
    };
    for (const auto& Case : Cases) {
        TCheckFolders F;
        TTestServer Server(TTestServer::TTransport::Https);
        Server.Answers[CheckPath] = Case.Answer;
        TUpdateDialog Update(nullptr, {Server.Domain()}, F.Program, F.Settings);
        ASSERT_TRUE(Update.FetchUpdateInfo()) << Case.What;
        EXPECT_EQ(Update.ErrorCode, 1000) << Case.What;
        EXPECT_EQ(LoggedCode(F), UpdParseError) << Case.What;
        EXPECT_LE(QFileInfo(F.Update + QStringLiteral("upderr.dat")).size(), MaxUpdateAnswerBytes + 100) << Case.What;
        // What the connection still held when the program let go is not the program's memory.
        EXPECT_LT(Server.FillerSent.value(CheckPath), 64 * 1024 * 1024) << Case.What;
    }
}

TEST(UpdateHostileTest, DownloadsStopAtTheAnnouncedSize)
{
    const TTestUpdateTrust Trust;
    const struct
    {
        const char* What;
        TTestServer::TAnswer Answer;
    } Cases[] = {
        {"a body without end", {200, "12345", -1, qint64(256) * 1024 * 1024}},
        {"announced far too long", {200, "12345", qint64(1) << 40, 0}},
    };
    for (const auto& Case : Cases) {
        TCheckFolders F;
        TTestServer Server(TTestServer::TTransport::Https);
        Server.Answers[CheckPath] = {200, AnswerXml(1, {FileXml("a.dat", "a.dl", 5, Stamp)})};
        Server.Answers[QStringLiteral("/dl/a.dl/")] = Case.Answer;
        Server.Answers[QStringLiteral("/dl/a.dl.sig/")] = {200, TestSignature("12345")};
        ServeSigned(Server.Answers, QStringLiteral("/app/"), "#!/bin/sh\n");
        TUpdateDialog Update(nullptr, {Server.Domain()}, F.Program, F.Settings);
        ASSERT_TRUE(Update.FetchUpdateInfo()) << Case.What;
        ASSERT_TRUE(Update.HasNewerFiles()) << Case.What;
        QElapsedTimer Clock;
        Clock.start();
        EXPECT_FALSE(Update.DownloadUpdateFiles()) << Case.What;
        EXPECT_LT(Clock.elapsed(), 10000) << Case.What;
        EXPECT_LT(Server.FillerSent.value(QStringLiteral("/dl/a.dl/")), 64 * 1024 * 1024) << Case.What;
        EXPECT_EQ(QDir(F.Update).entryList(QDir::Files), QStringList{}) << Case.What;
        EXPECT_FALSE(Server.Requested.contains(QStringLiteral("/app/"))) << Case.What;
    }
}

TEST(UpdateHostileTest, TheCheckAndEachDownloadEndAtTheirDeadline)
{
    const TTestUpdateTrust Trust;
    // Bytes keep coming, one every 100 ms, for twenty seconds: no pause is long enough to count as a
    // stall. Ending within 8 s leaves a loaded machine under a sanitiser room for its handshakes and
    // is still far from what the server would take without the deadline.
    const TTestServer::TAnswer Slow{200, "<?xml version=\"1.0\"?>\n", -1, 200, 100};
    {
        TCheckFolders F;
        TTestServer Server(TTestServer::TTransport::Https);
        Server.Answers[CheckPath] = Slow;
        TUpdateDialog Update(nullptr, {Server.Domain()}, F.Program, F.Settings);
        Update.DeadlineMs = 500;
        QElapsedTimer Clock;
        Clock.start();
        EXPECT_FALSE(Update.FetchUpdateInfo());
        EXPECT_LT(Clock.elapsed(), 8000);
        EXPECT_EQ(Update.ErrorCode, 1501);
        EXPECT_EQ(Update.ErrorText, QStringLiteral("接続できませんでした  "));
    }
    {
        TCheckFolders F;
        TTestServer Server(TTestServer::TTransport::Https);
        Server.Answers[CheckPath] = {200, AnswerXml(1, {FileXml("a.dat", "a.dl", 500, Stamp)})};
        Server.Answers[QStringLiteral("/dl/a.dl/")] = {200, {}, 500, 500, 50};
        Server.Answers[QStringLiteral("/dl/a.dl.sig/")] = {200, TestSignature(QByteArray(500, 'x'))};
        ServeSigned(Server.Answers, QStringLiteral("/app/"), "#!/bin/sh\n");
        TUpdateDialog Update(nullptr, {Server.Domain()}, F.Program, F.Settings);
        // The check itself is answered at once, but a handshake under a sanitiser can take longer
        // than the download's deadline: only the download is held to it.
        ASSERT_TRUE(Update.FetchUpdateInfo());
        ASSERT_TRUE(Update.HasNewerFiles());
        Update.DeadlineMs = 500;
        QElapsedTimer Clock;
        Clock.start();
        EXPECT_FALSE(Update.DownloadUpdateFiles());
        EXPECT_LT(Clock.elapsed(), 8000);
        EXPECT_EQ(QDir(F.Update).entryList(QDir::Files), QStringList{});
    }
}

TEST(UpdateHostileTest, ControlCharactersNeverReachTheHandOverFile)
{
    const TTestUpdateTrust Trust;
    const struct
    {
        QByteArray File;
        int Code;
    } Cases[] = {
        {FileXml("a&#10;b", "a.dl", 1, Stamp), UpdFileNoName},
        {FileXml("a.dat", "a.dl", 1, Stamp, "<path>sub/&#10;[APP]&#10;Folder=/tmp/elsewhere/&#10;</path>"),
         UpdFileNoName},
        {FileXml("a.dat", "a.dl", 1, Stamp, "<path>sub&#13;/</path>"), UpdFileNoName},
        {FileXml("a&#x2028;b", "a.dl", 1, Stamp), UpdFileNoName},
        {FileXml("a.dat", "a&#9;dl", 1, Stamp), UpdFileNoDlFile},
        {FileXml("a.dat", "a.dl&#127;", 1, Stamp), UpdFileNoDlFile},
    };
    for (const auto& Case : Cases) {
        EXPECT_EQ(CheckUpdateAnswer(AnswerXml(1, {Case.File})).Code, Case.Code) << Case.File.constData();
    }
    QByteArray BadParam = AnswerXml(1, {FileXml("a.dat", "a.dl", 1, Stamp)});
    BadParam.replace("<dlparam>a.dl</dlparam>", "<dlparam>a&#10;dl</dlparam>");
    EXPECT_EQ(CheckUpdateAnswer(BadParam).Code, UpdFileNoDlParam);
    // Half a surrogate pair, in UTF-7, would come back from the hand-over file as another name.
    QByteArray HalfPair = AnswerXml(1, {FileXml("a.dat", "a+2AA-b", 1, Stamp)});
    HalfPair.replace("UTF-8", "UTF-7");
    EXPECT_EQ(CheckUpdateAnswer(HalfPair).Code, UpdFileNoDlFile) << HalfPair.constData();
    QByteArray BadPath = AnswerXml(0, {});
    BadPath.replace("<dlpath>/dl/</dlpath>", "<dlpath>/dl/&#10;</dlpath>");
    EXPECT_EQ(CheckUpdateAnswer(BadPath).Code, UpdEmptyDlPath);

    // Served, the line break in a path neither downloads anything nor writes a hand-over file.
    TCheckFolders F;
    TTestServer Server(TTestServer::TTransport::Https);
    Server.Answers[CheckPath] = {200, AnswerXml(1, {Cases[1].File})};
    TUpdateDialog Update(nullptr, {Server.Domain()}, F.Program, F.Settings);
    ASSERT_TRUE(Update.FetchUpdateInfo());
    EXPECT_EQ(Update.ErrorCode, 1000);
    EXPECT_EQ(LoggedCode(F), UpdFileNoName);
    EXPECT_FALSE(Update.HasNewerFiles());
    EXPECT_EQ(Server.Requested, QStringList{CheckPath});

    // A program folder whose name holds a line break cannot be handed over either.
    TUpdateFileInfo File;
    File.Name = QStringLiteral("a.dat");
    File.DLFile = QStringLiteral("a.dl");
    File.Downloaded = true;
    QDir().mkpath(F.Update);
    EXPECT_FALSE(WriteUpdateInfoFile(F.Update, QStringLiteral("VxRelvo16"), F.Program + QStringLiteral("x\n[FILE1]\n"),
                                     false, {File}));
    EXPECT_FALSE(QFileInfo::exists(F.Update + QStringLiteral("updateinfo.dat")));
    EXPECT_TRUE(WriteUpdateInfoFile(F.Update, QStringLiteral("VxRelvo16"), F.Program, false, {File}));
}

// The program decides on one file and the updater replaces a file: with blanks around a name they must
// still be the same file.
TEST(UpdateHostileTest, BlanksAroundANameStillNameTheFileTheUpdaterReplaces)
{
    const TTestUpdateTrust Trust;
    TCheckFolders F;
    // The local file is newer than the server's: nothing is to be offered.
    WriteFile(F.Program + QStringLiteral("sub/a.dat"), "a", QDateTime(QDate(2027, 1, 1), QTime(0, 0)));
    TTestServer Server(TTestServer::TTransport::Https);
    Server.Answers[CheckPath] = {200, AnswerXml(1, {FileXml(QStringLiteral("a.dat "), QStringLiteral(" a.dl "), 5,
                                                            Stamp, QStringLiteral("<path> sub/\t</path>"))})};
    TUpdateDialog Update(nullptr, {Server.Domain()}, F.Program, F.Settings);
    ASSERT_TRUE(Update.FetchUpdateInfo());
    ASSERT_EQ(Update.UpdateFiles.size(), 1);
    EXPECT_FALSE(Update.HasNewerFiles()) << "the program compared another file than a.dat";

    // Had it been offered, the updater would have replaced exactly the file compared.
    Update.UpdateFiles[0].Downloaded = true;
    QDir().mkpath(F.Update);
    ASSERT_TRUE(WriteUpdateInfoFile(F.Update, QStringLiteral("VxRelvo16"), F.Program, false, Update.UpdateFiles));
    const auto Info = UpdateInfo::Read(ReadFile(F.Update + QStringLiteral("updateinfo.dat")));
    ASSERT_TRUE(Info);
    ASSERT_EQ(Info->Files.size(), 1);
    EXPECT_EQ(Info->Files[0].Target, QDir::cleanPath(F.Program + QStringLiteral("sub/a.dat")));
    EXPECT_EQ(Info->Files[0].DLFile, QStringLiteral("a.dl"));
    EXPECT_TRUE(Info->Files[0].Inside);
}

TEST(UpdateHostileTest, TheUpdaterRefusesARepeatedSectionOrKey)
{
    TCheckFolders F;
    const QString Elsewhere = F.Dir.path() + QStringLiteral("/elsewhere/");
    const QByteArray Head =
        "[APP]\nName=Mirelo　Tolvane\nExe=VxRelvo16\nIdent=vxrelvo16\nRun=0\nFolder=" + F.Program.toUtf8() + "\n";
    const QByteArray File1 = "[FILE1]\nName=a.dat\nSize=5\nDateTime=2026/03/04 5:06:07\nDLFile=a.dl\nPath=\n";
    const struct
    {
        const char* What;
        QByteArray Text;
    } Cases[] = {
        {"a second APP section", Head + File1 + "[APP]\nFolder=" + Elsewhere.toUtf8() + "\n"},
        {"a second folder", Head + "Folder=" + Elsewhere.toUtf8() + "\n" + File1},
        {"a second FILE1", Head + File1 + "[file1]\nName=b.dat\nDLFile=a.dl\n"},
        {"a second path", Head + File1 + "PATH=../elsewhere/\n"},
        {"a control character", Head + QByteArray(File1).replace("Path=", "Path=sub\x0b")},
    };
    const QString Updater = F.Update + UpdaterFileName;
    ASSERT_TRUE(QDir().mkpath(F.Update));
    ASSERT_TRUE(QFile::copy(QStringLiteral(VX_BIN_DIR "/updateapp"), Updater));
    ASSERT_TRUE(UpdateInfo::Read(Head + File1)) << "the file as the program writes it";
    for (const auto& Case : Cases) {
        EXPECT_FALSE(UpdateInfo::Read(Case.Text)) << Case.What;
        WriteFile(F.Update + QStringLiteral("updateinfo.dat"), Case.Text);
        WriteFile(F.Update + QStringLiteral("a.dl"), "new a");
        QProcess Process;
        Process.setWorkingDirectory(F.Update);
        Process.start(Updater, {QStringLiteral("-auto")});
        ASSERT_TRUE(Process.waitForFinished(10000)) << Case.What;
        EXPECT_NE(Process.exitCode(), 0) << Case.What;
        EXPECT_TRUE(QFileInfo::exists(F.Update + QStringLiteral("a.dl"))) << Case.What << ": nothing is moved";
        EXPECT_FALSE(QFileInfo::exists(Elsewhere)) << Case.What;
        EXPECT_FALSE(QFileInfo::exists(F.Program + QStringLiteral("a.dat"))) << Case.What;
    }
}
