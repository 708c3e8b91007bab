// The INI reader and writer on any bytes: what it reads it writes back readable with the same
// values, a second pass writes the same bytes, and writing one value changes that value only.

#include "FuzzSupport.h"
#include "platform/ini/IniFile.h"

#include <QStringDecoder>

namespace {

// Set once the reader keeps each line's own encoding and line end, and the writer refuses values
// with line breaks; until then the checks that need it look only at inputs where that makes no
// difference.
constexpr bool KeepsUntouchedLinesExactly = true;
constexpr bool RefusesLineBreaksInValues = true;

// Every value as the reader sees it, section by section (the first of sections of one name).
QStringList Values(const TMemIniFile& Ini)
{
    QStringList All;
    for (const QString& Section : Ini.ReadSections()) {
        All << QLatin1Char('[') + Section + QLatin1Char(']');
        All << Ini.ReadSectionValues(Section);
    }
    return All;
}

TMemIniFile Read(const QByteArray& Bytes)
{
    // A file that does not exist: the contents come from the bytes alone.
    TMemIniFile Ini(FuzzScratchFolder() + QStringLiteral("absent.ini"));
    Ini.FromBytes(Bytes);
    return Ini;
}

QList<QByteArray> Lines(QByteArray Bytes)
{
    if (Bytes.endsWith('\n'))
        Bytes.chop(1);
    QList<QByteArray> Result = Bytes.split('\n');
    for (QByteArray& Line : Result)
        if (Line.endsWith('\r'))
            Line.chop(1);
    return Result;
}

bool IsSectionLine(const QByteArray& Line)
{
    const QByteArray Trimmed = Line.trimmed();
    return Trimmed.size() >= 2 && Trimmed.startsWith('[') && Trimmed.endsWith(']');
}

bool IsPlainUtf8(const QByteArray& Bytes)
{
    if (Bytes.startsWith("\xEF\xBB\xBF") || Bytes.contains('\r'))
        return false;
    QStringDecoder Utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString Text = Utf8.decode(Bytes); // the decoding happens here, on conversion
    return !Utf8.hasError();
}

// Each line of Before comes back in After, in order and byte for byte.
void CheckLinesKept(const QByteArray& Before, const QByteArray& After, bool SectionLinesToo)
{
    const QList<QByteArray> Old = Lines(Before);
    const QList<QByteArray> New = Lines(After);
    qsizetype At = 0;
    for (const QByteArray& Line : Old) {
        if (!SectionLinesToo && IsSectionLine(Line))
            continue;
        while (At < New.size() && New[At] != Line)
            ++At;
        VX_FUZZ_CHECK(At < New.size());
        ++At;
    }
}

const QString SectionNames[] = {QStringLiteral("COMMON"), QStringLiteral("Base"), QStringLiteral("MENU VIEW"),
                                QStringLiteral("VxFuzz")};
const QString KeyNames[] = {QStringLiteral("DataPath"), QStringLiteral("Left"), QStringLiteral("1"),
                            QStringLiteral("Count")};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    // The input is the file itself; the value written and where it goes come from its own bytes.
    const QByteArray File(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size));
    const std::size_t Choice = qHash(File);
    const QString NewValue = DecodeSettingsText(File.right(16));

    const TMemIniFile First = Read(File);
    const QByteArray Written = First.ToBytes();
    const TMemIniFile Second = Read(Written);
    VX_FUZZ_CHECK_EQ(Values(Second), Values(First));
    // Until each line keeps its own bytes: a line that ends in a carriage return of its own before
    // its line break loses it on the second pass; and of byte-order marks repeated at the head the
    // reader drops two, so a third is written where the second pass takes it for the file's mark.
    const bool CarriageReturnAtLineEnd = File.contains("\r\r\n") || File.endsWith('\r');
    const bool RepeatedByteOrderMarks = File.startsWith("\xEF\xBB\xBF\xEF\xBB\xBF\xEF\xBB\xBF");
    if (KeepsUntouchedLinesExactly || !(CarriageReturnAtLineEnd || RepeatedByteOrderMarks))
        VX_FUZZ_CHECK_EQ(Second.ToBytes(), Written);
    if (KeepsUntouchedLinesExactly)
        CheckLinesKept(File, Written, true);
    else if (IsPlainUtf8(File))
        CheckLinesKept(File, Written, false);

    // One value written: it reads back as written (less its surrounding blanks), all else stays.
    const bool LineBreak = NewValue.contains(QLatin1Char('\n')) || NewValue.contains(QLatin1Char('\r'));
    if (LineBreak && !RefusesLineBreaksInValues)
        return 0;
    const QString& Section = SectionNames[Choice % 4];
    const QString& Key = KeyNames[(Choice / 4) % 4];
    TMemIniFile Changed = Read(File);
    try {
        Changed.WriteString(Section, Key, NewValue);
    } catch (const std::exception&) {
        // A writer may refuse a value with a line break by raising its error; the file stays as it was.
        VX_FUZZ_CHECK(LineBreak);
    }
    const TMemIniFile Reread = Read(Changed.ToBytes());
    if (!LineBreak)
        VX_FUZZ_CHECK_EQ(Reread.ReadString(Section, Key, QString()), NewValue.trimmed());
    for (const QString& Other : First.ReadSections()) {
        for (const QString& OtherKey : First.ReadSection(Other)) {
            if (Other.compare(Section, Qt::CaseInsensitive) == 0 && OtherKey.compare(Key, Qt::CaseInsensitive) == 0)
                continue;
            VX_FUZZ_CHECK_EQ(Reread.ReadString(Other, OtherKey, QString()), First.ReadString(Other, OtherKey, {}));
        }
    }
    return 0;
}
