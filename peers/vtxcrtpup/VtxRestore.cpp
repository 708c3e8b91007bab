// vtxrestore: the program at the head of every self-restoring file. It finds the encrypted
// container at its own end, asks for the password and restores the file into the current folder,
// or into the folder given as its argument. Nothing is written unless the whole container checks
// out: the plain text goes to a temporary name and is renamed only after the final record.

#include "SfxContainer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sodium.h>
#include <string>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

enum
{
    ExitRestored = 0,
    ExitRefused = 1, // wrong password or damaged file
    ExitNoData = 2,  // no container, or a bad command line
    ExitExists = 3,  // the file is there already
    ExitWriteFailed = 4,
};

void Say(const std::string& Text)
{
    std::fprintf(stderr, "%s\n", Text.c_str());
}

// One line from standard input, without echo when it is a terminal.
bool ReadPassword(std::string& Password)
{
    const bool Terminal = ::isatty(STDIN_FILENO);
    termios Saved{};
    if (Terminal) {
        std::fprintf(stderr, "パスワード: ");
        std::fflush(stderr);
        if (::tcgetattr(STDIN_FILENO, &Saved) == 0) {
            termios Quiet = Saved;
            Quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
            ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &Quiet);
        }
    }
    Password.clear();
    bool Read = false;
    for (int C; (C = std::fgetc(stdin)) != EOF;) {
        Read = true;
        if (C == '\n')
            break;
        Password += static_cast<char>(C);
    }
    if (Terminal) {
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &Saved);
        std::fprintf(stderr, "\n");
    }
    if (!Password.empty() && Password.back() == '\r')
        Password.pop_back();
    return Read;
}

struct TTemporary
{
    std::string Path;
    int Fd = -1;
    ~TTemporary()
    {
        if (Fd >= 0)
            ::close(Fd);
        if (!Path.empty())
            ::unlink(Path.c_str());
    }
};

} // namespace

int main(int Argc, char** Argv)
{
    if (Argc > 2) {
        Say("使い方: " + std::string(Argv[0]) + " [復元先フォルダー]");
        return ExitNoData;
    }
    // Without an argument the file lands in the current folder, and is named to the user as it is.
    std::string Folder = Argc == 2 && Argv[1][0] ? Argv[1] : "";
    if (!Folder.empty() && Folder.back() != '/')
        Folder += '/';
    struct stat FolderStat
    {
    };
    if (::stat(Folder.empty() ? "." : Folder.c_str(), &FolderStat) != 0 || !S_ISDIR(FolderStat.st_mode)) {
        Say("復元先のフォルダーがありません: " + Folder);
        return ExitNoData;
    }
    if (sodium_init() < 0) {
        Say("暗号ライブラリを初期化できませんでした");
        return ExitNoData;
    }

    const int Self = ::open("/proc/self/exe", O_RDONLY | O_CLOEXEC);
    struct stat SelfStat
    {
    };
    unsigned char Trailer[SfxTrailerSize];
    std::uint64_t Length = 0;
    if (Self < 0 || ::fstat(Self, &SelfStat) != 0 || SelfStat.st_size < static_cast<off_t>(SfxTrailerSize) ||
        ::pread(Self, Trailer, sizeof Trailer, SelfStat.st_size - static_cast<off_t>(SfxTrailerSize)) !=
            static_cast<ssize_t>(sizeof Trailer) ||
        !SfxParseTrailer(Trailer, Length) || Length > static_cast<std::uint64_t>(SelfStat.st_size) - SfxTrailerSize) {
        Say("復元するデータが見つかりません");
        return ExitNoData;
    }
    off_t Position = SelfStat.st_size - static_cast<off_t>(SfxTrailerSize) - static_cast<off_t>(Length);
    std::uint64_t Left = Length;
    const TSfxRead Read = [&](unsigned char* Buffer, std::size_t Size) -> long long {
        const std::size_t Want = Size < Left ? Size : static_cast<std::size_t>(Left);
        if (Want == 0)
            return 0;
        const ssize_t Got = ::pread(Self, Buffer, Want, Position);
        if (Got > 0) {
            Position += Got;
            Left -= static_cast<std::uint64_t>(Got);
        }
        return Got;
    };

    std::string Password;
    if (!ReadPassword(Password)) {
        Say("パスワードが入力されませんでした");
        return ExitRefused;
    }

    TTemporary Temporary;
    std::string Target;
    bool Exists = false;
    int Error = 0;
    const auto OnName = [&](const std::string& Name) {
        Target = Folder + Name;
        struct stat Existing
        {
        };
        if (::lstat(Target.c_str(), &Existing) == 0) {
            Exists = true;
            return false;
        }
        std::string Pattern = Folder + "." + Name + ".XXXXXX";
        // A name at the limit leaves no room for the temporary suffix; a short one is as private.
        if (Name.size() > 240)
            Pattern = Folder + ".vtxrestore.XXXXXX";
        Temporary.Fd = ::mkstemp(Pattern.data());
        if (Temporary.Fd < 0) {
            Error = errno;
            return false;
        }
        Temporary.Path = Pattern;
        return true;
    };
    const TSfxWrite Write = [&](const unsigned char* Data, std::size_t Size) {
        if (SfxWriteAll(Temporary.Fd, Data, Size))
            return true;
        Error = errno;
        return false;
    };
    const TSfxResult Result = SfxReadContainer(Password, Read, OnName, Write);
    sodium_memzero(Password.data(), Password.size());
    switch (Result) {
    case TSfxResult::Ok:
        break;
    case TSfxResult::NameRefused:
        if (Exists) {
            Say("「" + Target + "」は既にあります。上書きしないで終了します");
            return ExitExists;
        }
        Say("復元先にファイルを作れませんでした: " + std::string(std::strerror(Error)));
        return ExitWriteFailed;
    case TSfxResult::WriteFailed:
        Say("ファイルを書き込めませんでした: " + std::string(std::strerror(Error)));
        return ExitWriteFailed;
    case TSfxResult::CryptoFailed:
        Say("メモリーが足りないため復元できませんでした");
        return ExitNoData;
    case TSfxResult::Refused:
        Say("パスワードが違うか、ファイルが壊れています。何も書き込んでいません");
        return ExitRefused;
    default:
        Say("ファイルが壊れています。何も書き込んでいません");
        return ExitRefused;
    }
    // The restored text keeps mkstemp's owner-only mode: it was protected by a password until now.
    if (::fsync(Temporary.Fd) != 0) {
        Say("ファイルを書き込めませんでした: " + std::string(std::strerror(errno)));
        return ExitWriteFailed;
    }
    // The name may have appeared while the password was asked; it is still not overwritten.
    if (::renameat2(AT_FDCWD, Temporary.Path.c_str(), AT_FDCWD, Target.c_str(), RENAME_NOREPLACE) != 0) {
        if (errno == EEXIST) {
            Say("「" + Target + "」は既にあります。上書きしないで終了します");
            return ExitExists;
        }
        Say("ファイルを書き込めませんでした: " + std::string(std::strerror(errno)));
        return ExitWriteFailed;
    }
    Temporary.Path.clear();
    std::printf("「%s」を復元しました\n", Target.c_str());
    return ExitRestored;
}
