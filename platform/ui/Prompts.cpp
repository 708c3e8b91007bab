#include "platform/ui/Prompts.h"

#include "platform/print/Printing.h"
#include "platform/ui/MessageBox.h"

#include <QColorDialog>

namespace {

// "すべてのファイル (*.*)|*.*" as the file dialog names its filters: "すべてのファイル (*)".
QStringList QtFilters(const QString& Filter)
{
    const QStringList Parts = Filter.split(QLatin1Char('|'));
    QStringList Filters;
    for (qsizetype I = 0; I + 1 < Parts.size(); I += 2) {
        QString Caption = Parts.at(I).trimmed();
        // The caption may show its pattern already; the dialog reads the pattern from the last brackets.
        if (Caption.endsWith(QLatin1Char(')')) && Caption.lastIndexOf(QLatin1Char('(')) > 0)
            Caption = Caption.left(Caption.lastIndexOf(QLatin1Char('('))).trimmed();
        QString Pattern = Parts.at(I + 1);
        // "*.*" names every file, those without a dot too.
        Pattern.replace(QStringLiteral("*.*"), QStringLiteral("*"));
        Filters << Caption + QStringLiteral(" (") + Pattern.replace(QLatin1Char(';'), QLatin1Char(' ')) +
                       QLatin1Char(')');
    }
    return Filters;
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

QString PromptOpenFile(QWidget* Owner, const TOpenFilePrompt& Prompt)
{
    TFilePrompt File;
    File.Kind = TFilePrompt::EKind::OpenFile;
    File.Title = Prompt.Title;
    File.StartFolder = Prompt.InitialFolder;
    File.Filters = QtFilters(Prompt.Filter);
    return RunFilePrompt(Owner, File).value_or(QString());
}

std::optional<QColor> PromptColor(QWidget* Owner, const QColor& Initial, QList<QColor>& Custom, bool AtOwnerCorner)
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
    if (AtOwnerCorner)
        PlaceAtOwnerCorner(&Dialog, Owner);
    if (Dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    for (int I = 0; I < Custom.size() && I < QColorDialog::customCount(); ++I)
        Custom[I] = QColorDialog::customColor(I);
    return Dialog.selectedColor();
}
