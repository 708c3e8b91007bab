#include "directory/DicField.h"

#include "platform/text/Cp932.h"

#include <QFile>
#include <cstring>

QString FixedFieldText(const char* Field, int Size)
{
    // Only control characters and blanks are padding; an ideographic space at either end is text.
    const void* Nul = std::memchr(Field, 0, Size);
    int End = Nul ? static_cast<int>(static_cast<const char*>(Nul) - Field) : Size;
    // A field filled to its end may have been cut inside a character: that half is padding, not a
    // bad byte.
    if (!Nul && End > 0 && IsCp932LeadByte(static_cast<unsigned char>(Field[End - 1])) &&
        Cp932ByteType(QByteArray::fromRawData(Field, End), End - 1) != TByteType::Trail)
        --End;
    int Start = 0;
    while (Start < End && static_cast<unsigned char>(Field[Start]) <= 0x20)
        ++Start;
    while (End > Start && static_cast<unsigned char>(Field[End - 1]) <= 0x20)
        --End;
    return Cp932DecodeLenient(QByteArray(Field + Start, End - Start));
}

QByteArray PathBytes(const QString& Path)
{
    return QFile::encodeName(Path);
}
