#pragma once

#include <QFile>
#include <QString>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

// The permission bits of a file or folder, -1 when it is missing.
inline int ModeOf(const QString& Path)
{
    struct stat Info
    {
    };
    return ::stat(QFile::encodeName(Path).constData(), &Info) == 0 ? int(Info.st_mode & 07777) : -1;
}

// Sets the umask for one test: 0 lets every mode the code asks for through, so what comes out is
// what the code chose and not what the user's umask happened to remove.
class TUmask
{
public:
    explicit TUmask(mode_t Mask) : FSaved(::umask(Mask)) {}
    ~TUmask() { ::umask(FSaved); }
    TUmask(const TUmask&) = delete;
    TUmask& operator=(const TUmask&) = delete;

private:
    mode_t FSaved;
};

// Folder permissions bind root only without its capability to override them. While this lives, the
// calling thread does without that capability (it stays permitted and comes back at the end), so that a
// test run as root meets a read-only folder as a user's program does. Nothing changes for a user.
class TNoPermissionOverride
{
public:
    TNoPermissionOverride()
    {
        FHeld = ::syscall(SYS_capget, &FHeader, FSaved) == 0;
        if (!FHeld)
            return;
        __user_cap_data_struct Lowered[2] = {FSaved[0], FSaved[1]};
        Lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        FHeld = ::syscall(SYS_capset, &FHeader, Lowered) == 0;
    }
    ~TNoPermissionOverride()
    {
        if (FHeld)
            ::syscall(SYS_capset, &FHeader, FSaved);
    }
    TNoPermissionOverride(const TNoPermissionOverride&) = delete;
    TNoPermissionOverride& operator=(const TNoPermissionOverride&) = delete;

private:
    __user_cap_header_struct FHeader{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct FSaved[2]{};
    bool FHeld = false;
};
