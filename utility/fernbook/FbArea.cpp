#include "utility/fernbook/FbArea.h"

#include "main/common/ProductInfo.h"
#include "main/identify/FbEditions.h"
#include "main/tables/AdrsTableDef.h"
#include "main/tables/HisInfo.h"
#include "platform/db/Table.h"
#include "platform/msg/CoreMessage.h"
#include "platform/msg/MessageBoxFlags.h"
#include "platform/sys/Folders.h"

#include <QDir>

namespace Utility {

QString KeywordPath;

namespace {

const QString AdrsOpenError = QStringLiteral("アドレス帳ファイルがオープンできませんでした  ");
const QString KeywordOpenError = QStringLiteral("キーワードファイルがオープンできませんでした  ");

} // namespace

TDMFbarea::TDMFbarea(int Edition) : FEdition(Edition == 1 ? 1 : 0), FPassword(AdrsPassword(FEdition))
{
    // The engine keeps no shared control folder and holds no connection of its own: the password
    // is all the session needs to reach the book.
    DefaultSession().AddPassword(FPassword);
}

TDMFbarea::~TDMFbarea()
{
    FAdrsOpenCount = 0;
    FAdrsTable.reset();
    FreeKeywords();
    DefaultSession().RemovePassword(FPassword);
}

void TDMFbarea::PrepareKeywords()
{
    try {
        for (int I = 0; I < KeywordListCount; ++I)
            FKeywords[static_cast<size_t>(I)] = std::make_unique<THistoryData>(
                KeywordPath + QStringLiteral("Keyword%1.mtd").arg(I + 1), true, KeywordItemBytes);
    } catch (const std::exception&) {
        FreeKeywords();
    }
}

bool TDMFbarea::OpenKeywords()
{
    bool Ok = true;
    try {
        for (const auto& List : FKeywords)
            if (!List || !List->Load())
                Ok = false;
    } catch (const std::exception&) {
        Ok = false;
    }
    if (!Ok) {
        (void)CoreMessageBox(KeywordOpenError, ProductName, MB_OK | MB_ICONERROR);
        CloseKeywords();
    }
    return Ok;
}

void TDMFbarea::CloseKeywords()
{
    for (const auto& List : FKeywords)
        if (List && List->Items())
            List->FreeItems();
}

void TDMFbarea::FreeKeywords()
{
    CloseKeywords();
    for (auto& List : FKeywords)
        List.reset();
}

void TDMFbarea::PrepareAdrsTable(const QString& BookFolder)
{
    FAdrsTable = std::make_unique<TTable>(DefaultSession());
    FAdrsTable->SetDatabaseName(IncludeTrailingDelimiter(BookFolder));
    FAdrsTable->SetTableName(AdrsFileName);
    FAdrsTable->SetExclusive(false);
}

bool TDMFbarea::OpenAdrsTable()
{
    ++FAdrsOpenCount;
    if (FAdrsTable && FAdrsTable->Active())
        return true;
    try {
        if (!FAdrsTable || !CreateAdrsTable())
            throw std::runtime_error("no table");
        FAdrsTable->SetIndexName({});
        FAdrsTable->Open();
        return true;
    } catch (const std::exception&) {
        (void)CoreMessageBox(AdrsOpenError, ProductName, MB_OK | MB_ICONERROR);
        return false;
    }
}

void TDMFbarea::CloseAdrsTable()
{
    if (FAdrsOpenCount <= 0)
        return;
    if (--FAdrsOpenCount == 0 && FAdrsTable && FAdrsTable->Active())
        FAdrsTable->Close();
}

bool TDMFbarea::CreateAdrsTable()
{
    if (!FAdrsTable)
        return false;
    // A book the product made may spell its table file otherwise; it is opened under its real name
    // and never gets a second table beside it.
    const QString Existing = FindAdrsTableFile(FAdrsTable->DatabaseName());
    if (!Existing.isEmpty()) {
        FAdrsTable->SetTableName(Existing);
        return true;
    }
    try {
        FAdrsTable->SetTableName(AdrsFileName);
        // Created with its password in one step, so no unprotected table ever stands on disk.
        FAdrsTable->CreateTable(AdrsTableDef(), FPassword);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace Utility
