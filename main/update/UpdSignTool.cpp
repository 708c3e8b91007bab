// vxupdsign: the maker's side of the update signature.
//
//   vxupdsign keygen NAME         NAME.pub (the public key, 64 hexadecimal digits, for the build's
//                                 VX_UPDATE_PUBLIC_KEY) and NAME.key (the secret key, owner-only)
//   vxupdsign sign NAME.key FILE  FILE.sig beside FILE: the 64-byte detached Ed25519 signature the
//                                 program fetches beside each download
//   vxupdsign verify NAME.pub FILE
//
// Exit status 0 on success, 1 when a signature does not verify, 2 on any other failure. It never
// overwrites a key.

#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sodium.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using TBytes = std::vector<unsigned char>;

bool ReadAll(const std::string& Name, TBytes& Bytes)
{
    std::ifstream File(Name, std::ios::binary);
    if (!File)
        return false;
    Bytes.assign(std::istreambuf_iterator<char>(File), std::istreambuf_iterator<char>());
    return !File.bad();
}

// Writes a new file only (O_EXCL), with Mode.
bool WriteNew(const std::string& Name, const void* Bytes, std::size_t Size, mode_t Mode)
{
    const int Fd = open(Name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, Mode);
    if (Fd < 0)
        return false;
    const bool Written = write(Fd, Bytes, Size) == static_cast<ssize_t>(Size) && fsync(Fd) == 0;
    return close(Fd) == 0 && Written;
}

bool WriteReplacing(const std::string& Name, const void* Bytes, std::size_t Size)
{
    const std::string Temporary = Name + ".new";
    unlink(Temporary.c_str());
    return WriteNew(Temporary, Bytes, Size, 0644) && rename(Temporary.c_str(), Name.c_str()) == 0;
}

std::string Hex(const unsigned char* Bytes, std::size_t Size)
{
    std::string Text(Size * 2 + 1, '\0');
    sodium_bin2hex(Text.data(), Text.size(), Bytes, Size);
    Text.pop_back();
    return Text + "\n";
}

bool ReadHexKey(const std::string& Name, unsigned char* Key, std::size_t Size)
{
    TBytes Text;
    if (!ReadAll(Name, Text))
        return false;
    std::size_t Length = 0;
    const char* End = nullptr;
    return sodium_hex2bin(Key, Size, reinterpret_cast<const char*>(Text.data()), Text.size(), " \n\r\t", &Length,
                          &End) == 0 &&
           Length == Size;
}

int KeyGen(const std::string& Name)
{
    unsigned char Public[crypto_sign_PUBLICKEYBYTES];
    unsigned char Secret[crypto_sign_SECRETKEYBYTES];
    crypto_sign_keypair(Public, Secret);
    const std::string PublicText = Hex(Public, sizeof Public);
    const std::string SecretText = Hex(Secret, sizeof Secret);
    sodium_memzero(Secret, sizeof Secret);
    if (!WriteNew(Name + ".key", SecretText.data(), SecretText.size(), 0600)) {
        std::fprintf(stderr, "vxupdsign: cannot write %s.key (it must not exist yet)\n", Name.c_str());
        return 2;
    }
    if (!WriteNew(Name + ".pub", PublicText.data(), PublicText.size(), 0644)) {
        std::fprintf(stderr, "vxupdsign: cannot write %s.pub (it must not exist yet)\n", Name.c_str());
        return 2;
    }
    std::fputs(PublicText.c_str(), stdout);
    return 0;
}

int Sign(const std::string& KeyFile, const std::string& File)
{
    unsigned char Secret[crypto_sign_SECRETKEYBYTES];
    TBytes Content;
    if (!ReadHexKey(KeyFile, Secret, sizeof Secret) || !ReadAll(File, Content)) {
        std::fprintf(stderr, "vxupdsign: cannot read %s or %s\n", KeyFile.c_str(), File.c_str());
        return 2;
    }
    unsigned char Signature[crypto_sign_BYTES];
    crypto_sign_detached(Signature, nullptr, Content.data(), Content.size(), Secret);
    sodium_memzero(Secret, sizeof Secret);
    if (!WriteReplacing(File + ".sig", Signature, sizeof Signature)) {
        std::fprintf(stderr, "vxupdsign: cannot write %s.sig\n", File.c_str());
        return 2;
    }
    return 0;
}

int Verify(const std::string& KeyFile, const std::string& File)
{
    unsigned char Public[crypto_sign_PUBLICKEYBYTES];
    TBytes Content;
    TBytes Signature;
    if (!ReadHexKey(KeyFile, Public, sizeof Public) || !ReadAll(File, Content) || !ReadAll(File + ".sig", Signature)) {
        std::fprintf(stderr, "vxupdsign: cannot read %s, %s or its .sig\n", KeyFile.c_str(), File.c_str());
        return 2;
    }
    if (Signature.size() != crypto_sign_BYTES ||
        crypto_sign_verify_detached(Signature.data(), Content.data(), Content.size(), Public) != 0) {
        std::fprintf(stderr, "vxupdsign: %s does not verify\n", File.c_str());
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (sodium_init() < 0)
        return 2;
    const std::string Command = argc > 1 ? argv[1] : "";
    if (Command == "keygen" && argc == 3)
        return KeyGen(argv[2]);
    if (Command == "sign" && argc == 4)
        return Sign(argv[2], argv[3]);
    if (Command == "verify" && argc == 4)
        return Verify(argv[2], argv[3]);
    std::fputs("usage: vxupdsign keygen NAME | sign NAME.key FILE | verify NAME.pub FILE\n", stderr);
    return 2;
}
