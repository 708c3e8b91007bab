#include "transfer/print/DevMode.h"

#include "platform/text/Cp932.h"

#include <QSizeF>
#include <QtEndian>
#include <utility>

namespace {

const std::pair<int, QPageSize::PageSizeId> PaperCodes[] = {
    {1, QPageSize::Letter},
    {3, QPageSize::Tabloid},
    {4, QPageSize::Ledger},
    {5, QPageSize::Legal},
    {6, QPageSize::Statement},
    {7, QPageSize::Executive},
    {8, QPageSize::A3},
    {9, QPageSize::A4},
    {11, QPageSize::A5},
    {12, QPageSize::JisB4},
    {13, QPageSize::JisB5},
    {14, QPageSize::Folio},
    {15, QPageSize::Quarto},
    {20, QPageSize::Comm10E},
    {27, QPageSize::DLE},
    {28, QPageSize::C5E},
    {30, QPageSize::EnvelopeC4},
    {31, QPageSize::EnvelopeC6},
    {37, QPageSize::EnvelopeMonarch},
    {42, QPageSize::B4},
    {43, QPageSize::Postcard},
    {69, QPageSize::DoublePostcard},
    {70, QPageSize::A6},
};

int Long(const QByteArray& Bytes, int Offset)
{
    return qFromLittleEndian<qint32>(Bytes.constData() + Offset);
}

void AppendLong(QByteArray& Bytes, qint32 Value)
{
    char Buffer[4];
    qToLittleEndian(Value, Buffer);
    Bytes.append(Buffer, 4);
}

} // namespace

int DevModeWord(const QByteArray& DevMode, int Offset)
{
    if (Offset < 0 || Offset + 2 > DevMode.size())
        return 0;
    return qFromLittleEndian<qint16>(DevMode.constData() + Offset);
}

void SetDevModeWord(QByteArray& DevMode, int Offset, int Value)
{
    if (Offset < 0 || Offset + 2 > DevMode.size())
        return;
    qToLittleEndian(static_cast<qint16>(Value), DevMode.data() + Offset);
}

int PaperCodeOf(QPageSize::PageSizeId Id)
{
    for (const auto& [Code, Size] : PaperCodes)
        if (Size == Id)
            return Code;
    return DMPAPER_USER;
}

std::optional<QPageSize::PageSizeId> PaperOfCode(int Code)
{
    for (const auto& [Each, Size] : PaperCodes)
        if (Each == Code)
            return Size;
    return std::nullopt;
}

QByteArray EncodeDevMode(const TDevModeFields& Fields)
{
    QByteArray Bytes(DevModePublicSize, '\0');
    const QByteArray Name = Cp932LeftBytes(Cp932Encode(Fields.Name), DevModeNameSize);
    Bytes.replace(0, Name.size(), Name);
    SetDevModeWord(Bytes, 32, 0x0401); // the public part's layout, as drivers label it
    SetDevModeWord(Bytes, DevModeVersionOffset, DevModeFormatVersion);
    SetDevModeWord(Bytes, DevModeSizeOffset, DevModePublicSize);
    // Which fields the record sets: orientation, paper size, copies.
    qToLittleEndian(static_cast<quint32>(0x1 | 0x2 | 0x100), Bytes.data() + DevModeFieldsOffset);
    SetDevModeWord(Bytes, DevModeOrientationOffset, Fields.Orientation);
    SetDevModeWord(Bytes, DevModePaperOffset, Fields.PaperCode);
    SetDevModeWord(Bytes, DevModeCopiesOffset, Fields.Copies);

    QByteArray Tail;
    const QByteArray FullName = Fields.Name.toUtf8().left(0xFFFF);
    char Count[2];
    qToLittleEndian(static_cast<quint16>(FullName.size()), Count);
    Tail.append(Count, 2);
    Tail += FullName;
    const QSizeF Size = Fields.Paper.size(QPageSize::Millimeter);
    AppendLong(Tail, static_cast<qint32>(qRound(Size.width() * 1000)));
    AppendLong(Tail, static_cast<qint32>(qRound(Size.height() * 1000)));
    SetDevModeWord(Bytes, DevModeExtraOffset, static_cast<int>(Tail.size()));
    return Bytes + Tail;
}

std::optional<TDevModeFields> DecodeDevMode(const QByteArray& Bytes)
{
    if (Bytes.size() < DevModeMinSize || Bytes.size() > DevModeMaxSize)
        return std::nullopt;
    if (DevModeWord(Bytes, DevModeVersionOffset) != DevModeFormatVersion ||
        DevModeWord(Bytes, DevModeSizeOffset) != DevModePublicSize)
        return std::nullopt;
    const int NameSize = qFromLittleEndian<quint16>(Bytes.constData() + DevModePublicSize);
    if (DevModePublicSize + 2 + NameSize + 8 != Bytes.size())
        return std::nullopt;
    TDevModeFields Fields;
    Fields.Name = QString::fromUtf8(Bytes.mid(DevModePublicSize + 2, NameSize));
    Fields.Orientation = DevModeWord(Bytes, DevModeOrientationOffset);
    Fields.PaperCode = DevModeWord(Bytes, DevModePaperOffset);
    Fields.Copies = DevModeWord(Bytes, DevModeCopiesOffset);
    const int Width = Long(Bytes, DevModePublicSize + 2 + NameSize);
    const int Height = Long(Bytes, DevModePublicSize + 2 + NameSize + 4);
    if (const auto Known = PaperOfCode(Fields.PaperCode))
        Fields.Paper = QPageSize(*Known);
    else if (Width > 0 && Height > 0 && Width <= 10'000'000 && Height <= 10'000'000)
        Fields.Paper = QPageSize(QSizeF(Width / 1000.0, Height / 1000.0), QPageSize::Millimeter);
    else
        return std::nullopt;
    return Fields;
}
