// Any signature beside any download, any key text, any download path: a file verifies only under the
// one signature the key's owner made of its very bytes, and the signature is looked for beside the
// download and nowhere else.

#include "FuzzSupport.h"
#include "main/update/UpdSign.h"

#include <sodium.h>

namespace {

struct TKeyPair
{
    unsigned char Public[crypto_sign_PUBLICKEYBYTES];
    unsigned char Secret[crypto_sign_SECRETKEYBYTES];
};

// Two fixed key pairs, so that every run of an input signs alike.
const TKeyPair& KeyPair(unsigned char Seed)
{
    static TKeyPair Pairs[2];
    static const bool Made = [] {
        if (sodium_init() < 0)
            std::abort();
        for (unsigned char I = 0; I < 2; ++I) {
            unsigned char SeedBytes[crypto_sign_SEEDBYTES];
            std::memset(SeedBytes, 0x40 + I, sizeof SeedBytes);
            crypto_sign_seed_keypair(Pairs[I].Public, Pairs[I].Secret, SeedBytes);
        }
        return true;
    }();
    (void)Made;
    return Pairs[Seed & 1];
}

QByteArray PublicKey(const TKeyPair& Pair)
{
    return QByteArray(reinterpret_cast<const char*>(Pair.Public), sizeof Pair.Public);
}

QByteArray Sign(const TKeyPair& Pair, const QByteArray& Content)
{
    QByteArray Signature(crypto_sign_BYTES, '\0');
    crypto_sign_detached(reinterpret_cast<unsigned char*>(Signature.data()), nullptr,
                         reinterpret_cast<const unsigned char*>(Content.constData()),
                         static_cast<unsigned long long>(Content.size()), Pair.Secret);
    return Signature;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    TFuzzInput Input(Data, Size);
    const QByteArray Signature = Input.Bytes(UpdateSignatureBytes);
    const std::uint8_t Where = Input.Byte();
    const QByteArray Content = Input.Rest();
    const TKeyPair& Maker = KeyPair(0);
    const TKeyPair& Other = KeyPair(1);

    // A signature that is not the maker's of these bytes never verifies; the maker's always does.
    const QByteArray Made = Sign(Maker, Content);
    VX_FUZZ_CHECK_EQ(VerifyUpdateSignature(PublicKey(Maker), Content, Signature), Signature == Made);
    VX_FUZZ_CHECK(VerifyUpdateSignature(PublicKey(Maker), Content, Made));
    VX_FUZZ_CHECK(!VerifyUpdateSignature(PublicKey(Other), Content, Made));
    VX_FUZZ_CHECK(!VerifyUpdateSignature(PublicKey(Maker), Content, Sign(Other, Content)));
    VX_FUZZ_CHECK(!VerifyUpdateSignature({}, Content, Made));
    if (!Content.isEmpty()) {
        QByteArray Changed = Content;
        Changed[Where % Changed.size()] = static_cast<char>(Changed[Where % Changed.size()] ^ (1 << (Where % 8)));
        VX_FUZZ_CHECK(!VerifyUpdateSignature(PublicKey(Maker), Changed, Made));
        VX_FUZZ_CHECK(!VerifyUpdateSignature(PublicKey(Maker), Content.chopped(1), Made));
    }

    // The same bytes on disk, as a download lies before it is kept.
    const QString Folder = FreshFolder(QStringLiteral("updatesig"));
    WriteFuzzFile(Folder + QStringLiteral("a.dl.part"), Content);
    VX_FUZZ_CHECK(VerifyUpdateFile(Folder + QStringLiteral("a.dl.part"), PublicKey(Maker), Made));
    VX_FUZZ_CHECK_EQ(VerifyUpdateFile(Folder + QStringLiteral("a.dl.part"), PublicKey(Maker), Signature),
                     Signature == Made);

    // A key text is 32 bytes written as hexadecimal digits, or no key at all.
    const QByteArray Key = ParseUpdateKeyText(Content);
    VX_FUZZ_CHECK(Key.isEmpty() || Key.size() == UpdatePublicKeyBytes);
    if (!Key.isEmpty())
        VX_FUZZ_CHECK_EQ(Key.toHex(), Content.trimmed().toLower());

    // The signature of a download lies beside it: its own path with ".sig" added to the last piece.
    const QString Object = QString::fromUtf8(Content);
    const QString Beside = SignatureObject(Object);
    const bool Slash = Object.endsWith(QLatin1Char('/'));
    VX_FUZZ_CHECK(Beside.endsWith(Slash ? QStringLiteral(".sig/") : QStringLiteral(".sig")));
    VX_FUZZ_CHECK_EQ(Beside.left(Beside.size() - (Slash ? 5 : 4)) + (Slash ? QStringLiteral("/") : QString()), Object);
    return 0;
}
