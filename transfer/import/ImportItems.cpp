#include "transfer/import/ImportItems.h"

#include "main/common/CommonText.h"

namespace {

QString S(const char* Utf8)
{
    return QString::fromUtf8(Utf8);
}

} // namespace

QList<TImportItem> ImportItems(TImportDest Dest, const QStringList& SelectItemNames)
{
    if (Dest == TImportDest::RecvHis) {
        QList<TImportItem> Items = {
            {},
            {S("着信日付"), 10},
            {S("着信時刻"), 8},
            {S("電話番号"), 13},
            {S("会社名カナ"), 80},
            {S("会社名漢字"), 112},
            {S("名前カナ"), 20},
            {S("名前漢字"), 22},
            {S("区分"), 1},
            {S("ランク"), 20},
        };
        for (int I = 0; I < 3; ++I)
            Items.append({SelectItemNames.value(I), 60});
        return Items;
    }
    // A typed registration date or time is as long as the history's date and time.
    return {
        {},
        {S("電話番号１"), 13},
        {S("電話番号２"), 13},
        {S("郵便番号"), 8},
        {S("住所１"), 32},
        {S("住所２"), 152},
        {S("住所３"), 116},
        {S("住所コード"), 5},
        {S("会社名カナ"), 80},
        {S("会社名漢字"), 112},
        {S("名前カナ"), 20},
        {S("名前漢字"), 22},
        {S("個人法人区分"), 1},
        {S("登録メモ１"), 100},
        {S("登録メモ２"), 100},
        {S("登録メモ３"), 100},
        {S("メールアドレス"), 64},
        {S("ランク"), 20},
        {S("緯度"), 10},
        {S("経度"), 10},
        {S("着信時メッセージ設定"), 0},
        {S("着信時メッセージ(１行目)"), 32},
        {S("着信時メッセージ(２行目)"), 32},
        {S("着信時メッセージ(背景色)"), 7},
        {S("外部ファイル"), 0},
        {S("備考"), 0},
        {S("登録日付"), 10},
        {S("登録時刻"), 8},
    };
}

QList<TAutoSetPass> AutoSetPasses(TImportDest Dest, const QStringList& SelectItemNames)
{
    auto Names = [](std::initializer_list<const char*> List) {
        QStringList Result;
        for (const char* Name : List)
            Result.append(S(Name));
        return Result;
    };
    if (Dest == TImportDest::RecvHis) {
        return {
            {1, Names({"着信日付", "日付"})},
            {2, Names({"着信時刻", "時刻"})},
            {3, Names({"電話番号", "電話番号１"})},
            {4, Names({"会社名カナ", "名称カナ"})},
            {5, Names({"会社名漢字", "会社名", "名称漢字", "名称"})},
            {6, Names({"名前カナ"})},
            {7, Names({"名前漢字", "名前"})},
            {8, Names({"区分"})},
            {9, Names({"ランク"})},
            {10, {S("選択項目１"), SelectItemNames.value(0)}},
            {11, {S("選択項目２"), SelectItemNames.value(1)}},
            {12, {S("選択項目３"), SelectItemNames.value(2)}},
        };
    }
    QList<TAutoSetPass> Passes = {
        {1, Names({"電話番号", "電話番号１"})},
        {2, Names({"電話番号２"})},
        {3, Names({"郵便番号"})},
        {4, Names({"都道府県"})}, // a prefecture field lands before the address field
        {4, Names({"住所１", "住所"})},
        {5, Names({"住所２", "残り住所"})},
        {6, Names({"住所３"})},
        {7, Names({"住所コード"})},
        {8, Names({"会社名カナ", "名称カナ"})},
        {9, Names({"会社名漢字", "会社名", "名称漢字", "名称"})},
        {10, Names({"名前カナ"})},
        {11, Names({"名前漢字", "名前"})},
        {12, Names({"個人法人区分", "個人会社区分"})},
        {13, Names({"登録メモ１", "登録メモ"})},
        {14, Names({"登録メモ２"})},
        {15, Names({"登録メモ３"})},
        {16, Names({"メールアドレス", "メール", "MAIL", "E-MAIL"})},
        {17, Names({"ランク"})},
        {18, Names({"緯度", "緯度(msec)"})},
        {19, Names({"経度", "経度(msec)"})},
    };
    const QList<TImportItem> Items = ImportItems(Dest, SelectItemNames);
    for (int Row = MeiboItem::Msg; Row <= MeiboItem::Last; ++Row)
        Passes.append({Row, {Items.at(Row).Name}});
    return Passes;
}

void AutoSetItem(TImportMapping& Mapping, int Row, const QStringList& Names, const QStringList& Sources)
{
    if (Row <= 0 || Row >= Mapping.size() || Mapping.at(Row).size() >= MaxPieces)
        return;
    for (int Index = 0; Index < Sources.size(); ++Index) {
        const QString Source = ToHalfWidth(TrimBlanks(Sources.at(Index)));
        for (const QString& Name : Names) {
            if (Name.isEmpty())
                continue;
            if (Source.compare(ToHalfWidth(Name), Qt::CaseInsensitive) == 0) {
                Mapping[Row].append(FieldPiece(Index, Name));
                return;
            }
        }
    }
}
