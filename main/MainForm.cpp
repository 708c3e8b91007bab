#include "main/MainForm.h"

#include "main/ProductInfo.h"

TMainForm::TMainForm(QWidget* Parent) : QMainWindow(Parent)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(ProductName);
    resize(320, 240);
}
