#include "main/start/InputPW.h"

#include "platform/text/Cp932.h"
#include "tests/support/Screenshots.h"
#include "tests/support/ScriptedBoxes.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// The stored text of a 16-unit password text in the setting tool's group order.
QString Scramble(const QString& Units)
{
    QStringList Groups(Units.size());
    for (qsizetype I = 0; I < Units.size(); ++I) {
        const QByteArray Bytes = Cp932Encode(Units.mid(I, 1));
        Groups[2 * (I % 8) + I / 8] =
            QStringLiteral("%1%2")
                .arg(static_cast<unsigned char>(Bytes.size() > 1 ? Bytes[1] : 0), 2, 16, QLatin1Char('0'))
                .arg(static_cast<unsigned char>(Bytes[0]), 2, 16, QLatin1Char('0'));
    }
    return Groups.join(QString());
}

const QString Stored = Scramble(QStringLiteral("ＰａＳｓ＋＋＋＋－－－－＊＊＊＊"));

const QString EmptyText = QStringLiteral("パスワードを入力してください  ");
const QString WrongText = QStringLiteral("パスワードが違います  \r\n正しいパスワードを入力してください  ");
const QString QuitText = QStringLiteral("Tolvaneの起動を中止します  \r\nよろしいですか？  ");

} // namespace

TEST(InputPWTest, LooksAsDesigned)
{
    TInputPassword Dialog(nullptr, Stored);
    Dialog.show();
    EXPECT_EQ(Dialog.windowTitle(), QStringLiteral("パスワード入力"));
    EXPECT_EQ(Dialog.size(), QSize(293, 153));
    EXPECT_EQ(Dialog.property("HelpContext").toInt(), 2);
    EXPECT_EQ(Dialog.findChild<QLabel*>(QStringLiteral("lblMsg1"))->text(), QStringLiteral("Mirelo　Tolvane"));
    EXPECT_EQ(Dialog.findChild<QLabel*>(QStringLiteral("lblMsg2"))->text(),
              QStringLiteral("を起動するためのパスワードを入力してください"));
    auto* Edit = Dialog.findChild<QLineEdit*>(QStringLiteral("medtPassword"));
    ASSERT_NE(Edit, nullptr);
    EXPECT_EQ(Edit->maxLength(), 16);
    EXPECT_EQ(Edit->echoMode(), QLineEdit::Password);
    EXPECT_EQ(Edit->geometry(), QRect(28, 64, 124, 20));
    EXPECT_TRUE(Dialog.findChild<QPushButton*>(QStringLiteral("btnOk"))->isDefault());
    EXPECT_EQ(Dialog.findChild<QPushButton*>(QStringLiteral("btnCancel"))->text(), QStringLiteral("キャンセル"));
    Edit->setText(QStringLiteral("abc"));
    SaveScreenshot(Dialog, QStringLiteral("InputPassword"));
}

TEST(InputPWTest, AsksUntilTheRightPasswordOrGivingUp)
{
    TScriptedBoxes Boxes("OK,OK,No,No,No");
    TInputPassword Dialog(nullptr, Stored);
    Dialog.show();
    QLineEdit* Edit = Dialog.medtPassword;

    Dialog.btnOk->click();
    EXPECT_EQ(Boxes.Texts().value(0), EmptyText);
    EXPECT_TRUE(Dialog.isVisible());

    Edit->setText(QStringLiteral("pass"));
    Dialog.btnOk->click();
    EXPECT_EQ(Boxes.Texts().value(1), WrongText) << "letter case counts";
    EXPECT_TRUE(Edit->text().isEmpty());
    EXPECT_TRUE(Dialog.isVisible());

    Edit->setText(QStringLiteral("kept"));
    Dialog.btnCancel->click();
    EXPECT_EQ(Boxes.Texts().value(2), QuitText);
    EXPECT_TRUE(Dialog.isVisible());
    EXPECT_EQ(Edit->text(), QStringLiteral("kept"));

    QTest::keyClick(&Dialog, Qt::Key_Escape);
    EXPECT_EQ(Boxes.Texts().value(3), QuitText) << "Esc asks as Cancel does";
    EXPECT_TRUE(Dialog.isVisible());

    Dialog.close();
    EXPECT_EQ(Boxes.Texts().value(4), QuitText) << "the close box asks as Cancel does";
    EXPECT_TRUE(Dialog.isVisible());

    Edit->setText(QStringLiteral("PaSs"));
    QTest::keyClick(Edit, Qt::Key_Return);
    EXPECT_FALSE(Dialog.isVisible()) << "Enter in the field acts as OK";
    EXPECT_EQ(Dialog.result(), 1);
    EXPECT_EQ(Boxes.Texts().size(), 5);
}

TEST(InputPWTest, TheStartUpStep)
{
    TScriptedBoxes Boxes("OK,Yes");
    EXPECT_TRUE(AskStartupPassword(nullptr, QString())) << "no stored password: no prompt";
    EXPECT_TRUE(AskStartupPassword(nullptr, Scramble(QStringLiteral("＋＋＋＋－－－－＊＊＊＊／／／／"))));
    EXPECT_TRUE(Boxes.Texts().isEmpty());

    EXPECT_FALSE(AskStartupPassword(nullptr, Stored.left(20))) << "a malformed text never lets anyone in";
    ASSERT_EQ(Boxes.Texts().size(), 1);
    EXPECT_TRUE(Boxes.Texts()[0].startsWith(QStringLiteral("起動時パスワードの設定が正しくありません")));

    // Giving up: Cancel, then Yes.
    QTimer::singleShot(0, [] {
        for (QWidget* Window : QApplication::topLevelWidgets())
            if (auto* Dialog = qobject_cast<TInputPassword*>(Window))
                Dialog->btnCancel->click();
    });
    EXPECT_FALSE(AskStartupPassword(nullptr, Stored));
    EXPECT_EQ(Boxes.Texts().last(), QuitText);

    QTimer::singleShot(0, [] {
        for (QWidget* Window : QApplication::topLevelWidgets())
            if (auto* Dialog = qobject_cast<TInputPassword*>(Window)) {
                Dialog->medtPassword->setText(QStringLiteral("PaSs"));
                Dialog->btnOk->click();
            }
    });
    EXPECT_TRUE(AskStartupPassword(nullptr, Stored));
}
