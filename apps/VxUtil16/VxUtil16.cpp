#include "main/common/ProductInfo.h"
#include "main/start/ProgramLook.h"
#include "platform/sys/FileVersionNote.h"

#include <QApplication>
#include <QMainWindow>

VX_FILE_VERSION(ProductVersionMajor, ProductVersionMinor, ProductVersionRelease, ProductVersionBuild);

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
