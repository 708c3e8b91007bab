// The encryption library and its restorer together: a file packed by the library comes back byte
// for byte through the program at the head of the packed file, and nothing else comes out of it.

#include "transfer/export/SfxLibrary.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString BinFolder = QStringLiteral(VX_BIN_DIR "/");

QByteArray Read(const QString& Path)
{
    QFile File(Path);
    return File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray("<missing>");
}

void Write(const QString& Path, const QByteArray& Bytes)
{
    QFile File(Path);
    ASSERT_TRUE(File.open(QIODevice::WriteOnly | QIODevice::Truncate));
    File.write(Bytes);
}

struct TRun
{
    int Exit = -1;
    QString Errors;
};

TRun Restorer(const QString& Program, const QStringList& Arguments, const QByteArray& Input, const QString& Folder = {})
{
    QProcess Process;
    if (!Folder.isEmpty())
        Process.setWorkingDirectory(Folder);
    Process.start(Program, Arguments);
    Process.write(Input);
    Process.closeWriteChannel();
    if (!Process.waitForFinished(60000))
        return {};
    return {Process.exitStatus() == QProcess::NormalExit ? Process.exitCode() : -1,
            QString::fromUtf8(Process.readAllStandardError())};
}

QStringList Entries(const QString& Folder)
{
    return QDir(Folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

// Several chunks of the container's size and a tail, with CP932 bytes and CR LF, as an export writes.
QByteArray ExportText()
{
    QByteArray Text;
    for (int I = 0; Text.size() < 3 * 64 * 1024 + 100; ++I)
        Text += "\"" + QByteArray::number(I) + "\",\"\x93\x8c\x8b\x9e\",\"03-1234-5678\"\r\n";
    return Text;
}

class VtxcrtpupTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        Export = new QTemporaryDir;
        ASSERT_EQ(LoadSfxLibrary(BinFolder), 0);
        Write(Export->filePath(QStringLiteral("Rireki.txt")), ExportText());
        TSfxSettings Settings;
        TSfxFileName Name;
        ASSERT_EQ(
            MakeSfxCall(QStringLiteral("Abc12345"), Export->filePath(QStringLiteral("Rireki.txt")), Settings, Name),
            TSfxFieldFault::None);
        Result = CallCreateSfx(Settings, Name, nullptr);
        FreeSfxLibrary();
    }
    static void TearDownTestSuite() { delete Export; }
    static QString Exe() { return Export->filePath(QStringLiteral("Rireki.exe")); }

    static inline QTemporaryDir* Export = nullptr;
    static inline int Result = -1;
    QTemporaryDir Target;
};

TEST_F(VtxcrtpupTest, TheFileComesBackWithThePasswordInEitherCase)
{
    ASSERT_EQ(Result, 0);
    EXPECT_TRUE(QFileInfo(Exe()).isExecutable());
    const TRun Restored = Restorer(Exe(), {Target.path()}, "Abc12345\n");
    EXPECT_EQ(Restored.Exit, 0) << Restored.Errors.toStdString();
    EXPECT_EQ(Read(Target.filePath(QStringLiteral("Rireki.txt"))), ExportText());
    EXPECT_EQ(Entries(Target.path()), QStringList{QStringLiteral("Rireki.txt")});

    // Into the current folder, typed in the other case.
    QTemporaryDir Other;
    const TRun Folded = Restorer(Exe(), {}, "aBC12345\n", Other.path());
    EXPECT_EQ(Folded.Exit, 0) << Folded.Errors.toStdString();
    EXPECT_EQ(Read(Other.filePath(QStringLiteral("Rireki.txt"))), ExportText());
}

TEST_F(VtxcrtpupTest, AWrongPasswordOrAnExistingFileWritesNothing)
{
    ASSERT_EQ(Result, 0);
    const TRun Wrong = Restorer(Exe(), {Target.path()}, "Abc12346\n");
    EXPECT_NE(Wrong.Exit, 0);
    EXPECT_TRUE(Wrong.Errors.contains(QStringLiteral("パスワードが違う"))) << Wrong.Errors.toStdString();
    EXPECT_TRUE(Entries(Target.path()).isEmpty());

    Write(Target.filePath(QStringLiteral("Rireki.txt")), "mine");
    const TRun Exists = Restorer(Exe(), {Target.path()}, "Abc12345\n");
    EXPECT_NE(Exists.Exit, 0);
    EXPECT_TRUE(Exists.Errors.contains(QStringLiteral("既にあります"))) << Exists.Errors.toStdString();
    EXPECT_EQ(Read(Target.filePath(QStringLiteral("Rireki.txt"))), "mine");
    EXPECT_EQ(Entries(Target.path()), QStringList{QStringLiteral("Rireki.txt")});
}

TEST_F(VtxcrtpupTest, AChangedByteAnywhereInTheContainerWritesNothing)
{
    ASSERT_EQ(Result, 0);
    const QByteArray Packed = Read(Exe());
    const qsizetype Program = Read(BinFolder + QStringLiteral("vtxrestore")).size();
    ASSERT_GT(Packed.size(), Program + 16);
    // The salt, the stream header, the name's record, a record length, the data and the final record.
    for (const qsizetype Offset :
         {Program + 30, Program + 50, Program + 75, Program + 110, Program + 70000, Packed.size() - 16 - 5}) {
        SCOPED_TRACE(Offset - Program);
        QByteArray Damaged = Packed;
        Damaged[Offset] = static_cast<char>(Damaged[Offset] ^ 0x01);
        const QString Copy = Target.filePath(QStringLiteral("Damaged.exe"));
        Write(Copy, Damaged);
        QFile::setPermissions(Copy, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QTemporaryDir Out;
        const TRun Refused = Restorer(Copy, {Out.path()}, "Abc12345\n");
        EXPECT_NE(Refused.Exit, 0);
        EXPECT_TRUE(Entries(Out.path()).isEmpty()) << Entries(Out.path()).join(u' ').toStdString();
    }
}

TEST_F(VtxcrtpupTest, TheLibraryShowsTwoEntryPointsAndTheRestorerNeedsNoLibsodium)
{
    QProcess Nm;
    Nm.start(QStringLiteral("nm"),
             {QStringLiteral("-D"), QStringLiteral("--defined-only"), BinFolder + "Vtxcrtpup.so"});
    ASSERT_TRUE(Nm.waitForFinished(30000));
    QStringList Names;
    for (const QByteArray& Line : Nm.readAllStandardOutput().split('\n'))
        if (!Line.trimmed().isEmpty())
            Names << QString::fromLatin1(Line.split(' ').last());
    Names.sort();
    EXPECT_EQ(Names, (QStringList{QStringLiteral("VtxCreateSFX"), QStringLiteral("VtxCreateSFX_TC")}));

    QProcess Ldd;
    Ldd.start(QStringLiteral("ldd"), {BinFolder + QStringLiteral("vtxrestore")});
    ASSERT_TRUE(Ldd.waitForFinished(30000));
    const QString Libraries = QString::fromLocal8Bit(Ldd.readAllStandardOutput());
    EXPECT_FALSE(Libraries.contains(QStringLiteral("sodium"))) << Libraries.toStdString();
    EXPECT_FALSE(Libraries.contains(QStringLiteral("Qt"))) << Libraries.toStdString();
}

TEST_F(VtxcrtpupTest, BadArgumentsAndAMissingTextAreRefusedWithTheirCodes)
{
    ASSERT_EQ(LoadSfxLibrary(BinFolder), 0);
    TSfxSettings Settings;
    TSfxFileName Name;
    ASSERT_EQ(MakeSfxCall(QStringLiteral("Abc12345"), Target.filePath(QStringLiteral("None.txt")), Settings, Name),
              TSfxFieldFault::None);
    EXPECT_EQ(CallCreateSfx(Settings, Name, nullptr), 2);
    TSfxSettings Unterminated = Settings;
    std::fill(std::begin(Unterminated.Folder), std::end(Unterminated.Folder), 'a');
    EXPECT_EQ(CallCreateSfx(Unterminated, Name, nullptr), 1);
    TSfxSettings Flagless = Settings;
    Flagless.Flag = 0;
    EXPECT_EQ(CallCreateSfx(Flagless, Name, nullptr), 1);
    TSfxFileName Escaping{};
    std::memcpy(Escaping.Name, "../x.txt", 8);
    EXPECT_EQ(CallCreateSfx(Settings, Escaping, nullptr), 1);
    FreeSfxLibrary();
    EXPECT_TRUE(Entries(Target.path()).isEmpty());
}

} // namespace
