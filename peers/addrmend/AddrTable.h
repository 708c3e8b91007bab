#pragma once

// The conversion table both address-conversion stand-ins read, and the records they exchange with
// the program. Each library is built on its own; this header is their only shared code.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iconv.h>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <vector>

#define VX_EXPORT extern "C" __attribute__((visibility("default")))

namespace AddrPeer {

struct TCvtAdrsIn
{
    char Address[186];
    char Folder[256];
};
static_assert(sizeof(TCvtAdrsIn) == 442);

struct TCvtAdrsOut
{
    char Whole[186];
    char Tdfkn[10];
    char City[26];
    char Rest[152];
};
static_assert(sizeof(TCvtAdrsOut) == 374);
static_assert(offsetof(TCvtAdrsOut, Rest) == 222);

struct TYAdrsToIn
{
    char Unused[194];
    char Address[186];
    char Folder[256];
};
static_assert(sizeof(TYAdrsToIn) == 636);

struct TYAdrsToOut
{
    char JisCode[6];
    char Unused[376];
    char Pos[8];
};
static_assert(sizeof(TYAdrsToOut) == 390);
static_assert(offsetof(TYAdrsToOut, Pos) == 382);

constexpr std::int32_t RcConverted = 0;
constexpr std::int32_t RcUnknown = 1;
constexpr std::int32_t RcBadArgument = 3;
constexpr std::int32_t RcUnreadable = 4;

constexpr char TableFileName[] = "Addrmend.tsv";

// One line of the table, its texts already in CP932. NewKey is the converted form of OldKey, so that
// an address converted once is still known to the postal-code library.
struct TEntry
{
    std::string OldKey;
    std::string Tdfkn;
    std::string City;
    std::string JisCode;
    std::string Pos;
    std::string NewKey;
};

inline bool ToCp932(const std::string& Utf8, std::string& Out)
{
    iconv_t Cd = iconv_open("CP932", "UTF-8");
    if (Cd == reinterpret_cast<iconv_t>(-1))
        return false;
    std::string In = Utf8;
    Out.assign(In.size() * 2 + 4, '\0');
    char* Src = In.data();
    std::size_t SrcLeft = In.size();
    char* Dst = Out.data();
    std::size_t DstLeft = Out.size();
    const bool Ok = iconv(Cd, &Src, &SrcLeft, &Dst, &DstLeft) != static_cast<std::size_t>(-1);
    iconv_close(Cd);
    Out.resize(Out.size() - DstLeft);
    return Ok;
}

inline bool IsLeadByte(unsigned char Byte)
{
    return (Byte >= 0x81 && Byte <= 0x9F) || (Byte >= 0xE0 && Byte <= 0xFC);
}

// The text of a fixed field, up to its NUL or its end.
inline std::string FieldText(const char* Field, std::size_t Size)
{
    const void* Nul = std::memchr(Field, 0, Size);
    return std::string(Field, Nul ? static_cast<const char*>(Nul) - Field : Size);
}

// Puts Text into a field with room for its NUL, never ending inside a double-byte character.
inline void PutField(char* Field, std::size_t Size, const std::string& Text)
{
    std::size_t Length = 0;
    while (Length < Text.size()) {
        const std::size_t Width = IsLeadByte(static_cast<unsigned char>(Text[Length])) ? 2 : 1;
        if (Length + Width > Size - 1)
            break;
        Length += Width;
    }
    std::memcpy(Field, Text.data(), Length);
}

// A byte prefix that also ends on a character boundary of Text, so "ab" never matches inside a
// double-byte character.
inline bool BeginsWith(const std::string& Text, const std::string& Key)
{
    if (Key.empty() || Text.size() < Key.size() || Text.compare(0, Key.size(), Key) != 0)
        return false;
    std::size_t At = 0;
    while (At < Key.size())
        At += IsLeadByte(static_cast<unsigned char>(Text[At])) ? 2 : 1;
    return At == Key.size();
}

struct TTable
{
    std::string Folder;
    // The file as it was read: a table replaced since is read again.
    std::int64_t Size = -1;
    std::int64_t ModifiedNs = -1;
    bool Readable = false;
    std::vector<TEntry> Entries;
};

inline std::vector<std::string> SplitTabs(const std::string& Line)
{
    std::vector<std::string> Fields;
    std::size_t From = 0;
    for (;;) {
        const std::size_t Tab = Line.find('\t', From);
        Fields.push_back(Line.substr(From, Tab == std::string::npos ? std::string::npos : Tab - From));
        if (Tab == std::string::npos)
            return Fields;
        From = Tab + 1;
    }
}

inline void FillNewKeys(std::vector<TEntry>& Entries)
{
    for (TEntry& Entry : Entries) {
        // The same place's shortest line names the old municipality; what follows it carries over.
        const TEntry* Base = &Entry;
        for (const TEntry& Other : Entries)
            if (Other.Tdfkn == Entry.Tdfkn && Other.City == Entry.City && Other.OldKey.size() < Base->OldKey.size() &&
                BeginsWith(Entry.OldKey, Other.OldKey))
                Base = &Other;
        Entry.NewKey = Entry.Tdfkn + Entry.City + Entry.OldKey.substr(Base->OldKey.size());
    }
}

// The table of a folder, read again only when another folder is asked for or the file changed.
inline const TTable& TableOf(const std::string& Folder)
{
    static std::mutex Lock;
    static TTable Cached;
    const std::lock_guard<std::mutex> Guard(Lock);
    const std::string FileName = Folder + TableFileName;
    struct stat Info
    {
    };
    const bool Exists = ::stat(FileName.c_str(), &Info) == 0;
    const std::int64_t Size = Exists ? static_cast<std::int64_t>(Info.st_size) : -1;
    const std::int64_t ModifiedNs =
        Exists ? static_cast<std::int64_t>(Info.st_mtim.tv_sec) * 1000000000 + Info.st_mtim.tv_nsec : -1;
    if (Cached.Readable && Cached.Folder == Folder && Cached.Size == Size && Cached.ModifiedNs == ModifiedNs)
        return Cached;
    Cached = TTable{Folder, Size, ModifiedNs, false, {}};
    std::ifstream In(FileName, std::ios::binary);
    if (!In)
        return Cached;
    std::string Line;
    bool First = true;
    while (std::getline(In, Line)) {
        if (First && Line.compare(0, 3, "\xEF\xBB\xBF") == 0)
            Line.erase(0, 3);
        First = false;
        if (!Line.empty() && Line.back() == '\r')
            Line.pop_back();
        if (Line.empty() || Line[0] == '#')
            continue;
        std::vector<std::string> Fields = SplitTabs(Line);
        Fields.resize(5);
        TEntry Entry;
        if (!ToCp932(Fields[0], Entry.OldKey) || !ToCp932(Fields[1], Entry.Tdfkn) || !ToCp932(Fields[2], Entry.City) ||
            !ToCp932(Fields[3], Entry.JisCode) || !ToCp932(Fields[4], Entry.Pos) || Entry.OldKey.empty())
            continue;
        Cached.Entries.push_back(std::move(Entry));
    }
    FillNewKeys(Cached.Entries);
    Cached.Readable = true;
    return Cached;
}

// The line whose key begins Address, the longest key winning; null when none does.
template <typename TKeyOf> const TEntry* Longest(const TTable& Table, const std::string& Address, TKeyOf KeyOf)
{
    const TEntry* Best = nullptr;
    for (const TEntry& Entry : Table.Entries)
        if (BeginsWith(Address, KeyOf(Entry)) && (!Best || KeyOf(Entry).size() > KeyOf(*Best).size()))
            Best = &Entry;
    return Best;
}

// A folder field without its NUL is refused; the caller answers RcBadArgument.
inline bool FolderOf(const char* Field, std::size_t Size, std::string& Folder)
{
    if (!std::memchr(Field, 0, Size))
        return false;
    Folder = Field;
    return true;
}

} // namespace AddrPeer
