// vxdict: builds the postal dictionary of the dictionary stand-ins from the public postal lists
// (what the libraries answer from it, vxdicquery prints).
//   vxdict build --jpostal DIR --out DIR          (Japan Post's data, the package's json folder)
//   vxdict build --zipcode FILE --office FILE --out DIR   (the SKK lists, when the package is absent)

#include "peers/dic/DicBuild.h"
#include "peers/dic/PostalJson.h"

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
    std::fputs("usage: vxdict build --jpostal DIR --out DIR\n"
               "       vxdict build --zipcode FILE --office FILE --out DIR\n",
               stderr);
    return 2;
}

int Report(const TDicData& Data, int Refused, const QElapsedTimer& Timer)
{
    std::printf("vxdict: %s: %lld municipalities, %lld postal entries, %lld offices, %d rows refused, %lld ms\n",
                qPrintable(Data.Source), static_cast<long long>(Data.Cities.size()),
                static_cast<long long>(Data.Towns.size()), static_cast<long long>(Data.Offices.size()), Refused,
                static_cast<long long>(Timer.elapsed()));
    return 0;
}

int BuildPostal(const QString& Folder, const QString& Out)
{
    QElapsedTimer Timer;
    Timer.start();
    TPostalFile File;
    QString Error;
    if (!ReadJpostalFolder(Folder, File, Error)) {
        std::fprintf(stderr, "vxdict: %s\n", qPrintable(Error));
        return 1;
    }
    const TDicData Data = BuildFromPostal(File, QStringLiteral("Japan Post (jquery-jpostal-ja 2.14.73)"));
    if (!WriteDic(Data, Out, Error)) {
        std::fprintf(stderr, "vxdict: %s\n", qPrintable(Error));
        return 1;
    }
    return Report(Data, File.Rejected, Timer);
}

int Build(const QStringList& Args)
{
    if (!Option(Args, "--jpostal").isEmpty() && !Option(Args, "--out").isEmpty())
        return BuildPostal(Option(Args, "--jpostal"), Option(Args, "--out"));
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
    return Report(Data, ZipLines.Rejected + OfficeLines.Rejected, Timer);
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
    return Usage();
}
