#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>

// The sort state of a report-style list: which column is sorted, in which direction, and the
// directions a click on the sorted column cycles through. The list views with and without wide
// text share it.

enum TSortDir
{
    sdAsc = 0,
    sdDesc = 1,
    sdNone = 2
};

class TSortDirs
{
public:
    constexpr TSortDirs() = default;
    constexpr TSortDirs(std::initializer_list<TSortDir> Dirs)
    {
        for (TSortDir Dir : Dirs)
            FBits |= Bit(Dir);
    }
    [[nodiscard]] constexpr bool Contains(TSortDir Dir) const { return (FBits & Bit(Dir)) != 0; }
    [[nodiscard]] constexpr bool Empty() const { return FBits == 0; }
    // The first of sdAsc, sdDesc, sdNone in the set (sdNone for an empty set).
    [[nodiscard]] TSortDir First() const;
    constexpr bool operator==(const TSortDirs&) const = default;

private:
    static constexpr std::uint8_t Bit(TSortDir Dir) { return static_cast<std::uint8_t>(1u << Dir); }
    std::uint8_t FBits = 0;
};

class TSortState
{
public:
    [[nodiscard]] int SortIndex() const { return FSortIndex; }
    [[nodiscard]] TSortDir SortDir() const { return FSortDir; }
    [[nodiscard]] TSortDirs SortDirs() const { return FSortDirs; }

    // An index at or beyond ColumnCount becomes 0; a negative one is kept. A new index starts at the first allowed
    // direction and raises OnSortChange (old, new).
    void SetSortIndex(int Value, int ColumnCount);
    // Only an allowed direction is taken; a change raises OnSortChange (index, index).
    void SetSortDir(TSortDir Value);
    // The empty set is ignored; a direction no longer allowed gives way to the first allowed one.
    void SetSortDirs(TSortDirs Value);
    // A click on a column header: the sorted column steps through asc -> desc -> none -> asc,
    // skipping directions not allowed; another column becomes the sorted one.
    void ColumnClick(int Column);

    std::function<void(int OldIndex, int NewIndex)> OnSortChange;

private:
    void Changed(int OldIndex, int NewIndex);

    int FSortIndex = 0;
    TSortDir FSortDir = sdAsc;
    TSortDirs FSortDirs{sdAsc, sdDesc};
};
