#include "platform/db/Collation.h"

#include "platform/text/Cp932.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <sqlite3.h>
#include <string>
#include <string_view>

namespace {

// CP932 code of every BMP code point: a single byte as it is, a double-byte character as
// lead << 8 | trail, 0 where CP932 has no such character.
using TCp932Map = std::array<std::uint16_t, 0x10000>;

const TCp932Map& Cp932Map()
{
    static TCp932Map Map{};
    static std::once_flag Once;
    std::call_once(Once, [] {
        for (char32_t Code = 1; Code < 0x10000; ++Code) {
            if (Code < 0x80) {
                Map[Code] = static_cast<std::uint16_t>(Code);
                continue;
            }
            if (Code >= 0xD800 && Code < 0xE000)
                continue;
            const TCp932Encoded Encoded = Cp932EncodeChecked(QString(QChar(static_cast<char16_t>(Code))));
            if (Encoded.Substituted != 0)
                continue;
            const auto* Bytes = reinterpret_cast<const unsigned char*>(Encoded.Bytes.constData());
            if (Encoded.Bytes.size() == 1)
                Map[Code] = Bytes[0];
            else if (Encoded.Bytes.size() == 2)
                Map[Code] = static_cast<std::uint16_t>(Bytes[0] << 8 | Bytes[1]);
        }
    });
    return Map;
}

// The code point of the UTF-8 character at Pos, which moves past it; U+FFFD for a malformed one.
char32_t DecodeUtf8(const unsigned char*& Pos, const unsigned char* End)
{
    const unsigned char Lead = *Pos++;
    int Extra = 0;
    char32_t Code = 0;
    if ((Lead & 0xE0) == 0xC0) {
        Extra = 1;
        Code = Lead & 0x1F;
    } else if ((Lead & 0xF0) == 0xE0) {
        Extra = 2;
        Code = Lead & 0x0F;
    } else if ((Lead & 0xF8) == 0xF0) {
        Extra = 3;
        Code = Lead & 0x07;
    } else {
        return 0xFFFD;
    }
    for (; Extra > 0 && Pos < End && (*Pos & 0xC0) == 0x80; --Extra)
        Code = Code << 6 | (*Pos++ & 0x3F);
    return Extra == 0 ? Code : 0xFFFD;
}

// The CP932 bytes of a UTF-8 text, one byte at a time, without building the encoded text.
class TCp932Stream
{
public:
    TCp932Stream(const unsigned char* Text, int Length, bool Fold, const TCp932Map& Map)
        : Pos(Text), End(Text + Length), Fold(Fold), Map(Map)
    {
    }

    // The next byte, or -1 at the end.
    int Next()
    {
        if (PendingIndex < PendingCount)
            return Pending[PendingIndex++];
        if (Pos >= End)
            return -1;
        const unsigned char Lead = *Pos;
        if (Lead < 0x80) {
            ++Pos;
            return (Fold && Lead >= 'a' && Lead <= 'z') ? Lead - 'a' + 'A' : Lead;
        }
        const char32_t Code = DecodeUtf8(Pos, End);
        const std::uint16_t Cp = Code < 0x10000 ? Map[Code] : 0;
        PendingIndex = 0;
        if (Cp == 0) {
            // After every CP932 byte (0xFF never starts a CP932 character), then by code point.
            Pending[0] = static_cast<unsigned char>(Code >> 16);
            Pending[1] = static_cast<unsigned char>(Code >> 8);
            Pending[2] = static_cast<unsigned char>(Code);
            PendingCount = 3;
            return 0xFF;
        }
        if (Cp < 0x100) {
            PendingCount = 0;
            return Cp;
        }
        Pending[0] = static_cast<unsigned char>(Cp & 0xFF);
        PendingCount = 1;
        return Cp >> 8;
    }

private:
    const unsigned char* Pos;
    const unsigned char* End;
    bool Fold;
    const TCp932Map& Map;
    unsigned char Pending[3] = {};
    int PendingCount = 0;
    int PendingIndex = 0;
};

// For each BMP code point, the one its CP932 bytes read back as: itself, or another that CP932
// writes alike (the wave dash as the full-width tilde, the minus sign as the full-width hyphen-minus);
// 0 where CP932 lacks it.
using TFoldMap = std::array<char16_t, 0x10000>;

const TFoldMap& FoldMap()
{
    static TFoldMap Fold{};
    static std::once_flag Once;
    std::call_once(Once, [] {
        const TCp932Map& Map = Cp932Map();
        for (char32_t Code = 1; Code < 0x10000; ++Code) {
            if (Map[Code] == 0)
                continue;
            Fold[Code] = static_cast<char16_t>(Code);
            if (Code < 0x80)
                continue;
            QByteArray Bytes;
            if (Map[Code] > 0xFF)
                Bytes += static_cast<char>(Map[Code] >> 8);
            Bytes += static_cast<char>(Map[Code] & 0xFF);
            const std::optional<QString> Back = Cp932Decode(Bytes, TDecodeMode::Strict);
            if (Back && Back->size() == 1)
                Fold[Code] = Back->at(0).unicode();
        }
    });
    return Fold;
}

// Whether a UTF-8 text holds a character that folds to another. Searches fold every row of a
// column, and nearly every text has nothing to fold: it then passes as it is, without a copy and
// without leaving UTF-8.
bool FoldsAny(const unsigned char* Text, int Length)
{
    const TFoldMap& Fold = FoldMap();
    for (const unsigned char* Pos = Text; Pos < Text + Length;) {
        if (*Pos < 0xC2) {
            ++Pos;
            continue;
        }
        const char32_t Code = DecodeUtf8(Pos, Text + Length);
        if (Code < 0x10000 && Fold[Code] != 0 && Fold[Code] != Code)
            return true;
    }
    return false;
}

QByteArray FoldedUtf8(const unsigned char* Text, int Length)
{
    return Cp932Fold(QString::fromUtf8(reinterpret_cast<const char*>(Text), Length)).toUtf8();
}

void SqlCp932Fold(sqlite3_context* Context, int, sqlite3_value** Values)
{
    if (sqlite3_value_type(Values[0]) != SQLITE_TEXT) {
        sqlite3_result_value(Context, Values[0]);
        return;
    }
    const auto* Text = sqlite3_value_text(Values[0]);
    const int Length = sqlite3_value_bytes(Values[0]);
    if (!FoldsAny(Text, Length)) {
        sqlite3_result_value(Context, Values[0]);
        return;
    }
    const QByteArray Utf8 = FoldedUtf8(Text, Length);
    sqlite3_result_text(Context, Utf8.constData(), static_cast<int>(Utf8.size()), SQLITE_TRANSIENT);
}

bool IsTrimmed(unsigned char Byte)
{
    return Byte >= 0x01 && Byte <= 0x20;
}

// A field as a search reads it (see Cp932SearchBeginsFunctionName). The view points into the
// value, or into Folded when a character had to be folded.
std::string_view SearchText(sqlite3_value* Value, QByteArray& Folded)
{
    if (sqlite3_value_type(Value) == SQLITE_NULL)
        return {};
    const auto* Text = sqlite3_value_text(Value);
    int Length = sqlite3_value_bytes(Value);
    if (!Text)
        return {};
    if (const void* Nul = std::memchr(Text, 0, static_cast<size_t>(Length)))
        Length = static_cast<int>(static_cast<const unsigned char*>(Nul) - Text);
    int Begin = 0;
    while (Begin < Length && IsTrimmed(Text[Begin]))
        ++Begin;
    while (Length > Begin && IsTrimmed(Text[Length - 1]))
        --Length;
    if (!FoldsAny(Text + Begin, Length - Begin))
        return {reinterpret_cast<const char*>(Text) + Begin, static_cast<size_t>(Length - Begin)};
    Folded = FoldedUtf8(Text + Begin, Length - Begin);
    return {Folded.constData(), static_cast<size_t>(Folded.size())};
}

// Characters as SQLite's substr counts them: a lead byte with the continuation bytes after it.
size_t NextCharacter(std::string_view Text, size_t Pos)
{
    if (static_cast<unsigned char>(Text[Pos++]) >= 0xC0)
        while (Pos < Text.size() && (static_cast<unsigned char>(Text[Pos]) & 0xC0) == 0x80)
            ++Pos;
    return Pos;
}

size_t CharacterCount(std::string_view Text)
{
    size_t Count = 0;
    for (size_t Pos = 0; Pos < Text.size(); Pos = NextCharacter(Text, Pos))
        ++Count;
    return Count;
}

// The bytes of the first Count characters of Text.
size_t HeadBytes(std::string_view Text, size_t Count)
{
    size_t Pos = 0;
    for (; Pos < Text.size() && Count > 0; --Count)
        Pos = NextCharacter(Text, Pos);
    return Pos;
}

std::string_view ValueText(sqlite3_value* Value)
{
    const auto* Text = reinterpret_cast<const char*>(sqlite3_value_text(Value));
    return Text ? std::string_view(Text, static_cast<size_t>(sqlite3_value_bytes(Value))) : std::string_view();
}

void SqlSearchBegins(sqlite3_context* Context, int, sqlite3_value** Values)
{
    QByteArray Folded;
    const std::string_view Text = SearchText(Values[0], Folded);
    const std::string_view Part = ValueText(Values[1]);
    // substr(Text, 1, the characters of Part) = Part, byte for byte
    const size_t Head = HeadBytes(Text, CharacterCount(Part));
    sqlite3_result_int(Context, Text.substr(0, Head) == Part ? 1 : 0);
}

void SqlSearchContains(sqlite3_context* Context, int Count, sqlite3_value** Values)
{
    const std::string_view Part = ValueText(Values[0]);
    std::string Joined;
    QByteArray Folded;
    for (int I = 1; I < Count; ++I)
        Joined += SearchText(Values[I], Folded);
    // As instr: a match starts at a character, never inside one.
    bool Found = Part.empty();
    for (size_t Pos = Joined.find(Part); !Found && Pos != std::string::npos; Pos = Joined.find(Part, Pos + 1))
        Found = (static_cast<unsigned char>(Joined[Pos]) & 0xC0) != 0x80;
    sqlite3_result_int(Context, Found ? 1 : 0);
}

int CollateCp932(void*, int LengthA, const void* A, int LengthB, const void* B)
{
    return CompareCp932(static_cast<const char*>(A), LengthA, static_cast<const char*>(B), LengthB, false);
}

int CollateCp932Ci(void*, int LengthA, const void* A, int LengthB, const void* B)
{
    return CompareCp932(static_cast<const char*>(A), LengthA, static_cast<const char*>(B), LengthB, true);
}

} // namespace

int CompareCp932(const char* A, int LengthA, const char* B, int LengthB, bool FoldAscii)
{
    // Each character maps on its own, so an equal head of UTF-8 bytes is an equal head of CP932
    // bytes: start at the first character that differs.
    const int Shorter = std::min(LengthA, LengthB);
    int Same = static_cast<int>(std::mismatch(A, A + Shorter, B).first - A);
    if (Same == LengthA && Same == LengthB)
        return 0;
    // The common case: the first difference lies between two ASCII characters (or an end).
    const int HeadA = Same < LengthA ? static_cast<unsigned char>(A[Same]) : -1;
    const int HeadB = Same < LengthB ? static_cast<unsigned char>(B[Same]) : -1;
    if (HeadA < 0x80 && HeadB < 0x80) {
        auto Folded = [FoldAscii](int Byte) {
            return FoldAscii && Byte >= 'a' && Byte <= 'z' ? Byte - 'a' + 'A' : Byte;
        };
        if (Folded(HeadA) != Folded(HeadB))
            return Folded(HeadA) < Folded(HeadB) ? -1 : 1;
    }
    // Both streams must start at a character: back up while either text has a continuation byte
    // at the first difference (one text's character may run on where the other's was cut short),
    // then over the common head's continuation bytes.
    const auto Continues = [](const char* Text, int Length, int Index) {
        return Index < Length && (static_cast<unsigned char>(Text[Index]) & 0xC0) == 0x80;
    };
    while (Same > 0 && (Continues(A, LengthA, Same) || Continues(B, LengthB, Same)))
        --Same;
    const TCp932Map& Map = Cp932Map();
    TCp932Stream StreamA(reinterpret_cast<const unsigned char*>(A) + Same, LengthA - Same, FoldAscii, Map);
    TCp932Stream StreamB(reinterpret_cast<const unsigned char*>(B) + Same, LengthB - Same, FoldAscii, Map);
    for (;;) {
        const int ByteA = StreamA.Next();
        const int ByteB = StreamB.Next();
        if (ByteA != ByteB)
            return ByteA < ByteB ? -1 : 1;
        if (ByteA < 0)
            break;
    }
    if (FoldAscii)
        return 0;
    const int Common = std::memcmp(A, B, static_cast<size_t>(std::min(LengthA, LengthB)));
    if (Common != 0)
        return Common < 0 ? -1 : 1;
    return LengthA == LengthB ? 0 : (LengthA < LengthB ? -1 : 1);
}

int CompareCp932(const QString& A, const QString& B, bool FoldAscii)
{
    const QByteArray Utf8A = A.toUtf8();
    const QByteArray Utf8B = B.toUtf8();
    return CompareCp932(Utf8A.constData(), static_cast<int>(Utf8A.size()), Utf8B.constData(),
                        static_cast<int>(Utf8B.size()), FoldAscii);
}

QString Cp932Fold(const QString& Text)
{
    const TFoldMap& Fold = FoldMap();
    QString Result = Text;
    for (QChar& Char : Result)
        if (const char16_t To = Fold[Char.unicode()]; To != 0 && To != Char.unicode())
            Char = QChar(To);
    return Result;
}

void RegisterCp932Collations(sqlite3* Db)
{
    Cp932Map();
    FoldMap();
    sqlite3_create_function_v2(Db, Cp932FoldFunctionName, 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS,
                               nullptr, SqlCp932Fold, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(Db, Cp932SearchBeginsFunctionName, 2,
                               SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr, SqlSearchBegins, nullptr,
                               nullptr, nullptr);
    sqlite3_create_function_v2(Db, Cp932SearchContainsFunctionName, -1,
                               SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr, SqlSearchContains,
                               nullptr, nullptr, nullptr);
    sqlite3_create_collation_v2(Db, Cp932CollationName, SQLITE_UTF8, nullptr, CollateCp932, nullptr);
    sqlite3_create_collation_v2(Db, Cp932CiCollationName, SQLITE_UTF8, nullptr, CollateCp932Ci, nullptr);
}
