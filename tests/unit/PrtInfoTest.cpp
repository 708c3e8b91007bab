#include "transfer/print/PrtInfo.h"

#include "FakePrinters.h"
#include "platform/sys/SafeWrite.h"
#include "transfer/print/DevMode.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

class PrtInfoTest : public ::testing::Test
{
protected:
    QTemporaryDir Folder;
    TFakePrinters Printers;
    QString File = Folder.filePath(QStringLiteral("LstPrint.pi"));

    PrtInfoTest()
    {
        Printers.Add(QStringLiteral("Office Laser"), FakeCaps({QPageSize::A4, QPageSize::A3, QPageSize::JisB5}));
        Printers.Add(QStringLiteral("Label Writer"), FakeCaps({QPageSize::A5, QPageSize::A4}, 300));
        Printers.Add(QStringLiteral("PDF"), PdfPrinterCaps());
    }

    void Store(const QByteArray& Bytes) { ASSERT_EQ(WriteFileSafely(File, Bytes), TSafeWriteResult::Written); }

    static QByteArray WithLength(const QByteArray& Mode, int Length)
    {
        QByteArray Head(4, '\0');
        qToLittleEndian(static_cast<qint32>(Length), Head.data());
        return Head + Mode;
    }
};

TEST_F(PrtInfoTest, ConvertsTenthsOfMillimetresPointsAndSheetSizesAtTheResolution)
{
    TPrinterInfo Info(File);
    ASSERT_EQ(Info.DeviceName, QStringLiteral("Office Laser"));
    EXPECT_EQ(Info.TenthMmToPixels(100, 100), QPoint(236, 236));
    EXPECT_EQ(Info.PointsToPixels(9), 75);
    Info.PhysicalWidth = 4960;
    EXPECT_EQ(Info.GetPhysicalPageSize().width(), 794);
    // An A4 sheet at 600 dpi without margins: the printable area is the sheet in 96-dpi units.
    Info.ReadDeviceMetrics();
    EXPECT_EQ(Info.PhysicalWidth, 4961);
    EXPECT_EQ(Info.PhysicalHeight, 7016);
    EXPECT_EQ(Info.GetPrintableRect(10, 20), QRect(10, 20, 794 - 20, 1123 - 40));
}

TEST_F(PrtInfoTest, ReadsUnprintableMarginsTurnedWithTheSheet)
{
    Printers.List[0].second.Unprintable = QMarginsF(4, 5, 6, 7);
    TPrinterInfo Info(File);
    EXPECT_EQ(Info.PhysicalOffsetX, 94);
    EXPECT_EQ(Info.PhysicalOffsetY, 118);
    EXPECT_EQ(Info.PageWidth, 4961 - 94 - 142);
    auto Fields = *DecodeDevMode(Info.DeviceMode);
    Fields.Orientation = DMORIENT_LANDSCAPE;
    Info.DeviceMode = EncodeDevMode(Fields);
    Info.ReadDeviceMetrics();
    // Turned a quarter to the left: the page's left is the sheet's bottom, its top the sheet's left.
    EXPECT_EQ(Info.PhysicalWidth, 7016);
    EXPECT_EQ(Info.PhysicalOffsetX, 165);
    EXPECT_EQ(Info.PhysicalOffsetY, 94);
    EXPECT_EQ(Info.PageHeight, 4961 - 94 - 142);
}

TEST_F(PrtInfoTest, AFileNamingTheSecondPrinterSelectsItWithItsPaperOrientationAndCopies)
{
    Store(
        WithLength(EncodeDevMode({QStringLiteral("Label Writer"), DMORIENT_LANDSCAPE, 11, 4, QPageSize(QPageSize::A5)}),
                   DevModeMinSize + 12));
    TPrinterInfo Info(File);
    EXPECT_EQ(Info.DeviceName, QStringLiteral("Label Writer"));
    EXPECT_EQ(Info.GetOrientation(), DMORIENT_LANDSCAPE);
    EXPECT_EQ(Info.GetCopies(), 4);
    EXPECT_EQ(Info.DpiY, 300);
    EXPECT_EQ(Info.GetPaperName().Name, QPageSize::name(QPageSize::A5));
    EXPECT_EQ(CurrentPrinter().Name, QStringLiteral("Label Writer"));
    EXPECT_TRUE(CurrentPrinter().Landscape);
}

TEST_F(PrtInfoTest, APrinterNameOfFortyBytesIsFoundAgain)
{
    const QString Long = QStringLiteral("Accounting Department Colour Laser No 12");
    ASSERT_EQ(Long.toUtf8().size(), 40);
    Printers.Add(Long, FakeCaps({QPageSize::A4}));
    TPrinterInfo First(File);
    First.UsePrinter(3);
    First.SetCopies(2);
    ASSERT_TRUE(First.SavePrinterSettings());
    Printers.Default = QStringLiteral("Office Laser");
    TPrinterInfo Again(File);
    EXPECT_EQ(Again.DeviceName, Long);
    EXPECT_EQ(Again.GetCopies(), 2);
}

TEST_F(PrtInfoTest, AStoredPaperThePrinterLacksGivesItsFirstPaperAndChangesTheCode)
{
    TPrinterInfo Info(File);
    auto Fields = *DecodeDevMode(Info.DeviceMode);
    Fields.PaperCode = 5; // Legal
    Fields.Paper = QPageSize(QPageSize::Legal);
    Info.DeviceMode = EncodeDevMode(Fields);
    const TPrinterInfo::TPaperName Paper = Info.GetPaperName();
    EXPECT_EQ(Paper.Code, 0);
    EXPECT_EQ(Paper.Name, QPageSize::name(QPageSize::A4));
    EXPECT_EQ(DevModeWord(Info.DeviceMode, DevModePaperOffset), 9);
}

TEST_F(PrtInfoTest, AStoredSheetWithNothingPrintableInsideTheMarginsGivesThePrintersFirstPaper)
{
    Printers.List[1].second.Unprintable = QMarginsF(4, 4, 4, 4);
    struct
    {
        const char* What;
        QString Printer;
        int Orientation;
        QSizeF Sheet;
        bool Kept;
    } const Cases[] = {
        {"a thousandth of a millimetre high", QStringLiteral("PDF"), DMORIENT_PORTRAIT, {34.464, 0.001}, false},
        {"narrower than the margins", QStringLiteral("Label Writer"), DMORIENT_PORTRAIT, {8, 100}, false},
        {"lower than the margins once turned", QStringLiteral("Label Writer"), DMORIENT_LANDSCAPE, {7, 100}, false},
        {"a small label that still fits", QStringLiteral("Label Writer"), DMORIENT_LANDSCAPE, {20, 12}, true},
    };
    for (const auto& Case : Cases) {
        const QPageSize Sheet(Case.Sheet, QPageSize::Millimeter);
        const QByteArray Mode = EncodeDevMode({Case.Printer, Case.Orientation, DMPAPER_USER, 2, Sheet});
        Store(WithLength(Mode, static_cast<int>(Mode.size())));
        TPrinterInfo Info(File);
        EXPECT_EQ(Info.DeviceName, Case.Printer) << Case.What;
        EXPECT_EQ(Info.GetCopies(), 2) << Case.What;
        EXPECT_EQ(Info.GetOrientation(), Case.Orientation) << Case.What;
        EXPECT_GT(Info.PageWidth, 0) << Case.What;
        EXPECT_GT(Info.PageHeight, 0) << Case.What;
        const QPageSize Expected =
            Case.Kept ? Sheet : QPageSize(Case.Printer == QStringLiteral("PDF") ? QPageSize::A4 : QPageSize::A5);
        EXPECT_TRUE(Info.Paper().isEquivalentTo(Expected)) << Case.What;
        // What is saved restores the same sheet.
        ASSERT_TRUE(Info.SavePrinterSettings());
        EXPECT_EQ(TPrinterInfo(File).DeviceMode, Info.DeviceMode) << Case.What;
    }
}

TEST_F(PrtInfoTest, APrinterWithoutPapersAnswersCodeOne)
{
    Printers.List[0].second.Papers.clear();
    TPrinterInfo Info(File);
    EXPECT_EQ(Info.GetPaperName().Code, 1);
}

TEST_F(PrtInfoTest, ShortForeignOrOversizedFilesGiveTheDefaultPrinter)
{
    Printers.Default = QStringLiteral("PDF");
    const QByteArray Good = EncodeDevMode({QStringLiteral("Label Writer"), 1, 9, 1, QPageSize(QPageSize::A4)});
    QByteArray OtherVersion = Good;
    SetDevModeWord(OtherVersion, DevModeVersionOffset, 7);
    QByteArray Gone = EncodeDevMode({QStringLiteral("Removed Printer"), 1, 9, 1, QPageSize(QPageSize::A4)});
    const QList<std::pair<const char*, QByteArray>> Cases{
        {"three bytes", QByteArray("\x10\0\0", 3)},
        {"length beyond the bytes", WithLength(Good, static_cast<int>(Good.size()) + 1)},
        {"length short of the bytes", WithLength(Good, static_cast<int>(Good.size()) - 1)},
        {"negative length", WithLength(Good, -1)},
        {"oversized", WithLength(QByteArray(DevModeMaxSize + 1, 'x'), DevModeMaxSize + 1)},
        {"a foreign block", WithLength(QByteArray(200, '\x7f'), 200)},
        {"another format version", WithLength(OtherVersion, static_cast<int>(OtherVersion.size()))},
        {"a printer that is gone", WithLength(Gone, static_cast<int>(Gone.size()))},
    };
    for (const auto& [What, Bytes] : Cases) {
        Store(Bytes);
        TPrinterInfo Info(File);
        EXPECT_EQ(Info.DeviceName, QStringLiteral("PDF")) << What;
        EXPECT_EQ(Info.GetCopies(), 1) << What;
    }
    Store(WithLength(Good, static_cast<int>(Good.size())));
    EXPECT_EQ(TPrinterInfo(File).DeviceName, QStringLiteral("Label Writer"));
}

TEST_F(PrtInfoTest, SavesTheDeviceModeAsTheRecordWrittenByHand)
{
    TPrinterInfo Info(File);
    auto Fields = *DecodeDevMode(Info.DeviceMode);
    Fields.Orientation = DMORIENT_LANDSCAPE;
    Info.DeviceMode = EncodeDevMode(Fields);
    Info.SetCopies(3);
    ASSERT_TRUE(Info.SavePrinterSettings());
    QFile Saved(File);
    ASSERT_TRUE(Saved.open(QIODevice::ReadOnly));

    QByteArray Public(DevModePublicSize, '\0');
    Public.replace(0, 12, "Office Laser");
    const char Words[] = "\x01\x04"
                         "\x01\x00"
                         "\x9c\x00"
                         "\x16\x00"
                         "\x03\x01\x00\x00"
                         "\x02\x00"
                         "\x09\x00";
    Public.replace(32, 16, QByteArray(Words, 16));
    Public[54] = 3;
    const QByteArray Tail =
        QByteArray("\x0c\x00", 2) + "Office Laser" + QByteArray("\x50\x34\x03\x00\x28\x88\x04\x00", 8);
    EXPECT_EQ(Saved.readAll().toHex(' '), (QByteArray("\xb2\x00\x00\x00", 4) + Public + Tail).toHex(' '));
}

} // namespace
