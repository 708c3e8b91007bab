#include "calls/adapter/HistoryImport.h"

#include "main/common/CallerRec.h"
#include "main/common/CommonText.h"
#include "main/device/VxComm.h"
#include "main/pipeline/CallPipeline.h"
#include "main/tables/DBInfo.h"
#include "platform/db/Table.h"
#include "platform/text/Cp932.h"

#include <QDebug>
#include <cmath>

namespace {

// A fixed field of the record: up to its first NUL, as the adapter's code page wrote it, control
// characters as blanks.
QString FieldText(const char* Field, int Size)
{
    int Length = 0;
    while (Length < Size && Field[Length] != '\0')
        ++Length;
    QString Text = Cp932Decode(QByteArray(Field, Length), TDecodeMode::Substitute).value_or(QString());
    // A tab or line break from the device would split the list's columns and rows.
    for (QChar& Ch : Text) {
        if (Ch.unicode() < 0x20 || Ch.unicode() == 0x7F)
            Ch = QLatin1Char(' ');
    }
    return Text;
}

// A part of a date or time field made of digits only, as its number; none otherwise.
bool Part(const QString& Text, int From, int Length, int& Value)
{
    const QString Digits = Text.mid(From, Length);
    for (const QChar Ch : Digits) {
        if (Ch < QLatin1Char('0') || Ch > QLatin1Char('9'))
            return false;
    }
    Value = Digits.toInt();
    return true;
}

// Sunday 1 .. Saturday 7 of the day a stored date-time falls on. A call whose date and time were
// both broken is stored at day 0, 1899-12-30, a Saturday: its weekday is that day's, as for any other
// row, so that a weekday filter finds it.
int StoredWeekday(double Days)
{
    return QDate(1899, 12, 30).addDays(static_cast<qint64>(std::floor(Days))).dayOfWeek() % 7 + 1;
}

} // namespace

THistoryImportEntry HistoryImportEntryOf(const TDeviceHistoryEntry& Raw,
                                         const std::function<QString(const QString&)>& Hyphenate)
{
    THistoryImportEntry Entry;
    Entry.Number = FieldText(Raw.Number, sizeof(Raw.Number)).trimmed();
    Entry.Date = FieldText(Raw.Date, sizeof(Raw.Date));
    Entry.Time = FieldText(Raw.Time, sizeof(Raw.Time));
    if (!IsCallerNumberCode(Entry.Number) && Hyphenate)
        Entry.Number = Hyphenate(Entry.Number);
    return Entry;
}

QString HistoryImportLine(const THistoryImportEntry& Entry)
{
    QString Date = Entry.Date.trimmed();
    if (Date.size() == 8)
        Date = Date.left(4) + QLatin1Char('/') + Date.mid(4, 2) + QLatin1Char('/') + Date.mid(6, 2);
    else
        Date = Entry.Date;
    QString Time = Entry.Time.trimmed();
    if (Time.size() == 6)
        Time = Time.left(2) + QLatin1Char(':') + Time.mid(2, 2) + QLatin1Char(':') + Time.mid(4, 2);
    else
        Time = Entry.Time;
    const QString Number = IsCallerNumberCode(Entry.Number) ? CallerNumberCodeText(Entry.Number) : Entry.Number;
    return Date + QLatin1Char('\t') + Time + QLatin1Char('\t') + Number + QLatin1Char('\t');
}

double HistoryImportDateTime(const THistoryImportEntry& Entry)
{
    const QString Date = Entry.Date.trimmed();
    const QString Time = Entry.Time.trimmed();
    QDate Day;
    int Y = 0, M = 0, D = 0;
    if (Date.size() == 8 && Part(Date, 0, 4, Y) && Part(Date, 4, 2, M) && Part(Date, 6, 2, D))
        Day = QDate(Y, M, D);
    QTime Clock;
    int H = 0, N = 0, S = 0;
    if (Time.size() == 6 && Part(Time, 0, 2, H) && Part(Time, 2, 2, N) && Part(Time, 4, 2, S))
        Clock = QTime(H, N, S);
    if (Day.isValid())
        return DateTimeToDays(QDateTime(Day, Clock.isValid() ? Clock : QTime(0, 0)));
    return Clock.isValid() ? Clock.msecsSinceStartOfDay() / 86400000.0 : 0;
}

THistoryImportResult SaveHistoryImport(TDMVxRelvo16& Module, const QList<THistoryImportEntry>& Entries,
                                       const QDateTime& Now)
{
    THistoryImportResult Result;
    TTableUse Use(Module, TDataTable::RecvHis);
    if (!Use.Opened() || !RecvHisTable) {
        Result.Stop = THistoryImportResult::EStop::NotOpened;
        return Result;
    }
    TTable& Table = *RecvHisTable;
    Table.SetFiltered(false);
    Table.SetIndexName(QString());
    if (Table.RangeActive())
        Table.CancelRange();
    int RowCount = Table.RecordCount();
    Table.Last();
    int NextRecNo = Table.IsEmpty() ? 0 : Table.FieldByName(QStringLiteral("RecNo")).AsInteger() + 1;
    // One transaction for the whole selection, a savepoint for each row that may be refused: a
    // device's log of thousands of calls is written in seconds, not one synchronous commit a call.
    const QString RowPoint = QStringLiteral("ImportedCall");
    try {
        TTableTransaction Transaction(Table);
        for (const THistoryImportEntry& Entry : Entries) {
            if (NextRecNo > MaxHistoryRecNo) {
                Result.Stop = RowCount <= MaxHistoryRecNo ? THistoryImportResult::EStop::CounterFull
                                                          : THistoryImportResult::EStop::RowsFull;
                break;
            }
            const double When = HistoryImportDateTime(Entry);
            const QString Number = Entry.Number.trimmed();
            const bool Code = IsCallerNumberCode(Number);
            Table.Savepoint(RowPoint);
            try {
                Table.Append();
                auto Set = [&Table](const char* Name, const QString& Value) {
                    Table.FieldByName(QString::fromLatin1(Name)).SetAsString(Value);
                };
                Table.FieldByName(QStringLiteral("RecNo")).SetAsInteger(NextRecNo);
                Table.FieldByName(QStringLiteral("AxsDateTime")).SetAsFloat(DateTimeToDays(Now));
                Table.FieldByName(QStringLiteral("RecvDateTime")).SetAsFloat(When);
                Table.FieldByName(QStringLiteral("RecvWeek")).SetAsInteger(StoredWeekday(When));
                Set("SchTel", Code ? Number : DigitsOnly(Number));
                Set("Tel", Number);
                for (const char* Name :
                     {"CorpKana", "CorpKanji", "NameKana", "NameKanji", "Rank", "SelItem1", "SelItem2", "SelItem3"})
                    Set(Name, QString());
                Set("Division", QStringLiteral("0"));
                Table.Post();
                Table.ReleaseSavepoint(RowPoint);
            } catch (const std::exception& Error) {
                qWarning().noquote() << "Imported call" << NextRecNo << "not written:" << Error.what();
                Table.RollbackToSavepoint(RowPoint);
                continue;
            }
            ++RowCount;
            ++NextRecNo;
            ++Result.Saved;
        }
        Transaction.Commit();
    } catch (const std::exception& Error) {
        // Nothing of the selection is in the table: the count says so.
        qWarning().noquote() << "Imported calls not written:" << Error.what();
        if (Table.Active() && Table.State() != TDataSetState::Browse)
            Table.Cancel();
        Result.Saved = 0;
    }
    return Result;
}
