#include "main/start/StartupPassword.h"

#include "main/common/CommonText.h"
#include "platform/sys/Registry.h"
#include "platform/text/Cp932.h"

#include <optional>

namespace {

bool IsTrimmed(QChar Char)
{
    return Char.unicode() <= 0x20 || Char.unicode() == 0x7F;
}

QString TrimControls(const QString& Text)
{
    qsizetype Start = 0;
    qsizetype End = Text.size();
    while (Start < End && IsTrimmed(Text[Start]))
        ++Start;
    while (End > Start && IsTrimmed(Text[End - 1]))
        --End;
    return Text.mid(Start, End - Start);
}

int HexDigit(QChar Char)
{
    const char16_t C = Char.unicode();
    if (C >= u'0' && C <= u'9')
        return C - u'0';
    if (C >= u'A' && C <= u'F')
        return C - u'A' + 10;
    if (C >= u'a' && C <= u'f')
        return C - u'a' + 10;
    return -1;
}

std::optional<int> HexByte(const QString& Text, qsizetype Index)
{
    if (Index + 1 >= Text.size())
        return std::nullopt;
    const int High = HexDigit(Text[Index]);
    const int Low = HexDigit(Text[Index + 1]);
    if (High < 0 || Low < 0)
        return std::nullopt;
    return High * 16 + Low;
}

} // namespace

QString StartupPasswordText;

bool ReadStartupPasswordText(QString& Text)
{
    if (!RegistryKeyExists(StartupPasswordKey))
        return false;
    Text = TrimControls(ReadRegistryString(StartupPasswordKey, StartupPasswordValue).value_or(QString()));
    return true;
}

TStoredTextResult StoredTextToPassword(const QString& Text, QString& Password)
{
    Password.clear();
    const qsizetype Groups = Text.size() / 4;
    QString Result;
    for (qsizetype I = 0; I < Groups; ++I) {
        const qsizetype Group = 2 * (I % 8) + I / 8;
        if (Group >= Groups)
            return TStoredTextResult::Malformed;
        const qsizetype At = 4 * Group;
        const auto First = HexByte(Text, At + 2);
        const auto Second = HexByte(Text, At);
        if (!First || !Second || *First == 0)
            return TStoredTextResult::Malformed;
        // A single-byte character leaves its second byte zero.
        QByteArray Bytes(1, static_cast<char>(*First));
        if (*Second != 0)
            Bytes.append(static_cast<char>(*Second));
        const auto Unit = Cp932Decode(Bytes, TDecodeMode::Strict);
        if (!Unit || Unit->size() != 1)
            return TStoredTextResult::Malformed;
        const QString Half = ToHalfWidth(*Unit);
        if (Half == QLatin1String("+") || Half == QLatin1String("-") || Half == QLatin1String("*") ||
            Half == QLatin1String("/"))
            continue;
        Result += Half;
    }
    Password = Result;
    return TStoredTextResult::Password;
}
