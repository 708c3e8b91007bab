#include "platform/text/Cp932.h"
#include "tests/support/ProgramHarness.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

const QString PasswordKey = QStringLiteral("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Kestor\\VxRelvo\\16.0]\n");

// The stored text of a password as the setting tool writes it: each character full width as a
// group of four hexadecimal digits (second byte first), filled up to 16 groups with "＋", the groups
// in the tool's interleaved order.
QString StoredText(const QString& Password)
{
    QString Units = Password;
    for (QChar& Char : Units)
        Char = QChar(Char.unicode() - 0x21 + 0xFF01);
    while (Units.size() < 16)
        Units += QStringLiteral("＋");
    QStringList Groups(16);
    for (int I = 0; I < 16; ++I) {
        const QByteArray Bytes = Cp932Encode(Units.mid(I, 1));
        Groups[2 * (I % 8) + I / 8] = QStringLiteral("%1%2")
                                          .arg(static_cast<unsigned char>(Bytes[1]), 2, 16, QLatin1Char('0'))
                                          .arg(static_cast<unsigned char>(Bytes[0]), 2, 16, QLatin1Char('0'));
    }
    return Groups.join(QString());
}

void WriteFile(const QString& Name, const QString& Text)
{
    QDir().mkpath(QFileInfo(Name).absolutePath());
    QFile File(Name);
    ASSERT_TRUE(File.open(QIODevice::WriteOnly));
    File.write(Text.toUtf8());
}

// The administrator's password keeps the line closed until it is typed; the user's own registry
// file cannot take it away.
TEST(StartupPasswordE2ETest, NoLineUntilTheRightPasswordIsGiven)
{
    TProgramHarness Program;
    WriteFile(Program.SystemConfigFolder() + QStringLiteral("Pelmar/registry.ini"),
              PasswordKey + QStringLiteral("Type=") + StoredText(QStringLiteral("Pw7")) + QStringLiteral("\n"));
    WriteFile(Program.DataHome() + QStringLiteral("Pelmar/registry.ini"), PasswordKey + QStringLiteral("Type=\n"));
    ASSERT_TRUE(Program.Start());
    ASSERT_TRUE(Program.WaitForWindow(QStringLiteral("InputPassword")));
    EXPECT_EQ(Program.Ring(QStringLiteral("0312345678")), 1) << "the line is not open while the password is asked";

    Program.AnswerDialog(QStringLiteral("InputPassword"), {{QStringLiteral("medtPassword"), QStringLiteral("pw7")}},
                         QStringLiteral("btnOk"));
    const QString Wrong = QStringLiteral("パスワードが違います  \r\n正しいパスワードを入力してください  ");
    ASSERT_TRUE(Program.WaitForBox(Wrong));
    EXPECT_EQ(Program.Ring(QStringLiteral("0312345678")), 1) << "a wrong password opens nothing";
    EXPECT_FALSE(QFileInfo::exists(Program.DataFolder() + QStringLiteral("RecvHis.DB")));
    EXPECT_TRUE(Program.WindowFills(QStringLiteral("MainForm")).isEmpty()) << "the menu window is not shown yet";

    Program.AnswerDialog(QStringLiteral("InputPassword"), {{QStringLiteral("medtPassword"), QStringLiteral("Pw7")}},
                         QStringLiteral("btnOk"));
    ASSERT_TRUE(Program.WaitForLine());
    EXPECT_TRUE(Program.WaitForWindow(QStringLiteral("MainForm")));
    EXPECT_EQ(Program.Ring(QStringLiteral("0312345678")), 0);
    EXPECT_TRUE(Program.WaitForRows(1));
}

TEST(StartupPasswordE2ETest, AMalformedStoredTextEndsTheProgramWithItsMessage)
{
    TProgramHarness Program;
    WriteFile(Program.SystemConfigFolder() + QStringLiteral("Pelmar/registry.ini"),
              PasswordKey + QStringLiteral("Type=") + QString(64, QLatin1Char('z')) + QStringLiteral("\n"));
    ASSERT_TRUE(Program.Start());
    ASSERT_TRUE(Program.Process().waitForFinished(TProgramHarness::Patience));
    EXPECT_EQ(Program.ExitCode(), 0);
    EXPECT_TRUE(Program.WaitForBox(QStringLiteral("起動時パスワードの設定が正しくありません  \r\n"
                                                  "起動時パスワード設定ツールで設定し直してください  ")));
    EXPECT_FALSE(QFileInfo::exists(Program.DataFolder() + QStringLiteral("RecvHis.DB")));
}

// The administrator's password, set with the setting tool in the machine's fixed folder, is asked for
// however the user's environment names the system-wide folders; an earlier tool's scrambled text is
// replaced by its hash at the first start that may write the file.
TEST(StartupPasswordE2ETest, TheAdministratorsPasswordHoldsWhateverTheEnvironmentSays)
{
    struct TCase
    {
        const char* What;
        bool Scrambled;
        const char* ConfigDirs;
    } Cases[] = {
        {"set with the tool, the variable naming nothing", false, "/nonexistent"},
        {"set with the tool, the variable empty", false, ""},
        {"an earlier tool's text, the variable naming nothing", true, "/nonexistent"},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.What);
        TProgramHarness Program;
        Program.UseTestBuild();
        const QString Machine = Program.TempPath(QStringLiteral("machine"));
        const QString MachineFile = Machine + QStringLiteral("/Pelmar/registry.ini");
        if (Case.Scrambled) {
            WriteFile(MachineFile, PasswordKey + QStringLiteral("Type=") + StoredText(QStringLiteral("Pw7")) +
                                       QStringLiteral("\n"));
        } else {
            QProcess Tool;
            Tool.start(QStringLiteral(VX_BIN_DIR "/vxstartpw"), {QStringLiteral("set"), MachineFile});
            ASSERT_TRUE(Tool.waitForStarted());
            Tool.write("Pw7\n");
            Tool.closeWriteChannel();
            ASSERT_TRUE(Tool.waitForFinished());
            ASSERT_EQ(Tool.exitCode(), 0) << Tool.readAllStandardError().toStdString();
        }
        Program.Environment().insert(QStringLiteral("VX_TEST_MACHINE_CONFIG"), Machine);
        Program.Environment().insert(QStringLiteral("XDG_CONFIG_DIRS"), QString::fromLatin1(Case.ConfigDirs));
        ASSERT_TRUE(Program.Start());
        ASSERT_TRUE(Program.WaitForWindow(QStringLiteral("InputPassword")));
        QFile Stored(MachineFile);
        ASSERT_TRUE(Stored.open(QIODevice::ReadOnly));
        const QByteArray Bytes = Stored.readAll();
        EXPECT_TRUE(Bytes.contains("Type=$argon2id$")) << Bytes.toStdString();
        EXPECT_FALSE(Bytes.contains(StoredText(QStringLiteral("Pw7")).toLatin1()));
        Program.AnswerDialog(QStringLiteral("InputPassword"), {{QStringLiteral("medtPassword"), QStringLiteral("pw7")}},
                             QStringLiteral("btnOk"));
        ASSERT_TRUE(Program.WaitForBox(QStringLiteral("パスワードが違います  \r\n正しいパスワードを入力してください  ")));
        Program.AnswerDialog(QStringLiteral("InputPassword"), {{QStringLiteral("medtPassword"), QStringLiteral("Pw7")}},
                             QStringLiteral("btnOk"));
        ASSERT_TRUE(Program.WaitForLine());
    }
}

} // namespace
