#include "platform/sys/LocalTime.h"

#include "platform/db/Table.h"

#include <QFileInfo>
#include <gtest/gtest.h>
#include <thread>

namespace {

// Zones whose offset changes: at 02:00, at midnight (days without a 00:00), by half an hour.
const char* const Zones[] = {"Europe/Berlin", "America/Sao_Paulo", "Australia/Lord_Howe", "Asia/Tokyo"};

// Runs Work in Zone on a thread of its own, so that nothing learnt of another zone is kept.
template <typename TWork> void InZone(const char* Zone, TWork Work)
{
    const QByteArray Before = qgetenv("TZ");
    qputenv("TZ", Zone);
    tzset();
    std::thread(Work).join();
    if (Before.isEmpty())
        qunsetenv("TZ");
    else
        qputenv("TZ", Before);
    tzset();
}

bool HaveZones()
{
    for (const char* Zone : Zones)
        if (!QFileInfo::exists(QStringLiteral("/usr/share/zoneinfo/") + QLatin1String(Zone)))
            return false;
    return true;
}

TEST(LocalTimeTest, WallTimesAreThoseOfThePlainLocalConversionAcrossChangesOfOffset)
{
    if (!HaveZones())
        GTEST_SKIP() << "the system's zone files are not installed";
    const QTime Times[] = {QTime(0, 0),     QTime(0, 30), QTime(1, 59, 59), QTime(2, 0),  QTime(2, 15),
                           QTime(2, 30, 1), QTime(3, 0),  QTime(12, 0),     QTime(23, 0), QTime(23, 59, 59)};
    for (const char* Zone : Zones) {
        int Steady = 0;
        int Changing = 0;
        InZone(Zone, [&] {
            for (QDate Day(2017, 1, 1); Day <= QDate(2019, 12, 31); Day = Day.addDays(1)) {
                const std::optional<int> Offset = SteadyLocalOffset(Day);
                ++(Offset ? Steady : Changing);
                for (const QTime& At : Times) {
                    const QDateTime Plain(Day, At);
                    const QDateTime Quick = LocalDateTime(Day, At);
                    ASSERT_EQ(Quick.isValid(), Plain.isValid()) << Zone << " " << qPrintable(Plain.toString());
                    ASSERT_EQ(Quick.date(), Plain.date()) << Zone << " " << qPrintable(Plain.toString());
                    ASSERT_EQ(Quick.time(), Plain.time()) << Zone << " " << qPrintable(Plain.toString());
                    ASSERT_EQ(DateTimeToDays(Quick), DateTimeToDays(Plain));
                    if (Offset) {
                        // A steady day reads back as itself, which spares the reading.
                        ASSERT_EQ(DaysToDateTime(DateTimeToDays(Plain)).date(), Day) << Zone;
                        ASSERT_EQ(Plain.offsetFromUtc(), *Offset) << Zone;
                    }
                }
            }
        });
        EXPECT_GT(Steady, 1000) << Zone;
        if (QByteArray(Zone) != "Asia/Tokyo") {
            EXPECT_GE(Changing, 4) << Zone << ": the days around each change ask the zone";
        }
    }
}

TEST(LocalTimeTest, NowIsTheLocalClock)
{
    if (!HaveZones())
        GTEST_SKIP() << "the system's zone files are not installed";
    for (const char* Zone : Zones)
        InZone(Zone, [Zone] {
            for (int Round = 0; Round < 3; ++Round) {
                const QDateTime Before = QDateTime::currentDateTime();
                const QDateTime Now = LocalNow();
                const QDateTime After = QDateTime::currentDateTime();
                EXPECT_LE(Before.toMSecsSinceEpoch(), Now.toMSecsSinceEpoch()) << Zone;
                EXPECT_LE(Now.toMSecsSinceEpoch(), After.toMSecsSinceEpoch()) << Zone;
                EXPECT_EQ(Now.offsetFromUtc(), Before.offsetFromUtc()) << Zone;
                EXPECT_LE(DateTimeToDays(Before), DateTimeToDays(Now)) << Zone;
            }
        });
}

} // namespace
