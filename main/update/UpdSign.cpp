#include "main/update/UpdSign.h"

#include <QFile>
#include <cctype>
#include <sodium.h>

static_assert(UpdatePublicKeyBytes == crypto_sign_PUBLICKEYBYTES);
static_assert(UpdateSignatureBytes == crypto_sign_BYTES);

#ifndef VX_UPDATE_PUBLIC_KEY
#define VX_UPDATE_PUBLIC_KEY ""
#endif

namespace {

bool SodiumReady()
{
    // sodium_init answers 1 when an earlier call already did the work.
    static const bool Ready = sodium_init() >= 0;
    return Ready;
}

} // namespace

TUpdateTrust ShippedUpdateTrust()
{
    // The maker's key comes from the release build's configuration; a build without one (every
    // developer's) verifies nothing and so installs no update.
    return {ParseUpdateKeyText(VX_UPDATE_PUBLIC_KEY), {}};
}

TUpdateTrust& UpdateTrust()
{
    static TUpdateTrust Trust = ShippedUpdateTrust();
    return Trust;
}

bool VerifyUpdateSignature(const QByteArray& PublicKey, QByteArrayView Content, const QByteArray& Signature)
{
    if (PublicKey.size() != UpdatePublicKeyBytes || Signature.size() != UpdateSignatureBytes || !SodiumReady())
        return false;
    // An empty file still has a signature; the view of it may have no address.
    static const unsigned char Nothing = 0;
    const auto* Bytes = Content.isEmpty() ? &Nothing : reinterpret_cast<const unsigned char*>(Content.data());
    return crypto_sign_verify_detached(reinterpret_cast<const unsigned char*>(Signature.constData()), Bytes,
                                       static_cast<unsigned long long>(Content.size()),
                                       reinterpret_cast<const unsigned char*>(PublicKey.constData())) == 0;
}

bool VerifyUpdateFile(const QString& FileName, const QByteArray& PublicKey, const QByteArray& Signature)
{
    QFile File(FileName);
    if (!File.open(QIODevice::ReadOnly))
        return false;
    const qint64 Size = File.size();
    if (Size == 0)
        return VerifyUpdateSignature(PublicKey, {}, Signature);
    const uchar* Mapped = File.map(0, Size);
    if (!Mapped)
        return false;
    const bool Verified =
        VerifyUpdateSignature(PublicKey, QByteArrayView(reinterpret_cast<const char*>(Mapped), Size), Signature);
    File.unmap(const_cast<uchar*>(Mapped));
    return Verified;
}

QString SignatureObject(const QString& Object)
{
    const bool Slash = Object.endsWith(QLatin1Char('/'));
    return (Slash ? Object.chopped(1) : Object) + QStringLiteral(".sig") + (Slash ? QStringLiteral("/") : QString());
}

QByteArray ParseUpdateKeyText(QByteArrayView Text)
{
    const QByteArray Digits = Text.trimmed().toByteArray();
    if (Digits.size() != 2 * UpdatePublicKeyBytes)
        return {};
    for (const char Digit : Digits)
        if (!std::isxdigit(static_cast<unsigned char>(Digit)))
            return {};
    return QByteArray::fromHex(Digits);
}
