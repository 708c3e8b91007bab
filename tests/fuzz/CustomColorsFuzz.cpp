// The colour dialog's custom colours on any CstmClr.ini: always sixteen colours, black for what is
// not six hexadecimal digits, and what is saved reads back as the same colours, byte for byte.

#include "FuzzSupport.h"
#include "main/common/CustomColors.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const QString Folder = FreshFolder(QStringLiteral("customcolors"));
    {
        QFile File(Folder + CustomColorsFile);
        VX_FUZZ_CHECK(File.open(QIODevice::WriteOnly));
        File.write(reinterpret_cast<const char*>(Data), static_cast<qint64>(Size));
    }
    const QList<QColor> Colors = LoadCustomColors(Folder);
    VX_FUZZ_CHECK(Colors.size() == CustomColorCount);
    for (const QColor& Color : Colors)
        VX_FUZZ_CHECK(Color.isValid() && Color.alpha() == 255);
    VX_FUZZ_CHECK(SaveCustomColors(Folder, Colors));
    VX_FUZZ_CHECK(LoadCustomColors(Folder) == Colors);
    const QString Other = FreshFolder(QStringLiteral("customcolors-again"));
    VX_FUZZ_CHECK(SaveCustomColors(Other, Colors));
    QFile File(Other + CustomColorsFile);
    VX_FUZZ_CHECK(File.open(QIODevice::ReadOnly));
    const QByteArray Written = File.readAll();
    for (const QByteArray& Line : Written.split('\n')) {
        const qsizetype Equals = Line.indexOf('=');
        if (Equals >= 0)
            VX_FUZZ_CHECK(Line.size() - Equals - 1 == 6);
    }
    return 0;
}
