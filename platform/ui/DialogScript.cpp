#include "platform/ui/DialogScript.h"

#include "platform/ui/WindowLog.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QEvent>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>

namespace {

constexpr int PollInterval = 100;

// Lines of the answer file already taken by some dialog of this process.
qsizetype& TakenLines()
{
    static qsizetype Taken = 0;
    return Taken;
}

// The next answer for Window, taken from the file; an empty object when there is none for it yet.
QJsonObject TakeAnswer(const QString& FileName, const QString& Window)
{
    QFile File(FileName);
    if (!File.open(QIODevice::ReadOnly))
        return {};
    qsizetype Index = 0;
    while (!File.atEnd()) {
        const QByteArray Line = File.readLine();
        // A line still being written has no line end yet.
        if (!Line.endsWith('\n'))
            return {};
        if (Line.trimmed().isEmpty())
            continue;
        if (Index++ < TakenLines())
            continue;
        const QJsonObject Answer = QJsonDocument::fromJson(Line).object();
        if (Answer.value(QStringLiteral("window")).toString() != Window)
            return {};
        ++TakenLines();
        return Answer;
    }
    return {};
}

void Apply(QDialog* Dialog, const QJsonObject& Answer)
{
    const QJsonObject Fields = Answer.value(QStringLiteral("fields")).toObject();
    for (auto Field = Fields.begin(); Field != Fields.end(); ++Field) {
        QWidget* Control = Dialog->findChild<QWidget*>(Field.key());
        if (auto* Check = qobject_cast<QCheckBox*>(Control))
            Check->setChecked(Field.value().toBool());
        else if (auto* Combo = qobject_cast<QComboBox*>(Control))
            Combo->setCurrentIndex(Combo->findText(Field.value().toString()));
        else if (auto* Edit = qobject_cast<QLineEdit*>(Control))
            Edit->setText(Field.value().toString());
        else
            qWarning("Dialog answer names no control %s in %s", qPrintable(Field.key()),
                     qPrintable(Dialog->objectName()));
    }
    const QString Click = Answer.value(QStringLiteral("click")).toString();
    if (Click.isEmpty())
        return;
    if (auto* Button = Dialog->findChild<QAbstractButton*>(Click))
        Button->click();
    else
        qWarning("Dialog answer names no button %s in %s", qPrintable(Click), qPrintable(Dialog->objectName()));
}

class TDialogScript : public QObject
{
public:
    explicit TDialogScript(QDialog* Dialog)
        : QObject(Dialog), Dialog(Dialog), AnswerFile(qEnvironmentVariable("VX_DIALOG_ANSWERS"))
    {
        Poll.setInterval(PollInterval);
        connect(&Poll, &QTimer::timeout, this, &TDialogScript::Answer);
        Dialog->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (Watched == Dialog && Event->type() == QEvent::Show) {
            LogWindowState(Dialog);
            if (!AnswerFile.isEmpty())
                Poll.start();
        } else if (Watched == Dialog && Event->type() == QEvent::Hide) {
            Poll.stop();
        }
        return false;
    }

private:
    void Answer()
    {
        const QJsonObject Next = TakeAnswer(AnswerFile, Dialog->objectName());
        if (Next.isEmpty())
            return;
        // A click may run a modal loop of its own; the dialog is not polled again meanwhile.
        Poll.stop();
        const QPointer<QDialog> Alive = Dialog;
        Apply(Dialog, Next);
        if (Alive && Alive->isVisible())
            Poll.start();
    }

    QDialog* Dialog;
    QString AnswerFile;
    QTimer Poll;
};

} // namespace

void ScriptDialog(QDialog* Dialog)
{
    if (Dialog)
        new TDialogScript(Dialog);
}
