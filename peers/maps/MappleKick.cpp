// Stand-in for Super Mapple's starter. It lives in the directory program's folder beside the map
// host and answers through its exit status:
//
//   MappleKick -I                    0 when the host is there, 1 when not
//   MappleKick -V                    the version times 100
//   MappleKick /ADDRESS=...          shows the address on the host's display until it is closed
//   MappleKick /LAT=... /LON=...     shows the place (milliseconds of arc)
//
// A display that could not be shown answers 1.

#include "peers/maps/MapHostApi.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>
#include <dlfcn.h>

namespace {

void* LoadHost()
{
    const QString Path =
        QFileInfo(QCoreApplication::applicationDirPath() + QStringLiteral("/VxMapHost.so")).absoluteFilePath();
    return dlopen(QFile::encodeName(Path).constData(), RTLD_NOW | RTLD_LOCAL);
}

template <typename T> T Bind(void* Host, const char* Name)
{
    return reinterpret_cast<T>(dlsym(Host, Name));
}

} // namespace

int main(int argc, char** argv)
{
    QApplication App(argc, argv);
    const QStringList Args = App.arguments().mid(1);
    void* Host = LoadHost();
    const auto Version = Host ? Bind<TVxMapVersion>(Host, "VxMapVersion") : nullptr;
    if (!Version || Version("Mapple") == 0)
        return 1;
    if (Args.value(0).trimmed() == QLatin1String("-I"))
        return 0;
    if (Args.value(0).trimmed() == QLatin1String("-V"))
        return Version("Mapple") * 100;

    const auto Open = Bind<TVxMapOpen>(Host, "VxMapOpen");
    const auto Release = Bind<TVxMapRelease>(Host, "VxMapRelease");
    const auto Alive = Bind<TVxMapAlive>(Host, "VxMapAlive");
    const auto Move = Bind<TVxMapMoveMsec>(Host, "VxMapMoveMsec");
    const auto Address = Bind<TVxMapAddress>(Host, "VxMapAddress");
    if (!Open || !Release || !Alive || !Move || !Address)
        return 1;
    void* Map = Open("Mapple");
    if (!Map)
        return 1;
    int Lat = 0, Lon = 0;
    QString Text;
    for (const QString& Arg : Args) {
        if (Arg.startsWith(QLatin1String("/ADDRESS=")))
            Text = Arg.mid(9);
        else if (Arg.startsWith(QLatin1String("/LAT=")))
            Lat = Arg.mid(5).toInt();
        else if (Arg.startsWith(QLatin1String("/LON=")))
            Lon = Arg.mid(5).toInt();
    }
    const bool Shown = !Text.isEmpty() ? Address(Map, Text.toUtf8().constData()) == 1 : Move(Map, Lon, Lat) == 1;
    if (Shown) {
        QEventLoop Wait;
        QTimer Poll;
        QObject::connect(&Poll, &QTimer::timeout, &Wait, [&] {
            if (!Alive(Map))
                Wait.quit();
        });
        Poll.start(100);
        Wait.exec();
    }
    Release(Map);
    return Shown ? 0 : 1;
}
