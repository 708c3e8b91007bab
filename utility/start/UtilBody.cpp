#include "utility/start/UtilBody.h"

#include "main/common/CommonForms.h"
#include "main/common/CommonSys.h"
#include "main/common/MsgBoxPos.h"
#include "main/common/ProductInfo.h"
#include "main/settings/Settings.h"
#include "main/start/ProgramLook.h"
#include "platform/msg/CoreMessage.h"
#include "transfer/common/LeftFiles.h"
#include "utility/forms/SilentOffer.h"
#include "utility/forms/UtilMainForm.h"
#include "utility/start/UtilFolders.h"
#include "utility/start/UtilityRunning.h"

#include <QApplication>
#include <memory>

namespace Utility {

int RunVxUtil16(int& argc, char** argv)
{
    QApplication App(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VxUtil16"));
    QApplication::setOrganizationName(QStringLiteral("Pelmar"));
    // Every window and box carries its own caption. A display name would be appended to each title
    // on X11; an empty one is appended to none.
    QApplication::setApplicationDisplayName(QStringLiteral(""));
    SetUpProgramLook();

    // A later start brings the running copy forward and ends without a word.
    std::unique_ptr<TSingleInstance> Instance;
    if (IsAlreadyRunning(UTILITY_INSTANCE_NAME, true, &Instance))
        return 0;

    SetUpHintDelays();
    SetCoreMessageBox([](const QString& Text, const QString& Caption, unsigned Flags) {
        return MessageBoxPos(QApplication::activeWindow(), Text, Caption, Flags);
    });

    SilentConversion = IsSilentConversionArgument(QApplication::arguments());
    InitProgramFolders();
    // "/c" only offers the conversion of version 15's data, without the main window, and ends.
    if (SilentConversion) {
        SilentConversionOffer();
        SetCoreMessageBox({});
        return 0;
    }

    if (!ReadUtilityDataPath()) {
        (void)MessageBoxPos(nullptr, QString::fromUtf8(DataPathMissingMessage), ProductName,
                            MB_OK | MB_ICONINFORMATION);
        return 0;
    }
    RemoveLeftTableFiles(DataPath);
    FindOlderVersionFolders();

    const QByteArray InstanceMark = UTILITY_INSTANCE_NAME.toUtf8();
    int Result = 0;
    {
        TMainForm Form;
        Form.setProperty(InstanceMark.constData(), 1);
        QObject::connect(Instance.get(), &TSingleInstance::ActivationRequested,
                         [&InstanceMark] { ActivateMarkedWindow(InstanceMark.constData()); });
        Form.show();
        Result = QApplication::exec();
        Form.setProperty(InstanceMark.constData(), QVariant());
    }
    SetCoreMessageBox({});
    return Result;
}

} // namespace Utility
