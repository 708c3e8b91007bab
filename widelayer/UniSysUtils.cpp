#include "widelayer/UniSysUtils.h"

#include <cerrno>
#include <cstring>

QString SysErrorMessage(int Code, const QString& ModuleName)
{
    // glibc answers "Unknown error N" for a code it does not know; only a described code has a text.
    QString Text;
    if (strerrordesc_np(Code) != nullptr) {
        char Buffer[256];
        Text = QString::fromLocal8Bit(strerror_r(Code, Buffer, sizeof Buffer)).trimmed();
    }
    if (Text.isEmpty())
        Text = QStringLiteral("Unspecified error (%1) from %2.")
                   .arg(Code)
                   .arg(ModuleName.isEmpty() ? QStringLiteral("system") : ModuleName);
    return Text;
}

void RaiseOSError(int Code)
{
    throw EUniOSError(Code, QStringLiteral("システム エラー (コード %1): %2").arg(Code).arg(SysErrorMessage(Code)));
}

void RaiseLastOSError()
{
    RaiseOSError(errno);
}
