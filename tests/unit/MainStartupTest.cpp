#include "main/start/MainStartup.h"

#include <QList>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

// Records every step the start-up takes and answers from a script.
class TRecordingHost : public TStartupHost
{
public:
    TStartupSettings S;
    QStringList Steps;
    QStringList Messages;
    bool WrapperLoads = true;
    bool KindsLoad = true;
    bool KindListed = true;
    bool BookChangedAnswer = false;
    bool PasswordGiven = true;
    std::optional<int> EnvironmentResult; // none: the settings dialog is not in the program
    QList<int> OpenResults;               // one per open; 0 when used up
    bool RingReadable = true;
    bool SerialInUse = true;
    int HistoryCount = 0;
    int RegistAnswer = 1;
    bool UpdateRestart = false;
    bool Open = false;
    std::optional<int> AdapterChosenInEnvironment;
    // The step during which the session ends: its loop is ended from outside, and a dialog then
    // answers as QDialog does (0), the registration prompt NoRegistAnswer.
    QString SessionEndsDuring;

    TStartupSettings Settings() const override { return S; }
    void SetSettingsIncomplete(bool Value) override { S.SettingsIncomplete = Value; }
    int ShowMessage(const QString& Text, TMsgKind Kind) override
    {
        Messages << QString::number(int(Kind)) + QLatin1Char('|') + Text;
        Steps << QStringLiteral("Message");
        return 1;
    }
    void CreateManual() override { Steps << QStringLiteral("CreateManual"); }
    void WaitForSplash() override { Step(QStringLiteral("WaitForSplash")); }
    bool ReadIPPBX() override
    {
        Steps << QStringLiteral("ReadIPPBX");
        return false;
    }
    bool CreateDeviceWrapper(bool IP) override
    {
        Steps << QStringLiteral("CreateDeviceWrapper");
        return WrapperLoads;
    }
    void ReadSettings() override { Steps << QStringLiteral("ReadSettings"); }
    bool AskStartupPassword() override
    {
        Steps << QStringLiteral("AskStartupPassword");
        return PasswordGiven;
    }
    void ShowInfoDialog() override { Step(QStringLiteral("ShowInfoDialog")); }
    bool LoadKinds(bool Option) override
    {
        Steps << QStringLiteral("LoadKinds");
        return KindsLoad;
    }
    bool SelectKind(int Code) override
    {
        Steps << QStringLiteral("SelectKind %1").arg(Code);
        return KindListed;
    }
    QString SelectedKindName() const override { return QStringLiteral(" USBアダプター "); }
    int SelectedKindHistoryCount() const override { return HistoryCount; }
    bool CheckFbAdrsBook() override
    {
        Steps << QStringLiteral("CheckFbAdrsBook");
        return BookChangedAnswer;
    }
    std::optional<int> ShowEnvironment(const QString& Message, TMsgKind Kind) override
    {
        if (!EnvironmentResult)
            return std::nullopt;
        ShowMessage(Message, Kind);
        if (Step(QStringLiteral("Environment")))
            return 0;
        if (AdapterChosenInEnvironment)
            S.Adapter = *AdapterChosenInEnvironment;
        return EnvironmentResult;
    }
    bool LoadRingStream(const QString& FileName) override
    {
        Steps << QStringLiteral("LoadRing");
        return RingReadable;
    }
    bool SerialLibraryInUse() const override { return SerialInUse; }
    void SetLinePort(int Kind, int Port) override { Steps << QStringLiteral("SetLinePort %1 %2").arg(Kind).arg(Port); }
    int OpenLine() override { return NextOpen(QStringLiteral("Open")); }
    int OpenLineEx(int Mode, bool CTISet) override
    {
        return NextOpen(QStringLiteral("OpenEx %1 %2").arg(Mode).arg(int(CTISet)));
    }
    bool LineOpen() const override { return Open; }
    void ShowUsbSerialNote(const QString& Text) override { Steps << QStringLiteral("UsbNote ") + Text; }
    void CreateDataModule() override { Steps << QStringLiteral("CreateDataModule"); }
    void EnableGetHistory(bool Enabled) override { Steps << QStringLiteral("EnableGetHistory %1").arg(int(Enabled)); }
    void LoadLibraries() override { Steps << QStringLiteral("LoadLibraries"); }
    void ShowTrayIcon() override { Steps << QStringLiteral("ShowTrayIcon"); }
    void ArrangeMenuWindow() override { Steps << QStringLiteral("ArrangeMenuWindow"); }
    void PostAfterStartup() override { Steps << QStringLiteral("PostAfterStartup"); }
    int ShowRegistDialog() override { return Step(QStringLiteral("RegistDialog")) ? NoRegistAnswer : RegistAnswer; }
    void OpenRegistrationPage() override { Steps << QStringLiteral("RegistrationPage"); }
    void WriteRegistered(bool Registered) override
    {
        Steps << QStringLiteral("WriteRegistered %1").arg(int(Registered));
    }
    bool StartupUpdateCheck() override
    {
        Steps << QStringLiteral("UpdateCheck");
        return UpdateRestart;
    }
    void CloseForUpdate() override { Steps << QStringLiteral("CloseForUpdate"); }
    void RunAutoBackup() override { Steps << QStringLiteral("AutoBackup"); }
    void WriteShutdownSettings() override { Steps << QStringLiteral("WriteShutdownSettings"); }
    void UnloadExtDll() override { Steps << QStringLiteral("UnloadExtDll"); }
    void FreeDictionaries() override { Steps << QStringLiteral("FreeDictionaries"); }
    void FreeDataModule() override { Steps << QStringLiteral("FreeDataModule"); }
    void RemoveHelpHandler() override { Steps << QStringLiteral("RemoveHelpHandler"); }
    void FreeManual() override { Steps << QStringLiteral("FreeManual"); }
    void CloseLines() override { Steps << QStringLiteral("CloseLines"); }
    void WriteQueuedCalls() override { Steps << QStringLiteral("WriteQueuedCalls"); }
    void FreeRingAndQueue() override { Steps << QStringLiteral("FreeRingAndQueue"); }
    void FreeDeviceWrappers() override { Steps << QStringLiteral("FreeDeviceWrappers"); }

private:
    // Records the step; true when the session ended during it.
    bool Step(const QString& Name)
    {
        Steps << Name;
        if (Name != SessionEndsDuring)
            return false;
        ProgramEnding = true;
        return true;
    }

    int NextOpen(const QString& Step)
    {
        Steps << Step;
        const int Result = OpenResults.isEmpty() ? 0 : OpenResults.takeFirst();
        Open = Result == 0;
        return Result;
    }
};

QString Msg(TMsgKind Kind, const QString& Text)
{
    return QString::number(int(Kind)) + QLatin1Char('|') + Text;
}

class MainStartupTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        UIIdle = false;
        ClosingForUpdate = false;
        ProgramEnding = false;
        Host.S.Adapter = 5;
        Host.S.Port = QStringLiteral("COM3");
    }
    TRecordingHost Host;
    TMainStartup Startup{Host};
};

TEST_F(MainStartupTest, CompleteCreationRunsEveryStepInOrder)
{
    Host.S.ShowInfo = true;
    Host.S.UseFbAdrs = true;
    Host.S.RingSound = true;
    Host.HistoryCount = 50;
    ASSERT_TRUE(Startup.RunCreation());
    const QStringList Expected = {
        "CreateManual", "WaitForSplash",      "ReadIPPBX",          "CreateDeviceWrapper",
        "ReadSettings", "AskStartupPassword", "ShowInfoDialog",     "LoadKinds",
        "SelectKind 5", "CheckFbAdrsBook",    "LoadRing",           "SetLinePort 5 3",
        "Open",         "CreateDataModule",   "EnableGetHistory 1", "LoadLibraries",
        "ShowTrayIcon", "ArrangeMenuWindow",  "PostAfterStartup",
    };
    EXPECT_EQ(Host.Steps, Expected);
    EXPECT_TRUE(Host.Messages.isEmpty());
    EXPECT_TRUE(UIIdle);
    EXPECT_FALSE(Host.S.SettingsIncomplete);
}

// Every way out that ends the program leaves the settings marked incomplete and stops right there.
TEST_F(MainStartupTest, TerminatingStepsStopTheCreation)
{
    struct TCase
    {
        const char* Name;
        std::function<void(TRecordingHost&)> Arrange;
        QString LastStep;
        QStringList Messages;
    };
    const QList<TCase> Cases = {
        {"library missing", [](TRecordingHost& H) { H.WrapperLoads = false; }, "CreateDeviceWrapper", {}},
        {"password refused", [](TRecordingHost& H) { H.PasswordGiven = false; }, "AskStartupPassword", {}},
        {"no adapter kinds",
         [](TRecordingHost& H) { H.KindsLoad = false; },
         "Message",
         {Msg(TMsgKind::Stop, "アダプター情報が取得できませんでした  \r\nプログラムを終了します  ")}},
        {"settings dialog cancelled",
         [](TRecordingHost& H) {
             H.S.SettingsIncomplete = true;
             H.EnvironmentResult = 2;
         },
         "Environment",
         {Msg(TMsgKind::Information, "動作環境を設定するため環境設定に入ります　")}},
        {"fatal open result",
         [](TRecordingHost& H) { H.OpenResults = {5}; },
         "Message",
         {Msg(TMsgKind::Stop, "通信ポートがオープンできません  \r\nコンピューターを再起動後、お試しください  ")}},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        TRecordingHost H;
        H.S.Adapter = 5;
        H.S.Port = QStringLiteral("COM3");
        Case.Arrange(H);
        TMainStartup S(H);
        EXPECT_FALSE(S.RunCreation());
        EXPECT_EQ(H.Steps.last(), Case.LastStep);
        EXPECT_EQ(H.Messages, Case.Messages);
        EXPECT_TRUE(H.S.SettingsIncomplete);
        EXPECT_FALSE(H.Steps.contains("CreateDataModule"));
    }
}

TEST_F(MainStartupTest, IncompleteSettingsMessageIsChosenByCause)
{
    struct TCase
    {
        bool DllReplaced;
        bool BookChanged;
        bool FileExists;
        QString Text;
    };
    const QList<TCase> Cases = {
        {true, true, true, "VxComm3.dllが差し替えられました  \r\n環境設定に入ります  "},
        {false, true, true, "登録名簿として指定中のFernbookに変更または不備がありました  \r\n環境設定に入ります  "},
        {false, false, true, "環境情報に変更がありました  \r\n環境設定に入ります  "},
        {false, false, false, "動作環境を設定するため環境設定に入ります　"},
    };
    for (const TCase& Case : Cases) {
        TRecordingHost H;
        H.S.Adapter = 0;
        H.S.SettingsIncomplete = !Case.BookChanged;
        H.S.DllReplaced = Case.DllReplaced;
        H.S.SettingsFileExists = Case.FileExists;
        H.S.UseFbAdrs = true;
        H.BookChangedAnswer = Case.BookChanged;
        H.EnvironmentResult = 1;
        TMainStartup S(H);
        EXPECT_TRUE(S.RunCreation());
        EXPECT_EQ(H.Messages, QStringList{Msg(TMsgKind::Information, Case.Text)});
        // After the dialog the adapter is selected anew; the settings are complete again at the end.
        EXPECT_EQ(H.Steps.indexOf("Environment") + 1, H.Steps.lastIndexOf("SelectKind 0"));
        EXPECT_FALSE(H.S.SettingsIncomplete);
    }
}

TEST_F(MainStartupTest, UnlistedAdapterMarksSettingsIncompleteUnlessDllReplaced)
{
    Host.KindListed = false;
    Host.EnvironmentResult = 1;
    ASSERT_TRUE(Startup.RunCreation());
    EXPECT_EQ(Host.Messages.size(), 1);

    TRecordingHost Replaced;
    Replaced.S.Adapter = 0;
    Replaced.S.DllReplaced = true;
    Replaced.S.SettingsIncomplete = true;
    Replaced.EnvironmentResult = 1;
    TMainStartup S(Replaced);
    ASSERT_TRUE(S.RunCreation());
    // Only the selection after the settings dialog; none before it.
    EXPECT_EQ(Replaced.Steps.count("SelectKind 0"), 1);
}

// Without the settings dialog in the program the start goes on silently with what the reader gave.
TEST_F(MainStartupTest, MissingSettingsDialogIsSkipped)
{
    Host.S.SettingsIncomplete = true;
    Host.OpenResults = {1};
    ASSERT_TRUE(Startup.RunCreation());
    EXPECT_TRUE(Host.Messages.isEmpty());
    EXPECT_EQ(Host.Steps.count("Open"), 1);
    EXPECT_TRUE(Host.Steps.contains("PostAfterStartup"));
}

TEST_F(MainStartupTest, BusyPortAndMissingDriverEnterTheSettingsAndRetry)
{
    Host.OpenResults = {1, 31, 0};
    Host.EnvironmentResult = 1;
    ASSERT_TRUE(Startup.RunCreation());
    EXPECT_EQ(Host.Steps.count("Open"), 3);
    const QStringList Expected = {
        Msg(TMsgKind::Information,
            "通信ポートがオープンできません  \r\nCOM3が別のアプリケーションで使用されている可能性があります  "
            "\r\n再設定のため環境設定に入ります  "),
        Msg(TMsgKind::Warning,
            "「USBアダプター」用のUSBドライバーが  \r\n正しくセットアップされていないようです  \r\n\r\n"
            "環境設定に入りますが、この機種をお使いになられる場合は  \r\n"
            "ドライバーをセットアップ後、お試しください  "),
    };
    EXPECT_EQ(Host.Messages, Expected);
    EXPECT_FALSE(Host.S.SettingsIncomplete);
}

// The port's retry opens the adapter chosen in the settings dialog, and names it in its messages.
TEST_F(MainStartupTest, RetryAfterTheSettingsDialogSelectsTheChosenAdapter)
{
    Host.OpenResults = {1, 0};
    Host.EnvironmentResult = 1;
    Host.AdapterChosenInEnvironment = 9;
    ASSERT_TRUE(Startup.RunCreation());
    const qsizetype Dialog = Host.Steps.indexOf("Environment");
    ASSERT_GT(Dialog, 0);
    EXPECT_EQ(Host.Steps.mid(Dialog + 1, 3), (QStringList{"SelectKind 9", "SetLinePort 9 3", "Open"}));
}

// The session ends while a dialog of the start-up is open: what the dialog gives back then is nobody's
// answer, and the start-up ends there as at Cancel, before the line and the tables.
TEST_F(MainStartupTest, SessionEndDuringAStartupDialogEndsTheCreation)
{
    struct TCase
    {
        const char* Step;
        std::function<void(TRecordingHost&)> Arrange;
    };
    const QList<TCase> Cases = {
        {"WaitForSplash", [](TRecordingHost&) {}},
        {"ShowInfoDialog", [](TRecordingHost& H) { H.S.ShowInfo = true; }},
        {"Environment",
         [](TRecordingHost& H) {
             H.S.SettingsIncomplete = true;
             H.EnvironmentResult = 1;
         }},
        {"Environment",
         [](TRecordingHost& H) {
             H.OpenResults = {1, 0};
             H.EnvironmentResult = 1;
         }},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Step);
        ProgramEnding = false;
        TRecordingHost H;
        H.S.Adapter = 5;
        H.S.Port = QStringLiteral("COM3");
        H.SessionEndsDuring = QString::fromLatin1(Case.Step);
        Case.Arrange(H);
        EXPECT_FALSE(TMainStartup(H).RunCreation());
        EXPECT_EQ(H.Steps.last(), QString::fromLatin1(Case.Step));
        EXPECT_TRUE(H.S.SettingsIncomplete);
    }
    ProgramEnding = false;
}

TEST_F(MainStartupTest, SessionEndDuringTheRegistrationPromptRegistersNothing)
{
    Host.S.Registered = false;
    Host.RegistAnswer = 0;
    Host.S.UpdateCheck = true;
    Host.S.AutoBU = true;
    Host.SessionEndsDuring = QStringLiteral("RegistDialog");
    Startup.RunAfterStartup();
    EXPECT_EQ(Host.Steps, QStringList{"RegistDialog"});
    ProgramEnding = false;
}

TEST_F(MainStartupTest, NoAdapterNeverOpensTheLine)
{
    Host.S.Adapter = 0;
    ASSERT_TRUE(Startup.RunCreation());
    EXPECT_FALSE(Host.Steps.contains("Open"));
    EXPECT_TRUE(Host.Steps.contains("EnableGetHistory 0"));
}

TEST_F(MainStartupTest, UsbSerialNotesAndExtendedOpen)
{
    struct TCase
    {
        int UsbSerial;
        bool NewFunc;
        bool Serial;
        qint64 Version;
        QStringList Around; // steps from SetLinePort to the open, and after it
    };
    const QString Start = "USB-シリアル変換ケーブル使用時の処理を開始します  ";
    const QString Done = "USB-シリアル変換ケーブル使用時の処理を完了しました  ";
    const QList<TCase> Cases = {
        {0, true, true, 0x02000007, {"OpenEx 0 1"}},
        {0, true, true, 0x02000006, {"Open"}},
        {0, true, false, 0x02000007, {"Open"}},
        {0, false, true, 0x02000007, {"Open"}},
        {1, false, true, 0, {"Message", "Open", "Message"}},
        {2, false, true, 0, {"Message", "Open", "Message"}},
        {10, false, true, 0, {"Open", "UsbNote USB-シリアル変換ケーブル使用時の処理中．．．  "}},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.UsbSerial);
        TRecordingHost H;
        H.S.Adapter = 7;
        H.S.Port = QStringLiteral("USB");
        H.S.UsbSerial = Case.UsbSerial;
        H.S.NewFunc = Case.NewFunc;
        H.S.CTISet = true;
        H.S.DllVersion = Case.Version;
        H.SerialInUse = Case.Serial;
        TMainStartup S(H);
        ASSERT_TRUE(S.RunCreation());
        const int From = H.Steps.indexOf("SetLinePort 7 0") + 1;
        EXPECT_EQ(H.Steps.mid(From, Case.Around.size()), Case.Around);
        if (Case.UsbSerial == 1 || Case.UsbSerial == 2) {
            const TMsgKind Kind = Case.UsbSerial == 1 ? TMsgKind::None : TMsgKind::Plain;
            EXPECT_EQ(H.Messages, (QStringList{Msg(Kind, Start), Msg(Kind, Done)}));
        }
    }
}

TEST_F(MainStartupTest, UnreadableRingFileGivesOneMessage)
{
    Host.S.RingSound = true;
    Host.RingReadable = false;
    ASSERT_TRUE(Startup.RunCreation());
    EXPECT_EQ(Host.Messages, QStringList{Msg(TMsgKind::Information, RingFileMessage)});
}

TEST_F(MainStartupTest, PortNumberFromText)
{
    const QList<QPair<QString, int>> Cases = {
        {"COM1", 1}, {"COM9", 9}, {"COM12", 1}, {"COM", 0}, {"COMx", 0}, {"USB", 0}, {"TAPI制御", 0}, {"", 0},
    };
    for (const auto& [Port, Number] : Cases) {
        EXPECT_EQ(PortNumberFromText(Port), Number) << Port.toStdString();
    }
}

TEST_F(MainStartupTest, AfterStartupRegistrationUpdateAndBackup)
{
    struct TCase
    {
        bool Registered;
        int Answer;
        bool UpdateCheck;
        bool Restart;
        bool AutoBU;
        bool DataPathDefaulted;
        QStringList Steps;
    };
    const QList<TCase> Cases = {
        {false, 0, false, false, false, false, {"RegistDialog", "RegistrationPage", "WriteRegistered 1"}},
        {false, 1, false, false, false, false, {"RegistDialog", "WriteRegistered 0"}},
        {false, 2, false, false, false, false, {"RegistDialog", "WriteRegistered 1"}},
        {true, 0, true, false, true, false, {"UpdateCheck", "AutoBackup"}},
        {true, 0, true, true, false, false, {"UpdateCheck", "CloseForUpdate"}},
        {true, 0, false, false, true, true, {}},
    };
    for (const TCase& Case : Cases) {
        TRecordingHost H;
        H.S.Registered = Case.Registered;
        H.RegistAnswer = Case.Answer;
        H.S.UpdateCheck = Case.UpdateCheck;
        H.UpdateRestart = Case.Restart;
        H.S.AutoBU = Case.AutoBU;
        H.S.DataPathDefaulted = Case.DataPathDefaulted;
        ClosingForUpdate = true;
        TMainStartup(H).RunAfterStartup();
        EXPECT_EQ(H.Steps, Case.Steps);
        EXPECT_EQ(ClosingForUpdate, Case.Restart);
    }
}

TEST_F(MainStartupTest, CloseQuestion)
{
    struct TCase
    {
        bool EndSession, WindowsEnd, Update, CloseMsg;
        TCloseQuestion Question;
    };
    const QList<TCase> Cases = {
        {true, true, false, false, TCloseQuestion::SessionEnd}, {true, false, false, true, TCloseQuestion::None},
        {false, true, false, true, TCloseQuestion::Close},      {false, true, false, false, TCloseQuestion::None},
        {false, true, true, true, TCloseQuestion::None},
    };
    for (const TCase& C : Cases) {
        EXPECT_EQ(CloseQuestion(C.EndSession, C.WindowsEnd, C.Update, C.CloseMsg), C.Question);
    }
}

TEST_F(MainStartupTest, ShutdownOrder)
{
    Startup.RunShutdown();
    // The line closes first and its calls are written while the tables and libraries are there.
    const QStringList Expected = {"CloseLines",       "WriteQueuedCalls",  "WriteShutdownSettings", "UnloadExtDll",
                                  "FreeDictionaries", "FreeDataModule",    "RemoveHelpHandler",     "FreeManual",
                                  "FreeRingAndQueue", "FreeDeviceWrappers"};
    EXPECT_EQ(Host.Steps, Expected);
}

} // namespace
