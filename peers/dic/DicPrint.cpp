#include "peers/dic/DicPrint.h"

#include "main/common/CommonText.h"
#include "platform/dynlib/DynLib.h"
#include "platform/text/Cp932.h"

#include <QByteArray>
#include <QFile>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

QString Field(const char* Bytes, int Size)
{
    int End = 0;
    while (End < Size && Bytes[End])
        ++End;
    return Cp932DecodeLenient(QByteArray(Bytes, End)).trimmed();
}

void Print(const QString& Line)
{
    std::printf("%s\n", Line.toUtf8().constData());
}

int PrintPostal(TDynLib& Lib, const QString& Text, const QByteArray& Dic)
{
    using TFirst = void* (*)(const char*, std::int16_t*, std::int32_t*, const char*);
    using TCityList = std::int32_t (*)(void*, void*, std::int32_t, std::int32_t);
    using TTownList = std::int32_t (*)(void*, const void*, void*, std::int32_t, std::int32_t);
    using TLgTownList = std::int32_t (*)(void*, const void*, void*, void*, std::int32_t, std::int32_t);
    using TClose = void (*)(void*);
    auto First = Lib.SymbolAs<TFirst>("PostrollFirst");
    auto CityList = Lib.SymbolAs<TCityList>("PostrollCityList");
    auto TownList = Lib.SymbolAs<TTownList>("PostrollTownList");
    auto LgTownList = Lib.SymbolAs<TLgTownList>("PostrollLgTownList");
    auto Close = Lib.SymbolAs<TClose>("PostrollClose");
    if (!First || !CityList || !TownList || !LgTownList || !Close) {
        Print("Postroll.so: " + Lib.ErrorText());
        return 1;
    }
    std::int16_t Count = 0;
    std::int32_t Rc = 0;
    void* Handle = First(DigitsOnly(Text).toLatin1().constData(), &Count, &Rc, Dic.constData());
    Print(QString("rc %1, %2 cities").arg(Rc).arg(Count));
    if (Rc == 0 && Count > 0) {
        std::vector<char> Cities(static_cast<size_t>(Count) * 90);
        CityList(Handle, Cities.data(), 0, Count);
        for (int C = 0; C < Count; ++C) {
            const char* City = Cities.data() + C * 90;
            std::int16_t Towns, Larges;
            std::memcpy(&Towns, City + 86, 2);
            std::memcpy(&Larges, City + 88, 2);
            Print(QString("%1 %2 (%3 towns, %4 offices)")
                      .arg(Field(City + 46, 40), Field(City + 6, 40))
                      .arg(Towns)
                      .arg(Larges));
            if (Towns > 0) {
                std::vector<char> TownRecords(static_cast<size_t>(Towns) * 222);
                TownList(Handle, City, TownRecords.data(), 0, Towns);
                for (int T = 0; T < Towns; ++T)
                    Print("  " + Field(TownRecords.data() + T * 222, 8) + " " +
                          Field(TownRecords.data() + T * 222 + 110, 102));
            }
            if (Larges > 0) {
                std::vector<char> TownRecords(static_cast<size_t>(Larges) * 222),
                    Offices(static_cast<size_t>(Larges) * 124);
                LgTownList(Handle, City, TownRecords.data(), Offices.data(), 0, Larges);
                for (int T = 0; T < Larges; ++T)
                    Print("  " + Field(TownRecords.data() + T * 222, 8) + " " +
                          Field(TownRecords.data() + T * 222 + 110, 102) + " " +
                          Field(Offices.data() + T * 124 + 62, 62));
            }
        }
    }
    if (Handle)
        Close(Handle);
    return Rc == 0 ? 0 : 1;
}

} // namespace

int PrintDictionary(const QString& Kind, const QString& Text, const QString& LibraryFolder, const QString& DicFolder)
{
    const QByteArray Dic = QFile::encodeName(DicFolder);
    TDynLib Lib;
    if (Kind == "postal") {
        if (!Lib.Load(LibraryFolder + "Postroll.so")) {
            Print("Postroll.so: " + Lib.ErrorText());
            return 1;
        }
        return PrintPostal(Lib, Text, Dic);
    }
    std::fprintf(stderr, "vxdict: unknown kind %s\n", qPrintable(Kind));
    return 2;
}
