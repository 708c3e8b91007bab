// Writes the program's icon as a PNG file beside the programs, for the desktop's menu entries.
// Usage: MakeIcon OUTPUT.png

#include "main/start/MainIcons.h"

#include <QGuiApplication>
#include <QPixmap>
#include <cstdio>

int main(int argc, char* argv[])
{
    QGuiApplication App(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: MakeIcon OUTPUT.png\n");
        return 2;
    }
    return ProgramIcon().pixmap(128, 128).save(QString::fromLocal8Bit(argv[1]), "PNG") ? 0 : 1;
}
