#include "platform/ui/MessageBox.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QShowEvent>

namespace {

struct TButtonInfo
{
    int Id;
    const char* Name;
    const char* Caption;
    QMessageBox::ButtonRole Role;
};

const TButtonInfo& ButtonInfo(int Id)
{
    static const TButtonInfo Infos[] = {
        {IDOK, "OK", "OK", QMessageBox::AcceptRole},
        {IDCANCEL, "Cancel", "キャンセル", QMessageBox::RejectRole},
        {IDABORT, "Abort", "中止(&A)", QMessageBox::DestructiveRole},
        {IDRETRY, "Retry", "再試行(&R)", QMessageBox::AcceptRole},
        {IDIGNORE, "Ignore", "無視(&I)", QMessageBox::AcceptRole},
        {IDYES, "Yes", "はい(&Y)", QMessageBox::YesRole},
        {IDNO, "No", "いいえ(&N)", QMessageBox::NoRole},
    };
    for (const TButtonInfo& Info : Infos) {
        if (Info.Id == Id)
            return Info;
    }
    return Infos[0];
}

QString IconName(unsigned Flags)
{
    switch (Flags & MB_ICONMASK) {
    case MB_ICONSTOP:
        return QStringLiteral("Stop");
    case MB_ICONQUESTION:
        return QStringLiteral("Question");
    case MB_ICONWARNING:
        return QStringLiteral("Warning");
    case MB_ICONINFORMATION:
        return QStringLiteral("Information");
    default:
        return QStringLiteral("None");
    }
}

QMessageBox::Icon QtIcon(unsigned Flags)
{
    switch (Flags & MB_ICONMASK) {
    case MB_ICONSTOP:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONWARNING:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

// JSON string syntax by hand, so that the keys of a log line keep the order a reader expects.
QString JsonString(const QString& Text)
{
    QString Out = QStringLiteral("\"");
    for (const QChar Ch : Text) {
        switch (Ch.unicode()) {
        case '"':
            Out += QStringLiteral("\\\"");
            break;
        case '\\':
            Out += QStringLiteral("\\\\");
            break;
        case '\b':
            Out += QStringLiteral("\\b");
            break;
        case '\f':
            Out += QStringLiteral("\\f");
            break;
        case '\n':
            Out += QStringLiteral("\\n");
            break;
        case '\r':
            Out += QStringLiteral("\\r");
            break;
        case '\t':
            Out += QStringLiteral("\\t");
            break;
        default:
            if (Ch.unicode() < 0x20)
                Out += QStringLiteral("\\u%1").arg(Ch.unicode(), 4, 16, QLatin1Char('0'));
            else
                Out += Ch;
        }
    }
    return Out + QLatin1Char('"');
}

namespace {

// The answer list is read once per distinct value of the variable, so a test that sets a new list
// starts at its first name, while one list is consumed in order across the whole process.
struct TAnswerScript
{
    QString Source;
    QStringList Names;
    qsizetype Next = 0;
};

TAnswerScript& AnswerScript()
{
    static TAnswerScript Script;
    return Script;
}

} // namespace

QString NextScriptedAnswer()
{
    TAnswerScript& Script = AnswerScript();
    const QString Source = qEnvironmentVariable("VX_MSGBOX_ANSWERS");
    if (Source != Script.Source) {
        Script.Source = Source;
        Script.Names.clear();
        for (const QString& Name : Source.split(QLatin1Char(','), Qt::SkipEmptyParts))
            Script.Names.append(Name.trimmed());
        Script.Next = 0;
    }
    if (Script.Next >= Script.Names.size())
        return {};
    return Script.Names.at(Script.Next++);
}

namespace {

int AnswerFromScript(const QString& LogFile, const QString& Text, const QString& Caption, unsigned Flags)
{
    const QList<int> Buttons = MessageBoxButtons(Flags);
    const int Default = MessageBoxDefaultButton(Flags);

    QStringList ButtonNames;
    for (const int Id : Buttons)
        ButtonNames.append(JsonString(MessageBoxButtonName(Id)));
    const QString Line = QStringLiteral("{\"caption\":%1,\"text\":%2,\"buttons\":[%3],\"icon\":%4,\"default\":%5}\n")
                             .arg(JsonString(Caption), JsonString(Text), ButtonNames.join(QLatin1Char(',')),
                                  JsonString(IconName(Flags)), JsonString(MessageBoxButtonName(Default)));
    AppendScriptedLog(Line);

    const int Answer = MessageBoxButtonId(NextScriptedAnswer());
    if (Answer != 0 && Buttons.contains(Answer))
        return Answer;
    return Default;
}

// The box's size is known only once it is about to be shown; the move happens then, before the
// window system ever draws it elsewhere.
class TPlacedMessageBox : public QMessageBox
{
public:
    using QMessageBox::QMessageBox;
    TMessageBoxPlacement Placement;

protected:
    void showEvent(QShowEvent* Event) override
    {
        QMessageBox::showEvent(Event);
        if (Event->spontaneous())
            return;
        switch (Placement.Kind) {
        case TMessageBoxPlacement::EKind::TopLeft:
            move(Placement.TopLeft);
            break;
        case TMessageBoxPlacement::EKind::CenterOver: {
            const QSize Size = frameGeometry().size();
            move(Placement.Over.left() + (Placement.Over.width() - Size.width()) / 2,
                 Placement.Over.top() + (Placement.Over.height() - Size.height()) / 2);
            break;
        }
        case TMessageBoxPlacement::EKind::Default:
            break;
        }
    }
};

} // namespace

QList<int> MessageBoxButtons(unsigned Flags)
{
    switch (Flags & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE:
        return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL:
        return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO:
        return {IDYES, IDNO};
    case MB_RETRYCANCEL:
        return {IDRETRY, IDCANCEL};
    default:
        return {IDOK};
    }
}

int MessageBoxDefaultButton(unsigned Flags)
{
    const QList<int> Buttons = MessageBoxButtons(Flags);
    const qsizetype Index = (Flags & MB_DEFMASK) >> 8;
    return Index < Buttons.size() ? Buttons.at(Index) : Buttons.first();
}

QString MessageBoxButtonName(int Id)
{
    if (Id < IDOK || Id > IDNO)
        return {};
    return QString::fromLatin1(ButtonInfo(Id).Name);
}

int MessageBoxButtonId(const QString& Name)
{
    for (int Id = IDOK; Id <= IDNO; ++Id) {
        if (Name.compare(QLatin1String(ButtonInfo(Id).Name), Qt::CaseInsensitive) == 0)
            return Id;
    }
    return 0;
}

void AppendScriptedLog(const QString& Line)
{
    const QString LogFile = qEnvironmentVariable("VX_MSGBOX_LOG");
    QFile File(LogFile);
    if (File.open(QIODevice::WriteOnly | QIODevice::Append))
        File.write(Line.toUtf8());
    else
        qWarning("Message box log %s cannot be written", qPrintable(LogFile));
}

bool MessageBoxIsScripted()
{
    return !qEnvironmentVariableIsEmpty("VX_MSGBOX_LOG");
}

void ResetMessageBoxAnswers()
{
    AnswerScript() = TAnswerScript{};
}

namespace {

std::function<void(const QString&)>& Watcher()
{
    static std::function<void(const QString&)> Instance;
    return Instance;
}

} // namespace

void SetMessageBoxWatcher(std::function<void(const QString& Text)> Watch)
{
    Watcher() = std::move(Watch);
}

int ShowMessageBox(QWidget* Owner, const QString& Text, const QString& Caption, unsigned Flags,
                   const TMessageBoxPlacement& Placement)
{
    if (Watcher())
        Watcher()(Text);
    if (MessageBoxIsScripted())
        return AnswerFromScript(qEnvironmentVariable("VX_MSGBOX_LOG"), Text, Caption, Flags);

    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        // A program without windows (a silent run) cannot ask; it takes the safe answer.
        qWarning("Message box without a window system: %s", qPrintable(Text));
        return MessageBoxDefaultButton(Flags);
    }

    const QPointer<QWidget> WasActive = QApplication::activeWindow();

    TPlacedMessageBox Box(Owner);
    Box.Placement = Placement;
    Box.setWindowTitle(Caption);
    Box.setTextFormat(Qt::PlainText);
    QString Shown = Text;
    Shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    Box.setText(Shown);
    Box.setIcon(QtIcon(Flags));
    Box.setWindowModality(Qt::ApplicationModal);
    if (Flags & MB_TOPMOST)
        Box.setWindowFlag(Qt::WindowStaysOnTopHint);

    const QList<int> Buttons = MessageBoxButtons(Flags);
    const int Default = MessageBoxDefaultButton(Flags);
    QHash<QAbstractButton*, int> Ids;
    for (const int Id : Buttons) {
        const TButtonInfo& Info = ButtonInfo(Id);
        QPushButton* Button = Box.addButton(QString::fromUtf8(Info.Caption), Info.Role);
        Button->setObjectName(QStringLiteral("btn") + QString::fromLatin1(Info.Name));
        Ids.insert(Button, Id);
        if (Id == Default)
            Box.setDefaultButton(Button);
    }
    // Escape and the close button mean Cancel where there is one, OK in a plain notice and No in a
    // Yes / No question; Abort / Retry / Ignore must be answered with a button.
    int EscapeId = 0;
    if (Buttons.contains(IDCANCEL))
        EscapeId = IDCANCEL;
    else if (Buttons.contains(IDNO))
        EscapeId = IDNO;
    else if (Buttons == QList<int>{IDOK})
        EscapeId = IDOK;
    if (EscapeId != 0)
        Box.setEscapeButton(Ids.key(EscapeId));
    else
        Box.setWindowFlag(Qt::WindowCloseButtonHint, false);

    Box.exec();
    // A box closed from outside (the application ending) counts as its safe answer.
    const int Result = Ids.value(Box.clickedButton(), EscapeId != 0 ? EscapeId : Default);

    if (WasActive) {
        WasActive->raise();
        WasActive->activateWindow();
    }
    return Result;
}
