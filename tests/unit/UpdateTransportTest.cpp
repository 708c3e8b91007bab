// Who may answer the update check: only a server that proves over TLS it is the update host, and
// only from that host; nobody at all while the host is the placeholder.

#include "main/update/UpdDlg.h"
#include "tests/support/TestHttpServer.h"
#include "tests/support/UpdateSigning.h"
#include "tests/unit/UpdateAnswers.h"

#include <QNetworkReply>
#include <gtest/gtest.h>

namespace {

const QString CheckPath = QStringLiteral("/check/vxrelvo16/");
const QString Insecure = QStringLiteral("接続先のサーバーを確認できませんでした  ");

QByteArray GoodAnswer()
{
    return AnswerXml(1, {FileXml(QStringLiteral("a.dat"), QStringLiteral("a.dl"), 5, Stamp)});
}

} // namespace

TEST(UpdateTransportTest, OnlyACertificateForTheHostFromATrustedAuthorityIsTaken)
{
    const struct
    {
        const char* What;
        TTestServer::TTransport Transport;
        QString Certificate;
        TUpdateTrust Trust;
        bool Taken;
    } Cases[] = {
        {"the update host", TTestServer::TTransport::Https, QStringLiteral("server"), TestUpdateTrust(), true},
        {"a certificate for another name", TTestServer::TTransport::Https, QStringLiteral("othername"),
         TestUpdateTrust(), false},
        {"an authority the system does not know", TTestServer::TTransport::Https, QStringLiteral("server"),
         TUpdateTrust{TestPublicKey(), {}}, false},
        {"plain HTTP", TTestServer::TTransport::Http, QStringLiteral("server"), TestUpdateTrust(), false},
    };
    for (const auto& Case : Cases) {
        TCheckFolders F;
        TTestServer Server(Case.Transport, Case.Certificate);
        Server.Answers[CheckPath] = {200, GoodAnswer()};
        TUpdateDialog Update(nullptr, {Server.Domain()}, F.Program, F.Settings);
        Update.Trust = Case.Trust;
        EXPECT_EQ(Update.FetchUpdateInfo(), Case.Taken) << Case.What;
        if (Case.Taken) {
            EXPECT_EQ(Update.ErrorCode, 0) << Case.What;
            EXPECT_EQ(Server.Requested, QStringList{CheckPath}) << Case.What;
            continue;
        }
        EXPECT_EQ(Update.ErrorText, Insecure) << Case.What;
        EXPECT_EQ(Update.ErrorCode, int(QNetworkReply::SslHandshakeFailedError)) << Case.What;
        EXPECT_EQ(Server.Requested, QStringList{}) << Case.What << ": nothing was asked of it";
        EXPECT_TRUE(Update.UpdateFiles.isEmpty()) << Case.What;
        EXPECT_GE(Server.Connections, 1) << Case.What;
    }
}

TEST(UpdateTransportTest, ARedirectStaysOnTheUpdateHost)
{
    TTestServer Elsewhere(TTestServer::TTransport::Https);
    Elsewhere.Answers[CheckPath] = {200, GoodAnswer()};
    const struct
    {
        const char* What;
        QString Location;
        bool Followed;
    } Cases[] = {
        {"another path of the host", QStringLiteral("/moved/"), true},
        {"another name of this machine", QStringLiteral("https://localhost:%1/check/vxrelvo16/"), false},
        {"another port of the host", QStringLiteral("https://127.0.0.1:%1/check/vxrelvo16/"), false},
        {"plain HTTP", QStringLiteral("http://127.0.0.1:%1/check/vxrelvo16/"), false},
    };
    for (const auto& Case : Cases) {
        TCheckFolders F;
        TTestServer Server(TTestServer::TTransport::Https);
        Server.Answers[CheckPath] = {301, {}, -1, 0, 0, Case.Location.arg(Elsewhere.Port()).toUtf8()};
        Server.Answers[QStringLiteral("/moved/")] = {200, GoodAnswer()};
        Elsewhere.Requested.clear();
        TUpdateDialog Update(nullptr, {Server.Domain()}, F.Program, F.Settings);
        Update.Trust = TestUpdateTrust();
        EXPECT_EQ(Update.FetchUpdateInfo(), Case.Followed) << Case.What;
        EXPECT_EQ(Update.UpdateFiles.size(), Case.Followed ? 1 : 0) << Case.What;
        EXPECT_EQ(Elsewhere.Requested, QStringList{}) << Case.What;
        if (!Case.Followed) {
            EXPECT_EQ(Update.ErrorCode, int(QNetworkReply::InsecureRedirectError)) << Case.What;
            EXPECT_EQ(Update.ErrorText, Insecure) << Case.What;
        }
    }
}

TEST(UpdateTransportTest, APlaceholderHostIsNeverAsked)
{
    // A proxy is asked for any host, resolvable or not: nothing may reach it.
    TTestServer Proxy;
    const QByteArray Url = "http://127.0.0.1:" + QByteArray::number(Proxy.Port());
    for (const char* Variable : {"http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY"})
        qputenv(Variable, Url);
    TCheckFolders F;
    for (const QString& Domain :
         {DefaultUpdateDomain, QStringLiteral("UPDATE.Tolvane.INVALID:8443"), QStringLiteral("update.tolvane.invalid."),
          QStringLiteral("mirror.example.invalid"), QStringLiteral("  ")}) {
        TUpdateDialog Update(nullptr, {Domain}, F.Program, F.Settings);
        EXPECT_FALSE(Update.FetchUpdateInfo()) << qPrintable(Domain);
        EXPECT_EQ(Update.ErrorCode, 1502) << qPrintable(Domain);
        EXPECT_FALSE(NamesUpdateServer({Domain})) << qPrintable(Domain);
    }
    EXPECT_EQ(Proxy.Connections, 0);
    // A named host is asked through the proxy: the check above would have seen a request.
    TUpdateDialog Named(nullptr, {QStringLiteral("update.example.com")}, F.Program, F.Settings);
    Named.DeadlineMs = 5000;
    EXPECT_FALSE(Named.FetchUpdateInfo());
    EXPECT_GE(Proxy.Connections, 1);
    EXPECT_TRUE(NamesUpdateServer({QStringLiteral("update.tolvane.example:8443")}));
    EXPECT_TRUE(NamesUpdateServer({QStringLiteral("127.0.0.1:8443")}));
    for (const char* Variable : {"http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY"})
        qunsetenv(Variable);
}
