#include "platform/ini/IniText.h"

#include "platform/text/Cp932.h"

namespace {

struct TUtf8Scan
{
    bool Valid = true;
    bool HasLongSequence = false; // a sequence of three bytes or more
};

// Strict UTF-8: no overlong forms, no surrogates, nothing beyond U+10FFFF, no cut-off sequence.
TUtf8Scan ScanUtf8(const QByteArray& Bytes)
{
    TUtf8Scan Scan;
    const auto* Data = reinterpret_cast<const unsigned char*>(Bytes.constData());
    const qsizetype Size = Bytes.size();
    for (qsizetype I = 0; I < Size;) {
        const unsigned char Lead = Data[I];
        int Length = 0;
        unsigned char Low = 0x80;
        unsigned char High = 0xBF;
        if (Lead < 0x80) {
            ++I;
            continue;
        }
        if (Lead >= 0xC2 && Lead <= 0xDF) {
            Length = 2;
        } else if (Lead >= 0xE0 && Lead <= 0xEF) {
            Length = 3;
            if (Lead == 0xE0)
                Low = 0xA0;
            else if (Lead == 0xED)
                High = 0x9F;
        } else if (Lead >= 0xF0 && Lead <= 0xF4) {
            Length = 4;
            if (Lead == 0xF0)
                Low = 0x90;
            else if (Lead == 0xF4)
                High = 0x8F;
        } else {
            Scan.Valid = false;
            return Scan;
        }
        if (I + Length > Size || Data[I + 1] < Low || Data[I + 1] > High) {
            Scan.Valid = false;
            return Scan;
        }
        for (int K = 2; K < Length; ++K) {
            if (Data[I + K] < 0x80 || Data[I + K] > 0xBF) {
                Scan.Valid = false;
                return Scan;
            }
        }
        if (Length >= 3)
            Scan.HasLongSequence = true;
        I += Length;
    }
    return Scan;
}

bool HasCp932DoubleByte(const QByteArray& Bytes)
{
    for (qsizetype I = 0; I + 1 < Bytes.size(); ++I) {
        if (IsCp932LeadByte(static_cast<unsigned char>(Bytes[I])))
            return true;
    }
    return false;
}

QString Decode(const QByteArray& Bytes, TTextEncoding Encoding)
{
    switch (Encoding) {
    case TTextEncoding::Utf8:
        return QString::fromUtf8(Bytes);
    case TTextEncoding::Cp932:
        return Cp932DecodeLenient(Bytes);
    case TTextEncoding::Mixed:
        break;
    }
    // Bytes of no known encoding: shown with visible substitutes, kept as they are on disk.
    return QString::fromUtf8(Bytes);
}

} // namespace

TTextEncoding JudgeEncoding(const QByteArray& Bytes)
{
    const TUtf8Scan Scan = ScanUtf8(Bytes);
    if (Scan.Valid) {
        // Without longer sequences every byte above 0x7F is a UTF-8 lead 0xC2..0xDF (half-width katakana
        // in CP932) or a continuation. A CP932 lead among them is 0x81..0x9F in a continuation's place,
        // which as UTF-8 reads as Latin letters and control codes, and as CP932 as Japanese.
        if (!Scan.HasLongSequence && HasCp932DoubleByte(Bytes) && IsValidCp932(Bytes))
            return TTextEncoding::Cp932;
        return TTextEncoding::Utf8;
    }
    return IsValidCp932(Bytes) ? TTextEncoding::Cp932 : TTextEncoding::Mixed;
}

TSettingsText ReadSettingsText(const QByteArray& Bytes)
{
    TSettingsText Result;
    QByteArray Body = Bytes;
    if (Body.startsWith(Utf8Bom)) {
        Result.Bom = Utf8Bom;
        Body.remove(0, Utf8Bom.size());
    }

    for (qsizetype Start = 0; Start < Body.size();) {
        qsizetype End = Body.indexOf('\n', Start);
        TTextLine Line;
        if (End < 0) {
            End = Body.size();
        } else {
            Line.Break = QByteArrayLiteral("\n");
        }
        Line.Bytes = Body.mid(Start, End - Start);
        if (!Line.Break.isEmpty() && Line.Bytes.endsWith('\r')) {
            Line.Bytes.chop(1);
            Line.Break = QByteArrayLiteral("\r\n");
        }
        Result.Lines.append(Line);
        Start = End + 1;
    }

    if (!Result.Bom.isEmpty()) {
        // The mark says UTF-8; bytes that are not are a damaged line, not another encoding.
        Result.Encoding = ScanUtf8(Body).Valid ? TTextEncoding::Utf8 : TTextEncoding::Mixed;
    } else {
        Result.Encoding = JudgeEncoding(Body);
        if (Result.Encoding == TTextEncoding::Cp932 && !ScanUtf8(Body).Valid) {
            // UTF-8 text often passes as CP932 too. A line that is UTF-8 with Japanese in it says that
            // this is a UTF-8 file with damage elsewhere, not a CP932 file.
            for (const TTextLine& Line : Result.Lines) {
                const TUtf8Scan Scan = ScanUtf8(Line.Bytes);
                if (Scan.Valid && Scan.HasLongSequence) {
                    Result.Encoding = TTextEncoding::Mixed;
                    break;
                }
            }
        }
    }

    for (TTextLine& Line : Result.Lines) {
        const TTextEncoding Own = Result.Encoding == TTextEncoding::Mixed ? JudgeEncoding(Line.Bytes) : Result.Encoding;
        Line.Text = Decode(Line.Bytes, Own);
    }
    return Result;
}

QString DecodeSettingsText(const QByteArray& Bytes)
{
    QString Text;
    for (const TTextLine& Line : ReadSettingsText(Bytes).Lines)
        Text += Line.Text + QString::fromLatin1(Line.Break);
    return Text;
}

bool HoldsLineBreak(const QString& Text)
{
    return Text.contains(QLatin1Char('\n')) || Text.contains(QLatin1Char('\r'));
}
