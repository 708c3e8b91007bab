#include "transfer/export/FExpPw.h"

#include "main/settings/Settings.h"
#include "platform/ini/IniFile.h"
#include "platform/ui/WindowLog.h"
#include "tests/support/Screenshots.h"
#include "tests/support/ScriptedBoxes.h"
#include "transfer/export/ExportPassword.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class FExpPwTest : public ::testing::Test
{
protected:
    void SetUp() override { SettingsPath = Settings.path() + u'/'; }
    void TearDown() override { SettingsPath.clear(); }
    QString PwdFile() const { return Settings.filePath(QStringLiteral("FExport.pwd")); }
    void WritePwd(const QByteArray& Bytes)
    {
        QFile File(PwdFile());
        ASSERT_TRUE(File.open(QIODevice::WriteOnly | QIODevice::Truncate));
        File.write(Bytes);
    }
    QString SavePasswordValue() const
    {
        return TMemIniFile(SettingsFileName()).ReadString(ExportPasswordSection, QStringLiteral("SavePassword"), {});
    }
    QTemporaryDir Settings;
};

void Type(TFileExportPassword& Dialog, const QString& First, const QString& Second)
{
    Dialog.medtPassword1->setText(First);
    Dialog.medtPassword2->setText(Second);
}

TEST_F(FExpPwTest, ShowsItsTextsMaskedAndWhole)
{
    TFileExportPassword Dialog(nullptr);
    Dialog.show();
    EXPECT_EQ(Dialog.windowTitle(), QStringLiteral("自己復元パスワード入力"));
    EXPECT_EQ(Dialog.property("HelpContext").toInt(), 63);
    EXPECT_EQ(Dialog.lblMsg1->text(),
              QStringLiteral("暗号化出力したファイルを復元する際に必要となるパスワードを設定します"));
    EXPECT_EQ(Dialog.lblPassword1->text(), QStringLiteral("パスワード："));
    EXPECT_EQ(Dialog.lblPassword2->text(), QStringLiteral("確認用："));
    EXPECT_EQ(Dialog.chkSavePassword->text(), QStringLiteral("パスワードを保存する （推奨しません）"));
    for (QLineEdit* Edit : {Dialog.medtPassword1, Dialog.medtPassword2}) {
        EXPECT_EQ(Edit->echoMode(), QLineEdit::Password);
        EXPECT_EQ(Edit->maxLength(), 16);
        EXPECT_FALSE(Edit->testAttribute(Qt::WA_InputMethodEnabled));
    }
    EXPECT_FALSE(Dialog.chkSavePassword->isChecked());
    Dialog.medtPassword1->setText(QStringLiteral("Abc12345"));
    Dialog.chkSavePassword->setChecked(true);
    EXPECT_TRUE(Dialog.chkSavePassword->styleSheet().contains(QStringLiteral("blue")));
    ExpectLabelsWhole(Dialog, QStringLiteral("FileExportPassword"));
    SaveScreenshot(Dialog, QStringLiteral("FileExportPassword"));
}

TEST_F(FExpPwTest, EntriesAreRefusedWithTheirMessagesAndFocus)
{
    TScriptedBoxes Boxes;
    TFileExportPassword Dialog(nullptr);
    Dialog.show();
    QApplication::setActiveWindow(&Dialog);
    const struct
    {
        QString First, Second;
        QString Text;
        QLineEdit* Focus;
        QString SecondAfter;
    } Cases[] = {
        {"", "", PasswordFaultText(TPasswordFault::FirstEmpty), Dialog.medtPassword1, ""},
        {"1234567", "", PasswordFaultText(TPasswordFault::SecondEmpty), Dialog.medtPassword2, ""},
        {"1234567", "1234567", QStringLiteral("パスワードは８文字～１６文字で入力してください  "), Dialog.medtPassword1,
         "1234567"},
        {QStringLiteral("1234567８"), QStringLiteral("1234567８"), PasswordFaultText(TPasswordFault::Character),
         Dialog.medtPassword1, QStringLiteral("1234567８")},
        {"12345678", "12345679", PasswordFaultText(TPasswordFault::Mismatch), Dialog.medtPassword2, ""},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Text.toStdString());
        Type(Dialog, Case.First, Case.Second);
        const qsizetype Before = Boxes.Texts().size();
        Dialog.btnSet->click();
        ASSERT_EQ(Boxes.Texts().size(), Before + 1);
        EXPECT_EQ(Boxes.Texts().last(), Case.Text);
        EXPECT_EQ(QApplication::focusWidget(), Case.Focus);
        EXPECT_EQ(Dialog.medtPassword2->text(), Case.SecondAfter);
        EXPECT_TRUE(Dialog.isVisible());
    }
    EXPECT_FALSE(QFile::exists(SettingsFileName()));
}

TEST_F(FExpPwTest, EntriesDifferingInCaseGiveTheFirstSpellingAndItIsSavedOwnerOnly)
{
    TScriptedBoxes Boxes;
    TFileExportPassword Dialog(nullptr);
    Dialog.show();
    Type(Dialog, QStringLiteral("AbCd1234"), QStringLiteral("aBcD1234"));
    Dialog.chkSavePassword->setChecked(true);
    Dialog.btnSet->click();
    EXPECT_EQ(Dialog.result(), QDialog::Accepted);
    EXPECT_EQ(Dialog.Password(), QStringLiteral("AbCd1234"));
    EXPECT_TRUE(Boxes.Texts().isEmpty());
    EXPECT_EQ(SavePasswordValue(), u"1");
    EXPECT_EQ(QFile::permissions(PwdFile()), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);

    // The next export starts with it filled in; the box off and "設定" takes the copy away.
    TFileExportPassword Next(nullptr);
    EXPECT_TRUE(Next.chkSavePassword->isChecked());
    EXPECT_EQ(Next.medtPassword1->text(), QStringLiteral("AbCd1234"));
    EXPECT_EQ(Next.medtPassword2->text(), QStringLiteral("AbCd1234"));
    Next.show();
    Next.chkSavePassword->setChecked(false);
    Next.btnSet->click();
    EXPECT_EQ(Next.result(), QDialog::Accepted);
    EXPECT_FALSE(QFile::exists(PwdFile()));
    EXPECT_EQ(SavePasswordValue(), u"0");
}

TEST_F(FExpPwTest, AnUnbelievableSavedCopyFillsInNothingAndClearsTheBox)
{
    {
        TMemIniFile Ini(SettingsFileName());
        Ini.WriteBool(ExportPasswordSection, QStringLiteral("SavePassword"), true);
        ASSERT_TRUE(Ini.UpdateFile());
    }
    const QByteArray Cases[] = {SavedPasswordBytes(QStringLiteral("abcdefghijklmnopqrst")),
                                SavedPasswordBytes(QStringLiteral("Abc12345")).chopped(1),
                                SavedPasswordBytes(QStringLiteral("Abc1234-"))};
    for (const QByteArray& Bytes : Cases) {
        SCOPED_TRACE(Bytes.toHex(' ').toStdString());
        WritePwd(Bytes);
        TFileExportPassword Dialog(nullptr);
        EXPECT_FALSE(Dialog.chkSavePassword->isChecked());
        EXPECT_TRUE(Dialog.medtPassword1->text().isEmpty());
        EXPECT_TRUE(Dialog.medtPassword2->text().isEmpty());
    }
}

TEST_F(FExpPwTest, EnterWalksTheEntriesAndNeverPressesAButtonUnreached)
{
    TFileExportPassword Dialog(nullptr);
    Dialog.show();
    QApplication::setActiveWindow(&Dialog);
    Dialog.medtPassword1->setFocus();
    QTest::keyClick(Dialog.medtPassword1, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), Dialog.btnCancel);

    Dialog.medtPassword1->setText(QStringLiteral("Abc12345"));
    Dialog.medtPassword1->setFocus();
    QTest::keyClick(Dialog.medtPassword1, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), Dialog.medtPassword2);
    QTest::keyClick(Dialog.medtPassword2, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), Dialog.medtPassword1);
    Dialog.medtPassword2->setText(QStringLiteral("abc12345"));
    Dialog.medtPassword2->setFocus();
    QTest::keyClick(Dialog.medtPassword2, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), Dialog.chkSavePassword);
    QTest::keyClick(Dialog.chkSavePassword, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), Dialog.btnSet);
    EXPECT_TRUE(Dialog.isVisible());
    EXPECT_FALSE(QFile::exists(SettingsFileName()));
}

// An ideographic space is text, as the blank trim of the entries has it: a password of one moves on.
TEST_F(FExpPwTest, AnIdeographicSpaceIsNoBlankEntry)
{
    TFileExportPassword Dialog(nullptr);
    Dialog.show();
    QApplication::setActiveWindow(&Dialog);
    Dialog.medtPassword1->setText(QStringLiteral("\u3000"));
    Dialog.medtPassword1->setFocus();
    QTest::keyClick(Dialog.medtPassword1, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), Dialog.medtPassword2);
    Dialog.medtPassword2->setText(QStringLiteral(" \t"));
    Dialog.medtPassword2->setFocus();
    QTest::keyClick(Dialog.medtPassword2, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), Dialog.medtPassword1);
}

// The window log, which tests and support read, never holds what a password entry holds.
TEST_F(FExpPwTest, TheWindowLogLeavesThePasswordsOut)
{
    QTemporaryDir Logs;
    const QString Log = Logs.filePath(QStringLiteral("windows.jsonl"));
    qputenv("VX_WINDOW_LOG", QFile::encodeName(Log));
    {
        TFileExportPassword Dialog(nullptr);
        Dialog.show();
        Type(Dialog, QStringLiteral("Secret99"), QStringLiteral("Secret99"));
        LogWindowState(&Dialog);
    }
    qunsetenv("VX_WINDOW_LOG");
    QFile File(Log);
    ASSERT_TRUE(File.open(QIODevice::ReadOnly));
    const QByteArray Logged = File.readAll();
    EXPECT_TRUE(Logged.contains("medtPassword1"));
    EXPECT_FALSE(Logged.contains("Secret99"));
}

} // namespace
