#pragma once

#include <QFile>
#include <QString>
#include <sys/stat.h>

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
