// Linked into the test build of VxRelvo16 only (tests/CMakeLists.txt), never into the shipped program:
// as the application object is made, the update check takes its key and an extra certificate
// authority from the environment, so that the end-to-end tests can serve signed updates over HTTPS from 127.0.0.1.
//
//   VX_TEST_UPDATE_KEY  a file holding the public key in hexadecimal (tests/data/update-sign-*.pub)
//   VX_TEST_UPDATE_CA   a PEM file of authorities trusted beside the system's (tests/data/update-tls-ca.pem)

#include "main/update/UpdSign.h"

#include <QCoreApplication>
#include <QFile>
#include <QSslCertificate>

namespace {

QByteArray ReadFileNamedBy(const char* Variable)
{
    const QString Name = qEnvironmentVariable(Variable);
    QFile File(Name);
    return !Name.isEmpty() && File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray();
}

void InstallTestUpdateTrust()
{
    TUpdateTrust& Trust = UpdateTrust();
    if (qEnvironmentVariableIsSet("VX_TEST_UPDATE_KEY"))
        Trust.PublicKey = ParseUpdateKeyText(ReadFileNamedBy("VX_TEST_UPDATE_KEY"));
    if (qEnvironmentVariableIsSet("VX_TEST_UPDATE_CA"))
        Trust.ExtraAuthorities = QSslCertificate::fromData(ReadFileNamedBy("VX_TEST_UPDATE_CA"), QSsl::Pem);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallTestUpdateTrust)
