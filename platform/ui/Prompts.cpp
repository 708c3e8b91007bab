#include "platform/ui/Prompts.h"

#include "platform/ui/MessageBox.h"

#include <QColorDialog>
#include <QFileDialog>

namespace {

struct TPathScript
{
    QString Source;
    QStringList Paths;
    qsizetype Next = 0;
};

TPathScript& PathScript()
{
    static TPathScript Script;
    return Script;
}

QString NextScriptedPath()
{
    TPathScript& Script = PathScript();
    const QString Source = qEnvironmentVariable("VX_FILEDIALOG_ANSWERS");
    if (Source != Script.Source) {
        Script = TPathScript{Source, Source.split(QLatin1Char(','), Qt::SkipEmptyParts), 0};
        for (QString& Path : Script.Paths)
            Path = Path.trimmed();
    }
    if (Script.Next >= Script.Paths.size())
        return {};
    return Script.Paths.at(Script.Next++);
}

// "すべてのファイル (*.*)|*.*" as the file dialog writes its name filters.
QString QtFilter(const QString& Filter)
{
    const QStringList Parts = Filter.split(QLatin1Char('|'));
    QStringList Filters;
    for (qsizetype I = 0; I + 1 < Parts.size(); I += 2) {
        QString Pattern = Parts.at(I + 1);
        // "*.*" names every file, those without a dot too.
        Pattern.replace(QStringLiteral("*.*"), QStringLiteral("*"));
        Filters << Parts.at(I) + QStringLiteral(" [") + Pattern.replace(QLatin1Char(';'), QLatin1Char(' ')) +
                       QStringLiteral("]");
    }
    return Filters.join(QStringLiteral(";;"));
}

} // namespace

std::optional<QColor> ColorFromDollarText(const QString& Text)
{
    const QString T = Text.trimmed();
    if (T.size() != 7 || !T.startsWith(QLatin1Char('$')))
        return std::nullopt;
    bool Ok = false;
    const unsigned Value = T.mid(1).toUInt(&Ok, 16);
    if (!Ok)
        return std::nullopt;
    return QColor(int(Value & 0xFF), int((Value >> 8) & 0xFF), int((Value >> 16) & 0xFF));
}

QString DollarTextOfColor(const QColor& Color)
{
    const unsigned Value = unsigned(Color.red()) | (unsigned(Color.green()) << 8) | (unsigned(Color.blue()) << 16);
    return QStringLiteral("$%1").arg(Value, 6, 16, QLatin1Char('0')).toUpper();
}

void ResetFilePromptAnswers()
{
    PathScript() = TPathScript{};
}

QString PromptOpenFile(QWidget* Owner, const TOpenFilePrompt& Prompt)
{
    if (MessageBoxIsScripted()) {
        AppendScriptedLog(
            QStringLiteral("{\"prompt\":\"open-file\",\"title\":%1,\"filter\":%2,\"folder\":%3}\n")
                .arg(JsonString(Prompt.Title), JsonString(Prompt.Filter), JsonString(Prompt.InitialFolder)));
        const QString Answer = NextScriptedPath();
        return Answer.compare(QStringLiteral("cancel"), Qt::CaseInsensitive) == 0 ? QString() : Answer;
    }
    QFileDialog Dialog(Owner, Prompt.Title, Prompt.InitialFolder, QtFilter(Prompt.Filter));
    Dialog.setFileMode(Prompt.FileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    Dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // Qt's own dialog: it speaks the program's language, where a desktop's dialog may not.
    Dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    if (Dialog.exec() != QDialog::Accepted || Dialog.selectedFiles().isEmpty())
        return {};
    return Dialog.selectedFiles().constFirst();
}

std::optional<QColor> PromptColor(QWidget* Owner, const QColor& Initial, QList<QColor>& Custom)
{
    if (MessageBoxIsScripted()) {
        AppendScriptedLog(
            QStringLiteral("{\"prompt\":\"colour\",\"initial\":%1}\n").arg(JsonString(DollarTextOfColor(Initial))));
        return ColorFromDollarText(NextScriptedAnswer());
    }
    for (int I = 0; I < Custom.size() && I < QColorDialog::customCount(); ++I)
        QColorDialog::setCustomColor(I, Custom.at(I));
    QColorDialog Dialog(Initial, Owner);
    Dialog.setOption(QColorDialog::DontUseNativeDialog, true);
    if (Dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    for (int I = 0; I < Custom.size() && I < QColorDialog::customCount(); ++I)
        Custom[I] = QColorDialog::customColor(I);
    return Dialog.selectedColor();
}
