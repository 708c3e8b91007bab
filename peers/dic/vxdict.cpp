// vxdict: builds the postal dictionary of the dictionary stand-ins from the public postal lists,
// and prints what the dictionary libraries answer for a text.
//   vxdict build --zipcode FILE --office FILE --out DIR
//   vxdict area|postal|address|fix TEXT [--dic DIR]

#include "peers/dic/DicBuild.h"
#include "peers/dic/DicPrint.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <cstdio>

namespace {

QString Option(const QStringList& Args, const QString& Name)
{
    int At = Args.indexOf(Name);
    return At >= 0 && At + 1 < Args.size() ? Args[At + 1] : QString();
}

int Usage()
{
    std::fputs("usage: vxdict build --zipcode FILE --office FILE --out DIR\n"
               "       vxdict area|postal|address|fix TEXT [--dic DIR]\n",
               stderr);
    return 2;
}

int Build(const QStringList& Args)
{
    const QString Zipcode = Option(Args, "--zipcode");
    const QString Office = Option(Args, "--office");
    const QString Out = Option(Args, "--out");
    if (Zipcode.isEmpty() || Out.isEmpty())
        return Usage();
    QElapsedTimer Timer;
    Timer.start();
    TSkkFile ZipLines, OfficeLines;
    QString Error;
    if (!ReadSkkFile(Zipcode, ZipLines, Error) || (!Office.isEmpty() && !ReadSkkFile(Office, OfficeLines, Error))) {
        std::fprintf(stderr, "vxdict: %s\n", qPrintable(Error));
        return 1;
    }
    TDicBuilder Builder(ZipLines);
    TDicData Data = Builder.Build(ZipLines, OfficeLines);
    if (!WriteDic(Data, Out, Error)) {
        std::fprintf(stderr, "vxdict: %s\n", qPrintable(Error));
        return 1;
    }
    std::printf("vxdict: %lld municipalities, %lld postal entries, %lld offices, %d lines refused, %lld ms\n",
                static_cast<long long>(Data.Cities.size()), static_cast<long long>(Data.Towns.size()),
                static_cast<long long>(Data.Offices.size()), ZipLines.Rejected + OfficeLines.Rejected,
                static_cast<long long>(Timer.elapsed()));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication App(argc, argv);
    const QStringList Args = App.arguments().mid(1);
    if (Args.isEmpty())
        return Usage();
    if (Args[0] == "build")
        return Build(Args);
    if (Args.size() < 2)
        return Usage();
    QString Dic = Option(Args, "--dic");
    if (Dic.isEmpty())
        Dic = QCoreApplication::applicationDirPath() + "/Dic/";
    return PrintDictionary(Args[0], Args[1], QCoreApplication::applicationDirPath() + "/", Dic);
}
