#include "main/common/ProductInfo.h"
#include "main/start/ProgramLook.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[])
{
    QApplication App(argc, argv);
    SetUpProgramLook();
    QMainWindow Window;
    Window.setWindowTitle(ProductName + QStringLiteral(" ユーティリティ"));
    Window.resize(320, 240);
    Window.show();
    return App.exec();
}
