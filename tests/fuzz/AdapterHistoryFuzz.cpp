// The adapter history import on any records the device library hands back: every record gives one
// list line of three cells, a code letter is never hyphenated, and the call's time is a date the
// table can hold (from the year 1 to the year 9999) whatever the date and time fields hold.

#include "FuzzSupport.h"
#include "calls/adapter/HistoryImport.h"
#include "main/common/CallerRec.h"
#include "main/device/VxComm.h"
#include "platform/db/Table.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    for (std::size_t Offset = 0; Offset + sizeof(TDeviceHistoryEntry) <= Size; Offset += sizeof(TDeviceHistoryEntry)) {
        TDeviceHistoryEntry Raw;
        std::memcpy(&Raw, Data + Offset, sizeof(Raw));
        bool Hyphenated = false;
        const THistoryImportEntry Entry = HistoryImportEntryOf(Raw, [&Hyphenated](const QString& Number) {
            Hyphenated = true;
            return Number;
        });
        VX_FUZZ_CHECK(!(Hyphenated && IsCallerNumberCode(Entry.Number)));
        const QString Line = HistoryImportLine(Entry);
        VX_FUZZ_CHECK_EQ(Line.count(QLatin1Char('\t')), qsizetype(3));
        VX_FUZZ_CHECK(Line.endsWith(QLatin1Char('\t')));
        VX_FUZZ_CHECK(!Line.contains(QLatin1Char('\n')) && !Line.contains(QLatin1Char('\r')));
        const double Days = HistoryImportDateTime(Entry);
        VX_FUZZ_CHECK(std::isfinite(Days) && Days > -693594 && Days < 2958466);
        // Before 1899-12-30 the time of day counts away from zero, as the table's date-times do.
        const QDateTime Back = DaysToDateTime(Days);
        VX_FUZZ_CHECK(Days == 0 || Back.isValid());
        VX_FUZZ_CHECK(Days == 0 || std::fabs(DateTimeToDays(Back) - Days) < 1e-6);
    }
    return 0;
}
