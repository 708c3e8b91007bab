#include "platform/ui/WindowLog.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QWidget>

namespace {

// Whether Control's text is wider (or taller) than the room the control gives it.
bool TextCut(const QWidget* Control)
{
    if (const auto* Label = qobject_cast<const QLabel*>(Control)) {
        if (Label->text().isEmpty())
            return false;
        if (Label->wordWrap())
            return Label->heightForWidth(Label->width()) > Label->height();
        return Label->sizeHint().width() > Label->width();
    }
    if (const auto* Edit = qobject_cast<const QLineEdit*>(Control)) {
        if (Edit->echoMode() != QLineEdit::Normal || qobject_cast<const QComboBox*>(Edit->parent()))
            return false;
        const QMargins Text = Edit->textMargins();
        // The frame and the edit's own margin of two pixels a side.
        const int Frame =
            Edit->hasFrame() ? Edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, Edit) : 0;
        const int Room = Edit->width() - 2 * Frame - 4 - Text.left() - Text.right();
        return Edit->fontMetrics().horizontalAdvance(Edit->text()) > Room ||
               Edit->fontMetrics().height() + 2 * Frame > Edit->height();
    }
    if (qobject_cast<const QCheckBox*>(Control) || qobject_cast<const QRadioButton*>(Control)) {
        const auto* Button = static_cast<const QAbstractButton*>(Control);
        return !Button->text().isEmpty() && Button->sizeHint().width() > Button->width();
    }
    if (const auto* Button = qobject_cast<const QPushButton*>(Control)) {
        if (Button->text().isEmpty())
            return false;
        const int Frame = Button->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, Button);
        int Wanted = Button->fontMetrics().size(Qt::TextShowMnemonic, Button->text()).width() + 2 * Frame;
        if (!Button->icon().isNull())
            Wanted += Button->iconSize().width() + 4;
        return Wanted > Button->width() || Button->fontMetrics().height() > Button->height();
    }
    return false;
}

} // namespace

QStringList CutTexts(const QWidget* Window)
{
    QStringList Cut;
    for (const QWidget* Child : Window->findChildren<QWidget*>())
        if (Child->isVisibleTo(Window) && TextCut(Child))
            Cut << (Child->objectName().isEmpty() ? QString::fromLatin1(Child->metaObject()->className()) +
                                                        QStringLiteral(" ") + Child->property("text").toString()
                                                  : Child->objectName());
    return Cut;
}

void LogWindowState(const QWidget* Window)
{
    const QString FileName = qEnvironmentVariable("VX_WINDOW_LOG");
    if (FileName.isEmpty() || !Window)
        return;
    QJsonObject Fields;
    QJsonObject Places;
    QJsonArray Disabled;
    QJsonObject Bars;
    for (const QWidget* Child : Window->findChildren<QWidget*>()) {
        const QString Name = Child->objectName();
        if (Name.isEmpty() || Name.startsWith(u"qt_"))
            continue;
        if (const auto* Area = qobject_cast<const QAbstractScrollArea*>(Child); Area && Area->isVisibleTo(Window))
            Bars.insert(Name, QJsonArray{Area->horizontalScrollBar()->isVisibleTo(Window),
                                         Area->verticalScrollBar()->isVisibleTo(Window)});
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
                           {QStringLiteral("places"), Places},
                           {QStringLiteral("cut"), QJsonArray::fromStringList(CutTexts(Window))},
                           {QStringLiteral("bars"), Bars}};
    File.write(QJsonDocument(Line).toJson(QJsonDocument::Compact) + '\n');
}
