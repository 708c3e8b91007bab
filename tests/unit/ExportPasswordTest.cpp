#include "transfer/export/ExportPassword.h"

#include "main/settings/Settings.h"
#include "platform/ini/IniFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

TEST(ExportPasswordTest, EntriesAreCheckedInTheirOrder)
{
    const struct
    {
        QString First, Second;
        TPasswordFault Fault;
    } Cases[] = {
        {"", "", TPasswordFault::FirstEmpty},
        {"1234567", "", TPasswordFault::SecondEmpty},
        {"1234567", "1234567", TPasswordFault::Length},
        {"12345678901234567", "12345678901234567", TPasswordFault::Length},
        {QStringLiteral("1234567８"), QStringLiteral("1234567８"), TPasswordFault::Character},
        {"abcd-123", "abcd-123", TPasswordFault::Character},
        {"12345678", "12345679", TPasswordFault::Mismatch},
        {"12345678", "12345678", TPasswordFault::None},
        {"AbCd1234", "aBcD1234", TPasswordFault::None},
        {"abcdefghijklmnop", "ABCDEFGHIJKLMNOP", TPasswordFault::None},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.First.toStdString());
        EXPECT_EQ(CheckPasswordEntries(Case.First, Case.Second), Case.Fault);
    }
    EXPECT_EQ(PasswordFaultText(TPasswordFault::Length),
              QStringLiteral("パスワードは８文字～１６文字で入力してください  "));
    EXPECT_EQ(PasswordFaultText(TPasswordFault::Character),
              QStringLiteral("パスワードに使用できる文字は  \r\n　半角数字\r\n　半角英文字（大小文字区別なし）\r\n"
                             "のいずれかになります  "));
}

TEST(ExportPasswordTest, TheSavedCopyHoldsTheLengthAndTheInvertedBytes)
{
    const QByteArray Want("\x08\x00\x00\x00\xbe\x9d\x9c\xce\xcd\xcc\xcb\xca", 12);
    EXPECT_EQ(SavedPasswordBytes(QStringLiteral("Abc12345")).toHex(' '), Want.toHex(' '));
    EXPECT_EQ(ParseSavedPassword(Want), std::optional<QString>(QStringLiteral("Abc12345")));
}

TEST(ExportPasswordTest, OnlyAWholeFileOfAllowedCharactersIsBelieved)
{
    const QByteArray Good = SavedPasswordBytes(QStringLiteral("Abc12345"));
    QByteArray Long = SavedPasswordBytes(QStringLiteral("abcdefghijklmnopqrst"));
    QByteArray Short = Good.left(Good.size() - 1);
    QByteArray Negative = Good;
    Negative[3] = '\xff';
    QByteArray BadCharacter = Good;
    BadCharacter[5] = static_cast<char>(~'-');
    const QByteArray Cases[] = {Long, Short, Good + '\xce', Negative, BadCharacter, QByteArray("\x08\x00", 2), {}};
    for (const QByteArray& Case : Cases) {
        SCOPED_TRACE(Case.toHex(' ').toStdString());
        EXPECT_FALSE(ParseSavedPassword(Case).has_value());
    }
}

class ExportPasswordFileTest : public ::testing::Test
{
protected:
    void SetUp() override { SettingsPath = Dir.path() + u'/'; }
    void TearDown() override { SettingsPath.clear(); }
    QString PwdFile() const { return Dir.filePath(QStringLiteral("FExport.pwd")); }
    QTemporaryDir Dir;
};

TEST_F(ExportPasswordFileTest, ASavedPasswordIsTheOwnersAloneAndComesBack)
{
    ASSERT_TRUE(StoreSavedPassword(true, QStringLiteral("Abc12345")));
    struct stat Info
    {
    };
    ASSERT_EQ(stat(QFile::encodeName(PwdFile()).constData(), &Info), 0);
    EXPECT_EQ(Info.st_mode & 0777, 0600u);
    EXPECT_EQ(TMemIniFile(SettingsFileName()).ReadString(u"FILE EXPORT PASSWORD"_qs, u"SavePassword"_qs, {}), u"1");
    const TSavedPassword Saved = LoadSavedPassword();
    EXPECT_TRUE(Saved.Save);
    EXPECT_EQ(Saved.Password, QStringLiteral("Abc12345"));

    ASSERT_TRUE(StoreSavedPassword(false, {}));
    EXPECT_FALSE(QFile::exists(PwdFile()));
    EXPECT_FALSE(LoadSavedPassword().Save);
}

TEST_F(ExportPasswordFileTest, AnUnbelievableFileClearsTheBox)
{
    ASSERT_TRUE(StoreSavedPassword(true, QStringLiteral("Abc12345")));
    for (const QByteArray& Bytes : {SavedPasswordBytes(QStringLiteral("abcdefghijklmnopqrst")),
                                    SavedPasswordBytes(QStringLiteral("Abc12345")).chopped(1)}) {
        QFile File(PwdFile());
        ASSERT_TRUE(File.open(QIODevice::WriteOnly | QIODevice::Truncate));
        File.write(Bytes);
        File.close();
        const TSavedPassword Saved = LoadSavedPassword();
        EXPECT_FALSE(Saved.Save);
        EXPECT_TRUE(Saved.Password.isEmpty());
    }
    QFile::remove(PwdFile());
    EXPECT_FALSE(LoadSavedPassword().Save);
}

} // namespace
