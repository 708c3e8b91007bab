#pragma once

#include <QString>
#include <functional>

// The encrypted half of an export run: a private working folder for the plain text beside the chosen
// program file, and the build of the self-restoring file through the encryption library.

// A fresh folder "Encrypt.Tmp.XXXXXX" (mode 0700) in Root, a folder of the program's own (the folder
// of the chosen program file when none is given). A folder that was there before is never used or
// touched; this one goes, with everything in it, when the object goes, whichever way the export
// ends, and a kill's leftover at the next start (RemoveStaleEncryptWorkFolders).
class TEncryptWorkFolder
{
public:
    TEncryptWorkFolder() = default;
    ~TEncryptWorkFolder();
    TEncryptWorkFolder(const TEncryptWorkFolder&) = delete;
    TEncryptWorkFolder& operator=(const TEncryptWorkFolder&) = delete;

    // False when the folder could not be made (errno tells why).
    [[nodiscard]] bool Make(const QString& ExePath, const QString& Root = {});
    // Where the text is written: the chosen name with ".txt", inside the working folder.
    [[nodiscard]] const QString& TextPath() const { return FTextPath; }
    [[nodiscard]] const QString& Folder() const { return FFolder; }
    void Remove();

private:
    QString FFolder;
    QString FTextPath;
};

// Removes the working folders in Root that an export killed before its end left behind: "Encrypt.Tmp."
// and six characters, the user's own, made before this process started.
void RemoveStaleEncryptWorkFolders(const QString& Root);

// Messages of the build, each to be shown with the stop icon over the list window.
using TExportShowError = std::function<void(const QString& Text)>;

inline const QString MsgEncryptDiskFull = QStringLiteral("空き容量が足りなかったため出力できませんでした  ");
[[nodiscard]] QString EncryptFailedText(int Result);
[[nodiscard]] QString ExeNotWrittenText(const QString& ExePath);
inline const QString MsgEncryptFolderNotMade =
    QStringLiteral("暗号化出力のための作業フォルダーが作成できませんでした  \r\n"
                   "出力先のフォルダーに書き込めるか確認してください  ");

// Packs the text at TextPath into a self-restoring program through the library (loaded from the
// program folder, called with Window, unloaded again whatever happened) and puts it at ExePath: under
// a temporary name in that folder first, then renamed into place with mode 0755. Answers true only
// when the program stands at ExePath; every failure has been shown through ShowError.
[[nodiscard]] bool BuildSelfRestoringFile(const QString& Password, const QString& TextPath, const QString& ExePath,
                                          void* Window, const TExportShowError& ShowError);

// A test seam: the next copies of the built program to its place fail as a full disk would.
void FailExeInstallForTests(bool Fail);
