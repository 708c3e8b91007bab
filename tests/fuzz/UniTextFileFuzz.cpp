// A text file of any bytes loaded with byte-order-mark detection: it loads, its lines hold no line
// breaks, and a save and a second load give the same lines with the UTF-16 mark remembered.

#include "FuzzSupport.h"
#include "widelayer/UniClasses.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const QString Folder = FreshFolder(QStringLiteral("unitext"));
    const QString Name = Folder + QStringLiteral("list.txt");
    WriteFuzzFile(Name, QByteArray(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size)));

    TUniStringList List;
    List.LoadFromFile(Name);
    for (int I = 0; I < List.Count(); ++I)
        VX_FUZZ_CHECK(!List.Get(I).contains(QLatin1Char('\r')) && !List.Get(I).contains(QLatin1Char('\n')));

    List.SaveToFile(Name);
    const QByteArray Saved = ReadFuzzFile(Name);
    VX_FUZZ_CHECK(Saved.startsWith("\xFF\xFE"));
    VX_FUZZ_CHECK(Saved.size() % 2 == 0);
    TUniStringList Again;
    Again.LoadFromFile(Name);
    VX_FUZZ_CHECK(Again.LastFileCharSet() == TTextCharSet::Utf16LE);
    VX_FUZZ_CHECK_EQ(Again.ToList(), List.ToList());
    return 0;
}
