#pragma once

#include "transfer/export/ExportItems.h"

#include <QString>
#include <optional>

class TMemIniFile;

// Section [FILE EXPORT] and the editing of a column layout, apart from the window that shows them.

inline const QString ExportSection = QStringLiteral("FILE EXPORT");

// Both layouts with the settings; the window keeps one of these for its life.
struct TExportState
{
    TExportSettings Settings;
    TExportLayout History;
    TExportLayout Meibo;
    [[nodiscard]] TExportLayout& Current() { return Settings.Source == ExportSourceMeibo ? Meibo : History; }
};

// Reads the section. A layout stops at its first missing or empty key, or at one that is not decimal
// numbers separated by commas: what follows such a key cannot be told apart from a typing slip.
void ReadExportSettings(const TMemIniFile& Ini, TExportState& State);
// Writes the section, both layouts as keys 1 .. n with every other layout key removed.
void WriteExportSettings(TMemIniFile& Ini, const TExportState& State);
// The same on SettingsFileName(), the settings going to ExportSettings() too.
void LoadExportSettings(TExportState& State);
[[nodiscard]] bool SaveExportSettings(const TExportState& State);

// The item indexes of one layout key; nullopt for a malformed value.
[[nodiscard]] std::optional<QList<int>> ParseLayoutKey(const QString& Value);

inline const QString MsgLayoutFull = QStringLiteral("セットできる最大項目数は%1項目です  ");

// The editing of a layout in the grid: Row is the grid's selected row, where Layout.size() is the
// empty row at the end. Each operation renumbers the columns and answers the row to select.
class TLayoutEditor
{
public:
    explicit TLayoutEditor(TExportLayout& Layout) : FLayout(Layout) {}

    [[nodiscard]] bool Full() const { return FLayout.size() >= MaxExportEntries; }
    // Answer -1 when the layout is full (nothing changes).
    int Set(int Row, int Item);
    int Add(int Row, int Item);
    int SetAll();
    int Delete(int Row);
    int DeleteAll();
    int Up(int Row);
    int Down(int Row);
    [[nodiscard]] bool CanUp(int Row) const;
    [[nodiscard]] bool CanDown(int Row) const;

private:
    TExportLayout& FLayout;
};

// Column numbers 1, 2, 3 ... on the column-starting entries in list order; the first entry always
// starts a column.
void RenumberColumns(TExportLayout& Layout);
