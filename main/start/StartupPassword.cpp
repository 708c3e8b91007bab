#include "main/start/StartupPassword.h"

#include "main/common/CommonText.h"
#include "platform/sys/Registry.h"
#include "platform/text/Cp932.h"

#include <QFile>
#include <QFileInfo>
#include <optional>
#include <sodium.h>
#include <unistd.h>

namespace {

bool IsTrimmed(QChar Char)
{
    return Char.unicode() <= 0x20 || Char.unicode() == 0x7F;
}

QString TrimControls(const QString& Text)
{
    qsizetype Start = 0;
    qsizetype End = Text.size();
    while (Start < End && IsTrimmed(Text[Start]))
        ++Start;
    while (End > Start && IsTrimmed(Text[End - 1]))
        --End;
    return Text.mid(Start, End - Start);
}

int HexDigit(QChar Char)
{
    const char16_t C = Char.unicode();
    if (C >= u'0' && C <= u'9')
        return C - u'0';
    if (C >= u'A' && C <= u'F')
        return C - u'A' + 10;
    if (C >= u'a' && C <= u'f')
        return C - u'a' + 10;
    return -1;
}

std::optional<int> HexByte(const QString& Text, qsizetype Index)
{
    if (Index + 1 >= Text.size())
        return std::nullopt;
    const int High = HexDigit(Text[Index]);
    const int Low = HexDigit(Text[Index + 1]);
    if (High < 0 || Low < 0)
        return std::nullopt;
    return High * 16 + Low;
}

bool SodiumReady()
{
    static const bool Ready = sodium_init() >= 0;
    return Ready;
}

// Writing back is only tried where it can succeed: the administrator's file is read by every user
// but written by the administrator alone, and a user's start must not fail for that.
bool CanReplace(const QString& FileName)
{
    return access(QFile::encodeName(FileName).constData(), W_OK) == 0 &&
           access(QFile::encodeName(QFileInfo(FileName).absolutePath()).constData(), W_OK | X_OK) == 0;
}

void HashInPlace(QString& Text)
{
    QString Password;
    if (IsStartupPasswordHash(Text) || StoredTextToPassword(Text, Password) != TStoredTextResult::Password ||
        Password.isEmpty())
        return;
    const auto File = RegistryValueFileName(StartupPasswordKey, StartupPasswordValue);
    if (!File || !CanReplace(*File))
        return;
    const QString Hash = HashStartupPassword(Password);
    if (!Hash.isEmpty() && ReplaceRegistryString(*File, StartupPasswordKey, StartupPasswordValue, Hash))
        Text = Hash;
}

} // namespace

QString StartupPasswordText;

bool ReadStartupPasswordText(QString& Text)
{
    if (!RegistryKeyExists(StartupPasswordKey))
        return false;
    Text = TrimControls(ReadRegistryString(StartupPasswordKey, StartupPasswordValue).value_or(QString()));
    HashInPlace(Text);
    return true;
}

bool IsStartupPasswordHash(const QString& Text)
{
    return Text.startsWith(QLatin1String(crypto_pwhash_STRPREFIX));
}

QString HashStartupPassword(const QString& Password)
{
    if (!SodiumReady())
        return QString();
    const QByteArray Bytes = Password.toUtf8();
    char Hash[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(Hash, Bytes.constData(), static_cast<unsigned long long>(Bytes.size()),
                          crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
        return QString();
    return QString::fromLatin1(Hash);
}

TStoredPassword StoredPasswordState(const QString& Text)
{
    if (IsStartupPasswordHash(Text)) {
        // A hash we cannot check (cut short, or of parameters this libsodium does not know) must not
        // open the program to anybody.
        const QByteArray Bytes = Text.toLatin1();
        if (Text.size() >= crypto_pwhash_STRBYTES || !SodiumReady() ||
            crypto_pwhash_str_needs_rehash(Bytes.constData(), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                                           crypto_pwhash_MEMLIMIT_INTERACTIVE) < 0)
            return TStoredPassword::Malformed;
        return TStoredPassword::Set;
    }
    QString Password;
    if (StoredTextToPassword(Text, Password) == TStoredTextResult::Malformed)
        return TStoredPassword::Malformed;
    return Password.isEmpty() ? TStoredPassword::None : TStoredPassword::Set;
}

bool StoredPasswordMatches(const QString& Text, const QString& Typed)
{
    if (StoredPasswordState(Text) != TStoredPassword::Set)
        return false;
    if (IsStartupPasswordHash(Text)) {
        const QByteArray Hash = Text.toLatin1();
        const QByteArray Bytes = Typed.toUtf8();
        return crypto_pwhash_str_verify(Hash.constData(), Bytes.constData(),
                                        static_cast<unsigned long long>(Bytes.size())) == 0;
    }
    QString Password;
    (void)StoredTextToPassword(Text, Password);
    return Typed == Password;
}

TStoredTextResult StoredTextToPassword(const QString& Text, QString& Password)
{
    Password.clear();
    const qsizetype Groups = Text.size() / 4;
    QString Result;
    for (qsizetype I = 0; I < Groups; ++I) {
        const qsizetype Group = 2 * (I % 8) + I / 8;
        if (Group >= Groups)
            return TStoredTextResult::Malformed;
        const qsizetype At = 4 * Group;
        const auto First = HexByte(Text, At + 2);
        const auto Second = HexByte(Text, At);
        if (!First || !Second || *First == 0)
            return TStoredTextResult::Malformed;
        // A single-byte character leaves its second byte zero.
        QByteArray Bytes(1, static_cast<char>(*First));
        if (*Second != 0)
            Bytes.append(static_cast<char>(*Second));
        const auto Unit = Cp932Decode(Bytes, TDecodeMode::Strict);
        if (!Unit || Unit->size() != 1)
            return TStoredTextResult::Malformed;
        const QString Half = ToHalfWidth(*Unit);
        if (Half == QLatin1String("+") || Half == QLatin1String("-") || Half == QLatin1String("*") ||
            Half == QLatin1String("/"))
            continue;
        Result += Half;
    }
    Password = Result;
    return TStoredTextResult::Password;
}
