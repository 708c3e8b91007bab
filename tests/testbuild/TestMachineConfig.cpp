// Linked into the test build of VxRelvo16 only: the machine's registry file, which the shipped program
// reads from a fixed path, comes from the folder VX_TEST_MACHINE_CONFIG names, so that an end-to-end
// test can play the administrator without writing to /etc.

#include "platform/sys/Registry.h"

#include <QCoreApplication>

namespace {

void InstallTestMachineConfig()
{
    if (qEnvironmentVariableIsSet("VX_TEST_MACHINE_CONFIG"))
        SetMachineConfigFolder(qEnvironmentVariable("VX_TEST_MACHINE_CONFIG"));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallTestMachineConfig)
