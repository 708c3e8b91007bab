// An earlier version's table file of any bytes: the reader either refuses it with its own error or
// opens it, and then every row reads, as many as the header counts, every value has its field's
// kind, every row's bytes are the ones pxlib reads for it, and an index built over a text field
// finds each of its keys at a row holding that key.

#include "FuzzSupport.h"
#include "platform/db/ParadoxTable.h"

#include <cstdio>
extern "C" {
#include <paradox.h>
}

namespace {

void CheckKind(const TParadoxField& Field, const TParadoxValue& Value)
{
    if (Value.IsNull())
        return;
    switch (Field.Type) {
    case TParadoxFieldType::Text:
        VX_FUZZ_CHECK(Value.Value().typeId() == QMetaType::QString);
        break;
    case TParadoxFieldType::Integer:
        VX_FUZZ_CHECK(Value.Value().typeId() == QMetaType::Int);
        break;
    case TParadoxFieldType::Float:
    case TParadoxFieldType::DateTime:
        VX_FUZZ_CHECK(Value.Value().typeId() == QMetaType::Double);
        break;
    case TParadoxFieldType::Boolean:
        VX_FUZZ_CHECK(Value.Value().typeId() == QMetaType::Bool);
        break;
    case TParadoxFieldType::Other:
        break;
    }
}

// The rows as pxlib reads them, one by one, over the same bytes.
QList<QByteArray> PxlibRecords(QByteArray Bytes, int RecordSize)
{
    QList<QByteArray> Records;
    FILE* Stream = fmemopen(Bytes.data(), static_cast<size_t>(Bytes.size()), "r");
    pxdoc_t* Doc = PX_new();
    if (Stream && Doc && PX_open_fp(Doc, Stream) >= 0) {
        QByteArray Record(RecordSize, '\0');
        for (int I = 0; I < PX_get_num_records(Doc); ++I)
            Records.append(PX_get_record(Doc, I, Record.data()) ? Record : QByteArray());
        PX_close(Doc);
    }
    if (Doc)
        PX_delete(Doc);
    if (Stream)
        std::fclose(Stream);
    return Records;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    // The session knows every earlier version's password, as during a conversion.
    static const bool Passwords = [] {
        for (int Version = 3; Version <= 15; ++Version)
            DefaultSession().AddPassword(QStringLiteral("molgat%1").arg(Version));
        return true;
    }();
    (void)Passwords;
    const QByteArray Bytes(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size));
    TParadoxTable Table;
    Table.SetDatabaseName(QStringLiteral("/fuzz/"));
    Table.SetTableName(QStringLiteral("RecvHis.DB"));
    try {
        Table.OpenBytes(Bytes);
    } catch (const EParadoxError&) {
        VX_FUZZ_CHECK(!Table.Active());
        return 0;
    }
    VX_FUZZ_CHECK(Table.Active());
    VX_FUZZ_CHECK(!Table.Fields().isEmpty());
    int Rows = 0;
    QString TextField;
    for (const TParadoxField& Field : Table.Fields())
        if (Field.Type == TParadoxFieldType::Text && TextField.isEmpty())
            TextField = Field.Name;
    QStringList Keys;
    int RecordSize = 0;
    for (const TParadoxField& Field : Table.Fields())
        RecordSize += Field.Size;
    const QList<QByteArray> Expected = PxlibRecords(Bytes, RecordSize);
    VX_FUZZ_CHECK_EQ(Expected.size(), static_cast<qsizetype>(Table.RecordCount()));
    for (Table.First(); !Table.Eof(); Table.Next()) {
        VX_FUZZ_CHECK(Table.RecordBytes() == Expected[Rows]);
        ++Rows;
        for (const TParadoxField& Field : Table.Fields())
            CheckKind(Field, Table.FieldByName(Field.Name));
        if (!TextField.isEmpty())
            Keys.append(Table.FieldByName(TextField).AsString());
    }
    VX_FUZZ_CHECK_EQ(Rows, Table.RecordCount());
    if (!TextField.isEmpty()) {
        Table.AddIndex(QStringLiteral("Key"), TextField);
        for (const QString& Key : Keys) {
            VX_FUZZ_CHECK(Table.FindKey(QStringLiteral("Key"), Key));
            VX_FUZZ_CHECK_EQ(Table.FieldByName(TextField).AsString(), Key);
        }
    }
    Table.Close();
    VX_FUZZ_CHECK(!Table.Active());
    return 0;
}
