// The text import's reading of a comma-separated file, on any bytes: the lines, the field count,
// the first line's fields and the values of every later line, with the export's quoting as the
// round trip of each line's values.

#include "FuzzSupport.h"
#include "platform/text/Cp932.h"
#include "transfer/import/ImportText.h"

#include <QBuffer>
#include <QStringDecoder>

namespace {

// A value as a writer of such files quotes it: inside double quotes, each quote doubled.
QString Quoted(QString Value)
{
    return QLatin1Char('"') + Value.replace(QStringLiteral("\""), QStringLiteral("\"\"")) + QLatin1Char('"');
}

void CheckLine(const QByteArray& Line, bool First)
{
    VX_FUZZ_CHECK(!Line.contains('\n'));
    const int Commas = CountFields(Line);
    VX_FUZZ_CHECK(Commas >= 0 && Commas <= Line.count(','));
    if (First)
        VX_FUZZ_CHECK_EQ(FirstLineFields(Line).size(), qsizetype(Commas) + 1);

    const std::optional<QStringList> Values = LineValues(Line, Commas + 1);
    VX_FUZZ_CHECK_EQ(Values.has_value(), Cp932Decode(Line, TDecodeMode::Strict).has_value());
    if (!Values)
        return;
    VX_FUZZ_CHECK_EQ(Values->size(), qsizetype(Commas) + 1);

    // Written back with every value quoted, the line reads as the same values.
    QStringList Written;
    for (const QString& Value : *Values)
        Written.append(Quoted(Value));
    const TCp932Encoded Again = Cp932EncodeChecked(Written.join(QLatin1Char(',')));
    if (Again.Substituted != 0)
        return;
    VX_FUZZ_CHECK_EQ(CountFields(Again.Bytes), Commas);
    VX_FUZZ_CHECK_EQ(*LineValues(Again.Bytes, Commas + 1), *Values);
}

// The same line read as UTF-8: every comma counts outside quotes alone, the values come only from
// valid UTF-8, and written back quoted in UTF-8 they read the same.
void CheckUtf8Line(const QByteArray& Line, bool First)
{
    const int Commas = CountFields(Line, TImportEncoding::Utf8);
    VX_FUZZ_CHECK(Commas >= 0 && Commas <= Line.count(','));
    if (First)
        VX_FUZZ_CHECK_EQ(FirstLineFields(Line, TImportEncoding::Utf8).size(), qsizetype(Commas) + 1);
    const std::optional<QStringList> Values = LineValues(Line, Commas + 1, TImportEncoding::Utf8);
    if (!Values)
        return;
    VX_FUZZ_CHECK_EQ(Values->size(), qsizetype(Commas) + 1);
    QStringList Written;
    for (const QString& Value : *Values)
        Written.append(Quoted(Value));
    const QByteArray Again = Written.join(QLatin1Char(',')).toUtf8();
    VX_FUZZ_CHECK_EQ(CountFields(Again, TImportEncoding::Utf8), Commas);
    VX_FUZZ_CHECK_EQ(*LineValues(Again, Commas + 1, TImportEncoding::Utf8), *Values);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    QByteArray Bytes(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size));
    QBuffer Device(&Bytes);
    Device.open(QIODevice::ReadOnly);
    TImportLineReader Reader(Device);
    QByteArray Line;
    qint64 Lines = 0;
    qint64 Read = 0;
    while (Reader.ReadLine(Line)) {
        CheckLine(Line, Lines == 0);
        CheckUtf8Line(Line, Lines == 0);
        Read += Line.size();
        ++Lines;
    }
    // A byte-order mark always says UTF-8; bytes that are no UTF-8 never do.
    QStringDecoder Decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    (void)Decoder.decode(Bytes);
    if (Bytes.startsWith(Utf8ByteOrderMark))
        VX_FUZZ_CHECK(LooksLikeUtf8(Bytes));
    else if (Decoder.hasError())
        VX_FUZZ_CHECK(!LooksLikeUtf8(Bytes));
    // Every byte is in a line or in its line end; a last line without an end is a line too.
    VX_FUZZ_CHECK(Lines == Bytes.count('\n') + (Bytes.isEmpty() || Bytes.endsWith('\n') ? 0 : 1));
    VX_FUZZ_CHECK(Read <= qint64(Size) && Read >= qint64(Size) - 2 * Lines);
    return 0;
}
