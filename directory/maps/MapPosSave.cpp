#include "directory/maps/MapPosSave.h"

#include "main/tables/DBInfo.h"
#include "platform/db/Table.h"

#include <QDebug>
#include <optional>

TMapPosSaveResult SaveMapPosition(TDMVxRelvo16& Data, int RecNo, int Latitude, int Longitude, const QDateTime& Now)
{
    if (!Data.Meibo())
        return TMapPosSaveResult::Failed;
    // The map button tells a failed write itself, once: the open keeps quiet about its own failure.
    std::optional<TTableUse> Use;
    {
        const TQuietOpen Quiet(Data);
        Use.emplace(Data, TDataTable::Meibo);
    }
    (void)Data.TakeQuietFailures();
    if (!Use->Opened())
        return TMapPosSaveResult::Failed;
    TTable& T = *Data.Meibo();
    try {
        T.SetIndexName(QString());
        if (!T.FindKey({RecNo}))
            return TMapPosSaveResult::Missing;
        T.Edit();
        T.FieldByName(QStringLiteral("AxsDateTime")).SetAsFloat(DateTimeToDays(Now));
        T.FieldByName(QStringLiteral("Latitude")).SetAsInteger(Latitude);
        T.FieldByName(QStringLiteral("Longitude")).SetAsInteger(Longitude);
        T.Post();
    } catch (const EDatabaseError& Error) {
        qWarning().noquote() << "Meibo.DB:" << Error.Message();
        if (T.State() == TDataSetState::Edit)
            T.Cancel();
        return TMapPosSaveResult::Failed;
    }
    return TMapPosSaveResult::Written;
}
