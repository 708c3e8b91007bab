#include "main/help/VerInfoData.h"

#include "main/settings/Settings.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString WriteTemp(const QTemporaryDir& Dir, const char* Name, const QByteArray& Bytes)
{
    const QString Path = Dir.filePath(QLatin1String(Name));
    QFile File(Path);
    File.open(QIODevice::WriteOnly);
    File.write(Bytes);
    return Path;
}

} // namespace

TEST(VerInfoDataTest, FormatsVersionsAndCounts)
{
    EXPECT_EQ(VersionText(16, 0, 3), QStringLiteral("Version 16.0.3"));
    EXPECT_EQ(VersionText(16, 1, 0), QStringLiteral("Version 16.1"));
    EXPECT_EQ(VersionText(16, 0, 0), QStringLiteral("Version 16.0"));
    EXPECT_EQ(DeviceVersionText(0x02000007), QStringLiteral(":  2.0.0.7"));
    EXPECT_EQ(DeviceVersionText(0xFF10200A), QStringLiteral(":  255.16.32.10"));
    EXPECT_EQ(AdapterCountText(12, false), QStringLiteral(":  12"));
    EXPECT_EQ(AdapterCountText(3, true), QStringLiteral(":  3 (Extend Mode)"));
}

TEST(VerInfoDataTest, ReadsMemoryAndSystemName)
{
    QTemporaryDir Dir;
    const struct
    {
        QByteArray MemInfo;
        bool Valid;
        QString Available;
        QString Percent;
    } Cases[] = {
        {"MemTotal:       16000000 kB\nMemFree:  100 kB\nMemAvailable:    4000000 kB\n", true,
         QStringLiteral("利用可能なメモリ:  4,000,000 / 16,000,000 (KB)"), QStringLiteral("[25.0 %]")},
        {"MemTotal: 3000 kB\nMemFree: 1000 kB\n", true, QStringLiteral("利用可能なメモリ:  1,000 / 3,000 (KB)"),
         QStringLiteral("[33.3 %]")},
        {"nothing useful\n", false, {}, {}},
    };
    for (const auto& Case : Cases) {
        const TMemoryStatus Status = ReadMemoryStatus(WriteTemp(Dir, "meminfo", Case.MemInfo));
        EXPECT_EQ(Status.Valid, Case.Valid) << Case.MemInfo.constData();
        if (Case.Valid) {
            EXPECT_EQ(MemoryAvailableText(Status), Case.Available);
            EXPECT_EQ(MemoryPercentText(Status), Case.Percent);
        }
    }
    EXPECT_FALSE(ReadMemoryStatus(Dir.filePath(QStringLiteral("missing"))).Valid);

    const QString Pretty = SystemNameText(
        WriteTemp(Dir, "os-release", "NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n"));
    EXPECT_TRUE(Pretty.startsWith(QStringLiteral("Debian GNU/Linux 12 (bookworm)  ["))) << qPrintable(Pretty);
    EXPECT_TRUE(Pretty.endsWith(QLatin1Char(']')));
    EXPECT_TRUE(SystemNameText(WriteTemp(Dir, "os-release2", "NAME='Plain'\n")).startsWith(QStringLiteral("Plain  [")));
    EXPECT_FALSE(SystemNameText(Dir.filePath(QStringLiteral("none"))).isEmpty());
}

TEST(VerInfoDataTest, AsksTheOtherDeviceLibrary)
{
    const TSettings Saved = Settings;
    for (const bool IP : {false, true}) {
        Settings.IPPBX = IP;
        Settings.AdapterExtend = IP;
        const TVersionInfoParams Params = CollectVersionInfoParams(QStringLiteral(VX_BIN_DIR "/"));
        const TDeviceLibraryInfo& Other = IP ? Params.Serial : Params.IP;
        const TDeviceLibraryInfo& InUse = IP ? Params.IP : Params.Serial;
        EXPECT_TRUE(Other.Loaded) << IP;
        EXPECT_NE(Other.Version, 0u) << IP;
        EXPECT_GT(Other.KindCount, 0) << IP;
        EXPECT_FALSE(InUse.Loaded) << "no library in use yet";
        EXPECT_EQ(Params.AdapterExtend, IP);
    }
    QTemporaryDir Empty;
    Settings.IPPBX = false;
    EXPECT_FALSE(CollectVersionInfoParams(Empty.path() + QLatin1Char('/')).IP.Loaded);
    Settings = Saved;
}
