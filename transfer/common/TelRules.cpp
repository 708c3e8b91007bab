#include "transfer/common/TelRules.h"

namespace {

// One clock for every date-dependent rule of the program: the number rules read its date, the
// utility's default backup folder its time as well.
std::function<QDateTime()>& Clock()
{
    static std::function<QDateTime()> Instance;
    return Instance;
}

} // namespace

QString ConvertOldMobileNumber(const QString& Number)
{
    const qsizetype Length = Number.size();
    if (Length < 4 || Length > 10)
        return Number;
    const QStringView Head = QStringView(Number).left(3);
    for (const char* Old : {"010", "020", "030", "040", "080"})
        if (Head == QLatin1String(Old))
            return QStringLiteral("090") + Number.at(1) + Number.mid(3);
    if (Head == QLatin1String("050") || Head == QLatin1String("060"))
        return QStringLiteral("070") + Number.at(1) + Number.mid(3);
    if (Number.startsWith(QLatin1String("06")) && Length < 10)
        return QStringLiteral("066") + Number.mid(2);
    return Number;
}

QString ConvertExchange0720(const QString& Number, const QDate& Today)
{
    if (Today >= QDate(2000, 1, 1) && Number.size() >= 5 && Number.startsWith(QLatin1String("0720")))
        return QStringLiteral("0728") + Number.mid(4);
    return Number;
}

QString ConvertExchange0720(const QString& Number)
{
    // Reading the clock costs more than the test of the number: only a number the rule fits asks it.
    if (Number.size() < 5 || !Number.startsWith(QLatin1String("0720")))
        return Number;
    return ConvertExchange0720(Number, TelRulesNow().date());
}

void SetTelRulesClock(std::function<QDate()> Today)
{
    if (!Today)
        Clock() = {};
    else
        Clock() = [Today = std::move(Today)] { return QDateTime(Today(), QTime(0, 0)); };
}

void SetTelRulesNow(std::function<QDateTime()> Now)
{
    Clock() = std::move(Now);
}

QDateTime TelRulesNow()
{
    return Clock() ? Clock()() : QDateTime::currentDateTime();
}
