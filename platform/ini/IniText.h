#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The bytes of a settings file as lines of text, and back.
//
// Files of earlier versions are CP932, ours are UTF-8, and a file edited by hand may hold both or
// neither. The encoding is judged for the whole file where the whole file allows it, else line by
// line, so that one stray byte costs one line rather than every other line's text. Each line keeps
// the bytes it was read with: a line nobody changes is written back exactly as it came.

enum class TTextEncoding
{
    Utf8,
    Cp932,
    Mixed // judged line by line
};

// The UTF-8 byte-order mark a settings file may begin with.
inline const QByteArray Utf8Bom = QByteArrayLiteral("\xEF\xBB\xBF");

struct TTextLine
{
    QByteArray Bytes; // as read, without the line break
    QByteArray Break; // "\n", "\r\n", or empty for a last line without one
    QString Text;     // decoded; a line in no encoding shows its bad bytes as U+FFFD
};

struct TSettingsText
{
    QByteArray Bom; // the UTF-8 byte-order mark the file began with, or empty
    TTextEncoding Encoding = TTextEncoding::Utf8;
    QList<TTextLine> Lines;
};

[[nodiscard]] TSettingsText ReadSettingsText(const QByteArray& Bytes);

// The encoding of one piece of text on its own. Valid UTF-8 is UTF-8, except that CP932 text of
// half-width katakana and double-byte characters can happen to be valid UTF-8 too: bytes that carry
// no UTF-8 sequence of three bytes or more (no Japanese in UTF-8) but do carry a CP932 double-byte
// character are CP932. Otherwise valid CP932 is CP932. Mixed stands for "neither".
[[nodiscard]] TTextEncoding JudgeEncoding(const QByteArray& Bytes);

// The text of the bytes, judged as ReadSettingsText judges them, line breaks kept.
[[nodiscard]] QString DecodeSettingsText(const QByteArray& Bytes);

// Whether Text would end its line in a settings file: a carriage return or a line feed.
[[nodiscard]] bool HoldsLineBreak(const QString& Text);
