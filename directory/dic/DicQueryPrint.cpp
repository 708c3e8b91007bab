#include "directory/dic/DicQueryPrint.h"

#include "directory/DicField.h"
#include "directory/dic/AdrsDicClass.h"
#include "directory/dic/ConAdrsDicClass.h"
#include "directory/dic/KykbnDicClass.h"
#include "directory/dic/PosDicClass.h"

#include <cstdio>

namespace {

void Print(const QString& Line)
{
    std::printf("%s\n", Line.toUtf8().constData());
}

template <std::size_t N> QString Text(const char (&Field)[N])
{
    return FixedFieldText(Field, static_cast<int>(N));
}

int PrintArea(const QString& Number, const QString& Library, const QString& Dic)
{
    TKykbnSearch Search(Library, Dic);
    QString Hyphenated;
    const int Rc = Search.Search(Number, &Hyphenated);
    Print(QString("rc %1 %2, %3 cities").arg(Rc).arg(Hyphenated).arg(Search.CityCount()));
    for (int C = 0; C < Search.CityCount(); ++C) {
        const QString Name = Text(Search.City(C).Kanji);
        if (Name.isEmpty())
            continue;
        Print(QString("%1 (%2 towns)").arg(Name).arg(Search.City(C).TownCount));
    }
    if (Rc == 0 && Search.CityCount() == 1 && Search.ListTowns(0) == 0)
        for (int T = 0; T < Search.TownCount(); ++T)
            Print("  " + Text(Search.Town(T).Pos) + " " + Text(Search.Town(T).Kanji));
    return Rc == 0 ? 0 : 1;
}

int PrintPostal(const QString& Code, const QString& Library, const QString& Dic)
{
    TPosSearch Search(Library, Dic);
    QString Normalised;
    const int Rc = Search.Search(Code, &Normalised);
    Print(QString("rc %1 %2, %3 cities").arg(Rc).arg(Normalised).arg(Search.CityCount()));
    for (int C = 0; C < Search.CityCount(); ++C) {
        const TPostrollCity& City = Search.City(C);
        Print(QString("%1 %2 (%3 towns, %4 offices)")
                  .arg(Text(City.Kanji), Text(City.Kana))
                  .arg(City.TownCount)
                  .arg(City.LargeCount));
        if (Search.ListTowns(C, false) == 0)
            for (int T = 0; T < Search.TownCount(); ++T)
                Print("  " + Text(Search.Town(T).Pos) + " " + Text(Search.Town(T).Kanji));
        if (Search.ListTowns(C, true) == 0)
            for (int T = 0; T < Search.TownCount(); ++T)
                Print("  " + Text(Search.Town(T).Pos) + " " + Text(Search.Town(T).Kanji) + " " +
                      Text(Search.Office(T).Kanji));
    }
    return Rc == 0 ? 0 : 1;
}

int PrintAddress(const QString& Address, const QString& Library, const QString& Dic)
{
    TAdrsSearch Search(Library, Dic);
    const int Rc = Search.Search(Address);
    Print(QString("rc %1, %2 cities").arg(Rc).arg(Search.CityCount()));
    for (int C = 0; C < Search.CityCount(); ++C) {
        Print(Text(Search.City(C).PrefKanji) + Text(Search.City(C).CityKanji));
        if (Search.CityCount() == 1 && Search.ListTowns(C, false) == 0)
            for (int T = 0; T < Search.TownCount(); ++T)
                Print("  " + Text(Search.Town(T).Pos) + " " + Text(Search.Town(T).Kanji));
    }
    return Rc == 0 ? 0 : 1;
}

int PrintFix(const QString& Address, const QString& Library, const QString& Dic)
{
    TContinualAdrsSearch Search(Library, Dic);
    const int Rc = Search.Search(Address);
    const TContinualAdrsResult& R = Search.GetResult(true);
    Print(QString("rc %1 %2 %3%4%5").arg(Rc).arg(R.Pos, R.TdfknKanji, R.CityKanji, R.TownKanji));
    return Rc <= 1 ? 0 : 1;
}

} // namespace

int PrintDictionary(const QString& Kind, const QString& Text, const QString& LibraryFolder, const QString& DicFolder)
{
    try {
        if (Kind == "area")
            return PrintArea(Text, LibraryFolder, DicFolder);
        if (Kind == "postal")
            return PrintPostal(Text, LibraryFolder, DicFolder);
        if (Kind == "address")
            return PrintAddress(Text, LibraryFolder, DicFolder);
        if (Kind == "fix")
            return PrintFix(Text, LibraryFolder, DicFolder);
    } catch (const Exception& E) {
        std::fprintf(stderr, "vxdicquery: %s\n", QString(E.Message()).replace("\r\n", " ").toUtf8().constData());
        return 1;
    }
    std::fprintf(stderr, "vxdicquery: unknown kind %s\n", qPrintable(Kind));
    return 2;
}
