#include "platform/ini/IniFile.h"

#include "FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

QByteArray ReadAll(const QString& FileName)
{
    QFile File(FileName);
    return File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray();
}

void WriteAll(const QString& FileName, const QByteArray& Bytes)
{
    QFile File(FileName);
    ASSERT_TRUE(File.open(QIODevice::WriteOnly));
    File.write(Bytes);
}

TEST(MemIniFile, RoundTripKeepsOrderCommentsAndUnknownSections)
{
    QTemporaryDir Dir;
    const QString Name = Dir.filePath("a.ini");
    const QByteArray Original = "; written by hand\n"
                                "[COMMON]\n"
                                "Port=COM3\n"
                                "; the folder of the tables\n"
                                "DataPath = /srv/data/ \n"
                                "\n"
                                "[SOMEONE ELSE]\n"
                                "Zeta=1\n"
                                "Alpha=2\n"
                                "line without equals\n";
    WriteAll(Name, Original);

    TMemIniFile Untouched(Name);
    ASSERT_TRUE(Untouched.UpdateFile());
    EXPECT_EQ(ReadAll(Name), Original);

    TMemIniFile Ini(Name);
    EXPECT_EQ(Ini.ReadString("COMMON", "DataPath", ""), "/srv/data/");
    Ini.WriteString("COMMON", "Port", "USB");
    Ini.WriteInteger("COMMON", "Map", 4);
    Ini.WriteBool("NEW", "Flag", true);
    ASSERT_TRUE(Ini.UpdateFile());
    EXPECT_EQ(ReadAll(Name), QByteArray("; written by hand\n"
                                        "[COMMON]\n"
                                        "Port=USB\n"
                                        "; the folder of the tables\n"
                                        "DataPath = /srv/data/ \n"
                                        "Map=4\n"
                                        "\n"
                                        "[SOMEONE ELSE]\n"
                                        "Zeta=1\n"
                                        "Alpha=2\n"
                                        "line without equals\n"
                                        "\n"
                                        "[NEW]\n"
                                        "Flag=1\n"));
    EXPECT_EQ(TMemIniFile(Name).ReadSection("SOMEONE ELSE"), QStringList({"Zeta", "Alpha"}));
    EXPECT_EQ(TMemIniFile(Name).ReadSections(), QStringList({"COMMON", "SOMEONE ELSE", "NEW"}));
}

TEST(MemIniFile, NamesAreCaseInsensitiveAndSplitAtTheFirstEquals)
{
    TMemIniFile Ini("/nonexistent/x.ini");
    Ini.FromBytes("[Common]\r\nDataPath=a=b;c\r\nEmpty=\r\n=novalue\r\n");
    EXPECT_EQ(Ini.ReadString("COMMON", "datapath", "-"), "a=b;c");
    EXPECT_TRUE(Ini.ValueExists("common", "EMPTY"));
    EXPECT_EQ(Ini.ReadString("COMMON", "Empty", "-"), "");
    EXPECT_FALSE(Ini.ValueExists("COMMON", "Missing"));
    EXPECT_TRUE(Ini.SectionExists("cOmMoN"));
    EXPECT_EQ(Ini.ReadSectionValues("COMMON"), QStringList({"DataPath=a=b;c", "Empty="}));

    Ini.WriteString("COMMON", "DATAPATH", "x");
    EXPECT_EQ(Ini.ReadSection("Common"), QStringList({"DataPath", "Empty"}));
    Ini.DeleteKey("common", "empty");
    EXPECT_FALSE(Ini.ValueExists("COMMON", "Empty"));
    Ini.EraseSection("COMMON");
    EXPECT_FALSE(Ini.SectionExists("Common"));
    // A CRLF file is written back with LF only.
    EXPECT_FALSE(Ini.ToBytes().contains('\r'));
}

TEST(MemIniFile, ReadsNumbersAsTheFrameworkDoes)
{
    struct TCase
    {
        const char* Value;
        int Integer;
        bool Bool;
    };
    const TCase Cases[] = {
        {"12", 12, true},
        {" -7 ", -7, true},
        {"$1F", 31, true},
        {"$ffffffff", -1, true},
        {"0", 0, false},
        {"abc", 99, true},
        {"1.5", 99, true},
        {"", 99, true},
        {"12x", 99, true},
        {"0x10", 99, true},
        {"4294967296", 99, true},
        {"２", 99, true},
        {"2147483647", 2147483647, true},
    };
    for (const TCase& Case : Cases) {
        TMemIniFile Ini("/nonexistent/x.ini");
        Ini.FromBytes(QByteArray("[S]\nK=") + Case.Value + "\n");
        EXPECT_EQ(Ini.ReadInteger("S", "K", 99), Case.Integer) << Case.Value;
        EXPECT_EQ(Ini.ReadBool("S", "K", true), Case.Bool) << Case.Value;
    }
    TMemIniFile Ini("/nonexistent/x.ini");
    Ini.FromBytes("[S]\nF=2.25\nG=x\n");
    EXPECT_DOUBLE_EQ(Ini.ReadFloat("S", "F", 0), 2.25);
    EXPECT_DOUBLE_EQ(Ini.ReadFloat("S", "G", 7.5), 7.5);
}

TEST(MemIniFile, ReadsCp932AndUtf8AndWritesUtf8)
{
    const QString Memo = QString::fromUtf16(u"メモ");
    const QByteArray Files[] = {
        QByteArray("[SCREEN VIEW]\r\nSelectItem2=") + "\x83\x81\x83\x82" + "\r\n", // CP932, CRLF
        QByteArray("[SCREEN VIEW]\nSelectItem2=") + Memo.toUtf8() + "\n",
        QByteArray("\xEF\xBB\xBF[SCREEN VIEW]\nSelectItem2=") + Memo.toUtf8() + "\n",
    };
    QTemporaryDir Dir;
    for (const QByteArray& Bytes : Files) {
        const QString Name = Dir.filePath("j.ini");
        WriteAll(Name, Bytes);
        TMemIniFile Ini(Name);
        EXPECT_EQ(Ini.ReadString("SCREEN VIEW", "SelectItem2", ""), Memo);
        ASSERT_TRUE(Ini.UpdateFile());
        EXPECT_EQ(ReadAll(Name), QByteArray("[SCREEN VIEW]\nSelectItem2=") + Memo.toUtf8() + "\n");
    }
}

TEST(MemIniFile, WritesThroughATemporaryFileWithTheAskedMode)
{
    QTemporaryDir Dir;
    const QString Secret = Dir.filePath("secret.ini");
    TMemIniFile Ini(Secret, TFileAccess::OwnerOnly);
    Ini.WriteString("S", "Password", "x");
    ASSERT_TRUE(Ini.UpdateFile());
    struct stat Info;
    ASSERT_EQ(stat(QFile::encodeName(Secret).constData(), &Info), 0);
    EXPECT_EQ(Info.st_mode & 0777, 0600u);
    EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Files), QStringList({"secret.ini"}));

    // A write that fails half-way leaves the old file as it was, and no temporary file behind.
    Ini.WriteString("S", "Password", QString(100, QLatin1Char('y')));
    {
        TFileSizeLimit Limit(20);
        EXPECT_FALSE(Ini.UpdateFile());
    }
    EXPECT_EQ(TMemIniFile(Secret).ReadString("S", "Password", ""), "x");
    EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Files), QStringList({"secret.ini"}));
}

} // namespace
