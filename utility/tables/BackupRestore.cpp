#include "utility/tables/BackupRestore.h"

#include "main/settings/Settings.h"
#include "main/tables/DBInfo.h"
#include "platform/ini/IniFile.h"
#include "platform/sys/Folders.h"
#include "transfer/common/TelRules.h"
#include "utility/tables/TableSafety.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

namespace Utility {

TFileCopier WizardFileCopier = CopyOneTableFile;

namespace {

const QString HisTemplate = QStringLiteral("一覧表カスタムテンプレートファイル（履歴）");
const QString MeiboTemplate = QStringLiteral("一覧表カスタムテンプレートファイル（名簿）");

QStringList AllLists()
{
    return RecvHisFileList + MeiboFileList + RankFileList + SelItemFileList + TemplateFileList;
}

} // namespace

QString ResultMark(int Code)
{
    return Code == CopyTableFilesDone ? QStringLiteral("○") : QStringLiteral("×");
}

QString ResultReason(int Code)
{
    if (Code == CopyTableFilesFailed)
        return QStringLiteral("コピー失敗");
    if (Code == CopyTableFilesNoFolder)
        return QStringLiteral("フォルダーの作成に失敗");
    return {};
}

QString DefaultBackupFolder(const QString& DataFolder)
{
    return IncludeTrailingDelimiter(DataFolder) + TelRulesNow().toString(QStringLiteral("yyyyMMdd HHmmss")) + u'/';
}

QString FormatKB(std::int64_t Bytes)
{
    const std::int64_t KB = Bytes <= 0 ? 0 : (Bytes + 1023) / 1024;
    return QLocale(QLocale::Japanese, QLocale::Japan).toString(static_cast<qlonglong>(KB)) + u' ';
}

QList<TResultRow> CopyBackupGroups(const QString& Source, const QString& Dest)
{
    QList<TResultRow> Rows;
    Rows.append(
        {QStringLiteral("着信対応履歴ファイル"), CopyTableFiles(Source, Dest, RecvHisFileList, WizardFileCopier)});
    Rows.append({QStringLiteral("登録名簿ファイル"), CopyTableFiles(Source, Dest, MeiboFileList, WizardFileCopier)});
    Rows.append({QStringLiteral("ランクファイル"), CopyTableFiles(Source, Dest, RankFileList, WizardFileCopier)});
    Rows.append({QStringLiteral("選択項目ファイル"), CopyTableFiles(Source, Dest, SelItemFileList, WizardFileCopier)});
    if (!CreateOwnerOnlyFolder(Dest)) {
        Rows.append({QStringLiteral("一覧表カスタムテンプレートファイル"), CopyTableFilesNoFolder});
        return Rows;
    }
    QList<TResultRow> Templates;
    bool Failed = false;
    for (int I = 0; I < TemplateFileList.size() && !Failed; ++I) {
        const QString& Name = TemplateFileList[I];
        if (!QFileInfo(Source + Name).isFile())
            continue;
        QFile::remove(Dest + Name);
        Failed = !WizardFileCopier(Source + Name, Dest + Name);
        if (!Failed)
            Templates.append({I == 0 ? HisTemplate : MeiboTemplate, CopyTableFilesDone});
    }
    if (Failed) {
        // The templates go together or not at all.
        Templates.clear();
        for (int I = 0; I < TemplateFileList.size(); ++I)
            if (QFile::remove(Dest + TemplateFileList[I]) || QFileInfo(Source + TemplateFileList[I]).isFile())
                Templates.append({I == 0 ? HisTemplate : MeiboTemplate, CopyTableFilesFailed});
    }
    return Rows + Templates;
}

TRestoreMeasure MeasureRestore(const QString& Source, const QString& Dest)
{
    TRestoreMeasure Measure;
    Measure.ClusterSize = GetClusterSize(Dest);
    Measure.RecvHisSize = GetFilesSize(RecvHisFileList, Source, Measure.ClusterSize);
    Measure.MeiboSize = GetFilesSize(MeiboFileList, Source, Measure.ClusterSize);
    Measure.NeededSize = GetFilesSize(AllLists(), Source, Measure.ClusterSize);
    Measure.FreeSpace = GetDriveFreeSpace(Dest);
    return Measure;
}

QList<TResultRow> CopyRestoreGroups(const QString& Source, const QString& Dest, const TRestoreMeasure& Measure)
{
    QList<TResultRow> Rows;
    if (Measure.RecvHisSize > 0)
        Rows.append(
            {QStringLiteral("着信対応履歴ファイル"), CopyTableFiles(Source, Dest, RecvHisFileList, WizardFileCopier)});
    if (Measure.MeiboSize > 0)
        Rows.append(
            {QStringLiteral("登録名簿ファイル"), CopyTableFiles(Source, Dest, MeiboFileList, WizardFileCopier)});
    const QList<std::pair<QString, QString>> Singles{
        {QStringLiteral("Rank.mtd"), QStringLiteral("ランクファイル")},
        {QStringLiteral("SelItem1.mtd"), QStringLiteral("選択項目1ファイル")},
        {QStringLiteral("SelItem2.mtd"), QStringLiteral("選択項目2ファイル")},
        {QStringLiteral("SelItem3.mtd"), QStringLiteral("選択項目3ファイル")},
        {QStringLiteral("LPRHis.tpl"), HisTemplate},
        {QStringLiteral("LPAMeibo.tpl"), MeiboTemplate},
    };
    for (const auto& [File, Title] : Singles) {
        if (!QFileInfo(Source + File).isFile())
            continue;
        // The file is written beside its place and renamed over it, so a failed copy keeps the old one.
        const QString Temporary = Dest + QStringLiteral(".") + File + QStringLiteral(".restoring");
        QFile::remove(Temporary);
        const bool Copied =
            WizardFileCopier(Source + File, Temporary) &&
            std::rename(QFile::encodeName(Temporary).constData(), QFile::encodeName(Dest + File).constData()) == 0;
        QFile::remove(Temporary);
        Rows.append({Title, Copied ? CopyTableFilesDone : CopyTableFilesFailed});
    }
    return Rows;
}

bool WriteDataPath(const QString& Folder)
{
    TMemIniFile Ini(SettingsFileName());
    Ini.WriteString(QStringLiteral("COMMON"), QStringLiteral("DataPath"), IncludeTrailingDelimiter(Folder));
    return Ini.UpdateFile();
}

void SeedRankList(const QString& Folder)
{
    if (QFileInfo::exists(IncludeTrailingDelimiter(Folder) + QStringLiteral("Rank.mtd")))
        return;
    // The data module's rank list starts a new folder with the shipped list.
    TDMVxRelvo16 Module(Folder, ProgramPath, TModuleReach::Private);
    try {
        Module.CreateRankHistory();
    } catch (const Exception&) {
    }
    Module.FreeRankHistory();
}

} // namespace Utility
