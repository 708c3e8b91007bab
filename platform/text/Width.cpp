#include "platform/text/Width.h"

#include <QHash>
#include <algorithm>
#include <iterator>

namespace {

// Half-width katakana U+FF61..U+FF9F and their full-width forms, position by position.
constexpr char16_t HalfKanaFirst = 0xFF61;
constexpr char16_t HalfKanaLast = 0xFF9F;
constexpr char16_t HalfVoicedMark = 0xFF9E;
constexpr char16_t HalfSemiVoicedMark = 0xFF9F;
constexpr char16_t FullKanaOfHalf[] = {
    u'。', u'「', u'」', u'、', u'・', u'ヲ', u'ァ', u'ィ', u'ゥ', u'ェ', u'ォ', u'ャ', u'ュ', u'ョ', u'ッ', u'ー',
    u'ア', u'イ', u'ウ', u'エ', u'オ', u'カ', u'キ', u'ク', u'ケ', u'コ', u'サ', u'シ', u'ス', u'セ', u'ソ', u'タ',
    u'チ', u'ツ', u'テ', u'ト', u'ナ', u'ニ', u'ヌ', u'ネ', u'ノ', u'ハ', u'ヒ', u'フ', u'ヘ', u'ホ', u'マ', u'ミ',
    u'ム', u'メ', u'モ', u'ヤ', u'ユ', u'ヨ', u'ラ', u'リ', u'ル', u'レ', u'ロ', u'ワ', u'ン', u'゛', u'゜',
};
static_assert(std::size(FullKanaOfHalf) == HalfKanaLast - HalfKanaFirst + 1);

// Full-width kana whose voiced form is the next code point; ウ is the exception (ヴ is far away).
// ワ and ヲ have voiced forms in Unicode but not in CP932, so they are left uncomposed.
constexpr char16_t VoicedBases[] = {u'カ', u'キ', u'ク', u'ケ', u'コ', u'サ', u'シ', u'ス', u'セ', u'ソ',
                                    u'タ', u'チ', u'ツ', u'テ', u'ト', u'ハ', u'ヒ', u'フ', u'ヘ', u'ホ'};
// Full-width kana whose semi-voiced form is two code points on.
constexpr char16_t SemiVoicedBases[] = {u'ハ', u'ヒ', u'フ', u'ヘ', u'ホ'};

constexpr char16_t AsciiFirst = 0x21;
constexpr char16_t AsciiLast = 0x7E;
constexpr char16_t FullAsciiOffset = 0xFEE0; // U+FF01 - U+0021
constexpr char16_t IdeographicSpace = 0x3000;
constexpr char16_t FullYen = 0xFFE5;

bool Contains(const char16_t* First, const char16_t* Last, char16_t C)
{
    return std::find(First, Last, C) != Last;
}

bool HasVoiced(char16_t Full)
{
    return Contains(std::begin(VoicedBases), std::end(VoicedBases), Full);
}

bool HasSemiVoiced(char16_t Full)
{
    return Contains(std::begin(SemiVoicedBases), std::end(SemiVoicedBases), Full);
}

// Full-width katakana and punctuation -> half-width text (one or two characters).
const QHash<char16_t, QString>& HalfOfFullKana()
{
    static const QHash<char16_t, QString> Map = [] {
        QHash<char16_t, QString> M;
        for (char16_t I = 0; I < std::size(FullKanaOfHalf); ++I) {
            const char16_t Half = char16_t(HalfKanaFirst + I);
            const char16_t Full = FullKanaOfHalf[I];
            M.insert(Full, QString(QChar(Half)));
            if (HasVoiced(Full))
                M.insert(char16_t(Full + 1), QString(QChar(Half)) + QChar(HalfVoicedMark));
            if (HasSemiVoiced(Full))
                M.insert(char16_t(Full + 2), QString(QChar(Half)) + QChar(HalfSemiVoicedMark));
        }
        M.insert(u'ヴ', QString(QChar(u'ｳ')) + QChar(HalfVoicedMark));
        return M;
    }();
    return Map;
}

// The half-width form of one full-width character that is not katakana; 0 when it has none.
char16_t HalfOfFullSymbol(char16_t C)
{
    if (C >= AsciiFirst + FullAsciiOffset && C <= AsciiLast + FullAsciiOffset)
        return char16_t(C - FullAsciiOffset);
    switch (C) {
    case IdeographicSpace:
        return u' ';
    case FullYen:
        return u'\\';
    // Characters that CP932 stores under the same code as a full-width form above, or that the
    // locale folds onto the same half-width character.
    case u'−': // U+2212, CP932 0x817C like －
        return u'-';
    case u'‐': // U+2010
        return u'-';
    case u'〜': // U+301C, CP932 0x8160 like ～
        return u'~';
    case u'’':
        return u'\'';
    case u'”':
        return u'"';
    default:
        return 0;
    }
}

} // namespace

QString MapToHalfWidth(const QString& Text)
{
    const QHash<char16_t, QString>& Kana = HalfOfFullKana();
    QString Result;
    Result.reserve(Text.size() + Text.size() / 4);
    for (QChar Ch : Text) {
        const char16_t C = Ch.unicode();
        if (const char16_t Half = HalfOfFullSymbol(C)) {
            Result += QChar(Half);
            continue;
        }
        auto It = Kana.constFind(C);
        if (It != Kana.constEnd())
            Result += *It;
        else
            Result += Ch;
    }
    return Result;
}

QString MapToFullWidth(const QString& Text)
{
    QString Result;
    Result.reserve(Text.size());
    for (qsizetype I = 0; I < Text.size(); ++I) {
        const char16_t C = Text[I].unicode();
        if (C == u' ') {
            Result += QChar(IdeographicSpace);
        } else if (C >= AsciiFirst && C <= AsciiLast && C != u'\\') {
            Result += QChar(char16_t(C + FullAsciiOffset));
        } else if (C >= HalfKanaFirst && C <= HalfKanaLast) {
            const char16_t Full = FullKanaOfHalf[C - HalfKanaFirst];
            const char16_t Next = I + 1 < Text.size() ? Text[I + 1].unicode() : 0;
            if (Next == HalfVoicedMark && Full == u'ウ') {
                Result += QChar(u'ヴ');
                ++I;
            } else if (Next == HalfVoicedMark && HasVoiced(Full)) {
                Result += QChar(char16_t(Full + 1));
                ++I;
            } else if (Next == HalfSemiVoicedMark && HasSemiVoiced(Full)) {
                Result += QChar(char16_t(Full + 2));
                ++I;
            } else {
                Result += QChar(Full);
            }
        } else {
            Result += Text[I];
        }
    }
    return Result;
}
