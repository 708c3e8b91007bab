#include "platform/ui/WindowScript.h"

#include "platform/ui/WindowLog.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <QWidget>

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

void Apply(QWidget* Window, const QJsonObject& Answer)
{
    const QJsonObject Fields = Answer.value(QStringLiteral("fields")).toObject();
    for (auto Field = Fields.begin(); Field != Fields.end(); ++Field) {
        QWidget* Control = Window->findChild<QWidget*>(Field.key());
        if (auto* Check = qobject_cast<QCheckBox*>(Control))
            Check->setChecked(Field.value().toBool());
        else if (auto* Combo = qobject_cast<QComboBox*>(Control))
            Combo->setCurrentIndex(Combo->findText(Field.value().toString()));
        else if (auto* Edit = qobject_cast<QLineEdit*>(Control))
            Edit->setText(Field.value().toString());
        else if (auto* List = qobject_cast<QAbstractItemView*>(Control); List && Field.value().toBool())
            List->selectAll();
        else
            qWarning("Window answer names no control %s in %s", qPrintable(Field.key()),
                     qPrintable(Window->objectName()));
    }
    if (const QString Focus = Answer.value(QStringLiteral("focus")).toString(); !Focus.isEmpty()) {
        Window->activateWindow();
        if (auto* Control = Window->findChild<QWidget*>(Focus)) {
            Control->setFocus(Qt::OtherFocusReason);
            if (auto* Edit = qobject_cast<QLineEdit*>(Control))
                Edit->end(false);
        } else {
            qWarning("Window answer names no control %s in %s", qPrintable(Focus), qPrintable(Window->objectName()));
        }
    }
    if (Answer.value(QStringLiteral("log")).toBool())
        LogWindowState(Window);
    const QString Click = Answer.value(QStringLiteral("click")).toString();
    if (Click.isEmpty())
        return;
    if (auto* Button = Window->findChild<QAbstractButton*>(Click))
        Button->click();
    else if (auto* Command = Window->findChild<QAction*>(Click))
        Command->trigger(); // a menu command of the window, as a person chooses it
    else
        qWarning("Window answer names no button %s in %s", qPrintable(Click), qPrintable(Window->objectName()));
}

class TWindowScript : public QObject
{
public:
    TWindowScript(QWidget* Window, bool LogOnShow)
        : QObject(Window), Window(Window), AnswerFile(qEnvironmentVariable("VX_DIALOG_ANSWERS")), LogOnShow(LogOnShow)
    {
        Poll.setInterval(PollInterval);
        connect(&Poll, &QTimer::timeout, this, &TWindowScript::Answer);
        Window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (Watched == Window && Event->type() == QEvent::Show) {
            if (LogOnShow)
                LogWindowState(Window);
            if (!AnswerFile.isEmpty())
                Poll.start();
        } else if (Watched == Window && Event->type() == QEvent::Hide) {
            Poll.stop();
        }
        return false;
    }

private:
    void Answer()
    {
        const QJsonObject Next = TakeAnswer(AnswerFile, Window->objectName());
        if (Next.isEmpty())
            return;
        // A click may run a modal loop of its own; the window is not polled again meanwhile.
        Poll.stop();
        const QPointer<QWidget> Alive = Window;
        Apply(Window, Next);
        if (Alive && Alive->isVisible())
            Poll.start();
    }

    QWidget* Window;
    QString AnswerFile;
    bool LogOnShow;
    QTimer Poll;
};

} // namespace

void ScriptWindow(QWidget* Window, bool LogOnShow)
{
    if (Window)
        new TWindowScript(Window, LogOnShow);
}
