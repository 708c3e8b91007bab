#include "transfer/export/ExportPassword.h"

#include "main/settings/Settings.h"
#include "platform/ini/IniFile.h"
#include "platform/sys/SafeWrite.h"

#include <QFile>
#include <QtEndian>

namespace {

const QString SavePasswordKey = QStringLiteral("SavePassword");

QString PasswordFilePath()
{
    return SettingsPath + ExportPasswordFileName;
}

bool IsAsciiAlnum(QChar C)
{
    const char16_t U = C.unicode();
    return (U >= u'0' && U <= u'9') || (U >= u'A' && U <= u'Z') || (U >= u'a' && U <= u'z');
}

} // namespace

bool PasswordCharactersValid(const QString& Password)
{
    for (const QChar C : Password)
        if (!IsAsciiAlnum(C))
            return false;
    return true;
}

TPasswordFault CheckPasswordEntries(const QString& First, const QString& Second)
{
    if (First.isEmpty())
        return TPasswordFault::FirstEmpty;
    if (Second.isEmpty())
        return TPasswordFault::SecondEmpty;
    if (First.size() < ExportPasswordMinLength || First.size() > ExportPasswordMaxLength)
        return TPasswordFault::Length;
    if (!PasswordCharactersValid(First))
        return TPasswordFault::Character;
    if (First.compare(Second, Qt::CaseInsensitive) != 0)
        return TPasswordFault::Mismatch;
    return TPasswordFault::None;
}

QString PasswordFaultText(TPasswordFault Fault)
{
    switch (Fault) {
    case TPasswordFault::FirstEmpty:
        return QStringLiteral("パスワードを入力してください  ");
    case TPasswordFault::SecondEmpty:
        return QStringLiteral("確認用のパスワードも入力してください  ");
    case TPasswordFault::Length:
        return QStringLiteral("パスワードは８文字～１６文字で入力してください  ");
    case TPasswordFault::Character:
        return QStringLiteral("パスワードに使用できる文字は  \r\n　半角数字\r\n　半角英文字（大小文字区別なし）\r\n"
                              "のいずれかになります  ");
    case TPasswordFault::Mismatch:
        return QStringLiteral("確認用パスワードが一致しません  \r\n再度入力してください  ");
    case TPasswordFault::None:
        break;
    }
    return {};
}

QByteArray SavedPasswordBytes(const QString& Password)
{
    const QByteArray Plain = Password.toLatin1();
    QByteArray Bytes(4, '\0');
    qToLittleEndian<qint32>(static_cast<qint32>(Plain.size()), Bytes.data());
    for (const char C : Plain)
        Bytes += static_cast<char>(~static_cast<unsigned char>(C));
    return Bytes;
}

std::optional<QString> ParseSavedPassword(const QByteArray& Bytes)
{
    if (Bytes.size() < 4)
        return std::nullopt;
    const qint32 Length = qFromLittleEndian<qint32>(Bytes.constData());
    if (Length < ExportPasswordMinLength || Length > ExportPasswordMaxLength || Bytes.size() != 4 + Length)
        return std::nullopt;
    QString Password;
    for (qsizetype I = 4; I < Bytes.size(); ++I)
        Password += QChar(static_cast<char16_t>(static_cast<unsigned char>(~Bytes[I])));
    if (!PasswordCharactersValid(Password))
        return std::nullopt;
    return Password;
}

TSavedPassword LoadSavedPassword()
{
    TSavedPassword Saved;
    const TMemIniFile Ini(SettingsFileName());
    if (!Ini.ReadBool(ExportPasswordSection, SavePasswordKey, false))
        return Saved;
    QFile File(PasswordFilePath());
    // More than the largest believable file is not read at all.
    if (!File.open(QIODevice::ReadOnly) || File.size() > 4 + ExportPasswordMaxLength)
        return Saved;
    if (const std::optional<QString> Password = ParseSavedPassword(File.readAll())) {
        Saved.Save = true;
        Saved.Password = *Password;
    }
    return Saved;
}

bool StoreSavedPassword(bool Save, const QString& Password)
{
    TMemIniFile Ini(SettingsFileName());
    Ini.WriteBool(ExportPasswordSection, SavePasswordKey, Save);
    bool Stored = Ini.UpdateFile();
    if (Save)
        Stored = WriteFileSafely(PasswordFilePath(), SavedPasswordBytes(Password), TFileAccess::OwnerOnly) ==
                     TSafeWriteResult::Written &&
                 Stored;
    else if (QFile::exists(PasswordFilePath()))
        Stored = QFile::remove(PasswordFilePath()) && Stored;
    return Stored;
}
