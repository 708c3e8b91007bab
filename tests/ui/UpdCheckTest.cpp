#include "main/update/UpdCheck.h"

#include "tests/support/ScriptedBoxes.h"
#include "tests/support/TestHttpServer.h"
#include "tests/support/UpdateSigning.h"

#include <QDir>
#include <QFileInfo>
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
const QByteArray VersionedFile = "<file><name>VxComm3.so</name><size>5</size><datetime>2026/01/01 00:00:00</datetime>"
                                 "<dlfile>c.dl</dlfile><dlparam>c</dlparam><version>2.0.1.0</version></file>";

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
        for (qsizetype I = 0; I < Case.Starts.size(); ++I) {
            EXPECT_TRUE(Texts[I].startsWith(Case.Starts[I])) << Case.What << ": " << qPrintable(Texts[I]);
        }
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
    TScriptedBoxes Boxes;
    Server.Answers[QStringLiteral("/check/vxrelvo16/")] = {200, Answer(NewFile, 2)};
    EXPECT_FALSE(RunStartupUpdateCheck(&MainWindow, {Server.Domain()}, Dir.path() + "/p/", Dir.path() + "/s/"));
    EXPECT_FALSE(
        RunStartupUpdateCheck(&MainWindow, {QStringLiteral("127.0.0.1:1")}, Dir.path() + "/p/", Dir.path() + "/s/"));
    EXPECT_TRUE(Boxes.Texts().isEmpty());

    // Unanswered, the question declines: its default is いいえ.
    Server.Answers[QStringLiteral("/check/vxrelvo16/")] = {200, Answer(NewFile + VersionedFile, 2)};
    EXPECT_FALSE(RunStartupUpdateCheck(&MainWindow, {Server.Domain()}, Dir.path() + "/p/", Dir.path() + "/s/"));
    const QList<QJsonObject> Shown = Boxes.Boxes();
    ASSERT_EQ(Shown.size(), 1);
    const QString Head = QStringLiteral(
        "最新のアップデートが見つかりました  \r\nこのアップデートを適用してもよろしいですか？  \r\n\r\n");
    const QString What = QStringLiteral("更新されるファイル：  \r\n　new.dat　2026/01/01 00:00:00  \r\n"
                                        "　VxComm3.so　バージョン 2.0.1.0  \r\n配布元：") +
                         Server.Domain() + QStringLiteral("  \r\n\r\n");
    const QString Restart = QStringLiteral("※自動的にアプリケーションが再起動されます  \r\n\r\n"
                                           "※ユーティリティや起動時パスワード設定ツールは \r\n"
                                           "　あらかじめ終了しておいてください \r\n\r\n");
    const QString Uac =
        QStringLiteral("※Windows 8 / 7 / Vista の場合、アップデートの途中で  \r\n"
                       "　ユーザーアカウント制御（UAC）のダイアログが表示される  \r\n　ことがあります  ");
    EXPECT_EQ(Shown[0].value("text").toString(), Head + What + Restart + Uac);
    EXPECT_EQ(Shown[0].value("caption").toString(), QStringLiteral("Tolvane１６"));
    EXPECT_EQ(Shown[0].value("buttons").toVariant().toStringList(), (QStringList{"Yes", "No"}));
    EXPECT_EQ(Shown[0].value("default").toString(), QStringLiteral("No"));
    EXPECT_EQ(Server.Requested.count(QStringLiteral("/check/vxrelvo16/")), Server.Requested.size())
        << "declined, nothing was fetched";
    EXPECT_FALSE(QFileInfo::exists(Dir.path() + "/s/update/new.dl"));
}

TEST(UpdCheckTest, ThePromptNamesTheFilesAndTheHost)
{
    QList<TUpdateFileInfo> Files;
    for (int I = 1; I <= 12; ++I) {
        TUpdateFileInfo File;
        File.Name = QStringLiteral("f%1.dat").arg(I);
        File.Path = I == 1 ? QStringLiteral("Dic/") : QString();
        File.Version = I == 2 ? QStringLiteral("1.2.3.4") : QString();
        File.DateTime = QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7));
        File.NeedsUpdate = I != 3;
        Files << File;
    }
    const QString Text = UpdatePromptText(false, Files, QStringLiteral("update.example.jp"));
    EXPECT_TRUE(Text.contains(QStringLiteral("\r\n\r\n更新されるファイル：  \r\n　Dic/f1.dat　2026/03/04 05:06:07  \r\n"
                                             "　f2.dat　バージョン 1.2.3.4  \r\n　f4.dat　")))
        << qPrintable(Text) << ": the files to update only, each with its version or else its time";
    EXPECT_TRUE(Text.contains(QStringLiteral("　f11.dat　2026/03/04 05:06:07  \r\n　ほか 1 ファイル  \r\n"
                                             "配布元：update.example.jp  \r\n\r\n※Windows")))
        << qPrintable(Text) << ": ten files are named, the rest counted";
    EXPECT_FALSE(Text.contains(QStringLiteral("f12.dat")));
    EXPECT_FALSE(Text.contains(QStringLiteral("自動的に")));
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
