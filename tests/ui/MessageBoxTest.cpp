#include "main/common/MsgBoxPos.h"
#include "main/common/ProductInfo.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Sets the script variables for one test and takes them away again.
class TScriptedBoxes
{
public:
    explicit TScriptedBoxes(const QByteArray& Answers)
    {
        Log = Dir.filePath(QStringLiteral("boxes.jsonl"));
        qputenv("VX_MSGBOX_LOG", QFile::encodeName(Log));
        if (Answers.isNull())
            qunsetenv("VX_MSGBOX_ANSWERS");
        else
            qputenv("VX_MSGBOX_ANSWERS", Answers);
        ResetMessageBoxAnswers();
    }
    ~TScriptedBoxes()
    {
        qunsetenv("VX_MSGBOX_LOG");
        qunsetenv("VX_MSGBOX_ANSWERS");
        ResetMessageBoxAnswers();
    }
    QList<QByteArray> Lines() const
    {
        QFile File(Log);
        if (!File.open(QIODevice::ReadOnly))
            return {};
        QList<QByteArray> Result = File.readAll().split('\n');
        if (!Result.isEmpty() && Result.last().isEmpty())
            Result.removeLast();
        return Result;
    }

private:
    QTemporaryDir Dir;
    QString Log;
};

// Runs Check on the box once it is open and presses the button with the caption Press.
void AnswerVisibleBox(const QString& Press, const std::function<void(QMessageBox*)>& Check)
{
    QTimer::singleShot(0, [=] {
        QMessageBox* Box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(Box, nullptr);
        Check(Box);
        for (QAbstractButton* Button : Box->buttons()) {
            if (Button->text() == Press) {
                Button->click();
                return;
            }
        }
        ADD_FAILURE() << "no button " << Press.toStdString();
        Box->reject();
    });
}

} // namespace

TEST(MessageBoxTest, ScriptedBoxesAreLoggedExactlyAndAnsweredInOrder)
{
    TScriptedBoxes Script("Yes, Cancel,Retry");
    const QString AlreadyRunning = QStringLiteral("既に「Tolvane１６」は起動しています  ");
    EXPECT_EQ(MessageBoxPos(nullptr, AlreadyRunning, ProductName, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2), IDYES);
    EXPECT_EQ(MessageBoxPos(nullptr, QStringLiteral("a\r\n\"b\"\\"), ProductName, MB_YESNOCANCEL, 1, 10, 10), IDCANCEL);
    // An answer the box has no button for falls back to its default, and is used up.
    EXPECT_EQ(ShowMessage(QStringLiteral("x"), MB_OK | MB_ICONSTOP), IDOK);
    // Answers used up: the default button.
    EXPECT_EQ(ShowMessageBox(nullptr, QString(), QString(), MB_ABORTRETRYIGNORE | MB_DEFBUTTON3 | MB_ICONWARNING),
              IDIGNORE);
    EXPECT_EQ(ShowMessageBox(nullptr, QString(), QString(), MB_RETRYCANCEL | MB_DEFBUTTON3), IDRETRY);

    const QList<QByteArray> Lines = Script.Lines();
    ASSERT_EQ(Lines.size(), 5);
    EXPECT_EQ(QString::fromUtf8(Lines[0]),
              QStringLiteral("{\"caption\":\"Tolvane１６\",\"text\":\"既に「Tolvane１６」は起動しています  \","
                             "\"buttons\":[\"Yes\",\"No\"],\"icon\":\"Question\",\"default\":\"No\"}"));
    EXPECT_EQ(QString::fromUtf8(Lines[1]),
              QStringLiteral("{\"caption\":\"Tolvane１６\",\"text\":\"a\\r\\n\\\"b\\\"\\\\\","
                             "\"buttons\":[\"Yes\",\"No\",\"Cancel\"],\"icon\":\"None\",\"default\":\"Yes\"}"));
    EXPECT_TRUE(Lines[2].contains("\"buttons\":[\"OK\"],\"icon\":\"Stop\",\"default\":\"OK\""));
    EXPECT_TRUE(Lines[3].contains("\"buttons\":[\"Abort\",\"Retry\",\"Ignore\"],\"icon\":\"Warning\""));
}

TEST(MessageBoxTest, UnsetAnswersGiveTheDefaultButton)
{
    TScriptedBoxes Script(QByteArray{});
    const struct
    {
        unsigned Flags;
        int Expected;
    } Cases[] = {
        {MB_OK, IDOK},
        {MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL},
        {MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION, IDNO},
        {MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL},
        {MB_YESNO, IDYES},
        {MB_ABORTRETRYIGNORE | MB_DEFBUTTON2, IDRETRY},
    };
    for (const auto& Case : Cases)
        EXPECT_EQ(ShowMessageBox(nullptr, QStringLiteral("t"), QStringLiteral("c"), Case.Flags), Case.Expected)
            << Case.Flags;
    EXPECT_EQ(Script.Lines().size(), static_cast<qsizetype>(std::size(Cases)));
}

TEST(MessageBoxTest, ShownBoxHasJapaneseButtonsAndIsPlacedAsAsked)
{
    qunsetenv("VX_MSGBOX_LOG");
    QWidget Owner;
    Owner.setGeometry(100, 120, 600, 400);
    Owner.show();

    AnswerVisibleBox(QStringLiteral("いいえ(&N)"), [&](QMessageBox* Box) {
        QStringList Captions;
        for (QAbstractButton* Button : Box->buttons())
            Captions.append(Button->text());
        Captions.sort();
        QStringList Expected = {QStringLiteral("はい(&Y)"), QStringLiteral("いいえ(&N)"), QStringLiteral("キャンセル")};
        Expected.sort();
        EXPECT_EQ(Captions, Expected);
        EXPECT_EQ(Box->defaultButton()->text(), QStringLiteral("キャンセル"));
        EXPECT_EQ(Box->text(), QStringLiteral("一行目  \n二行目  "));
        EXPECT_EQ(Box->windowTitle(), ProductName);
        EXPECT_EQ(Box->icon(), QMessageBox::Question);
        const QRect Frame = Box->frameGeometry();
        EXPECT_EQ(Frame.center().x(), QRect(100, 120, 600, 400).center().x());
        EXPECT_NEAR(Frame.center().y(), QRect(100, 120, 600, 400).center().y(), 1);
    });
    EXPECT_EQ(MessageBoxPos(&Owner, QStringLiteral("一行目  \r\n二行目  "), ProductName,
                            MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON3, 0),
              IDNO);

    AnswerVisibleBox(QStringLiteral("OK"), [](QMessageBox* Box) { EXPECT_EQ(Box->pos(), QPoint(30, 40)); });
    EXPECT_EQ(MessageBoxPos(&Owner, QStringLiteral("x"), ProductName, MB_OK, 1, 30, 40), IDOK);

    // The rectangle given at the call counts, not where the owner is when the box appears.
    AnswerVisibleBox(QStringLiteral("OK"), [](QMessageBox* Box) {
        const QSize Size = Box->frameGeometry().size();
        EXPECT_EQ(Box->pos(), QPoint(300 + (201 - Size.width()) / 2, 300 + (101 - Size.height()) / 2));
    });
    EXPECT_EQ(ShowMessageBox(&Owner, QStringLiteral("x"), ProductName, MB_OKCANCEL,
                             TMessageBoxPlacement::CenteredOver(QRect(300, 300, 201, 101))),
              IDOK);

    // Escape in a question without Cancel means No; in a plain notice OK.
    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    EXPECT_EQ(MessageBoxPos(&Owner, QStringLiteral("x"), ProductName, MB_YESNO, 2), IDNO);
}
