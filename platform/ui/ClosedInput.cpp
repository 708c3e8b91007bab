#include "platform/ui/ClosedInput.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodQueryEvent>
#include <QLineEdit>
#include <QPointer>
#include <QWidget>

namespace {

// QLineEdit answers the query by whether it is enabled and writable, not by WA_InputMethodEnabled,
// and resets that attribute itself when its echo mode or read-only state changes. The filter has
// the field answer first and then overrules the one value that decides.
class TInputMethodRefusal : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (Event->type() != QEvent::InputMethodQuery)
            return false;
        auto* Query = static_cast<QInputMethodQueryEvent*>(Event);
        Watched->event(Event);
        if (Query->queries() & Qt::ImEnabled)
            Query->setValue(Qt::ImEnabled, false);
        if (Query->queries() & Qt::ImHints)
            Query->setValue(Qt::ImHints, static_cast<int>(Hints(Query->value(Qt::ImHints))));
        Query->accept();
        return true;
    }

private:
    static Qt::InputMethodHints Hints(const QVariant& Own)
    {
        return Qt::InputMethodHints(Own.toInt()) | Qt::ImhLatinOnly | Qt::ImhNoPredictiveText;
    }
};

} // namespace

void CloseInputMethod(QWidget* Field)
{
    if (!Field)
        return;
    if (auto* Combo = qobject_cast<QComboBox*>(Field); Combo && Combo->lineEdit())
        CloseInputMethod(Combo->lineEdit());
    if (Field->property("InputMethodClosed").toBool())
        return;
    Field->setProperty("InputMethodClosed", true);
    Field->setAttribute(Qt::WA_InputMethodEnabled, false);
    Field->setInputMethodHints(Field->inputMethodHints() | Qt::ImhLatinOnly | Qt::ImhNoPredictiveText);
    Field->installEventFilter(new TInputMethodRefusal(Field));
    if (Field->hasFocus())
        QGuiApplication::inputMethod()->update(Qt::ImEnabled | Qt::ImHints);
}

bool TakesInputMethod(QWidget* Field)
{
    QInputMethodQueryEvent Query(Qt::ImEnabled);
    QCoreApplication::sendEvent(Field, &Query);
    return Query.value(Qt::ImEnabled).toBool();
}
