#include "tests/support/ProgramHarness.h"

#include "main/start/ProgramStart.h"
#include "platform/ini/IniFile.h"
#include "platform/sys/SingleInstance.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QThread>
#include <cstring>
#include <functional>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

const QString SettingsFile = QStringLiteral("VxRelvo16.ini");

bool WaitFor(const std::function<bool()>& Condition)
{
    QElapsedTimer Clock;
    Clock.start();
    while (Clock.elapsed() < TProgramHarness::Patience) {
        if (Condition())
            return true;
        QThread::msleep(20);
    }
    return Condition();
}

// Someone accepts on the socket: the file alone may be left over from a killed copy.
bool SocketAnswers(const QString& Path)
{
    const QByteArray Name = QFile::encodeName(Path);
    sockaddr_un Address{};
    Address.sun_family = AF_UNIX;
    if (static_cast<std::size_t>(Name.size()) >= sizeof(Address.sun_path))
        return false;
    std::memcpy(Address.sun_path, Name.constData(), static_cast<std::size_t>(Name.size()) + 1);
    const int Probe = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (Probe < 0)
        return false;
    const bool Answered = ::connect(Probe, reinterpret_cast<sockaddr*>(&Address), sizeof(Address)) == 0;
    close(Probe);
    return Answered;
}

} // namespace

QList<QJsonObject> ReadJsonLines(const QString& FileName)
{
    QList<QJsonObject> Objects;
    QFile File(FileName);
    if (File.open(QIODevice::ReadOnly))
        for (const QByteArray& Line : File.readAll().split('\n'))
            if (!Line.trimmed().isEmpty())
                Objects << QJsonDocument::fromJson(Line).object();
    return Objects;
}

TProgramRuntimeFolder::TProgramRuntimeFolder(const TProgramHarness& Program)
    : Saved(qgetenv("XDG_RUNTIME_DIR")), HadOne(qEnvironmentVariableIsSet("XDG_RUNTIME_DIR"))
{
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(Program.RuntimeFolder()));
}

TProgramRuntimeFolder::~TProgramRuntimeFolder()
{
    if (HadOne)
        qputenv("XDG_RUNTIME_DIR", Saved);
    else
        qunsetenv("XDG_RUNTIME_DIR");
}

TProgramHarness::TProgramHarness()
{
    const QString RuntimeDir = TempPath(QStringLiteral("run"));
    QDir().mkpath(SettingsFolder());
    QDir().mkpath(DataFolder());
    QDir().mkpath(RuntimeDir);
    QFile::setPermissions(RuntimeDir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QFile::copy(QStringLiteral(VX_TEST_DATA_DIR "/VxRelvo16.ini"), SettingsFolder() + SettingsFile);
    QFile::setPermissions(SettingsFolder() + SettingsFile, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    SetSetting(QStringLiteral("COMMON"), QStringLiteral("DataPath"), DataFolder());

    Env = QProcessEnvironment::systemEnvironment();
    Env.insert(QStringLiteral("XDG_DATA_HOME"), DataHome());
    Env.insert(QStringLiteral("XDG_RUNTIME_DIR"), RuntimeDir);
    Env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    Env.insert(QStringLiteral("VX_MSGBOX_LOG"), BoxLogFile());
    Env.insert(QStringLiteral("VX_WINDOW_LOG"), WindowLogFile());
    Env.insert(QStringLiteral("VX_DIALOG_ANSWERS"), TempPath(QStringLiteral("dialogs.jsonl")));
    QDir().mkpath(SystemConfigFolder());
    Env.insert(QStringLiteral("XDG_CONFIG_DIRS"), SystemConfigFolder());
    Program.setProgram(QStringLiteral(VX_BIN_DIR "/VxRelvo16"));
    InstanceName = MAIN_INSTANCE_NAME;
}

void TProgramHarness::SetProgram(const QString& Name, const QString& Instance, const QStringList& Arguments)
{
    Program.setProgram(QStringLiteral(VX_BIN_DIR "/") + Name);
    Program.setArguments(Arguments);
    InstanceName = Instance;
}

TProgramHarness::~TProgramHarness()
{
    Kill();
}

QString TProgramHarness::DataHome() const
{
    return TempPath(QStringLiteral("data/"));
}

QString TProgramHarness::SettingsFolder() const
{
    return DataHome() + QStringLiteral("Pelmar/VxRelvo16/");
}

QString TProgramHarness::DataFolder() const
{
    return TempPath(QStringLiteral("tables/"));
}

QString TProgramHarness::SystemConfigFolder() const
{
    return TempPath(QStringLiteral("etc-xdg/"));
}

QString TProgramHarness::TempPath(const QString& Name) const
{
    return Dir.filePath(Name);
}

QString TProgramHarness::BoxLogFile() const
{
    return TempPath(QStringLiteral("boxes.jsonl"));
}

QString TProgramHarness::WindowLogFile() const
{
    return TempPath(QStringLiteral("windows.jsonl"));
}

void TProgramHarness::SetSetting(const QString& Section, const QString& Key, const QString& Value)
{
    TMemIniFile Ini(SettingsFolder() + SettingsFile);
    Ini.WriteString(Section, Key, Value);
    (void)Ini.UpdateFile();
}

QString TProgramHarness::Setting(const QString& Section, const QString& Key) const
{
    return TMemIniFile(SettingsFolder() + SettingsFile).ReadString(Section, Key, QString());
}

void TProgramHarness::WithoutPermissionOverride()
{
    if (geteuid() != 0)
        return;
    const QString Caps = QStringLiteral("-dac_override,-dac_read_search");
    Program.setArguments(
        {QStringLiteral("--bounding-set"), Caps, QStringLiteral("--inh-caps"), Caps, Program.program()});
    Program.setProgram(QStringLiteral("setpriv"));
}

bool TProgramHarness::Start()
{
    Program.setProcessEnvironment(Env);
    Program.start();
    return Program.waitForStarted(Patience);
}

bool TProgramHarness::WaitForInstance()
{
    // The lock lives in the runtime folder the program was given, which this process must look at.
    const TProgramRuntimeFolder Runtime(*this);
    return WaitFor(
        [this] { return Program.state() == QProcess::Running && TSingleInstance::IsHeldElsewhere(InstanceName); });
}

bool TProgramHarness::WaitForLine()
{
    const QString Socket = SettingsFolder() + QStringLiteral("vxcomm.sock");
    return WaitFor([&] { return Program.state() == QProcess::Running && SocketAnswers(Socket); });
}

bool TProgramHarness::Terminate()
{
    if (Program.state() == QProcess::NotRunning)
        return true;
    Program.terminate();
    return Program.waitForFinished(Patience);
}

void TProgramHarness::Kill()
{
    if (Program.state() == QProcess::NotRunning)
        return;
    Program.kill();
    Program.waitForFinished(Patience);
}

int TProgramHarness::ExitCode() const
{
    return Program.exitStatus() == QProcess::NormalExit ? Program.exitCode() : -1;
}

int TProgramHarness::RunAnotherCopy(const QString& BoxLog)
{
    QProcessEnvironment Other = Env;
    Other.insert(QStringLiteral("VX_MSGBOX_LOG"), BoxLog);
    QProcess Copy;
    Copy.setProcessEnvironment(Other);
    Copy.start(Program.program(), Program.arguments());
    if (!Copy.waitForFinished(Patience)) {
        Copy.kill();
        Copy.waitForFinished();
        return -1;
    }
    return Copy.exitStatus() == QProcess::NormalExit ? Copy.exitCode() : -1;
}

int TProgramHarness::RunTool(const QString& Tool, const QStringList& Arguments, QByteArray* Output)
{
    QProcess Process;
    Process.setProcessEnvironment(Env);
    Process.start(Tool, Arguments);
    if (!Process.waitForFinished(Patience)) {
        Process.kill();
        Process.waitForFinished();
        return -1;
    }
    if (Output)
        *Output = Process.readAllStandardOutput();
    return Process.exitStatus() == QProcess::NormalExit ? Process.exitCode() : -1;
}

int TProgramHarness::VxCall(const QStringList& Arguments, QByteArray* Output)
{
    return RunTool(QStringLiteral(VX_BIN_DIR "/vxcall"), Arguments, Output);
}

QStringList TProgramHarness::Rows(const QString& Statement, const QString& TableFile)
{
    QByteArray Output;
    if (RunTool(QStringLiteral("sqlite3"), {DataFolder() + TableFile, Statement}, &Output) != 0)
        return {QStringLiteral("sqlite3 failed")};
    return QString::fromUtf8(Output).split(u'\n', Qt::SkipEmptyParts);
}

bool TProgramHarness::WaitForRows(int Count)
{
    const QStringList Expected{QString::number(Count)};
    return WaitFor([&] {
        return QFileInfo::exists(DataFolder() + QStringLiteral("RecvHis.DB")) &&
               Rows(QStringLiteral("SELECT count(*) FROM RecvHis")) == Expected;
    });
}

QList<QJsonObject> TProgramHarness::Boxes() const
{
    return ReadJsonLines(BoxLogFile());
}

QList<QJsonObject> TProgramHarness::WindowFills(const QString& Window) const
{
    QList<QJsonObject> Fills = ReadJsonLines(WindowLogFile());
    if (!Window.isEmpty())
        Fills.removeIf(
            [&](const QJsonObject& Fill) { return Fill.value(QStringLiteral("window")).toString() != Window; });
    return Fills;
}

bool TProgramHarness::WaitForWindow(const QString& Name)
{
    return WaitFor([&] {
        if (Program.state() != QProcess::Running)
            return false;
        return !WindowFills(Name).isEmpty();
    });
}

void TProgramHarness::AnswerDialog(const QString& Window, const QJsonObject& Fields, const QString& Click)
{
    ScriptLine(
        {{QStringLiteral("window"), Window}, {QStringLiteral("fields"), Fields}, {QStringLiteral("click"), Click}});
}

QJsonObject TProgramHarness::WindowStateNow(const QString& Name)
{
    const qsizetype Before = WindowFills(Name).size();
    ScriptLine({{QStringLiteral("window"), Name}, {QStringLiteral("log"), true}});
    (void)WaitFor([&] { return WindowFills(Name).size() > Before; });
    const QList<QJsonObject> Fills = WindowFills(Name);
    return Fills.size() > Before ? Fills.last() : QJsonObject();
}

void TProgramHarness::ScriptLine(const QJsonObject& Line)
{
    QFile File(Env.value(QStringLiteral("VX_DIALOG_ANSWERS")));
    if (File.open(QIODevice::WriteOnly | QIODevice::Append))
        File.write(QJsonDocument(Line).toJson(QJsonDocument::Compact) + '\n');
}

void TProgramHarness::UseDesktop()
{
    Env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
}

bool TProgramHarness::WaitForBox(const QString& Text)
{
    return WaitFor([&] {
        for (const QJsonObject& Box : Boxes())
            if (Box.value(QStringLiteral("text")).toString() == Text)
                return true;
        return false;
    });
}

QString TProgramHarness::CopyProgramFolder(const QStringList& LeaveOut)
{
    const QString Folder = TempPath(QStringLiteral("program/"));
    QDir().mkpath(Folder);
    const QDir Installed(QStringLiteral(VX_BIN_DIR));
    for (const QFileInfo& File : Installed.entryInfoList(QDir::Files))
        if (!LeaveOut.contains(File.fileName()))
            QFile::copy(File.absoluteFilePath(), Folder + File.fileName());
    Program.setProgram(Folder + QStringLiteral("VxRelvo16"));
    return Folder;
}

QString TProgramHarness::UseTestBuild()
{
#ifdef VX_TEST_BUILD_DIR
    // Links, not copies, of a program folder of some hundred megabytes: an update replaces a file by
    // renaming another into its place, which leaves the build's file as it was.
    const QString Folder = TempPath(QStringLiteral("program/"));
    QDir().mkpath(Folder);
    const auto Place = [](const QString& Source, const QString& Target) {
        if (::link(QFile::encodeName(Source).constData(), QFile::encodeName(Target).constData()) != 0)
            QFile::copy(Source, Target);
    };
    const QDir Installed(QStringLiteral(VX_BIN_DIR));
    for (const QFileInfo& Entry : Installed.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (Entry.isDir())
            QFile::link(Entry.absoluteFilePath(), Folder + Entry.fileName());
        else if (Entry.fileName() != QLatin1String("VxRelvo16"))
            Place(Entry.absoluteFilePath(), Folder + Entry.fileName());
    }
    Place(QStringLiteral(VX_TEST_BUILD_DIR "/VxRelvo16"), Folder + QStringLiteral("VxRelvo16"));
    Program.setProgram(Folder + QStringLiteral("VxRelvo16"));
    return Folder;
#else
    return {};
#endif
}
