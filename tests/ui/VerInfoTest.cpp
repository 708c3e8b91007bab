#include "main/help/VerInfo.h"

#include "tests/support/Screenshots.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

TEST(VerInfoTest, ShowsVersionsLibrariesAndMemory)
{
    TVersionInfoParams Params;
    Params.Serial = {true, 0x02000007, 14};
    Params.IP = {true, 0x01020304, 3};
    Params.AdapterExtend = true;
    TVersionInfo Dialog(nullptr, Params);
    Dialog.show();
    const auto Text = [&Dialog](const char* Name) {
        auto* Label = Dialog.findChild<QLabel*>(QLatin1String(Name));
        return Label ? Label->text() : QStringLiteral("<no %1>").arg(QLatin1String(Name));
    };
    EXPECT_EQ(Dialog.windowTitle(), QStringLiteral("バージョン情報"));
    EXPECT_EQ(Dialog.property("HelpContext").toInt(), 999);
    EXPECT_EQ(Text("lblTitle"), QStringLiteral("Mirelo　Tolvane  Version 16.0"));
    EXPECT_EQ(Text("lblVxCommVersion"), QStringLiteral(":  2.0.0.7"));
    EXPECT_EQ(Text("lblSupportAdapters"), QStringLiteral(":  14 (Extend Mode)"));
    EXPECT_EQ(Text("lblVxCommIPVersion"), QStringLiteral(":  1.2.3.4"));
    EXPECT_EQ(Text("lblIPSupportAdapters"), QStringLiteral(":  3 (Extend Mode)"));
    EXPECT_EQ(Text("lblAdapter"), QStringLiteral("Support Adapters"));
    EXPECT_FALSE(Text("lblOSVersion").isEmpty());
    EXPECT_TRUE(Text("lblMemoryAvailable").startsWith(QStringLiteral("利用可能なメモリ:  ")));
    EXPECT_TRUE(Dialog.tmrMemory->isActive());
    EXPECT_EQ(Dialog.tmrMemory->interval(), 1000);
    SaveScreenshot(Dialog, QStringLiteral("VersionInfo"));

    // Each tick reads the memory figures again.
    QTemporaryDir Dir;
    Dialog.MemInfoFile = Dir.filePath(QStringLiteral("meminfo"));
    QFile File(Dialog.MemInfoFile);
    ASSERT_TRUE(File.open(QIODevice::WriteOnly));
    File.write("MemTotal: 2000 kB\nMemAvailable: 500 kB\n");
    File.close();
    Dialog.tmrMemoryTimer();
    EXPECT_EQ(Text("lblMemoryAvailable"), QStringLiteral("利用可能なメモリ:  500 / 2,000 (KB)"));
    EXPECT_EQ(Text("lblMemoryAvailablePer"), QStringLiteral("[25.0 %]"));
    EXPECT_EQ(Dialog.pgbarMemoryAvailable->maximum(), 2000);
    EXPECT_EQ(Dialog.pgbarMemoryAvailable->value(), 500);
}

TEST(VerInfoTest, AMissingLibraryLeavesTheDialogUsable)
{
    TVersionInfoParams Params;
    Params.Serial = {true, 0x10000000, 2};
    TVersionInfo Dialog(nullptr, Params);
    EXPECT_EQ(Dialog.lblVxCommIPVersion->text(), QStringLiteral(":  -"));
    EXPECT_EQ(Dialog.lblSupportAdapters->text(), QStringLiteral(":  2"));
}
