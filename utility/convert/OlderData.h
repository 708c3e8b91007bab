#pragma once

#include "platform/db/ParadoxTable.h"

#include <QString>
#include <QStringList>
#include <array>
#include <memory>

class THistoryData;

// Reading the stores of the fifteen earlier versions of the product: their call history and
// directory (Paradox tables), their select items (Paradox tables up to version 6, pick-list files
// from version 7 on) and their rank list (from version 7 on). One class serves every version; the
// version picks the password, the product name of the messages, the kinds of store and the fields
// each table must hold.
namespace Utility {

inline constexpr int FirstOlderVersion = 1;
inline constexpr int LastOlderVersion = 15;

// "Tolvane１" .. "Tolvane１５", by version.
[[nodiscard]] QString OlderProductName(int Version);

// What one earlier version keeps and how.
struct TOlderLayout
{
    QString Password;           // empty: the version protected nothing
    QStringList RecvHisFields;  // the fields a conversion reads from RecvHis.DB
    QStringList MeiboFields;    // ... and from Meibo.DB
    QStringList MeiboIndexes;   // fields the conversion looks rows up by; each index is named as its field
    QString SelItemField;       // the value field of SelItem1.DB .. SelItem3.DB (versions 1 to 6)
    QString SelItemOrder;       // the field of the index the values are read in (empty: the file's order)
    bool SelItemTables = false; // select items in Paradox tables rather than pick-list files
    bool RankList = false;
};
[[nodiscard]] const TOlderLayout& OlderLayout(int Version);

inline const QString OlderRecvHisOpenError = QStringLiteral("着信対応履歴ファイルがオープンできませんでした");
inline const QString OlderMeiboOpenError = QStringLiteral("登録名簿ファイルがオープンできませんでした");
inline const QString OlderSelItemOpenError = QStringLiteral("選択項目ファイルがオープンできませんでした");
inline const QString OlderRankOpenError = QStringLiteral("ランクファイルがオープンできませんでした");

// The data module of one earlier version, for one conversion: its creation puts the version's
// password into the session and its end takes it out again. Every open takes the source folder
// (with or without its trailing "/") and answers whether the store is open: false without a word
// for a missing file, false after a stop box captioned with the version's product name for one that
// does not open. Tables open exclusively and are only read. What a failed open made stays until its
// close or the module's end.
class TDMVxRelvoOlder
{
public:
    explicit TDMVxRelvoOlder(int Version);
    ~TDMVxRelvoOlder();
    TDMVxRelvoOlder(const TDMVxRelvoOlder&) = delete;
    TDMVxRelvoOlder& operator=(const TDMVxRelvoOlder&) = delete;

    [[nodiscard]] int Version() const { return FVersion; }
    [[nodiscard]] QString ProductName() const { return OlderProductName(FVersion); }

    bool OpenRecvHisTable(const QString& Folder);
    bool OpenMeiboTable(const QString& Folder);
    // Versions 1 to 6.
    bool OpenSelItemTable(int Index, const QString& Folder);
    // Versions 7 to 15.
    bool OpenSelItemList(int Index, const QString& Folder);
    bool OpenRankList(const QString& Folder);

    void CloseRecvHisTable();
    void CloseMeiboTable();
    void CloseSelItemTable(int Index);
    void CloseSelItemList(int Index);
    void CloseRankList();

    std::unique_ptr<TParadoxTable> SourceRecvHisTable;
    std::unique_ptr<TParadoxTable> SourceMeiboTable;
    std::array<std::unique_ptr<TParadoxTable>, 3> SourceSelItemTables;
    std::array<std::unique_ptr<THistoryData>, 3> SourceSelItemLists;
    std::unique_ptr<THistoryData> SourceRankList;

private:
    bool OpenTable(std::unique_ptr<TParadoxTable>& Table, const QString& Folder, const QString& FileName,
                   const QStringList& Fields, const QStringList& Indexes, const QString& FailText);
    bool OpenList(std::unique_ptr<THistoryData>& List, const QString& Folder, const QString& FileName, int ItemBytes,
                  const QString& FailText);
    void Refuse(const QString& Text) const;

    int FVersion;
};

} // namespace Utility
