#include "HisTableFixture.h"
#include "calls/DialPorts.h"
#include "directory/record/MeiboHistory.h"
#include "main/common/ShellOpen.h"
#include "main/settings/Settings.h"

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
