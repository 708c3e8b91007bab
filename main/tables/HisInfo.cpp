#include "main/tables/HisInfo.h"

#include "platform/sys/Folders.h"
#include "platform/sys/SafeWrite.h"
#include "platform/text/Cp932.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <bit>
#include <stdexcept>

namespace {

const QString IndexError = QStringLiteral("Indexが範囲外です");

constexpr int ItemHeadBytes = 9; // length byte and stamp

// The framework's date-time of this moment, local time.
double NowAsDateTime()
{
    const QDateTime Now = QDateTime::currentDateTime();
    const qint64 Days = QDate(1899, 12, 30).daysTo(Now.date());
    return double(Days) + double(Now.time().msecsSinceStartOfDay()) / 86400000.0;
}

QByteArray Inverted(QByteArray Bytes)
{
    for (char& Byte : Bytes)
        Byte = static_cast<char>(~static_cast<unsigned char>(Byte));
    return Bytes;
}

// Values lose the control characters and blanks around them when read back.
QByteArray TrimmedBytes(const QByteArray& Bytes)
{
    qsizetype First = 0;
    qsizetype End = Bytes.size();
    while (First < End && static_cast<unsigned char>(Bytes[First]) <= 32)
        ++First;
    while (End > First && static_cast<unsigned char>(Bytes[End - 1]) <= 32)
        --End;
    return Bytes.mid(First, End - First);
}

// The bytes Text is saved as: cut as Insert cuts it, in CP932, where "〜" and "～", "¥" and the
// backslash are one character each.
QByteArray StoredForm(const QString& Text, int ItemBytes)
{
    return Cp932Encode(Cp932Left(Text, ItemBytes));
}

} // namespace

THistoryData::THistoryData(const QString& FileName, bool AllowMissing, int ItemBytes)
    : FFileName(FileName), FItemBytes(ItemBytes)
{
    if (!QFileInfo::exists(FileName) && !AllowMissing)
        throw EInOutError(FileName + QStringLiteral("\r\n") + QStringLiteral("ファイルが見つかりません"));
    if (ItemBytes < 1 || ItemBytes > 255)
        throw ERangeError(FileName + QStringLiteral("\r\n") +
                          QStringLiteral("項目サイズには1～255の値を指定してください"));
}

THistoryData::~THistoryData()
{
    FreeItems();
}

QList<THistoryStruct>& THistoryData::List()
{
    if (!FItems)
        throw std::logic_error("THistoryData used before Load");
    return *FItems;
}

const QList<THistoryStruct>& THistoryData::List() const
{
    if (!FItems)
        throw std::logic_error("THistoryData used before Load");
    return *FItems;
}

void THistoryData::CheckIndex(int Index, int Last) const
{
    if (Index < 0 || Index > Last)
        throw EHistoryDataError(IndexError);
}

bool THistoryData::Load()
{
    FItems.emplace();
    if (!QFileInfo::exists(FFileName))
        return true;
    QFile File(FFileName);
    if (!File.open(QIODevice::ReadOnly))
        return false;
    const qint64 Size = File.size();
    if (Size == 0)
        return true;

    const QString ReadError = FFileName + QStringLiteral("\r\n") + QStringLiteral("データが読み込めませんでした");
    const QByteArray CountBytes = File.read(4);
    if (CountBytes.size() != 4)
        throw EHistoryDataError(ReadError);
    const qint32 Count = qFromLittleEndian<qint32>(CountBytes.constData());
    if (Count < 0)
        throw EHistoryDataError(ReadError);
    // The count is only a claim: never reserve more items than the file has bytes for.
    FItems->reserve(qMin<qint64>(Count, (Size - 4) / ItemHeadBytes));

    for (qint32 I = 0; I < Count; ++I) {
        const QByteArray Head = File.read(ItemHeadBytes);
        if (Head.size() != ItemHeadBytes)
            throw EHistoryDataError(ReadError);
        const int TextBytes = (static_cast<unsigned char>(Head[0]) - 8) & 0xFF;
        const QByteArray Text = File.read(TextBytes);
        if (Text.size() != TextBytes)
            throw EHistoryDataError(ReadError);
        THistoryStruct Item;
        Item.Stamp = std::bit_cast<double>(qFromLittleEndian<quint64>(Head.constData() + 1));
        Item.Text = Cp932DecodeLenient(TrimmedBytes(Inverted(Text)));
        FItems->append(Item);
    }
    return true;
}

bool THistoryData::Save()
{
    const QList<THistoryStruct>& Items = List();
    (void)CreateOwnerOnlyFolder(QFileInfo(FFileName).absolutePath());

    QByteArray Bytes;
    char Number[8];
    qToLittleEndian<qint32>(static_cast<qint32>(Items.size()), Number);
    Bytes.append(Number, 4);
    for (const THistoryStruct& Item : Items) {
        const TCp932Encoded Encoded = Cp932EncodeChecked(Item.Text);
        if (Encoded.Substituted > 0)
            qWarning("%s: %d characters the code page lacks are saved as substitutes", qPrintable(FFileName),
                     Encoded.Substituted);
        // Insert keeps texts within 255 bytes; the cut only guards the length byte against a
        // text that grew by substitution.
        const QByteArray Text = Cp932LeftBytes(Encoded.Bytes, 255);
        Bytes.append(static_cast<char>((Text.size() + 8) & 0xFF));
        qToLittleEndian<quint64>(std::bit_cast<quint64>(Item.Stamp), Number);
        Bytes.append(Number, 8);
        Bytes.append(Inverted(Text));
    }

    switch (WriteFileSafely(FFileName, Bytes, TFileAccess::OwnerOnly)) {
    case TSafeWriteResult::Written:
        return true;
    case TSafeWriteResult::CannotCreate:
        return false;
    case TSafeWriteResult::WriteFailed:
        break;
    }
    throw EHistoryDataError(FFileName + QStringLiteral("\r\n") + QStringLiteral("データが書き込めませんでした"));
}

void THistoryData::FreeItems()
{
    FItems.reset();
}

void THistoryData::Insert(int Index, const QString& Text, double Stamp)
{
    QList<THistoryStruct>& Items = List();
    CheckIndex(Index, static_cast<int>(Items.size()));
    THistoryStruct Item;
    Item.Text = Cp932Left(Text, FItemBytes);
    Item.Stamp = Stamp == 0 ? NowAsDateTime() : Stamp;
    Items.insert(Index, Item);
}

int THistoryData::Add(const QString& Text, double Stamp)
{
    const int Index = Count();
    Insert(Index, Text, Stamp);
    return Index;
}

void THistoryData::Delete(int Index)
{
    QList<THistoryStruct>& Items = List();
    CheckIndex(Index, static_cast<int>(Items.size()) - 1);
    Items.removeAt(Index);
}

void THistoryData::Clear()
{
    QList<THistoryStruct>& Items = List();
    while (!Items.isEmpty())
        Items.removeLast();
}

void THistoryData::SetItems(QList<THistoryStruct> Items)
{
    FItems = std::move(Items);
}

int THistoryData::IndexOf(const QString& Text) const
{
    const QList<THistoryStruct>& Items = List();
    const QByteArray Wanted = StoredBytes(Text);
    for (qsizetype I = 0; I < Items.size(); ++I) {
        if (StoredBytes(Items[I].Text) == Wanted)
            return static_cast<int>(I);
    }
    return -1;
}

QByteArray THistoryData::StoredBytes(const QString& Text) const
{
    ++FEncodedTexts;
    return StoredForm(Text, FItemBytes);
}

void THistoryData::GetText(int Index, QString& Text) const
{
    Text = GetText(Index);
}

QString THistoryData::GetText(int Index) const
{
    const QList<THistoryStruct>& Items = List();
    CheckIndex(Index, static_cast<int>(Items.size()) - 1);
    return Items[Index].Text;
}

int THistoryData::Count() const
{
    return static_cast<int>(List().size());
}
