#pragma once

#include <QSet>
#include <QString>
#include <array>

class TTable;

namespace Utility {

// The numbers a conversion's destination directory knows ("SchTel1" and "SchTel2"), asked for
// every source entry. A directory that was empty when the run began holds only the entries the run
// posts, and it tells each of them here (Add): their numbers are kept in memory and an entry is
// known without asking the table, which then needs neither index until the load is complete. The
// indexes' collation tells apart every two texts that differ, so the test is the texts' equality.
// A directory that held entries before is asked through its indexes.
class TKnownNumbers
{
public:
    explicit TKnownNumbers(TTable& Dest);

    // Whether one of an entry's two numbers is a key of either index. An entry with only a second
    // number is looked up by that number; one with no number at all is never known.
    [[nodiscard]] bool Knows(const QString& First, const QString& Second);
    // The row just posted to the destination: its numbers are known from now on.
    void Add(TTable& Row);

private:
    [[nodiscard]] bool KnowsNumber(const QString& Number);

    TTable& FDest;
    bool FInMemory = false;
    // Each field's numbers, and the field's width, to which a look-up cuts its key as the table does.
    struct TField
    {
        int Size = 0;
        QSet<QString> Numbers;
    };
    std::array<TField, 2> FFields;
};

} // namespace Utility
