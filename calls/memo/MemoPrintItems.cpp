#include "calls/memo/MemoPrintItems.h"

#include "platform/ini/IniFile.h"

#include <algorithm>
#include <optional>

TMemoPrintSettings MemoPrintSettings;

const TMemoItemRow MemoItemTable[MemoItemCount] = {
    {"0", "区分", "0"},        {"1", "前回着信日付", "0"}, {"2", "前回着信日時", "0"},    {"3", "着信日付", "1"},
    {"4", "着信日時", "1"},    {"5", "電話番号１", "1"},   {"6", "電話番号２", "0"},      {"7", "郵便番号", "1"},
    {"8", "住所", "1"},        {"9", "住所コード", "0"},   {"10", "会社名カナ", "1"},     {"11", "会社名漢字", "1"},
    {"12", "名前カナ", "1"},   {"13", "名前漢字", "1"},    {"14", "個人法人区分", "0"},   {"15", "登録メモ１", "0"},
    {"16", "登録メモ２", "0"}, {"17", "登録メモ３", "0"},  {"18", "メールアドレス", "0"}, {"19", "ランク", "0"},
    {"20", "内容", "0"},       {"21", "メモ", "0"},        {"22", "受付", "0"},           {"23", "外部ファイル", "0"},
    {"24", "備考", "0"},
};
const TMemoItemRow MemoItemTableFb[MemoItemCount] = {
    {"0", "区分", "0"},        {"1", "前回着信日付", "0"}, {"2", "前回着信日時", "0"},    {"3", "着信日付", "1"},
    {"4", "着信日時", "1"},    {"5", "着信電話番号", "1"}, {"6", "他の電話番号", "0"},    {"7", "郵便番号", "1"},
    {"8", "住所", "1"},        {"9", "住所コード", "0"},   {"10", "会社名カナ", "1"},     {"11", "会社名漢字", "1"},
    {"12", "名前カナ", "1"},   {"13", "名前漢字", "1"},    {"14", "個人法人区分", "0"},   {"15", "登録メモ１", "0"},
    {"16", "登録メモ２", "0"}, {"17", "登録メモ３", "0"},  {"18", "メールアドレス", "0"}, {"19", "ランク", "0"},
    {"20", "内容", "0"},       {"21", "メモ", "0"},        {"22", "受付", "0"},           {"23", "外部ファイル", "0"},
    {"24", "備考", "0"},
};

namespace {

const QString Section = QStringLiteral("MEMO PRINT");

QString Key(const char* Name, bool Fb)
{
    return QString::fromLatin1(Name) + (Fb ? QStringLiteral("Fb") : QString());
}

// The stored order when it names each item exactly once, else none.
std::optional<QList<int>> ParseOrder(const QString& Text)
{
    const QStringList Parts = Text.split(QLatin1Char(','));
    if (Parts.size() != MemoItemCount)
        return std::nullopt;
    QList<int> Order;
    QList<bool> Seen(MemoItemCount, false);
    for (const QString& Part : Parts) {
        bool Ok = false;
        const int No = Part.trimmed().toInt(&Ok);
        if (!Ok || No < 0 || No >= MemoItemCount || Seen[No])
            return std::nullopt;
        Seen[No] = true;
        Order.append(No);
    }
    return Order;
}

std::optional<QList<bool>> ParseFlags(const QString& Text)
{
    const QStringList Parts = Text.split(QLatin1Char(','));
    if (Parts.size() != MemoItemCount)
        return std::nullopt;
    QList<bool> Flags;
    for (const QString& Part : Parts) {
        const QString Flag = Part.trimmed();
        if (Flag != QLatin1String("1") && Flag != QLatin1String("0"))
            return std::nullopt;
        Flags.append(Flag == QLatin1String("1"));
    }
    return Flags;
}

} // namespace

const TMemoItemRow* MemoItemRows(bool Fb)
{
    return Fb ? MemoItemTableFb : MemoItemTable;
}

QList<TMemoPrintItem> ReadMemoPrintItems(const TMemIniFile& Ini, bool Fb)
{
    const TMemoItemRow* Rows = MemoItemRows(Fb);
    QList<int> Order;
    QList<bool> Flags;
    for (int Row = 0; Row < MemoItemCount; ++Row) {
        Order.append(QString::fromLatin1(Rows[Row].ItemNo).toInt());
        Flags.append(QLatin1String(Rows[Row].Export) == QLatin1String("1"));
    }
    if (const auto Stored = ParseOrder(Ini.ReadString(Section, Key("ExportItemIndex", Fb), QString())))
        Order = *Stored;
    if (const auto Stored = ParseFlags(Ini.ReadString(Section, Key("ExportItemExport", Fb), QString())))
        Flags = *Stored;

    QList<TMemoPrintItem> Items;
    for (int I = 0; I < MemoItemCount; ++I) {
        TMemoPrintItem Item;
        Item.ItemNo = Order[I];
        for (int Row = 0; Row < MemoItemCount; ++Row) {
            if (QString::fromLatin1(Rows[Row].ItemNo).toInt() == Item.ItemNo) {
                Item.TableRow = Row;
                break;
            }
        }
        Item.Chosen = Flags[I];
        Items.append(Item);
    }
    return Items;
}

TMemoPrintSettings ReadMemoPrintSettings(const TMemIniFile& Ini)
{
    TMemoPrintSettings Memo;
    const QString Name = Ini.ReadString(Section, QStringLiteral("FontName"), QString());
    if (!Name.isEmpty())
        Memo.FontName = Name;
    const unsigned Size = static_cast<unsigned>(Ini.ReadInteger(Section, QStringLiteral("FontSize"), 2));
    Memo.FontSize = MemoFontSizes[Size > 23 ? 2 : Size];
    const unsigned Style = static_cast<unsigned>(Ini.ReadInteger(Section, QStringLiteral("FontStyle"), 0));
    Memo.FontStyle = Style > 3 ? 0 : static_cast<int>(Style);
    const int Charset = Ini.ReadInteger(Section, QStringLiteral("FontCharset"), 128);
    Memo.FontCharset = Charset == 0 || Charset == 128 ? Charset : 128;
    Memo.TabIndex = Ini.ReadInteger(Section, QStringLiteral("TabIndex"), 0);
    Memo.PrintMsg = Ini.ReadBool(Section, QStringLiteral("PrintMsg"), true);
    return Memo;
}

void WriteMemoPrintSection(TMemIniFile& Ini, const QList<TMemoPrintItem>& Items, bool Fb,
                           const TMemoPrintSettings& Memo)
{
    QStringList Order;
    QStringList Flags;
    for (const TMemoPrintItem& Item : Items) {
        Order.append(QString::number(Item.ItemNo));
        Flags.append(Item.Chosen ? QStringLiteral("1") : QStringLiteral("0"));
    }
    Ini.WriteString(Section, Key("ExportItemIndex", Fb), Order.join(QLatin1Char(',')));
    Ini.WriteString(Section, Key("ExportItemExport", Fb), Flags.join(QLatin1Char(',')));
    Ini.WriteString(Section, QStringLiteral("FontName"), Memo.FontName.trimmed());
    const int* Size = std::find(std::begin(MemoFontSizes), std::end(MemoFontSizes), Memo.FontSize);
    if (Size != std::end(MemoFontSizes))
        Ini.WriteInteger(Section, QStringLiteral("FontSize"), static_cast<int>(Size - std::begin(MemoFontSizes)));
    Ini.WriteInteger(Section, QStringLiteral("FontStyle"), Memo.FontStyle);
    Ini.WriteInteger(Section, QStringLiteral("FontCharset"), Memo.FontCharset);
    Ini.WriteInteger(Section, QStringLiteral("TabIndex"), Memo.TabIndex);
    Ini.WriteBool(Section, QStringLiteral("PrintMsg"), Memo.PrintMsg);
}

QString MemoItemCaption(int TableRow, bool Fb, const QStringList& SelectItemNames)
{
    const int Select = TableRow - MemoSelectItemRow;
    if (Select >= 0 && Select < 3 && Select < SelectItemNames.size())
        return SelectItemNames.at(Select);
    return QString::fromUtf8(MemoItemRows(Fb)[std::clamp(TableRow, 0, MemoItemCount - 1)].Label);
}

QString MemoCopyText(const QList<TMemoPrintItem>& Items, const TMemoValues& Values)
{
    QStringList Chosen;
    for (const TMemoPrintItem& Item : Items) {
        if (!Item.Chosen)
            continue;
        if (Item.TableRow == MemoFilesRow)
            Chosen.append(Values.Files.join(QLatin1Char('\t')));
        else if (Item.TableRow == MemoNoteRow)
            Chosen.append(Values.NoteLines.join(QLatin1Char('\t')));
        else
            Chosen.append(Values.Texts.value(Item.TableRow));
    }
    return Chosen.join(QLatin1Char(','));
}

QList<TMemoLine> MemoPrintLines(const QList<TMemoPrintItem>& Items, const TMemoValues& Values, bool Fb,
                                const QStringList& SelectItemNames)
{
    QList<TMemoLine> Lines;
    for (const TMemoPrintItem& Item : Items) {
        if (!Item.Chosen)
            continue;
        const QString Caption =
            QLatin1Char('[') + MemoItemCaption(Item.TableRow, Fb, SelectItemNames) + QLatin1Char(']');
        QStringList Parts;
        if (Item.TableRow == MemoFilesRow)
            Parts = Values.Files;
        else if (Item.TableRow == MemoNoteRow)
            Parts = Values.NoteLines;
        else
            Parts = {Values.Texts.value(Item.TableRow)};
        if (Parts.isEmpty())
            Parts = {QString()};
        for (qsizetype I = 0; I < Parts.size(); ++I)
            Lines.append({I == 0 ? Caption : QString(), Parts.at(I)});
    }
    return Lines;
}

QStringList MemoChosenLabels(const QList<TMemoPrintItem>& Items, bool Fb)
{
    QStringList Labels;
    for (const TMemoPrintItem& Item : Items) {
        if (Item.Chosen)
            Labels.append(QString::fromUtf8(MemoItemRows(Fb)[Item.TableRow].Label));
    }
    return Labels;
}

int MemoLinesPerPage(int PageHeight, int Pitch, int LineHeight)
{
    if (Pitch <= 0)
        return 1;
    return std::max(1, (PageHeight - LineHeight) / Pitch + 1);
}
