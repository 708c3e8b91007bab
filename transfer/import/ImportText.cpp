#include "transfer/import/ImportText.h"

#include "main/common/CommonText.h"
#include "platform/text/Cp932.h"

#include <QFile>
#include <QStringDecoder>
#include <algorithm>
#include <cstring>

namespace {

bool IsLeadByte(unsigned char Byte)
{
    return (Byte >= 0x81 && Byte <= 0x9F) || (Byte >= 0xE0 && Byte <= 0xFC);
}

QString Unquoted(const QString& Field)
{
    if (Field.size() < 2 || !Field.startsWith(u'"') || !Field.endsWith(u'"'))
        return Field;
    QString Inner = Field.mid(1, Field.size() - 2);
    Inner.replace(QStringLiteral("\"\""), QStringLiteral("\""));
    return Inner;
}

std::optional<QString> Utf8Decode(const QByteArray& Bytes)
{
    QStringDecoder Decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString Text = Decoder.decode(Bytes);
    if (Decoder.hasError())
        return std::nullopt;
    return Text;
}

QByteArray WithoutBom(const QByteArray& Line)
{
    return Line.startsWith(Utf8ByteOrderMark) ? Line.mid(3) : Line;
}

} // namespace

bool LooksLikeUtf8(const QByteArray& Sample)
{
    if (Sample.startsWith(Utf8ByteOrderMark))
        return true;
    const bool BeyondAscii = std::any_of(Sample.begin(), Sample.end(), [](char Byte) { return Byte & 0x80; });
    return BeyondAscii && Utf8Decode(Sample).has_value();
}

bool TImportLineReader::Refill()
{
    constexpr qint64 Piece = 256 * 1024;
    if (FPos > 0) {
        FBuffer.remove(0, FPos);
        FScanned -= FPos;
        FPos = 0;
    }
    const qsizetype Kept = FBuffer.size();
    FBuffer.resize(Kept + Piece);
    const qint64 Read = FDevice.read(FBuffer.data() + Kept, Piece);
    FBuffer.resize(Kept + std::max<qint64>(Read, 0));
    return Read > 0;
}

bool TImportLineReader::ReadLine(QByteArray& Line)
{
    for (;;) {
        const char* Begin = FBuffer.constData();
        if (const auto* End =
                static_cast<const char*>(std::memchr(Begin + FScanned, '\n', size_t(FBuffer.size() - FScanned)))) {
            const qsizetype Length = End - (Begin + FPos);
            // The line's own storage is used again when nobody kept the line before.
            Line.resize(Length);
            std::memcpy(Line.data(), Begin + FPos, size_t(Length));
            FPos += Length + 1;
            FScanned = FPos;
            break;
        }
        FScanned = FBuffer.size();
        if (FEnded || !Refill()) {
            FEnded = true;
            if (FPos == FBuffer.size())
                return false;
            Line = FBuffer.mid(FPos);
            FPos = FScanned = FBuffer.size();
            break;
        }
    }
    if (Line.endsWith('\r'))
        Line.chop(1);
    return true;
}

qint64 CountFileLines(const QString& FileName)
{
    QFile File(FileName);
    if (!File.open(QIODevice::ReadOnly))
        return -1;
    TImportLineReader Reader(File);
    QByteArray Line;
    qint64 Count = 0;
    while (Reader.ReadLine(Line))
        ++Count;
    return Count;
}

int CountFields(const QByteArray& Line, TImportEncoding Encoding)
{
    // UTF-8 never puts an ASCII byte inside a character: every byte stands for itself.
    const bool Cp932 = Encoding == TImportEncoding::Cp932;
    int Commas = 0;
    bool Quoted = false;
    for (qsizetype I = 0; I < Line.size(); ++I) {
        const auto Byte = static_cast<unsigned char>(Line.at(I));
        if (Cp932 && IsLeadByte(Byte)) {
            ++I;
            continue;
        }
        if (Byte == '"')
            Quoted = !Quoted;
        else if (Byte == ',' && !Quoted)
            ++Commas;
    }
    return Commas;
}

QStringList FirstLineFields(const QByteArray& Line, TImportEncoding Encoding)
{
    const QString Text = Encoding == TImportEncoding::Utf8 ? QString::fromUtf8(WithoutBom(Line))
                                                           : *Cp932Decode(Line, TDecodeMode::Substitute);
    return SplitText(Text, CountFields(Line, Encoding), SplitQuotedKeepQuotes, QStringLiteral(","));
}

std::optional<QStringList> LineValues(const QByteArray& Line, int Count, TImportEncoding Encoding)
{
    const std::optional<QString> Text =
        Encoding == TImportEncoding::Utf8 ? Utf8Decode(WithoutBom(Line)) : Cp932Decode(Line, TDecodeMode::Strict);
    if (!Text)
        return std::nullopt;
    QStringList Fields = SplitText(*Text, std::max(Count, 1) - 1, SplitQuotedKeepQuotes, QStringLiteral(","));
    for (QString& Field : Fields)
        Field = Unquoted(Field);
    return Fields;
}

TImportPiece FieldPiece(int Index, const QString& Text)
{
    return {QString::number(Index), Text};
}

TImportPiece BlankFieldPiece(int Index)
{
    return {BlankFieldMark + QString::number(Index), QStringLiteral("項目") + QString::number(Index + 1)};
}

TImportPiece ConstantPiece(const QString& Value)
{
    return {QString(ConstantMark), Value};
}

int PieceFieldIndex(const QString& Code)
{
    if (Code.isEmpty() || Code.at(0) == ConstantMark)
        return -1;
    bool Ok = false;
    const int Index = (Code.at(0) == BlankFieldMark ? Code.mid(1) : Code).toInt(&Ok);
    return Ok && Index >= 0 ? Index : -1;
}

QStringList BuildItemValues(const TImportMapping& Mapping, const QStringList& Fields)
{
    QStringList Values(Mapping.size());
    for (qsizetype Row = 1; Row < Mapping.size(); ++Row) {
        QString Value;
        for (const TImportPiece& Piece : Mapping.at(Row)) {
            if (Piece.Code.isEmpty())
                break;
            if (Piece.Code.at(0) == ConstantMark) {
                Value += Piece.Text;
                continue;
            }
            const int Index = PieceFieldIndex(Piece.Code);
            if (Index >= 0 && Index < Fields.size())
                Value += Fields.at(Index);
        }
        Values[Row] = Value;
    }
    return Values;
}

bool IsBlankHeader(const QString& Text)
{
    const QString Stripped = StripSpacesToAnsi(TrimBlanks(Text));
    return Stripped.isEmpty() || Stripped == QStringLiteral("\"\"");
}
