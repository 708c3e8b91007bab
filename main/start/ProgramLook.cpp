#include "main/start/ProgramLook.h"

#include "main/start/MainIcons.h"
#include "platform/ui/JapaneseUi.h"

#include <QApplication>
#include <QGuiApplication>
#include <QProxyStyle>

void SetUpProgramLook()
{
    // Without Qt's translation the English texts remain; the program works as before.
    (void)InstallJapaneseUi();
    QGuiApplication::setWindowIcon(ProgramIcon());
}

namespace {

class TProgramStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint Hint, const QStyleOption* Option, const QWidget* Widget,
                  QStyleHintReturn* ReturnData) const override
    {
        if (Hint == SH_ToolTip_WakeUpDelay)
            return 300;
        if (Hint == SH_ToolTip_FallAsleepDelay)
            return 30;
        return QProxyStyle::styleHint(Hint, Option, Widget, ReturnData);
    }
};

} // namespace

void SetUpHintDelays()
{
    QApplication::setStyle(new TProgramStyle);
}
