#include "platform/db/ParadoxTable.h"

#include "platform/sys/Folders.h"
#include "platform/text/Cp932.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QtEndian>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <unordered_set>
// pxlib's header declares C functions without saying so to a C++ compiler.
extern "C" {
#include <paradox.h>
}
#include <sys/file.h>
#include <unistd.h>

// pxlib computes the header's password checksum with this function; it is exported but not declared.
extern "C" long px_passwd_checksum(const char* Password);
// ... and decrypts a data block of an encrypted table with this one (block numbers from 1).
extern "C" void px_decrypt_db_block(unsigned char* Source, unsigned char* Dest, unsigned long Encryption,
                                    unsigned long Size, unsigned long Block);

namespace {

// Days from 1 January of year 1 (day 1) to 30 December 1899, where the table engine's days start.
constexpr double DateDelta = 693594.0;
constexpr double MSecsPerDay = 86400000.0;

// Header offsets of a Paradox data file.
constexpr int OffRecordSize = 0x00;
constexpr int OffHeaderSize = 0x02;
constexpr int OffFileType = 0x04;
constexpr int OffMaxTableSize = 0x05;
constexpr int OffNumRecords = 0x06;
constexpr int OffFileBlocks = 0x0C;
constexpr int OffFirstBlock = 0x0E;
constexpr int OffLastBlock = 0x10;
constexpr int OffNumFields = 0x21;
constexpr int OffFileVersion = 0x39;
constexpr int OffEncryption = 0x25;
constexpr int OffDataEncryption = 0x5C;
// The cipher works on 256-byte pieces; the first holds the block's head.
constexpr int CipherPiece = 256;
constexpr int BlockHeadBytes = 6;

quint16 U16(const QByteArray& B, int Offset)
{
    return qFromLittleEndian<quint16>(B.constData() + Offset);
}

bool KnownType(int Code)
{
    switch (Code) {
    case pxfAlpha:
    case pxfDate:
    case pxfShort:
    case pxfLong:
    case pxfCurrency:
    case pxfNumber:
    case pxfLogical:
    case pxfMemoBLOb:
    case pxfBLOb:
    case pxfFmtMemoBLOb:
    case pxfOLE:
    case pxfGraphic:
    case pxfTime:
    case pxfTimestamp:
    case pxfAutoInc:
    case pxfBCD:
    case pxfBytes:
        return true;
    default:
        return false;
    }
}

// The size a field of a fixed-size kind must have, 0 for the kinds whose size the table chooses. pxlib
// copies such a field into a buffer of its kind's size, so a larger one must never reach it.
int FixedSize(int Code)
{
    switch (Code) {
    case pxfLogical:
        return 1;
    case pxfShort:
        return 2;
    case pxfDate:
    case pxfLong:
    case pxfTime:
    case pxfAutoInc:
        return 4;
    case pxfCurrency:
    case pxfNumber:
    case pxfTimestamp:
        return 8;
    default:
        return 0;
    }
}

TParadoxFieldType TypeOf(int Code)
{
    switch (Code) {
    case pxfAlpha:
    case pxfMemoBLOb:
    case pxfFmtMemoBLOb:
        return TParadoxFieldType::Text;
    case pxfShort:
    case pxfLong:
    case pxfAutoInc:
        return TParadoxFieldType::Integer;
    case pxfNumber:
    case pxfCurrency:
        return TParadoxFieldType::Float;
    case pxfDate:
    case pxfTime:
    case pxfTimestamp:
        return TParadoxFieldType::DateTime;
    case pxfLogical:
        return TParadoxFieldType::Boolean;
    default:
        return TParadoxFieldType::Other;
    }
}

// pxlib reports its errors here; the reader keeps the last one for its own message.
void RecordError(pxdoc_t* Doc, int, const char* Message, void* Data)
{
    (void)Doc;
    if (Data && Message)
        *static_cast<QString*>(Data) = QString::fromLocal8Bit(Message);
}

// pxlib's memory goes through these. On some damaged files it frees a block on its error path and
// again when the document is deleted; a block it no longer holds is not freed a second time.
std::mutex PxMemoryLock;
std::unordered_set<void*> PxLiveBlocks;

void* PxAlloc(pxdoc_t*, size_t Size, const char*)
{
    void* Memory = std::malloc(Size == 0 ? 1 : Size);
    if (Memory) {
        const std::lock_guard<std::mutex> Hold(PxMemoryLock);
        PxLiveBlocks.insert(Memory);
    }
    return Memory;
}

void* PxRealloc(pxdoc_t*, void* Memory, size_t Size, const char*)
{
    const std::lock_guard<std::mutex> Hold(PxMemoryLock);
    if (Memory && PxLiveBlocks.erase(Memory) == 0)
        Memory = nullptr; // not ours, or freed already: start afresh
    void* Grown = std::realloc(Memory, Size == 0 ? 1 : Size);
    if (Grown)
        PxLiveBlocks.insert(Grown);
    else if (Memory)
        PxLiveBlocks.insert(Memory); // realloc failed: the old block stays
    return Grown;
}

void PxFree(pxdoc_t*, void* Memory)
{
    if (!Memory)
        return;
    const std::lock_guard<std::mutex> Hold(PxMemoryLock);
    if (PxLiveBlocks.erase(Memory) != 0)
        std::free(Memory);
}

} // namespace

std::optional<TParadoxHeader> CheckParadoxFile(const QByteArray& Bytes, QString* Error)
{
    auto Refuse = [Error](const char* Why) -> std::optional<TParadoxHeader> {
        if (Error)
            *Error = QString::fromLatin1(Why);
        return std::nullopt;
    };
    if (Bytes.size() < 0x78)
        return Refuse("short header");
    TParadoxHeader Head;
    Head.RecordSize = U16(Bytes, OffRecordSize);
    Head.HeaderSize = U16(Bytes, OffHeaderSize);
    const int FileType = static_cast<unsigned char>(Bytes[OffFileType]);
    const int MaxTableSize = static_cast<unsigned char>(Bytes[OffMaxTableSize]);
    const qint64 NumRecords = qFromLittleEndian<quint32>(Bytes.constData() + OffNumRecords);
    const int FileBlocks = U16(Bytes, OffFileBlocks);
    const int FirstBlock = U16(Bytes, OffFirstBlock);
    const int LastBlock = U16(Bytes, OffLastBlock);
    const int NumFields = U16(Bytes, OffNumFields);
    const int FileVersion = static_cast<unsigned char>(Bytes[OffFileVersion]);
    if (FileType != pxfFileTypIndexDB && FileType != pxfFileTypNonIndexDB)
        return Refuse("not a data file");
    if (MaxTableSize < 1 || MaxTableSize > 32)
        return Refuse("block size");
    Head.BlockSize = MaxTableSize * 0x400;
    if (Head.RecordSize < 1 || Head.RecordSize > Head.BlockSize - BlockHeadBytes)
        return Refuse("record size");
    if (NumFields < 1 || NumFields > 255)
        return Refuse("field count");
    const int FieldInfo = FileVersion >= 5 ? 0x78 : 0x58;
    const quint32 Encryption =
        qFromLittleEndian<quint32>(Bytes.constData() + (FileVersion >= 5 ? OffDataEncryption : OffEncryption));
    if (Head.HeaderSize < FieldInfo + NumFields * 2 || Head.HeaderSize > Bytes.size())
        return Refuse("header size");
    int Sum = 0;
    for (int I = 0; I < NumFields; ++I) {
        const int Type = static_cast<unsigned char>(Bytes[FieldInfo + I * 2]);
        const int Size = static_cast<unsigned char>(Bytes[FieldInfo + I * 2 + 1]);
        if (!KnownType(Type) || Size < 1)
            return Refuse("field type");
        if (FixedSize(Type) != 0 && Size != FixedSize(Type))
            return Refuse("field size");
        Sum += Size;
    }
    if (Sum != Head.RecordSize)
        return Refuse("field sizes");
    // The field names follow the field list inside the header: one NUL-ended name per field and
    // the table's name before them.
    const QByteArray Names = Bytes.mid(FieldInfo + NumFields * 2, Head.HeaderSize - FieldInfo - NumFields * 2);
    if (Names.count('\0') < NumFields + 1)
        return Refuse("field names");
    if (static_cast<qint64>(Head.HeaderSize) + static_cast<qint64>(FileBlocks) * Head.BlockSize > Bytes.size())
        return Refuse("file blocks");
    // The block chain from the first block to the last: every block inside the file, none twice,
    // each linked back to the one before it, and the records it claims inside the block; together
    // exactly the header's count.
    if (FirstBlock > FileBlocks || LastBlock > FileBlocks || (FirstBlock == 0) != (LastBlock == 0))
        return Refuse("block chain ends");
    qint64 Records = 0;
    QSet<int> Seen;
    int Block = FirstBlock;
    int Previous = 0;
    while (Block != 0) {
        if (Block > FileBlocks || Seen.contains(Block))
            return Refuse("block chain");
        Seen.insert(Block);
        const qint64 At = Head.HeaderSize + static_cast<qint64>(Block - 1) * Head.BlockSize;
        // An encrypted table's blocks are encrypted head and all.
        // A copy on the stack: the check runs over every block each time a table opens.
        unsigned char Piece[CipherPiece] = {};
        std::memcpy(Piece, Bytes.constData() + At,
                    static_cast<size_t>(std::min<qint64>(CipherPiece, Bytes.size() - At)));
        if (Encryption != 0)
            px_decrypt_db_block(Piece, Piece, Encryption, CipherPiece, static_cast<unsigned long>(Block));
        const QByteArray BlockHead = QByteArray::fromRawData(reinterpret_cast<const char*>(Piece), CipherPiece);
        const int Next = U16(BlockHead, 0);
        const int Prior = U16(BlockHead, 2);
        const int LastOffset = qFromLittleEndian<qint16>(BlockHead.constData() + 4);
        if (Prior != Previous)
            return Refuse("block chain links");
        if (LastOffset < -Head.RecordSize || LastOffset % Head.RecordSize != 0 ||
            LastOffset + Head.RecordSize > Head.BlockSize - BlockHeadBytes)
            return Refuse("block records");
        Records += LastOffset / Head.RecordSize + 1;
        Head.Chain.push_back({Block, LastOffset / Head.RecordSize + 1});
        Previous = Block;
        Block = Next;
    }
    if (Previous != LastBlock)
        return Refuse("block chain ends");
    if (Records != NumRecords)
        return Refuse("record count");
    Head.RecordCount = static_cast<int>(NumRecords);
    Head.Encryption = Encryption;
    return Head;
}

quint32 ParadoxPasswordChecksum(const QString& Password)
{
    return static_cast<quint32>(px_passwd_checksum(Password.toLatin1().constData()));
}

QString TParadoxValue::AsString() const
{
    if (!FValue.isValid())
        return {};
    if (FValue.typeId() == QMetaType::Double)
        return QString::number(FValue.toDouble(), 'g', 15);
    return FValue.toString();
}

int TParadoxValue::AsInteger() const
{
    if (FValue.typeId() == QMetaType::QString) {
        bool Ok = false;
        const int Value = FValue.toString().trimmed().toInt(&Ok);
        return Ok ? Value : 0;
    }
    return FValue.toInt();
}

double TParadoxValue::AsFloat() const
{
    return FValue.toDouble();
}

TParadoxTable::TParadoxTable(TSession& Session) : FSession(Session) {}

TParadoxTable::~TParadoxTable()
{
    Close();
}

void TParadoxTable::SetDatabaseName(const QString& Folder)
{
    FDatabaseName = IncludeTrailingDelimiter(Folder);
}

bool TParadoxTable::Exists() const
{
    return QFileInfo(FileName()).isFile();
}

void TParadoxTable::Fail(const QString& Why)
{
    Close();
    throw EParadoxError(FileName() + QStringLiteral(": ") + Why);
}

void TParadoxTable::Open()
{
    Close();
    const QByteArray Path = QFile::encodeName(FileName());
    FLockFd = ::open(Path.constData(), O_RDONLY | O_CLOEXEC);
    if (FLockFd < 0)
        Fail(QString::fromLocal8Bit(std::strerror(errno)));
    // Other readers of the product share the file; an exclusive open keeps every one of them out.
    if (::flock(FLockFd, (FExclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0)
        Fail(QStringLiteral("in use"));
    FFile = std::make_unique<QFile>(FileName());
    if (!FFile->open(QIODevice::ReadOnly))
        Fail(FFile->errorString());
    const qint64 Size = FFile->size();
    if (Size < 0x78 || Size > 0x7FFFFFFF)
        Fail(QStringLiteral("not a table"));
    uchar* Map = FFile->map(0, Size);
    if (!Map)
        Fail(FFile->errorString());
    FBytes = QByteArray::fromRawData(reinterpret_cast<const char*>(Map), static_cast<qsizetype>(Size));
    OpenChecked();
}

void TParadoxTable::OpenBytes(const QByteArray& Bytes)
{
    Close();
    if (Bytes.isEmpty())
        Fail(QStringLiteral("empty"));
    FBytes = Bytes;
    OpenChecked();
}

void TParadoxTable::OpenChecked()
{
    QString Why;
    const std::optional<TParadoxHeader> Head = CheckParadoxFile(FBytes, &Why);
    if (!Head)
        Fail(Why);
    // pxlib reads the head of every block as it opens a table, decrypting each block whole to do
    // so; the rows are read here from the checked blocks straight (BlockData). So pxlib, which only
    // tells the fields and decodes their values, is given the header alone, without blocks or rows.
    FPxHeader = FBytes.left(Head->HeaderSize);
    qToLittleEndian<quint32>(0, FPxHeader.data() + OffNumRecords);
    for (const int Offset : {OffFileBlocks, OffFirstBlock, OffLastBlock})
        qToLittleEndian<quint16>(0, FPxHeader.data() + Offset);
    FStream = fmemopen(FPxHeader.data(), static_cast<size_t>(FPxHeader.size()), "r");
    if (!FStream)
        Fail(QStringLiteral("no stream"));
    FDoc = PX_new2(RecordError, PxAlloc, PxRealloc, PxFree);
    if (!FDoc)
        Fail(QStringLiteral("out of memory"));
    FDoc->errorhandler_user_data = &FLastError;
    FDoc->warnings = 0;
    if (PX_open_fp(FDoc, FStream) < 0) {
        // pxlib has already freed the name of a file it refused, without forgetting it.
        FDoc->px_name = nullptr;
        Fail(FLastError);
    }
    if (PX_get_recordsize(FDoc) != Head->RecordSize || PX_get_num_records(FDoc) != 0)
        Fail(QStringLiteral("header"));
    // An encrypted table is the product's own: it opens only for a session that knows its password.
    const auto Encryption = static_cast<quint32>(FDoc->px_head->px_encryption);
    if (Encryption != 0) {
        bool Known = false;
        for (const QString& Password : FSession.Passwords())
            Known = Known || ParadoxPasswordChecksum(Password) == Encryption;
        if (!Known)
            Fail(QStringLiteral("password"));
    }
    const int Count = PX_get_num_fields(FDoc);
    pxfield_t* Fields = PX_get_fields(FDoc);
    int Offset = 0;
    for (int I = 0; I < Count; ++I) {
        TParadoxField Field;
        Field.Name = Cp932DecodeLenient(QByteArray(Fields[I].px_fname ? Fields[I].px_fname : ""));
        Field.Code = static_cast<unsigned char>(Fields[I].px_ftype);
        Field.Type = TypeOf(Field.Code);
        Field.Size = Fields[I].px_flen;
        FFields.append(Field);
        FOffsets.push_back(Offset);
        Offset += Field.Size;
    }
    if (Offset != Head->RecordSize)
        Fail(QStringLiteral("fields"));
    // Fields are read by name: a second field of one name could never be reached, and a reader asking
    // for it would get the first one's value of another kind.
    for (qsizetype I = 0; I < FFields.size(); ++I)
        if (FindField(FFields[I].Name) != &FFields[I])
            Fail(QStringLiteral("field names"));
    for (qsizetype I = 0; I < FFields.size(); ++I)
        FFieldExact.insert(FFields[I].Name, I);
    FRecordCount = Head->RecordCount;
    FRecord.resize(Head->RecordSize);
    FHead = *Head;
    int Start = 0;
    for (const TParadoxBlock& Block : FHead.Chain) {
        FBlockStarts.push_back(Start);
        Start += Block.Records;
    }
    First();
}

void TParadoxTable::Close()
{
    if (FDoc) {
        PX_close(FDoc);
        PX_delete(FDoc);
        FDoc = nullptr;
    }
    if (FStream) {
        std::fclose(FStream);
        FStream = nullptr;
    }
    FBytes.clear();
    FPxHeader.clear();
    FFile.reset();
    if (FLockFd >= 0) {
        ::close(FLockFd);
        FLockFd = -1;
    }
    FFields.clear();
    FFieldExact.clear();
    FOffsets.clear();
    FRecordCount = 0;
    FRecNo = 0;
    FLoadedRecNo = -1;
    FIndexes.clear();
    FHead = {};
    FBlockStarts.clear();
    FCachedBlock = SIZE_MAX;
    FBlock.clear();
}

const TParadoxField* TParadoxTable::FindField(const QString& Name) const
{
    // A converter asks for a score of fields by name for every row: the name as the file spells it
    // is found at once, any other spelling through a walk.
    if (const auto Exact = FFieldExact.constFind(Name); Exact != FFieldExact.cend())
        return &FFields[*Exact];
    for (const TParadoxField& Field : FFields)
        if (Field.Name.compare(Name, Qt::CaseInsensitive) == 0)
            return &Field;
    return nullptr;
}

void TParadoxTable::First()
{
    FRecNo = 0;
}

void TParadoxTable::Next()
{
    if (FRecNo < FRecordCount)
        ++FRecNo;
}

void TParadoxTable::LoadCurrent()
{
    if (!FDoc || Eof())
        throw EParadoxError(FileName() + QStringLiteral(": no current record"));
    if (FLoadedRecNo == FRecNo)
        return;
    // pxlib finds a record's block by a walk and decrypts the whole block for every record it reads;
    // the chain was checked as the table opened, so each record lies inside a block of the file.
    const auto After = std::upper_bound(FBlockStarts.cbegin(), FBlockStarts.cend(), FRecNo);
    if (After == FBlockStarts.cbegin())
        throw EParadoxError(FileName() + QStringLiteral(": record %1").arg(FRecNo));
    const auto Chained = static_cast<size_t>(After - FBlockStarts.cbegin() - 1);
    const int InBlock = FRecNo - FBlockStarts[Chained];
    if (InBlock >= FHead.Chain[Chained].Records)
        throw EParadoxError(FileName() + QStringLiteral(": record %1").arg(FRecNo));
    const char* Block = BlockData(Chained);
    std::memcpy(FRecord.data(), Block + BlockHeadBytes + static_cast<qsizetype>(InBlock) * FHead.RecordSize,
                static_cast<size_t>(FHead.RecordSize));
    FLoadedRecNo = FRecNo;
}

const char* TParadoxTable::BlockData(size_t Chained)
{
    const int Number = FHead.Chain[Chained].Number;
    const char* Stored = FBytes.constData() + FHead.HeaderSize + static_cast<qint64>(Number - 1) * FHead.BlockSize;
    if (FHead.Encryption == 0)
        return Stored;
    if (FCachedBlock != Chained) {
        FBlock.resize(FHead.BlockSize);
        std::memcpy(FBlock.data(), Stored, static_cast<size_t>(FHead.BlockSize));
        auto* Bytes = reinterpret_cast<unsigned char*>(FBlock.data());
        px_decrypt_db_block(Bytes, Bytes, FHead.Encryption, static_cast<unsigned long>(FHead.BlockSize),
                            static_cast<unsigned long>(Number));
        FCachedBlock = Chained;
    }
    return FBlock.constData();
}

const QByteArray& TParadoxTable::RecordBytes()
{
    LoadCurrent();
    return FRecord;
}

TParadoxValue TParadoxTable::FieldByName(const QString& Name)
{
    return FieldAt(FieldIndex(Name));
}

int TParadoxTable::FieldIndex(const QString& Name) const
{
    const TParadoxField* Field = FindField(Name);
    if (!Field)
        throw EParadoxError(FileName() + QStringLiteral(": no field ") + Name);
    return static_cast<int>(Field - FFields.constData());
}

TParadoxValue TParadoxTable::FieldAt(int Index)
{
    if (Index < 0 || Index >= FFields.size())
        throw EParadoxError(FileName() + QStringLiteral(": no field %1").arg(Index));
    LoadCurrent();
    return Decode(Index);
}

namespace {

// A field the engine left empty: every byte of it is zero.
bool IsBlank(const char* Data, int Size)
{
    return std::all_of(Data, Data + Size, [](char Byte) { return Byte == 0; });
}

} // namespace

TParadoxValue TParadoxTable::Decode(int Index)
{
    const TParadoxField& Field = FFields[Index];
    char* Data = FRecord.data() + FOffsets[static_cast<size_t>(Index)];
    switch (Field.Code) {
    case pxfAlpha: {
        const auto End = static_cast<int>(qstrnlen(Data, static_cast<size_t>(Field.Size)));
        return TParadoxValue(Cp932DecodeLenient(QByteArray::fromRawData(Data, End)));
    }
    case pxfMemoBLOb:
    case pxfFmtMemoBLOb: {
        // Only the part of a memo kept inside the record: the rest lies in a file this reader never opens.
        const int Leader = qMax(0, Field.Size - 10);
        return TParadoxValue(Cp932DecodeLenient(QByteArray(Data, static_cast<int>(qstrnlen(Data, Leader)))));
    }
    case pxfShort: {
        short Value = 0;
        return PX_get_data_short(FDoc, Data, Field.Size, &Value) > 0 ? TParadoxValue(int(Value)) : TParadoxValue();
    }
    case pxfLong:
    case pxfAutoInc: {
        // pxlib tells an empty field by eight bytes, the next field's included: look at the four ours.
        if (IsBlank(Data, Field.Size))
            return TParadoxValue();
        long Value = 0;
        return PX_get_data_long(FDoc, Data, Field.Size, &Value) > 0 ? TParadoxValue(int(Value)) : TParadoxValue();
    }
    case pxfNumber:
    case pxfCurrency: {
        double Value = 0;
        return PX_get_data_double(FDoc, Data, Field.Size, &Value) > 0 ? TParadoxValue(Value) : TParadoxValue();
    }
    case pxfTimestamp: {
        double Value = 0;
        if (PX_get_data_double(FDoc, Data, Field.Size, &Value) <= 0 || Value <= 0)
            return TParadoxValue();
        return TParadoxValue(Value / MSecsPerDay - DateDelta);
    }
    case pxfDate: {
        long Value = 0;
        if (IsBlank(Data, Field.Size) || PX_get_data_long(FDoc, Data, Field.Size, &Value) <= 0 || Value <= 0)
            return TParadoxValue();
        return TParadoxValue(double(Value) - DateDelta);
    }
    case pxfTime: {
        long Value = 0;
        return PX_get_data_long(FDoc, Data, Field.Size, &Value) > 0 ? TParadoxValue(double(Value) / MSecsPerDay)
                                                                    : TParadoxValue();
    }
    case pxfLogical: {
        char Value = 0;
        return PX_get_data_byte(FDoc, Data, Field.Size, &Value) > 0 ? TParadoxValue(Value != 0) : TParadoxValue();
    }
    default:
        return TParadoxValue();
    }
}

void TParadoxTable::AddIndex(const QString& IndexName, const QString& FieldName)
{
    const TParadoxField* Field = FindField(FieldName);
    if (!Field)
        throw EParadoxError(FileName() + QStringLiteral(": no field ") + FieldName);
    const int Index = static_cast<int>(Field - FFields.constData());
    QHash<QString, int> Keys;
    const int Was = FRecNo;
    for (First(); !Eof(); Next()) {
        LoadCurrent();
        const QString Key = Decode(Index).AsString();
        if (!Keys.contains(Key))
            Keys.insert(Key, FRecNo);
    }
    FRecNo = Was;
    FIndexes.insert(IndexName, Keys);
}

bool TParadoxTable::FindKey(const QString& IndexName, const QString& Key)
{
    const auto Index = FIndexes.constFind(IndexName);
    if (Index == FIndexes.cend())
        throw EParadoxError(FileName() + QStringLiteral(": no index ") + IndexName);
    const auto Hit = Index->constFind(Key);
    if (Hit == Index->cend())
        return false;
    FRecNo = *Hit;
    return true;
}
