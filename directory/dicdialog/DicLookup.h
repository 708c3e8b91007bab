#pragma once

#include "directory/dicdialog/DicSearchResult.h"
#include "main/common/CallerRec.h"

#include <QString>
#include <functional>
#include <optional>

class QWidget;

// One confirmed look-up of the dictionary dialog, as the windows that open it take it back.
struct TDicLookup
{
    int Kind = 0;         // 0 telephone, 1 postal code, 2 address, 9 an existing entry
    TCallerRecord Caller; // Kind 9
    TDicSearchResult Address;
};

// Opens the dictionary dialog over Owner on Kind (a search button's Tag) and Text and answers what
// the user confirmed; nothing when the dialog declined the search or was cancelled.
using TDicLookupRun =
    std::function<std::optional<TDicLookup>(QWidget* Owner, bool EarlierSearch, int Kind, const QString& Text)>;

// The program's dictionary dialog "検索".
[[nodiscard]] TDicLookupRun DictionaryDialog();
