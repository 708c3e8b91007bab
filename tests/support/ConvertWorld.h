#pragma once

#include "tests/support/OlderVersionFixture.h"
#include "tests/support/SqlRows.h"
#include "tests/support/UtilityWorld.h"
#include "utility/convert/Convert.h"

struct TCountingProgress : Utility::TConvertProgress
{
    int Total = -1;
    int Steps = 0;
    bool Finished = false;
    void Start(int Max) override { Total = Max; }
    void Step() override { ++Steps; }
    void Finish() override { Finished = true; }
};

// A world with a source folder of one earlier version and the program folder of the build, whose
// device library the hand-over asks for its version.
class TConvertWorld : public TUtilityWorld
{
public:
    explicit TConvertWorld(int Version) : Version(Version), Source(Version, Path(QStringLiteral("v%1").arg(Version)))
    {
        ProgramPath = QStringLiteral(VX_BIN_DIR "/");
        Utility::ConvertCounts = {};
        Utility::OlderAdapterSettings = {};
    }
    // Converts the source with the converter of its version; Choice answers for the option buttons
    // of versions 1 to 6.
    void Run(const Utility::TNameOverflowChoice& Choice = {})
    {
        using namespace Utility;
        TConversionModule Module(Data());
        ConvertEarlierVersion(
            Version, Source.Folder(), Progress, Choice ? Choice : [] { return TNameOverflow::CorpSet; });
    }
    // The destination's directory: an entry for each pair of first and second numbers, numbered from 0.
    void MakeEntries(const QList<QPair<QString, QString>>& Numbers) const
    {
        QList<int> RecNos;
        for (int RecNo = 0; RecNo < Numbers.size(); ++RecNo)
            RecNos.append(RecNo);
        MakeTable(TDataTable::Meibo, RecNos);
        Utility::TConversionModule Module(Data());
        DMVxRelvo16->CreateMeiboTable();
        TTableUse Use(*DMVxRelvo16, TDataTable::Meibo);
        MeiboTable->First();
        for (const auto& [First, Second] : Numbers) {
            MeiboTable->Edit();
            MeiboTable->FieldByName(QStringLiteral("SchTel1")).SetAsString(First);
            MeiboTable->FieldByName(QStringLiteral("SchTel2")).SetAsString(Second);
            MeiboTable->Post();
            MeiboTable->Next();
        }
    }
    [[nodiscard]] QList<QStringList> Rows(const QString& Table, const QString& Columns) const
    {
        const QByteArray Sql =
            (QStringLiteral("SELECT ") + Columns + QStringLiteral(" FROM ") + Table + QStringLiteral(" ORDER BY RecNo"))
                .toUtf8();
        QList<QStringList> Rows;
        for (const QString& Row : SqlRows(Data() + Table + QStringLiteral(".DB"), Sql.constData()))
            Rows.append(Row.split(u'|'));
        return Rows;
    }
    int Version;
    OlderFixture::TDataFolder Source;
    TCountingProgress Progress;
};
