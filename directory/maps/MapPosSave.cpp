#include "directory/maps/MapPosSave.h"

#include "main/tables/DBInfo.h"
#include "platform/db/Table.h"

#include <QDebug>

TMapPosSaveResult SaveMapPosition(int RecNo, int Latitude, int Longitude, const QDateTime& Now)
{
    if (!DMVxRelvo16 || !MeiboTable)
        return TMapPosSaveResult::Failed;
    TTableUse Use(*DMVxRelvo16, TDataTable::Meibo);
    if (!Use.Opened())
        return TMapPosSaveResult::Failed;
    TTable& T = *MeiboTable;
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
