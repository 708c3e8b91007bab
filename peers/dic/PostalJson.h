#pragma once

#include "peers/dic/DicBuild.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Japan Post's national postal data as the jquery-jpostal-ja package carries it: one JSONP file a
// three-digit code prefix ("jQuery_jpostal_callback([...]);"), each row nine strings: "_" and the
// seven-digit code, prefecture, municipality, town, a large office's block and name, then the
// half-width readings of prefecture, municipality and town.

struct TPostalRow
{
    QString Code; // seven digits, without the package's "_"
    QString Pref, City, Town, Block, Office;
    QString PrefKana, CityKana, TownKana;
};

struct TPostalFile
{
    QList<TPostalRow> Rows;
    int Rejected = 0;     // rows that are not nine strings with a seven-digit code and a prefecture
    bool Damaged = false; // the file is no JSONP array at all
};

// One file's bytes; the package's own header rows ("_000info", "_001") are left out, not counted as refused.
[[nodiscard]] TPostalFile ParseJpostal(const QByteArray& Bytes);
// Every json/*.json of the unpacked package; false + Error when the folder holds none or one is damaged.
[[nodiscard]] bool ReadJpostalFolder(const QString& Folder, TPostalFile& File, QString& Error);
// The dictionary data: municipalities as the rows name them, one town row per code and town,
// a code of a municipality alone as its own row, each large office with its town, block and name.
[[nodiscard]] TDicData BuildFromPostal(const TPostalFile& File, const QString& Source);
