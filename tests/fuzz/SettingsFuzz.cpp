// The settings reader on any VxRelvo16.ini with any "VxComm3ip" pointer file beside the program:
// it raises nothing but the program's own errors, and a file it finds complete stays complete,
// with the same values, through every writer of the settings.
//
// Input: the settings file, then optionally "\n===VxComm3ip===\n" and the pointer file. "%DATA%"
// stands for an existing data folder, so that a seed can be complete.

#include "FuzzSupport.h"
#include "main/settings/Settings.h"
#include "platform/sys/Exceptions.h"

namespace {

TSettingsSources Sources()
{
    TSettingsSources Result;
    Result.DeviceVersion = 16;
    Result.ScanDrives = [](bool) { return QStringList{QStringLiteral("/media/cdrom/")}; };
    Result.ShowInformation = [](const QString&) {};
    return Result;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const QString Root = FreshFolder(QStringLiteral("settings"));
    ProgramPath = Root + QStringLiteral("program/");
    SettingsPath = Root + QStringLiteral("settings/");
    const QString DataFolder = Root + QStringLiteral("data/");
    for (const QString& Folder : {ProgramPath, SettingsPath, DataFolder})
        QDir().mkpath(Folder);

    const QByteArray Bytes(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size));
    const QList<QByteArray> Files = SplitInput(Bytes, "\n===VxComm3ip===\n", 2);
    WriteFuzzFile(SettingsFileName(), QByteArray(Files[0]).replace("%DATA%", DataFolder.toUtf8()));
    if (Bytes.contains("\n===VxComm3ip===\n"))
        WriteFuzzFile(ProgramPath + QStringLiteral("VxComm3ip"), Files[1]);

    try {
        ReadSettings(Sources());
        if (SettingsIncomplete)
            return 0;
        const TSettings Complete = Settings;
        VX_FUZZ_CHECK(SaveSettings());
        VX_FUZZ_CHECK(SaveDeviceVersion());
        VX_FUZZ_CHECK(SaveShutdownSettings());
        VX_FUZZ_CHECK(SaveRegistered());
        ReadSettings(Sources());
        VX_FUZZ_CHECK(!SettingsIncomplete);
        VX_FUZZ_CHECK(Settings == Complete);
    } catch (const Exception&) {
        // The program's own errors are reported to the user; anything else ends the run here.
    }
    return 0;
}
