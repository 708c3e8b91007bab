#pragma once

#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// The real VxRelvo16 in a world of a test's own, for end-to-end tests:
//
//   TProgramHarness Program;                       // temporary data home, runtime folder, logs,
//   Program.SetSetting("OPERATION", "RecvViewPopup", "1"); //  and tests/data/VxRelvo16.ini
//   ASSERT_TRUE(Program.StartAndWaitForLine());
//   ASSERT_EQ(Program.Ring("0312345678"), 0);
//   ASSERT_TRUE(Program.WaitForRows(1));
//   EXPECT_EQ(Program.Rows("SELECT Tel FROM RecvHis"), QStringList{"03-1234-5678"});
//
// The settings file is the complete one of tests/data with DataPath pointing at DataFolder(), so
// the program starts straight into the tray on the simulated serial adapter. The program runs
// offscreen with VX_MSGBOX_LOG, VX_WINDOW_LOG and VX_DIALOG_ANSWERS set to files of the harness, and
// with a system-wide configuration folder (XDG_CONFIG_DIRS) of its own. Whatever is still running
// when the harness goes is killed.
class TProgramHarness
{
public:
    // How long a wait gives the program (start, line, rows, exit) before the test fails. A program
    // built with the sanitizers starts several times slower, the more so on a busy machine.
#if defined(__SANITIZE_ADDRESS__)
    static constexpr int Patience = 60000;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    static constexpr int Patience = 60000;
#else
    static constexpr int Patience = 15000;
#endif
#else
    static constexpr int Patience = 15000;
#endif

    TProgramHarness();
    ~TProgramHarness();
    TProgramHarness(const TProgramHarness&) = delete;
    TProgramHarness& operator=(const TProgramHarness&) = delete;

    // Folders, each with a trailing "/": XDG_DATA_HOME, the settings folder in it, the tables.
    [[nodiscard]] QString DataHome() const;
    [[nodiscard]] QString SettingsFolder() const;
    [[nodiscard]] QString DataFolder() const;
    // The administrator's folder (XDG_CONFIG_DIRS): the system-wide registry file is
    // SystemConfigFolder() + "Pelmar/registry.ini".
    [[nodiscard]] QString SystemConfigFolder() const;
    // A path inside the harness's temporary folder, for a test's own files.
    [[nodiscard]] QString TempPath(const QString& Name) const;

    // Changes one key of the settings file on disk (an empty Value is kept as an empty value).
    void SetSetting(const QString& Section, const QString& Key, const QString& Value);
    [[nodiscard]] QString Setting(const QString& Section, const QString& Key) const;
    // The environment every program and tool of the harness gets; add to it before Start.
    QProcessEnvironment& Environment()
    {
        return Env;
    }
    // The runtime folder the programs are given, where their single-instance locks live.
    [[nodiscard]] QString RuntimeFolder() const
    {
        return Env.value(QStringLiteral("XDG_RUNTIME_DIR"));
    }

    // Runs the program from a copy of the program folder without the files named in Leave out, as a
    // user's installation that lacks them; answers the copy's folder (with a trailing "/").
    QString CopyProgramFolder(const QStringList& LeaveOut);
    // Runs the test build of VxRelvo16 (tests/testbuild/) from a copy of the program folder, so that an
    // update may change the folder: the test build takes the update key from VX_TEST_UPDATE_KEY and
    // trusts the authorities of VX_TEST_UPDATE_CA besides the system's. Answers the copy's folder.
    QString UseTestBuild();
    // Folder permissions bind root only without its capability to override them: as root, the
    // program (and every other copy) then runs without it, as a user's program would.
    void WithoutPermissionOverride();

    // Runs another program of the build's program folder (VxUtil16) with Arguments, whose single-instance
    // lock is InstanceName, in the same world.
    void SetProgram(const QString& Name, const QString& InstanceName, const QStringList& Arguments = {});

    // Starts the program and returns once it runs, without waiting for anything inside it.
    [[nodiscard]] bool Start();
    // Waits until the program holds its single-instance lock, or until the simulated adapter
    // answers on its control socket (a socket file left by a killed copy does not count).
    [[nodiscard]] bool WaitForInstance();
    [[nodiscard]] bool WaitForLine();
    [[nodiscard]] bool StartAndWaitForLine()
    {
        return Start() && WaitForLine();
    }
    // Ends the program with SIGTERM (a log-out) or SIGKILL (a crash) and waits for it. After
    // Terminate, ExitCode() is what it returned; -1 when it did not exit normally.
    [[nodiscard]] bool Terminate();
    void Kill();
    [[nodiscard]] int ExitCode() const;
    QProcess& Process()
    {
        return Program;
    }

    // Starts one more copy with the same settings and waits until it ends; its boxes go to BoxLog.
    [[nodiscard]] int RunAnotherCopy(const QString& BoxLog);

    // vxcall with Arguments (its exit code, -1 when it hung); Ring is "vxcall call Number".
    int VxCall(const QStringList& Arguments, QByteArray* Output = nullptr);
    int Ring(const QString& Number)
    {
        return VxCall({QStringLiteral("call"), Number});
    }

    // The rows of a statement run by the sqlite3 shell on a table file of the data folder, each as
    // "a|b|c"; {"sqlite3 failed"} when the shell failed. The shell lacks the tables' collations:
    // compare text columns in the test, not in SQL.
    [[nodiscard]] QStringList Rows(const QString& Statement, const QString& TableFile = QStringLiteral("RecvHis.DB"));
    // Waits until RecvHis holds exactly Count rows.
    [[nodiscard]] bool WaitForRows(int Count);

    // Waits until the window log shows the window of that object name (a dialog logs itself when it
    // is shown); false when it did not come within the patience or the program ended.
    [[nodiscard]] bool WaitForWindow(const QString& Name);
    // Waits until a message box with exactly this text was logged.
    [[nodiscard]] bool WaitForBox(const QString& Text);
    // Answers the next scripted window (a dialog, the menu window) of that object name: sets Fields (edit texts, check
    // boxes) and clicks the button Click, as a person would (see platform/ui/WindowScript.h).
    void AnswerDialog(const QString& Window, const QJsonObject& Fields, const QString& Click);
    // Appends one line of any keys to the scripted windows' answers (platform/ui/WindowScript.h).
    void ScriptLine(const QJsonObject& Line);
    // What the open window Name logs of itself when asked now; empty when it did not within the patience.
    [[nodiscard]] QJsonObject WindowStateNow(const QString& Name);
    // Runs the program on the desktop of the test's own session (DISPLAY, the session bus, the input
    // method) instead of offscreen.
    void UseDesktop();

    // What the program logged so far: message boxes and window fills, one JSON object each; the
    // fills of one window only when Window names it.
    [[nodiscard]] QList<QJsonObject> Boxes() const;
    [[nodiscard]] QList<QJsonObject> WindowFills(const QString& Window = QString()) const;
    [[nodiscard]] QString BoxLogFile() const;
    [[nodiscard]] QString WindowLogFile() const;

private:
    int RunTool(const QString& Tool, const QStringList& Arguments, QByteArray* Output);

    QTemporaryDir Dir;
    QProcessEnvironment Env;
    QProcess Program;
    QString InstanceName;
};

// While it lives, this process looks for locks in the runtime folder the harness gives its programs,
// as the programs do; the variable is put back as it was (set, or not set) when it ends.
class TProgramRuntimeFolder
{
public:
    explicit TProgramRuntimeFolder(const TProgramHarness& Program);
    ~TProgramRuntimeFolder();
    TProgramRuntimeFolder(const TProgramRuntimeFolder&) = delete;
    TProgramRuntimeFolder& operator=(const TProgramRuntimeFolder&) = delete;

private:
    QByteArray Saved;
    bool HadOne;
};

// The lines of a JSON-lines log as objects (none when the file is missing).
[[nodiscard]] QList<QJsonObject> ReadJsonLines(const QString& FileName);
