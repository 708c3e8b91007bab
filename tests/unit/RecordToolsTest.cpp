#include "HisTableFixture.h"
#include "calls/DialPorts.h"
#include "directory/record/MeiboHistory.h"
#include "main/common/ShellOpen.h"
#include "main/settings/Settings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

// What the record windows hand to the desktop and the adapter, and which calls they list.

TEST(MailtoUrlTest, TheAddressCannotAddHeadersOrAttachments)
{
    EXPECT_EQ(MailtoUrlText(QStringLiteral("a@example.jp")), QStringLiteral("mailto:a@example.jp"));
    EXPECT_EQ(MailtoUrlText(QStringLiteral("mailto:a@example.jp")), QStringLiteral("mailto:a@example.jp"))
        << "a scheme already there is not doubled";
    const QString Hostile = MailtoUrlText(QStringLiteral("a@example.jp?attach=/etc/passwd&body=x\r\nBcc:b@x.jp#y"));
    EXPECT_EQ(Hostile, QStringLiteral("mailto:a@example.jp%3Fattach=%2Fetc%2Fpasswd%26body=x%0D%0ABcc:b@x.jp%23y"));
    const QUrl Url(Hostile, QUrl::StrictMode);
    ASSERT_TRUE(Url.isValid());
    EXPECT_TRUE(Url.query().isEmpty()) << "no header reaches the mail program";
    EXPECT_FALSE(Url.hasFragment());
    EXPECT_EQ(MailtoUrlText(QStringLiteral("山田@例え.jp")).left(7), QStringLiteral("mailto:"));
}

TEST(AttachedFileTest, OnlyAPlainDocumentGoesToTheOpener)
{
    QTemporaryDir Dir;
    const auto Write = [&Dir](const QString& Name, const QByteArray& Bytes, bool Executable = false) {
        const QString Path = Dir.filePath(Name);
        QFile File(Path);
        EXPECT_TRUE(File.open(QIODevice::WriteOnly));
        File.write(Bytes);
        File.close();
        QFile::Permissions Mode = QFile::ReadOwner | QFile::WriteOwner;
        if (Executable)
            Mode |= QFile::ExeOwner;
        File.setPermissions(Mode);
        return Path;
    };
    EXPECT_EQ(ClassifyAttachedFile(Write(QStringLiteral("見積.pdf"), "%PDF-1.4\n")), TAttachedFileKind::Document);
    EXPECT_EQ(ClassifyAttachedFile(Write(QStringLiteral("memo.txt"), "memo\n")), TAttachedFileKind::Document);
    EXPECT_EQ(ClassifyAttachedFile(Dir.filePath(QStringLiteral("gone.pdf"))), TAttachedFileKind::Missing);
    EXPECT_EQ(ClassifyAttachedFile(QString()), TAttachedFileKind::Missing);
    EXPECT_EQ(ClassifyAttachedFile(Write(QStringLiteral("run.pdf"), "%PDF-1.4\n", true)), TAttachedFileKind::Runnable)
        << "whatever its name, a file with the execute bit is a program";
    EXPECT_EQ(ClassifyAttachedFile(Write(QStringLiteral("setup.sh"), "echo\n")), TAttachedFileKind::Runnable);
    EXPECT_EQ(ClassifyAttachedFile(Write(QStringLiteral("tool.desktop"), "[Desktop Entry]\nExec=xterm\n")),
              TAttachedFileKind::Runnable);
    EXPECT_EQ(ClassifyAttachedFile(Write(QStringLiteral("readme"), "#!/bin/sh\nrm -rf ~\n")),
              TAttachedFileKind::Runnable)
        << "a script without a suffix is known by its first line";
    EXPECT_EQ(ClassifyAttachedFile(Write(QStringLiteral("a.out"), QByteArray("\x7f"
                                                                             "ELF\x02\x01\x01\x00",
                                                                             8) +
                                                                      QByteArray(56, '\0'))),
              TAttachedFileKind::Runnable);
    EXPECT_EQ(ClassifyAttachedFile(Dir.path()), TAttachedFileKind::Runnable) << "a folder is no document";
}

// The type the name gives and the type the content gives must both be a document's (or tell nothing):
// a launcher, a package or a program under a document's name is refused, and so is a type that is no
// document at all.
TEST(AttachedFileTest, OnlyDocumentTypesGoToTheOpenerWhateverTheName)
{
    QTemporaryDir Dir;
    QFile Self(QStringLiteral("/proc/self/exe"));
    ASSERT_TRUE(Self.open(QIODevice::ReadOnly));
    const QByteArray Elf = Self.read(4096);
    const QByteArray Jnlp = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<jnlp spec=\"1.0+\" "
                            "codebase=\"http://x.example\">\n<application-desc main-class=\"X\"/>\n</jnlp>\n";
    const QByteArray FlatpakRef = "[Flatpak Ref]\nName=org.example.App\nUrl=https://x.example/repo\n";
    const QByteArray Deb = "!<arch>\ndebian-binary   1342  0     0     100644  4         `\n2.0\n";
    const QByteArray Snap = QByteArray("hsqs") + QByteArray(60, '\0');
    const QByteArray Png = QByteArray("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16);
    const QByteArray Jpeg = QByteArray("\xff\xd8\xff\xe0\0\x10JFIF\0", 11);
    const QByteArray Ole = QByteArray("\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1", 8) + QByteArray(504, '\0');
    const QByteArray Zip = QByteArray("PK\x03\x04\x14\0\0\0", 8) + QByteArray(22, '\0');
    const QByteArray Desktop = "[Desktop Entry]\nType=Application\nExec=xterm\n";
    const struct
    {
        const char* Name;
        QByteArray Content;
        TAttachedFileKind Kind;
    } Cases[] = {
        {"見積.pdf", "%PDF-1.4\n", TAttachedFileKind::Document},
        {"電話メモ.txt", "折り返し連絡\n", TAttachedFileKind::Document},
        {"顧客一覧.csv", "03-1234-5678,山田\n", TAttachedFileKind::Document},
        {"empty.txt", "", TAttachedFileKind::Document},
        {"地図.png", Png, TAttachedFileKind::Document},
        {"地図", Png, TAttachedFileKind::Document},
        {"写真.jpg", Jpeg, TAttachedFileKind::Document},
        {"写真.jpg", Png, TAttachedFileKind::Document},
        {"報告.docx", Zip, TAttachedFileKind::Document},
        {"集計.xlsx", Zip, TAttachedFileKind::Document},
        {"古い報告.doc", Ole, TAttachedFileKind::Document},
        {"古い集計.xls", Ole, TAttachedFileKind::Document},
        {"資料.zip", Zip, TAttachedFileKind::Document},
        {"起動.jnlp", Jnlp, TAttachedFileKind::Unlisted},
        {"見積.xml", Jnlp, TAttachedFileKind::Unlisted},
        {"見積.txt", Jnlp, TAttachedFileKind::Unlisted},
        {"app.flatpakref", FlatpakRef, TAttachedFileKind::Unlisted},
        {"memo.txt", FlatpakRef, TAttachedFileKind::Unlisted},
        {"tool.deb", Deb, TAttachedFileKind::Unlisted},
        {"見積.pdf", Deb, TAttachedFileKind::Unlisted},
        {"app.snap", Snap, TAttachedFileKind::Unlisted},
        {"見積.pdf", Snap, TAttachedFileKind::Unlisted},
        {"tool.jar", Zip, TAttachedFileKind::Unlisted},
        {"macro.docm", Zip, TAttachedFileKind::Unlisted},
        {"page.html", "<html><script>x()</script></html>\n", TAttachedFileKind::Unlisted},
        {"drawing.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\"/>\n", TAttachedFileKind::Unlisted},
        {"data.bin", QByteArray("\x01\x02\x03\x04", 4), TAttachedFileKind::Unlisted},
        {"見積.pdf", Desktop, TAttachedFileKind::Runnable},
        {"memo.txt", Desktop, TAttachedFileKind::Runnable},
        {"memo.txt", "#!/bin/sh\nrm -rf ~\n", TAttachedFileKind::Runnable},
        {"memo.txt", "#!/usr/bin/env python3\nimport os\n", TAttachedFileKind::Runnable},
        {"見積.pdf", Elf, TAttachedFileKind::Runnable},
        {"地図.png", Elf, TAttachedFileKind::Runnable},
        {"setup.exe", QByteArray("MZ\x90\0", 4) + QByteArray(60, '\0'), TAttachedFileKind::Runnable},
        {"install.sh", "echo\n", TAttachedFileKind::Runnable},
    };
    int Number = 0;
    for (const auto& Case : Cases) {
        // Each file in a folder of its own, so that a name may come twice.
        const QString Folder = Dir.filePath(QString::number(++Number));
        ASSERT_TRUE(QDir().mkpath(Folder));
        const QString Path = Folder + QLatin1Char('/') + QString::fromUtf8(Case.Name);
        QFile File(Path);
        ASSERT_TRUE(File.open(QIODevice::WriteOnly));
        File.write(Case.Content);
        File.close();
        EXPECT_EQ(ClassifyAttachedFile(Path), Case.Kind)
            << Case.Name << " holding " << Case.Content.left(24).toHex().constData();
    }
}

TEST(AddressStartsWithTest, ABlankAddressNeverBeginsWithTheFoundOne)
{
    EXPECT_TRUE(AddressStartsWith(QStringLiteral("東京都千代田区丸の内1-1"), QStringLiteral("東京都千代田区丸の内")));
    EXPECT_FALSE(AddressStartsWith(QStringLiteral("東京都千代田区"), QStringLiteral("東京都千代田区丸の内")));
    EXPECT_FALSE(AddressStartsWith(QStringLiteral("   "), QString()));
    EXPECT_FALSE(AddressStartsWith(QStringLiteral("Tokyo"), QStringLiteral("tokyo")));
}

TEST(DialPortsTest, EachEntryKeepsItsPortNumber)
{
    EXPECT_EQ(DialPortNumbers(0x05), (QList<int>{1, 3}));
    EXPECT_EQ(DialPortNumbers(0x1F), (QList<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(DialPortNumbers(0), QList<int>{});
    EXPECT_EQ(DialPortCaption(3), QStringLiteral("ポート３"));
    EXPECT_EQ(DialPortIndex(3, 2), 0);
    EXPECT_EQ(DialPortIndex(-1, 2), 0);
    EXPECT_EQ(DialPortIndex(1, 2), 1);
    EXPECT_EQ(DialNumbers({QString(), QStringLiteral("03-1"), QString(), QStringLiteral("090")}),
              (QStringList{QStringLiteral("03-1"), QStringLiteral("090")}));
}

class MeiboHistoryTest : public ::testing::Test
{
protected:
    QTemporaryDir Dir;
    THisFixtureData Data{Dir.path() + QStringLiteral("/")};
    void Add(const QList<std::pair<double, QString>>& Calls)
    {
        AppendHistoryRows(Data.Table(), static_cast<int>(Calls.size()), [&Calls](int I) {
            THisFixtureRow Row;
            Row.When = Calls.at(I).first;
            Row.Tel = Calls.at(I).second;
            Row.Rank = QStringLiteral(" Ａ ");
            return Row;
        });
    }
};

TEST_F(MeiboHistoryTest, TheEntrysCallsNewestFirstByEitherNumber)
{
    Add({{45000.5, QStringLiteral("03-1234-5678")},
         {45002.25, QStringLiteral("031234567899")}, // longer, and begins with the first number
         {45001.0, QStringLiteral("0398765432")},
         {45003.0, QStringLiteral("090-1111-2222")},
         {45002.25, QStringLiteral("0312345678")},  // the same moment as row 1: the later row first
         {45004.0, QStringLiteral("0312345679")}}); // the next number: not the entry's
    EXPECT_EQ(LoadHistoryRecNos(Data.Table(), QStringLiteral("03-1234-5678"), QString()), (QList<int>{4, 1, 0}));
    EXPECT_EQ(LoadHistoryRecNos(Data.Table(), QStringLiteral("03-1234-5678"), QStringLiteral("090-1111-2222")),
              (QList<int>{3, 4, 1, 0}));
    EXPECT_TRUE(LoadHistoryRecNos(Data.Table(), QStringLiteral("なし"), QStringLiteral("0398765432")).isEmpty())
        << "an entry whose first number has no digit lists nothing";
    EXPECT_EQ(LoadHistoryRecNos(Data.Table(), QStringLiteral("0398765432"), QStringLiteral("内線")), QList<int>{2})
        << "a second number without a digit must not match every row";
    EXPECT_EQ(Data.Table().IndexName(), QString()) << "the table's index is left as it was";

    const THistoryTexts Texts = HistoryRowTexts(Data.Table(), 1, 2);
    EXPECT_EQ(Texts, (THistoryTexts{QStringLiteral("2"), QStringLiteral("2023/03/17"), QStringLiteral("06:00:00"),
                                    QStringLiteral("Ａ"), QString(), QString(), QString()}));
    EXPECT_EQ(HistoryRowTexts(Data.Table(), 99, 7)[1], QString()) << "a row deleted meanwhile shows no texts";
}

TEST(HistoryRowMatchesTest, ThePrefixRule)
{
    EXPECT_TRUE(HistoryRowMatches(QStringLiteral(" 0312345678 "), QStringLiteral("03-1234-5678"), QString()));
    EXPECT_TRUE(HistoryRowMatches(QStringLiteral("09011112222"), QStringLiteral("0312345678"),
                                  QStringLiteral("090-1111-2222")));
    EXPECT_FALSE(HistoryRowMatches(QStringLiteral("031234"), QStringLiteral("0312345678"), QString()));
    EXPECT_FALSE(HistoryRowMatches(QStringLiteral("0312345678"), QString(), QStringLiteral("-")));
}
