#pragma once

#include "main/update/UpdInfo.h"
#include "main/update/UpdSign.h"

#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class QNetworkAccessManager;

// The state of one update check: fetch the server's answer, decide which files are newer, download
// them and the updater into the update folder, hand over and start the updater. Never shown; the
// callers ask the user between HasNewerFiles and DownloadUpdateFiles. Every network call blocks the
// UI thread in a local event loop until it has finished.
//
// Every request goes over HTTPS to the one update host, whose certificate must be valid for that name
// and vouched for by the system's authorities (or Trust's); a redirect never leaves the host. Every
// downloaded file must carry the maker's signature (Trust.PublicKey) before it is kept, made
// executable or handed to the updater.
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
    // False with DownloadFailure saying why; then nothing of this download is left in the update folder.
    [[nodiscard]] bool DownloadUpdateFiles();
    // 0 started (and, without a restart, ended); 1 any failure; 9 the user declined (no such prompt here).
    [[nodiscard]] int RunUpdater();
    void CloseInternet();

    [[nodiscard]] QString GetUpdateFolder() const { return UpdateFolder; }
    // The update host as the prompt names it: the host name, with its port when it has one.
    [[nodiscard]] QString HostName() const;
    // The bytes the files to update announce, together.
    [[nodiscard]] qint64 AnnouncedBytes() const;

    bool Connected = false;
    int ErrorCode = 0;
    QString ErrorText;
    bool RestartNeeded = false;
    QString DownloadPath;
    QList<TUpdateFileInfo> UpdateFiles;

    enum class TDownloadFailure
    {
        None,
        Transfer,    // a file could not be fetched or written
        Insecure,    // the server could not prove it is the update host, or sent the program elsewhere
        NotVerified, // a file or its signature was not the maker's (or no key was built in)
        TooLarge,    // the files announce more than MaxUpdateTotalBytes together
        NoRoom       // the disk of the update folder has less room than the files announce
    };
    TDownloadFailure DownloadFailure = TDownloadFailure::None;
    qint64 FreeBytes = 0; // with NoRoom: the room there was

    // The executable's file name for the updater, and the version of a local file (its path given;
    // std::nullopt when the file carries none); tests replace them.
    QString ExeName;
    std::function<std::optional<TFileVersion>(const QString&)> FileVersionOf;
    // The room for a user on the disk that holds a folder (which may not exist yet); tests replace it.
    std::function<qint64(const QString&)> FreeSpaceOf;
    // The maker's key and the authorities of the update server's certificate.
    TUpdateTrust Trust = UpdateTrust();
    // How long the check, and each download, may take as a whole before it is given up as timed out.
    int DeadlineMs = 30000;

private:
    struct TResponse
    {
        int Error = 0; // 0, or the result code of a connection failure
        int Status = 0;
        bool TooLong = false;    // the body went on past the limit; reading stopped one byte beyond it
        bool SinkFailed = false; // the receiver of the body gave up (a download that could not be written)
        bool Insecure = false;   // no certificate valid for the host, or a redirect away from it
    };
    // Fetches Object and hands its body in pieces to Sink (which answers false to give up), up to Limit
    // bytes and one more, within DeadlineMs.
    TResponse Get(const QString& Object, qint64 Limit, const std::function<bool(const QByteArray&)>& Sink);
    // Fetches the signature of Object, then Object into Target + ".part", and moves it to Target only
    // when the signature verifies; answers the signature, empty on failure (DownloadFailure set).
    [[nodiscard]] QByteArray Download(const QString& Object, const QString& Target, qint64 Size, bool ExactSize);
    [[nodiscard]] bool Fail(TDownloadFailure Failure);

    TUpdateParameters Parameters;
    QString ProgramPath;
    QString UpdateFolder;
    std::unique_ptr<QNetworkAccessManager> Internet;
    // What this download put into the update folder, removed again when it fails.
    QStringList Kept;
    // The updater's signature, checked once more right before it is started.
    QByteArray UpdaterSignature;
};

// The most all files of one update may announce together, and so the most one update writes.
inline constexpr qint64 MaxUpdateTotalBytes = qint64(200) * 1024 * 1024;
