// The list printer's file LstPrint.pi on any bytes: it restores a printer of the list or the default
// one with a sheet it can print on, never trusts the stored length, and what it saves reads back as the
// same printer, paper, orientation and copies.

#include "FuzzSupport.h"
#include "transfer/print/DevMode.h"
#include "transfer/print/PrtInfo.h"

#include <QtEndian>

namespace {

class TFuzzPrinters final : public TPrinterDevices
{
public:
    QStringList Names() const override
    {
        return {QStringLiteral("Office Laser"), QStringLiteral("Accounting Department Colour Laser No 12"),
                QStringLiteral("PDF")};
    }
    QString DefaultName() const override { return QStringLiteral("PDF"); }
    TPrinterCaps Caps(const QString& Name) const override
    {
        TPrinterCaps Caps = PdfPrinterCaps();
        if (Name != QStringLiteral("PDF")) {
            Caps.DpiX = Caps.DpiY = 300;
            Caps.Papers = {QPageSize::A4, QPageSize::JisB5};
            Caps.Unprintable = QMarginsF(4, 4, 4, 4);
        }
        return Caps;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    static const TFuzzPrinters Printers;
    SetPrinterDevices(&Printers);
    const QString File = FreshFolder(QStringLiteral("lstprint")) + QStringLiteral("LstPrint.pi");
    const QByteArray Bytes(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size));
    WriteFuzzFile(File, Bytes);

    TPrinterInfo Info(File);
    VX_FUZZ_CHECK(Printers.Names().contains(Info.DeviceName));
    const auto Fields = DecodeDevMode(Info.DeviceMode);
    VX_FUZZ_CHECK(Fields.has_value());
    VX_FUZZ_CHECK(Info.DeviceModeSize == Info.DeviceMode.size());
    VX_FUZZ_CHECK(Info.GetCopies() >= 1);
    VX_FUZZ_CHECK(Info.DpiX > 0 && Info.PhysicalWidth > 0 && Info.PageWidth > 0 && Info.PageHeight > 0);
    // A file that is not exactly its length and a record of ours restores nothing of it.
    const bool Whole = Bytes.size() >= 4 && qFromLittleEndian<qint32>(Bytes.constData()) == Bytes.size() - 4;
    if (!Whole)
        VX_FUZZ_CHECK(Info.DeviceName == QStringLiteral("PDF") && Info.GetCopies() == 1);

    VX_FUZZ_CHECK(Info.SavePrinterSettings());
    const TPrinterInfo Again(File);
    VX_FUZZ_CHECK_EQ(Again.DeviceName, Info.DeviceName);
    VX_FUZZ_CHECK_EQ(Again.DeviceMode, Info.DeviceMode);
    SetPrinterDevices(nullptr);
    return 0;
}
