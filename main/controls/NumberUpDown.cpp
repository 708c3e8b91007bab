#include "main/controls/NumberUpDown.h"

#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

TNumberUpDown::TNumberUpDown(int Min, int Max, QWidget* Parent) : QWidget(Parent), FMin(Min), FMax(Max), FPosition(Min)
{
    auto* Layout = new QVBoxLayout(this);
    Layout->setContentsMargins(0, 0, 0, 0);
    Layout->setSpacing(0);
    for (const bool Up : {true, false}) {
        auto* Button = new QToolButton(this);
        Button->setArrowType(Up ? Qt::UpArrow : Qt::DownArrow);
        Button->setFixedSize(17, 12);
        Button->setFocusPolicy(Qt::NoFocus);
        Button->setAutoRepeat(true);
        connect(Button, &QToolButton::clicked, this, [this, Up] { RequestChange(FPosition + (Up ? 1 : -1)); });
        Layout->addWidget(Button);
    }
}

void TNumberUpDown::SetRange(int Min, int Max)
{
    FMin = Min;
    FMax = Max;
    FPosition = std::clamp(FPosition, FMin, FMax);
}

void TNumberUpDown::SetPosition(int Value)
{
    FPosition = std::clamp(Value, FMin, FMax);
}

bool TNumberUpDown::RequestChange(int NewValue)
{
    if (NewValue < FMin || NewValue > FMax)
        return false;
    if (OnChanging && !OnChanging(NewValue))
        return false;
    FPosition = NewValue;
    return true;
}

bool StepUpDown(TNumberUpDown* UpDown, int Key, int PageStep)
{
    switch (Key) {
    case Qt::Key_PageUp:
        UpDown->RequestChange(std::min(UpDown->Position() + PageStep, UpDown->Max()));
        return true;
    case Qt::Key_PageDown:
        UpDown->RequestChange(std::max(UpDown->Position() - PageStep, UpDown->Min()));
        return true;
    case Qt::Key_Up:
        UpDown->RequestChange(UpDown->Position() + 1);
        return true;
    case Qt::Key_Down:
        UpDown->RequestChange(UpDown->Position() - 1);
        return true;
    default:
        return false;
    }
}
