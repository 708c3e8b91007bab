#include "main/MainForm.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication App(argc, argv);
    TMainForm MainForm;
    MainForm.show();
    return App.exec();
}
