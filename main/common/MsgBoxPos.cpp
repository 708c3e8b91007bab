#include "main/common/MsgBoxPos.h"

#include "main/common/ProductInfo.h"

#include <QApplication>
#include <QWidget>

int MessageBoxPos(QWidget* Window, const QString& Text, const QString& Caption, unsigned Flags, int Mode, int X, int Y)
{
    TMessageBoxPlacement Placement;
    if (Mode == 0 && Window != nullptr)
        Placement = TMessageBoxPlacement::CenteredOver(Window->frameGeometry());
    else if (Mode == 1)
        Placement = TMessageBoxPlacement::AtTopLeft(QPoint(X, Y));

    // The layer re-activates the window that was active before, which also brings the program back
    // to the front when the box was answered while another program had it.
    return ShowMessageBox(Window, Text, Caption, Flags, Placement);
}

int ShowMessage(const QString& Text, unsigned Flags)
{
    return MessageBoxPos(QApplication::activeWindow(), Text, ProductName, Flags, 2);
}
