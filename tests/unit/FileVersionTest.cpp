#include "platform/sys/FileVersion.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

using TVersion = std::array<int, 4>;

QByteArray ReadBytes(const QString& Name)
{
    QFile File(Name);
    return File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray();
}

QString WriteBytes(const QTemporaryDir& Dir, const QString& Name, const QByteArray& Bytes)
{
    QFile File(Dir.filePath(Name));
    EXPECT_TRUE(File.open(QIODevice::WriteOnly));
    File.write(Bytes);
    return File.fileName();
}

} // namespace

TEST(FileVersionTest, ReadsTheVersionEachProgramAndLibraryStates)
{
    const struct
    {
        const char* File;
        TVersion Version;
    } Cases[] = {
        {"VxUtil16", {16, 0, 0, 0}},         {"VxComm3.so", {2, 0, 0, 8}}, {"VxComm3ip.so", {2, 0, 0, 8}},
        {"Dashrule.so", {1, 0, 0, 0}},       {"Numfind.so", {1, 0, 0, 0}}, {"Geomark.so", {1, 0, 0, 0}},
        {"samples/ExtDLL.so", {1, 0, 0, 0}}, {"updateapp", {1, 0, 0, 0}},
    };
    for (const auto& Case : Cases)
        EXPECT_EQ(ReadFileVersion(QStringLiteral(VX_BIN_DIR "/") + QLatin1String(Case.File)), Case.Version)
            << Case.File;
    EXPECT_EQ(ReadFileVersion(QStringLiteral(VX_BIN_DIR "/vxcall")), std::nullopt) << "a tool that states none";
    EXPECT_EQ(ReadFileVersion(QStringLiteral(VX_BIN_DIR "/VxRelvo16.pdf")), std::nullopt);
    EXPECT_EQ(ReadFileVersion(QStringLiteral(VX_BIN_DIR "/no such file")), std::nullopt);
}

TEST(FileVersionTest, DamagedFilesStateNoVersion)
{
    const QByteArray Library = ReadBytes(QStringLiteral(VX_BIN_DIR "/VxComm3.so"));
    ASSERT_GT(Library.size(), 1024);
    QTemporaryDir Dir;
    const auto Patched = [&](qsizetype Offset, const QByteArray& Bytes) {
        QByteArray Copy = Library;
        Copy.replace(Offset, Bytes.size(), Bytes);
        return Copy;
    };
    QByteArray Huge(8, '\0');
    qToLittleEndian<quint64>(~quint64(0) - 10, Huge.data());
    const struct
    {
        const char* What;
        QByteArray Bytes;
    } Cases[] = {
        {"the head only", Library.left(600)},
        {"cut before the section table", Library.left(Library.size() - 200)},
        {"section table beyond the end", Patched(0x28, Huge)},
        {"section entries too small", Patched(0x3A, QByteArray("\x08\x00", 2))},
        {"names table index out of range", Patched(0x3E, QByteArray("\xff\xff", 2))},
        {"no ELF file", "#!/bin/sh\n"},
        {"empty", {}},
    };
    for (const auto& Case : Cases) {
        EXPECT_EQ(ReadFileVersion(WriteBytes(Dir, QLatin1String(Case.What), Case.Bytes)), std::nullopt) << Case.What;
    }
    EXPECT_EQ(ReadFileVersion(WriteBytes(Dir, QStringLiteral("copy"), Library)), (TVersion{2, 0, 0, 8}));
}
