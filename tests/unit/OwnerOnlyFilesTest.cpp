#include "main/tables/HisInfo.h"
#include "platform/ini/IniFile.h"
#include "platform/sys/Folders.h"
#include "platform/sys/SafeWrite.h"
#include "transfer/common/TableCopy.h"
#include "transfer/print/PrintTemplates.h"
#include "transfer/print/PrtInfo.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

// The most open umask a session can have: whatever the programs make must still be closed.
class TOpenUmask
{
public:
    TOpenUmask() : Saved(umask(0)) {}
    ~TOpenUmask() { umask(Saved); }

private:
    mode_t Saved;
};

mode_t ModeOf(const QString& Path)
{
    struct stat Info
    {
    };
    return lstat(QFile::encodeName(Path).constData(), &Info) == 0 ? Info.st_mode & 07777 : 07777;
}

void WriteOpenFile(const QString& Name, const QByteArray& Bytes)
{
    QFile File(Name);
    ASSERT_TRUE(File.open(QIODevice::WriteOnly));
    File.write(Bytes);
    File.close();
    ASSERT_EQ(chmod(QFile::encodeName(Name).constData(), 0666), 0);
}

// Every folder under Root 0700 and every file 0600, with the paths that are not.
QStringList OpenEntries(const QString& Root)
{
    QStringList Open;
    QDirIterator It(Root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (It.hasNext()) {
        const QString Path = It.next();
        const mode_t Wanted = QFileInfo(Path).isDir() ? 0700 : 0600;
        if (ModeOf(Path) != Wanted)
            Open << QStringLiteral("%1 %2").arg(QDir(Root).relativeFilePath(Path)).arg(ModeOf(Path), 0, 8);
    }
    return Open;
}

} // namespace

// Customers' numbers and names are in every file the programs write, and the folders for them are
// made on the fly: none may be readable by another user, whatever the umask or the original allowed.
TEST(OwnerOnlyFilesTest, WhatTheProgramsMakeIsTheOwnersAloneUnderAnyUmask)
{
    QTemporaryDir Root;
    const QString Data = Root.filePath(QStringLiteral("data/"));
    {
        const TOpenUmask Open;
        ASSERT_TRUE(CreateOwnerOnlyFolder(Data));
        const QString Source = Root.filePath(QStringLiteral("source/"));
        ASSERT_TRUE(QDir().mkpath(Source));
        for (const char* Name : {"Rank.mtd", "SelItem1.mtd", "LPRHis.tpl", "Notes.txt"})
            WriteOpenFile(Source + QLatin1String(Name), "bytes of a list");

        // Replacements, appends and copies.
        ASSERT_EQ(WriteFileSafely(Data + QStringLiteral("Written.ini"), "[A]\nB=1\n"), TSafeWriteResult::Written);
        TSafeFileWriter Log;
        ASSERT_EQ(Log.Open(Data + QStringLiteral("Appended.log"), true), TSafeWriteResult::Written);
        ASSERT_TRUE(Log.Write(QByteArrayLiteral("line\n")));
        ASSERT_EQ(Log.Commit(), TSafeWriteResult::Written);
        ASSERT_TRUE(CopyFileOwnerOnly(Source + QStringLiteral("Notes.txt"), Data + QStringLiteral("Notes.txt")));
        TMemIniFile Ini(Data + QStringLiteral("Settings.ini"));
        Ini.WriteString(QStringLiteral("COMMON"), QStringLiteral("DataPath"), Data);
        ASSERT_TRUE(Ini.UpdateFile());

        // The pick lists, the list templates and the printer record in a folder made for them.
        THistoryData Rank(Data + QStringLiteral("Lists/Rank.mtd"), true, 20);
        ASSERT_TRUE(Rank.Load());
        Rank.Add(QStringLiteral("Ａランク"), 45000.5);
        ASSERT_TRUE(Rank.Save());
        TTemplateList Templates;
        Templates.Items.append({QStringLiteral("月例"), {}});
        ASSERT_TRUE(SaveTemplateFile(Data + QStringLiteral("LPRHis.tpl"), Templates));
        TPrinterInfo Printer(Data + QStringLiteral("LstPrint.pi"));
        ASSERT_TRUE(Printer.SavePrinterSettings());

        // A copy of the tables' folder into a backup folder nobody has made yet, as the import,
        // the restore and the optimisation make theirs.
        ASSERT_EQ(CopyTableFiles(Source, Data + QStringLiteral("backupRH.imp/deeper"),
                                 {QStringLiteral("Rank.mtd"), QStringLiteral("SelItem1.mtd"), QStringLiteral("LPRHis.tpl")}),
                  CopyTableFilesDone);
    }
    EXPECT_EQ(OpenEntries(Data), QStringList());
    EXPECT_EQ(ModeOf(Data), 0700u);
}

TEST(OwnerOnlyFilesTest, ACopyNeverReplacesAFileAndAFileSharedOnPurposeKeepsItsMode)
{
    QTemporaryDir Root;
    const QString Source = Root.filePath(QStringLiteral("Source"));
    const QString Dest = Root.filePath(QStringLiteral("Dest"));
    WriteOpenFile(Source, "new");
    WriteOpenFile(Dest, "old");
    int Error = 0;
    EXPECT_FALSE(CopyFileOwnerOnly(Source, Dest, &Error));
    EXPECT_EQ(Error, EEXIST);
    QFile Kept(Dest);
    ASSERT_TRUE(Kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(Kept.readAll(), QByteArrayLiteral("old"));
    EXPECT_FALSE(CopyFileOwnerOnly(Root.filePath(QStringLiteral("Missing")), Root.filePath(QStringLiteral("New")), &Error));
    EXPECT_EQ(Error, ENOENT);
    EXPECT_FALSE(QFile::exists(Root.filePath(QStringLiteral("New"))));

    // The administrator's registry file must stay readable by every user when a value is replaced.
    ASSERT_EQ(chmod(QFile::encodeName(Dest).constData(), 0644), 0);
    ASSERT_EQ(WriteFileSafely(Dest, "replaced", TFileAccess::KeepMode), TSafeWriteResult::Written);
    EXPECT_EQ(ModeOf(Dest), 0644u);
    ASSERT_EQ(WriteFileSafely(Dest, "closed", TFileAccess::OwnerOnly), TSafeWriteResult::Written);
    EXPECT_EQ(ModeOf(Dest), 0600u);
}
