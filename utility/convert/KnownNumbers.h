#pragma once

#include <QSet>
#include <QString>

class TTable;

namespace Utility {

// The numbers a conversion's destination directory knows ("SchTel1" and "SchTel2"), asked for
// every source entry. A directory that was empty when the run began holds only the entries the run
// posted, and it tells those here (Add): their numbers are kept in memory, and an entry is known
// without asking the table. For a directory that held entries before, and as soon as a number is
// not plain ASCII (whose order the CP932 collation alone decides), the table's indexes answer.
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
    QSet<QString> FNumbers;
};

} // namespace Utility
