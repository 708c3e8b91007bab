// The address-book link against the stand-in product: its programs install an edition and fill its
// books as a user would, and the program finds, lists, opens and keeps the book in use.

#include "main/common/CallerRec.h"
#include "main/device/VxComm.h"
#include "main/identify/AppSub.h"
#include "main/identify/DBInfoFb.h"
#include "main/identify/FbDialogs.h"
#include "main/identify/FbEditions.h"
#include "main/settings/Env.h"
#include "main/settings/EnvApply.h"
#include "main/settings/Settings.h"
#include "main/tables/AdrsTableDef.h"
#include "platform/msg/WindowMessage.h"
#include "platform/sys/SingleInstance.h"
#include "tests/support/ScriptedBoxes.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QString StandInFolder = QStringLiteral(VX_BIN_DIR "/fernbook/");

// A machine of the test's own (XDG_DATA_HOME), on which the stand-in is installed by running it.
class FbLinkTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SavedHome = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(Home.path()));
        // The stand-in's window claims its instance lock in the runtime folder; a folder of the
        // test's own keeps another run of these tests on the machine from holding or taking it.
        SavedRuntime = qgetenv("XDG_RUNTIME_DIR");
        const QString Runtime = Home.path() + QStringLiteral("/run");
        QDir().mkpath(Runtime);
        QFile::setPermissions(Runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(Runtime));
        SavedSettings = Settings;
        SavedHooks = EnvHooks();
        Settings = TSettings();
        Settings.SelectItem1 = DefaultSelectItem1;
        Settings.SelectItem2 = DefaultSelectItem2;
        Settings.SelectItem3 = DefaultSelectItem3;
        FbInstallPaths = {};
        FbDataPaths = {};
        FbAdrsBooks.clear();
    }
    void TearDown() override
    {
        delete DMFbarea;
        DMFbarea = nullptr;
        FbInstallPaths = {};
        FbDataPaths = {};
        FbAdrsBooks.clear();
        Settings = SavedSettings;
        EnvHooks() = SavedHooks;
        qputenv("XDG_DATA_HOME", SavedHome);
        if (SavedRuntime.isNull())
            qunsetenv("XDG_RUNTIME_DIR");
        else
            qputenv("XDG_RUNTIME_DIR", SavedRuntime);
    }

    // The stand-in of edition Series with Arguments; its exit code.
    static int Fb(int Series, const QStringList& Arguments, QByteArray* Output = nullptr)
    {
        QProcess Program;
        Program.start(StandInFolder + FbProgramNames[Series], Arguments);
        if (!Program.waitForFinished(15000))
            return -1;
        if (Output)
            *Output = Program.readAllStandardOutput();
        return Program.exitStatus() == QProcess::NormalExit ? Program.exitCode() : -1;
    }

    // The program links to book Book of edition Series, as it stands after its start-up.
    static void LinkTo(int Series, int Book)
    {
        FindDirectoryProductFolders();
        Settings.UseFbAdrs = true;
        Settings.FbSeries = Series;
        LoadAddressBookList(FbDataPaths[Series] + QStringLiteral("Adrs/"), true);
        Settings.FbAdrsBook = Book;
        Settings.FbAdrsBookName = FbAdrsBooks.value(Book).Folder;
        DMFbarea = new TDMFbarea(Series);
    }

    // The name identification finds for a number; empty when the address book does not have it.
    static QString Identified(const QString& Number)
    {
        TCallerRecord Record;
        const int Result = IdentifyCaller(true, false, Number, Record);
        const QString Name = Result == 0 && FoundInFbAdrs ? Record.NameKanji : QString();
        ClearCallerRecord(&Record);
        return Name;
    }

    QTemporaryDir Home;
    QByteArray SavedHome;
    QByteArray SavedRuntime;
    TSettings SavedSettings;
    TEnvHooks SavedHooks;
};

TEST_F(FbLinkTest, TheStandInInstallsItselfAndFillsItsBooks)
{
    EXPECT_FALSE(IsFbInstalled(0));
    ASSERT_EQ(Fb(0, {QStringLiteral("--new"), QStringLiteral("お客様")}), 0);
    ASSERT_EQ(Fb(0, {QStringLiteral("--add"), QStringLiteral("お客様"), QStringLiteral("03-1234-5678"),
                     QStringLiteral("田中一郎"), QStringLiteral("ﾀﾅｶｲﾁﾛｳ")}),
              0);
    EXPECT_EQ(Fb(0, {QStringLiteral("--new"), QStringLiteral("お客様")}), 1) << "the book exists";
    EXPECT_EQ(
        Fb(0, {QStringLiteral("--add"), QStringLiteral("なし"), QStringLiteral("0300000000"), QStringLiteral("誰")}),
        1);
    EXPECT_EQ(Fb(0, {QStringLiteral("--add"), QStringLiteral("お客様")}), 2);
    QByteArray Listed;
    ASSERT_EQ(Fb(0, {QStringLiteral("--list"), QStringLiteral("お客様")}, &Listed), 0);
    EXPECT_EQ(QString::fromUtf8(Listed), QStringLiteral("0312345678\t\t田中一郎\n"));

    // The program finds the edition as it finds the real one.
    EXPECT_TRUE(IsFbInstalled(0));
    EXPECT_FALSE(IsFbInstalled(1));
    FindDirectoryProductFolders();
    EXPECT_EQ(QDir(FbInstallPaths[0]).canonicalPath(), QDir(StandInFolder).canonicalPath());
    EXPECT_EQ(FbDataPaths[0], Home.path() + QStringLiteral("/Pelmar/fbarea18/Data/"));
    EXPECT_TRUE(FbDataPaths[1].isEmpty());
    LinkTo(0, 0);
    EXPECT_EQ(Settings.FbAdrsBookName, QStringLiteral("お客様"));
    EXPECT_EQ(Identified(QStringLiteral("0312345678")), QStringLiteral("田中一郎"));

    // Started without arguments it runs as the product does: the program sees it and brings it forward.
    EXPECT_FALSE(ActivateFbIfRunning(0));
    QProcess Window;
    Window.start(FbInstallPaths[0] + FbProgramName(0), {});
    ASSERT_TRUE(Window.waitForStarted());
    // A loaded machine may take its time to start the window. The wait looks for its socket: asking
    // ActivateFbIfRunning again and again would take the lock for a moment each time, and a window
    // starting in such a moment takes itself for a second copy and ends.
    const QString Server = TSingleInstance::ServerPath(FbInstanceName(0));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            QLocalSocket Socket;
            Socket.connectToServer(Server);
            return Socket.waitForConnected(200);
        },
        60000));
    EXPECT_TRUE(ActivateFbIfRunning(0));
    Window.kill();
    Window.waitForFinished();
}

TEST_F(FbLinkTest, ABookWhoseTableIsNamedInAnotherCaseIsOpenedAsItIsListed)
{
    for (const char* Book : {"A", "b"}) {
        ASSERT_EQ(Fb(0, {QStringLiteral("--new"), QString::fromUtf8(Book)}), 0);
    }
    ASSERT_EQ(
        Fb(0, {QStringLiteral("--add"), QStringLiteral("b"), QStringLiteral("0698765432"), QStringLiteral("鈴木")}), 0);
    const QString Folder = Home.path() + QStringLiteral("/Pelmar/fbarea18/Data/Adrs/b/");
    ASSERT_TRUE(QFile::rename(Folder + AdrsFileName, Folder + QStringLiteral("adrs.db")));

    InstallFbEnvHooks();
    FindDirectoryProductFolders();
    const QList<TEnvAdrsBook> Listed = EnvHooks().LoadAddressBookList(FbDataPaths[0] + QStringLiteral("Adrs/"));
    ASSERT_EQ(Listed.size(), 2);
    EXPECT_EQ(Listed[1].Folder, QStringLiteral("b"));
    LinkTo(0, 1);
    EXPECT_EQ(Identified(QStringLiteral("0698765432")), QStringLiteral("鈴木"));
}

TEST_F(FbLinkTest, CancellingTheSettingsAfterSwitchingTheEditionKeepsTheBookInUse)
{
    for (const char* Book : {"A", "B"}) {
        ASSERT_EQ(Fb(0, {QStringLiteral("--new"), QString::fromUtf8(Book)}), 0);
    }
    ASSERT_EQ(
        Fb(0, {QStringLiteral("--add"), QStringLiteral("B"), QStringLiteral("0322223333"), QStringLiteral("佐藤")}), 0);
    ASSERT_EQ(Fb(1, {QStringLiteral("--new"), QStringLiteral("Z")}), 0);
    LinkTo(0, 1);
    ASSERT_EQ(Identified(QStringLiteral("0322223333")), QStringLiteral("佐藤"));

    // The settings dialog over the stand-in adapter, as the program opens it.
    TScriptedBoxes Boxes;
    TMessageTarget Owner;
    SettingsPath = Home.path() + QStringLiteral("/set/");
    QDir().mkpath(SettingsPath);
    Settings.Adapter = 1;
    Settings.Port = QStringLiteral("COM1");
    Settings.DataPath = Home.path() + QStringLiteral("/data/");
    SettingsIncomplete = false;
    InstallFbEnvHooks();
    EnvHooks().DeviceLibraryFolder = QStringLiteral(VX_BIN_DIR "/");
    EnvHooks().LineOwner = Owner.Handle();
    EnvHooks().ProbePort = [](const QString&) { return true; };
    EnvHooks().Wait = [](int) {};
    {
        TEnvironment Dialog(nullptr);
        ASSERT_FALSE(Dialog.LoadFailed());
        EXPECT_EQ(Dialog.cbxAdrs->currentText(), QStringLiteral("B"));
        Dialog.cbxFbSeries->setCurrentIndex(1);
        emit Dialog.cbxFbSeries->activated(1);
        EXPECT_EQ(Dialog.cbxAdrs->currentText(), QStringLiteral("Z"));
        Dialog.btnCancel->click();
        EXPECT_EQ(Dialog.result(), 2);
    }
    EXPECT_EQ(Settings.FbSeries, 0);
    EXPECT_EQ(FbBookFolder(Settings.FbSeries, Settings.FbAdrsBook),
              Home.path() + QStringLiteral("/Pelmar/fbarea18/Data/Adrs/B/"));
    EXPECT_EQ(Identified(QStringLiteral("0322223333")), QStringLiteral("佐藤"));
    if (VxCommDLL)
        VxCommDLL->Close();
    VxCommDLL = nullptr;
    SerialCommDLL.reset();
    IPCommDLL.reset();
    SettingsPath.clear();
}

} // namespace
