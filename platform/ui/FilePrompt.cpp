#include "platform/ui/FilePrompt.h"

#include "platform/ui/MessageBox.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

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

std::optional<QString> AnswerFromScript(const TFilePrompt& Prompt)
{
    QJsonObject Line;
    Line.insert(QStringLiteral("kind"),
                Prompt.Kind == TFilePrompt::EKind::Folder ? QStringLiteral("folder") : QStringLiteral("open"));
    Line.insert(QStringLiteral("title"), Prompt.Title);
    Line.insert(QStringLiteral("folder"), Prompt.StartFolder);
    Line.insert(QStringLiteral("filter"), Prompt.Filters.join(QStringLiteral(";;")));
    QFile Log(qEnvironmentVariable("VX_MSGBOX_LOG"));
    if (Log.open(QIODevice::WriteOnly | QIODevice::Append))
        Log.write(QJsonDocument(Line).toJson(QJsonDocument::Compact) + '\n');
    std::optional<QString> Answer = NextAnswer();
    if (Answer && Prompt.Kind == TFilePrompt::EKind::Folder)
        Answer = QDir::cleanPath(*Answer);
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
    if (Dialog.exec() != QDialog::Accepted || Dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QString Chosen = Dialog.selectedFiles().constFirst();
    return Prompt.Kind == TFilePrompt::EKind::Folder ? QDir::cleanPath(Chosen) : Chosen;
}

void ResetFilePromptAnswers()
{
    Answers() = TPromptAnswers();
}
