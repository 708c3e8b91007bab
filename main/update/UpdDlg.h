#pragma once

#include "main/update/UpdInfo.h"

#include <QObject>
#include <functional>
#include <memory>

class QNetworkAccessManager;

// The state of one update check: fetch the server's answer, decide which files are newer, download
// them and the updater into the update folder, hand over and start the updater. Never shown; the
// callers ask the user between HasNewerFiles and DownloadUpdateFiles. Every network call blocks the
// UI thread in a local event loop until it has finished.
class TUpdateDialog : public QObject
{
    Q_OBJECT
public:
    // ProgramPath and SettingsPath with their trailing "/".
    TUpdateDialog(QObject* Owner, const TUpdateParameters& Parameters, const QString& ProgramPath,
                  const QString& SettingsPath);
    ~TUpdateDialog() override;

    [[nodiscard]] bool CheckInternetAvailable();
    [[nodiscard]] bool FetchUpdateInfo();
    [[nodiscard]] bool HasNewerFiles();
    [[nodiscard]] bool DownloadUpdateFiles();
    // 0 started (and, without a restart, ended); 1 any failure; 9 the user declined (no such prompt here).
    [[nodiscard]] int RunUpdater();
    void CloseInternet();

    [[nodiscard]] QString GetUpdateFolder() const { return UpdateFolder; }

    bool Connected = false;
    int ErrorCode = 0;
    QString ErrorText;
    bool RestartNeeded = false;
    QString DownloadPath;
    QList<TUpdateFileInfo> UpdateFiles;

    // The executable's file name for the updater, and the version of a local file (its path given);
    // tests replace them. On this system only the program itself carries a version.
    QString ExeName;
    std::function<TFileVersion(const QString&)> FileVersionOf;
    // How long one request may stall before it counts as timed out.
    int TransferTimeoutMs = 30000;

private:
    struct TResponse
    {
        int Error = 0; // 0, or the result code of a connection failure
        int Status = 0;
        QByteArray Body;
    };
    TResponse Get(const QString& Object);
    [[nodiscard]] bool Download(const QString& Object, const QString& Target, std::optional<qint32> ExpectedSize);

    TUpdateParameters Parameters;
    QString ProgramPath;
    QString UpdateFolder;
    std::unique_ptr<QNetworkAccessManager> Internet;
};
