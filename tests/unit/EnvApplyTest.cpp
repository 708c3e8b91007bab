#include "main/settings/EnvApply.h"

#include "main/device/VxComm.h"
#include "main/settings/IPPBXIni.h"
#include "main/settings/Settings.h"
#include "platform/ini/IniFile.h"
#include "platform/sound/WavePlayer.h"
#include "platform/sys/SerialPorts.h"
#include "platform/sys/Volume.h"
#include "platform/ui/MessageBox.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

void WriteFile(const QString& Name, const QByteArray& Bytes)
{
    QFile File(Name);
    ASSERT_TRUE(File.open(QIODevice::WriteOnly));
    File.write(Bytes);
}

TEST(EnvApplyTest, PortFollowsTheAdapterPortType)
{
    // Items: COM1, COM5, USB, TAPI制御 (4 items).
    const struct
    {
        int PortType, Current, Opened, Expected;
    } Cases[] = {
        {1, 0, 0, 2}, {2, 1, 0, 3}, {0, 2, 1, 1}, {0, 3, 2, 0}, {0, 2, 3, 0}, {0, 1, 0, 1}, {7, 2, 0, 2},
    };
    for (const auto& Case : Cases)
        EXPECT_EQ(PortIndexForAdapter(Case.PortType, Case.Current, Case.Opened, 4), Case.Expected)
            << Case.PortType << " " << Case.Current << " " << Case.Opened;
}

TEST(EnvApplyTest, NumberTextsAndGenerationWarning)
{
    const struct
    {
        const char* Text;
        std::optional<int> Expected;
    } Numbers[] = {{"7", 7}, {" 14 ", 14}, {"12a", {}}, {"20", {}}, {"0", {}}, {"", {}}, {"-3", {}}, {"１２", {}}};
    for (const auto& Case : Numbers) {
        EXPECT_EQ(AcceptNumberText(QString::fromUtf8(Case.Text), 1, 14), Case.Expected) << Case.Text;
    }

    using EState = TGenerationWarning::EState;
    const struct
    {
        const char* Text;
        int Stored;
        EState State;
        const char* Generation;
    } Warnings[] = {
        {"3", 5, EState::Shown, "4 世代目以降のバックアップデータ"},
        {"8", 9, EState::Shown, "9 世代目のバックアップデータ"},
        {"1", 2, EState::Shown, "2 世代目以降のバックアップデータ"},
        {"5", 5, EState::Hidden, ""},
        {"7", 5, EState::Hidden, ""},
        {"1", 1, EState::Hidden, ""},
        {"", 5, EState::Hidden, ""},
        {"0", 5, EState::Hidden, ""},
        {"10", 5, EState::Unchanged, ""},
        {"2x", 5, EState::Unchanged, ""},
    };
    for (const auto& Case : Warnings) {
        const TGenerationWarning Warning = GenerationWarning(QString::fromUtf8(Case.Text), Case.Stored);
        EXPECT_EQ(Warning.State, Case.State) << Case.Text << " " << Case.Stored;
        EXPECT_EQ(Warning.Generation, QString::fromUtf8(Case.Generation)) << Case.Text;
    }
    EXPECT_EQ(MapSearchKinds(0).value(1), QStringLiteral("電話番号を優先"));
    EXPECT_EQ(MapSearchKinds(9).value(1), QStringLiteral("住所を優先"));
    EXPECT_EQ(DataPathForEdit(QStringLiteral("/home/a/Data/")), QStringLiteral("/home/a/Data"));
    EXPECT_EQ(DataPathForEdit(QStringLiteral("/")), QStringLiteral("/"));
}

TEST(EnvApplyTest, SerialPortsAndTheirComNames)
{
    QTemporaryDir Dev;
    const QString Folder = Dev.path() + QLatin1Char('/');
    for (const char* Name : {"ttyS1", "ttyUSB2", "ttyACM0", "ttyS9", "ttyUSB3"})
        WriteFile(Folder + QLatin1String(Name), {});
    EXPECT_EQ(ExistingComPorts(Folder), QList<int>({2, 7, 8}));
    EXPECT_EQ(ComPortDevice(1), QStringLiteral("/dev/ttyS0"));
    EXPECT_EQ(ComPortDevice(9), QStringLiteral("/dev/ttyACM1"));
    EXPECT_TRUE(ComPortDevice(10).isEmpty());
    const auto Shown = [&](const QString& Stored) {
        QStringList Texts;
        for (const TPortItem& Item : PortItems(Folder, Stored))
            Texts.append(Item.Port + QLatin1Char('=') + Item.Display + (Item.Present ? "" : " absent"));
        return Texts.join(QLatin1Char(','));
    };
    const QString Present =
        QStringLiteral("COM2=COM2 (ttyS1),COM7=COM7 (ttyUSB2),COM8=COM8 (ttyACM0),USB=USB,TAPI制御=TAPI制御");
    for (const char* Stored : {"", "COM2", "USB", "COM10", "com5"}) {
        EXPECT_EQ(Shown(QLatin1String(Stored)), Present) << Stored;
    }
    // The stored port whose device is gone keeps its place in the list.
    EXPECT_EQ(Shown(QStringLiteral("COM5")), QStringLiteral("COM2=COM2 (ttyS1),COM5=COM5 (なし) absent,COM7=COM7 "
                                                            "(ttyUSB2),COM8=COM8 (ttyACM0),USB=USB,TAPI制御=TAPI制御"));
    EXPECT_EQ(Shown(QStringLiteral("COM9")).section(QLatin1Char(','), 3, 3), QStringLiteral("COM9=COM9 (なし) absent"));
    EXPECT_EQ(PortItemIndex(PortItems(Folder), QStringLiteral("COM3")), -1);
    // A plain file opens; a path that is not there does not.
    EXPECT_TRUE(ProbeSerialPort(Folder + QStringLiteral("ttyS1")));
    EXPECT_FALSE(ProbeSerialPort(Folder + QStringLiteral("ttyS0")));
}

TEST(EnvApplyTest, DriveTypeOfAPathFromTheMountTable)
{
    QTemporaryDir Dir;
    const QString Mounts = Dir.filePath(QStringLiteral("mounts"));
    WriteFile(Mounts, "/dev/vda / ext4 rw 0 0\n"
                      "tmpfs /tmp tmpfs rw 0 0\n"
                      "srv:/x /mnt/share nfs4 rw 0 0\n"
                      "/dev/sr0 /media/cd\\040rom iso9660 ro 0 0\n"
                      "proc /proc proc rw 0 0\n"
                      "/dev/vdb /mnt/share/local xfs rw 0 0\n");
    const struct
    {
        const char* Path;
        TDriveType Type;
    } Cases[] = {
        {"/home/user/Data", TDriveType::Fixed},    {"/tmp/x", TDriveType::RamDisk},
        {"/mnt/share/a", TDriveType::Remote},      {"/mnt/shared", TDriveType::Fixed},
        {"/mnt/share/local/d", TDriveType::Fixed}, {"/media/cd rom/x", TDriveType::CDRom},
        {"/proc/1", TDriveType::Unknown},          {"relative/x", TDriveType::NoRootDir},
    };
    for (const auto& Case : Cases) {
        EXPECT_EQ(GetDriveType(QString::fromUtf8(Case.Path), Mounts), Case.Type) << Case.Path;
    }
    EXPECT_TRUE(GetVolumeLabel(QStringLiteral("/media/nothing"), Mounts).isEmpty());
}

QByteArray Wave(quint16 Tag, quint16 Bits, bool FormatFirst = true)
{
    QByteArray Format(16, '\0');
    qToLittleEndian<quint16>(Tag, Format.data());
    qToLittleEndian<quint16>(1, Format.data() + 2);
    qToLittleEndian<quint32>(8000, Format.data() + 4);
    qToLittleEndian<quint32>(8000 * Bits / 8, Format.data() + 8);
    qToLittleEndian<quint16>(Bits / 8, Format.data() + 12);
    qToLittleEndian<quint16>(Bits, Format.data() + 14);
    const auto Chunk = [](const QByteArray& Id, const QByteArray& Body) {
        QByteArray Size(4, '\0');
        qToLittleEndian<quint32>(quint32(Body.size()), Size.data());
        return Id + Size + Body;
    };
    const QByteArray Data = Chunk("data", QByteArray(400, '\x10'));
    const QByteArray Fmt = Chunk("fmt ", Format);
    const QByteArray Body = "WAVE" + Chunk("LIST", "odd") + '\0' + (FormatFirst ? Fmt + Data : Data + Fmt);
    QByteArray Size(4, '\0');
    qToLittleEndian<quint32>(quint32(Body.size()), Size.data());
    return "RIFF" + Size + Body;
}

TEST(EnvApplyTest, WavesThePlayerTakes)
{
    TWaveFormat Format;
    ASSERT_TRUE(ParseWave(Wave(1, 16), Format));
    EXPECT_EQ(Format.Channels, 1);
    EXPECT_EQ(Format.SampleRate, 8000);
    EXPECT_EQ(Format.BitsPerSample, 16);
    EXPECT_EQ(Format.DataSize, 400);
    EXPECT_EQ(Wave(1, 16).mid(Format.DataOffset - 8, 4), QByteArray("data"));
    EXPECT_TRUE(ParseWave(Wave(3, 32), Format));
    EXPECT_FALSE(ParseWave(Wave(2, 4), Format)); // ADPCM
    EXPECT_FALSE(ParseWave(Wave(1, 16, false), Format));
    EXPECT_FALSE(ParseWave(QByteArray("RIFF\0\0\0\0WAVE", 12), Format));
    EXPECT_FALSE(PlayWaveAsync("not a wave"));
    // With or without a sound card: it starts, and stopping returns at once.
    EXPECT_TRUE(PlayWaveAsync(Wave(1, 16)));
    StopWave();
}

TEST(EnvApplyTest, IPPBXValuesAreNormalisedAndChecked)
{
    const TIPPBXValues Typed{QStringLiteral(" ２０１ "), QStringLiteral("１９２．１６８．０．１"),
                             QStringLiteral("0501234"), QStringLiteral(" ＰＣ "), QStringLiteral("ｐａｓｓ")};
    const TIPPBXValues Values = NormalizeIPPBXValues(Typed);
    EXPECT_EQ(Values.From, QStringLiteral("201"));
    EXPECT_EQ(Values.Host, QStringLiteral("192.168.0.1"));
    EXPECT_EQ(Values.User, QStringLiteral("ＰＣ"));
    EXPECT_EQ(Values.Password, QStringLiteral("pass"));
    EXPECT_FALSE(CheckIPPBXValues(Values, true));

    const struct
    {
        std::function<void(TIPPBXValues&)> Change;
        bool WithUser;
        std::optional<TIPPBXField> Field;
    } Cases[] = {
        {[](TIPPBXValues& V) { V.Host.clear(); }, true, TIPPBXField::Host},
        {[](TIPPBXValues& V) { V.Host = QStringLiteral("router.local"); }, true, TIPPBXField::Host},
        {[](TIPPBXValues& V) { V.From.clear(); }, true, TIPPBXField::From},
        {[](TIPPBXValues& V) { V.Telno.clear(); }, true, TIPPBXField::Telno},
        {[](TIPPBXValues& V) { V.User.clear(); }, true, TIPPBXField::User},
        {[](TIPPBXValues& V) { V.Password.clear(); }, true, TIPPBXField::Password},
        {[](TIPPBXValues& V) { V.User.clear(), V.Password.clear(); }, false, {}},
    };
    for (const auto& Case : Cases) {
        TIPPBXValues Changed = Values;
        Case.Change(Changed);
        const auto Problem = CheckIPPBXValues(Changed, Case.WithUser);
        EXPECT_EQ(Problem ? std::optional(Problem->Field) : std::nullopt, Case.Field);
    }
    EXPECT_FALSE(IPPBXKindHasUser(200));
    EXPECT_FALSE(IPPBXKindHasUser(211));
    EXPECT_TRUE(IPPBXKindHasUser(220));
    EXPECT_FALSE(SaveIPPBXSettings(QString(), Values, true));
}

// The apply without the dialog: a settings folder of its own and a device library that refuses the line.
class EnvApplyRunTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SettingsPath = Dir.path() + QStringLiteral("/set/");
        QDir().mkpath(SettingsPath);
        QDir().mkpath(Dir.path() + QStringLiteral("/data"));
        Settings = TSettings{};
        SettingsIncomplete = false;
        IPPBXDetailChanged = false;
        EnvHooks() = TEnvHooks{};
        EnvHooks().Wait = [](int) {};
        EnvHooks().LineOwner = &Window;
        EnvHooks().MountsFile = Dir.filePath(QStringLiteral("mounts"));
        WriteFile(EnvHooks().MountsFile, "/dev/vda / ext4 rw 0 0\n");

        Input.Ports = {{QStringLiteral("COM1"), QStringLiteral("COM1")}, {PortUsb, PortUsb}, {PortTapi, PortTapi}};
        Input.DataPath = Dir.path() + QStringLiteral("/data");
        Input.SelectItems = {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
        Input.AdapterPortType = 1;
        Input.PortIndex = 1;
        Input.AdapterCode = 2;
        Opened.DataPath = Input.DataPath;
        Opened.SelectItems = Input.SelectItems;
    }
    void TearDown() override
    {
        VxCommDLL = nullptr;
        SerialCommDLL.reset();
        IPCommDLL.reset();
    }

    QStringList Run()
    {
        QStringList Shown;
        TEnvApply Apply(Input, Opened);
        Apply.Message = [&](int, const QString& Text, unsigned Flags) {
            Shown.append(Text + QStringLiteral(" #%1").arg(Flags & MB_ICONMASK, 0, 16));
            return (Flags & MB_TYPEMASK) == MB_YESNO ? IDYES : IDOK;
        };
        if (const auto Problem = Apply.Check()) {
            Shown.append(QStringLiteral("problem ") + Problem->Text);
            return Shown;
        }
        Flags = Apply.Flags;
        Apply.Apply();
        return Shown;
    }

    QTemporaryDir Dir;
    TWindowHandle Window{[](void*, uint32_t, uintptr_t, intptr_t) -> intptr_t { return 0; }, nullptr};
    TEnvInput Input;
    TEnvOpened Opened;
    TEnvFlags Flags;
};

TEST_F(EnvApplyRunTest, EnvironmentSectionOnlyInAnExistingFile)
{
    EXPECT_FALSE(SaveEnvironmentSection({3, false}));
    EXPECT_FALSE(QFile::exists(SettingsFileName()));
    EXPECT_EQ(LoadEnvironmentSection().InitTab, 0);
    EXPECT_TRUE(LoadEnvironmentSection().TipView);
    for (const int Stored : {7, -1, 6}) {
        TMemIniFile Ini(SettingsFileName());
        Ini.WriteInteger(QStringLiteral("ENVIRONMENT"), QStringLiteral("InitTab"), Stored);
        ASSERT_TRUE(Ini.UpdateFile());
        EXPECT_EQ(LoadEnvironmentSection().InitTab, Stored == 6 ? 6 : 0) << Stored;
    }
    EXPECT_TRUE(SaveEnvironmentSection({3, false}));
    EXPECT_EQ(LoadEnvironmentSection().InitTab, 3);
    EXPECT_FALSE(LoadEnvironmentSection().TipView);
}

TEST_F(EnvApplyRunTest, FailedReopenStillKeepsTheNewSettings)
{
    // Each way the line can refuse to open: its own message, then the restart failure.
    const struct
    {
        const char* Library;
        QString Shown;
    } Cases[] = {
        {"openbusy", EnvText::PortBusy + QStringLiteral(" #30")},
        {"openusb", EnvText::UsbDriverMissing(QStringLiteral("Fixture B")) + QStringLiteral(" #30")},
        {"openfault", EnvText::PortBusy + QStringLiteral(" #10")},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Library);
        EnvHooks().DeviceLibraryFolder = QStringLiteral(VX_FIXTURE_DIR "/") + QLatin1String(Case.Library) + '/';
        Input.AdapterIndex = 1; // another adapter than at the opening
        Input.AdapterCode = 8;  // "Fixture B"
        EXPECT_EQ(Run(), QStringList({EnvText::RestartNotice + QStringLiteral(" #40"), Case.Shown,
                                      EnvText::RestartFailed + QStringLiteral(" #10")}));
        EXPECT_EQ(TMemIniFile(SettingsFileName()).ReadString(QStringLiteral("COMMON"), QStringLiteral("Port"), {}),
                  PortUsb);
        ASSERT_NE(VxCommDLL, nullptr);
        EXPECT_NE(VxCommDLL->OpenResult(), VxCommLineOpen);
        VxCommDLL = nullptr;
        SerialCommDLL.reset();
        IPCommDLL.reset();
    }
}

TEST_F(EnvApplyRunTest, BackupOfferAndChangeFlags)
{
    EnvHooks().DeviceLibraryFolder = QStringLiteral(VX_BIN_DIR "/");
    Input.UseFbAdrs = true;
    Input.FbAvailable = true;
    Input.FbAdrsBooks = {{QStringLiteral("会社"), QStringLiteral("Book1")},
                         {QStringLiteral("個人"), QStringLiteral("Book2")}};
    const struct
    {
        const char* Name;
        std::function<void()> Change;
        bool Offer;
    } Cases[] = {
        {"nothing changed", [] {}, false},
        {"link was off", [] { Settings.UseFbAdrs = false; }, true},
        {"other edition", [this] { Input.FbSeries = 1; }, true},
        {"other book", [this] { Input.FbAdrsBook = 1; }, true},
        {"book renamed", [] { Settings.FbAdrsBookName = QStringLiteral("Old"); }, true},
        {"no books", [this] { Input.FbAdrsBooks.clear(); }, true},
        {"backup turned on", [this] { Settings.FbBackup = false, Input.FbBackup = true; }, true},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        Settings.UseFbAdrs = true;
        Settings.FbSeries = 0;
        Settings.FbAdrsBook = 0;
        Settings.FbAdrsBookName = QStringLiteral("Book1");
        Settings.FbBackup = true;
        Input.FbSeries = 0;
        Input.FbAdrsBook = 0;
        Input.FbBackup = true;
        Input.FbAdrsBooks = {{QStringLiteral("会社"), QStringLiteral("Book1")},
                             {QStringLiteral("個人"), QStringLiteral("Book2")}};
        Case.Change();
        bool BackedUp = false;
        EnvHooks().BackupFbAdrsBook = [&] { return BackedUp = true, false; };
        const QStringList Shown = Run();
        EXPECT_EQ(Flags.BackupOffer, Case.Offer);
        EXPECT_EQ(BackedUp, Case.Offer);
        EXPECT_EQ(Shown.size(), Case.Offer ? 2 : 0);
        if (Case.Offer) {
            EXPECT_EQ(Shown.value(1), EnvText::FbBackupFailed + QStringLiteral(" #40"));
        }
    }
    EXPECT_EQ(Settings.FbAdrsBookName, QStringLiteral("Book1"));
}

} // namespace
