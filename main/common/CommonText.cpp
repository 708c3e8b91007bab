#include "main/common/CommonText.h"

#include "platform/text/Cp932.h"
#include "platform/text/Width.h"

#include <QHash>
#include <cmath>
#include <limits>

namespace {

// Position by position: the full-width character and the half-width one it becomes. The middle dot
// becomes the half-width katakana middle dot, the yen sign a backslash, the ideographic space a space.
const QString FullWidthAlnumTable =
    QStringLiteral("ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷＸＹＺａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐｑｒｓｔｕｖｗ"
                   "ｘｙｚ＋－＊／＝！？（）［］・，．＠＃＄％＆＾￥　");
const QString HalfWidthAlnumTable =
    QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz+-*/=!?()[]･,.@#$%&^\\ ");

const QHash<QChar, QChar>& HalfOfFullAlnum()
{
    static const QHash<QChar, QChar> Map = [] {
        Q_ASSERT(FullWidthAlnumTable.size() == 74 && HalfWidthAlnumTable.size() == 74);
        QHash<QChar, QChar> M;
        for (qsizetype I = 0; I < FullWidthAlnumTable.size(); ++I)
            M.insert(FullWidthAlnumTable[I], HalfWidthAlnumTable[I]);
        // The table is matched on CP932 codes; U+2212 is stored under the same code as "－".
        M.insert(QChar(0x2212), QLatin1Char('-'));
        return M;
    }();
    return Map;
}

// Code points with their CP932 widths, so that byte positions can be found without encoding.
struct TCharSpan
{
    qsizetype Start; // index into the QString
    qsizetype Units; // 1, or 2 for a surrogate pair
    int Width;       // CP932 bytes
};

QList<TCharSpan> CharSpans(const QString& Text)
{
    QList<TCharSpan> Spans;
    Spans.reserve(Text.size());
    for (qsizetype I = 0; I < Text.size();) {
        char32_t Cp = Text[I].unicode();
        qsizetype Units = 1;
        if (Text[I].isHighSurrogate() && I + 1 < Text.size() && Text[I + 1].isLowSurrogate()) {
            Cp = QChar::surrogateToUcs4(Text[I], Text[I + 1]);
            Units = 2;
        }
        Spans.append({I, Units, Cp932CharWidth(Cp)});
        I += Units;
    }
    return Spans;
}

// Mode 0: cut at CutLength bytes. When that would split a double-byte character, the first part
// ends in a space instead, so that it is still CutLength bytes long, and the character opens the
// second part.
void SplitAtBytePosition(QStringList& Fields, const QString& Line, int CutLength)
{
    if (Fields.size() < 2 || Cp932Width(Line) <= CutLength) {
        Fields[0] = Line;
        return;
    }
    const int Cut = std::max(CutLength, 0);
    int Width = 0;
    for (const TCharSpan& Span : CharSpans(Line)) {
        if (Width + Span.Width > Cut) {
            Fields[0] = Line.left(Span.Start);
            if (Width < Cut)
                Fields[0] += QLatin1Char(' ');
            Fields[1] = Line.mid(Span.Start);
            return;
        }
        Width += Span.Width;
    }
}

// The fields are cut out of the line where they stand: copying the rest of the line after each
// field made a line of many fields cost the square of its length.
void SplitAtSeparators(QStringList& Fields, const QString& Line, int Last, const QString& Separator)
{
    qsizetype Start = 0;
    int I = 0;
    while (I < Last && !Separator.isEmpty()) {
        const qsizetype At = Line.indexOf(Separator, Start);
        if (At < 0)
            break;
        Fields[I] = Line.mid(Start, At - Start);
        Start = At + Separator.size();
        ++I;
    }
    Fields[I] = Line.mid(Start);
}

// Modes 2 and 3: a separator inside double quotes belongs to the field. A piece with an odd number
// of quotes opens a quoted field, the next such piece closes it.
void SplitQuoted(QStringList& Fields, const QString& Line, int Last, const QString& Separator, bool Unquote)
{
    const QStringView Text(Line);
    qsizetype FieldStart = 0;
    qsizetype PieceStart = 0;
    bool InQuote = false;
    int I = 0;
    while (I < Last && !Separator.isEmpty()) {
        const qsizetype At = Line.indexOf(Separator, PieceStart);
        if (At < 0)
            break;
        const bool OddQuotes = Text.mid(PieceStart, At - PieceStart).count(u'"') % 2 != 0;
        PieceStart = At + Separator.size();
        if (InQuote != OddQuotes) {
            // Inside quotes, or opening them: the separator is part of the field.
            InQuote = true;
            continue;
        }
        InQuote = false;
        Fields[I] = Line.mid(FieldStart, At - FieldStart);
        FieldStart = PieceStart;
        ++I;
    }
    Fields[I] = Line.mid(FieldStart);
    if (!Unquote)
        return;
    for (int K = 0; K <= I; ++K) {
        QString& Field = Fields[K];
        if (Field.size() >= 2 && Field.startsWith(QLatin1Char('"')) && Field.endsWith(QLatin1Char('"')))
            Field = Field.mid(1, Field.size() - 2);
    }
}

} // namespace

QString DigitsOnly(const QString& Text, int Keep)
{
    QString Result;
    Result.reserve(Text.size());
    for (QChar Ch : Text) {
        const char16_t C = Ch.unicode();
        const bool Kept = ((Keep & KeepDigits) && C >= u'0' && C <= u'9') || ((Keep & KeepHyphen) && C == u'-') ||
                          ((Keep & KeepPeriod) && C == u'.');
        if (Kept)
            Result += Ch;
    }
    return Result;
}

QString ToHalfWidthAlnum(const QString& Text)
{
    const QHash<QChar, QChar>& Map = HalfOfFullAlnum();
    QString Result = Text;
    for (QChar& Ch : Result) {
        auto It = Map.constFind(Ch);
        if (It != Map.constEnd())
            Ch = *It;
    }
    return Result;
}

QString WideDigitsToAnsi(const QString& Text)
{
    QString Result = Text;
    for (QChar& Ch : Result) {
        if (Ch.unicode() >= 0xFF10 && Ch.unicode() <= 0xFF19)
            Ch = QChar(char16_t(u'0' + (Ch.unicode() - 0xFF10)));
    }
    return Result;
}

QString TrimBlanks(const QString& Text)
{
    qsizetype Begin = 0;
    qsizetype End = Text.size();
    while (Begin < End && Text[Begin].unicode() <= 0x20)
        ++Begin;
    while (End > Begin && Text[End - 1].unicode() <= 0x20)
        --End;
    return Text.mid(Begin, End - Begin);
}

QString StripSpacesToAnsi(const QString& Text)
{
    QString Result = Text;
    Result.remove(QChar(u' '));
    Result.remove(QChar(0x3000));
    return Result;
}

QString ToFullWidth(const QString& Text)
{
    return MapToFullWidth(Text);
}

QString ToHalfWidth(const QString& Text)
{
    return MapToHalfWidth(Text);
}

QString MbcsLeft(const QString& Text, int N)
{
    return Cp932Left(Text, N);
}

int CountOccurrences(const QString& Text, const QString& Sub)
{
    if (Sub.isEmpty())
        return 0;
    int Count = 0;
    for (qsizetype At = Text.indexOf(Sub); At >= 0; At = Text.indexOf(Sub, At + 1))
        ++Count;
    return Count;
}

void SplitText(QStringList& Fields, int Last, int Mode, const QString& Separator, int CutLength)
{
    const QString Line = Fields.value(0);
    const int Count = std::max(Last, 0) + 1;
    Fields = QStringList(Count);
    switch (Mode) {
    case SplitAtByte:
        SplitAtBytePosition(Fields, Line, CutLength);
        break;
    case SplitPlain:
        SplitAtSeparators(Fields, Line, Count - 1, Separator);
        break;
    case SplitQuotedUnquote:
    case SplitQuotedKeepQuotes:
        SplitQuoted(Fields, Line, Count - 1, Separator, Mode == SplitQuotedUnquote);
        break;
    default:
        break;
    }
}

QStringList SplitText(const QString& Line, int Last, int Mode, const QString& Separator, int CutLength)
{
    QStringList Fields{Line};
    SplitText(Fields, Last, Mode, Separator, CutLength);
    return Fields;
}

std::int64_t RoundOff(double X)
{
    if (std::isnan(X))
        return 0;
    // Adding 0.5 first would round 0.49999999999999994 up and every odd number from 2^52 on to
    // its even neighbour; std::round rounds half away from zero without that sum.
    const double Rounded = std::round(X);
    // 2^63 itself is not representable; anything from there on is clamped.
    constexpr double Limit = 9223372036854775808.0;
    if (Rounded >= Limit)
        return std::numeric_limits<std::int64_t>::max();
    if (Rounded < -Limit)
        return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(Rounded);
}
