#include "platform/ui/WindowLog.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QWidget>

void LogWindowState(const QWidget* Window)
{
    const QString FileName = qEnvironmentVariable("VX_WINDOW_LOG");
    if (FileName.isEmpty() || !Window)
        return;
    QJsonObject Fields;
    QJsonObject Places;
    QJsonArray Disabled;
    for (const QWidget* Child : Window->findChildren<QWidget*>()) {
        const QString Name = Child->objectName();
        if (Name.isEmpty() || Name.startsWith(u"qt_"))
            continue;
        if (Window->isVisible() && Child->isVisible()) {
            const QPoint At = Child->mapToGlobal(QPoint(0, 0));
            Places.insert(Name, QJsonArray{At.x(), At.y(), Child->width(), Child->height()});
        }
        if (!Child->isEnabled())
            Disabled.append(Name);
        if (const auto* Edit = qobject_cast<const QLineEdit*>(Child); Edit && !qobject_cast<QComboBox*>(Edit->parent()))
            // What a password edit holds is never written anywhere.
            Fields.insert(Name, Edit->echoMode() == QLineEdit::Normal ? Edit->text() : QString());
        else if (const auto* Label = qobject_cast<const QLabel*>(Child))
            Fields.insert(Name, Label->text());
        else if (const auto* Combo = qobject_cast<const QComboBox*>(Child))
            Fields.insert(Name, Combo->currentText());
        else if (const auto* Button = qobject_cast<const QAbstractButton*>(Child))
            Fields.insert(Name, Button->text());
        else if (const auto* Memo = qobject_cast<const QPlainTextEdit*>(Child))
            Fields.insert(Name, Memo->toPlainText());
        else if (const auto* List = qobject_cast<const QListWidget*>(Child)) {
            QJsonArray Lines;
            for (int Row = 0; Row < List->count(); ++Row)
                Lines.append(List->item(Row)->text());
            Fields.insert(Name, Lines);
        }
    }
    QFile File(FileName);
    if (!File.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    const QJsonObject Line{{QStringLiteral("window"), Window->objectName()},
                           {QStringLiteral("title"), Window->windowTitle()},
                           {QStringLiteral("fields"), Fields},
                           {QStringLiteral("disabled"), Disabled},
                           {QStringLiteral("places"), Places}};
    File.write(QJsonDocument(Line).toJson(QJsonDocument::Compact) + '\n');
}
