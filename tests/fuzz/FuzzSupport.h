#pragma once

// What every fuzz target shares: the property check that stops the run, a reader that takes the
// input apart into the values a target needs, and a scratch folder that nothing outside it sees.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <type_traits>

// A broken property is a finding like a crash: libFuzzer keeps the input that led here.
#define VX_FUZZ_CHECK(Condition)                                                                                       \
    do {                                                                                                               \
        if (!(Condition)) {                                                                                            \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #Condition);                      \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (false)

// The same, with the two sides of a comparison printed.
#define VX_FUZZ_CHECK_EQ(Left, Right)                                                                                  \
    do {                                                                                                               \
        const auto VxLeft = (Left);                                                                                    \
        const auto VxRight = (Right);                                                                                  \
        if (!(VxLeft == VxRight)) {                                                                                    \
            std::fprintf(stderr, "%s:%d: property failed: %s == %s\n  left:  %s\n  right: %s\n", __FILE__, __LINE__,   \
                         #Left, #Right, qPrintable(FuzzShow(VxLeft)), qPrintable(FuzzShow(VxRight)));                  \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (false)

inline QString FuzzShow(const QString& Text)
{
    QString Shown;
    for (const QChar C : Text)
        Shown += C.unicode() < 0x20 || C.unicode() == 0x7F || C.isSurrogate()
                     ? QStringLiteral("\\u%1").arg(C.unicode(), 4, 16, QLatin1Char('0'))
                     : QString(C);
    return QLatin1Char('"') + Shown + QLatin1Char('"');
}
inline QString FuzzShow(const QByteArray& Bytes)
{
    return QString::fromLatin1(Bytes.toHex(' '));
}
inline QString FuzzShow(const QStringList& List)
{
    QStringList Shown;
    for (const QString& Each : List)
        Shown << FuzzShow(Each);
    return QLatin1Char('[') + Shown.join(QStringLiteral(", ")) + QLatin1Char(']');
}
template <typename T> QString FuzzShow(const T& Value)
{
    if constexpr (std::is_arithmetic_v<T>)
        return QString::number(Value);
    else
        return QStringLiteral("(value)");
}

// Takes the input apart from its front: numbers, texts and the rest, never beyond its end. A
// value asked for past the end is zero or empty, so that every input means something.
class TFuzzInput
{
public:
    TFuzzInput(const std::uint8_t* Data, std::size_t Size) : FData(Data), FSize(Size) {}

    [[nodiscard]] std::size_t Left() const { return FSize - FPos; }

    std::uint8_t Byte() { return FPos < FSize ? FData[FPos++] : 0; }

    template <typename T> T Number()
    {
        T Value{};
        const std::size_t Count = std::min(sizeof(T), Left());
        std::memcpy(&Value, FData + FPos, Count);
        FPos += Count;
        return Value;
    }

    // The next Length bytes, or as many as are left.
    QByteArray Bytes(std::size_t Length)
    {
        Length = std::min(Length, Left());
        QByteArray Result(reinterpret_cast<const char*>(FData + FPos), static_cast<qsizetype>(Length));
        FPos += Length;
        return Result;
    }

    // A piece of a length the input chooses (one byte).
    QByteArray Piece() { return Bytes(Byte()); }

    QByteArray Rest() { return Bytes(Left()); }

    // UTF-16 code units straight from the bytes: lone surrogates and every code point can occur.
    static QString Utf16(const QByteArray& Bytes)
    {
        return QString(reinterpret_cast<const QChar*>(Bytes.constData()), Bytes.size() / 2);
    }

private:
    const std::uint8_t* FData;
    std::size_t FSize;
    std::size_t FPos = 0;
};

// Splits Bytes at the first Count - 1 occurrences of Separator; always Count pieces.
inline QList<QByteArray> SplitInput(const QByteArray& Bytes, const QByteArray& Separator, int Count)
{
    QList<QByteArray> Pieces;
    qsizetype From = 0;
    while (Pieces.size() < Count - 1) {
        const qsizetype At = Bytes.indexOf(Separator, From);
        if (At < 0)
            break;
        Pieces.append(Bytes.mid(From, At - From));
        From = At + Separator.size();
    }
    Pieces.append(Bytes.mid(From));
    while (Pieces.size() < Count)
        Pieces.append(QByteArray());
    return Pieces;
}

// One temporary folder for the whole run, the data home of everything the target touches.
inline const QString& FuzzScratchFolder()
{
    static QTemporaryDir Folder;
    static const QString Path = [] {
        if (!Folder.isValid())
            std::abort();
        qputenv("XDG_DATA_HOME", Folder.path().toLocal8Bit());
        return Folder.path() + QLatin1Char('/');
    }();
    return Path;
}

// An empty folder under the scratch folder for one input.
inline QString FreshFolder(const QString& Name)
{
    const QString Path = FuzzScratchFolder() + Name + QLatin1Char('/');
    QDir(Path).removeRecursively();
    QDir().mkpath(Path);
    return Path;
}

inline void WriteFuzzFile(const QString& FileName, const QByteArray& Bytes)
{
    QFile File(FileName);
    if (!File.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    File.write(Bytes);
}

inline QByteArray ReadFuzzFile(const QString& FileName)
{
    QFile File(FileName);
    return File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray();
}
