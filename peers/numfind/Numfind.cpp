// Stand-in for Numfind: a telephone number to a subscriber entry, from the number list
// Numfind.csv in the dictionary folder (format in README.md beside this file).
//
// Return codes: 0 found; 1 not found (no list, or the number is not in it); 3 a bad argument;
// 4 the list exists but cannot be read.

#include "platform/sys/FileVersionNote.h"

#include <cerrno>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iconv.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

#define VX_EXPORT extern "C" __attribute__((visibility("default")))

struct TNumfindRecord
{
    char Tel[14];
    char Pos[8];
    char NameKanji[114];
    char NameKana[62];
    char TdfknCity[40];
    char Adrs1[38];
    char Adrs2[118];
    char Reserved[90];
    char Codes[12];
    char TypeCode[4];
    std::uint32_t Latitude;
    std::uint32_t Longitude;
};
static_assert(sizeof(TNumfindRecord) == 508);
static_assert(offsetof(TNumfindRecord, Codes) == 484);
static_assert(offsetof(TNumfindRecord, Latitude) == 500);

constexpr int RcFound = 0;
constexpr int RcNotFound = 1;
constexpr int RcBadArgument = 3;
constexpr int RcUnreadable = 4;

constexpr char ListFileName[] = "Numfind.csv";

enum TField
{
    FieldTel,
    FieldPos,
    FieldName,
    FieldReading,
    FieldTdfknCity,
    FieldAdrs1,
    FieldAdrs2,
    FieldJisCode,
    FieldKajoCode,
    FieldTypeCode,
    FieldLatitude,
    FieldLongitude,
    FieldCount
};

std::string DigitsOf(const std::string& Text)
{
    std::string Digits;
    for (char C : Text)
        if (C >= '0' && C <= '9')
            Digits += C;
    return Digits;
}

std::string Trim(const std::string& Text)
{
    const auto First = Text.find_first_not_of(" \t\r\n");
    if (First == std::string::npos)
        return {};
    return Text.substr(First, Text.find_last_not_of(" \t\r\n") - First + 1);
}

std::vector<std::string> SplitCommas(const std::string& Line)
{
    std::vector<std::string> Fields;
    std::string::size_type Start = 0;
    for (;;) {
        const auto Comma = Line.find(',', Start);
        Fields.push_back(Trim(Line.substr(Start, Comma == std::string::npos ? std::string::npos : Comma - Start)));
        if (Comma == std::string::npos)
            break;
        Start = Comma + 1;
    }
    Fields.resize(FieldCount);
    return Fields;
}

bool IsLeadByte(unsigned char Byte)
{
    return (Byte >= 0x81 && Byte <= 0x9F) || (Byte >= 0xE0 && Byte <= 0xFC);
}

// The list is UTF-8; the record is CP932. A character CP932 lacks becomes the geta mark, visibly.
std::string ToCp932(const std::string& Utf8)
{
    iconv_t Cd = iconv_open("CP932", "UTF-8");
    if (Cd == reinterpret_cast<iconv_t>(-1))
        return {};
    std::string Out;
    char* In = const_cast<char*>(Utf8.data());
    std::size_t InLeft = Utf8.size();
    char Chunk[256];
    while (InLeft > 0) {
        char* OutPtr = Chunk;
        std::size_t OutLeft = sizeof(Chunk);
        const std::size_t Rc = iconv(Cd, &In, &InLeft, &OutPtr, &OutLeft);
        Out.append(Chunk, OutPtr - Chunk);
        if (Rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
            Out += "\x81\xAC";
            // Skip the one UTF-8 character that could not be written.
            do {
                ++In;
                --InLeft;
            } while (InLeft > 0 && (static_cast<unsigned char>(*In) & 0xC0) == 0x80);
        }
    }
    iconv_close(Cd);
    return Out;
}

// Copies Text into a fixed field, space-padded as the dictionary's own fields are, never
// splitting a double-byte character at the cut.
void Put(char* Field, std::size_t Size, const std::string& Text)
{
    std::string Bytes = ToCp932(Text);
    // A control character has no place in a record's text; a NUL would even end it early for the
    // reader. Each becomes a blank (no CP932 trail byte is that low).
    for (char& Byte : Bytes)
        if (static_cast<unsigned char>(Byte) < 0x20)
            Byte = ' ';
    std::size_t Length = 0;
    while (Length < Bytes.size()) {
        const std::size_t Step = IsLeadByte(static_cast<unsigned char>(Bytes[Length])) ? 2 : 1;
        if (Length + Step > Size)
            break;
        Length += Step;
    }
    std::memset(Field, ' ', Size);
    std::memcpy(Field, Bytes.data(), Length);
}

// Decimal degrees to the dictionary's unit, 1/256 second of arc; blank or unreadable is 0.
std::uint32_t ToArc256(const std::string& Degrees)
{
    if (Degrees.empty())
        return 0;
    char* End = nullptr;
    const double Value = std::strtod(Degrees.c_str(), &End);
    if (End == Degrees.c_str() || Value < 0 || Value > 360)
        return 0;
    return static_cast<std::uint32_t>(std::llround(Value * 3600.0 * 256.0));
}

void Fill(TNumfindRecord& Record, const std::vector<std::string>& Fields)
{
    Put(Record.Tel, sizeof(Record.Tel), DigitsOf(Fields[FieldTel]));
    Put(Record.Pos, sizeof(Record.Pos), DigitsOf(Fields[FieldPos]));
    Put(Record.NameKanji, sizeof(Record.NameKanji), Fields[FieldName]);
    Put(Record.NameKana, sizeof(Record.NameKana), Fields[FieldReading]);
    Put(Record.TdfknCity, sizeof(Record.TdfknCity), Fields[FieldTdfknCity]);
    Put(Record.Adrs1, sizeof(Record.Adrs1), Fields[FieldAdrs1]);
    Put(Record.Adrs2, sizeof(Record.Adrs2), Fields[FieldAdrs2]);
    std::string Jis = Fields[FieldJisCode].substr(0, 5);
    Jis.resize(5, ' ');
    Put(Record.Codes, sizeof(Record.Codes), Jis + Fields[FieldKajoCode].substr(0, 6));
    Put(Record.TypeCode, sizeof(Record.TypeCode), Fields[FieldTypeCode].substr(0, 2));
    Record.Latitude = ToArc256(Fields[FieldLatitude]);
    Record.Longitude = ToArc256(Fields[FieldLongitude]);
}

int Search(const char* Number, void* Record, const char* DicFolder)
{
    if (!Number || !Record || !DicFolder)
        return RcBadArgument;
    auto& Out = *static_cast<TNumfindRecord*>(Record);
    std::memset(&Out, 0, sizeof(Out));
    const std::string Key = DigitsOf(Number);
    if (Key.empty())
        return RcNotFound;

    std::string Path(DicFolder);
    if (!Path.empty() && Path.back() != '/')
        Path += '/';
    Path += ListFileName;
    std::ifstream List(Path, std::ios::binary);
    if (!List)
        return access(Path.c_str(), F_OK) != 0 ? RcNotFound : RcUnreadable;
    std::string Line;
    bool FirstLine = true;
    while (std::getline(List, Line)) {
        if (FirstLine && Line.rfind("\xEF\xBB\xBF", 0) == 0)
            Line.erase(0, 3);
        FirstLine = false;
        const std::string Trimmed = Trim(Line);
        if (Trimmed.empty() || Trimmed[0] == '#')
            continue;
        const auto Fields = SplitCommas(Trimmed);
        if (DigitsOf(Fields[FieldTel]) == Key) {
            Fill(Out, Fields);
            return RcFound;
        }
    }
    return List.bad() ? RcUnreadable : RcNotFound;
}

} // namespace

VX_FILE_VERSION(1, 0, 0, 0);

VX_EXPORT int SearchFromTelK(const char* Number, void* Record, const char* WorkFolder, const char* DicFolder)
{
    return Search(Number, Record, DicFolder);
}

// The other entries of the dictionary's interface; the product binds them but never calls them.
VX_EXPORT int SearchTel(const char* Number, void* Record, const char* WorkFolder, const char* DicFolder)
{
    return Search(Number, Record, DicFolder);
}

VX_EXPORT int SearchTelOne(const char* Number, void* Record, const char* WorkFolder, const char* DicFolder)
{
    return Search(Number, Record, DicFolder);
}

VX_EXPORT int pup_tel_mask(void)
{
    return 0;
}
