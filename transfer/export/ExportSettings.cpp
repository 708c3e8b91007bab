#include "transfer/export/ExportSettings.h"

#include "main/settings/Settings.h"
#include "main/settings/SettingsSave.h"
#include "platform/ini/IniFile.h"

#include <algorithm>
#include <utility>

namespace {

const QString HistoryKey = QStringLiteral("RecvHisLayout");
const QString MeiboKey = QStringLiteral("AddMeiboLayout");

int ReadChoice(const TMemIniFile& Ini, const QString& Key, int Last)
{
    const int Value = Ini.ReadInteger(ExportSection, Key, 0);
    return Value >= 0 && Value <= Last ? Value : 0;
}

TExportLayout ReadLayout(const TMemIniFile& Ini, const QString& Key)
{
    TExportLayout Layout;
    for (int N = 1; N <= MaxExportEntries; ++N) {
        const auto Items = ParseLayoutKey(Ini.ReadString(ExportSection, Key + QString::number(N), {}));
        if (!Items)
            break;
        for (qsizetype I = 0; I < Items->size() && Layout.size() < MaxExportEntries; ++I)
            Layout << TExportLayoutEntry{I == 0 ? N : 0, Items->at(I)};
    }
    RenumberColumns(Layout);
    return Layout;
}

void WriteLayout(TMemIniFile& Ini, const QString& Key, const TExportLayout& Layout)
{
    for (int N = 1; N <= MaxExportEntries; ++N)
        Ini.DeleteKey(ExportSection, Key + QString::number(N));
    QStringList Column;
    int N = 0;
    const auto Flush = [&] {
        if (!Column.isEmpty())
            Ini.WriteString(ExportSection, Key + QString::number(N), Column.join(QLatin1Char(',')));
        Column.clear();
    };
    for (const TExportLayoutEntry& Entry : Layout) {
        if (Entry.ColumnNo > 0 || Column.isEmpty()) {
            Flush();
            ++N;
        }
        Column << QString::number(Entry.ItemIndex);
    }
    Flush();
}

} // namespace

std::optional<QList<int>> ParseLayoutKey(const QString& Value)
{
    if (Value.isEmpty())
        return std::nullopt;
    QList<int> Items;
    for (const QString& Part : Value.split(QLatin1Char(','))) {
        if (Part.isEmpty() || Part.size() > 3)
            return std::nullopt;
        for (QChar C : Part)
            if (C < u'0' || C > u'9')
                return std::nullopt;
        Items << Part.toInt();
    }
    return Items;
}

void ReadExportSettings(const TMemIniFile& Ini, TExportState& State)
{
    TExportSettings& S = State.Settings;
    S.Source = ReadChoice(Ini, QStringLiteral("Source"), 1);
    S.Range = ReadChoice(Ini, QStringLiteral("Range"), 2);
    S.Type = ReadChoice(Ini, QStringLiteral("type"), 1);
    S.OutHeader = Ini.ReadBool(ExportSection, QStringLiteral("OutHeader"), true);
    S.BindDblQuote = Ini.ReadBool(ExportSection, QStringLiteral("BindDblQuote"), false);
    S.EditTelHyphen = Ini.ReadBool(ExportSection, QStringLiteral("EditTelHyphen"), true);
    S.EditPosHyphen = Ini.ReadBool(ExportSection, QStringLiteral("EditPosHyphen"), true);
    S.EditDate = Ini.ReadBool(ExportSection, QStringLiteral("EditDate"), false);
    S.EditTime = Ini.ReadBool(ExportSection, QStringLiteral("EditTime"), false);
    State.History = ReadLayout(Ini, HistoryKey);
    State.Meibo = ReadLayout(Ini, MeiboKey);
}

void WriteExportSettings(TMemIniFile& Ini, const TExportState& State)
{
    const TExportSettings& S = State.Settings;
    Ini.WriteInteger(ExportSection, QStringLiteral("Source"), S.Source);
    Ini.WriteInteger(ExportSection, QStringLiteral("Range"), S.Range);
    Ini.WriteInteger(ExportSection, QStringLiteral("Type"), S.Type);
    Ini.WriteBool(ExportSection, QStringLiteral("OutHeader"), S.OutHeader);
    Ini.WriteBool(ExportSection, QStringLiteral("BindDblQuote"), S.BindDblQuote);
    Ini.WriteBool(ExportSection, QStringLiteral("EditTelHyphen"), S.EditTelHyphen);
    Ini.WriteBool(ExportSection, QStringLiteral("EditPosHyphen"), S.EditPosHyphen);
    Ini.WriteBool(ExportSection, QStringLiteral("EditDate"), S.EditDate);
    Ini.WriteBool(ExportSection, QStringLiteral("EditTime"), S.EditTime);
    WriteLayout(Ini, HistoryKey, State.History);
    WriteLayout(Ini, MeiboKey, State.Meibo);
}

void LoadExportSettings(TExportState& State)
{
    const TMemIniFile Ini(SettingsFileName());
    ReadExportSettings(Ini, State);
    ExportSettings() = State.Settings;
}

bool SaveExportSettings(const TExportState& State)
{
    ExportSettings() = State.Settings;
    return SaveSettingsFile(TSettingsSave::Kept, [&State](TMemIniFile& Ini) { WriteExportSettings(Ini, State); });
}

void RenumberColumns(TExportLayout& Layout)
{
    int Column = 0;
    for (qsizetype I = 0; I < Layout.size(); ++I)
        if (I == 0 || Layout[I].ColumnNo > 0)
            Layout[I].ColumnNo = ++Column;
}

int TLayoutEditor::Set(int Row, int Item)
{
    if (Full())
        return -1;
    const int At = std::clamp(Row, 0, static_cast<int>(FLayout.size()));
    FLayout.insert(At, TExportLayoutEntry{1, Item});
    RenumberColumns(FLayout);
    return At + 1;
}

int TLayoutEditor::Add(int Row, int Item)
{
    if (Full())
        return -1;
    const int At = Row >= FLayout.size() || Row < 0 ? static_cast<int>(FLayout.size()) : Row + 1;
    FLayout.insert(At, TExportLayoutEntry{0, Item});
    RenumberColumns(FLayout);
    return At;
}

int TLayoutEditor::SetAll()
{
    FLayout.clear();
    for (int I = 0; I < ExportItemCount; ++I)
        FLayout << TExportLayoutEntry{I + 1, I};
    return 0;
}

int TLayoutEditor::Delete(int Row)
{
    if (FLayout.isEmpty())
        return 0;
    const int At = Row < 0 || Row >= FLayout.size() ? static_cast<int>(FLayout.size()) - 1 : Row;
    // The entry after a column's first one takes the column over.
    if (FLayout[At].ColumnNo > 0 && At + 1 < FLayout.size())
        FLayout[At + 1].ColumnNo = std::max(FLayout[At + 1].ColumnNo, 1);
    FLayout.removeAt(At);
    RenumberColumns(FLayout);
    return std::min(At, static_cast<int>(FLayout.size()));
}

int TLayoutEditor::DeleteAll()
{
    FLayout.clear();
    return 0;
}

bool TLayoutEditor::CanUp(int Row) const
{
    return Row > 0 && Row < FLayout.size() && !(Row == 1 && FLayout[1].ColumnNo == 0);
}

bool TLayoutEditor::CanDown(int Row) const
{
    return Row >= 0 && Row + 1 < FLayout.size();
}

int TLayoutEditor::Up(int Row)
{
    if (Row == FLayout.size() && Row > 0)
        return Row - 1;
    if (!CanUp(Row))
        return Row;
    std::swap(FLayout[Row], FLayout[Row - 1]);
    RenumberColumns(FLayout);
    return Row - 1;
}

int TLayoutEditor::Down(int Row)
{
    if (Row < 0 || Row >= FLayout.size())
        return Row;
    if (Row + 1 == FLayout.size())
        return Row + 1;
    std::swap(FLayout[Row], FLayout[Row + 1]);
    RenumberColumns(FLayout);
    return Row + 1;
}
