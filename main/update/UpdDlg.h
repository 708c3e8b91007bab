#pragma once

#include "main/update/UpdInfo.h"

#include <QObject>
#include <functional>
#include <memory>
#include <optional>

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

    // The executable's file name for the updater, and the version of a local file (its path given;
    // std::nullopt when the file carries none); tests replace them.
    QString ExeName;
    std::function<std::optional<TFileVersion>(const QString&)> FileVersionOf;
    // How long the check, and each download, may take as a whole before it is given up as timed out.
    int DeadlineMs = 30000;

private:
    struct TResponse
    {
        int Error = 0; // 0, or the result code of a connection failure
        int Status = 0;
        bool TooLong = false;    // the body went on past the limit; reading stopped one byte beyond it
        bool SinkFailed = false; // the receiver of the body gave up (a download that could not be written)
    };
    // Fetches Object and hands its body in pieces to Sink (which answers false to give up), up to Limit
    // bytes and one more, within DeadlineMs.
    TResponse Get(const QString& Object, qint64 Limit, const std::function<bool(const QByteArray&)>& Sink);
    [[nodiscard]] bool Download(const QString& Object, const QString& Target, qint64 Size, bool ExactSize);

    TUpdateParameters Parameters;
    QString ProgramPath;
    QString UpdateFolder;
    std::unique_ptr<QNetworkAccessManager> Internet;
};
