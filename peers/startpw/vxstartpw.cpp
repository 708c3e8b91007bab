// vxstartpw set [FILE]     reads the password from the first line of standard input and stores its
//                          salted hash
// vxstartpw remove [FILE]  removes the password
//
// FILE is the machine's registry file (/etc/xdg/Pelmar/registry.ini) unless given. A new file is made
// readable by every user, as the programs of every user must read it; only the hash is in it.

#include "platform/ini/IniFile.h"
#include "platform/sys/Registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <cstdio>
#include <sodium.h>
#include <string>

namespace {

const QString Key = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Kestor\\VxRelvo\\16.0");
const QString Value = QStringLiteral("Type");

int Fail(const QString& Text)
{
    QTextStream(stderr) << Text << '\n';
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3)
        return Fail(QStringLiteral("使い方: vxstartpw set|remove [レジストリーファイル]"));
    const QString Command = QString::fromLocal8Bit(argv[1]);
    const QString File = argc == 3 ? QString::fromLocal8Bit(argv[2]) : SystemRegistryFileName();
    TMemIniFile Registry(File);
    if (Command == QLatin1String("remove")) {
        Registry.EraseSection(Key);
    } else if (Command == QLatin1String("set")) {
        std::string Line;
        int Char = 0;
        while ((Char = std::getchar()) != EOF && Char != '\n')
            Line.push_back(static_cast<char>(Char));
        if (!Line.empty() && Line.back() == '\r')
            Line.pop_back();
        const QString Password = QString::fromLocal8Bit(Line.c_str());
        if (Password.isEmpty() || Password.size() > 16)
            return Fail(QStringLiteral("パスワードは 1 文字から 16 文字で入力してください"));
        const QByteArray Bytes = Password.toUtf8();
        char Hash[crypto_pwhash_STRBYTES];
        if (sodium_init() < 0 ||
            crypto_pwhash_str(Hash, Bytes.constData(), static_cast<unsigned long long>(Bytes.size()),
                              crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
            return Fail(QStringLiteral("パスワードを設定できませんでした"));
        Registry.WriteString(Key, Value, QString::fromLatin1(Hash));
    } else {
        return Fail(QStringLiteral("使い方: vxstartpw set|remove [レジストリーファイル]"));
    }
    if (!QDir().mkpath(QFileInfo(File).absolutePath()) || !Registry.UpdateFile() ||
        !QFile::setPermissions(File, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther))
        return Fail(File + QStringLiteral(" に書き込めませんでした"));
    return 0;
}
