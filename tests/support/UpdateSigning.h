#pragma once

#include "main/update/UpdSign.h"
#include "tests/support/TestHttpServer.h"

#include <QFile>
#include <QSslCertificate>
#include <sodium.h>

// The update server of the tests signs with the key pairs of tests/data, made once with the maker's
// tool (build/tools/vxupdsign keygen): "test" stands for the maker's key, "other" for anyone else's.
// Each .pub holds the public key, each .key the secret key, as hexadecimal digits.

inline QByteArray TestKeyFile(const QString& Name, const char* Suffix)
{
    QFile File(QStringLiteral(VX_TEST_DATA_DIR "/update-sign-") + Name + QLatin1String(Suffix));
    return File.open(QIODevice::ReadOnly) ? File.readAll().trimmed() : QByteArray();
}

inline QByteArray TestPublicKey(const QString& Name = QStringLiteral("test"))
{
    return ParseUpdateKeyText(TestKeyFile(Name, ".pub"));
}

inline QByteArray TestSignature(const QByteArray& Content, const QString& Key = QStringLiteral("test"))
{
    const QByteArray Secret = QByteArray::fromHex(TestKeyFile(Key, ".key"));
    if (Secret.size() != crypto_sign_SECRETKEYBYTES || sodium_init() < 0)
        return {};
    QByteArray Signature(crypto_sign_BYTES, '\0');
    crypto_sign_detached(reinterpret_cast<unsigned char*>(Signature.data()), nullptr,
                         reinterpret_cast<const unsigned char*>(Content.constData()),
                         static_cast<unsigned long long>(Content.size()),
                         reinterpret_cast<const unsigned char*>(Secret.constData()));
    return Signature;
}

// The path of the test authority, which vouches for the test server's certificates.
inline const QString TestAuthorityFile = QStringLiteral(VX_TEST_DATA_DIR "/update-tls-ca.pem");

// The test key in place of the maker's, and the test authority beside the system's.
inline TUpdateTrust TestUpdateTrust()
{
    return {TestPublicKey(), QSslCertificate::fromPath(TestAuthorityFile)};
}

// Body at Path, and its signature by Key beside it, as the update server keeps them.
inline void ServeSigned(QHash<QString, TTestServer::TAnswer>& Answers, const QString& Path, const QByteArray& Body,
                        const QString& Key = QStringLiteral("test"))
{
    Answers[Path] = {200, Body};
    Answers[SignatureObject(Path)] = {200, TestSignature(Body, Key)};
}

// While it lives, the program's update checks trust the test key and authority.
class TTestUpdateTrust
{
public:
    explicit TTestUpdateTrust(const TUpdateTrust& Trust = TestUpdateTrust()) : Saved(UpdateTrust())
    {
        UpdateTrust() = Trust;
    }
    ~TTestUpdateTrust() { UpdateTrust() = Saved; }
    TTestUpdateTrust(const TTestUpdateTrust&) = delete;
    TTestUpdateTrust& operator=(const TTestUpdateTrust&) = delete;

private:
    TUpdateTrust Saved;
};
