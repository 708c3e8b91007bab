// The update check of the real program against a local HTTPS update server that signs with the test
// key: a signed update is fetched, verified and started; any file that is not the maker's, a server
// that cannot prove it is the update host, and an update too large to fetch leave nothing behind and
// start nothing, with one box that says so.

#include "main/update/UpdInfo.h"
#include "tests/support/ProgramHarness.h"
#include "tests/support/TestHttpServer.h"
#include "tests/support/UpdateSigning.h"
#include "tests/unit/UpdateAnswers.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>

namespace {

using TAnswers = QHash<QString, TTestServer::TAnswer>;

const QString CheckPath = QStringLiteral("/check/vxrelvo16/");
const QString NewReadme = QStringLiteral("/dl/readme/");
const QByteArray NewReadmeBytes = "新しい説明書\n";
const QString Verifying =
    QStringLiteral("ダウンロードしたアップデートファイルが正規のものであることを確認できませんでした  \r\n"
                   "ファイルを削除し、アップデートを中止しました  \r\n\r\n"
                   "PelmarcoのWebサイトから直接ダウンロードしてください  ");

bool Eventually(const std::function<bool()>& Condition)
{
    QElapsedTimer Clock;
    Clock.start();
    while (Clock.elapsed() < TProgramHarness::Patience) {
        if (Condition())
            return true;
        QThread::msleep(50);
    }
    return Condition();
}

// An answer offering readme.txt, which the program folder lacks, and the updater stand-in.
TAnswers SignedUpdate(int Size = NewReadmeBytes.size())
{
    TAnswers Answers;
    Answers[CheckPath] = {200, AnswerXml(1, {FileXml(QStringLiteral("readme.txt"), QStringLiteral("readme"), Size,
                                                     Stamp, QStringLiteral("<version>16.0.1.0</version>"))})};
    ServeSigned(Answers, NewReadme, NewReadmeBytes);
    ServeSigned(Answers, QStringLiteral("/app/"), ReadFile(QStringLiteral(VX_BIN_DIR "/updateapp")));
    return Answers;
}

// The test build in a program folder of its own, its update check on at start, its server the local
// one; every question is answered Yes.
class TUpdateProgram
{
public:
    explicit TUpdateProgram(const TTestServerThread& Server, bool TestBuild = true)
    {
        if (TestBuild)
            Folder = Program.UseTestBuild();
        Program.Environment().insert(QStringLiteral("VX_TEST_UPDATE_KEY"),
                                     QStringLiteral(VX_TEST_DATA_DIR "/update-sign-test.pub"));
        Program.Environment().insert(QStringLiteral("VX_TEST_UPDATE_CA"), TestAuthorityFile);
        Program.Environment().insert(QStringLiteral("VX_MSGBOX_ANSWERS"), QStringLiteral("Yes,Yes,Yes"));
        Program.SetSetting(QStringLiteral("UPDATE PARAMETER"), QStringLiteral("Domain"), Server.Domain());
    }

    [[nodiscard]] QString UpdateFolder() const { return Program.SettingsFolder() + QStringLiteral("update/"); }
    // The boxes of the update; a machine without a CD drive is told so at every start, before it.
    [[nodiscard]] QList<QJsonObject> Boxes() const
    {
        QList<QJsonObject> Result;
        for (const QJsonObject& Box : Program.Boxes())
            if (!Box.value(QStringLiteral("text")).toString().startsWith(QStringLiteral("使用可能な CD-ROM ")))
                Result << Box;
        return Result;
    }
    [[nodiscard]] QStringList Texts() const
    {
        QStringList Result;
        for (const QJsonObject& Box : Boxes())
            Result << Box.value(QStringLiteral("text")).toString();
        return Result;
    }
    // The start-up check: waits until Count boxes were shown, then a moment for anything after them.
    [[nodiscard]] bool RunStartupCheck(int Count)
    {
        Program.SetSetting(QStringLiteral("AUTO UPDATE"), QStringLiteral("UpdateCheck"), QStringLiteral("1"));
        if (!Program.Start() || !Eventually([&] { return Boxes().size() >= Count; }))
            return false;
        QThread::msleep(500);
        return true;
    }
    // The settings dialog's "アップデートの確認(&U)", with the check at start off.
    [[nodiscard]] bool RunCheckByHand()
    {
        if (!Program.StartAndWaitForLine() || !Program.WaitForWindow(QStringLiteral("MainForm")))
            return false;
        Program.AnswerDialog(QStringLiteral("MainForm"), {}, QStringLiteral("tbtnEnv"));
        Program.AnswerDialog(QStringLiteral("Environment"), {}, QStringLiteral("bbtnUpdateConfirm"));
        Program.AnswerDialog(QStringLiteral("Environment"), {}, QStringLiteral("btnCancel"));
        if (!Eventually([&] { return !Boxes().isEmpty(); }))
            return false;
        QThread::msleep(500);
        return true;
    }
    // Nothing of the update stayed in the update folder, and no updater ran.
    void ExpectNothingKept(const char* What) const
    {
        const QStringList Left =
            QDir(UpdateFolder()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
        EXPECT_EQ(Left, QStringList{}) << What;
        EXPECT_FALSE(QFileInfo::exists(Folder + QStringLiteral("readme.txt"))) << What;
    }

    TProgramHarness Program;
    QString Folder;
};

} // namespace

TEST(UpdateE2ETest, ASignedUpdateIsFetchedVerifiedAndStarted)
{
    const TTestServerThread Server(TTestServer::TTransport::Https, SignedUpdate());
    TUpdateProgram Update(Server);
    ASSERT_TRUE(Update.RunStartupCheck(1));
    ASSERT_TRUE(Eventually([&] { return ReadFile(Update.Folder + QStringLiteral("readme.txt")) == NewReadmeBytes; }))
        << "the updater moved the verified file into the program folder";
    // The updater marks the hand-over file only after its last move: the file can be there before the mark.
    EXPECT_TRUE(Eventually(
        [&] { return ReadFile(Update.UpdateFolder() + QStringLiteral("updateinfo.dat")).contains("Done=1"); }));

    const QList<QJsonObject> Boxes = Update.Boxes();
    ASSERT_EQ(Boxes.size(), 1) << qPrintable(Update.Texts().join(QLatin1Char('\n')));
    const QString Prompt = Boxes[0].value(QStringLiteral("text")).toString();
    EXPECT_TRUE(Prompt.startsWith(QStringLiteral("最新のアップデートが見つかりました  \r\n")));
    EXPECT_TRUE(Prompt.contains(QStringLiteral("　readme.txt　バージョン 16.0.1.0  \r\n"))) << qPrintable(Prompt);
    EXPECT_TRUE(Prompt.contains(QStringLiteral("配布元：") + Server.Domain() + QStringLiteral("  \r\n")))
        << qPrintable(Prompt);
    EXPECT_EQ(Boxes[0].value(QStringLiteral("default")).toString(), QStringLiteral("No"));
    EXPECT_EQ(Server.Requested(), (QStringList{CheckPath, QStringLiteral("/dl/readme.sig/"), NewReadme,
                                               QStringLiteral("/app.sig/"), QStringLiteral("/app/")}));
    EXPECT_EQ(Update.Program.Process().state(), QProcess::Running) << "no restart was asked for";
}

// Each file that is not the maker's as it was signed: the first failing file stops the update, and
// what was already fetched and verified goes with it.
TEST(UpdateE2ETest, AFileThatIsNotTheMakersIsDeletedAndNothingStarts)
{
    const QByteArray Updater = ReadFile(QStringLiteral(VX_BIN_DIR "/updateapp"));
    ASSERT_FALSE(Updater.isEmpty());
    QByteArray Changed = Updater;
    Changed[Changed.size() / 2] = static_cast<char>(Changed[Changed.size() / 2] ^ 0x01);
    const struct
    {
        const char* What;
        std::function<void(TAnswers&)> Spoil;
    } Cases[] = {
        {"one byte of the updater changed after signing",
         [&](TAnswers& A) {
             A[QStringLiteral("/app/")] = {200, Changed};
         }},
        {"no signature beside the file", [](TAnswers& A) { A.remove(QStringLiteral("/dl/readme.sig/")); }},
        {"the updater signed by another key",
         [&](TAnswers& A) { ServeSigned(A, QStringLiteral("/app/"), Updater, QStringLiteral("other")); }},
        {"a signature of the wrong length", [](TAnswers& A) { A[QStringLiteral("/dl/readme.sig/")].Body.chop(1); }},
    };
    for (const auto& Case : Cases) {
        TAnswers Answers = SignedUpdate();
        Case.Spoil(Answers);
        const TTestServerThread Server(TTestServer::TTransport::Https, Answers);
        TUpdateProgram Update(Server);
        ASSERT_TRUE(Update.RunStartupCheck(2)) << Case.What;
        EXPECT_EQ(Update.Texts().size(), 2) << Case.What;
        EXPECT_EQ(Update.Texts().value(1), Verifying) << Case.What;
        EXPECT_EQ(Update.Boxes().value(1).value(QStringLiteral("icon")).toString(), QStringLiteral("Stop"))
            << Case.What;
        Update.ExpectNothingKept(Case.What);
        EXPECT_EQ(Update.Program.Process().state(), QProcess::Running) << Case.What;
    }
}

// A redirect that leaves the update host is not followed: neither to another name of this machine,
// whose certificate the test authority vouches for, nor to plain HTTP on the same host.
TEST(UpdateE2ETest, ARedirectAwayFromTheUpdateHostIsRefused)
{
    for (const char* Target : {"https://localhost:%1/dl/readme/", "http://127.0.0.1:%1/dl/readme/"}) {
        TAnswers Answers = SignedUpdate();
        TTestServerThread Probe(TTestServer::TTransport::Https, {});
        Answers[NewReadme] = {302, {}, -1, 0, 0, QString::fromLatin1(Target).arg(Probe.Port()).toUtf8()};
        const TTestServerThread Server(TTestServer::TTransport::Https, Answers);
        TUpdateProgram Update(Server);
        ASSERT_TRUE(Update.RunStartupCheck(2)) << Target;
        EXPECT_EQ(Update.Texts().value(1), QStringLiteral("アップデートの接続先のサーバーを確認できませんでした  \r\n"
                                                          "アップデートを中止しました  \r\n\r\n"
                                                          "PelmarcoのWebサイトから直接ダウンロードしてください  "))
            << Target;
        EXPECT_EQ(Update.Texts().size(), 2) << Target;
        EXPECT_EQ(Probe.Connections(), 0) << Target << ": the redirect was not followed";
        Update.ExpectNothingKept(Target);
    }
}

// A server that speaks plain HTTP, or whose certificate names another host, is no update host; the
// settings dialog's check says so and fetches nothing.
TEST(UpdateE2ETest, ThePlainOrWronglyNamedServerIsNoUpdateHost)
{
    const struct
    {
        const char* What;
        TTestServer::TTransport Transport;
        QString Certificate;
    } Cases[] = {
        {"plain HTTP", TTestServer::TTransport::Http, QStringLiteral("server")},
        {"a certificate for another name", TTestServer::TTransport::Https, QStringLiteral("othername")},
    };
    for (const auto& Case : Cases) {
        const TTestServerThread Server(Case.Transport, SignedUpdate(), Case.Certificate);
        TUpdateProgram Update(Server);
        ASSERT_TRUE(Update.RunCheckByHand()) << Case.What;
        ASSERT_EQ(Update.Texts().size(), 1) << Case.What << qPrintable(Update.Texts().join(QLatin1Char('\n')));
        EXPECT_TRUE(Update.Texts()[0].startsWith(
            QStringLiteral("アップデートの確認がおこなえません  \r\n\r\n接続先のサーバーを確認できませんでした  (")))
            << Case.What << qPrintable(Update.Texts()[0]);
        EXPECT_EQ(Server.Requested(), QStringList{}) << Case.What << ": no request went over the connection";
        EXPECT_GE(Server.Connections(), 1) << Case.What;
        Update.ExpectNothingKept(Case.What);
    }
}

// The shipped program takes no key and no authority from the environment: the test server's
// certificate means nothing to it.
TEST(UpdateE2ETest, TheShippedProgramTrustsNothingTheEnvironmentNames)
{
    const TTestServerThread Server(TTestServer::TTransport::Https, SignedUpdate());
    TUpdateProgram Update(Server, false);
    ASSERT_TRUE(Update.RunCheckByHand());
    ASSERT_EQ(Update.Texts().size(), 1);
    EXPECT_TRUE(Update.Texts()[0].contains(QStringLiteral("接続先のサーバーを確認できませんでした  ")))
        << qPrintable(Update.Texts()[0]);
    EXPECT_EQ(Server.Requested(), QStringList{});
}

// Three files of 150 MiB: the update is refused before anything is fetched or written.
TEST(UpdateE2ETest, AnUpdateAboveTheTotalLimitIsRefusedBeforeAnythingIsWritten)
{
    constexpr qint64 Big = qint64(150) * 1024 * 1024;
    TAnswers Answers = SignedUpdate();
    QList<QByteArray> Files;
    for (const char* Name : {"a.dat", "b.dat", "c.dat"})
        Files << FileXml(QLatin1String(Name), QLatin1String(Name), Big, Stamp);
    Answers[CheckPath] = {200, AnswerXml(3, Files)};
    const TTestServerThread Server(TTestServer::TTransport::Https, Answers);
    TUpdateProgram Update(Server);
    ASSERT_TRUE(Update.RunStartupCheck(2));
    ASSERT_EQ(Update.Texts().size(), 2);
    EXPECT_EQ(Update.Texts()[1],
              QStringLiteral("アップデートファイルの合計サイズ（450 MB）が上限の 200 MB を超えているため  \r\n"
                             "アップデートを中止しました  "));
    EXPECT_EQ(Server.Requested(), QStringList{CheckPath});
    EXPECT_FALSE(QFileInfo::exists(Update.UpdateFolder())) << "not even the update folder was made";
}

// With the update host left at the placeholder the build ships with, the check at start sends
// nothing: not to a proxy, which would be asked for any host. A host that is named is asked through it.
TEST(UpdateE2ETest, ThePlaceholderHostSendsNothingAtStart)
{
    for (const bool Named : {false, true}) {
        const TTestServerThread Proxy(TTestServer::TTransport::Http, {});
        const TTestServerThread Unused(TTestServer::TTransport::Https, {});
        TUpdateProgram Update(Unused);
        Update.Program.SetSetting(QStringLiteral("UPDATE PARAMETER"), QStringLiteral("Domain"),
                                  Named ? QStringLiteral("update.example.com") : DefaultUpdateDomain);
        const QString ProxyUrl = QStringLiteral("http://127.0.0.1:%1").arg(Proxy.Port());
        for (const char* Variable : {"http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY", "all_proxy"})
            Update.Program.Environment().insert(QLatin1String(Variable), ProxyUrl);
        for (const char* Variable : {"no_proxy", "NO_PROXY"})
            Update.Program.Environment().remove(QLatin1String(Variable));
        Update.Program.SetSetting(QStringLiteral("AUTO UPDATE"), QStringLiteral("UpdateCheck"), QStringLiteral("1"));
        ASSERT_TRUE(Update.Program.StartAndWaitForLine()) << Named;
        if (Named) {
            EXPECT_TRUE(Eventually([&] { return Proxy.Connections() > 0; })) << "the check goes through the proxy";
        } else {
            QThread::msleep(2000);
            EXPECT_EQ(Proxy.Connections(), 0);
        }
        EXPECT_EQ(Update.Texts(), QStringList{}) << Named;
    }
}
