#pragma once

// The encrypted container of a self-restoring file, shared by the library that writes it and the
// restorer that reads it. Plain C++ on libsodium: the restorer runs where neither Qt nor libsodium is
// installed.
//
// Layout (all integers little-endian):
//   0   8  "VTXSFX01"
//   8   8  Argon2id operations limit
//  16   8  Argon2id memory limit in bytes
//  24   4  the key derivation's algorithm number (libsodium's Argon2id13)
//  28  16  salt
//  44  24  secretstream header
//  68  ... records: a 4-byte length L, then L bytes sealed with XChaCha20-Poly1305 secretstream.
//          The first record holds the file's name (tag "message") and authenticates the 68 bytes
//          before it as its additional data, so that no limit can be changed unnoticed; the data follow in records of
//          at most 64 KiB of plain text, the last one tagged "final" (it may be empty).
// Nothing may follow the final record. The self-restoring file is the restorer program, the
// container, the container's length (8 bytes) and the trailer mark "VTXSFXEN".

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

inline constexpr char SfxMagic[8] = {'V', 'T', 'X', 'S', 'F', 'X', '0', '1'};
inline constexpr char SfxTrailerMagic[8] = {'V', 'T', 'X', 'S', 'F', 'X', 'E', 'N'};
inline constexpr std::size_t SfxHeaderSize = 68;
inline constexpr std::size_t SfxTrailerSize = 16;
inline constexpr std::size_t SfxChunkSize = 64 * 1024;
inline constexpr std::size_t SfxKeySize = 32;
inline constexpr std::size_t SfxMaxNameBytes = 255;

struct TSfxHeader
{
    std::uint64_t OpsLimit = 0;
    std::uint64_t MemLimit = 0;
    std::int32_t Alg = 0;
    unsigned char Salt[16] = {};
    unsigned char StreamHeader[24] = {};
    unsigned char Bytes[SfxHeaderSize] = {}; // as written, authenticated with the name
};

// Reads up to Size bytes; fewer only at the end of the input. Answers how many, or -1 on an error.
using TSfxRead = std::function<long long(unsigned char* Buffer, std::size_t Size)>;
// Writes all Size bytes; false on an error (errno tells which).
using TSfxWrite = std::function<bool(const unsigned char* Data, std::size_t Size)>;

// Writes all Size bytes to the file descriptor, again after an interruption; false with errno set.
[[nodiscard]] bool SfxWriteAll(int Fd, const unsigned char* Data, std::size_t Size);

enum class TSfxResult
{
    Ok,
    ReadFailed,   // the input could not be read
    WriteFailed,  // the output could not be written (errno tells why)
    CryptoFailed, // libsodium could not start, or the key could not be derived (memory)
    BadHeader,    // not a container, or limits beyond what a restorer will spend
    Refused,      // wrong password or damaged: a record did not check out
    Truncated,    // the input ended before the final record
    TrailingData, // bytes after the final record
    BadName,      // a name that is no plain file name
    NameRefused,  // the caller refused the name (the file exists)
};

// The password as the key is derived from it: ASCII letters folded to lower case, so that a
// password typed in the other case opens the file too.
[[nodiscard]] std::string SfxFoldPassword(const std::string& Password);

// A name that can only land in the target folder: 1 to 255 bytes, no "/", no NUL, not "." or "..".
[[nodiscard]] bool SfxPlainFileName(const std::string& Name);

// The highest limits a restorer accepts, so that a hostile file cannot make it spend unbounded time
// or memory before the password is even checked.
[[nodiscard]] bool SfxLimitsAcceptable(std::uint64_t OpsLimit, std::uint64_t MemLimit);

[[nodiscard]] bool SfxParseHeader(const unsigned char (&Bytes)[SfxHeaderSize], TSfxHeader& Header);

// Derives the key from the folded password; false when libsodium runs out of memory.
[[nodiscard]] bool SfxDeriveKey(const std::string& Password, const TSfxHeader& Header,
                                unsigned char (&Key)[SfxKeySize]);

// Seals the bytes of Input under Name into Output, with a fresh salt, at the given limits.
[[nodiscard]] TSfxResult SfxWriteContainer(const std::string& Password, const std::string& Name, const TSfxRead& Input,
                                           const TSfxWrite& Output, std::uint64_t OpsLimit, std::uint64_t MemLimit);

// Opens the records after the header with Key. OnName sees the checked name before any data and
// may refuse it; Output gets the plain text as each record checks out. The caller must throw away
// what Output got unless the answer is Ok: only the final record proves the whole.
[[nodiscard]] TSfxResult SfxReadRecords(const TSfxHeader& Header, const unsigned char (&Key)[SfxKeySize],
                                        const TSfxRead& Input, const std::function<bool(const std::string&)>& OnName,
                                        const TSfxWrite& Output);

// The header, the key from Password, and the records.
[[nodiscard]] TSfxResult SfxReadContainer(const std::string& Password, const TSfxRead& Input,
                                          const std::function<bool(const std::string&)>& OnName,
                                          const TSfxWrite& Output);

// What VtxCreateSFX takes from its caller: the settings block (344 bytes: the password at 40 in 44
// bytes, the 32-bit 1 at 84, the folder with its trailing "/" at 88 in 256 bytes) and the file-name
// buffer (256 bytes). Each text must end inside its field.
inline constexpr std::size_t SfxSettingsSize = 344;
inline constexpr std::size_t SfxNameBufferSize = 256;
struct TSfxCall
{
    std::string Password;
    std::string Folder;
    std::string Name;
};
// False when a field holds no terminator, the password or the folder is empty, the folder lacks its
// "/", the flag is not 1, or the name is no plain file name.
[[nodiscard]] bool SfxParseCall(const unsigned char* Settings, const unsigned char* NameBuffer, TSfxCall& Call);

// Appends the container length and the trailer mark; Length is the container's size in bytes.
[[nodiscard]] bool SfxWriteTrailer(std::uint64_t Length, const TSfxWrite& Output);
// The container length the trailer names, or false when Trailer holds no mark.
[[nodiscard]] bool SfxParseTrailer(const unsigned char (&Trailer)[SfxTrailerSize], std::uint64_t& Length);
