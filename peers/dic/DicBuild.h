#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The postal dictionary builder: the public postal lists in the SKK dictionary format (EUC-JIS-2004,
// "code /text/text/.../") split into prefecture, municipality and town and written to the file
// the dictionary stand-ins read.

struct TSkkLine
{
    QString Code;      // seven digits
    QStringList Texts; // the slash-separated candidates, none empty
};

struct TSkkFile
{
    QList<TSkkLine> Lines;
    int Rejected = 0; // lines that are neither comments nor "code /text/"
};

// Reads and decodes a file; std::nullopt-like failure is an empty Error-carrying result.
[[nodiscard]] bool ReadSkkFile(const QString& Path, TSkkFile& File, QString& Error);
// The same for bytes in memory (EUC-JIS-2004); bad bytes become "〓" and the line is kept.
[[nodiscard]] TSkkFile ParseSkk(const QByteArray& Bytes);

struct TDicCity
{
    int Pref = -1; // index into PrefectureNames, -1 when the address names none
    QString Name;  // the municipality, e.g. "札幌市北区", "三重郡朝日町"
    QString Kana;  // its reading in half-width katakana, "" where the lists give none
};

struct TBuildTown
{
    QString Code;
    int City = 0;
    QString Name; // "" for a code that names only its municipality
    QString Kana; // the town's reading; for a code of a municipality alone, the municipality's
};

struct TDicOffice
{
    QString Code;
    int City = 0;
    QString Town; // the town and the block, as the office's address reads after its municipality
    QString Name;
    QString Kana; // the town's reading where the lists give one
};

struct TDicData
{
    QList<TDicCity> Cities;
    QList<TBuildTown> Towns;
    QList<TDicOffice> Offices;
    QString Source; // which lists the data was built from, for the README's question and the tests
};

// A municipality's name without its district ("茅部郡森町" -> "森町"), "" when it has none. The
// reading decides, so that a city named with 郡 (蒲郡市, 大和郡山市) is never split.
[[nodiscard]] QString DistrictFreeName(const QString& Name, const QString& Kana);

struct TAddressSplit
{
    int Pref = -1;
    QString City;
    QString Town;
};

class TDicBuilder
{
public:
    // The municipality names are learned from the whole postal list before any address is split.
    explicit TDicBuilder(const TSkkFile& Zipcode);

    [[nodiscard]] TAddressSplit Split(const QString& Address) const;
    [[nodiscard]] TDicData Build(const TSkkFile& Zipcode, const TSkkFile& Office) const;

private:
    QList<QStringList> FMunicipalities; // per prefecture, longest first
};

// Writes the data into Folder (created when missing) by way of a temporary file; false + Error else.
[[nodiscard]] bool WriteDic(const TDicData& Data, const QString& Folder, QString& Error);

// Field bytes as the stand-ins store them: CP932, missing characters as "〓", cut to MaxBytes on a
// character boundary.
[[nodiscard]] QByteArray DicFieldBytes(const QString& Text, int MaxBytes);
