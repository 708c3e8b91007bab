#include "utility/convert/KnownNumbers.h"

#include "main/common/CommonText.h"
#include "platform/db/Table.h"

namespace Utility {

namespace {

const QString RecNo = QStringLiteral("RecNo");
const QString SchTel1 = QStringLiteral("SchTel1");
const QString SchTel2 = QStringLiteral("SchTel2");

// ASCII is itself in CP932, so there the collation's equality is the text's.
bool IsAscii(const QString& Text)
{
    for (const QChar Char : Text)
        if (Char.unicode() >= 0x80)
            return false;
    return true;
}

} // namespace

TKnownNumbers::TKnownNumbers(TTable& Dest) : FDest(Dest), FInMemory(Dest.RecordCount() == 0) {}

bool TKnownNumbers::Knows(const QString& First, const QString& Second)
{
    QString A = TrimBlanks(First);
    QString B = TrimBlanks(Second);
    if (A.isEmpty()) {
        A = B;
        B.clear();
    }
    return (!A.isEmpty() && KnowsNumber(A)) || (!B.isEmpty() && KnowsNumber(B));
}

bool TKnownNumbers::KnowsNumber(const QString& Number)
{
    if (FInMemory && IsAscii(Number))
        return FNumbers.contains(Number);
    for (const QString& Index : {SchTel1, SchTel2})
        if (FDest.LookupKey(Index, {Number}, RecNo).isValid())
            return true;
    return false;
}

void TKnownNumbers::Add(TTable& Row)
{
    if (!FInMemory)
        return;
    for (const QString& Field : {SchTel1, SchTel2}) {
        const QString Number = Row.FieldByName(Field).AsString();
        if (Number.isEmpty())
            continue;
        // A stored number beyond ASCII might equal an ASCII one in CP932: from here on the table
        // answers every question.
        if (!IsAscii(Number)) {
            FInMemory = false;
            FNumbers.clear();
            return;
        }
        FNumbers.insert(Number);
    }
}

} // namespace Utility
