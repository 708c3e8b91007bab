#include "transfer/print/PrintTemplates.h"

#include "platform/ini/IniFile.h"
#include "platform/text/Cp932.h"

#include <QFile>
#include <algorithm>

namespace {

const QString ItemNoKey = QStringLiteral("ItemNo");
const QString ItemSizeKey = QStringLiteral("ItemSize");

bool SameSection(const QString& A, const QString& B)
{
    return A.compare(B, Qt::CaseInsensitive) == 0;
}

// A section name the file reads back as the same section.
bool FitsSection(const QString& Name)
{
    return !Name.contains(QLatin1Char('[')) && !Name.contains(QLatin1Char(']')) && !Name.startsWith(QLatin1Char(';')) &&
           !Name.contains(QLatin1Char('\n')) && !Name.contains(QLatin1Char('\r'));
}

TTemplateResult Refusal(const QString& Message)
{
    return {TTemplateAnswer::Refused, Message, -1};
}

} // namespace

QString TemplateDeleteQuestion(const QString& Name)
{
    return QStringLiteral("「") + Name + QStringLiteral("」\r\n\r\nこのテンプレートを削除してもよろしいですか？  ");
}

QStringList TTemplateList::Names() const
{
    QStringList Result;
    for (const TLayoutTemplate& Each : Items)
        Result << Each.Name;
    return Result;
}

int TTemplateList::IndexOf(const QString& Name) const
{
    for (int I = 0; I < Items.size(); ++I)
        if (Items[I].Name == Name)
            return I;
    return -1;
}

TTemplateList LoadTemplateFile(const QString& FileName, int ItemCount)
{
    TTemplateList List;
    if (!QFile::exists(FileName))
        return List;
    const TMemIniFile Ini(FileName);
    QStringList Seen;
    for (const QString& Section : Ini.ReadSections()) {
        // A second section of the same name (in any case) reads the first one's keys: leave it out.
        if (std::any_of(Seen.cbegin(), Seen.cend(), [&](const QString& S) { return SameSection(S, Section); }))
            continue;
        Seen << Section;
        // A carriage return inside the brackets is no line break to the reader, but the name could
        // never be written back: one such section would keep every template from being saved.
        if (HoldsLineBreak(Section))
            continue;
        const TLayoutText Text{Ini.ReadString(Section, ItemNoKey, QString()),
                               Ini.ReadString(Section, ItemSizeKey, QString())};
        if (Text.ItemNo.isEmpty() || Text.ItemSize.isEmpty())
            continue;
        if (CountCommas(Text.ItemNo) != CountCommas(Text.ItemSize) || CountCommas(Text.ItemNo) >= MaxLayoutEntries)
            continue;
        if (List.Items.size() >= MaxTemplates)
            break;
        // A template left without entries would be written back as empty keys and lost on the next
        // load; it is left out now, as a template of nothing to print.
        const auto Layout = LayoutFromText(Text);
        const TLayout Clean = Layout ? CleanLayout(*Layout, ItemCount) : TLayout{};
        if (!Clean.isEmpty())
            List.Items.append({Section, Clean});
    }
    return List;
}

void AddLastLayoutTemplate(TTemplateList& List, const TLayout& Layout)
{
    if (List.HasLastLayout)
        List.Items.removeFirst();
    List.HasLastLayout = false;
    if (!Layout.isEmpty()) {
        List.Items.prepend({LastLayoutName, Layout});
        List.HasLastLayout = true;
    }
}

bool SaveTemplateFile(const QString& FileName, const TTemplateList& List)
{
    TMemIniFile Ini(FileName, TFileAccess::OwnerOnly);
    Ini.FromBytes({});
    Ini.SetEncoding(TTextEncoding::Cp932);
    Ini.SetLineBreak(QByteArrayLiteral("\r\n"));
    for (int I = List.HasLastLayout ? 1 : 0; I < List.Items.size(); ++I) {
        const TLayoutText Text = LayoutToText(List.Items[I].Layout);
        Ini.WriteString(List.Items[I].Name, ItemNoKey, Text.ItemNo);
        Ini.WriteString(List.Items[I].Name, ItemSizeKey, Text.ItemSize);
    }
    return Ini.UpdateFile();
}

TTemplateResult SaveTemplate(TTemplateList& List, const QString& Name, int Selected, const TLayout& Layout)
{
    const QString Trimmed = Name.trimmed();
    if (Trimmed.isEmpty())
        return Refusal(TemplateNameMissing);
    if (SameSection(Trimmed, LastLayoutName))
        return Refusal(TemplateNameReserved);
    if (!FitsSection(Trimmed))
        return Refusal(TemplateNameUnfit);
    // The file is CP932 text: a name it cannot hold would turn the whole file into another encoding.
    if (Cp932EncodeChecked(Trimmed).Substituted > 0)
        return Refusal(TemplateNameNotCp932);
    for (int I = List.HasLastLayout ? 1 : 0; I < List.Items.size(); ++I) {
        if (!SameSection(List.Items[I].Name, Trimmed))
            continue;
        if (I != Selected)
            return Refusal(TemplateNameTaken);
        List.Items[I] = {Trimmed, Layout};
        return {TTemplateAnswer::Replaced, {}, I};
    }
    if (!List.CanSave())
        return Refusal(QString());
    List.Items.append({Trimmed, Layout});
    return {TTemplateAnswer::Saved, {}, static_cast<int>(List.Items.size()) - 1};
}

TTemplateResult FindTemplateToDelete(const TTemplateList& List, const QString& Name)
{
    const QString Trimmed = Name.trimmed();
    if (Trimmed == LastLayoutName)
        return Refusal(TemplateDeleteReserved);
    const int Index = List.IndexOf(Trimmed);
    if (Index < 0 || (List.HasLastLayout && Index == 0))
        return Refusal(TemplateNotFound);
    return {TTemplateAnswer::NeedsYes, TemplateDeleteQuestion(Trimmed), Index};
}
