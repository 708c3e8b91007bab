// The registry file of any bytes and the start-up password text in it: the text comes out trimmed,
// turning it into a password never fails in any other way than "malformed", and a password written
// as the earlier setting tool wrote it is replaced by a hash that only that password matches.

#include "FuzzSupport.h"
#include "main/start/StartupPassword.h"
#include "platform/sys/Registry.h"
#include "platform/text/Cp932.h"

namespace {

bool IsTrimmed(QChar C)
{
    return C.unicode() <= 0x20 || C.unicode() == 0x7F;
}

// The setting tool's form: sixteen groups of four hexadecimal digits, the second byte first, in
// the interleaved order, padded with the filling characters.
QString StoredTextOf(const QByteArray& Password)
{
    static const char Fillers[] = "+-*/";
    QList<QByteArray> Units;
    for (const char C : Password)
        Units << QByteArray(1, C);
    for (int I = 0; Units.size() < 16; ++I)
        Units << QByteArray(1, Fillers[I % 4]);
    QString Groups[16];
    for (int I = 0; I < 16; ++I) {
        const QByteArray& Unit = Units[I];
        const int First = static_cast<unsigned char>(Unit[0]);
        const int Second = Unit.size() > 1 ? static_cast<unsigned char>(Unit[1]) : 0;
        Groups[2 * (I % 8) + I / 8] =
            QStringLiteral("%1%2").arg(Second, 2, 16, QLatin1Char('0')).arg(First, 2, 16, QLatin1Char('0'));
    }
    QString Text;
    for (const QString& Group : Groups)
        Text += Group.toUpper();
    return Text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    FuzzScratchFolder();
    // The input is the registry file; the password typed later is made of its first bytes.
    const QByteArray File(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size));
    const QString Registry = RegistryFileName();
    QDir().mkpath(QFileInfo(Registry).absolutePath());
    WriteFuzzFile(Registry, File);

    QString Text = QStringLiteral("<unchanged>");
    if (ReadStartupPasswordText(Text)) {
        VX_FUZZ_CHECK(Text.isEmpty() || (!IsTrimmed(Text.front()) && !IsTrimmed(Text.back())));
        QString Password;
        if (StoredTextToPassword(Text, Password) == TStoredTextResult::Password) {
            for (const QChar C : Password)
                VX_FUZZ_CHECK(C != QLatin1Char('+') && C != QLatin1Char('-') && C != QLatin1Char('*') &&
                              C != QLatin1Char('/'));
        }
    } else {
        VX_FUZZ_CHECK_EQ(Text, QStringLiteral("<unchanged>"));
    }

    // A password of printable ASCII, at most sixteen characters, stored as the tool stores it.
    QByteArray Password;
    for (const char C : File.left(16))
        if (C > 0x20 && C < 0x7F && !QByteArray("+-*/").contains(C))
            Password += C;
    VX_FUZZ_CHECK(WriteRegistryString(StartupPasswordKey, StartupPasswordValue, StoredTextOf(Password)));
    VX_FUZZ_CHECK(ReadStartupPasswordText(Text));
    // Read back, a password is kept only as its hash, which the password alone matches.
    if (Password.isEmpty()) {
        VX_FUZZ_CHECK(StoredPasswordState(Text) == TStoredPassword::None);
    } else {
        VX_FUZZ_CHECK(IsStartupPasswordHash(Text));
        VX_FUZZ_CHECK(StoredPasswordMatches(Text, QString::fromLatin1(Password)));
        VX_FUZZ_CHECK(!StoredPasswordMatches(Text, QString::fromLatin1(Password.toLower() + "x")));
    }
    return 0;
}
