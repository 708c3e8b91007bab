#include "main/update/UpdSign.h"
#include "tests/support/UpdateSigning.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// The maker's signature of each update file: only the maker's key, over the very bytes served.

TEST(UpdateSignatureTest, OnlyTheMakersSignatureOfTheVeryBytesVerifies)
{
    const QByteArray Content = "VxComm3.so, version 2.0.1.0\n";
    const QByteArray Good = TestSignature(Content);
    ASSERT_EQ(Good.size(), UpdateSignatureBytes);
    QByteArray Changed = Content;
    Changed[3] = static_cast<char>(Changed[3] ^ 0x20);
    QByteArray Forged = Good;
    Forged[10] = static_cast<char>(Forged[10] ^ 0x01);
    const struct
    {
        const char* What;
        QByteArray Key;
        QByteArray Bytes;
        QByteArray Signature;
        bool Verifies;
    } Cases[] = {
        {"the maker's signature", TestPublicKey(), Content, Good, true},
        {"one byte of the file changed", TestPublicKey(), Changed, Good, false},
        {"one bit of the signature changed", TestPublicKey(), Content, Forged, false},
        {"signed by another key", TestPublicKey(), Content, TestSignature(Content, QStringLiteral("other")), false},
        {"checked against another key", TestPublicKey(QStringLiteral("other")), Content, Good, false},
        {"a file cut short", TestPublicKey(), Content.chopped(1), Good, false},
        {"a file with a byte more", TestPublicKey(), Content + '\n', Good, false},
        {"a signature cut short", TestPublicKey(), Content, Good.chopped(1), false},
        {"a signature with a byte more", TestPublicKey(), Content, Good + '\0', false},
        {"no signature", TestPublicKey(), Content, {}, false},
        {"no key built in", {}, Content, Good, false},
        {"a key cut short", TestPublicKey().chopped(1), Content, Good, false},
        {"an empty file, signed", TestPublicKey(), {}, TestSignature({}), true},
        {"an empty file, another's signature", TestPublicKey(), {}, Good, false},
    };
    for (const auto& Case : Cases) {
        EXPECT_EQ(VerifyUpdateSignature(Case.Key, Case.Bytes, Case.Signature), Case.Verifies) << Case.What;
    }
}

TEST(UpdateSignatureTest, AFileIsVerifiedAsItLiesOnDisk)
{
    QTemporaryDir Dir;
    const QString Name = Dir.filePath(QStringLiteral("a.dl.part"));
    const QByteArray Content = QByteArray(3 * 1024 * 1024, 'u') + "end";
    QFile File(Name);
    ASSERT_TRUE(File.open(QIODevice::WriteOnly));
    File.write(Content);
    File.close();
    EXPECT_TRUE(VerifyUpdateFile(Name, TestPublicKey(), TestSignature(Content)));
    EXPECT_FALSE(VerifyUpdateFile(Name, TestPublicKey(), TestSignature(Content.chopped(1))));
    EXPECT_FALSE(VerifyUpdateFile(Dir.filePath(QStringLiteral("gone")), TestPublicKey(), TestSignature({})));

    ASSERT_TRUE(File.open(QIODevice::WriteOnly | QIODevice::Truncate));
    File.close();
    EXPECT_TRUE(VerifyUpdateFile(Name, TestPublicKey(), TestSignature({}))) << "an empty file has a signature too";
}

TEST(UpdateSignatureTest, TheSignatureLiesBesideItsDownload)
{
    EXPECT_EQ(SignatureObject(QStringLiteral("/dl/a.dl/")), QStringLiteral("/dl/a.dl.sig/"));
    EXPECT_EQ(SignatureObject(QStringLiteral("/app/")), QStringLiteral("/app.sig/"));
    EXPECT_EQ(SignatureObject(QStringLiteral("/app")), QStringLiteral("/app.sig"));
    EXPECT_EQ(SignatureObject(QStringLiteral("/dl/")), QStringLiteral("/dl.sig/"));
}

TEST(UpdateSignatureTest, AKeyIsSixtyFourHexadecimalDigits)
{
    const QByteArray Digits = "e88405800fc89f3de9b17fbed3710578d190dfafcc74331c5af13f27005b3ab8";
    EXPECT_EQ(ParseUpdateKeyText(Digits).toHex(), Digits);
    EXPECT_EQ(ParseUpdateKeyText(" " + Digits.toUpper() + "\n").toHex(), Digits);
    for (const QByteArray& Bad : {Digits.chopped(1), Digits + "0", QByteArray(Digits).replace('e', 'g'),
                                  Digits.left(32) + " " + Digits.mid(32), QByteArray()})
        EXPECT_TRUE(ParseUpdateKeyText(Bad).isEmpty()) << Bad.constData();
    EXPECT_EQ(TestPublicKey().size(), UpdatePublicKeyBytes) << "the test key of tests/data reads";
}

// What a developer's build ships: the system's authorities alone, and a key only when the release
// build names one.
TEST(UpdateSignatureTest, TheShippedTrustHasNoExtraAuthority)
{
    const TUpdateTrust Shipped = ShippedUpdateTrust();
    EXPECT_TRUE(Shipped.ExtraAuthorities.isEmpty());
    EXPECT_TRUE(Shipped.PublicKey.isEmpty() || Shipped.PublicKey.size() == UpdatePublicKeyBytes);
    EXPECT_NE(Shipped.PublicKey, TestPublicKey());
    EXPECT_EQ(UpdateTrust().PublicKey, Shipped.PublicKey) << "nothing in this program replaced it";
}
