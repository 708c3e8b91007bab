#pragma once

#include <QString>
#include <array>
#include <memory>

class TTable;
class THistoryData;

namespace Utility {

// The folder of the address-book product's keyword lists (its data folder + "History/"), set by the
// conversion before the lists are made.
extern QString KeywordPath;

inline constexpr int KeywordListCount = 3;
inline constexpr int KeywordItemBytes = 100;

// The utility's reach into one address book of the directory product: the book's table Adrs.DB,
// which it creates when the book has none, and the product's three keyword lists. It lives for one
// conversion. The main program's module of the same name only opens existing books.
class TDMFbarea
{
public:
    // Edition: the row of the page's edition choice; any row but 1 is edition 0. The edition's table
    // password goes into the session for the module's life.
    explicit TDMFbarea(int Edition);
    ~TDMFbarea();
    TDMFbarea(const TDMFbarea&) = delete;
    TDMFbarea& operator=(const TDMFbarea&) = delete;

    // The keyword lists Keyword1.mtd .. Keyword3.mtd of KeywordPath; a missing file is an empty list.
    void PrepareKeywords();
    // Loads the three lists; when one cannot be read says so and gives false with the lists closed.
    [[nodiscard]] bool OpenKeywords();
    void CloseKeywords();
    void FreeKeywords();

    // BookFolder: the book's folder, with or without a trailing "/".
    void PrepareAdrsTable(const QString& BookFolder);
    // Counted open: the first creates a missing table and opens it on its primary index; the others
    // only count. A failure says so and gives false, the count raised all the same.
    [[nodiscard]] bool OpenAdrsTable();
    void CloseAdrsTable();
    // Creates Adrs.DB, protected by the edition's password, unless the folder holds the table file in
    // any letter case already; then nothing is touched. False when the creation failed.
    [[nodiscard]] bool CreateAdrsTable();

    [[nodiscard]] int Edition() const { return FEdition; }
    [[nodiscard]] int AdrsOpenCount() const { return FAdrsOpenCount; }
    // The table object after PrepareAdrsTable; open between a successful open and the last close.
    [[nodiscard]] TTable* AdrsTable() const { return FAdrsTable.get(); }
    // List I (0..2); null unless prepared.
    [[nodiscard]] THistoryData* Keyword(int I) const { return FKeywords.at(static_cast<size_t>(I)).get(); }

private:
    int FEdition;
    QString FPassword;
    int FAdrsOpenCount = 0;
    std::unique_ptr<TTable> FAdrsTable;
    std::array<std::unique_ptr<THistoryData>, KeywordListCount> FKeywords;
};

} // namespace Utility
