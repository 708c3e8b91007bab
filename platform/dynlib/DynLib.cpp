#include "platform/dynlib/DynLib.h"

#include <QDir>
#include <QFile>
#include <dlfcn.h>
#include <utility>

TDynLib::~TDynLib()
{
    Free();
}

TDynLib::TDynLib(TDynLib&& Other) noexcept
    : FHandle(std::exchange(Other.FHandle, nullptr)), FErrorText(std::move(Other.FErrorText))
{
}

TDynLib& TDynLib::operator=(TDynLib&& Other) noexcept
{
    if (this != &Other) {
        Free();
        FHandle = std::exchange(Other.FHandle, nullptr);
        FErrorText = std::move(Other.FErrorText);
    }
    return *this;
}

bool TDynLib::Load(const QString& AbsolutePath)
{
    Free();
    FErrorText.clear();
    if (!QDir::isAbsolutePath(AbsolutePath)) {
        FErrorText = QStringLiteral("%1: not an absolute path").arg(AbsolutePath);
        return false;
    }
    dlerror();
    FHandle = dlopen(QFile::encodeName(AbsolutePath).constData(), RTLD_NOW | RTLD_LOCAL);
    if (FHandle == nullptr) {
        const char* Error = dlerror();
        FErrorText = Error != nullptr ? QString::fromLocal8Bit(Error) : QStringLiteral("dlopen failed");
        return false;
    }
    return true;
}

void TDynLib::Free()
{
    if (FHandle != nullptr) {
        dlclose(FHandle);
        FHandle = nullptr;
    }
}

void* TDynLib::Symbol(const char* Name)
{
    if (FHandle == nullptr) {
        FErrorText = QStringLiteral("%1: no library loaded").arg(QString::fromLatin1(Name));
        return nullptr;
    }
    dlerror();
    void* Address = dlsym(FHandle, Name);
    if (Address == nullptr) {
        const char* Error = dlerror();
        FErrorText = Error != nullptr ? QString::fromLocal8Bit(Error)
                                      : QStringLiteral("%1: no such export").arg(QString::fromLatin1(Name));
    }
    return Address;
}
