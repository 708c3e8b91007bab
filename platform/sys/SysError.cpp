#include "platform/sys/SysError.h"

#include <cerrno>
#include <cstring>

QString SysErrorMessage(int Error)
{
    switch (Error) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("ディスクに十分な空き領域がありません。");
    case EACCES:
    case EPERM:
        return QStringLiteral("アクセスが拒否されました。");
    case EROFS:
        return QStringLiteral("メディアは書き込み禁止になっています。");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("指定されたパスが見つかりません。");
    case EISDIR:
        return QStringLiteral("指定されたファイルはフォルダーです。");
    case ENAMETOOLONG:
        return QStringLiteral("ファイル名が長すぎます。");
    case EIO:
        return QStringLiteral("デバイスにアクセスできません。I/O エラーが発生しました。");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("開いているファイルが多すぎます。");
    case EFBIG:
        return QStringLiteral("ファイルが大きすぎます。");
    default:
        break;
    }
    // A number the list above lacks still tells its cause, in the system's own words.
    return QStringLiteral("システムエラー (コード %1): %2")
        .arg(Error)
        .arg(QString::fromLocal8Bit(std::strerror(Error)));
}
