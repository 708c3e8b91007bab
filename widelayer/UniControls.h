#pragma once

#include "widelayer/UniControlText.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class QWidget;

// A list control that takes an item with its text and data in one call; the list views implement
// it, so copying between lists keeps each item's data.
class IUniListControl
{
public:
    virtual ~IUniListControl() = default;
    virtual void AddItem(const QString& Caption, void* Data) = 0;
};

// A widget's hint, "short|long": the short part becomes its tool tip, the long part its status tip.
void WideSetHint(QWidget* Control, const QString& Hint);
[[nodiscard]] QString WideGetHint(const QWidget* Control);
// The first hint found from the widget up through its parents, so a panel's hint covers its children.
[[nodiscard]] QString WideGetInheritedHint(const QWidget* Control);

// Adds an item to a list view of ours, a QListWidget or a QComboBox; the data rides in Qt::UserRole.
void WideListControlAddItem(QWidget* Control, const QString& Text, void* Data);
[[nodiscard]] void* WideListControlItemData(const QWidget* Control, int Index);

// The application's hint line: follows the mouse and shows the long part of the inherited hint of
// the widget under it as that window's status tip.
class TUniApplicationHint : public QObject
{
public:
    explicit TUniApplicationHint(QObject* Parent = nullptr);
    [[nodiscard]] const QString& Hint() const { return FHint; }
    std::function<void(const QString& Hint)> OnHint;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void SetHintFor(QWidget* Control);

    QString FHint;
    QPointer<QWidget> FLastControl;
};
