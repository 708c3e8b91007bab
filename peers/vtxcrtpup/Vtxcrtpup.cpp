// Vtxcrtpup.so: builds a password-protected self-restoring file from a text file. The restorer
// program "vtxrestore" must lie beside this library; the built file is that program followed by the
// encrypted container of the text (SfxContainer.h) and its trailer.

#include "SfxContainer.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <sodium.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#define VTX_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// Result codes; 11 is the one the caller knows as "disk full". The README lists them all.
constexpr int RcOk = 0;
constexpr int RcBadArguments = 1;
constexpr int RcTextUnreadable = 2;
constexpr int RcRestorerMissing = 3;
constexpr int RcWriteFailed = 4;
constexpr int RcCryptoFailed = 5;
constexpr int RcNotSupported = 9;
constexpr int RcDiskFull = 11;

std::string LibraryFolder()
{
    Dl_info Info{};
    if (!dladdr(reinterpret_cast<void*>(&LibraryFolder), &Info) || !Info.dli_fname)
        return {};
    std::string Path = Info.dli_fname;
    const std::size_t Slash = Path.rfind('/');
    return Slash == std::string::npos ? std::string("./") : Path.substr(0, Slash + 1);
}

class TFd
{
public:
    explicit TFd(int Fd) : Fd(Fd) {}
    ~TFd()
    {
        if (Fd >= 0)
            ::close(Fd);
    }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    int Fd;
};

TSfxRead ReaderOf(int Fd)
{
    return [Fd](unsigned char* Buffer, std::size_t Size) -> long long {
        for (;;) {
            const ssize_t Got = ::read(Fd, Buffer, Size);
            if (Got >= 0 || errno != EINTR)
                return Got;
        }
    };
}

int WriteErrorCode(int Error)
{
    return Error == ENOSPC || Error == EDQUOT ? RcDiskFull : RcWriteFailed;
}

} // namespace

VTX_EXPORT int VtxCreateSFX(void* Settings, void* FileName, void* /*Window*/)
{
    TSfxCall Call;
    if (!SfxParseCall(static_cast<const unsigned char*>(Settings), static_cast<const unsigned char*>(FileName), Call))
        return RcBadArguments;
    std::string& Password = Call.Password;
    const std::string& Folder = Call.Folder;
    const std::string& Name = Call.Name;
    // The password leaves memory whichever way the call ends.
    struct TWipe
    {
        std::string& Text;
        ~TWipe() { sodium_memzero(Text.data(), Text.size()); }
    } Wipe{Password};
    if (sodium_init() < 0)
        return RcCryptoFailed;

    TFd Text(::open((Folder + Name).c_str(), O_RDONLY | O_CLOEXEC));
    if (Text.Fd < 0)
        return RcTextUnreadable;
    TFd Restorer(::open((LibraryFolder() + "vtxrestore").c_str(), O_RDONLY | O_CLOEXEC));
    if (Restorer.Fd < 0)
        return RcRestorerMissing;

    const std::size_t Dot = Name.rfind('.');
    const std::string Stem = Dot == std::string::npos ? Name : Name.substr(0, Dot);
    const std::string Target = Folder + Stem + ".exe";
    std::string Temporary = Folder + "." + Stem + ".exe.XXXXXX";
    TFd Out(::mkstemp(Temporary.data()));
    if (Out.Fd < 0)
        return WriteErrorCode(errno);
    int Error = 0;
    std::uint64_t ContainerSize = 0;
    bool Counting = false;
    const TSfxWrite Write = [&](const unsigned char* Data, std::size_t Size) {
        if (!SfxWriteAll(Out.Fd, Data, Size)) {
            Error = errno;
            return false;
        }
        if (Counting)
            ContainerSize += Size;
        return true;
    };
    const auto Fail = [&](int Code) {
        ::unlink(Temporary.c_str());
        return Code;
    };

    unsigned char Buffer[64 * 1024];
    for (;;) {
        const long long Got = ReaderOf(Restorer.Fd)(Buffer, sizeof Buffer);
        if (Got < 0)
            return Fail(RcRestorerMissing);
        if (Got == 0)
            break;
        if (!Write(Buffer, static_cast<std::size_t>(Got)))
            return Fail(WriteErrorCode(Error));
    }
    Counting = true;
    switch (SfxWriteContainer(Password, Name, ReaderOf(Text.Fd), Write, crypto_pwhash_OPSLIMIT_INTERACTIVE,
                              crypto_pwhash_MEMLIMIT_INTERACTIVE)) {
    case TSfxResult::Ok:
        break;
    case TSfxResult::ReadFailed:
        return Fail(RcTextUnreadable);
    case TSfxResult::WriteFailed:
        return Fail(WriteErrorCode(Error));
    case TSfxResult::BadName:
        return Fail(RcBadArguments);
    default:
        return Fail(RcCryptoFailed);
    }
    Counting = false;
    if (!SfxWriteTrailer(ContainerSize, Write))
        return Fail(WriteErrorCode(Error));
    if (::fsync(Out.Fd) != 0 || ::fchmod(Out.Fd, 0755) != 0)
        return Fail(WriteErrorCode(errno));
    if (::rename(Temporary.c_str(), Target.c_str()) != 0)
        return Fail(WriteErrorCode(errno));
    return RcOk;
}

// The variant for another caller of the library; this program never calls it.
VTX_EXPORT int VtxCreateSFX_TC(void* /*Settings*/, void* /*FileName*/, void* /*Window*/)
{
    return RcNotSupported;
}
