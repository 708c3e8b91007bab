#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

class THistoryData;

// What the pick-list editor does to the lists, without its window: the edits of one list with
// their refusals, the state each tab keeps while another is shown, and the rewrite of the changed
// lists on OK.

inline const QString MsgNameBlank = QStringLiteral("名称を入力してください  ");
inline const QString MsgNameExists = QStringLiteral("既に同じ名称が登録されています  ");
inline const QString MsgSelectToRename = QStringLiteral("変更するデータを選択してください  ");
inline const QString MsgSelectOneToRename = QStringLiteral("変更するデータを１件だけ選択してください  ");
inline const QString MsgRankRequired = QStringLiteral("ランク情報は１件以上登録してください  ");

// One list as the editor shows it: the names in order, which of them are selected and which one
// has the focus (-1 none).
struct TPickList
{
    QStringList Items;
    QList<bool> Selected; // one flag per item
    int Current = -1;

    [[nodiscard]] static TPickList Of(const QStringList& Items);
    [[nodiscard]] QList<int> SelectedIndexes() const;
    void SelectOnly(int Index);
};

enum class TPickRefusal
{
    None,
    NameBlank,
    NameExists,
    NothingSelected, // rename without a selection
    SeveralSelected, // rename with more than one selected
};
[[nodiscard]] QString RefusalText(TPickRefusal Refusal);

// The name, trimmed, goes on top of the list as the only selected item, unless it is blank or
// already listed (exactly: letter case counts).
[[nodiscard]] TPickRefusal AddName(TPickList& List, const QString& Name);
// The one selected item takes the trimmed name and stays selected; the name may be its own but
// not that of another item.
[[nodiscard]] TPickRefusal RenameSelected(TPickList& List, const QString& Name);
void DeleteSelected(TPickList& List);
// Every selected item one place up (down), the block keeping its order and its selection; nothing
// moves when the first (last) item is among them. False when nothing moved.
bool MoveSelected(TPickList& List, bool Up);

struct TMoveButtons
{
    bool Up = false;
    bool Down = false;
};
// "上" unless the first item is selected, "下" unless the last one is; neither without a selection.
[[nodiscard]] TMoveButtons MoveButtonsFor(const TPickList& List);

// What a tab keeps while another one is shown.
struct TPickListTab
{
    QString EditText;
    std::optional<QStringList> ItemsCopy; // none: the tab shows its pick list as stored
    std::optional<QList<int>> SelectedCopy;
    bool Changed = false;
};

// The tabs of the editor: 0 the rank list, 1..3 the select-item lists.
class TPickListTabs
{
public:
    static constexpr int MaxTabs = 4;

    // One tab for the rank list alone, else all four; every tab starts unchanged.
    void Prepare(bool RankOnly);
    [[nodiscard]] int Count() const { return FCount; }
    [[nodiscard]] TPickListTab& Tab(int Index) { return FTabs.at(static_cast<size_t>(Index)); }
    [[nodiscard]] const TPickListTab& Tab(int Index) const { return FTabs.at(static_cast<size_t>(Index)); }

    // The name limit of a tab's edit in CP932 bytes.
    [[nodiscard]] static int NameLimit(int Index) { return Index == 0 ? 20 : 30; }
    // The pick list behind a tab; null when the data module has none.
    [[nodiscard]] static THistoryData* ListOf(int Index);
    // " ランク " and the configured select-item names, each between blanks.
    [[nodiscard]] static QString Caption(int Index);
    // The items a tab shows: its copy when it has one, else its pick list in stored order.
    [[nodiscard]] QStringList ShownItems(int Index) const;

    // Bit i set when the list of tab i was edited.
    [[nodiscard]] int ChangedBits() const;
    // The cancel question naming the changed tabs.
    [[nodiscard]] QString CancelQuestion() const;
    // Rewrites the pick list of every changed tab from its copy, the first item with the highest
    // stamp, and saves it. Empty when every list was saved; otherwise what went wrong, and the
    // list that failed is left as it was in memory.
    [[nodiscard]] QString SaveChanged();

private:
    std::array<TPickListTab, MaxTabs> FTabs;
    int FCount = 1;
};
