#include "main/update/UpdCheck.h"

#include "tests/support/ScriptedBoxes.h"
#include "tests/support/TestHttpServer.h"
#include "tests/support/UpdateSigning.h"

#include <QDir>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

QByteArray Answer(const QByteArray& Files, int Count)
{
    return "<?xml version=\"1.0\"?>\n<update><app>VxRelvo16</app><count>" + QByteArray::number(Count) +
           "</count><dlpath>/dl/</dlpath>" + Files + "</update>";
}

const QByteArray NewFile = "<file><name>new.dat</name><size>5</size><datetime>2026/01/01 00:00:00</datetime>"
                           "<dlfile>new.dl</dlfile><dlparam>new</dlparam><restart>1</restart></file>";

} // namespace

TEST(UpdCheckTest, ByHandReportsEveryOutcome)
{
    const TTestUpdateTrust Trust;
    QTemporaryDir Dir;
    const QString Program = Dir.path() + QStringLiteral("/program/");
    const QString Settings = Dir.path() + QStringLiteral("/settings/");
    QDir().mkpath(Program);
    QWidget Dialog;
    TTestServer Server(TTestServer::TTransport::Https);
    const TUpdateParameters Parameters{Server.Domain()};
    // The file's signature is there, the file is not.
    Server.Answers[QStringLiteral("/dl/new.sig/")] = {200, TestSignature("12345")};

    const struct
    {
        const char* What;
        QByteArray Body;
        QByteArray Answers;
        QStringList Starts; // the beginning of each box's text
    } Cases[] = {
        {"nothing newer", Answer("", 0), {}, {"最新のプログラムを使用しています  "}},
        {"refused answer",
         Answer(NewFile, 2),
         {},
         {"アップデートの確認がおこなえません  \r\n\r\nアップデート情報を確認できませんでした  (1000)  "}},
        {"declined", Answer(NewFile, 1), "No", {"最新のアップデートが見つかりました  "}},
        {"download fails",
         Answer(NewFile, 1),
         "Yes",
         {"最新のアップデートが見つかりました  ", "アップデートファイルがダウンロードできませんでした  "}},
    };
    for (const auto& Case : Cases) {
        TScriptedBoxes Boxes(Case.Answers);
        Server.Answers[QStringLiteral("/check/vxrelvo16/")] = {200, Case.Body};
        EXPECT_FALSE(RunUpdateCheckByHand(&Dialog, Parameters, Program, Settings)) << Case.What;
        const QStringList Texts = Boxes.Texts();
        ASSERT_EQ(Texts.size(), Case.Starts.size()) << Case.What;
        for (qsizetype I = 0; I < Case.Starts.size(); ++I)
            EXPECT_TRUE(Texts[I].startsWith(Case.Starts[I])) << Case.What << ": " << qPrintable(Texts[I]);
        EXPECT_TRUE(Dialog.isEnabled()) << Case.What;
    }

    TScriptedBoxes Boxes;
    EXPECT_FALSE(RunUpdateCheckByHand(&Dialog, {QStringLiteral("127.0.0.1:1")}, Program, Settings));
    ASSERT_EQ(Boxes.Texts().size(), 1);
    EXPECT_EQ(Boxes.Texts()[0],
              QStringLiteral("アップデートの確認がおこなえません  \r\n\r\n接続できませんでした  (1503)  \r\n\r\n"
                             "次の内容を確認をしてみてください  \r\n・インターネットに接続できる状態か  \r\n"
                             "・セキュリティソフトなどで接続の制限をかけていないか  "));
}

TEST(UpdCheckTest, StartUpStaysSilentUntilAnUpdateIsFound)
{
    const TTestUpdateTrust Trust;
    QTemporaryDir Dir;
    QWidget MainWindow;
    TTestServer Server(TTestServer::TTransport::Https);
    TScriptedBoxes Boxes("No");
    Server.Answers[QStringLiteral("/check/vxrelvo16/")] = {200, Answer(NewFile, 2)};
    EXPECT_FALSE(RunStartupUpdateCheck(&MainWindow, {Server.Domain()}, Dir.path() + "/p/", Dir.path() + "/s/"));
    EXPECT_FALSE(
        RunStartupUpdateCheck(&MainWindow, {QStringLiteral("127.0.0.1:1")}, Dir.path() + "/p/", Dir.path() + "/s/"));
    EXPECT_TRUE(Boxes.Texts().isEmpty());

    Server.Answers[QStringLiteral("/check/vxrelvo16/")] = {200, Answer(NewFile, 1)};
    EXPECT_FALSE(RunStartupUpdateCheck(&MainWindow, {Server.Domain()}, Dir.path() + "/p/", Dir.path() + "/s/"));
    const QList<QJsonObject> Shown = Boxes.Boxes();
    ASSERT_EQ(Shown.size(), 1);
    EXPECT_EQ(Shown[0].value("text").toString(), UpdatePromptText(true));
    const QString Head = QStringLiteral(
        "最新のアップデートが見つかりました  \r\nこのアップデートを適用してもよろしいですか？  \r\n\r\n");
    const QString Uac =
        QStringLiteral("※Windows 8 / 7 / Vista の場合、アップデートの途中で  \r\n"
                       "　ユーザーアカウント制御（UAC）のダイアログが表示される  \r\n　ことがあります  ");
    EXPECT_EQ(UpdatePromptText(true), Head +
                                          QStringLiteral("※自動的にアプリケーションが再起動されます  \r\n\r\n"
                                                         "※ユーティリティや起動時パスワード設定ツールは \r\n"
                                                         "　あらかじめ終了しておいてください \r\n\r\n") +
                                          Uac);
    EXPECT_EQ(UpdatePromptText(false), Head + Uac);
    EXPECT_EQ(Shown[0].value("caption").toString(), QStringLiteral("Tolvane１６"));
    EXPECT_EQ(Shown[0].value("buttons").toVariant().toStringList(), (QStringList{"Yes", "No"}));
}

// What each failure of the download tells the user over the settings dialog; nothing is kept.
TEST(UpdCheckTest, ByHandTellsWhyADownloadWasGivenUp)
{
    const TTestUpdateTrust Trust;
    QTemporaryDir Dir;
    const QString Program = Dir.path() + QStringLiteral("/program/");
    const QString Settings = Dir.path() + QStringLiteral("/settings/");
    QDir().mkpath(Program);
    QWidget Dialog;
    const QByteArray Big = "<file><name>big.dat</name><size>2000000000</size><datetime>2026/01/01 00:00:00</datetime>"
                           "<dlfile>big.dl</dlfile><dlparam>big</dlparam></file>";
    const struct
    {
        const char* What;
        QByteArray Files;
        int Count;
        QByteArray FileBody;
        QString Key;
        QString Text;
        QString Icon;
    } Cases[] = {
        {"a file changed after signing", NewFile, 1, "12346", QStringLiteral("test"),
         QStringLiteral("ダウンロードしたアップデートファイルが正規のものであることを確認できませんでした  \r\n"
                        "ファイルを削除し、アップデートを中止しました  \r\n\r\n"
                        "PelmarcoのWebサイトから直接ダウンロードしてください  "),
         QStringLiteral("Stop")},
        {"one file of 2 GB", Big, 1, "12345", QStringLiteral("test"),
         QStringLiteral("アップデートファイルの合計サイズ（1908 MB）が上限の 200 MB を超えているため  \r\n"
                        "アップデートを中止しました  "),
         QStringLiteral("Warning")},
    };
    for (const auto& Case : Cases) {
        TTestServer Server(TTestServer::TTransport::Https);
        Server.Answers[QStringLiteral("/check/vxrelvo16/")] = {200, Answer(Case.Files, Case.Count)};
        Server.Answers[QStringLiteral("/dl/new/")] = {200, Case.FileBody};
        Server.Answers[QStringLiteral("/dl/new.sig/")] = {200, TestSignature("12345", Case.Key)};
        TScriptedBoxes Boxes("Yes");
        EXPECT_FALSE(RunUpdateCheckByHand(&Dialog, {Server.Domain()}, Program, Settings)) << Case.What;
        const QList<QJsonObject> Shown = Boxes.Boxes();
        ASSERT_EQ(Shown.size(), 2) << Case.What;
        EXPECT_EQ(Shown[1].value("text").toString(), Case.Text) << Case.What;
        EXPECT_EQ(Shown[1].value("icon").toString(), Case.Icon) << Case.What;
        EXPECT_EQ(QDir(Settings + QStringLiteral("update/")).entryList(QDir::Files), QStringList{}) << Case.What;
        EXPECT_TRUE(Dialog.isEnabled()) << Case.What;
    }
}
