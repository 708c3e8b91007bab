#include "utility/convert/KnownNumbers.h"

#include "main/common/CommonText.h"
#include "platform/db/Table.h"
#include "platform/text/Cp932.h"

namespace Utility {

namespace {

const QString RecNo = QStringLiteral("RecNo");
const std::array<QString, 2> NumberFields = {QStringLiteral("SchTel1"), QStringLiteral("SchTel2")};

} // namespace

TKnownNumbers::TKnownNumbers(TTable& Dest) : FDest(Dest), FInMemory(Dest.RecordCount() == 0)
{
    for (size_t I = 0; I < FFields.size(); ++I)
        FFields[I].Size = Dest.FieldByName(NumberFields[I]).Size();
}

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
    if (FInMemory) {
        for (const TField& Field : FFields)
            if (Field.Numbers.contains(Number.size() * 2 <= Field.Size ? Number : Cp932Left(Number, Field.Size)))
                return true;
        return false;
    }
    for (const QString& Index : NumberFields)
        if (FDest.LookupKey(Index, {Number}, RecNo).isValid())
            return true;
    return false;
}

void TKnownNumbers::Add(TTable& Row)
{
    if (!FInMemory)
        return;
    for (size_t I = 0; I < FFields.size(); ++I)
        if (const QString Number = Row.FieldByName(NumberFields[I]).AsString(); !Number.isEmpty())
            FFields[I].Numbers.insert(Number);
}

} // namespace Utility
