#include "platform/ui/FilePrompt.h"

#include "platform/ui/MessageBox.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QScreen>

namespace {

// Read once per distinct value of the variable, then consumed in order by the whole process.
struct TPromptAnswers
{
    QString Source;
    QStringList Paths;
    qsizetype Next = 0;
};

TPromptAnswers& Answers()
{
    static TPromptAnswers Instance;
    return Instance;
}

std::optional<QString> NextAnswer()
{
    TPromptAnswers& Script = Answers();
    const QString Source = qEnvironmentVariable("VX_FILEDIALOG_ANSWERS");
    if (Source != Script.Source) {
        Script.Source = Source;
        Script.Paths.clear();
        for (const QString& Path : Source.split(QLatin1Char(','), Qt::SkipEmptyParts))
            Script.Paths.append(Path.trimmed());
        Script.Next = 0;
    }
    if (Script.Next >= Script.Paths.size())
        return std::nullopt;
    const QString Answer = Script.Paths.at(Script.Next++);
    if (Answer.compare(QStringLiteral("cancel"), Qt::CaseInsensitive) == 0)
        return std::nullopt;
    return Answer;
}

QString KindName(TFilePrompt::EKind Kind)
{
    switch (Kind) {
    case TFilePrompt::EKind::Folder:
        return QStringLiteral("folder");
    case TFilePrompt::EKind::SaveFile:
        return QStringLiteral("save");
    case TFilePrompt::EKind::OpenFile:
        break;
    }
    return QStringLiteral("open");
}

std::optional<QString> AnswerFromScript(const TFilePrompt& Prompt)
{
    QJsonObject Line;
    const QString Kind = KindName(Prompt.Kind);
    // "prompt" sets the line apart from the message boxes logged beside it.
    Line.insert(QStringLiteral("prompt"), Kind);
    Line.insert(QStringLiteral("kind"), Kind);
    Line.insert(QStringLiteral("title"), Prompt.Title);
    Line.insert(QStringLiteral("folder"), Prompt.StartFolder);
    if (!Prompt.SelectFile.isEmpty())
        Line.insert(QStringLiteral("file"), Prompt.SelectFile);
    Line.insert(QStringLiteral("filter"), Prompt.Filters.join(QStringLiteral(";;")));
    QFile Log(qEnvironmentVariable("VX_MSGBOX_LOG"));
    if (Log.open(QIODevice::WriteOnly | QIODevice::Append))
        Log.write(QJsonDocument(Line).toJson(QJsonDocument::Compact) + '\n');
    std::optional<QString> Answer = NextAnswer();
    if (Answer && Prompt.Kind == TFilePrompt::EKind::Folder)
        Answer = QDir::cleanPath(*Answer);
    if (Answer && Prompt.Kind == TFilePrompt::EKind::SaveFile) {
        int Filter = 1;
        const qsizetype Bar = Answer->lastIndexOf(QLatin1Char('|'));
        if (Bar >= 0) {
            Filter = std::max(1, Answer->mid(Bar + 1).toInt());
            Answer = Answer->left(Bar);
        }
        if (Prompt.ChosenFilter)
            *Prompt.ChosenFilter = Filter;
    }
    return Answer;
}

} // namespace

std::optional<QString> RunFilePrompt(QWidget* Owner, const TFilePrompt& Prompt)
{
    if (MessageBoxIsScripted())
        return AnswerFromScript(Prompt);

    // Qt's own dialog on every desktop: it speaks the program's language, can be told not to make
    // folders, and tests can drive it.
    QFileDialog Dialog(Owner, Prompt.Title, Prompt.StartFolder);
    if (!Prompt.ObjectName.isEmpty())
        Dialog.setObjectName(Prompt.ObjectName);
    QFileDialog::Options Options = QFileDialog::DontUseNativeDialog;
    if (Prompt.Kind == TFilePrompt::EKind::Folder) {
        Dialog.setFileMode(QFileDialog::Directory);
        Options |= QFileDialog::ShowDirsOnly;
    } else if (Prompt.Kind == TFilePrompt::EKind::SaveFile) {
        Dialog.setAcceptMode(QFileDialog::AcceptSave);
        Dialog.setFileMode(QFileDialog::AnyFile);
        // The caller asks about an existing file itself: overwrite or append.
        Options |= QFileDialog::DontConfirmOverwrite;
    } else {
        Dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (!Prompt.AllowNewFolder)
        Options |= QFileDialog::ReadOnly;
    Dialog.setOptions(Options);
    if (!Prompt.Filters.isEmpty())
        Dialog.setNameFilters(Prompt.Filters);
    if (!Prompt.SelectFile.isEmpty())
        Dialog.selectFile(Prompt.SelectFile);
    if (Prompt.Place)
        Prompt.Place(Dialog);
    std::optional<QString> Chosen;
    while (!Chosen) {
        if (Dialog.exec() != QDialog::Accepted || Dialog.selectedFiles().isEmpty())
            return std::nullopt;
        Chosen = Dialog.selectedFiles().constFirst();
        const QFileInfo Info(*Chosen);
        // A file that cannot be written is not a place to save to: the dialog stays.
        if (Prompt.Kind == TFilePrompt::EKind::SaveFile && Info.exists() && !Info.isWritable())
            Chosen.reset();
    }
    if (Prompt.ChosenFilter)
        *Prompt.ChosenFilter = std::max(1, int(Prompt.Filters.indexOf(Dialog.selectedNameFilter())) + 1);
    return Prompt.Kind == TFilePrompt::EKind::Folder ? QDir::cleanPath(*Chosen) : *Chosen;
}

void PlaceBelowTopLeft(QWidget& Dialog, const QWidget& Owner)
{
    Dialog.adjustSize();
    const QRect Work = Owner.screen()->availableGeometry();
    QPoint At = Owner.frameGeometry().topLeft() + QPoint(15, 15);
    At.setX(std::max(Work.left(), std::min(At.x(), Work.right() - Dialog.width())));
    At.setY(std::max(Work.top(), std::min(At.y(), Work.bottom() - Dialog.height())));
    Dialog.move(At);
}

void ResetFilePromptAnswers()
{
    Answers() = TPromptAnswers();
}
