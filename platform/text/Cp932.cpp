#include "platform/text/Cp932.h"

#include <QList>
#include <algorithm>
#include <array>
#include <cerrno>
#include <iconv.h>
#include <stdexcept>

namespace {

// One pair of descriptors per thread: the device library's reader thread decodes too.
class TIconv
{
public:
    TIconv(const char* To, const char* From) : Handle(iconv_open(To, From))
    {
        if (Handle == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv cannot convert ") + From + " to " + To);
    }
    ~TIconv() { iconv_close(Handle); }
    TIconv(const TIconv&) = delete;
    TIconv& operator=(const TIconv&) = delete;

    void Reset() { iconv(Handle, nullptr, nullptr, nullptr, nullptr); }
    iconv_t Handle;
};

TIconv& Encoder()
{
    thread_local TIconv Cd("CP932", "UTF-8");
    return Cd;
}

TIconv& Decoder()
{
    thread_local TIconv Cd("UTF-8", "CP932");
    return Cd;
}

int Utf8SequenceLength(unsigned char Lead)
{
    if (Lead < 0x80)
        return 1;
    if ((Lead & 0xE0) == 0xC0)
        return 2;
    if ((Lead & 0xF0) == 0xE0)
        return 3;
    if ((Lead & 0xF8) == 0xF0)
        return 4;
    return 1;
}

// Runs the conversion over In; OnInvalid is told the offset of each sequence iconv refuses and
// answers how many input bytes to skip (0 = give up).
template <typename TOnInvalid> bool Convert(TIconv& Cd, const QByteArray& In, QByteArray& Out, TOnInvalid OnInvalid)
{
    Cd.Reset();
    Out.clear();
    Out.reserve(In.size() * 3 / 2 + 4);
    char* InPtr = const_cast<char*>(In.constData());
    size_t InLeft = static_cast<size_t>(In.size());
    char Buffer[4096];
    while (InLeft > 0) {
        char* OutPtr = Buffer;
        size_t OutLeft = sizeof(Buffer);
        size_t Rc = iconv(Cd.Handle, &InPtr, &InLeft, &OutPtr, &OutLeft);
        Out.append(Buffer, static_cast<qsizetype>(OutPtr - Buffer));
        if (Rc != static_cast<size_t>(-1))
            continue;
        if (errno == E2BIG)
            continue;
        // EILSEQ, or EINVAL for a sequence cut off at the end.
        int Offset = static_cast<int>(InPtr - In.constData());
        int Skip = OnInvalid(Offset, Out);
        if (Skip <= 0)
            return false;
        Skip = std::min<int>(Skip, static_cast<int>(InLeft));
        InPtr += Skip;
        InLeft -= static_cast<size_t>(Skip);
        Cd.Reset();
    }
    return true;
}

} // namespace

namespace {

bool IsLoneSurrogate(const QString& Text, qsizetype Index)
{
    const QChar C = Text[Index];
    if (C.isHighSurrogate())
        return Index + 1 >= Text.size() || !Text[Index + 1].isLowSurrogate();
    return C.isLowSurrogate() && (Index == 0 || !Text[Index - 1].isHighSurrogate());
}

// glibc's converter drops the tag characters (U+E0000 to U+E007F) with no output and no error:
// each would vanish from the bytes while the width counts it. It gets the substitute instead.
bool IsTagCharacter(const QString& Text, qsizetype Index)
{
    if (!Text[Index].isHighSurrogate() || Index + 1 >= Text.size() || !Text[Index + 1].isLowSurrogate())
        return false;
    const char32_t Code = QChar::surrogateToUcs4(Text[Index], Text[Index + 1]);
    return Code >= 0xE0000 && Code <= 0xE007F;
}

void EncodeInto(TCp932Encoded& Result, const QString& Text)
{
    const QByteArray Utf8 = Text.toUtf8();
    QByteArray Bytes;
    Convert(Encoder(), Utf8, Bytes, [&](int Offset, QByteArray& Out) {
        Out.append(Cp932Substitute);
        ++Result.Substituted;
        return Utf8SequenceLength(static_cast<unsigned char>(Utf8[Offset]));
    });
    Result.Bytes += Bytes;
}

} // namespace

TCp932Encoded Cp932EncodeChecked(const QString& Text)
{
    // A lone surrogate is no character: UTF-8 would turn it into "?" silently, one byte where the
    // width counts two. It gets the visible substitute, as any character CP932 lacks does, and so
    // does a tag character, which the converter would drop.
    TCp932Encoded Result;
    // ASCII is the same byte in CP932: numbers and codes, most of what passes here, need no converter.
    if (std::all_of(Text.cbegin(), Text.cend(), [](QChar C) { return C.unicode() < 0x80; })) {
        Result.Bytes = Text.toLatin1();
        return Result;
    }
    qsizetype Start = 0;
    for (qsizetype I = 0; I < Text.size(); ++I) {
        if (!Text[I].isSurrogate())
            continue;
        const qsizetype Units = IsLoneSurrogate(Text, I) ? 1 : IsTagCharacter(Text, I) ? 2 : 0;
        if (Units == 0)
            continue;
        EncodeInto(Result, Text.mid(Start, I - Start));
        Result.Bytes.append(Cp932Substitute);
        ++Result.Substituted;
        Start = I + Units;
        I += Units - 1;
    }
    EncodeInto(Result, Start == 0 ? Text : Text.mid(Start));
    return Result;
}

QByteArray Cp932Encode(const QString& Text)
{
    return Cp932EncodeChecked(Text).Bytes;
}

namespace {

int CharacterCount(const QByteArray& Bytes)
{
    int Count = 0;
    for (int I = 0; I < Bytes.size(); ++Count)
        I += IsCp932LeadByte(static_cast<unsigned char>(Bytes[I])) ? 2 : 1;
    return Count;
}

// glibc answers some unassigned double-byte codes (0x8540, say) with no output and no error;
// walking one character at a time finds those, so that no byte vanishes unnoticed.
std::optional<QString> DecodeByCharacter(const QByteArray& Bytes, TDecodeMode Mode)
{
    QString Result;
    QByteArray Utf8;
    for (int I = 0; I < Bytes.size();) {
        const int Length = (IsCp932LeadByte(static_cast<unsigned char>(Bytes[I])) && I + 1 < Bytes.size()) ? 2 : 1;
        const QByteArray One = Bytes.mid(I, Length);
        bool Ok = Convert(Decoder(), One, Utf8, [](int, QByteArray&) { return 0; }) && !Utf8.isEmpty() &&
                  !(Length == 1 && IsCp932LeadByte(static_cast<unsigned char>(One[0])));
        if (Ok) {
            Result += QString::fromUtf8(Utf8);
            I += Length;
        } else if (Mode == TDecodeMode::Strict) {
            return std::nullopt;
        } else {
            Result += QChar(0xFFFD);
            I += 1;
        }
    }
    return Result;
}

} // namespace

namespace {

// What the converter makes of each CP932 character on its own: one UTF-16 unit per single byte and
// per lead and trail byte pair, NoUnit where it makes anything else (an error, nothing, more than
// one character). The encoding keeps no state from one character to the next, so a text of
// characters that each make one unit decodes, unit by unit, exactly as the converter decodes it
// whole, without a call to it for every field of every row.
constexpr char16_t NoUnit = 0xFFFF;

struct TDecodeTable
{
    std::array<char16_t, 0x100> Single{};
    std::array<char16_t, 0x10000> Double{};
};

char16_t UnitOf(const QByteArray& Character)
{
    QByteArray Utf8;
    if (!Convert(Decoder(), Character, Utf8, [](int, QByteArray&) { return 0; }))
        return NoUnit;
    const QString Text = QString::fromUtf8(Utf8);
    return Text.size() == 1 && !Text[0].isSurrogate() ? Text[0].unicode() : NoUnit;
}

const TDecodeTable& DecodeTable()
{
    static const TDecodeTable Table = [] {
        TDecodeTable Made;
        Made.Double.fill(NoUnit);
        for (int Byte = 0; Byte < 0x100; ++Byte) {
            const auto Lead = static_cast<unsigned char>(Byte);
            if (Byte < 0x80)
                Made.Single[Lead] = static_cast<char16_t>(Byte);
            else
                Made.Single[Lead] = IsCp932LeadByte(Lead) ? NoUnit : UnitOf(QByteArray(1, static_cast<char>(Lead)));
            if (!IsCp932LeadByte(Lead))
                continue;
            for (int Trail = 0; Trail < 0x100; ++Trail) {
                const char Pair[2] = {static_cast<char>(Lead), static_cast<char>(Trail)};
                Made.Double[static_cast<size_t>(Lead << 8 | Trail)] = UnitOf(QByteArray(Pair, 2));
            }
        }
        return Made;
    }();
    return Table;
}

// Bytes decoded through the table; nullopt when a character is not in it.
std::optional<QString> DecodeByTable(const QByteArray& Bytes)
{
    const TDecodeTable& Table = DecodeTable();
    QString Text(Bytes.size(), Qt::Uninitialized);
    char16_t* Out = reinterpret_cast<char16_t*>(Text.data());
    qsizetype Units = 0;
    const auto* In = reinterpret_cast<const unsigned char*>(Bytes.constData());
    const qsizetype Size = Bytes.size();
    for (qsizetype I = 0; I < Size;) {
        char16_t Unit = Table.Single[In[I]];
        if (IsCp932LeadByte(In[I])) {
            if (I + 1 >= Size)
                return std::nullopt;
            Unit = Table.Double[static_cast<size_t>(In[I] << 8 | In[I + 1])];
            I += 2;
        } else {
            ++I;
        }
        if (Unit == NoUnit)
            return std::nullopt;
        Out[Units++] = Unit;
    }
    Text.truncate(Units);
    return Text;
}

} // namespace

std::optional<QString> Cp932Decode(const QByteArray& Bytes, TDecodeMode Mode)
{
    if (std::all_of(Bytes.cbegin(), Bytes.cend(), [](char C) { return static_cast<unsigned char>(C) < 0x80; }))
        return QString::fromLatin1(Bytes);
    if (std::optional<QString> Text = DecodeByTable(Bytes))
        return Text;
    QByteArray Utf8;
    bool Ok = Convert(Decoder(), Bytes, Utf8, [](int, QByteArray&) { return 0; });
    if (Ok) {
        QString Text = QString::fromUtf8(Utf8);
        if (Text.toUcs4().size() == CharacterCount(Bytes))
            return Text;
    }
    return DecodeByCharacter(Bytes, Mode);
}

QString Cp932DecodeLenient(const QByteArray& Bytes)
{
    return *Cp932Decode(Bytes, TDecodeMode::Substitute);
}

bool IsValidCp932(const QByteArray& Bytes)
{
    return Cp932Decode(Bytes, TDecodeMode::Strict).has_value();
}

bool IsCp932LeadByte(unsigned char Byte)
{
    return (Byte >= 0x81 && Byte <= 0x9F) || (Byte >= 0xE0 && Byte <= 0xFC);
}

TByteType Cp932ByteType(const QByteArray& Bytes, int Index)
{
    int I = 0;
    while (I < Index) {
        I += (IsCp932LeadByte(static_cast<unsigned char>(Bytes[I])) && I + 1 < Bytes.size()) ? 2 : 1;
    }
    if (I > Index)
        return TByteType::Trail;
    if (Index < Bytes.size() && IsCp932LeadByte(static_cast<unsigned char>(Bytes[Index])) && Index + 1 < Bytes.size())
        return TByteType::Lead;
    return TByteType::Single;
}

int Cp932CharWidth(char32_t CodePoint)
{
    // Besides ASCII only these map to single bytes (checked over all of Unicode against iconv).
    if (CodePoint < 0x80 || CodePoint == 0xA5 || CodePoint == 0x203E)
        return 1;
    if (CodePoint >= 0xFF61 && CodePoint <= 0xFF9F)
        return 1;
    return 2;
}

int Cp932Width(const QString& Text)
{
    int Width = 0;
    for (char32_t Cp : Text.toUcs4())
        Width += Cp932CharWidth(Cp);
    return Width;
}

QString Cp932Left(const QString& Text, int MaxBytes)
{
    if (MaxBytes <= 0)
        return {};
    int Width = 0;
    qsizetype I = 0;
    while (I < Text.size()) {
        char32_t Cp = Text[I].unicode();
        qsizetype Units = 1;
        if (Text[I].isHighSurrogate() && I + 1 < Text.size() && Text[I + 1].isLowSurrogate()) {
            Cp = QChar::surrogateToUcs4(Text[I], Text[I + 1]);
            Units = 2;
        }
        Width += Cp932CharWidth(Cp);
        if (Width > MaxBytes)
            break;
        I += Units;
    }
    return Text.left(I);
}

QByteArray Cp932LeftBytes(const QByteArray& Bytes, int MaxBytes)
{
    if (MaxBytes <= 0)
        return {};
    if (Bytes.size() <= MaxBytes)
        return Bytes;
    int I = 0;
    while (I < MaxBytes) {
        int Step = IsCp932LeadByte(static_cast<unsigned char>(Bytes[I])) ? 2 : 1;
        if (I + Step > MaxBytes)
            break;
        I += Step;
    }
    return Bytes.left(I);
}
