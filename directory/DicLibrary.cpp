#include "directory/DicLibrary.h"

#include "platform/text/Cp932.h"

#include <QDir>
#include <QFile>
#include <cstring>
#include <dlfcn.h>

bool TDicLibrary::Load(const QString& AbsolutePath)
{
    Free();
    if (AbsolutePath.isEmpty() || !QDir::isAbsolutePath(AbsolutePath))
        return false;
    FHandle = dlopen(QFile::encodeName(AbsolutePath).constData(), RTLD_NOW | RTLD_LOCAL);
    return FHandle != nullptr;
}

void TDicLibrary::Free()
{
    if (FHandle)
        dlclose(FHandle);
    FHandle = nullptr;
}

void* TDicLibrary::Symbol(const char* Name) const
{
    return FHandle ? dlsym(FHandle, Name) : nullptr;
}

QString FixedFieldText(const char* Field, int Size)
{
    // Only control characters and blanks are padding; an ideographic space at either end is text.
    const void* Nul = std::memchr(Field, 0, Size);
    int End = Nul ? static_cast<int>(static_cast<const char*>(Nul) - Field) : Size;
    int Start = 0;
    while (Start < End && static_cast<unsigned char>(Field[Start]) <= 0x20)
        ++Start;
    while (End > Start && static_cast<unsigned char>(Field[End - 1]) <= 0x20)
        --End;
    return Cp932DecodeLenient(QByteArray(Field + Start, End - Start));
}

QByteArray PathBytes(const QString& Path)
{
    return QFile::encodeName(Path);
}
