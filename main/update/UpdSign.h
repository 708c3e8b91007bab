#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QSslCertificate>
#include <QString>

// Whom the update check trusts: the maker's signing key, which every downloaded file must carry a
// signature of, and the authorities that may vouch for the update server's certificate.

// Sizes of an Ed25519 public key and of a detached signature.
inline constexpr qsizetype UpdatePublicKeyBytes = 32;
inline constexpr qsizetype UpdateSignatureBytes = 64;

struct TUpdateTrust
{
    // The maker's Ed25519 public key; empty when the build was given none, and then no download
    // verifies.
    QByteArray PublicKey;
    // Authorities trusted beside the system's store; the shipped program has none.
    QList<QSslCertificate> ExtraAuthorities;
};

// The key the build compiled in (VX_UPDATE_PUBLIC_KEY) and the system's authorities alone.
[[nodiscard]] TUpdateTrust ShippedUpdateTrust();

// What the program's update checks trust. It starts as ShippedUpdateTrust(), and the shipped program
// never changes it: nothing it reads (settings, environment, answers) reaches it.
[[nodiscard]] TUpdateTrust& UpdateTrust();

// Whether Signature is the maker's detached Ed25519 signature of Content. A key or a signature of the
// wrong size never verifies.
[[nodiscard]] bool VerifyUpdateSignature(const QByteArray& PublicKey, QByteArrayView Content,
                                         const QByteArray& Signature);

// The same for the whole content of a file, read through a mapping so that a large download is not
// copied into memory; false when the file cannot be read.
[[nodiscard]] bool VerifyUpdateFile(const QString& FileName, const QByteArray& PublicKey, const QByteArray& Signature);

// Where the server keeps the signature of the download Object: beside it, its last piece followed by
// ".sig" ("/dl/a.dl/" -> "/dl/a.dl.sig/", "/app/" -> "/app.sig/").
[[nodiscard]] QString SignatureObject(const QString& Object);

// A key written as 64 hexadecimal digits (blanks around them ignored); empty when it is no such text.
[[nodiscard]] QByteArray ParseUpdateKeyText(QByteArrayView Text);
