#include "transfer/print/PrtInfo.h"

#include "main/common/CommonText.h"
#include "platform/print/PageGeometry.h"
#include "platform/sys/SafeWrite.h"
#include "transfer/print/DevMode.h"

#include <QFile>
#include <QtEndian>
#include <cstdlib>

namespace {

class TPdfOnly final : public TPrinterDevices
{
public:
    QStringList Names() const override { return {PdfPrinterDeviceName}; }
    QString DefaultName() const override { return PdfPrinterDeviceName; }
    TPrinterCaps Caps(const QString&) const override { return PdfPrinterCaps(); }
};

const TPrinterDevices* Installed = nullptr;

int Pixels(double Millimetres, int Dpi)
{
    return static_cast<int>(RoundOff(Millimetres / 25.4 * Dpi));
}

QPageSize::PageSizeId FirstPaper(const TPrinterCaps& Caps)
{
    return Caps.Papers.isEmpty() ? QPageSize::A4 : Caps.Papers.first();
}

} // namespace

int MulDiv(int A, int B, int C)
{
    if (C == 0)
        return -1;
    const long long Product = static_cast<long long>(A) * B;
    const long long Half = std::llabs(static_cast<long long>(C)) / 2;
    const bool Negative = (Product < 0) != (C < 0);
    const long long Result = (std::llabs(Product) + Half) / std::llabs(static_cast<long long>(C));
    return static_cast<int>(Negative ? -Result : Result);
}

TPrinterCaps PdfPrinterCaps()
{
    TPrinterCaps Caps;
    for (int Code = 1; Code < DMPAPER_USER; ++Code)
        if (const auto Id = PaperOfCode(Code))
            Caps.Papers.append(*Id);
    // A4 first: the paper a new list starts on here.
    Caps.Papers.removeAll(QPageSize::A4);
    Caps.Papers.prepend(QPageSize::A4);
    return Caps;
}

const TPrinterDevices& PrinterDevices()
{
    static const TPdfOnly PdfOnly;
    return Installed ? *Installed : PdfOnly;
}

void SetPrinterDevices(const TPrinterDevices* Devices)
{
    Installed = Devices;
}

TPrinterSelection& CurrentPrinter()
{
    static TPrinterSelection Selection;
    return Selection;
}

TPrinterInfo::TPrinterInfo(const QString& FileName) : FileName(FileName)
{
    LoadPrinterSettings();
}

void TPrinterInfo::LoadPrinterSettings()
{
    QFile File(FileName);
    if (!File.open(QIODevice::ReadOnly)) {
        UsePrinter(-1);
        return;
    }
    // The length is not trusted: the file must hold exactly that many bytes, of a record of ours.
    const QByteArray Bytes = File.read(4 + DevModeMaxSize + 1);
    if (Bytes.size() < 4) {
        UsePrinter(-1);
        return;
    }
    const qint32 Length = qFromLittleEndian<qint32>(Bytes.constData());
    const QByteArray Mode = Bytes.mid(4);
    const auto Fields = Length == Mode.size() ? DecodeDevMode(Mode) : std::nullopt;
    if (!Fields || !PrinterDevices().Names().contains(Fields->Name)) {
        UsePrinter(-1);
        return;
    }
    // What a driver would validate: a copy count it can print and an orientation it knows.
    TDevModeFields Valid = *Fields;
    Valid.Copies = qBound(1, Valid.Copies, 9999);
    if (Valid.Orientation != DMORIENT_LANDSCAPE)
        Valid.Orientation = DMORIENT_PORTRAIT;
    Adopt(Valid.Name, EncodeDevMode(Valid));
    // And a sheet it can print on: a stored size that leaves nothing inside the printer's margins
    // (only a damaged file holds one) gives way to the printer's first paper.
    if (PageWidth <= 0 || PageHeight <= 0) {
        const QPageSize::PageSizeId First = FirstPaper(PrinterDevices().Caps(Valid.Name));
        Valid.Paper = QPageSize(First);
        Valid.PaperCode = PaperCodeOf(First);
        Adopt(Valid.Name, EncodeDevMode(Valid));
    }
}

void TPrinterInfo::UsePrinter(int Index)
{
    const TPrinterDevices& Devices = PrinterDevices();
    const QStringList Names = Devices.Names();
    const QString Name = Index >= 0 && Index < Names.size() ? Names[Index] : Devices.DefaultName();
    const TPrinterCaps Caps = Devices.Caps(Name);
    TDevModeFields Fields;
    Fields.Name = Name;
    const QPageSize::PageSizeId First = FirstPaper(Caps);
    Fields.Paper = QPageSize(First);
    Fields.PaperCode = PaperCodeOf(First);
    Adopt(Name, EncodeDevMode(Fields));
}

void TPrinterInfo::UseCurrentPrinter()
{
    const TPrinterSelection& Current = CurrentPrinter();
    TDevModeFields Fields;
    Fields.Name = Current.Name.isEmpty() ? PrinterDevices().DefaultName() : Current.Name;
    Fields.Paper = Current.Paper;
    Fields.PaperCode = PaperCodeOf(Current.Paper.id());
    Fields.Orientation = Current.Landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    Fields.Copies = qMax(1, Current.Copies);
    Adopt(Fields.Name, EncodeDevMode(Fields));
}

void TPrinterInfo::Adopt(const QString& Name, const QByteArray& Mode)
{
    DeviceName = Name;
    DriverName = Name == PdfPrinterDeviceName ? QStringLiteral("PDF") : QStringLiteral("CUPS");
    PortName.clear();
    DeviceMode = Mode;
    DeviceModeSize = static_cast<int>(Mode.size());
    ReadDeviceMetrics();
}

bool TPrinterInfo::SavePrinterSettings() const
{
    QByteArray Bytes(4, '\0');
    qToLittleEndian(static_cast<qint32>(DeviceMode.size()), Bytes.data());
    return WriteFileSafely(FileName, Bytes + DeviceMode, TFileAccess::OwnerOnly) == TSafeWriteResult::Written;
}

QPageSize TPrinterInfo::Paper() const
{
    if (const auto Fields = DecodeDevMode(DeviceMode))
        return Fields->Paper;
    return QPageSize(QPageSize::A4);
}

void TPrinterInfo::ReadDeviceMetrics()
{
    const TPrinterCaps Caps = PrinterDevices().Caps(DeviceName);
    DpiX = Caps.DpiX;
    DpiY = Caps.DpiY;
    QSizeF Sheet = Paper().size(QPageSize::Millimeter);
    const bool Landscape = GetOrientation() == DMORIENT_LANDSCAPE;
    if (Landscape)
        Sheet.transpose();
    const QMarginsF Margins = TurnedMargins(Caps.Unprintable, Landscape);
    PhysicalWidth = Pixels(Sheet.width(), DpiX);
    PhysicalHeight = Pixels(Sheet.height(), DpiY);
    PhysicalOffsetX = Pixels(Margins.left(), DpiX);
    PhysicalOffsetY = Pixels(Margins.top(), DpiY);
    PageWidth = PhysicalWidth - PhysicalOffsetX - Pixels(Margins.right(), DpiX);
    PageHeight = PhysicalHeight - PhysicalOffsetY - Pixels(Margins.bottom(), DpiY);
    ScaleX = DpiX / 96.0;
    ScaleY = DpiY / 96.0;
    TPrinterSelection& Current = CurrentPrinter();
    Current.Name = DeviceName;
    Current.Paper = Paper();
    Current.Landscape = GetOrientation() == DMORIENT_LANDSCAPE;
    Current.Copies = GetCopies();
}

TPrinterInfo::TPaperName TPrinterInfo::GetPaperName()
{
    TPaperName Result;
    const TPrinterCaps Caps = PrinterDevices().Caps(DeviceName);
    if (Caps.Papers.isEmpty()) {
        Result.Code = 1;
        return Result;
    }
    const QPageSize Current = Paper();
    for (QPageSize::PageSizeId Id : Caps.Papers) {
        if (QPageSize(Id).isEquivalentTo(Current)) {
            Result.Name = QPageSize::name(Id);
            return Result;
        }
    }
    const QPageSize::PageSizeId First = Caps.Papers.first();
    Result.Name = QPageSize::name(First);
    if (auto Fields = DecodeDevMode(DeviceMode)) {
        Fields->Paper = QPageSize(First);
        Fields->PaperCode = PaperCodeOf(First);
        DeviceMode = EncodeDevMode(*Fields);
        DeviceModeSize = static_cast<int>(DeviceMode.size());
    }
    return Result;
}

int TPrinterInfo::GetOrientation() const
{
    return DevModeWord(DeviceMode, DevModeOrientationOffset);
}

int TPrinterInfo::GetCopies() const
{
    return DevModeWord(DeviceMode, DevModeCopiesOffset);
}

void TPrinterInfo::SetCopies(int Copies)
{
    if (GetCopies() != Copies) {
        SetDevModeWord(DeviceMode, DevModeCopiesOffset, Copies);
        CurrentPrinter().Copies = Copies;
    }
}

QPoint TPrinterInfo::TenthMmToPixels(int X, int Y) const
{
    return {static_cast<int>(RoundOff(X / 254.0 * DpiX)), static_cast<int>(RoundOff(Y / 254.0 * DpiY))};
}

int TPrinterInfo::PointsToPixels(int Points) const
{
    return MulDiv(Points, DpiY, 72);
}

QSize TPrinterInfo::GetPhysicalPageSize() const
{
    if (ScaleX <= 0 || ScaleY <= 0)
        return {};
    return {static_cast<int>(RoundOff(PhysicalWidth / ScaleX)), static_cast<int>(RoundOff(PhysicalHeight / ScaleY))};
}

QRect TPrinterInfo::GetPrintableRect(int MarginX, int MarginY) const
{
    if (ScaleX <= 0 || ScaleY <= 0)
        return {};
    return QRect(MarginX + static_cast<int>(RoundOff(PhysicalOffsetX / ScaleX)),
                 MarginY + static_cast<int>(RoundOff(PhysicalOffsetY / ScaleY)),
                 static_cast<int>(RoundOff(PageWidth / ScaleX)) - 2 * MarginX,
                 static_cast<int>(RoundOff(PageHeight / ScaleY)) - 2 * MarginY);
}
