#include "platform/ini/IniFile.h"

#include "FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cerrno>
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

// Each file in its own encoding, judged for the whole file where it allows, else line by line.
TEST(MemIniFile, ReadsEachFileAndLineInItsOwnEncoding)
{
    struct TCase
    {
        const char* What;
        QByteArray Bytes;
        QStringList Values; // of A and B in section S
    };
    const QString Memo = QString::fromUtf16(u"メモ");
    const QByteArray MemoCp932 = "\x83\x81\x83\x82";
    const TCase Cases[] = {
        {"CP932 with CRLF", "[S]\r\nA=" + MemoCp932 + "\r\nB=x\r\n", {Memo, "x"}},
        {"UTF-8", "[S]\nA=" + Memo.toUtf8() + "\nB=x\n", {Memo, "x"}},
        {"UTF-8 with a byte-order mark", "\xEF\xBB\xBF[S]\nA=" + Memo.toUtf8() + "\nB=x\n", {Memo, "x"}},
        // UTF-8 Japanese passes as CP932 as well; one CP932 line must not turn the others into mojibake.
        {"UTF-8 with one CP932 line", "[S]\nA=" + Memo.toUtf8() + "\nB=" + MemoCp932 + "\n", {Memo, Memo}},
        {"UTF-8 with a stray byte",
         "[S]\nA=" + Memo.toUtf8() + "\nB=x\xFFy\n",
         {Memo, QString::fromUtf16(u"x\uFFFDy")}},
        {"CP932 with a stray byte", "[S]\nA=" + MemoCp932 + "\nB=\xFF\n", {Memo, QString(QChar(0xFFFD))}},
        // "ﾃｽﾄア" in CP932 is C3 BD C4 83 41: valid UTF-8 ("ýăA"), but a CP932 double-byte
        // character (83 41) and no UTF-8 sequence of three bytes say CP932.
        {"CP932 that is valid UTF-8", "[S]\nA=\xC3\xBD\xC4\x83\x41\nB=x\n", {QString::fromUtf16(u"ﾃｽﾄア"), "x"}},
        // Two-byte UTF-8 without any CP932 double-byte character stays UTF-8.
        {"UTF-8 Latin letters", "[S]\nA=Caf\xC3\xA9\nB=\xC3\xBD\n", {QString::fromUtf16(u"Café"), "ý"}},
    };
    for (const TCase& Case : Cases) {
        TMemIniFile Ini("/nonexistent/x.ini");
        Ini.FromBytes(Case.Bytes);
        EXPECT_EQ(QStringList({Ini.ReadString("S", "A", "-"), Ini.ReadString("S", "B", "-")}), Case.Values)
            << Case.What;
    }
}

// Whatever the file holds, a write that changes nothing gives the same bytes, and a changed line
// takes the file's encoding and line break while every other line keeps its bytes.
TEST(MemIniFile, WritesBackEveryUntouchedLineByteForByte)
{
    const QByteArray Files[] = {
        "[S]\r\nA=\x83\x81\r\nB=x\r\n",
        "\xEF\xBB\xBF[S]\nA=\xE3\x83\xA1\nB=x\xFF\n",
        "[S]\nA=1\nno break at the end",
        "  [S]  \n A = 1 \n;A=2\n=3\n\n\n[]\n[S\nA=\xE3\x83\n\x83\n\r\n\r\r\n\0=\0\n",
        "[S]\nA=\xC3\xBD\xC4\x83\x41\n",
        "",
        "\n",
        "\x81",
    };
    for (const QByteArray& Bytes : Files) {
        TMemIniFile Ini("/nonexistent/x.ini");
        Ini.FromBytes(Bytes);
        EXPECT_EQ(Ini.ToBytes(), Bytes) << Bytes.toHex().constData();
        // Writing back the values as read is no change either.
        for (const QString& Section : Ini.ReadSections())
            for (const QString& Key : Ini.ReadSection(Section))
                Ini.WriteString(Section, Key, Ini.ReadString(Section, Key, ""));
        EXPECT_EQ(Ini.ToBytes(), Bytes) << Bytes.toHex().constData();
    }

    struct TChange
    {
        const char* What;
        QByteArray Before;
        QString Value; // for S/B
        QByteArray After;
    };
    const TChange Changes[] = {
        {"CP932 stays CP932 with CRLF", "[S]\r\nA=\x83\x81\r\nB=x\r\n", QString::fromUtf16(u"新"),
         "[S]\r\nA=\x83\x81\r\nB=\x90\x56\r\n"},
        {"a character CP932 lacks turns the file UTF-8", "[S]\r\nA=\x83\x81\r\nB=x\r\n", QString::fromUtf16(u"é"),
         "[S]\r\nA=\xE3\x83\xA1\r\nB=\xC3\xA9\r\n"},
        {"a damaged line keeps its bytes", "[S]\nA=x\xFF\nB=1\n", QString::fromUtf16(u"新"),
         "[S]\nA=x\xFF\nB=\xE6\x96\xB0\n"},
        {"a last line without a break gets one when a line follows", "[S]\nA=1", "2", "[S]\nA=1\nB=2\n"},
        {"a new file is UTF-8 with LF", "", QString::fromUtf16(u"新"), "[S]\nB=\xE6\x96\xB0\n"},
        // Each of these would read back in the other encoding, as other characters.
        {"UTF-8 that passes as CP932 gets the mark", "", QString::fromUtf16(u"\u0101A"),
         "\xEF\xBB\xBF[S]\nB=\xC4\x81\x41\n"},
        {"a new line of a mixed file that as UTF-8 would pass as CP932 goes in CP932", "[S]\nA=x\xFF\nB=1\n",
         QString::fromUtf16(u"\u0393["), "[S]\nA=x\xFF\nB=\x83\xA1[\n"},
        // "ѕe" as UTF-8 (D1 95 65) passes as CP932 ("ﾑ鋲"), and CP932 has no "ѕ": the line fits neither
        // way, so the file turns UTF-8 with the mark; the damaged byte was read as the replacement character.
        {"a new line of a mixed file that fits neither encoding turns the file UTF-8", "[S]\nA=x\xFF\nB=1\n",
         QString::fromUtf16(u"\u0455e"), "\xEF\xBB\xBF[S]\nA=x\xEF\xBF\xBD\nB=\xD1\x95\x65\n"},
        {"CP932 that passes as UTF-8 turns UTF-8 with the mark", "[S]\r\nA=\x83\x81\r\nB=x\r\n",
         QString::fromUtf16(u"縺０"), "\xEF\xBB\xBF[S]\r\nA=\xE3\x83\xA1\r\nB=\xE7\xB8\xBA\xEF\xBC\x90\r\n"},
    };
    for (const TChange& Change : Changes) {
        TMemIniFile Ini("/nonexistent/x.ini");
        Ini.FromBytes(Change.Before);
        Ini.WriteString("S", "B", Change.Value);
        EXPECT_EQ(Ini.ToBytes(), Change.After) << Change.What;
        TMemIniFile Again("/nonexistent/x.ini");
        Again.FromBytes(Change.After);
        EXPECT_EQ(Again.ReadString("S", "B", "-"), Change.Value) << Change.What;
    }
}

// A line break in a value, or a name that would not read back as its key, could add keys and
// sections of its own: such a write is refused, and the file is not written at all.
TEST(MemIniFile, ACopyIsAFileOfItsOwn)
{
    QTemporaryDir Dir;
    const QString Name = Dir.filePath("a.ini");
    WriteAll(Name, "[COMMON]\nPort=COM1\n");
    const TMemIniFile Original(Name);
    TMemIniFile Copy = Original;
    Copy.WriteString("COMMON", "Port", "COM2");
    Copy.DeleteKey("COMMON", "Port");
    Copy.WriteString("COMMON", "CD", "/media/cdrom");
    EXPECT_EQ(Original.ReadString("COMMON", "Port", ""), "COM1");
    EXPECT_FALSE(Original.ValueExists("COMMON", "CD"));
    EXPECT_EQ(Original.ToBytes(), "[COMMON]\nPort=COM1\n");
}

TEST(MemIniFile, AValueThatWouldBreakItsLineIsRefusedAndNothingIsWritten)
{
    QTemporaryDir Dir;
    const QString Name = Dir.filePath("a.ini");
    const QByteArray Original = "[COMMON]\nDataPath=/srv/data/\n[BASE]\nRegister=0\n";
    struct TWrite
    {
        const char* Section;
        const char* Ident;
        const char* Value;
    };
    const TWrite Writes[] = {
        {"COMMON", "DataPath", "/tmp/x\n[BASE]\nRegister=1"},
        {"COMMON", "DataPath", "/tmp/x\r[BASE]"},
        {"COMMON", "DataPath", "/tmp/x\r"},
        {"COMMON\n[BASE]", "Register", "1"},
        {"COMMON", "Register\nRegister", "1"},
        {"COMMON", "Key=Register", "1"},
        {"COMMON", ";Register", "1"},
        {"COMMON", "[BASE", "]"},
        {"COMMON", " ", "1"},
    };
    for (const TWrite& Write : Writes) {
        WriteAll(Name, Original);
        TMemIniFile Ini(Name);
        Ini.WriteString("COMMON", "Port", "COM2"); // a good write in the same save goes nowhere either
        Ini.WriteString(Write.Section, Write.Ident, Write.Value);
        EXPECT_EQ(Ini.RefusedWrites(), QStringList(QString::fromUtf8(Write.Section) + '/' + Write.Ident))
            << Write.Value;
        EXPECT_EQ(Ini.ReadString("COMMON", "DataPath", ""), "/srv/data/");
        EXPECT_FALSE(Ini.UpdateFile());
        EXPECT_EQ(ReadAll(Name), Original) << Write.Ident;
    }
    // A value read with a lone CR in it ends there, so that what was read can be written back.
    WriteAll(Name, "[COMMON]\nCD=/media/cdro\rm/\nPort=COM1\n");
    TMemIniFile Read(Name);
    EXPECT_EQ(Read.ReadString("COMMON", "CD", ""), "/media/cdro");
    Read.WriteString("COMMON", "CD", Read.ReadString("COMMON", "CD", ""));
    EXPECT_TRUE(Read.UpdateFile());
    EXPECT_EQ(TMemIniFile(Name).ReadString("COMMON", "Port", ""), "COM1");
    EXPECT_FALSE(HoldsLineBreak("/srv/data/"));
    EXPECT_TRUE(HoldsLineBreak("a\nb"));
    EXPECT_TRUE(HoldsLineBreak("a\r"));
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
    EXPECT_EQ(Ini.LastError(), EFBIG) << "the reason is kept for the user";

    TMemIniFile Lost(Dir.filePath("gone/a.ini"));
    Lost.WriteString("S", "K", "v");
    EXPECT_FALSE(Lost.UpdateFile());
    EXPECT_EQ(Lost.LastError(), ENOENT);
    EXPECT_TRUE(Ini.UpdateFile());
    EXPECT_EQ(Ini.LastError(), 0);
}

} // namespace
