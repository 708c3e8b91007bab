#include "main/start/StartupSteps.h"

#include "main/settings/Settings.h"
#include "tests/support/HermeticRun.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(StartupStepsTest, BackupAndManualWithTheProgramSettings)
{
    const QString SavedSettingsPath = SettingsPath;
    const QString SavedProgramPath = ProgramPath;
    const TSettings Saved = Settings;
    QTemporaryDir Dir;
    SettingsPath = Dir.path() + QStringLiteral("/settings/");
    Settings.DataPath = Dir.path() + QStringLiteral("/data/");
    Settings.AutoBUCount = 2;
    QDir().mkpath(Settings.DataPath);
    QFile Rank(Settings.DataPath + QStringLiteral("Rank.mtd"));
    ASSERT_TRUE(Rank.open(QIODevice::WriteOnly));
    Rank.write("rank");
    Rank.close();
    RunAutoBackup();
    RunAutoBackup();
    EXPECT_TRUE(QFile::exists(SettingsPath + QStringLiteral("bakData/1/Rank.mtd")));
    EXPECT_TRUE(QFile::exists(SettingsPath + QStringLiteral("bakData/2/Rank.mtd")));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the hourglass is gone again";

    EXPECT_TRUE(ManualUnusable()) << "no manual object yet";
    {
        const TPathGuard Path(Dir.path());
        ProgramPath = QStringLiteral(VX_BIN_DIR "/");
        CreateManual();
        EXPECT_TRUE(ManualUnusable()) << "no viewer on PATH";
        EXPECT_FALSE(ManualErrorText().isEmpty());
        FreeManual();
        EXPECT_TRUE(ManualUnusable());
    }

    Settings = Saved;
    SettingsPath = SavedSettingsPath;
    ProgramPath = SavedProgramPath;
}
