#include "main/controls/SortState.h"

TSortDir TSortDirs::First() const
{
    for (TSortDir Dir : {sdAsc, sdDesc, sdNone})
        if (Contains(Dir))
            return Dir;
    return sdNone;
}

void TSortState::Changed(int OldIndex, int NewIndex)
{
    if (OnSortChange)
        OnSortChange(OldIndex, NewIndex);
}

void TSortState::SetSortIndex(int Value, int ColumnCount)
{
    // A negative index is kept: no column is sorted then, and none shows an arrow.
    if (Value >= ColumnCount)
        Value = 0;
    if (Value == FSortIndex)
        return;
    const int Old = FSortIndex;
    FSortIndex = Value;
    FSortDir = FSortDirs.First();
    Changed(Old, Value);
}

void TSortState::SetSortDir(TSortDir Value)
{
    if (Value == FSortDir || !FSortDirs.Contains(Value))
        return;
    FSortDir = Value;
    Changed(FSortIndex, FSortIndex);
}

void TSortState::SetSortDirs(TSortDirs Value)
{
    if (Value.Empty())
        return;
    FSortDirs = Value;
    if (!FSortDirs.Contains(FSortDir))
        SetSortDir(FSortDirs.First());
}

void TSortState::ColumnClick(int Column)
{
    if (Column == FSortIndex) {
        TSortDir Next = FSortDir;
        for (int Step = 0; Step < 3; ++Step) {
            Next = static_cast<TSortDir>((Next + 1) % 3);
            if (FSortDirs.Contains(Next))
                break;
        }
        if (Next == FSortDir)
            return;
        FSortDir = Next;
        Changed(FSortIndex, FSortIndex);
        return;
    }
    const int Old = FSortIndex;
    FSortIndex = Column;
    FSortDir = FSortDirs.First();
    Changed(Old, Column);
}
