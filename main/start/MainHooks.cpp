#include "main/start/MainHooks.h"

#include <QVariant>
#include <QWidget>

namespace {
constexpr const char* HelpContextProperty = "HelpContext";
}

TMainHooks& MainHooks()
{
    static TMainHooks Hooks;
    return Hooks;
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
