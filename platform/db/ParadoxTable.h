#pragma once

#include "platform/db/Table.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QVariant>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

struct px_doc;
class QFile;

// A read-only view of a Paradox table file (.DB), as the table engine of the older platform wrote
// it, through pxlib. The file is checked (header, field list, block chain) before pxlib sees it, so
// that a damaged file is refused instead of misread. Rows are decoded on demand: text from CP932,
// numbers as integers or floats, dates and times as the table engine keeps them (days since
// 1899-12-30).

class EParadoxError : public Exception
{
public:
    using Exception::Exception;
};

enum class TParadoxFieldType
{
    Text,
    Integer,
    Float,
    DateTime,
    Boolean,
    Other,
};

struct TParadoxField
{
    QString Name;
    TParadoxFieldType Type = TParadoxFieldType::Other;
    int Size = 0; // bytes in the record
    int Code = 0; // the file's own type code
};

// One value of the current row.
class TParadoxValue
{
public:
    explicit TParadoxValue(QVariant Value = {}) : FValue(std::move(Value)) {}
    [[nodiscard]] bool IsNull() const { return !FValue.isValid(); }
    [[nodiscard]] QString AsString() const;
    [[nodiscard]] int AsInteger() const;
    [[nodiscard]] double AsFloat() const;
    [[nodiscard]] QDateTime AsDateTime() const { return DaysToDateTime(AsFloat()); }
    [[nodiscard]] const QVariant& Value() const { return FValue; }

private:
    QVariant FValue;
};

// The facts of a .DB header the reader relies on; nullopt with Error set when the bytes are not a
// sound Paradox data file. Read is asked for byte ranges of the file.
struct TParadoxBlock
{
    int Number = 0;  // from 1, in the file's order after the header
    int Records = 0; // how many records the block holds
};
struct TParadoxHeader
{
    int RecordSize = 0;
    int HeaderSize = 0;
    int BlockSize = 0;
    int RecordCount = 0;
    quint32 Encryption = 0;
    std::vector<TParadoxBlock> Chain; // the data blocks from the first to the last
};
[[nodiscard]] std::optional<TParadoxHeader> CheckParadoxFile(const QByteArray& Bytes, QString* Error = nullptr);

// The checksum the older engine keeps of a table's password in the file's header.
[[nodiscard]] quint32 ParadoxPasswordChecksum(const QString& Password);

class TParadoxTable
{
public:
    explicit TParadoxTable(TSession& Session = DefaultSession());
    ~TParadoxTable();
    TParadoxTable(const TParadoxTable&) = delete;
    TParadoxTable& operator=(const TParadoxTable&) = delete;

    void SetDatabaseName(const QString& Folder);
    void SetTableName(const QString& FileName) { FTableName = FileName; }
    [[nodiscard]] QString FileName() const { return FDatabaseName + FTableName; }
    [[nodiscard]] bool Exists() const;
    // Exclusive: the file is locked against every other reader of this product while it is open.
    void SetExclusive(bool Value) { FExclusive = Value; }

    // Opens the file read-only. An encrypted table opens only while the session holds its password.
    // Throws EParadoxError, naming the file, for anything that is not a sound table.
    void Open();
    // The same over bytes already in memory (no lock; FileName only names them in messages).
    void OpenBytes(const QByteArray& Bytes);
    void Close();
    [[nodiscard]] bool Active() const { return FDoc != nullptr; }

    [[nodiscard]] const QList<TParadoxField>& Fields() const { return FFields; }
    [[nodiscard]] const TParadoxField* FindField(const QString& Name) const;
    [[nodiscard]] int RecordCount() const { return FRecordCount; }

    // The cursor walks the rows in the file's order (its primary index for a keyed table).
    void First();
    void Next();
    [[nodiscard]] bool Eof() const { return FRecNo >= FRecordCount; }
    [[nodiscard]] bool IsEmpty() const { return FRecordCount == 0; }
    // A field of the current row; an unknown name throws EParadoxError.
    [[nodiscard]] TParadoxValue FieldByName(const QString& Name);
    // The same by the field's place in Fields(), for a reader that walks many rows: FieldIndex
    // throws EParadoxError for an unknown name, FieldAt for a place out of range.
    [[nodiscard]] int FieldIndex(const QString& Name) const;
    [[nodiscard]] TParadoxValue FieldAt(int Index);
    // The current row's bytes as the file holds them, decrypted.
    [[nodiscard]] const QByteArray& RecordBytes();

    // An index built in memory over one text field while the table is open: the older engine's
    // secondary index files are not needed. FindKey makes the first row holding Key current.
    void AddIndex(const QString& IndexName, const QString& FieldName);
    [[nodiscard]] bool FindKey(const QString& IndexName, const QString& Key);

private:
    // Checks FBytes and opens them.
    void OpenChecked();
    void Fail(const QString& Why);
    void LoadCurrent();
    [[nodiscard]] const char* BlockData(size_t Chained);
    [[nodiscard]] TParadoxValue Decode(int Field);

    TSession& FSession;
    QString FDatabaseName;
    QString FTableName;
    bool FExclusive = false;
    int FLockFd = -1;
    FILE* FStream = nullptr;
    QByteArray FBytes;     // the mapped file or the bytes given
    QByteArray FPxHeader;  // what FStream gives pxlib: the header alone
    px_doc* FDoc = nullptr;
    std::unique_ptr<QFile> FFile; // mapped while open
    QList<TParadoxField> FFields;
    QHash<QString, qsizetype> FFieldExact; // each field by its name as the file spells it
    std::vector<int> FOffsets;
    int FRecordCount = 0;
    int FRecNo = 0;
    int FLoadedRecNo = -1;
    QByteArray FRecord;
    // Rows are read from the blocks straight: each block once, decrypted once, while its rows are read.
    TParadoxHeader FHead;
    std::vector<int> FBlockStarts; // the number of the first row of each chained block
    size_t FCachedBlock = SIZE_MAX;
    QByteArray FBlock;
    QString FLastError;
    QHash<QString, QHash<QString, int>> FIndexes;
};
