#include "widelayer/UniControls.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QListWidget>
#include <QStatusTipEvent>
#include <QVariant>
#include <QWidget>

namespace {

constexpr char HintProperty[] = "Hint";

} // namespace

void WideSetHint(QWidget* Control, const QString& Hint)
{
    Control->setProperty(HintProperty, Hint);
    Control->setToolTip(GetShortHint(Hint));
    Control->setStatusTip(GetLongHint(Hint));
}

QString WideGetHint(const QWidget* Control)
{
    return Control->property(HintProperty).toString();
}

QString WideGetInheritedHint(const QWidget* Control)
{
    for (const QWidget* W = Control; W != nullptr; W = W->parentWidget()) {
        const QString Hint = WideGetHint(W);
        if (!Hint.isEmpty())
            return Hint;
    }
    return QString();
}

void WideListControlAddItem(QWidget* Control, const QString& Text, void* Data)
{
    const QVariant Value = QVariant::fromValue(reinterpret_cast<quintptr>(Data));
    if (auto* Wide = dynamic_cast<IUniListControl*>(Control)) {
        Wide->AddItem(Text, Data);
    } else if (auto* List = qobject_cast<QListWidget*>(Control)) {
        auto* Item = new QListWidgetItem(Text, List);
        Item->setData(Qt::UserRole, Value);
    } else if (auto* Combo = qobject_cast<QComboBox*>(Control)) {
        Combo->addItem(Text, Value);
    }
}

void* WideListControlItemData(const QWidget* Control, int Index)
{
    QVariant Value;
    if (auto* List = qobject_cast<const QListWidget*>(Control))
        Value = List->item(Index) ? List->item(Index)->data(Qt::UserRole) : QVariant();
    else if (auto* Combo = qobject_cast<const QComboBox*>(Control))
        Value = Combo->itemData(Index);
    return reinterpret_cast<void*>(Value.value<quintptr>());
}

TUniApplicationHint::TUniApplicationHint(QObject* Parent) : QObject(Parent)
{
    qApp->installEventFilter(this);
}

bool TUniApplicationHint::eventFilter(QObject* Watched, QEvent* Event)
{
    if ((Event->type() == QEvent::Enter || Event->type() == QEvent::MouseMove) && Watched->isWidgetType()) {
        auto* Control = static_cast<QWidget*>(Watched);
        if (Control != FLastControl)
            SetHintFor(Control);
    } else if (Event->type() == QEvent::Leave && Watched == FLastControl) {
        SetHintFor(nullptr);
    }
    return false;
}

void TUniApplicationHint::SetHintFor(QWidget* Control)
{
    FLastControl = Control;
    const QString Hint = Control ? GetLongHint(WideGetInheritedHint(Control)) : QString();
    if (Hint == FHint)
        return;
    FHint = Hint;
    if (Control) {
        QStatusTipEvent Tip(FHint);
        QApplication::sendEvent(Control, &Tip);
    }
    if (OnHint)
        OnHint(FHint);
}
