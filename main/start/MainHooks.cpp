#include "main/start/MainHooks.h"

#include <QVariant>
#include <QtGlobal>
#include <QWidget>

namespace {
constexpr const char* HelpContextProperty = "HelpContext";
}

TMainHooks& MainHooks()
{
    static TMainHooks Hooks;
    return Hooks;
}

void ReportMissingHook(const char* Name)
{
    qCritical("The program's wiring left the hook %s empty: its step is left out", Name);
    Q_ASSERT_X(false, Name, "hook not installed");
}

void SetHelpContext(QWidget* Window, int Context)
{
    Window->setProperty(HelpContextProperty, Context);
}

int HelpContextOf(const QWidget* Window)
{
    for (const QWidget* W = Window; W; W = W->parentWidget()) {
        const QVariant Context = W->property(HelpContextProperty);
        if (Context.isValid() && Context.toInt() != 0)
            return Context.toInt();
    }
    return 0;
}
