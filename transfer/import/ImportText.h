#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The comma-separated text files the import reads, as bytes from outside: CP932, lines ended by
// CR LF or LF, fields separated by commas outside double quotes.

// Lines of a file, one after another, without their line ends. A last line without a line end is a
// line; nothing after the last line end is not.
// The reader takes the device's bytes in large pieces of its own: nothing else reads the device
// while it is in use.
class TImportLineReader
{
public:
    explicit TImportLineReader(QIODevice& Device) : FDevice(Device) {}
    // False at the end of the file.
    [[nodiscard]] bool ReadLine(QByteArray& Line);

private:
    // Reads the next piece behind what is left; false when the device gave nothing.
    bool Refill();

    QIODevice& FDevice;
    QByteArray FBuffer;
    qsizetype FPos = 0;     // the next line starts here
    qsizetype FScanned = 0; // FBuffer[FPos, FScanned) holds no line end
    bool FEnded = false;
};

// The number of lines TImportLineReader gives for the file; -1 when it cannot be read.
[[nodiscard]] qint64 CountFileLines(const QString& FileName);

// How the bytes of a file are read: the system code page, or UTF-8 when the user says the file is.
enum class TImportEncoding
{
    Cp932,
    Utf8
};

// Whether the first bytes of a file (Sample, whole lines) look like UTF-8 rather than CP932: a
// byte-order mark, or valid UTF-8 with characters beyond ASCII, which CP932 text almost never is.
[[nodiscard]] bool LooksLikeUtf8(const QByteArray& Sample);
// The mark some programs put before UTF-8 text.
inline constexpr char Utf8ByteOrderMark[] = "\xEF\xBB\xBF";

// The fields of a first line the window takes at most; a longer one is no list of items.
inline constexpr int MaxSourceFields = 2000;

// The commas of Line outside double quotes; a double-byte character is passed over whole, so its
// second byte is never taken for a comma or a quote. A doubled quote toggles twice.
[[nodiscard]] int CountFields(const QByteArray& Line, TImportEncoding Encoding = TImportEncoding::Cp932);

// Line 1 as the source list shows it: CountFields + 1 fields, each keeping its enclosing quotes.
// Bytes that are no CP932 show as visible substitutes.
[[nodiscard]] QStringList FirstLineFields(const QByteArray& Line, TImportEncoding Encoding = TImportEncoding::Cp932);

// The values of a later line: Count fields (the rest of the line stays in the last one), a field
// written inside double quotes loses them and a doubled quote within it stands for one quote.
// Nothing when the line's bytes are not text of Encoding: the line is refused rather than stored
// with substitutes.
[[nodiscard]] std::optional<QStringList> LineValues(const QByteArray& Line, int Count,
                                                    TImportEncoding Encoding = TImportEncoding::Cp932);

// One piece of a destination item: Code is "n" for field n of the line, "\r" + n for field n whose
// line-1 text is blank, "\n" for a constant; Text is what the grid shows (the constant's value).
struct TImportPiece
{
    QString Code;
    QString Text;
    bool operator==(const TImportPiece&) const = default;
};
inline constexpr QChar BlankFieldMark = u'\r';
inline constexpr QChar ConstantMark = u'\n';
inline constexpr int MaxPieces = 9;

[[nodiscard]] TImportPiece FieldPiece(int Index, const QString& Text);
[[nodiscard]] TImportPiece BlankFieldPiece(int Index);
[[nodiscard]] TImportPiece ConstantPiece(const QString& Value);
// The field index a field piece reads; -1 for a constant or an empty code.
[[nodiscard]] int PieceFieldIndex(const QString& Code);

// The pieces of each destination item; entry 0 is unused so that entry n is item row n.
using TImportMapping = QList<QList<TImportPiece>>;

// Item values of one line: entry n joins the pieces of row n in order. Entry 0 is unused.
[[nodiscard]] QStringList BuildItemValues(const TImportMapping& Mapping, const QStringList& Fields);

// Whether a line-1 text makes a blank-header piece: nothing but spaces, or exactly two quotes.
[[nodiscard]] bool IsBlankHeader(const QString& Text);
