// The dictionary file as the address stand-ins load it, of any bytes: a file that is no dictionary
// loads as none, and whatever loads answers an address only with its own municipalities and towns,
// the rest of the address a true tail of what was asked.

#include "FuzzSupport.h"
#include "peers/dic/PlaceIndex.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    static int Run = 0;
    QTemporaryDir Dir;
    // Each input its own folder: the stand-ins keep an index per folder for the process's life.
    const QString Folder = Dir.filePath(QString::number(++Run));
    QDir().mkpath(Folder);
    QFile Out(Folder + QStringLiteral("/") + QString::fromLatin1(DicStoreFileName));
    if (!Out.open(QIODevice::WriteOnly))
        return 0;
    Out.write(reinterpret_cast<const char*>(Data), static_cast<qint64>(Size));
    Out.close();
    const QByteArray Path = QFile::encodeName(Folder);
    const dicstore::TPlaceIndex* Index = dicstore::LoadPlaceIndex(Path.constData());
    if (!Index)
        return 0;
    for (const auto& [Name, Cities] : Index->Areas)
        for (size_t At : Cities)
            VX_FUZZ_CHECK(At < Index->Cities.size());
    size_t Tried = 0;
    for (const dicstore::TPlaceCity& City : Index->Cities) {
        if (++Tried > 64)
            break;
        for (const std::string& Address : {City.PrefName + City.Name, City.Name, City.PrefName}) {
            const std::string Normalised = dicstore::NormalisePlace(Address);
            for (const dicstore::TCityMatch& M : dicstore::MatchCities(*Index, Address)) {
                VX_FUZZ_CHECK(M.City >= Index->Cities.data() && M.City < Index->Cities.data() + Index->Cities.size());
                VX_FUZZ_CHECK(M.Rest.size() <= Normalised.size());
                VX_FUZZ_CHECK(Normalised.compare(Normalised.size() - M.Rest.size(), M.Rest.size(), M.Rest) == 0);
                for (const dicstore::TPlaceTown* Town : dicstore::TownsNamed(*Index, *M.City, M.Rest))
                    VX_FUZZ_CHECK(dicstore::StartsWith(M.Rest, Town->Norm) ||
                                  M.Rest.find(Town->Norm) != std::string::npos);
            }
        }
    }
    return 0;
}
