#include "transfer/print/PrintItems.h"

#include "main/common/CommonText.h"
#include "main/settings/Settings.h"
#include "platform/text/Cp932.h"

#include <QSet>

namespace {

QList<PrintItem> HistoryItems(const QString& Select1, const QString& Select2, const QString& Select3)
{
    return {
        {QStringLiteral("＜空白＞"), 2},
        {QStringLiteral("＜通番＞"), 5},
        {QStringLiteral("着信日付"), 10},
        {QStringLiteral("着信時刻"), 8},
        {QStringLiteral("電話番号"), 13},
        {QStringLiteral("会社名カナ"), 30},
        {QStringLiteral("会社名漢字"), 50},
        {QStringLiteral("名前カナ"), 14},
        {QStringLiteral("名前漢字"), 14},
        {QStringLiteral("区分"), 4},
        {QStringLiteral("ランク"), 10},
        {Select1, 10},
        {Select2, 10},
        {Select3, 10},
        // Half-width parentheses up to the names, full-width ones after, as the list has always shown.
        {QStringLiteral("郵便番号(名簿)"), 8},
        {QStringLiteral("住所(名簿)"), 50},
        {QStringLiteral("住所コード(名簿)"), 5},
        {QStringLiteral("会社名カナ(名簿)"), 30},
        {QStringLiteral("会社名漢字(名簿)"), 50},
        {QStringLiteral("名前カナ(名簿)"), 14},
        {QStringLiteral("名前漢字(名簿)"), 14},
        {QStringLiteral("登録メモ１（名簿）"), 30},
        {QStringLiteral("登録メモ２（名簿）"), 30},
        {QStringLiteral("登録メモ３（名簿）"), 30},
        {QStringLiteral("メールアドレス（名簿）"), 30},
        {QStringLiteral("備考（名簿）"), 60},
    };
}

QList<PrintItem> DirectoryItems()
{
    return {
        {QStringLiteral("＜空白＞"), 2},
        {QStringLiteral("＜通番＞"), 5},
        {QStringLiteral("電話番号１"), 13},
        {QStringLiteral("電話番号２"), 13},
        {QStringLiteral("郵便番号"), 8},
        {QStringLiteral("住所"), 50},
        {QStringLiteral("住所コード"), 5},
        {QStringLiteral("会社名カナ"), 30},
        {QStringLiteral("会社名漢字"), 50},
        {QStringLiteral("名前カナ"), 14},
        {QStringLiteral("名前漢字"), 14},
        {QStringLiteral("個人法人区分"), 4},
        {QStringLiteral("登録メモ１"), 30},
        {QStringLiteral("登録メモ２"), 30},
        {QStringLiteral("登録メモ３"), 30},
        {QStringLiteral("メールアドレス"), 30},
        {QStringLiteral("ランク"), 10},
        {QStringLiteral("着信時メッセージ設定"), 20},
        {QStringLiteral("着信時メッセージ(１行目)"), 32},
        {QStringLiteral("着信時メッセージ(２行目)"), 32},
        {QStringLiteral("備考"), 60},
        {QStringLiteral("登録日時"), 19},
        {QStringLiteral("登録日付"), 10},
        {QStringLiteral("登録時刻"), 8},
        {QStringLiteral("更新日時"), 19},
        {QStringLiteral("更新日付"), 10},
        {QStringLiteral("更新時刻"), 8},
    };
}

std::optional<QList<int>> Numbers(const QString& Text, int Count)
{
    const QStringList Fields = SplitText(Text, Count, SplitPlain, QStringLiteral(","));
    QList<int> Result;
    for (const QString& Field : Fields) {
        bool Ok = false;
        const int Value = Field.trimmed().toInt(&Ok);
        if (!Ok)
            return std::nullopt;
        Result.append(Value);
    }
    return Result;
}

} // namespace

QList<PrintItem> BuildItemTable(int Source, const QString& SelectItem1, const QString& SelectItem2,
                                const QString& SelectItem3)
{
    return Source == SourceMeibo ? DirectoryItems() : HistoryItems(SelectItem1, SelectItem2, SelectItem3);
}

QList<PrintItem> BuildItemTable(int Source)
{
    return BuildItemTable(Source, Settings.SelectItem1, Settings.SelectItem2, Settings.SelectItem3);
}

int CountCommas(const QString& Text)
{
    const QByteArray Bytes = Cp932Encode(Text);
    int Count = 0;
    for (int I = 0; I < Bytes.size(); ++I) {
        if (IsCp932LeadByte(static_cast<unsigned char>(Bytes[I])))
            ++I; // its trail byte, whatever it is, is no comma
        else if (Bytes[I] == ',')
            ++Count;
    }
    return Count;
}

TLayoutText LayoutToText(const TLayout& Layout)
{
    QStringList Numbers;
    QStringList Sizes;
    for (const LayoutEntry& Entry : Layout) {
        Numbers << QString::number(Entry.ItemNo);
        Sizes << QString::number(Entry.ItemSize);
    }
    return {Numbers.join(QLatin1Char(',')), Sizes.join(QLatin1Char(','))};
}

std::optional<TLayout> LayoutFromText(const TLayoutText& Text)
{
    if (Text.ItemNo.isEmpty() || Text.ItemSize.isEmpty())
        return std::nullopt;
    const int Commas = CountCommas(Text.ItemNo);
    if (Commas != CountCommas(Text.ItemSize) || Commas >= MaxLayoutEntries)
        return std::nullopt;
    const auto Items = Numbers(Text.ItemNo, Commas);
    const auto Sizes = Numbers(Text.ItemSize, Commas);
    if (!Items || !Sizes)
        return std::nullopt;
    TLayout Layout;
    for (int I = 0; I <= Commas; ++I)
        Layout.append({(*Items)[I], (*Sizes)[I]});
    return Layout;
}

TLayout CleanLayout(const TLayout& Layout, int ItemCount)
{
    TLayout Clean;
    QSet<int> Placed;
    for (const LayoutEntry& Entry : Layout) {
        if (Entry.ItemNo < 0 || Entry.ItemNo >= ItemCount)
            continue;
        if (Entry.ItemNo != BlankItemNo && Placed.contains(Entry.ItemNo))
            continue;
        Placed.insert(Entry.ItemNo);
        Clean.append(Entry);
    }
    return Clean;
}

TLayoutEdit SetLayoutEntry(TLayout& Layout, int Index, int ItemNo, const QList<PrintItem>& Items)
{
    if (Layout.size() >= MaxLayoutEntries)
        return TLayoutEdit::Full;
    if (ItemNo < 0 || ItemNo >= Items.size())
        return TLayoutEdit::Nothing;
    if (ItemNo != BlankItemNo) {
        for (const LayoutEntry& Entry : Layout)
            if (Entry.ItemNo == ItemNo)
                return TLayoutEdit::AlreadySet;
    }
    Layout.insert(qBound(0, Index, static_cast<int>(Layout.size())), {ItemNo, Items[ItemNo].DefaultWidth});
    return TLayoutEdit::Done;
}

TLayoutEdit RemoveLayoutEntry(TLayout& Layout, int Index)
{
    if (Layout.isEmpty() || Index < 0 || Index > Layout.size())
        return TLayoutEdit::Nothing;
    Layout.removeAt(qMin(Index, static_cast<int>(Layout.size()) - 1));
    return TLayoutEdit::Done;
}

TLayoutEdit MoveLayoutEntry(TLayout& Layout, int Index, bool Up)
{
    const int Other = Up ? Index - 1 : Index + 1;
    if (Index < 0 || Index >= Layout.size() || Other < 0 || Other >= Layout.size())
        return TLayoutEdit::Nothing;
    Layout.swapItemsAt(Index, Other);
    return TLayoutEdit::Done;
}

QList<int> AvailableItems(const TLayout& Layout, int ItemCount)
{
    QSet<int> Placed;
    for (const LayoutEntry& Entry : Layout)
        Placed.insert(Entry.ItemNo);
    QList<int> Result;
    for (int No = 0; No < ItemCount; ++No)
        if (No == BlankItemNo || !Placed.contains(No))
            Result.append(No);
    return Result;
}
