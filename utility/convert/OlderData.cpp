#include "utility/convert/OlderData.h"

#include "main/tables/HisInfo.h"
#include "platform/msg/CoreMessage.h"
#include "platform/sys/Folders.h"

#include <QFileInfo>

namespace Utility {

namespace {

QStringList Split(const char* Names)
{
    return QString::fromLatin1(Names).split(u' ', Qt::SkipEmptyParts);
}

TOlderLayout MakeLayout(int Version)
{
    TOlderLayout Layout;
    if (Version >= 3)
        Layout.Password = QStringLiteral("molgat") + QString::number(Version);
    Layout.SelItemTables = Version <= 6;
    Layout.RankList = Version >= 7;
    if (Version >= 7) {
        Layout.RecvHisFields = Split("RecvDateTime RecvWeek SchTel Tel CorpKana CorpKanji NameKana NameKanji Division "
                                     "Rank SelItem1 SelItem2 SelItem3");
        Layout.MeiboFields =
            Split("SchTel1 SchTel2 Tel1 Tel2 Pos Tdfkn Adrs1 Adrs2 JisCode KajoCode CorpKana CorpKanji "
                  "NameKana NameKanji PrivCorp Memo1 Memo2 Memo3 EMail Rank Latitude Longitude");
        if (Version == 15)
            Layout.MeiboFields += Split("Msg Msg1 Msg2 BGColor ExtFile Note");
        return Layout;
    }
    if (Version >= 4) {
        Layout.RecvHisFields =
            Split("RecvDateTime SchTel Tel NameKana NameKanji Division Rank SelItem1 SelItem2 SelItem3");
        if (Version == 6)
            Layout.RecvHisFields.insert(1, QStringLiteral("RecvWeek"));
        Layout.SelItemField = QStringLiteral("Name");
        Layout.SelItemOrder = QStringLiteral("AxsDateTime");
    } else {
        Layout.RecvHisFields = Split("DATE TIME TEL NAME DIVISION RANK SELITEM1 SELITEM2 SELITEM3");
        if (Version == 1)
            Layout.RecvHisFields.removeAll(QStringLiteral("NAME"));
        Layout.SelItemField = Version == 1 ? QStringLiteral("SELITEM") : QStringLiteral("NAME");
        Layout.SelItemOrder = Version == 3   ? QStringLiteral("AXS_DATETIME")
                              : Version == 2 ? QStringLiteral("AXS")
                                             : QString();
    }
    switch (Version) {
    case 6:
        Layout.MeiboFields =
            Split("SchTel1 SchTel2 Tel1 Tel2 Pos Tdfkn Adrs1 Adrs2 JisCode KajoCode NameKana NameKanji "
                  "PrivCorp Memo1 Memo2 EMail Rank Latitude Longitude");
        Layout.MeiboIndexes = Split("SchTel1 SchTel2");
        break;
    case 5:
    case 4:
        Layout.MeiboFields = Split("SchTel Tel PostCode Tdfkn Adrs1 Adrs2 JisCode KajoCode NameKana NameKanji PrivCorp "
                                   "Memo1 Memo2 Rank Latitude Longitude");
        Layout.MeiboIndexes = Split("SchTel");
        break;
    case 3:
        Layout.MeiboFields =
            Split("TEL1 TEL2 POS ADRS_JIS ADRS_REST JISCD KAJOCD KANA KANJI PRIVCORP MEMO RANK LAT LON");
        Layout.MeiboIndexes = Split("TEL1");
        break;
    case 2:
        Layout.MeiboFields = Split("TEL1 TEL2 ADRS_JIS ADRS_REST JISCD KANA KANJI MEMO RANK");
        break;
    default:
        Layout.MeiboFields = Split("TEL1 TEL2 ADRS_JIS ADRS_REST KANA KANJI MEMO RANK");
        break;
    }
    return Layout;
}

const std::array<TOlderLayout, LastOlderVersion>& Layouts()
{
    static const std::array<TOlderLayout, LastOlderVersion> All = [] {
        std::array<TOlderLayout, LastOlderVersion> Made;
        for (int Version = FirstOlderVersion; Version <= LastOlderVersion; ++Version)
            Made[static_cast<size_t>(Version - 1)] = MakeLayout(Version);
        return Made;
    }();
    return All;
}

} // namespace

QString OlderProductName(int Version)
{
    static const QString Digits = QStringLiteral("０１２３４５６７８９");
    QString Name = QStringLiteral("Tolvane");
    for (const QChar C : QString::number(Version))
        Name += Digits[C.digitValue()];
    return Name;
}

const TOlderLayout& OlderLayout(int Version)
{
    return Layouts().at(static_cast<size_t>(qBound(FirstOlderVersion, Version, LastOlderVersion) - 1));
}

TDMVxRelvoOlder::TDMVxRelvoOlder(int Version) : FVersion(Version)
{
    if (!OlderLayout(FVersion).Password.isEmpty())
        DefaultSession().AddPassword(OlderLayout(FVersion).Password);
}

TDMVxRelvoOlder::~TDMVxRelvoOlder()
{
    CloseRecvHisTable();
    CloseMeiboTable();
    for (int I = 0; I < 3; ++I) {
        CloseSelItemTable(I);
        CloseSelItemList(I);
    }
    CloseRankList();
    if (!OlderLayout(FVersion).Password.isEmpty())
        DefaultSession().RemovePassword(OlderLayout(FVersion).Password);
}

void TDMVxRelvoOlder::Refuse(const QString& Text) const
{
    (void)CoreMessageBox(Text, ProductName(), MB_OK | MB_ICONSTOP);
}

bool TDMVxRelvoOlder::OpenTable(std::unique_ptr<TParadoxTable>& Table, const QString& Folder, const QString& FileName,
                                const QStringList& Fields, const QStringList& Indexes, const QString& FailText)
{
    const QString Path = IncludeTrailingDelimiter(Folder) + FileName;
    if (!QFileInfo(Path).isFile())
        return false;
    Table = std::make_unique<TParadoxTable>();
    Table->SetDatabaseName(IncludeTrailingDelimiter(Folder));
    Table->SetTableName(FileName);
    Table->SetExclusive(true);
    try {
        Table->Open();
        // A table without a field the conversion reads is not this version's table.
        for (const QString& Field : Fields)
            if (!Table->FindField(Field))
                throw EParadoxError(Table->FileName() + QStringLiteral(": no field ") + Field);
        for (const QString& Index : Indexes)
            Table->AddIndex(Index, Index);
    } catch (const EParadoxError&) {
        Table->Close();
        Refuse(FailText);
        return false;
    }
    return true;
}

bool TDMVxRelvoOlder::OpenRecvHisTable(const QString& Folder)
{
    return OpenTable(SourceRecvHisTable, Folder, QStringLiteral("RecvHis.DB"), OlderLayout(FVersion).RecvHisFields, {},
                     OlderRecvHisOpenError);
}

bool TDMVxRelvoOlder::OpenMeiboTable(const QString& Folder)
{
    const TOlderLayout& Layout = OlderLayout(FVersion);
    return OpenTable(SourceMeiboTable, Folder, QStringLiteral("Meibo.DB"), Layout.MeiboFields, Layout.MeiboIndexes,
                     OlderMeiboOpenError);
}

bool TDMVxRelvoOlder::OpenSelItemTable(int Index, const QString& Folder)
{
    const TOlderLayout& Layout = OlderLayout(FVersion);
    if (!Layout.SelItemTables || Index < 0 || Index > 2)
        return false;
    QStringList Fields{Layout.SelItemField};
    if (!Layout.SelItemOrder.isEmpty())
        Fields.append(Layout.SelItemOrder);
    return OpenTable(SourceSelItemTables[static_cast<size_t>(Index)], Folder,
                     QStringLiteral("SelItem%1.DB").arg(Index + 1), Fields, {}, OlderSelItemOpenError);
}

bool TDMVxRelvoOlder::OpenList(std::unique_ptr<THistoryData>& List, const QString& Folder, const QString& FileName,
                               int ItemBytes, const QString& FailText)
{
    const QString Path = IncludeTrailingDelimiter(Folder) + FileName;
    if (!QFileInfo::exists(Path))
        return false;
    List = std::make_unique<THistoryData>(Path, true, ItemBytes);
    if (List->Load())
        return true;
    Refuse(FailText);
    return false;
}

bool TDMVxRelvoOlder::OpenSelItemList(int Index, const QString& Folder)
{
    if (OlderLayout(FVersion).SelItemTables || Index < 0 || Index > 2)
        return false;
    return OpenList(SourceSelItemLists[static_cast<size_t>(Index)], Folder,
                    QStringLiteral("SelItem%1.mtd").arg(Index + 1), 30, OlderSelItemOpenError);
}

bool TDMVxRelvoOlder::OpenRankList(const QString& Folder)
{
    if (!OlderLayout(FVersion).RankList)
        return false;
    return OpenList(SourceRankList, Folder, QStringLiteral("Rank.mtd"), 20, OlderRankOpenError);
}

void TDMVxRelvoOlder::CloseRecvHisTable()
{
    SourceRecvHisTable.reset();
}

void TDMVxRelvoOlder::CloseMeiboTable()
{
    SourceMeiboTable.reset();
}

void TDMVxRelvoOlder::CloseSelItemTable(int Index)
{
    if (Index >= 0 && Index <= 2)
        SourceSelItemTables[static_cast<size_t>(Index)].reset();
}

void TDMVxRelvoOlder::CloseSelItemList(int Index)
{
    if (Index >= 0 && Index <= 2 && SourceSelItemLists[static_cast<size_t>(Index)]) {
        SourceSelItemLists[static_cast<size_t>(Index)]->FreeItems();
        SourceSelItemLists[static_cast<size_t>(Index)].reset();
    }
}

void TDMVxRelvoOlder::CloseRankList()
{
    if (SourceRankList) {
        SourceRankList->FreeItems();
        SourceRankList.reset();
    }
}

} // namespace Utility
