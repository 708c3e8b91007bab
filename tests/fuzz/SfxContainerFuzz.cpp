// The restorer's reading of a self-restoring file, on any bytes: the header, the trailer and the
// records, where nothing reaches the output before the name has been checked and accepted. And the
// round trip: any bytes sealed under any name come back whole with the password in the other case,
// while one changed or missing byte is always refused.

#include "FuzzSupport.h"
#include "peers/vtxcrtpup/SfxContainer.h"

#include <sodium.h>
#include <string>

namespace {

std::string Std(const QByteArray& Bytes)
{
    return std::string(Bytes.constData(), static_cast<std::size_t>(Bytes.size()));
}

TSfxRead ReaderOf(const std::string& Bytes, std::size_t& Position)
{
    return [&Bytes, &Position](unsigned char* Buffer, std::size_t Size) -> long long {
        const std::size_t Count = std::min(Size, Bytes.size() - Position);
        std::memcpy(Buffer, Bytes.data() + Position, Count);
        Position += Count;
        return static_cast<long long>(Count);
    };
}

struct TRestored
{
    TSfxResult Result = TSfxResult::Ok;
    std::string Name;
    std::string Text;
    int Names = 0;
};

TRestored Restore(const std::string& Container, const std::string& Password)
{
    TRestored Out;
    std::size_t Position = 0;
    Out.Result = SfxReadContainer(
        Password, ReaderOf(Container, Position),
        [&](const std::string& Name) {
            ++Out.Names;
            Out.Name = Name;
            return true;
        },
        [&](const unsigned char* Data, std::size_t Size) {
            VX_FUZZ_CHECK(Out.Names == 1);
            Out.Text.append(reinterpret_cast<const char*>(Data), Size);
            return true;
        });
    return Out;
}

// Hostile bytes read as a container's records under a fixed key.
void ReadHostile(const std::string& Bytes)
{
    unsigned char Head[SfxHeaderSize] = {};
    std::memcpy(Head, Bytes.data(), std::min(Bytes.size(), sizeof Head));
    TSfxHeader Header;
    if (SfxParseHeader(Head, Header))
        VX_FUZZ_CHECK(SfxLimitsAcceptable(Header.OpsLimit, Header.MemLimit));
    std::memcpy(Header.StreamHeader, Head + 44, sizeof Header.StreamHeader);
    std::memcpy(Header.Bytes, Head, sizeof Head);
    unsigned char Key[SfxKeySize];
    for (std::size_t I = 0; I < SfxKeySize; ++I)
        Key[I] = static_cast<unsigned char>(I);
    std::size_t Position = std::min(Bytes.size(), SfxHeaderSize);
    int Names = 0;
    const TSfxResult Result = SfxReadRecords(
        Header, Key, ReaderOf(Bytes, Position),
        [&](const std::string& Name) {
            VX_FUZZ_CHECK(SfxPlainFileName(Name));
            ++Names;
            return true;
        },
        [&](const unsigned char*, std::size_t) {
            VX_FUZZ_CHECK(Names == 1);
            return true;
        });
    if (Result == TSfxResult::Ok)
        VX_FUZZ_CHECK(Names == 1);

    if (Bytes.size() >= SfxTrailerSize) {
        unsigned char Trailer[SfxTrailerSize];
        std::memcpy(Trailer, Bytes.data() + Bytes.size() - SfxTrailerSize, SfxTrailerSize);
        std::uint64_t Length = 0;
        VX_FUZZ_CHECK(SfxParseTrailer(Trailer, Length) == (std::memcmp(Trailer + 8, SfxTrailerMagic, 8) == 0));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    if (sodium_init() < 0)
        std::abort();
    TFuzzInput Input(Data, Size);
    const std::string All(reinterpret_cast<const char*>(Data), Size);
    ReadHostile(All);

    // The password: up to sixteen letters and digits; the name: a plain one made of the input.
    std::string Password;
    for (const char C : Input.Bytes(16)) {
        static const char Alphabet[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
        Password += Alphabet[static_cast<unsigned char>(C) % 62];
    }
    if (Password.empty())
        Password = "Abc12345";
    std::string Name = Std(Input.Piece());
    for (char& C : Name)
        if (C == '/' || C == '\0')
            C = '_';
    if (!SfxPlainFileName(Name))
        Name = "Rireki.txt";
    const std::uint32_t Where = Input.Number<std::uint32_t>();
    // Several chunks only now and then, so that the run stays quick.
    std::string Text = Std(Input.Rest());
    if (!Text.empty() && Text[0] == 'L')
        Text = std::string(SfxChunkSize * 2 + Text.size(), Text.back());

    std::string Container;
    std::size_t Position = 0;
    const TSfxResult Sealed = SfxWriteContainer(
        Password, Name, ReaderOf(Text, Position),
        [&](const unsigned char* Bytes, std::size_t Count) {
            Container.append(reinterpret_cast<const char*>(Bytes), Count);
            return true;
        },
        crypto_pwhash_OPSLIMIT_MIN, crypto_pwhash_MEMLIMIT_MIN);
    VX_FUZZ_CHECK(Sealed == TSfxResult::Ok);

    std::string Other = Password;
    for (char& C : Other)
        C = static_cast<char>(std::isupper(static_cast<unsigned char>(C)) ? std::tolower(C) : std::toupper(C));
    const TRestored Back = Restore(Container, Other);
    VX_FUZZ_CHECK(Back.Result == TSfxResult::Ok);
    VX_FUZZ_CHECK(Back.Name == Name);
    VX_FUZZ_CHECK(Back.Text == Text);

    std::string Damaged = Container;
    const std::size_t At = Where % Damaged.size();
    Damaged[At] ^= static_cast<char>(1 << (Where >> 29));
    if (At >= 8 && At < 24) {
        // A changed limit of the key derivation can ask for a gigabyte and many passes, seconds of work
        // that would end in a key of its own and the refusal of the first record. That the limits read
        // differ, or are refused outright, is what makes the key differ.
        unsigned char Head[SfxHeaderSize];
        std::memcpy(Head, Damaged.data(), sizeof Head);
        TSfxHeader Header;
        if (SfxParseHeader(Head, Header))
            VX_FUZZ_CHECK(Header.OpsLimit != crypto_pwhash_OPSLIMIT_MIN ||
                          Header.MemLimit != crypto_pwhash_MEMLIMIT_MIN);
    } else {
        VX_FUZZ_CHECK(Restore(Damaged, Password).Result != TSfxResult::Ok);
    }
    VX_FUZZ_CHECK(Restore(Container.substr(0, Where % Container.size()), Password).Result != TSfxResult::Ok);
    return 0;
}
