#include "main/settings/Env.h"

#include "main/common/ProductInfo.h"
#include "main/device/VxComm.h"
#include "main/pipeline/CallPipeline.h"
#include "main/pipeline/CallWiring.h"
#include "main/settings/EnvApply.h"
#include "main/settings/IPPBXIni.h"
#include "main/settings/SetIPPBX.h"
#include "main/settings/Settings.h"
#include "main/start/MainWiring.h"
#include "main/tables/DBInfo.h"
#include "main/tables/HisInfo.h"
#include "platform/ini/IniFile.h"
#include "platform/msg/WindowMessage.h"
#include "platform/ui/MessageBox.h"
#include "tests/support/Screenshots.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

QString Texts(const QStringList& List)
{
    return List.join(QStringLiteral(" | "));
}

// A settings folder, device folder, mount table and device libraries of the test's own, with every
// message box logged and answered from a script.
class EnvTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Dir.isValid());
        const QString Root = Dir.path() + QLatin1Char('/');
        for (const char* Sub : {"prog", "set", "data", "dev", "ippbx", "net"})
            QDir().mkpath(Root + QLatin1String(Sub));
        ProgramPath = Root + QStringLiteral("prog/");
        SettingsPath = Root + QStringLiteral("set/");
        IPPBXPath = Root + QStringLiteral("ippbx");
        QFile(SettingsFileName()).open(QIODevice::WriteOnly);
        for (const char* Device : {"ttyS0", "ttyUSB0"})
            QFile(Root + QStringLiteral("dev/") + QLatin1String(Device)).open(QIODevice::WriteOnly);
        QFile Mounts(Root + QStringLiteral("mounts"));
        ASSERT_TRUE(Mounts.open(QIODevice::WriteOnly));
        Mounts.write("/dev/vda / ext4 rw 0 0\nserver:/share " + QFile::encodeName(Root) + "net nfs4 rw 0 0\n");
        Mounts.close();

        Settings = TSettings{};
        Settings.Adapter = 1; // the serial-port adapter of the stand-in library
        Settings.Port = QStringLiteral("COM1");
        Settings.DataPath = Root + QStringLiteral("data/");
        Settings.SelectItem1 = DefaultSelectItem1;
        Settings.SelectItem2 = DefaultSelectItem2;
        Settings.SelectItem3 = DefaultSelectItem3;
        Settings.WaveFile = QString();
        SettingsIncomplete = false;

        EnvHooks() = TEnvHooks{};
        EnvHooks().DeviceLibraryFolder = QStringLiteral(VX_BIN_DIR "/");
        EnvHooks().DevFolder = Root + QStringLiteral("dev/");
        EnvHooks().MountsFile = Root + QStringLiteral("mounts");
        EnvHooks().ProbePort = [this](const QString& Device) {
            Probed.append(QFileInfo(Device).fileName());
            return PortFree;
        };
        EnvHooks().Wait = [](int) {};
        EnvHooks().LineOwner = Target.Handle();
        EnvHooks().ReloadHistoryList = [this] { Hooked.append(QStringLiteral("reload")); };
        EnvHooks().SetHistoryHeader = [this](int Section, const QString& Name) {
            Hooked.append(QStringLiteral("header %1 %2").arg(Section).arg(Name));
        };
        EnvHooks().ChangeDataFolder = [this](const QString& Path) { Hooked.append(QStringLiteral("data ") + Path); };
        SetAnswers({});
    }

    void TearDown() override
    {
        if (VxCommDLL)
            VxCommDLL->Close();
        VxCommDLL = nullptr;
        SerialCommDLL.reset();
        IPCommDLL.reset();
        qunsetenv("VX_MSGBOX_LOG");
        qunsetenv("VX_MSGBOX_ANSWERS");
        ResetMessageBoxAnswers();
    }

    void SetAnswers(const QByteArray& Answers)
    {
        Log = Dir.filePath(QStringLiteral("boxes.jsonl"));
        QFile::remove(Log);
        qputenv("VX_MSGBOX_LOG", QFile::encodeName(Log));
        qputenv("VX_MSGBOX_ANSWERS", Answers);
        ResetMessageBoxAnswers();
    }

    // The texts of the boxes shown since the last SetAnswers.
    QStringList Boxes() const
    {
        QFile File(Log);
        QStringList Result;
        if (!File.open(QIODevice::ReadOnly))
            return Result;
        for (const QByteArray& Line : File.readAll().split('\n'))
            if (!Line.isEmpty()) {
                const QJsonObject Box = QJsonDocument::fromJson(Line).object();
                EXPECT_EQ(Box.value(QStringLiteral("caption")).toString(), ProductName);
                Result.append(Box.value(QStringLiteral("text")).toString());
            }
        return Result;
    }

    // Focus moves only inside the active window.
    static void ShowActive(QWidget& Dialog)
    {
        Dialog.show();
        Dialog.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&Dialog));
    }

    static void SelectAdapter(QComboBox* List, int Kind)
    {
        List->setCurrentIndex(List->findData(Kind));
        emit List->activated(List->currentIndex());
    }

    QTemporaryDir Dir;
    QString Log;
    TMessageTarget Target;
    QStringList Probed;
    QStringList Hooked;
    bool PortFree = true;
};

TEST_F(EnvTest, ChecksStopAtTheFirstProblemWithItsMessagePageAndFocus)
{
    const QString Root = Dir.path() + QLatin1Char('/');
    struct TCase
    {
        const char* Name;
        std::function<void(TEnvironment&)> Change;
        QString Message;
        int Page; // -1: the page does not change
        QString Focus;
    };
    const QList<TCase> Cases = {
        {"IP line without its detail file",
         [](TEnvironment& D) { D.rbIPPBX->click(); },
         EnvText::NoIPPBXDetail,
         -1,
         {}},
        {"USB adapter on a COM port",
         [](TEnvironment& D) { D.cbxnmlAdapter->setCurrentIndex(D.cbxnmlAdapter->findData(2)); }, EnvText::NeedUsb, 0,
         QStringLiteral("cbxPort")},
        {"telephony adapter on a COM port",
         [](TEnvironment& D) { D.cbxnmlAdapter->setCurrentIndex(D.cbxnmlAdapter->findData(5)); }, EnvText::NeedTapi, 0,
         QStringLiteral("cbxPort")},
        {"COM adapter on USB", [](TEnvironment& D) { D.cbxPort->setCurrentIndex(D.cbxPort->count() - 2); },
         EnvText::NeedCom, 0, QStringLiteral("cbxPort")},
        {"COM port held by another program",
         [this](TEnvironment& D) {
             PortFree = false;
             D.cbxPort->setCurrentIndex(1);
         },
         EnvText::ComUnusable, 0, QStringLiteral("cbxPort")},
        {"no data folder", [](TEnvironment& D) { D.edtDataPath->setText(QStringLiteral("  ")); }, EnvText::NoFolder, 0,
         QStringLiteral("edtDataPath")},
        {"one character", [](TEnvironment& D) { D.edtDataPath->setText(QStringLiteral("d")); }, EnvText::InvalidFolder2,
         0, QStringLiteral("edtDataPath")},
        {"relative folder", [](TEnvironment& D) { D.edtDataPath->setText(QStringLiteral("Data/x")); },
         EnvText::InvalidFolder1, 0, QStringLiteral("edtDataPath")},
        {"missing top folder", [](TEnvironment& D) { D.edtDataPath->setText(QStringLiteral("/no-such-top/Data")); },
         EnvText::InvalidFolder2, 0, QStringLiteral("edtDataPath")},
        {"network share", [Root](TEnvironment& D) { D.edtDataPath->setText(Root + QStringLiteral("net/Data")); },
         EnvText::NeedLocalDrive, 0, QStringLiteral("edtDataPath")},
        {"new folder declined", [Root](TEnvironment& D) { D.edtDataPath->setText(Root + QStringLiteral("new/Data")); },
         EnvText::AskCreateFolder, 0, QStringLiteral("edtDataPath")},
        {"missing ring file",
         [Root](TEnvironment& D) {
             D.chkRingSound->click();
             D.edtWaveFile->setText(Root + QStringLiteral("none.wav"));
         },
         EnvText::NoWaveFile, 1, QStringLiteral("edtWaveFile")},
        {"blank select item", [](TEnvironment& D) { D.edtSelectItem2->setText(QStringLiteral("　 ")); },
         EnvText::NoSelectItem, 3, QStringLiteral("edtSelectItem2")},
        // Linux names may hold line breaks; saved, they would add keys and sections to the file.
        {"drive mounted on a folder with a line break",
         [](TEnvironment& D) {
             D.cbxCD->addItem(QStringLiteral("cd"), QStringLiteral("/media/cd\n[BASE]\nRegister=1"));
             D.cbxCD->setCurrentIndex(D.cbxCD->count() - 1);
         },
         EnvText::CDHasLineBreak,
         0,
         {}},
        {"folder named with a line break",
         [Root](TEnvironment& D) {
             const QString Folder = Root + QStringLiteral("data\n[BASE]\nRegister=1");
             QDir().mkpath(Folder);
             D.edtDataPath->setText(Folder);
         },
         EnvText::FolderHasLineBreak, 0, QStringLiteral("edtDataPath")},
        {"ring file named with a line break",
         [Root](TEnvironment& D) {
             const QString Wave = Root + QStringLiteral("ring\n[BASE]\nRegister=1.wav");
             QFile(Wave).open(QIODevice::WriteOnly);
             D.chkRingSound->click();
             D.edtWaveFile->setText(Wave);
         },
         EnvText::WaveFileHasLineBreak, 1, QStringLiteral("edtWaveFile")},
        {"select item with a line break",
         [](TEnvironment& D) { D.edtSelectItem1->setText(QStringLiteral("a\r\n[BASE]")); },
         EnvText::SelectItemHasLineBreak, 3, QStringLiteral("edtSelectItem1")},
        {"link without an installed edition", [](TEnvironment& D) { D.chkUseFbAdrs->click(); }, EnvText::FbUnavailable,
         6, QStringLiteral("chkUseFbAdrs")},
        {"keyword used twice, link off", [](TEnvironment& D) { D.cbxLine2->setCurrentIndex(0); },
         EnvText::FbKeywordTwice, 6, QStringLiteral("chkUseFbAdrs")},
        {"keyword used twice, link on",
         [](TEnvironment& D) {
             D.chkUseFbAdrs->click();
             D.lblOKNG->setText(QStringLiteral("使用可能"));
             D.cbxMemo1->setEnabled(true);
             D.cbxLine2->setCurrentIndex(0);
         },
         EnvText::FbKeywordTwice, 6, QStringLiteral("cbxMemo1")},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        SetAnswers("No");
        PortFree = true;
        const QString SettingsBefore = QString::fromUtf8(TMemIniFile(SettingsFileName()).ToBytes());
        TEnvironment Dialog(nullptr);
        ShowActive(Dialog);
        Dialog.pgctlEnv->setCurrentIndex(5);
        Case.Change(Dialog);
        Dialog.btnSet->click();
        EXPECT_EQ(Texts(Boxes()), Case.Message);
        EXPECT_TRUE(Dialog.isVisible());
        EXPECT_EQ(Dialog.pgctlEnv->currentIndex(), Case.Page < 0 ? 5 : Case.Page);
        if (!Case.Focus.isEmpty()) {
            ASSERT_NE(QApplication::focusWidget(), nullptr);
            EXPECT_EQ(QApplication::focusWidget()->objectName(), Case.Focus);
        }
        EXPECT_EQ(QString::fromUtf8(TMemIniFile(SettingsFileName()).ToBytes()), SettingsBefore);
    }
    // The port the adapter needs is chosen for the user, so a second press passes that check.
    TEnvironment Dialog(nullptr);
    Dialog.show();
    SetAnswers({});
    Dialog.cbxnmlAdapter->setCurrentIndex(Dialog.cbxnmlAdapter->findData(2));
    Dialog.btnSet->click();
    EXPECT_EQ(Dialog.cbxPort->currentText(), PortUsb);
    Dialog.btnSet->click();
    EXPECT_EQ(Texts(Boxes()), EnvText::NeedUsb + QStringLiteral(" | ") + EnvText::RestartNotice +
                                  QStringLiteral(" | ") + EnvText::RestartDone);
    EXPECT_EQ(Dialog.result(), 1);
}

TEST_F(EnvTest, UnchangedFromTheMenuWritesTheFileWithoutRestart)
{
    TEnvironment Dialog(nullptr);
    Dialog.show();
    EXPECT_EQ(Dialog.cbxPort->currentText(), QStringLiteral("COM1 (ttyS0)"));
    Dialog.edtDataPath->setText(Dialog.edtDataPath->text() + QLatin1Char('/')); // the same folder
    Dialog.udListMaxCount->RequestChange(300);
    Dialog.edtSelectItem3->setText(QStringLiteral(" 受付担当者テキスト "));
    Dialog.btnSet->click();
    EXPECT_EQ(Dialog.result(), 1);
    EXPECT_TRUE(Boxes().isEmpty()) << Texts(Boxes()).toStdString();
    EXPECT_TRUE(Probed.isEmpty()); // the port of the opening is not probed again
    EXPECT_EQ(Hooked, QStringList({QStringLiteral("reload"), QStringLiteral("header 10 受付担当者")}));
    const TMemIniFile Ini(SettingsFileName());
    EXPECT_EQ(Ini.ReadInteger(QStringLiteral("SCREEN VIEW"), QStringLiteral("ListMaxCount"), 0), 300);
    EXPECT_EQ(Ini.ReadString(QStringLiteral("SCREEN VIEW"), QStringLiteral("SelectItem3"), {}),
              QStringLiteral("受付担当者"));
    EXPECT_EQ(Ini.ReadString(QStringLiteral("COMMON"), QStringLiteral("Port"), {}), QStringLiteral("COM1"));
    EXPECT_EQ(Ini.ReadInteger(QStringLiteral("COMMON"), QStringLiteral("Adapter"), 0), 1);
}

// Whatever the library of the line kind not in use does, the dialog opens: that kind is greyed, with
// the library's own message as its hint, and nothing asks the program to end.
TEST_F(EnvTest, OtherLineKindsFailingLibraryIsShownUnavailable)
{
    const struct
    {
        const char* Name;
        const char* SerialLibrary; // folder of the VxComm3.so, none: missing
        bool IPLibrary;
        bool IPInUse;
        QString Hint;
    } Cases[] = {
        {"IP library missing", VX_BIN_DIR, false, false,
         QStringLiteral("VxComm3ip.so LoadLibrary Error\nDLLのロードに失敗しました")},
        {"serial library missing", nullptr, true, true,
         QStringLiteral("VxComm3.so LoadLibrary Error\nDLLのロードに失敗しました")},
        {"serial export missing", VX_FIXTURE_DIR "/nohistory", true, true,
         QStringLiteral("GetHistory (VxComm3.so) GetProcAddress Error\n関数の割り当てに失敗しました")},
        {"serial kinds missing", VX_FIXTURE_DIR "/zerokinds", true, true,
         QStringLiteral("アダプター情報が取得できませんでした")},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        QTemporaryDir Libraries;
        if (Case.SerialLibrary) {
            ASSERT_TRUE(QFile::copy(QLatin1String(Case.SerialLibrary) + QStringLiteral("/VxComm3.so"),
                                    Libraries.filePath(QStringLiteral("VxComm3.so"))));
        }
        if (Case.IPLibrary) {
            ASSERT_TRUE(QFile::copy(QStringLiteral(VX_BIN_DIR "/VxComm3ip.so"),
                                    Libraries.filePath(QStringLiteral("VxComm3ip.so"))));
        }
        EnvHooks().DeviceLibraryFolder = Libraries.path() + QLatin1Char('/');
        Settings.IPPBX = Case.IPInUse;
        Settings.Adapter = Case.IPInUse ? 200 : 1;
        SetAnswers({});
        {
            TEnvironment Dialog(nullptr);
            ASSERT_FALSE(Dialog.LoadFailed());
            QRadioButton* Other = Case.IPInUse ? Dialog.rbNormal : Dialog.rbIPPBX;
            QComboBox* OtherAdapters = Case.IPInUse ? Dialog.cbxnmlAdapter : Dialog.cbxPBXAdapter;
            EXPECT_FALSE(Other->isEnabled());
            EXPECT_FALSE(OtherAdapters->isEnabled());
            EXPECT_EQ(Other->toolTip(), Case.Hint);
            EXPECT_EQ(OtherAdapters->toolTip(), Case.Hint);
            EXPECT_TRUE((Case.IPInUse ? Dialog.rbIPPBX : Dialog.rbNormal)->isChecked());
            EXPECT_TRUE(Boxes().isEmpty()) << Texts(Boxes()).toStdString();
        }
        VxCommDLL = nullptr;
        SerialCommDLL.reset();
        IPCommDLL.reset();
    }
    Settings.IPPBX = false;
}

// The stored port's cable is unplugged when the dialog opens: the port stays chosen, and the check
// says it cannot be used instead of another port being written in its place.
TEST_F(EnvTest, StoredPortWithoutItsDeviceIsKept)
{
    Settings.Port = QStringLiteral("COM6"); // ttyUSB1: not in the test's device folder
    TEnvironment Dialog(nullptr);
    ShowActive(Dialog);
    EXPECT_EQ(Dialog.cbxPort->currentText(), QStringLiteral("COM6 (なし)"));
    QStringList Items;
    for (int I = 0; I < Dialog.cbxPort->count(); ++I)
        Items << Dialog.cbxPort->itemText(I);
    EXPECT_EQ(Items, QStringList({"COM1 (ttyS0)", "COM5 (ttyUSB0)", "COM6 (なし)", "USB", "TAPI制御"}));

    Dialog.btnSet->click();
    EXPECT_EQ(Dialog.result(), 0) << "the dialog stays open";
    EXPECT_EQ(Boxes(), QStringList{EnvText::ComUnusable});
    EXPECT_EQ(QApplication::focusWidget(), Dialog.cbxPort);
    EXPECT_EQ(Dialog.cbxPort->currentText(), QStringLiteral("COM6 (なし)"));
    EXPECT_EQ(TMemIniFile(SettingsFileName()).ReadString(QStringLiteral("COMMON"), QStringLiteral("Port"), {}),
              QString());

    Dialog.cbxPort->setCurrentIndex(1);
    Dialog.btnSet->click();
    EXPECT_EQ(Dialog.result(), 1);
    EXPECT_EQ(Settings.Port, QStringLiteral("COM5"));
}

// A Linux user is never sent to Windows: no caption or hint of the dialog names it.
TEST_F(EnvTest, NoTextNamesWindows)
{
    TEnvironment Dialog(nullptr);
    EXPECT_EQ(Dialog.chkWindowsEnd->text(), QStringLiteral("ログアウト時に確認ダイアログを表示する"));
    for (const QWidget* Control : Dialog.findChildren<QWidget*>()) {
        QString Text = Control->toolTip();
        if (const auto* Button = qobject_cast<const QAbstractButton*>(Control))
            Text += Button->text();
        else if (const auto* Label = qobject_cast<const QLabel*>(Control))
            Text += Label->text();
        EXPECT_FALSE(Text.contains(QStringLiteral("Windows"))) << Control->objectName().toStdString();
    }
}

TEST_F(EnvTest, ChangedPortAndFolderReopenLineAndTables)
{
    const QString Root = Dir.path() + QLatin1Char('/');
    SetAnswers("Yes");
    TEnvironment Dialog(nullptr);
    Dialog.show();
    Dialog.cbxPort->setCurrentIndex(1);
    Dialog.edtDataPath->setText(Root + QStringLiteral("other/Data"));
    Dialog.btnSet->click();
    ASSERT_EQ(Dialog.result(), 1);
    EXPECT_EQ(Texts(Boxes()), Texts({EnvText::AskCreateFolder, EnvText::RestartNotice, EnvText::RestartDone}));
    EXPECT_EQ(Probed, QStringList{QStringLiteral("ttyUSB0")});
    EXPECT_TRUE(QFileInfo(Root + QStringLiteral("other/Data")).isDir());
    EXPECT_EQ(Hooked,
              QStringList({QStringLiteral("data ") + Root + QStringLiteral("other/Data/"), QStringLiteral("reload")}));
    ASSERT_NE(VxCommDLL, nullptr);
    EXPECT_EQ(VxCommDLL, SerialCommDLL.get());
    EXPECT_EQ(IPCommDLL, nullptr);
    EXPECT_EQ(VxCommDLL->OpenResult(), VxCommLineOpen);
    EXPECT_EQ(VxCommDLL->Port(), 5);
    const TMemIniFile Ini(SettingsFileName());
    EXPECT_EQ(Ini.ReadString(QStringLiteral("COMMON"), QStringLiteral("Port"), {}), QStringLiteral("COM5"));
    EXPECT_EQ(Ini.ReadString(QStringLiteral("COMMON"), QStringLiteral("DataPath"), {}),
              Root + QStringLiteral("other/Data/"));
    EXPECT_EQ(Ini.ReadString(QStringLiteral("VERSION"), QStringLiteral("DLL"), {}), QString::number(0x02000008));
}

// A data folder whose pick list is damaged cannot be taken: the program says which list, stays on its
// folder with its tables and loaded lists, and so do its settings.
TEST_F(EnvTest, DamagedPickListInTheChosenFolderKeepsTheProgramOnItsFolder)
{
    const QString Root = Dir.path() + QLatin1Char('/');
    const QString Old = Settings.DataPath;
    {
        THistoryData Kept(Old + QStringLiteral("SelItem1.mtd"), true, 60);
        ASSERT_TRUE(Kept.Load());
        Kept.Insert(0, QStringLiteral("見積"), 1.0);
        ASSERT_TRUE(Kept.Save());
    }
    const QString New = Root + QStringLiteral("other/");
    ASSERT_TRUE(QDir().mkpath(New));
    QFile Damaged(New + QStringLiteral("SelItem2.mtd"));
    ASSERT_TRUE(Damaged.open(QIODevice::WriteOnly));
    Damaged.write(QByteArray("\x05\x00", 2)); // shorter than its count
    Damaged.close();

    // The data module as the start-up makes it, and the program's own wiring of the folder change.
    DMVxRelvo16 = new TDMVxRelvo16(Old, ProgramPath);
    DMVxRelvo16->CreateRecvHisTable();
    DMVxRelvo16->CreateMeiboTable();
    DMVxRelvo16->CreateRankHistory();
    for (int I = 0; I < 3; ++I)
        DMVxRelvo16->CreateSelItemHistory(I);
    ASSERT_TRUE(DMVxRelvo16->LoadRankHistory());
    for (int I = 0; I < 3; ++I) {
        ASSERT_TRUE(DMVxRelvo16->LoadSelItemHistory(I));
    }
    // A call waits in the old folder's spool for its row (the start is not over yet).
    CallPipeline = new TCallPipeline;
    CallPipeline->Links.SpoolFolder = [] { return Settings.DataPath; };
    const QByteArray Number("0311111111");
    const TDeviceNotify Note{0, static_cast<std::int32_t>(Number.size()), Number.constData()};
    ASSERT_EQ(CallPipeline->HandleMessage(WM_DEVICE_CALL, 0, reinterpret_cast<TLParam>(&Note)), 0);
    const TEnvHooks Test = EnvHooks();
    InstallMainHooks();
    const auto ProgramsChange = EnvHooks().ChangeDataFolder;
    EnvHooks() = Test;
    EnvHooks().ChangeDataFolder = ProgramsChange;

    {
        TEnvironment Dialog(nullptr);
        Dialog.show();
        Dialog.edtDataPath->setText(New);
        Dialog.btnSet->click();
        EXPECT_EQ(Dialog.result(), 1);
    }
    EXPECT_EQ(Texts(Boxes()),
              Texts({EnvText::RestartNotice, New + QStringLiteral("SelItem2.mtd\r\nデータが読み込めませんでした"),
                     EnvText::RestartDone}));
    EXPECT_TRUE(Hooked.isEmpty()) << Texts(Hooked).toStdString(); // nothing to reload
    EXPECT_EQ(DMVxRelvo16->DataPath(), Old);
    ASSERT_NE(RecvHisTable, nullptr);
    EXPECT_EQ(RecvHisTable->FileName(), Old + RecvHisFileName);
    ASSERT_NE(SelItemHistory[0], nullptr);
    ASSERT_NE(SelItemHistory[0]->Items(), nullptr);
    ASSERT_EQ(SelItemHistory[0]->Items()->size(), 1);
    EXPECT_EQ(SelItemHistory[0]->Items()->at(0).Text, QStringLiteral("見積"));
    EXPECT_EQ(SelItemHistory[1]->FileName(), Old + QStringLiteral("SelItem2.mtd"));
    EXPECT_EQ(Settings.DataPath, Old);
    const TMemIniFile Ini(SettingsFileName());
    EXPECT_EQ(Ini.ReadString(QStringLiteral("COMMON"), QStringLiteral("DataPath"), {}), Old);
    // The waiting call went with the folder and came back with it: nothing waits in the refused one.
    EXPECT_EQ(CallPipeline->Spool().Folder(), Old);
    EXPECT_EQ(CallPipeline->Spool().WaitingCount(), 1);
    EXPECT_EQ(QFileInfo(New + TCallSpool::FileName).size(), 0);
    FreeCallPipeline();

    for (int I = 0; I < 3; ++I)
        DMVxRelvo16->FreeSelItemHistory(I);
    DMVxRelvo16->FreeRankHistory();
    delete DMVxRelvo16;
    DMVxRelvo16 = nullptr;
}

TEST_F(EnvTest, EnablingRulesFollowTheirBoxes)
{
    Settings.RingSound = false;
    Settings.NewDataView = false;
    Settings.AutoDel = false;
    Settings.MenuVisible = false;
    Settings.AutoBU = false;
    Settings.FbBackup = false;
    TEnvironment Dialog(nullptr);
    Dialog.show();
    struct TRule
    {
        QCheckBox* Box;
        QList<QWidget*> Follow;
    };
    const QList<TRule> Rules = {
        {Dialog.chkRingSound, {Dialog.edtWaveFile, Dialog.bbtnBrowseWaveFile, Dialog.bbtnPlay}},
        {Dialog.chkNewDataView, {Dialog.chkAutoAdd, Dialog.chkSameTelUpdate}},
        {Dialog.chkAutoDel,
         {Dialog.lblAutoDel1, Dialog.edtDeleteDay, Dialog.udDeleteDay, Dialog.lblAutoDel2, Dialog.chkAutoDelConfirm}},
        {Dialog.chkMenuVisible, {Dialog.chkMenuMsgView}},
        {Dialog.chkAutoBU, {Dialog.edtAutoBU, Dialog.udAutoBUCount, Dialog.lblAutoBU1, Dialog.lblAutoBU2}},
    };
    for (const TRule& Rule : Rules) {
        SCOPED_TRACE(Rule.Box->objectName().toStdString());
        for (QWidget* Control : Rule.Follow) {
            EXPECT_FALSE(Control->isEnabled()) << Control->objectName().toStdString();
        }
        Rule.Box->click();
        for (QWidget* Control : Rule.Follow) {
            EXPECT_TRUE(Control->isEnabled()) << Control->objectName().toStdString();
        }
    }
    // Same-number update needs both boxes above it.
    Dialog.chkAutoAdd->click();
    EXPECT_FALSE(Dialog.chkSameTelUpdate->isEnabled());
    Dialog.chkAutoAdd->click();
    Dialog.chkNewDataView->click();
    EXPECT_FALSE(Dialog.chkAutoAdd->isEnabled());
    EXPECT_FALSE(Dialog.chkSameTelUpdate->isEnabled());

    // The link page: everything but the link box is off while the link is off; no edition installed.
    for (QWidget* Control : {static_cast<QWidget*>(Dialog.cbxFbSeries), static_cast<QWidget*>(Dialog.cbxAdrs),
                             static_cast<QWidget*>(Dialog.cbxMemo1), static_cast<QWidget*>(Dialog.chkRunFbDlg)})
        EXPECT_FALSE(Control->isEnabled());
    EXPECT_TRUE(Dialog.chkUseFbAdrs->isEnabled());
    EXPECT_TRUE(Dialog.imgFbKind->isHidden());
    EXPECT_TRUE(Dialog.lblOKNG->isHidden());
    Dialog.chkUseFbAdrs->click();
    EXPECT_EQ(Dialog.lblOKNG->text(), QStringLiteral("使用不可"));
    EXPECT_FALSE(Dialog.imgFbKind->isHidden());
    EXPECT_TRUE(Dialog.cbxFbSeries->isEnabled());
    EXPECT_FALSE(Dialog.cbxAdrs->isEnabled());
    EXPECT_EQ(Dialog.cbxAdrs->count(), 1);

    // Line kind panels, and the capability marks of the adapter in view.
    Dialog.rbIPPBX->click();
    EXPECT_TRUE(Dialog.pnlNormal->isHidden());
    EXPECT_FALSE(Dialog.pnlIPPBX->isHidden());
    SelectAdapter(Dialog.cbxPBXAdapter, 200);
    EXPECT_EQ(Dialog.lblAnalogDial->text() + Dialog.lblGetHistory->text(), QStringLiteral("○×"));
    Dialog.rbNormal->click();
    SelectAdapter(Dialog.cbxnmlAdapter, 3);
    EXPECT_EQ(Dialog.lblAnalogDial->text() + Dialog.lblGetHistory->text(), QStringLiteral("○○"));
}

TEST_F(EnvTest, AdapterPortTypeChoosesThePort)
{
    Settings.Port = QStringLiteral("COM5");
    TEnvironment Dialog(nullptr);
    Dialog.show();
    EXPECT_EQ(Dialog.cbxPort->currentIndex(), 1);
    SelectAdapter(Dialog.cbxnmlAdapter, 2);
    EXPECT_EQ(Dialog.cbxPort->currentText(), PortUsb);
    SelectAdapter(Dialog.cbxnmlAdapter, 5);
    EXPECT_EQ(Dialog.cbxPort->currentText(), PortTapi);
    SelectAdapter(Dialog.cbxnmlAdapter, 4);
    EXPECT_EQ(Dialog.cbxPort->currentText(), QStringLiteral("COM5 (ttyUSB0)"));

    // A port the list does not hold, and the analogue lists while the IP line is in use: first items.
    for (const bool IP : {false, true}) {
        Settings.IPPBX = IP;
        Settings.Adapter = IP ? 220 : 4;
        Settings.Port = QStringLiteral("COM12");
        TEnvironment Other(nullptr);
        EXPECT_EQ(Other.cbxPort->currentIndex(), 0);
        EXPECT_EQ(Other.cbxnmlAdapter->currentIndex(), IP ? 0 : Other.cbxnmlAdapter->findData(4));
        EXPECT_EQ(Other.cbxPBXAdapter->currentIndex(), IP ? Other.cbxPBXAdapter->findData(220) : 0);
        EXPECT_EQ(Other.rbIPPBX->isChecked(), IP);
    }
}

TEST_F(EnvTest, NumberEditsRevertWhatTheyCannotTake)
{
    Settings.AutoDel = true;
    Settings.DeleteDay = 7;
    Settings.ListMaxCount = 995;
    Settings.AutoBUCount = 5;
    TEnvironment Dialog(nullptr);
    ShowActive(Dialog);
    Dialog.pgctlEnv->setCurrentIndex(2);
    for (const char* Typed : {"12a", "20", "0", ""}) {
        Dialog.edtDeleteDay->setFocus();
        Dialog.edtDeleteDay->setText(QString::fromUtf8(Typed));
        Dialog.chkAutoDelConfirm->setFocus();
        EXPECT_EQ(Dialog.edtDeleteDay->text(), QStringLiteral("7")) << Typed;
        EXPECT_EQ(Dialog.udDeleteDay->Position(), 7) << Typed;
    }
    Dialog.edtDeleteDay->setFocus();
    Dialog.edtDeleteDay->setText(QStringLiteral("14"));
    QTest::keyClick(Dialog.edtDeleteDay, Qt::Key_Return); // a changed value stays in the edit
    EXPECT_EQ(Dialog.udDeleteDay->Position(), 14);
    EXPECT_EQ(QApplication::focusWidget(), Dialog.edtDeleteDay);
    QTest::keyClick(Dialog.edtDeleteDay, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), Dialog.chkAutoDelConfirm);

    Dialog.pgctlEnv->setCurrentIndex(3);
    Dialog.edtListMaxCount->setFocus();
    QTest::keyClick(Dialog.edtListMaxCount, Qt::Key_PageUp);
    EXPECT_EQ(Dialog.edtListMaxCount->text(), QStringLiteral("1000"));
    QTest::keyClick(Dialog.edtListMaxCount, Qt::Key_PageUp);
    QTest::keyClick(Dialog.edtListMaxCount, Qt::Key_Up);
    EXPECT_EQ(Dialog.udListMaxCount->Position(), 1000);
    QTest::keyClick(Dialog.edtListMaxCount, Qt::Key_PageDown);
    EXPECT_EQ(Dialog.edtListMaxCount->text(), QStringLiteral("990"));

    // Fewer backup generations than stored: the warning names the first one no longer kept.
    Dialog.pgctlEnv->setCurrentIndex(4);
    EXPECT_TRUE(Dialog.lblGeneration->isHidden());
    Dialog.edtAutoBU->setFocus();
    QTest::keyClick(Dialog.edtAutoBU, Qt::Key_Down);
    QTest::keyClick(Dialog.edtAutoBU, Qt::Key_PageDown);
    EXPECT_EQ(Dialog.edtAutoBU->text(), QStringLiteral("3"));
    EXPECT_FALSE(Dialog.lblGeneration->isHidden());
    EXPECT_EQ(Dialog.lblGeneration->text(), QStringLiteral("4 世代目以降のバックアップデータ"));
    Dialog.edtAutoBU->setText(QStringLiteral("5"));
    EXPECT_TRUE(Dialog.lblGeneration->isHidden());
}

TEST_F(EnvTest, CancelAtStartAsksAndEnvironmentSectionSurvives)
{
    TMemIniFile Ini(SettingsFileName());
    Ini.WriteInteger(QStringLiteral("ENVIRONMENT"), QStringLiteral("InitTab"), 7);
    ASSERT_TRUE(Ini.UpdateFile());
    SettingsIncomplete = true;
    SetAnswers("No,Yes");
    {
        TEnvironment Dialog(nullptr);
        Dialog.show();
        EXPECT_EQ(Dialog.pgctlEnv->currentIndex(), 0);
        Dialog.pgctlEnv->setCurrentIndex(3);
        Dialog.chkTip->click();
        Dialog.btnCancel->click();
        EXPECT_TRUE(Dialog.isVisible());
        Dialog.btnCancel->click();
        EXPECT_FALSE(Dialog.isVisible());
        EXPECT_EQ(Dialog.result(), 2);
    }
    const QString Ask = QStringLiteral("環境設定をキャンセルした場合  \r\nアプリケーションが起動できません  \r\n"
                                       "終了してもよろしいですか？  ");
    EXPECT_EQ(Boxes(), QStringList({Ask, Ask}));
    const TMemIniFile After(SettingsFileName());
    EXPECT_EQ(After.ReadInteger(QStringLiteral("ENVIRONMENT"), QStringLiteral("InitTab"), -1), 3);
    EXPECT_FALSE(After.ReadBool(QStringLiteral("ENVIRONMENT"), QStringLiteral("TipView"), true));

    // From the menu Cancel closes without a word.
    SettingsIncomplete = false;
    SetAnswers({});
    TEnvironment Dialog(nullptr);
    Dialog.show();
    EXPECT_EQ(Dialog.pgctlEnv->currentIndex(), 3);
    Dialog.btnCancel->click();
    EXPECT_FALSE(Dialog.isVisible());
    EXPECT_TRUE(Boxes().isEmpty());
}

TEST_F(EnvTest, UpdateByHandThatRestartsClosesTheDialog)
{
    SettingsIncomplete = true; // even at start-up: no question, the program ends for the update
    int Checks = 0;
    bool Restart = false;
    EnvHooks().UpdateCheckByHand = [&](QWidget* Dialog) {
        EXPECT_EQ(Dialog->objectName(), QStringLiteral("Environment"));
        ++Checks;
        return Restart;
    };
    TEnvironment Dialog(nullptr);
    Dialog.show();
    Dialog.bbtnUpdateConfirm->click();
    EXPECT_TRUE(Dialog.isVisible());
    EXPECT_FALSE(UpdateQuit);
    Restart = true;
    Dialog.bbtnUpdateConfirm->click();
    EXPECT_EQ(Checks, 2);
    EXPECT_FALSE(Dialog.isVisible());
    EXPECT_EQ(Dialog.result(), 2);
    EXPECT_TRUE(Dialog.ClosedForUpdate());
    EXPECT_TRUE(UpdateQuit);
    EXPECT_TRUE(Boxes().isEmpty());
}

TEST_F(EnvTest, WheelOverTheTabsTurnsThePagesRound)
{
    TEnvironment Dialog(nullptr);
    Dialog.show();
    QTabBar* Bar = Dialog.pgctlEnv->tabBar();
    const auto Wheel = [&](QWidget* Over, QPoint At, int Delta) {
        QWheelEvent Event(At, Over->mapToGlobal(At), {}, {0, Delta}, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                          false);
        QApplication::sendEvent(Over, &Event);
    };
    Dialog.pgctlEnv->setCurrentIndex(6);
    Wheel(Bar, Bar->tabRect(2).center(), -120);
    EXPECT_EQ(Dialog.pgctlEnv->currentIndex(), 0);
    Wheel(Bar, Bar->tabRect(0).center(), 120);
    EXPECT_EQ(Dialog.pgctlEnv->currentIndex(), 6);
    Wheel(Dialog.pgctlEnv->currentWidget(), {20, 20}, -120);
    EXPECT_EQ(Dialog.pgctlEnv->currentIndex(), 6);
}

TEST_F(EnvTest, DetailDialogWritesAnOwnerOnlyFile)
{
    IPPBXAdapterName = QStringLiteral("ＩＰ－ＰＢＸ（子機登録）");
    IPPBXAdapterKind = 220;
    const QString FileName = IPPBXPath + QStringLiteral("/VxComm3ip.ini");
    {
        SetAnswers("OK,OK,Yes");
        TSetIPPBXDetail Detail(nullptr, false);
        Detail.show();
        EXPECT_FALSE(Detail.FileExisted());
        Detail.edtHost->setText(QStringLiteral("１９２．１６８．１．１a"));
        Detail.btnSet->click();
        Detail.edtHost->setText(QStringLiteral(" １９２．１６８．１．１ "));
        Detail.edtFrom->setText(QStringLiteral("２０１"));
        Detail.edtTelno->setText(QStringLiteral("   "));
        Detail.btnSet->click();
        Detail.edtTelno->setText(QStringLiteral("０５０１２３４５６７８"));
        Detail.edtUser->setText(QStringLiteral(" 受付ＰＣ "));
        Detail.edtPassword->setText(QStringLiteral("ｓｅｃｒｅｔ"));
        Detail.btnSet->click();
        EXPECT_EQ(Detail.result(), 1);
        EXPECT_EQ(Boxes(), QStringList({QStringLiteral("IPアドレスには数字とピリオド以外は設定できません  "),
                                        QStringLiteral("電話番号を入力してください  "),
                                        QStringLiteral("入力した内容で設定を行います　\r\nよろしいですか？  "),
                                        QStringLiteral("設定が完了しました  ")}));
    }
    EXPECT_TRUE(IPPBXDetailChanged);
    struct stat Info
    {
    };
    ASSERT_EQ(stat(QFile::encodeName(FileName).constData(), &Info), 0);
    EXPECT_EQ(Info.st_mode & 0777, 0600u);
    const TIPPBXValues Saved = LoadIPPBXSettings(FileName);
    EXPECT_EQ(Saved.Host, QStringLiteral("192.168.1.1"));
    EXPECT_EQ(Saved.From, QStringLiteral("201"));
    EXPECT_EQ(Saved.Telno, QStringLiteral("05012345678"));
    EXPECT_EQ(Saved.User, QStringLiteral("受付ＰＣ"));
    EXPECT_EQ(Saved.Password, QStringLiteral("secret"));

    // A kind without extension registration neither asks for nor touches the name and password.
    IPPBXAdapterKind = 211;
    SetAnswers("Yes");
    TSetIPPBXDetail Detail(nullptr, true);
    EXPECT_TRUE(Detail.FileExisted());
    EXPECT_EQ(Detail.edtTelno->toolTip(),
              QStringLiteral(
                  "IP電話番号を入力します。\nここで設定した番号に電話かかってきた時に発信者の電話番号を取得します"));
    EXPECT_TRUE(Detail.edtUser->isHidden());
    Detail.edtUser->clear();
    Detail.edtPassword->clear();
    Detail.edtFrom->setText(QStringLiteral("202"));
    Detail.btnSet->click();
    EXPECT_EQ(Boxes().value(0), QStringLiteral("入力した内容で再設定します　\r\nよろしいですか？  "));
    EXPECT_EQ(LoadIPPBXSettings(FileName).From, QStringLiteral("202"));
    EXPECT_EQ(LoadIPPBXSettings(FileName).Password, QStringLiteral("secret"));
}

// Each value is one line of the file the device library reads: a line break in any of them is refused
// with its own message, and the file stays as it was.
TEST_F(EnvTest, DetailDialogRefusesALineBreakInAnyValue)
{
    IPPBXAdapterName = QStringLiteral("ＩＰ－ＰＢＸ（子機登録）");
    IPPBXAdapterKind = 220;
    const QString FileName = IPPBXPath + QStringLiteral("/VxComm3ip.ini");
    const QByteArray Before = "[SIP]\nFrom=201\n[IPPBX]\nHost=192.168.1.1\nTelno=0501\nUser=pc\nPassword=pw\n";
    const QString Injected = QStringLiteral("\n[IPPBX]\nHost=10.6.6.6");
    struct TCase
    {
        const char* Edit;
        QString Message;
    };
    const TCase Cases[] = {
        {"edtFrom", QStringLiteral("内線番号に改行は使用できません  ")},
        {"edtTelno", QStringLiteral("電話番号に改行は使用できません  ")},
        {"edtUser", QStringLiteral("名前に改行は使用できません  ")},
        {"edtPassword", QStringLiteral("パスワードに改行は使用できません  ")},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Edit);
        QFile File(FileName);
        ASSERT_TRUE(File.open(QIODevice::WriteOnly));
        File.write(Before);
        File.close();
        SetAnswers("Yes");
        TSetIPPBXDetail Detail(nullptr, true);
        ShowActive(Detail);
        auto* Edit = Detail.findChild<QLineEdit*>(QLatin1String(Case.Edit));
        ASSERT_NE(Edit, nullptr);
        Edit->setText(Edit->text() + Injected);
        Detail.btnSet->click();
        EXPECT_EQ(Texts(Boxes()), Case.Message);
        EXPECT_TRUE(Detail.isVisible());
        EXPECT_EQ(QApplication::focusWidget(), Edit);
        ASSERT_TRUE(File.open(QIODevice::ReadOnly));
        EXPECT_EQ(File.readAll(), Before);
    }
}

// Every page and the detail dialog keep their size and show each label whole; with
// VX_SCREENSHOT_DIR set their pictures are saved there for a look by eye.
TEST_F(EnvTest, EveryPageShowsItsLabelsWhole)
{
    Settings.AutoBUCount = 5;
    TEnvironment Dialog(nullptr);
    Dialog.show();
    const QSize Size = Dialog.size();
    for (int Page = 0; Page < Dialog.pgctlEnv->count(); ++Page) {
        Dialog.pgctlEnv->setCurrentIndex(Page);
        if (Page == 4)
            Dialog.edtAutoBU->setText(QStringLiteral("3"));
        QApplication::processEvents();
        EXPECT_EQ(Dialog.size(), Size) << Page;
        ExpectLabelsWhole(Dialog, QStringLiteral("page %1").arg(Page));
        SaveScreenshot(Dialog, QStringLiteral("env_page_%1").arg(Page));
    }
    Dialog.rbIPPBX->click();
    Dialog.pgctlEnv->setCurrentIndex(0);
    QApplication::processEvents();
    ExpectLabelsWhole(Dialog, QStringLiteral("page 0, IP-PBX"));
    SaveScreenshot(Dialog, QStringLiteral("env_page_0_ip"));
    Dialog.chkUseFbAdrs->click();
    Dialog.pgctlEnv->setCurrentIndex(6);
    QApplication::processEvents();
    ExpectLabelsWhole(Dialog, QStringLiteral("page 6, address book on"));
    SaveScreenshot(Dialog, QStringLiteral("env_page_6_on"));
    EXPECT_EQ(Dialog.size(), Size);
    IPPBXAdapterKind = 220;
    TSetIPPBXDetail Detail(&Dialog, true);
    Detail.show();
    QApplication::processEvents();
    ExpectLabelsWhole(Detail, QStringLiteral("IP-PBX detail"));
    SaveScreenshot(Detail, QStringLiteral("env_ippbx_detail"));
}

} // namespace
