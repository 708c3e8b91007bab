#pragma once

#include "main/settings/Settings.h"
#include "main/tables/DBInfo.h"
#include "platform/ini/IniFile.h"
#include "platform/msg/CoreMessage.h"
#include "platform/ui/MessageBox.h"
#include "utility/start/UtilFolders.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

// The utility's folders in a temporary world of one test: a program folder, a settings folder under
// its own XDG_DATA_HOME (with VxRelvo16.ini naming the data folder), a data folder and a runtime
// folder for the programs' locks. The core message box goes to the scripted boxes.
class TUtilityWorld
{
public:
    TUtilityWorld()
    {
        SavedHome = qgetenv("XDG_DATA_HOME");
        SavedRuntime = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_DATA_HOME", QFile::encodeName(Path(QStringLiteral("home"))));
        QDir().mkpath(Path(QStringLiteral("run")));
        QFile::setPermissions(Path(QStringLiteral("run")),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(Path(QStringLiteral("run"))));
        ProgramPath = Path(QStringLiteral("prog/"));
        SettingsPath = Path(QStringLiteral("home/Pelmar/VxRelvo16/"));
        QDir().mkpath(ProgramPath);
        QDir().mkpath(SettingsPath);
        QDir().mkpath(Data());
        Utility::DataPath = Data();
        TMemIniFile Ini(SettingsFileName());
        Ini.WriteString(QStringLiteral("COMMON"), QStringLiteral("DataPath"), Data());
        (void)Ini.UpdateFile();
        SetCoreMessageBox([](const QString& Text, const QString& Caption, unsigned Flags) {
            return ShowMessageBox(nullptr, Text, Caption, Flags);
        });
    }
    ~TUtilityWorld()
    {
        SetCoreMessageBox({});
        qputenv("XDG_DATA_HOME", SavedHome);
        qputenv("XDG_RUNTIME_DIR", SavedRuntime);
    }
    TUtilityWorld(const TUtilityWorld&) = delete;
    TUtilityWorld& operator=(const TUtilityWorld&) = delete;

    [[nodiscard]] QString Path(const QString& Name) const { return Root.filePath(Name); }
    [[nodiscard]] QString Data() const { return Root.path() + QStringLiteral("/data/"); }

    // Makes the table in the data folder with rows numbered by RecNos (the other fields blank but a name).
    void MakeTable(TDataTable Which, const QList<int>& RecNos) const
    {
        TDMVxRelvo16 Module(Data(), ProgramPath);
        Which == TDataTable::RecvHis ? Module.CreateRecvHisTable() : Module.CreateMeiboTable();
        {
            TTableUse Use(Module, Which);
            TTable& Table = *(Which == TDataTable::RecvHis ? RecvHisTable : MeiboTable);
            TTableTransaction Transaction(Table);
            for (int RecNo : RecNos) {
                Table.Append();
                Table.FieldByName(QStringLiteral("RecNo")).SetAsInteger(RecNo);
                Table.FieldByName(QStringLiteral("CorpKanji")).SetAsString(QStringLiteral("会社%1").arg(RecNo));
                Table.Post();
            }
            Transaction.Commit();
        }
    }

    [[nodiscard]] static QByteArray Bytes(const QString& File)
    {
        QFile In(File);
        return In.open(QIODevice::ReadOnly) ? In.readAll() : QByteArray("<missing>");
    }

private:
    QTemporaryDir Root;
    QByteArray SavedHome;
    QByteArray SavedRuntime;
};
