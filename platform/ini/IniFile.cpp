#include "platform/ini/IniFile.h"

#include "platform/text/Cp932.h"

#include <QFile>
#include <algorithm>
#include <limits>

namespace {

bool SameName(const QString& A, const QString& B)
{
    return A.compare(B, Qt::CaseInsensitive) == 0;
}

// The framework's integer reading: blanks around, an optional sign, then decimal digits or "$" and
// hexadecimal digits; the whole value must be used and fit 32 bits.
std::optional<int> ParseInteger(const QString& Text)
{
    const QString Value = Text.trimmed();
    qsizetype Pos = 0;
    bool Negative = false;
    if (Pos < Value.size() && (Value[Pos] == QLatin1Char('-') || Value[Pos] == QLatin1Char('+'))) {
        Negative = Value[Pos] == QLatin1Char('-');
        ++Pos;
    }
    int Base = 10;
    if (Pos < Value.size() && Value[Pos] == QLatin1Char('$')) {
        Base = 16;
        ++Pos;
    }
    const QString Digits = Value.mid(Pos);
    if (Digits.isEmpty())
        return std::nullopt;
    qint64 Number = 0;
    for (const QChar C : Digits) {
        const char16_t U = C.unicode();
        int Digit = -1;
        if (U >= u'0' && U <= u'9')
            Digit = U - u'0';
        else if (Base == 16 && U >= u'a' && U <= u'f')
            Digit = U - u'a' + 10;
        else if (Base == 16 && U >= u'A' && U <= u'F')
            Digit = U - u'A' + 10;
        if (Digit < 0)
            return std::nullopt;
        Number = Number * Base + Digit;
        if (Number > qint64(std::numeric_limits<quint32>::max()))
            return std::nullopt;
    }
    if (Base == 16) {
        // "$FFFFFFFF" is -1, as a 32-bit value written in hexadecimal is.
        const auto Bits = static_cast<quint32>(Number);
        const auto Signed = static_cast<qint32>(Bits);
        return Negative ? -Signed : Signed;
    }
    if (Negative)
        Number = -Number;
    if (Number < std::numeric_limits<int>::min() || Number > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(Number);
}

} // namespace

TMemIniFile::TMemIniFile(const QString& FileName, TIniFileMode Mode) : FFileName(FileName), FMode(Mode)
{
    QFile File(FileName);
    if (File.open(QIODevice::ReadOnly))
        FromBytes(File.readAll());
}

void TMemIniFile::FromBytes(const QByteArray& Bytes)
{
    FPreamble.clear();
    FSections.clear();
    FRefused.clear();
    const TSettingsText Read = ReadSettingsText(Bytes);
    FBom = Read.Bom;
    FEncoding = Read.Encoding;
    FBreak = QByteArrayLiteral("\n");
    for (const TTextLine& Each : Read.Lines) {
        if (!Each.Break.isEmpty()) {
            FBreak = Each.Break;
            break;
        }
    }

    QList<TLine>* Target = &FPreamble;
    for (const TTextLine& Each : Read.Lines) {
        TLine Line;
        Line.Text = Each.Text;
        Line.AsRead = Each;
        const QString Trimmed = Each.Text.trimmed();
        if (Trimmed.startsWith(QLatin1Char('[')) && Trimmed.endsWith(QLatin1Char(']')) && Trimmed.size() >= 2) {
            FSections.append(TSection{Trimmed.mid(1, Trimmed.size() - 2).trimmed(), Line, {}});
            Target = &FSections.last().Lines;
            continue;
        }
        const qsizetype Equal = Trimmed.indexOf(QLatin1Char('='));
        if (!Trimmed.startsWith(QLatin1Char(';')) && Equal > 0) {
            Line.Name = Trimmed.left(Equal).trimmed();
            Line.Value = Trimmed.mid(Equal + 1).trimmed();
        }
        Target->append(Line);
    }
}

const TMemIniFile::TSection* TMemIniFile::FindSection(const QString& Section) const
{
    for (const TSection& Each : FSections) {
        if (SameName(Each.Name, Section))
            return &Each;
    }
    return nullptr;
}

TMemIniFile::TSection* TMemIniFile::FindSection(const QString& Section)
{
    // The list's own non-const walk: a copy of the file that still shares its sections parts from them
    // here, before the caller changes one.
    for (TSection& Each : FSections) {
        if (SameName(Each.Name, Section))
            return &Each;
    }
    return nullptr;
}

std::optional<QString> TMemIniFile::FindValue(const QString& Section, const QString& Ident) const
{
    if (const TSection* Found = FindSection(Section)) {
        for (const TLine& Line : Found->Lines) {
            if (Line.IsKey() && SameName(Line.Name, Ident)) {
                // A lone CR ends a line for other readers of the file, and no value holding one can
                // be written back: the value is what stands before it.
                const qsizetype Break = Line.Value.indexOf(QLatin1Char('\r'));
                return Break < 0 ? Line.Value : Line.Value.left(Break);
            }
        }
    }
    return std::nullopt;
}

QString TMemIniFile::ReadString(const QString& Section, const QString& Ident, const QString& Default) const
{
    return FindValue(Section, Ident).value_or(Default);
}

int TMemIniFile::ReadInteger(const QString& Section, const QString& Ident, int Default) const
{
    const std::optional<QString> Value = FindValue(Section, Ident);
    if (!Value)
        return Default;
    return ParseInteger(*Value).value_or(Default);
}

bool TMemIniFile::ReadBool(const QString& Section, const QString& Ident, bool Default) const
{
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

double TMemIniFile::ReadFloat(const QString& Section, const QString& Ident, double Default) const
{
    const std::optional<QString> Value = FindValue(Section, Ident);
    if (!Value)
        return Default;
    bool Ok = false;
    const double Number = Value->toDouble(&Ok);
    return Ok ? Number : Default;
}

bool TMemIniFile::Refuse(const QString& Section, const QString& Ident, const QString& Value)
{
    // A name must read back as the same key: not empty, no "=", and no start that makes the line a
    // comment or, with a value ending in "]", a section header.
    const QString Name = Ident.trimmed();
    const bool Refused = HoldsLineBreak(Section) || HoldsLineBreak(Ident) || HoldsLineBreak(Value) || Name.isEmpty() ||
                         Name.contains(QLatin1Char('=')) || Name.startsWith(QLatin1Char(';')) ||
                         Name.startsWith(QLatin1Char('['));
    if (Refused)
        FRefused.append(Section + QLatin1Char('/') + Ident);
    return Refused;
}

void TMemIniFile::WriteString(const QString& Section, const QString& Ident, const QString& Value)
{
    if (Refuse(Section, Ident, Value))
        return;
    TSection* Found = FindSection(Section);
    if (!Found) {
        // Keep a blank line between the sections, as a file written by hand has.
        QList<TLine>& Before = FSections.isEmpty() ? FPreamble : FSections.last().Lines;
        if (!Before.isEmpty() && !Before.last().Text.trimmed().isEmpty())
            Before.append(TLine{});
        FSections.append(TSection{Section, TLine{{}, {}, QLatin1Char('[') + Section + QLatin1Char(']'), {}}, {}});
        Found = &FSections.last();
    }
    qsizetype LastKey = -1;
    for (qsizetype I = 0; I < Found->Lines.size(); ++I) {
        TLine& Line = Found->Lines[I];
        if (!Line.IsKey())
            continue;
        if (SameName(Line.Name, Ident)) {
            // Writing back what was read leaves the line as it is, bytes and all.
            if (Line.Value == Value)
                return;
            Line.Value = Value;
            Line.Text = Line.Name + QLatin1Char('=') + Value;
            Line.AsRead.reset();
            return;
        }
        LastKey = I;
    }
    // A new key goes after the section's last key, so that trailing blank lines stay where they are.
    qsizetype At = LastKey + 1;
    if (LastKey < 0) {
        At = Found->Lines.size();
        while (At > 0 && Found->Lines[At - 1].Text.trimmed().isEmpty())
            --At;
    }
    Found->Lines.insert(At, TLine{Ident, Value, Ident + QLatin1Char('=') + Value, {}});
}

void TMemIniFile::WriteInteger(const QString& Section, const QString& Ident, int Value)
{
    WriteString(Section, Ident, QString::number(Value));
}

void TMemIniFile::WriteBool(const QString& Section, const QString& Ident, bool Value)
{
    WriteString(Section, Ident, Value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TMemIniFile::WriteFloat(const QString& Section, const QString& Ident, double Value)
{
    WriteString(Section, Ident, QString::number(Value, 'g', 17));
}

QStringList TMemIniFile::ReadSection(const QString& Section) const
{
    QStringList Keys;
    if (const TSection* Found = FindSection(Section)) {
        for (const TLine& Line : Found->Lines) {
            if (Line.IsKey())
                Keys.append(Line.Name);
        }
    }
    return Keys;
}

QStringList TMemIniFile::ReadSections() const
{
    QStringList Names;
    for (const TSection& Each : FSections)
        Names.append(Each.Name);
    return Names;
}

QStringList TMemIniFile::ReadSectionValues(const QString& Section) const
{
    QStringList Values;
    if (const TSection* Found = FindSection(Section)) {
        for (const TLine& Line : Found->Lines) {
            if (Line.IsKey())
                Values.append(Line.Name + QLatin1Char('=') + Line.Value);
        }
    }
    return Values;
}

bool TMemIniFile::SectionExists(const QString& Section) const
{
    return FindSection(Section) != nullptr;
}

bool TMemIniFile::ValueExists(const QString& Section, const QString& Ident) const
{
    return FindValue(Section, Ident).has_value();
}

void TMemIniFile::EraseSection(const QString& Section)
{
    FSections.removeIf([&](const TSection& Each) { return SameName(Each.Name, Section); });
}

void TMemIniFile::DeleteKey(const QString& Section, const QString& Ident)
{
    if (TSection* Found = FindSection(Section))
        Found->Lines.removeIf([&](const TLine& Line) { return Line.IsKey() && SameName(Line.Name, Ident); });
}

QByteArray TMemIniFile::ToBytes() const
{
    QList<const TLine*> All;
    for (const TLine& Line : FPreamble)
        All.append(&Line);
    for (const TSection& Each : FSections) {
        All.append(&Each.Header);
        for (const TLine& Line : Each.Lines)
            All.append(&Line);
    }

    // A CP932 file takes its new lines in CP932, unless one of them holds a character CP932 lacks:
    // then the whole file turns UTF-8, so that it stays one encoding that reads back as written.
    bool InCp932 = FEncoding == TTextEncoding::Cp932;
    for (const TLine* Line : All) {
        if (InCp932 && !Line->AsRead && Cp932EncodeChecked(Line->Text).Substituted > 0)
            InCp932 = false;
    }
    QByteArray Bytes = LinesToBytes(All, InCp932, FBom);
    if (FEncoding == TTextEncoding::Mixed) {
        // Each line of such a file is judged by itself, and a new line can fit neither way: UTF-8 that
        // passes as CP932 of a text CP932 cannot hold. Then the whole file turns UTF-8 with the mark, from
        // the texts as read; only bytes no reading made sense of, already shown as the replacement
        // character, are not kept.
        if (!NewLinesReadBack(All, Bytes))
            return LinesToBytes(All, false, Utf8Bom, TLineBytes::AllUtf8);
        return Bytes;
    }
    if (!FBom.isEmpty())
        return Bytes;
    // Text of one encoding can be valid in the other too: UTF-8 of two-byte sequences alone passes as
    // CP932 (a name such as "ā" would come back as other characters), and some CP932 passes as UTF-8.
    // Such a file is written as UTF-8 with the mark, which leaves no doubt.
    const TTextEncoding Meant = InCp932 ? TTextEncoding::Cp932 : TTextEncoding::Utf8;
    const bool Ascii =
        std::all_of(Bytes.cbegin(), Bytes.cend(), [](char C) { return static_cast<unsigned char>(C) < 0x80; });
    if (!Ascii && ReadSettingsText(Bytes).Encoding != Meant)
        Bytes = LinesToBytes(All, false, Utf8Bom);
    return Bytes;
}

QByteArray TMemIniFile::NewLineBytes(const QString& Text) const
{
    const QByteArray Utf8 = Text.toUtf8();
    if (FEncoding != TTextEncoding::Mixed || JudgeEncoding(Utf8) == TTextEncoding::Utf8)
        return Utf8;
    // A file of mixed lines is read line by line, and this UTF-8 would pass as CP932 there: the line
    // goes in CP932 when that holds it and reads back as such.
    const TCp932Encoded Cp932 = Cp932EncodeChecked(Text);
    if (Cp932.Substituted == 0 && JudgeEncoding(Cp932.Bytes) == TTextEncoding::Cp932)
        return Cp932.Bytes;
    return Utf8;
}

bool TMemIniFile::NewLinesReadBack(const QList<const TLine*>& All, const QByteArray& Bytes)
{
    const QList<TTextLine> Lines = ReadSettingsText(Bytes).Lines;
    if (Lines.size() != All.size())
        return false;
    for (qsizetype I = 0; I < All.size(); ++I) {
        if (!All[I]->AsRead && Lines[I].Text != All[I]->Text)
            return false;
    }
    return true;
}

QByteArray TMemIniFile::LinesToBytes(const QList<const TLine*>& All, bool InCp932, const QByteArray& Bom,
                                     TLineBytes Mode) const
{
    const bool AllUtf8 = Mode == TLineBytes::AllUtf8;
    const bool Converted = AllUtf8 || (FEncoding == TTextEncoding::Cp932 && !InCp932);
    QByteArray Bytes = Bom;
    for (qsizetype I = 0; I < All.size(); ++I) {
        const TLine& Line = *All[I];
        QByteArray Break = FBreak;
        if (Line.AsRead && !Converted) {
            Bytes += Line.AsRead->Bytes;
            Break = Line.AsRead->Break;
        } else {
            Bytes += AllUtf8 ? Line.Text.toUtf8() : InCp932 ? Cp932Encode(Line.Text) : NewLineBytes(Line.Text);
            if (Line.AsRead)
                Break = Line.AsRead->Break;
        }
        // Only a last line may end without a line break, and only when it was read so.
        if (Break.isEmpty() && (I + 1 < All.size() || !Line.AsRead))
            Break = FBreak;
        Bytes += Break;
    }
    return Bytes;
}

bool TMemIniFile::UpdateFile()
{
    FLastError = 0;
    if (!FRefused.isEmpty()) {
        qWarning("%s: not written; refused: %s", qPrintable(FFileName),
                 qPrintable(FRefused.join(QStringLiteral(", "))
                                .replace(QLatin1Char('\n'), QStringLiteral("\\n"))
                                .replace(QLatin1Char('\r'), QStringLiteral("\\r"))));
        return false;
    }
    return WriteFileSafely(FFileName, ToBytes(), FMode, &FLastError) == TSafeWriteResult::Written;
}
