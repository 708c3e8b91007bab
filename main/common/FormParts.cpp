#include "main/common/FormParts.h"

#include "main/common/CommonText.h"
#include "main/controls/NMDEdit.h"
#include "main/tables/HisInfo.h"
#include "platform/ui/ClosedInput.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QStyle>
#include <QToolButton>
#include <algorithm>

QFont EntryFormFont()
{
    QFont Font;
    Font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("Noto Sans CJK JP")});
    Font.setPixelSize(12);
    return Font;
}

int EditRowHeight(const QWidget* Form)
{
    const int Frame = Form->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    return std::max(21, QFontMetrics(Form->font()).height() + 2 * Frame + 2);
}

QLabel* NewCaption(QWidget* Parent, const QString& Text, int X, int Y, int W, int H)
{
    auto* Label = new QLabel(Text, Parent);
    Label->setGeometry(X, Y, W, H);
    Label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return Label;
}

QLineEdit* NewEdit(QWidget* Parent, const char* Name, int MaxBytes, QRect Place, bool ImeClosed)
{
    auto* Edit = NewNamed<QLineEdit>(Parent, Name);
    SetByteLimit(Edit, MaxBytes);
    Edit->setGeometry(Place);
    if (ImeClosed) {
        // Numbers and addresses of mail are typed in single-byte letters: no input method here.
        CloseInputMethod(Edit);
    }
    return Edit;
}

QToolButton* NewButton(QWidget* Parent, const char* Name, const QString& Caption, const QString& Hint, QRect Place)
{
    auto* Button = NewNamed<QToolButton>(Parent, Name);
    Button->setText(Caption);
    Button->setToolTip(Hint);
    Button->setGeometry(Place);
    Button->setFocusPolicy(Qt::StrongFocus);
    return Button;
}

QComboBox* NewCombo(QWidget* Parent, const char* Name, bool Editable, int MaxBytes, QRect Place)
{
    auto* Combo = NewNamed<QComboBox>(Parent, Name);
    Combo->setEditable(Editable);
    Combo->setInsertPolicy(QComboBox::NoInsert);
    if (Editable)
        SetByteLimit(Combo->lineEdit(), MaxBytes);
    Combo->setGeometry(Place);
    return Combo;
}

void CaretToEnd(QLineEdit* Edit)
{
    Edit->setFocus();
    Edit->deselect();
    Edit->setCursorPosition(static_cast<int>(Edit->text().size()));
}

void SelectAllAndFocus(QLineEdit* Edit)
{
    Edit->setFocus();
    Edit->selectAll();
}

QColor ColorOfValue(unsigned Value)
{
    return QColor(Value & 0xff, (Value >> 8) & 0xff, (Value >> 16) & 0xff);
}

unsigned ValueOfColor(const QColor& Color)
{
    return static_cast<unsigned>(Color.red()) | static_cast<unsigned>(Color.green()) << 8 |
           static_cast<unsigned>(Color.blue()) << 16;
}

void RefillRankCombo(QComboBox* Combo, const THistoryData* List)
{
    const QString Saved = TrimBlanks(Combo->currentText());
    Combo->clear();
    if (List && List->Items())
        for (const THistoryStruct& Item : *List->Items())
            Combo->addItem(Item.Text);
    Combo->setCurrentIndex(-1);
    if (Combo->isEditable())
        Combo->setEditText(QString());
    if (Saved.isEmpty())
        return;
    for (int I = 0; I < Combo->count(); ++I) {
        if (TrimBlanks(Combo->itemText(I)) == Saved) {
            Combo->setCurrentIndex(I);
            return;
        }
    }
}

void SetCaptionColor(QWidget* Widget, const QColor& Color)
{
    QPalette Palette = Widget->palette();
    Palette.setColor(QPalette::WindowText, Color);
    Palette.setColor(QPalette::ButtonText, Color);
    Widget->setPalette(Palette);
}
