#pragma once

// Writes the folders of the product's earlier versions the way those versions left them: their
// tables as genuine Paradox files (through pxlib, CP932 text, encrypted with the version's password
// where it had one), their pick lists as .mtd files (with a byte writer of this file's own), their
// settings files, and the registry entries that point at them. It keeps its own copy of every
// version's layouts, so that a reader that got a layout wrong fails against it.

#include "platform/sys/Folders.h"
#include "platform/text/Cp932.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QMap>
#include <QString>
#include <QVariant>
#include <QtEndian>
// pxlib's header declares C functions without saying so to a C++ compiler.
extern "C" {
#include <paradox.h>
}
#include <bit>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace OlderFixture {

// One field of a table as the version defined it: a pxlib type code and the bytes it takes.
struct TField
{
    const char* Name;
    char Type;
    int Size;
};

// A row: field name -> text (QString), integer (int) or date-time (double, days since 1899-12-30).
using TRow = QMap<QString, QVariant>;

inline QList<TField> RecvHisLayout(int Version)
{
    if (Version >= 7)
        return {{"RecvDateTime", pxfTimestamp, 8}, {"RecvWeek", pxfLong, 4},
                {"SchTel", pxfAlpha, 11},          {"Tel", pxfAlpha, 13},
                {"CorpKana", pxfAlpha, 80},        {"CorpKanji", pxfAlpha, 120},
                {"NameKana", pxfAlpha, 25},        {"NameKanji", pxfAlpha, 30},
                {"Division", pxfAlpha, 1},         {"Rank", pxfAlpha, 20},
                {"SelItem1", pxfAlpha, 60},        {"SelItem2", pxfAlpha, 60},
                {"SelItem3", pxfAlpha, 60}};
    if (Version >= 4) {
        QList<TField> Fields{{"RecvDateTime", pxfTimestamp, 8},
                             {"SchTel", pxfAlpha, 11},
                             {"Tel", pxfAlpha, 13},
                             {"NameKana", pxfAlpha, 25},
                             {"NameKanji", pxfAlpha, 30},
                             {"Division", pxfAlpha, 1},
                             {"Rank", pxfAlpha, 20},
                             {"SelItem1", pxfAlpha, 60},
                             {"SelItem2", pxfAlpha, 60},
                             {"SelItem3", pxfAlpha, 60}};
        if (Version == 6)
            Fields.insert(1, {"RecvWeek", pxfLong, 4});
        return Fields;
    }
    QList<TField> Fields{{"DATE", pxfAlpha, 8},      {"TIME", pxfAlpha, 6},      {"TEL", pxfAlpha, 13},
                         {"NAME", pxfAlpha, 30},     {"DIVISION", pxfAlpha, 1},  {"RANK", pxfAlpha, 20},
                         {"SELITEM1", pxfAlpha, 60}, {"SELITEM2", pxfAlpha, 60}, {"SELITEM3", pxfAlpha, 60}};
    if (Version == 1)
        Fields.removeAt(3);
    return Fields;
}

inline QList<TField> MeiboLayout(int Version)
{
    if (Version >= 7) {
        QList<TField> Fields{{"SchTel1", pxfAlpha, 11},  {"SchTel2", pxfAlpha, 11},   {"Tel1", pxfAlpha, 13},
                             {"Tel2", pxfAlpha, 13},     {"Pos", pxfAlpha, 7},        {"Tdfkn", pxfAlpha, 8},
                             {"Adrs1", pxfAlpha, 32},    {"Adrs2", pxfAlpha, 200},    {"JisCode", pxfAlpha, 5},
                             {"KajoCode", pxfAlpha, 6},  {"CorpKana", pxfAlpha, 80},  {"CorpKanji", pxfAlpha, 120},
                             {"NameKana", pxfAlpha, 25}, {"NameKanji", pxfAlpha, 30}, {"PrivCorp", pxfAlpha, 1},
                             {"Memo1", pxfAlpha, 100},   {"Memo2", pxfAlpha, 100},    {"Memo3", pxfAlpha, 100},
                             {"EMail", pxfAlpha, 64},    {"Rank", pxfAlpha, 20},      {"Latitude", pxfLong, 4},
                             {"Longitude", pxfLong, 4}};
        if (Version == 15)
            Fields += QList<TField>{{"Msg", pxfLong, 4},      {"Msg1", pxfAlpha, 32},     {"Msg2", pxfAlpha, 32},
                                    {"BGColor", pxfAlpha, 7}, {"ExtFile", pxfAlpha, 100}, {"Note", pxfAlpha, 100}};
        return Fields;
    }
    switch (Version) {
    case 6:
        return {{"SchTel1", pxfAlpha, 11}, {"SchTel2", pxfAlpha, 11},  {"Tel1", pxfAlpha, 13},
                {"Tel2", pxfAlpha, 13},    {"Pos", pxfAlpha, 7},       {"Tdfkn", pxfAlpha, 8},
                {"Adrs1", pxfAlpha, 32},   {"Adrs2", pxfAlpha, 200},   {"JisCode", pxfAlpha, 5},
                {"KajoCode", pxfAlpha, 6}, {"NameKana", pxfAlpha, 80}, {"NameKanji", pxfAlpha, 120},
                {"PrivCorp", pxfAlpha, 1}, {"Memo1", pxfAlpha, 100},   {"Memo2", pxfAlpha, 100},
                {"EMail", pxfAlpha, 64},   {"Rank", pxfAlpha, 20},     {"Latitude", pxfLong, 4},
                {"Longitude", pxfLong, 4}};
    case 5:
    case 4:
        return {{"SchTel", pxfAlpha, 11},     {"Tel", pxfAlpha, 13},     {"PostCode", pxfAlpha, 7},
                {"Tdfkn", pxfAlpha, 8},       {"Adrs1", pxfAlpha, 32},   {"Adrs2", pxfAlpha, 200},
                {"JisCode", pxfAlpha, 5},     {"KajoCode", pxfAlpha, 6}, {"NameKana", pxfAlpha, 80},
                {"NameKanji", pxfAlpha, 120}, {"PrivCorp", pxfAlpha, 1}, {"Memo1", pxfAlpha, 100},
                {"Memo2", pxfAlpha, 100},     {"Rank", pxfAlpha, 20},    {"Latitude", pxfLong, 4},
                {"Longitude", pxfLong, 4}};
    case 3:
        return {{"TEL1", pxfAlpha, 11},     {"TEL2", pxfAlpha, 13},       {"POS", pxfAlpha, 7},
                {"ADRS_JIS", pxfAlpha, 40}, {"ADRS_REST", pxfAlpha, 200}, {"JISCD", pxfAlpha, 5},
                {"KAJOCD", pxfAlpha, 6},    {"KANA", pxfAlpha, 80},       {"KANJI", pxfAlpha, 120},
                {"PRIVCORP", pxfAlpha, 1},  {"MEMO", pxfAlpha, 100},      {"RANK", pxfAlpha, 20},
                {"LAT", pxfLong, 4},        {"LON", pxfLong, 4}};
    default: {
        QList<TField> Fields{{"TEL1", pxfAlpha, 11},       {"TEL2", pxfAlpha, 13},  {"ADRS_JIS", pxfAlpha, 40},
                             {"ADRS_REST", pxfAlpha, 200}, {"JISCD", pxfAlpha, 5},  {"KANA", pxfAlpha, 80},
                             {"KANJI", pxfAlpha, 120},     {"MEMO", pxfAlpha, 100}, {"RANK", pxfAlpha, 20}};
        if (Version == 1)
            Fields.removeAt(4);
        return Fields;
    }
    }
}

// SelItem1.DB .. SelItem3.DB of versions 1 to 6: the value and the time it was last used.
inline QList<TField> SelItemLayout(int Version)
{
    if (Version >= 4)
        return {{"Name", pxfAlpha, 60}, {"AxsDateTime", pxfTimestamp, 8}};
    if (Version == 3)
        return {{"NAME", pxfAlpha, 60}, {"AXS_DATETIME", pxfTimestamp, 8}};
    if (Version == 2)
        return {{"NAME", pxfAlpha, 60}, {"AXS", pxfTimestamp, 8}};
    return {{"SELITEM", pxfAlpha, 60}};
}

inline QString Password(int Version)
{
    return Version >= 3 ? QStringLiteral("molgat%1").arg(Version) : QString();
}

// Writes a Paradox table at Path holding Rows in order; Password empty leaves it unencrypted.
inline void WriteTable(const QString& Path, const QList<TField>& Layout, const QList<TRow>& Rows,
                       const QString& Password = {})
{
    QFile::remove(Path);
    pxdoc_t* Doc = PX_new();
    // pxlib keeps and frees the field list it is given.
    auto* Fields = static_cast<pxfield_t*>(std::malloc(sizeof(pxfield_t) * static_cast<size_t>(Layout.size())));
    int RecordSize = 0;
    for (int I = 0; I < Layout.size(); ++I) {
        Fields[I].px_fname = strdup(Layout[I].Name);
        Fields[I].px_ftype = Layout[I].Type;
        Fields[I].px_flen = Layout[I].Size;
        Fields[I].px_fdc = 0;
        RecordSize += Layout[I].Size;
    }
    if (PX_create_file(Doc, Fields, static_cast<int>(Layout.size()), QFile::encodeName(Path).constData(),
                       pxfFileTypNonIndexDB) < 0)
        throw std::runtime_error("PX_create_file");
    if (!Password.isEmpty())
        PX_set_parameter(Doc, "password", Password.toLatin1().constData());
    std::vector<char> Record(static_cast<size_t>(RecordSize));
    for (const TRow& Row : Rows) {
        std::fill(Record.begin(), Record.end(), 0);
        int Offset = 0;
        for (const TField& Field : Layout) {
            char* At = Record.data() + Offset;
            const QVariant Value = Row.value(QString::fromLatin1(Field.Name));
            if (Value.isValid()) {
                if (Field.Type == pxfAlpha) {
                    const QByteArray Bytes = Cp932Encode(Value.toString()).left(Field.Size);
                    std::memcpy(At, Bytes.constData(), static_cast<size_t>(Bytes.size()));
                } else if (Field.Type == pxfLong) {
                    PX_put_data_long(Doc, At, Field.Size, Value.toInt());
                } else if (Field.Type == pxfTimestamp && Value.toDouble() != 0) {
                    // A date-time of 0 is the engine's empty value: the field stays empty.
                    // Milliseconds since the first day of year 1, which is day 1.
                    PX_put_data_double(Doc, At, Field.Size, (Value.toDouble() + 693594.0) * 86400000.0);
                }
            }
            Offset += Field.Size;
        }
        PX_put_record(Doc, Record.data());
    }
    PX_close(Doc);
    PX_delete(Doc);
}

// A pick-list file: int32 count, then per item (length + 8) as one byte, the stamp's 8 bytes and
// the CP932 text with its bytes inverted.
inline QByteArray MtdBytes(const QList<QPair<double, QString>>& Items)
{
    QByteArray Bytes(4, '\0');
    qToLittleEndian<qint32>(static_cast<qint32>(Items.size()), Bytes.data());
    for (const auto& [Stamp, Text] : Items) {
        QByteArray Encoded = Cp932Encode(Text);
        Bytes.append(static_cast<char>((Encoded.size() + 8) & 0xFF));
        char StampBytes[8];
        qToLittleEndian<quint64>(std::bit_cast<quint64>(Stamp), StampBytes);
        Bytes.append(StampBytes, 8);
        for (char& C : Encoded)
            C = static_cast<char>(~static_cast<unsigned char>(C));
        Bytes.append(Encoded);
    }
    return Bytes;
}

inline void WriteBytes(const QString& Path, const QByteArray& Bytes)
{
    QDir().mkpath(QFileInfo(Path).path());
    QFile File(Path);
    if (!File.open(QIODevice::WriteOnly | QIODevice::Truncate) || File.write(Bytes) != Bytes.size())
        throw std::runtime_error("write");
}

inline void WriteMtd(const QString& Path, const QStringList& Texts)
{
    QList<QPair<double, QString>> Items;
    for (const QString& Text : Texts)
        Items.append({45000.5, Text});
    WriteBytes(Path, MtdBytes(Items));
}

// The data folder of one earlier version.
class TDataFolder
{
public:
    TDataFolder(int Version, QString Folder) : FVersion(Version), FFolder(IncludeTrailingDelimiter(Folder))
    {
        QDir().mkpath(FFolder);
    }
    [[nodiscard]] const QString& Folder() const { return FFolder; }
    void WriteRecvHis(const QList<TRow>& Rows) const
    {
        WriteTable(FFolder + QStringLiteral("RecvHis.DB"), RecvHisLayout(FVersion), Rows, Password(FVersion));
    }
    void WriteMeibo(const QList<TRow>& Rows) const
    {
        WriteTable(FFolder + QStringLiteral("Meibo.DB"), MeiboLayout(FVersion), Rows, Password(FVersion));
    }
    // Select items: SelItem<Index + 1>.DB up to version 6, .mtd from version 7 on.
    void WriteSelItems(int Index, const QStringList& Texts) const
    {
        if (FVersion >= 7) {
            WriteMtd(FFolder + QStringLiteral("SelItem%1.mtd").arg(Index + 1), Texts);
            return;
        }
        QList<QPair<QString, double>> Items;
        for (int I = 0; I < Texts.size(); ++I)
            Items.append({Texts[I], 45000.0 + I});
        WriteSelItemRows(Index, Items);
    }
    // SelItem<Index + 1>.DB of versions 1 to 6 with each value's last-use stamp, in the given order
    // (version 1 kept no stamp).
    void WriteSelItemRows(int Index, const QList<QPair<QString, double>>& Items) const
    {
        const QList<TField> Layout = SelItemLayout(FVersion);
        QList<TRow> Rows;
        for (const auto& [Text, Stamp] : Items) {
            TRow Row{{QString::fromLatin1(Layout[0].Name), Text}};
            if (Layout.size() > 1)
                Row.insert(QString::fromLatin1(Layout[1].Name), Stamp);
            Rows.append(Row);
        }
        WriteTable(FFolder + QStringLiteral("SelItem%1.DB").arg(Index + 1), Layout, Rows, Password(FVersion));
    }
    void WriteRank(const QStringList& Texts) const { WriteMtd(FFolder + QStringLiteral("Rank.mtd"), Texts); }

private:
    int FVersion;
    QString FFolder;
};

struct TAdapter
{
    bool IPPBX = false;
    int Adapter = 1;
    QString Port = QStringLiteral("COM1");
};

// Installs version Version as it was found on a machine: its settings folder (versions 11 to 15, in
// the application data folder's Pelmar/VxRelvo<N>/) or its program folder InstallFolder named by the
// registry file's App Paths entry (versions 1 to 10), holding VxRelvo<N>.ini with DataPath and the
// adapter settings; VxComm3ipIni, when given, as that version's VxComm3ip.ini (versions 13 to 15).
inline QString InstallVersion(int Version, const QString& DataFolder, const TAdapter& Adapter = {},
                              const QString& InstallFolder = {}, const QByteArray& VxComm3ipIni = {},
                              const QString& Stem = {})
{
    const QString Name = Stem.isEmpty() ? QStringLiteral("VxRelvo%1").arg(Version) : Stem;
    const QString Pelmar = GetCommonAppDataFolder() + QStringLiteral("Pelmar/");
    QString Folder;
    if (Version >= 11) {
        Folder = Pelmar + Name + u'/';
    } else {
        Folder = IncludeTrailingDelimiter(InstallFolder);
        QFile Registry(Pelmar + QStringLiteral("registry.ini"));
        QDir().mkpath(Pelmar);
        if (!Registry.open(QIODevice::Append))
            throw std::runtime_error("registry");
        Registry.write("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" +
                       Name.toUtf8() + ".exe]\nPath=" + QFile::encodeName(Folder) + "\n");
    }
    WriteBytes(Folder + Name + QStringLiteral(".ini"), "[COMMON]\r\nDataPath=" + Cp932Encode(DataFolder) +
                                                           "\r\nIPPBX=" + (Adapter.IPPBX ? "1" : "0") +
                                                           "\r\nAdapter=" + QByteArray::number(Adapter.Adapter) +
                                                           "\r\nPort=" + Cp932Encode(Adapter.Port) + "\r\n");
    if (!VxComm3ipIni.isEmpty())
        WriteBytes(Folder + QStringLiteral("VxComm3ip.ini"), VxComm3ipIni);
    return Folder;
}

} // namespace OlderFixture
