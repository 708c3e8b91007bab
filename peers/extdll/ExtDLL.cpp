// A sample extension library: it appends each call's time, number and name to "calls.txt" in the
// settings folder, one line a call, in UTF-8. Copy ExtDLL.so next to the program to use it.

#include "platform/sys/FileVersionNote.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <iconv.h>
#include <string>

namespace {

// The block the program hands over for each call: 1024 bytes, texts CP932 and NUL-terminated.
#pragma pack(push, 1)
struct TExtDLLBlock
{
    char SchTel0[12];
    char SchTel1[12];
    char Tel0[14];
    char Tel1[14];
    std::int32_t TelIndex;
    char Pos[9];
    char Tdfkn[9];
    char Adrs1[33];
    char Adrs2[153];
    char JisCode[6];
    char CorpKana[81];
    char CorpKanji[113];
    char NameKana[21];
    char NameKanji[23];
    std::int32_t PrivCorp;
    char Memo1[101];
    char Memo3[101];
    char Memo2[101];
    char Rank[21];
    std::int32_t Latitude;
    std::int32_t Longitude;
    double RecvDateTime; // days since 1899-12-30
    double BeforeRecvDateTime;
    std::int32_t Division;
    char SelItem1[31];
    char SelItem2[31];
    char SelItem3[31];
    char EMail[65];
    char Reserved[6];
};
#pragma pack(pop)
static_assert(sizeof(TExtDLLBlock) == 1024, "the block is 1024 bytes");

// A slot's text, which the program terminates inside the slot; a slot without its NUL is cut at its end.
template <std::size_t N> std::string SlotText(const char (&Slot)[N])
{
    return std::string(Slot, strnlen(Slot, N));
}

std::string ToUtf8(const std::string& Cp932)
{
    iconv_t Converter = iconv_open("UTF-8", "CP932");
    if (Converter == reinterpret_cast<iconv_t>(-1))
        return Cp932;
    std::string Out(Cp932.size() * 3 + 1, '\0');
    char* In = const_cast<char*>(Cp932.data());
    std::size_t InLeft = Cp932.size();
    char* OutPtr = Out.data();
    std::size_t OutLeft = Out.size();
    const bool Ok = iconv(Converter, &In, &InLeft, &OutPtr, &OutLeft) != static_cast<std::size_t>(-1);
    iconv_close(Converter);
    if (!Ok)
        return Cp932;
    Out.resize(Out.size() - OutLeft);
    return Out;
}

// "yyyy/mm/dd hh:nn:ss" of a date-time in days since 1899-12-30. The value is the local time of the
// call; read as if it were UTC, the broken-down fields are exactly that local time.
std::string FormatTime(double Days)
{
    if (Days <= 0)
        return "";
    const std::time_t Seconds = static_cast<std::time_t>((Days - 25569.0) * 86400.0 + 0.5);
    std::tm Fields{};
    gmtime_r(&Seconds, &Fields);
    char Text[32];
    std::strftime(Text, sizeof Text, "%Y/%m/%d %H:%M:%S", &Fields);
    return Text;
}

} // namespace

VX_FILE_VERSION(1, 0, 0, 0);

extern "C" __attribute__((visibility("default"))) std::int32_t ExtendDLLFunc(TExtDLLBlock* Block,
                                                                             const char* SettingsFolder)
{
    if (!Block || !SettingsFolder)
        return 0;
    const std::string Path = std::string(SettingsFolder) + "calls.txt";
    std::FILE* File = std::fopen(Path.c_str(), "a");
    if (!File)
        return 0;
    const std::string Name = Block->CorpKanji[0] ? SlotText(Block->CorpKanji) : SlotText(Block->NameKanji);
    const std::string Line =
        FormatTime(Block->RecvDateTime) + "\t" + ToUtf8(SlotText(Block->Tel0)) + "\t" + ToUtf8(Name) + "\n";
    const bool Written = std::fputs(Line.c_str(), File) >= 0;
    return std::fclose(File) == 0 && Written ? 1 : 0;
}
