// vxdicquery: prints what the dictionary libraries of the program folder answer for a text, through
// the program's own bindings, as the dictionary dialog would ask them.
//   vxdicquery area|postal|address|fix TEXT [--dic DIR]

#include "directory/dic/DicQueryPrint.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication App(argc, argv);
    const QStringList Args = App.arguments().mid(1);
    if (Args.size() < 2) {
        std::fputs("usage: vxdicquery area|postal|address|fix TEXT [--dic DIR]\n", stderr);
        return 2;
    }
    const int At = Args.indexOf(QStringLiteral("--dic"));
    QString Dic = At >= 0 && At + 1 < Args.size() ? Args[At + 1] : QString();
    if (Dic.isEmpty())
        Dic = QCoreApplication::applicationDirPath() + QStringLiteral("/Dic/");
    return PrintDictionary(Args[0], Args[1], QCoreApplication::applicationDirPath() + QLatin1Char('/'), Dic);
}
