#include "main/start/StartupPassword.h"

#include "main/settings/Settings.h"
#include "platform/sys/Registry.h"
#include "platform/text/Cp932.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

// One group as the setting tool writes it: the character's second byte first, in hexadecimal.
QString Group(const QString& Char)
{
    const QByteArray Bytes = Cp932Encode(Char);
    const int First = static_cast<unsigned char>(Bytes[0]);
    const int Second = Bytes.size() > 1 ? static_cast<unsigned char>(Bytes[1]) : 0;
    return QStringLiteral("%1%2").arg(Second, 2, 16, QLatin1Char('0')).arg(First, 2, 16, QLatin1Char('0')).toUpper();
}

// The stored text of Units (in reading order), placed in the tool's interleaved group order.
QString Scramble(const QStringList& Units)
{
    QStringList Groups(Units.size());
    for (qsizetype I = 0; I < Units.size(); ++I)
        Groups[2 * (I % 8) + I / 8] = Group(Units[I]);
    return Groups.join(QString());
}

QStringList Chars(const QString& Text)
{
    QStringList List;
    for (QChar Char : Text)
        List << QString(Char);
    return List;
}

} // namespace

TEST(StartupPasswordTest, DecodesStoredTexts)
{
    const QString Full16 = Scramble(Chars(QStringLiteral("ｐ＋Ａｓ－ｓ＊１／２＋３＋＋＋＋＋")));
    struct TCase
    {
        const char* What;
        QString Text;
        QString Password;
    } Cases[] = {
        {"full-width letters and digits, filling dropped", Full16, QStringLiteral("pAss123")},
        {"letter case of the digits does not matter", Full16.toLower(), QStringLiteral("pAss123")},
        {"single-byte units", Scramble(Chars(QStringLiteral("aB3+----********"))), QStringLiteral("aB3")},
        {"all filling", Scramble(Chars(QStringLiteral("++++----****////"))), QString()},
        {"66 characters: the last two are never read", Full16 + QStringLiteral("zz"), QStringLiteral("pAss123")},
        {"shorter than one group", QStringLiteral("FF2"), QString()},
        {"empty", QString(), QString()},
        {"one group", Group(QStringLiteral("Ｘ")), QStringLiteral("X")},
        {"15 groups stay inside the text", Scramble(Chars(QStringLiteral("ａｂｃｄｅｆｇｈｉｊｋｌｍｎｏ"))),
         QStringLiteral("abcdefghijklmno")},
        {"a kanji stays as it is", Scramble(Chars(QStringLiteral("鍵＋＋＋＋＋＋＋＋＋＋＋＋＋＋＋"))),
         QStringLiteral("鍵")},
    };
    for (const TCase& Case : Cases) {
        QString Password = QStringLiteral("stale");
        EXPECT_EQ(StoredTextToPassword(Case.Text, Password), TStoredTextResult::Password) << Case.What;
        EXPECT_EQ(Password, Case.Password) << Case.What;
    }
}

TEST(StartupPasswordTest, MalformedTextsFailClosed)
{
    const QString Full16 = Scramble(Chars(QStringLiteral("ａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐ")));
    QString NotHex = Full16;
    NotHex[5] = QLatin1Char('G');
    QString ZeroFirstByte = Full16;
    ZeroFirstByte.replace(0, 4, QStringLiteral("4100"));
    QString HalfCharacter = Full16;
    HalfCharacter.replace(0, 4, QStringLiteral("0082")); // a lead byte alone
    const struct
    {
        const char* What;
        QString Text;
    } Cases[] = {
        {"2 groups: the order names group 2", Full16.left(8)},
        {"5 groups", Full16.left(20)},
        {"14 groups", Full16.left(56)},
        {"a digit that is not hexadecimal", NotHex},
        {"a unit without its first byte", ZeroFirstByte},
        {"half a double-byte character", HalfCharacter},
        {"full-width digits", QStringLiteral("０Ａ０Ａ")},
    };
    for (const auto& Case : Cases) {
        QString Password = QStringLiteral("stale");
        EXPECT_EQ(StoredTextToPassword(Case.Text, Password), TStoredTextResult::Malformed) << Case.What;
        EXPECT_TRUE(Password.isEmpty()) << Case.What;
    }
}

TEST(StartupPasswordTest, ReadsTheRegistryValue)
{
    QFile::remove(RegistryFileName());
    QString Text = QStringLiteral("kept");
    EXPECT_FALSE(ReadStartupPasswordText(Text));
    EXPECT_EQ(Text, QStringLiteral("kept"));

    ASSERT_TRUE(WriteRegistryString(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Other"), QStringLiteral("Type"),
                                    QStringLiteral("x")));
    ASSERT_TRUE(WriteRegistryString(StartupPasswordKey, QStringLiteral("Other"), QStringLiteral("y")));
    EXPECT_TRUE(ReadStartupPasswordText(Text));
    EXPECT_EQ(Text, QString()) << "a key without the value reads as empty";

    const QString Stored = Scramble(Chars(QStringLiteral("ｋｅｙ＋＋＋＋＋＋＋＋＋＋＋＋＋")));
    ASSERT_TRUE(WriteRegistryString(QStringLiteral("hkey_local_machine\\software\\kestor\\vxrelvo\\16.0"),
                                    QStringLiteral("TYPE"), QStringLiteral("  \t") + Stored + QStringLiteral(" ")));
    EXPECT_TRUE(ReadStartupPasswordText(Text));
    // Spaces around the value are trimmed and names ignore letter case: the text was read as "key",
    // and hashed in place on the way.
    EXPECT_TRUE(IsStartupPasswordHash(Text)) << Text.toStdString();
    EXPECT_TRUE(StoredPasswordMatches(Text, QStringLiteral("key")));
    EXPECT_EQ(ReadRegistryString(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Other"), QStringLiteral("type")),
              QStringLiteral("x"));
    QFile::remove(RegistryFileName());
}

// The administrator's file (the first folder of XDG_CONFIG_DIRS) stands over the user's for the
// machine's keys, so a user cannot take the password away by editing a file of their own.
TEST(StartupPasswordTest, TheSystemWideRegistryStandsOverTheUsers)
{
    QTemporaryDir System;
    const QByteArray SavedDirs = qgetenv("XDG_CONFIG_DIRS");
    qputenv("XDG_CONFIG_DIRS", "relative/ignored:" + QFile::encodeName(System.path()) + ":/etc/xdg");
    const QString SystemFile = System.filePath(QStringLiteral("Pelmar/registry.ini"));
    ASSERT_EQ(SystemRegistryFileNames().size(), 2);
    EXPECT_EQ(SystemRegistryFileNames()[1], SystemFile) << "the environment's folder comes after the machine's";
    ASSERT_TRUE(QDir().mkpath(System.filePath(QStringLiteral("Pelmar"))));
    const QString Stored = Scramble(Chars(QStringLiteral("ａｂ＋＋＋＋＋＋＋＋＋＋＋＋＋＋")));
    QFile File(SystemFile);
    ASSERT_TRUE(File.open(QIODevice::WriteOnly));
    File.write("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Kestor\\VxRelvo\\16.0]\nType=" + Stored.toLatin1() +
               "\n[HKEY_CURRENT_USER\\Software\\Other]\nName=system\n");
    File.close();

    QFile::remove(RegistryFileName());
    QString Text;
    EXPECT_TRUE(ReadStartupPasswordText(Text)) << "the key of the system-wide file alone exists";
    EXPECT_TRUE(StoredPasswordMatches(Text, QStringLiteral("ab")));
    const QString Hashed = Text;

    ASSERT_TRUE(WriteRegistryString(StartupPasswordKey, StartupPasswordValue, QString()));
    ASSERT_TRUE(WriteRegistryString(QStringLiteral("HKEY_CURRENT_USER\\Software\\Other"), QStringLiteral("Name"),
                                    QStringLiteral("user")));
    EXPECT_TRUE(ReadStartupPasswordText(Text));
    EXPECT_EQ(Text, Hashed) << "an empty value of the user's does not remove the administrator's";
    EXPECT_EQ(ReadRegistryString(QStringLiteral("HKEY_CURRENT_USER\\Software\\Other"), QStringLiteral("Name")),
              QStringLiteral("user"))
        << "the user's own keys come from the user's file only";

    // The settings reader picks the text up at every start.
    StartupPasswordText.clear();
    ReadSettings(TSettingsSources{});
    EXPECT_EQ(StartupPasswordText, Hashed);

    QFile::remove(SystemFile);
    ASSERT_TRUE(WriteRegistryString(StartupPasswordKey, StartupPasswordValue, QStringLiteral("0000")));
    EXPECT_TRUE(ReadStartupPasswordText(Text));
    EXPECT_EQ(Text, QStringLiteral("0000")) << "without the system-wide file the user's value is read";

    QFile::remove(RegistryFileName());
    StartupPasswordText.clear();
    qputenv("XDG_CONFIG_DIRS", SavedDirs);
}

namespace {

// Stands in for the administrator: the machine's registry file in a folder of the test's own.
class TMachineFolder
{
public:
    TMachineFolder() : Saved(MachineConfigFolder()) { SetMachineConfigFolder(Folder.path()); }
    ~TMachineFolder() { SetMachineConfigFolder(Saved); }
    void Write(const QByteArray& Bytes, QFile::Permissions Mode = QFile::ReadOwner | QFile::WriteOwner |
                                                                   QFile::ReadGroup | QFile::ReadOther)
    {
        ASSERT_TRUE(QDir().mkpath(Folder.filePath(QStringLiteral("Pelmar"))));
        QFile File(FileName());
        ASSERT_TRUE(File.open(QIODevice::WriteOnly | QIODevice::Truncate));
        File.write(Bytes);
        File.close();
        ASSERT_TRUE(File.setPermissions(Mode));
    }
    [[nodiscard]] QString FileName() const { return Folder.filePath(QStringLiteral("Pelmar/registry.ini")); }
    [[nodiscard]] QByteArray Bytes() const
    {
        QFile File(FileName());
        return File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray();
    }

private:
    QTemporaryDir Folder;
    QString Saved;
};

class TConfigDirs
{
public:
    TConfigDirs() : Saved(qgetenv("XDG_CONFIG_DIRS")), Had(qEnvironmentVariableIsSet("XDG_CONFIG_DIRS")) {}
    ~TConfigDirs()
    {
        if (Had)
            qputenv("XDG_CONFIG_DIRS", Saved);
        else
            qunsetenv("XDG_CONFIG_DIRS");
    }

private:
    QByteArray Saved;
    bool Had;
};

mode_t ModeOf(const QString& Path)
{
    struct stat Info
    {
    };
    return stat(QFile::encodeName(Path).constData(), &Info) == 0 ? Info.st_mode & 07777 : 0;
}

QByteArray PasswordSection(const QString& Text)
{
    return "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Kestor\\VxRelvo\\16.0]\nType=" + Text.toLatin1() + "\n";
}

} // namespace

// Whoever controls a user's environment must not take the administrator's password away: the
// machine's file is read from its fixed place, and the environment can only add a file after it.
TEST(StartupPasswordTest, TheMachinesPasswordStaysWhateverTheEnvironmentSays)
{
    TMachineFolder Machine;
    const QString Hash = HashStartupPassword(QStringLiteral("Secret1"));
    ASSERT_TRUE(IsStartupPasswordHash(Hash));
    Machine.Write(PasswordSection(Hash));
    QFile::remove(RegistryFileName());
    const TConfigDirs Restore;
    QTemporaryDir Other;
    ASSERT_TRUE(QDir().mkpath(Other.filePath(QStringLiteral("Pelmar"))));
    QFile Empty(Other.filePath(QStringLiteral("Pelmar/registry.ini")));
    ASSERT_TRUE(Empty.open(QIODevice::WriteOnly));
    Empty.write(PasswordSection(QString()));
    Empty.close();

    const QByteArray Settings[] = {"/nonexistent", "", "relative", QFile::encodeName(Other.path())};
    for (const QByteArray& Dirs : Settings) {
        SCOPED_TRACE(Dirs.toStdString());
        qputenv("XDG_CONFIG_DIRS", Dirs);
        QString Text;
        EXPECT_TRUE(ReadStartupPasswordText(Text));
        EXPECT_EQ(Text, Hash);
        EXPECT_EQ(StoredPasswordState(Text), TStoredPassword::Set);
    }
    qunsetenv("XDG_CONFIG_DIRS");
    QString Text;
    EXPECT_TRUE(ReadStartupPasswordText(Text));
    EXPECT_EQ(Text, Hash);
    // Nor can the user's own file clear it.
    ASSERT_TRUE(WriteRegistryString(StartupPasswordKey, StartupPasswordValue, QString()));
    EXPECT_TRUE(ReadStartupPasswordText(Text));
    EXPECT_EQ(Text, Hash);
    QFile::remove(RegistryFileName());
}

// The stored secret is a salted hash: the same password gives different texts, only the exact
// password matches, and a scrambled text of an earlier tool is replaced the first time it is read,
// in the file it was read from, which keeps its mode.
TEST(StartupPasswordTest, PasswordsAreKeptAsSaltedHashes)
{
    const QString First = HashStartupPassword(QStringLiteral("pAss123"));
    EXPECT_NE(First, HashStartupPassword(QStringLiteral("pAss123")));
    EXPECT_TRUE(StoredPasswordMatches(First, QStringLiteral("pAss123")));
    for (const QString& Wrong : {QStringLiteral("pass123"), QStringLiteral("PASS123"), QStringLiteral("pAss123 "),
                                 QStringLiteral("ｐＡｓｓ１２３"), QString()})
        EXPECT_FALSE(StoredPasswordMatches(First, Wrong)) << Wrong.toStdString();

    // A damaged hash lets nobody in and is told apart from "no password".
    for (const QString& Damaged : {First.left(First.size() - 10), QStringLiteral("$argon2id$v=19$m=1,t=1,p=1$x$y"),
                                   First + QString(200, QLatin1Char('A'))}) {
        EXPECT_EQ(StoredPasswordState(Damaged), TStoredPassword::Malformed) << Damaged.toStdString();
        EXPECT_FALSE(StoredPasswordMatches(Damaged, QStringLiteral("pAss123")));
    }
    EXPECT_EQ(StoredPasswordState(QString()), TStoredPassword::None);

    TMachineFolder Machine;
    QFile::remove(RegistryFileName());
    const QString Scrambled = Scramble(Chars(QStringLiteral("ＡｂＣ＋＋＋＋＋＋＋＋＋＋＋＋＋")));
    Machine.Write("[Other]\nName=kept\n" + PasswordSection(Scrambled));
    QString Text;
    ASSERT_TRUE(ReadStartupPasswordText(Text));
    EXPECT_TRUE(IsStartupPasswordHash(Text));
    EXPECT_TRUE(StoredPasswordMatches(Text, QStringLiteral("AbC")));
    EXPECT_FALSE(StoredPasswordMatches(Text, QStringLiteral("abc")));
    const QByteArray After = Machine.Bytes();
    EXPECT_FALSE(After.contains(Scrambled.toLatin1())) << "the readable text is gone from the file";
    EXPECT_TRUE(After.contains("Name=kept"));
    EXPECT_EQ(ModeOf(Machine.FileName()), 0644u) << "every user's program must still read the administrator's file";
    // The next start reads the hash as it stands.
    QString Again;
    ASSERT_TRUE(ReadStartupPasswordText(Again));
    EXPECT_EQ(Again, Text);

    // A password the user set for themselves lives in a file only they can read.
    Machine.Write(QByteArray());
    ASSERT_TRUE(WriteRegistryString(StartupPasswordKey, StartupPasswordValue, Scrambled));
    ASSERT_TRUE(ReadStartupPasswordText(Text));
    EXPECT_TRUE(StoredPasswordMatches(Text, QStringLiteral("AbC")));
    EXPECT_EQ(ModeOf(RegistryFileName()), 0600u);
    QFile::remove(RegistryFileName());
}
