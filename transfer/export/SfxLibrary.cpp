#include "transfer/export/SfxLibrary.h"

#include "main/common/ProductInfo.h"
#include "platform/dynlib/DynLib.h"
#include "platform/msg/CoreMessage.h"
#include "platform/sys/Folders.h"

#include <QFile>
#include <QFileInfo>
#include <cstring>

namespace {

struct TSfxState
{
    TDynLib Library;
    TVtxCreateSFX Create = nullptr;
    int UseCount = 0;
    QString TestFolder;
};

TSfxState& State()
{
    static TSfxState Instance;
    return Instance;
}

void Report(const std::function<void(const QString&)>& ShowError, const QString& Text)
{
    if (ShowError)
        ShowError(Text);
    else
        (void)CoreMessageBox(Text, ProductName, MB_OK | MB_ICONSTOP);
}

// Copies Bytes into Field with room for its terminator; false when they do not fit.
template <std::size_t N> bool PutField(char (&Field)[N], const QByteArray& Bytes)
{
    if (Bytes.size() >= static_cast<qsizetype>(N) || Bytes.contains('\0'))
        return false;
    std::memcpy(Field, Bytes.constData(), static_cast<std::size_t>(Bytes.size()));
    return true;
}

QString BindErrorText(const char* Name)
{
    return QString::fromLatin1(Name) + QStringLiteral(" (") + SfxLibraryFileName +
           QStringLiteral(") GetProcAddress Error\r\n関数の割り当てに失敗しました");
}

} // namespace

TSfxFieldFault MakeSfxCall(const QString& Password, const QString& TextPath, TSfxSettings& Settings,
                           TSfxFileName& FileName)
{
    std::memset(&Settings, 0, sizeof Settings);
    std::memset(&FileName, 0, sizeof FileName);
    Settings.Flag = 1;
    const QFileInfo Info(TextPath);
    if (!PutField(Settings.Password, Password.toUtf8()))
        return TSfxFieldFault::Password;
    if (!PutField(Settings.Folder, QFile::encodeName(IncludeTrailingDelimiter(Info.absolutePath()))))
        return TSfxFieldFault::Folder;
    if (!PutField(FileName.Name, QFile::encodeName(Info.fileName())))
        return TSfxFieldFault::FileName;
    return TSfxFieldFault::None;
}

QString SfxFieldFaultText(TSfxFieldFault Fault)
{
    switch (Fault) {
    case TSfxFieldFault::Password:
        return QStringLiteral("パスワードが長すぎるため暗号化出力できません  ");
    case TSfxFieldFault::Folder:
        return QStringLiteral("出力先のフォルダー名が長すぎるため暗号化出力できません  \r\n"
                              "もっと短い名前のフォルダーを指定してください  ");
    case TSfxFieldFault::FileName:
        return QStringLiteral("出力先のファイル名が長すぎるため暗号化出力できません  \r\n"
                              "もっと短いファイル名を指定してください  ");
    case TSfxFieldFault::None:
        break;
    }
    return {};
}

int LoadSfxLibrary(const QString& Folder, const std::function<void(const QString&)>& ShowError)
{
    TSfxState& S = State();
    ++S.UseCount;
    if (S.Create)
        return 0;
    // Never a bare name: the search order would let a file we did not mean answer for the library.
    const QString Chosen = Folder.isEmpty() ? S.TestFolder : Folder;
    const QString Path =
        (Chosen.isEmpty() ? GetProgramFolder() : IncludeTrailingDelimiter(Chosen)) + SfxLibraryFileName;
    if (!S.Library.Load(Path)) {
        Report(ShowError, SfxLibraryFileName + QStringLiteral(" LoadLibrary Error\r\nDLLのロードに失敗しました"));
        return SfxRcLoadError;
    }
    const auto Create = S.Library.SymbolAs<TVtxCreateSFX>("VtxCreateSFX");
    const char* Missing = !Create ? "VtxCreateSFX" : !S.Library.Symbol("VtxCreateSFX_TC") ? "VtxCreateSFX_TC" : nullptr;
    if (Missing) {
        Report(ShowError, BindErrorText(Missing));
        FreeSfxLibrary();
        // An earlier failed load may still hold a use; a library without its entry points is of no use to it.
        S.Library.Free();
        return SfxRcBindError;
    }
    S.Create = Create;
    return 0;
}

void UseSfxLibraryFolderForTests(const QString& Folder)
{
    State().TestFolder = Folder;
}

void FreeSfxLibrary()
{
    TSfxState& S = State();
    if (S.UseCount > 0)
        --S.UseCount;
    if (S.UseCount == 0) {
        S.Create = nullptr;
        S.Library.Free();
    }
}

bool SfxLibraryLoaded()
{
    return State().Create != nullptr;
}

int CallCreateSfx(TSfxSettings& Settings, TSfxFileName& FileName, void* Window)
{
    TSfxState& S = State();
    if (!S.Create)
        return SfxRcNotLoaded;
    return S.Create(&Settings, &FileName, Window);
}
