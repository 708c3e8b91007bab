#include "SfxContainer.h"

#include <cerrno>
#include <cstring>
#include <sodium.h>
#include <unistd.h>
#include <vector>

namespace {

void PutLe(unsigned char* To, std::uint64_t Value, int Bytes)
{
    for (int I = 0; I < Bytes; ++I)
        To[I] = static_cast<unsigned char>(Value >> (8 * I));
}

std::uint64_t GetLe(const unsigned char* From, int Bytes)
{
    std::uint64_t Value = 0;
    for (int I = Bytes - 1; I >= 0; --I)
        Value = (Value << 8) | From[I];
    return Value;
}

// Fills Buffer completely; answers the bytes read (short only at the end) or -1.
long long ReadFull(const TSfxRead& Input, unsigned char* Buffer, std::size_t Size)
{
    std::size_t Done = 0;
    while (Done < Size) {
        const long long Got = Input(Buffer + Done, Size - Done);
        if (Got < 0)
            return -1;
        if (Got == 0)
            break;
        Done += static_cast<std::size_t>(Got);
    }
    return static_cast<long long>(Done);
}

// The key must not outlive its use in memory that is later reused.
struct TKeyGuard
{
    unsigned char (&Key)[SfxKeySize];
    ~TKeyGuard() { sodium_memzero(Key, sizeof Key); }
};

bool WriteRecord(crypto_secretstream_xchacha20poly1305_state& State, const unsigned char* Plain, std::size_t Size,
                 unsigned char Tag, std::vector<unsigned char>& Sealed, const TSfxWrite& Output,
                 const unsigned char* Additional = nullptr, std::size_t AdditionalSize = 0)
{
    Sealed.resize(4 + Size + crypto_secretstream_xchacha20poly1305_ABYTES);
    unsigned long long SealedSize = 0;
    crypto_secretstream_xchacha20poly1305_push(&State, Sealed.data() + 4, &SealedSize, Plain, Size, Additional,
                                               AdditionalSize, Tag);
    PutLe(Sealed.data(), SealedSize, 4);
    return Output(Sealed.data(), 4 + static_cast<std::size_t>(SealedSize));
}

// A field's text up to its NUL; false when the field holds no NUL.
bool FieldText(const unsigned char* Field, std::size_t Size, std::string& Text)
{
    const void* End = std::memchr(Field, 0, Size);
    if (!End)
        return false;
    Text.assign(reinterpret_cast<const char*>(Field),
                static_cast<std::size_t>(static_cast<const unsigned char*>(End) - Field));
    return true;
}

} // namespace

bool SfxParseCall(const unsigned char* Settings, const unsigned char* NameBuffer, TSfxCall& Call)
{
    if (!Settings || !NameBuffer)
        return false;
    const std::int32_t Flag = static_cast<std::int32_t>(GetLe(Settings + 84, 4));
    return Flag == 1 && FieldText(Settings + 40, 44, Call.Password) && !Call.Password.empty() &&
           FieldText(Settings + 88, 256, Call.Folder) && !Call.Folder.empty() && Call.Folder.back() == '/' &&
           FieldText(NameBuffer, SfxNameBufferSize, Call.Name) && SfxPlainFileName(Call.Name);
}

bool SfxWriteAll(int Fd, const unsigned char* Data, std::size_t Size)
{
    for (std::size_t Done = 0; Done < Size;) {
        const ssize_t Put = ::write(Fd, Data + Done, Size - Done);
        if (Put < 0 && errno == EINTR)
            continue;
        if (Put < 0)
            return false;
        Done += static_cast<std::size_t>(Put);
    }
    return true;
}

std::string SfxFoldPassword(const std::string& Password)
{
    std::string Folded = Password;
    for (char& C : Folded)
        if (C >= 'A' && C <= 'Z')
            C = static_cast<char>(C - 'A' + 'a');
    return Folded;
}

bool SfxPlainFileName(const std::string& Name)
{
    return !Name.empty() && Name.size() <= SfxMaxNameBytes && Name.find('/') == std::string::npos &&
           Name.find('\0') == std::string::npos && Name != "." && Name != "..";
}

bool SfxLimitsAcceptable(std::uint64_t OpsLimit, std::uint64_t MemLimit)
{
    return OpsLimit >= crypto_pwhash_OPSLIMIT_MIN && OpsLimit <= crypto_pwhash_OPSLIMIT_SENSITIVE &&
           MemLimit >= crypto_pwhash_MEMLIMIT_MIN && MemLimit <= crypto_pwhash_MEMLIMIT_SENSITIVE;
}

bool SfxParseHeader(const unsigned char (&Bytes)[SfxHeaderSize], TSfxHeader& Header)
{
    if (std::memcmp(Bytes, SfxMagic, sizeof SfxMagic) != 0)
        return false;
    Header.OpsLimit = GetLe(Bytes + 8, 8);
    Header.MemLimit = GetLe(Bytes + 16, 8);
    Header.Alg = static_cast<std::int32_t>(GetLe(Bytes + 24, 4));
    std::memcpy(Header.Salt, Bytes + 28, sizeof Header.Salt);
    std::memcpy(Header.StreamHeader, Bytes + 44, sizeof Header.StreamHeader);
    std::memcpy(Header.Bytes, Bytes, sizeof Header.Bytes);
    return Header.Alg == crypto_pwhash_ALG_ARGON2ID13 && SfxLimitsAcceptable(Header.OpsLimit, Header.MemLimit);
}

bool SfxDeriveKey(const std::string& Password, const TSfxHeader& Header, unsigned char (&Key)[SfxKeySize])
{
    static_assert(sizeof TSfxHeader::Salt == crypto_pwhash_SALTBYTES);
    static_assert(sizeof TSfxHeader::StreamHeader == crypto_secretstream_xchacha20poly1305_HEADERBYTES);
    static_assert(SfxKeySize == crypto_secretstream_xchacha20poly1305_KEYBYTES);
    if (sodium_init() < 0)
        return false;
    std::string Folded = SfxFoldPassword(Password);
    const bool Derived = crypto_pwhash(Key, sizeof Key, Folded.data(), Folded.size(), Header.Salt, Header.OpsLimit,
                                       static_cast<std::size_t>(Header.MemLimit), Header.Alg) == 0;
    sodium_memzero(Folded.data(), Folded.size());
    return Derived;
}

TSfxResult SfxWriteContainer(const std::string& Password, const std::string& Name, const TSfxRead& Input,
                             const TSfxWrite& Output, std::uint64_t OpsLimit, std::uint64_t MemLimit)
{
    if (!SfxPlainFileName(Name))
        return TSfxResult::BadName;
    if (sodium_init() < 0)
        return TSfxResult::CryptoFailed;
    TSfxHeader Header;
    Header.OpsLimit = OpsLimit;
    Header.MemLimit = MemLimit;
    Header.Alg = crypto_pwhash_ALG_ARGON2ID13;
    randombytes_buf(Header.Salt, sizeof Header.Salt);
    unsigned char Key[SfxKeySize];
    TKeyGuard Guard{Key};
    if (!SfxDeriveKey(Password, Header, Key))
        return TSfxResult::CryptoFailed;
    crypto_secretstream_xchacha20poly1305_state State;
    crypto_secretstream_xchacha20poly1305_init_push(&State, Header.StreamHeader, Key);

    unsigned char Head[SfxHeaderSize];
    std::memcpy(Head, SfxMagic, sizeof SfxMagic);
    PutLe(Head + 8, Header.OpsLimit, 8);
    PutLe(Head + 16, Header.MemLimit, 8);
    PutLe(Head + 24, static_cast<std::uint32_t>(Header.Alg), 4);
    std::memcpy(Head + 28, Header.Salt, sizeof Header.Salt);
    std::memcpy(Head + 44, Header.StreamHeader, sizeof Header.StreamHeader);
    if (!Output(Head, sizeof Head))
        return TSfxResult::WriteFailed;

    std::vector<unsigned char> Sealed;
    if (!WriteRecord(State, reinterpret_cast<const unsigned char*>(Name.data()), Name.size(),
                     crypto_secretstream_xchacha20poly1305_TAG_MESSAGE, Sealed, Output, Head, sizeof Head))
        return TSfxResult::WriteFailed;
    // One chunk is read ahead, so that the last one carries the final tag without an empty record
    // after it.
    std::vector<unsigned char> Chunk(SfxChunkSize), Next(SfxChunkSize);
    long long Got = ReadFull(Input, Chunk.data(), Chunk.size());
    if (Got < 0)
        return TSfxResult::ReadFailed;
    for (;;) {
        long long NextGot = 0;
        if (static_cast<std::size_t>(Got) == SfxChunkSize) {
            NextGot = ReadFull(Input, Next.data(), Next.size());
            if (NextGot < 0)
                return TSfxResult::ReadFailed;
        }
        const bool Last = NextGot == 0;
        if (!WriteRecord(State, Chunk.data(), static_cast<std::size_t>(Got),
                         Last ? crypto_secretstream_xchacha20poly1305_TAG_FINAL
                              : crypto_secretstream_xchacha20poly1305_TAG_MESSAGE,
                         Sealed, Output))
            return TSfxResult::WriteFailed;
        if (Last)
            return TSfxResult::Ok;
        Chunk.swap(Next);
        Got = NextGot;
    }
}

TSfxResult SfxReadRecords(const TSfxHeader& Header, const unsigned char (&Key)[SfxKeySize], const TSfxRead& Input,
                          const std::function<bool(const std::string&)>& OnName, const TSfxWrite& Output)
{
    crypto_secretstream_xchacha20poly1305_state State;
    if (crypto_secretstream_xchacha20poly1305_init_pull(&State, Header.StreamHeader, Key) != 0)
        return TSfxResult::Refused;
    std::vector<unsigned char> Sealed(SfxChunkSize + crypto_secretstream_xchacha20poly1305_ABYTES);
    std::vector<unsigned char> Plain(SfxChunkSize);
    bool First = true;
    for (;;) {
        unsigned char LengthBytes[4];
        const long long GotLength = ReadFull(Input, LengthBytes, sizeof LengthBytes);
        if (GotLength < 0)
            return TSfxResult::ReadFailed;
        if (GotLength < 4)
            return TSfxResult::Truncated;
        const std::uint64_t Length = GetLe(LengthBytes, 4);
        // A record longer than a chunk, or too short for its tag, was never written by us.
        if (Length < crypto_secretstream_xchacha20poly1305_ABYTES || Length > Sealed.size())
            return TSfxResult::Refused;
        const long long Got = ReadFull(Input, Sealed.data(), static_cast<std::size_t>(Length));
        if (Got < 0)
            return TSfxResult::ReadFailed;
        if (static_cast<std::uint64_t>(Got) < Length)
            return TSfxResult::Truncated;
        unsigned long long PlainSize = 0;
        unsigned char Tag = 0;
        if (crypto_secretstream_xchacha20poly1305_pull(&State, Plain.data(), &PlainSize, &Tag, Sealed.data(), Length,
                                                       First ? Header.Bytes : nullptr,
                                                       First ? sizeof Header.Bytes : 0) != 0)
            return TSfxResult::Refused;
        if (First) {
            if (Tag != crypto_secretstream_xchacha20poly1305_TAG_MESSAGE)
                return TSfxResult::Refused;
            const std::string Name(reinterpret_cast<const char*>(Plain.data()), static_cast<std::size_t>(PlainSize));
            if (!SfxPlainFileName(Name))
                return TSfxResult::BadName;
            if (OnName && !OnName(Name))
                return TSfxResult::NameRefused;
            First = false;
            continue;
        }
        if (Tag != crypto_secretstream_xchacha20poly1305_TAG_MESSAGE &&
            Tag != crypto_secretstream_xchacha20poly1305_TAG_FINAL)
            return TSfxResult::Refused;
        if (PlainSize > 0 && !Output(Plain.data(), static_cast<std::size_t>(PlainSize)))
            return TSfxResult::WriteFailed;
        if (Tag == crypto_secretstream_xchacha20poly1305_TAG_FINAL) {
            unsigned char Extra;
            const long long More = ReadFull(Input, &Extra, 1);
            if (More < 0)
                return TSfxResult::ReadFailed;
            return More == 0 ? TSfxResult::Ok : TSfxResult::TrailingData;
        }
    }
}

TSfxResult SfxReadContainer(const std::string& Password, const TSfxRead& Input,
                            const std::function<bool(const std::string&)>& OnName, const TSfxWrite& Output)
{
    unsigned char Head[SfxHeaderSize];
    const long long Got = ReadFull(Input, Head, sizeof Head);
    if (Got < 0)
        return TSfxResult::ReadFailed;
    TSfxHeader Header;
    if (static_cast<std::size_t>(Got) < sizeof Head || !SfxParseHeader(Head, Header))
        return TSfxResult::BadHeader;
    unsigned char Key[SfxKeySize];
    TKeyGuard Guard{Key};
    if (!SfxDeriveKey(Password, Header, Key))
        return TSfxResult::CryptoFailed;
    return SfxReadRecords(Header, Key, Input, OnName, Output);
}

bool SfxWriteTrailer(std::uint64_t Length, const TSfxWrite& Output)
{
    unsigned char Trailer[SfxTrailerSize];
    PutLe(Trailer, Length, 8);
    std::memcpy(Trailer + 8, SfxTrailerMagic, sizeof SfxTrailerMagic);
    return Output(Trailer, sizeof Trailer);
}

bool SfxParseTrailer(const unsigned char (&Trailer)[SfxTrailerSize], std::uint64_t& Length)
{
    if (std::memcmp(Trailer + 8, SfxTrailerMagic, sizeof SfxTrailerMagic) != 0)
        return false;
    Length = GetLe(Trailer, 8);
    return true;
}
