#include "platform/sys/LocalTime.h"

#include <QHash>

namespace {

// What was learnt of the zone is forgotten after this, so that a zone the user changes is seen.
constexpr qint64 KeptMsecs = 60 * 1000;
// A long import of old calls may name many days; past this the days learnt start afresh.
constexpr qsizetype KeptDays = 4096;

struct TLearnt
{
    qint64 From = 0;
    qint64 Until = 0; // the clock's offset holds for readings in [From, Until)
    int Offset = 0;
    qint64 DaysFrom = 0;
    qint64 DaysUntil = 0;
    QHash<qint64, std::optional<int>> Days; // by Julian day
};

TLearnt& Learnt()
{
    thread_local TLearnt State;
    return State;
}

int OffsetAt(qint64 Msecs)
{
    return QDateTime::fromMSecsSinceEpoch(Msecs).offsetFromUtc();
}

} // namespace

QDateTime LocalNow()
{
    TLearnt& State = Learnt();
    const qint64 Msecs = QDateTime::currentMSecsSinceEpoch();
    if (Msecs < State.From || Msecs >= State.Until) {
        const int Offset = OffsetAt(Msecs);
        if (Offset != OffsetAt(Msecs + KeptMsecs)) {
            // The offset changes within the minute: every reading asks the zone until it has.
            State.From = State.Until = 0;
            return QDateTime::fromMSecsSinceEpoch(Msecs);
        }
        State.From = Msecs;
        State.Until = Msecs + KeptMsecs;
        State.Offset = Offset;
    }
    return QDateTime::fromMSecsSinceEpoch(Msecs, Qt::OffsetFromUTC, State.Offset);
}

std::optional<int> SteadyLocalOffset(const QDate& Day)
{
    if (!Day.isValid())
        return std::nullopt;
    TLearnt& State = Learnt();
    const qint64 Msecs = QDateTime::currentMSecsSinceEpoch();
    if (Msecs < State.DaysFrom || Msecs >= State.DaysUntil || State.Days.size() >= KeptDays) {
        State.Days.clear();
        State.DaysFrom = Msecs;
        State.DaysUntil = Msecs + KeptMsecs;
    }
    const qint64 Julian = Day.toJulianDay();
    if (const auto Known = State.Days.constFind(Julian); Known != State.Days.cend())
        return *Known;
    // Two changes of offset lie months apart: one offset at both ends holds all the way through.
    const int Before = QDateTime(Day.addDays(-1), QTime(12, 0)).offsetFromUtc();
    const int After = QDateTime(Day.addDays(1), QTime(12, 0)).offsetFromUtc();
    const std::optional<int> Offset = Before == After ? std::optional<int>(Before) : std::nullopt;
    State.Days.insert(Julian, Offset);
    return Offset;
}

QDateTime LocalDateTime(const QDate& Day, const QTime& At)
{
    if (!At.isValid())
        return QDateTime(Day, At);
    if (const std::optional<int> Offset = SteadyLocalOffset(Day))
        return QDateTime(Day, At, Qt::OffsetFromUTC, *Offset);
    return QDateTime(Day, At);
}
