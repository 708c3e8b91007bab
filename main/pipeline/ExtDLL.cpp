#include "main/pipeline/ExtDLL.h"

#include "main/common/CallerRec.h"
#include "main/common/ProductInfo.h"
#include "main/settings/Settings.h"
#include "platform/dynlib/DynLib.h"
#include "platform/msg/CoreMessage.h"
#include "platform/sys/Folders.h"
#include "platform/text/Cp932.h"

#include <QDateTime>
#include <QFile>
#include <cstring>

namespace {

struct TExtDllState
{
    QString Folder; // with its trailing "/"
    TDynLib Library;
    TExtendDLLFunc Func = nullptr;
    int UseCount = 0;
};

TExtDllState& State()
{
    static TExtDllState Instance;
    return Instance;
}

template <std::size_t N> void PutText(char (&Slot)[N], const QString& Text)
{
    const QByteArray Bytes = Cp932LeftBytes(Cp932Encode(Text), static_cast<int>(N) - 1);
    std::memcpy(Slot, Bytes.constData(), static_cast<std::size_t>(Bytes.size()));
}

QString LibraryFolder()
{
    const QString& Folder = State().Folder;
    return Folder.isEmpty() ? GetProgramFolder() : Folder;
}

// One line for a call the library refused. The log is opened to append, so earlier lines survive;
// a log that cannot be written costs only its line.
void LogCallError(int Result)
{
    QFile Log(SettingsPath + ExtDllLogFileName);
    if (!Log.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    const QString Line = QDateTime::currentDateTime().toString(QStringLiteral("yyyy/MM/dd hh:mm:ss")) +
                         QStringLiteral(",extended dll call error [rc=%1]\r\n").arg(Result);
    Log.write(Line.toLatin1());
}

void Report(const std::function<void(const QString&)>& ShowError, const QString& Text)
{
    if (ShowError)
        ShowError(Text);
    else
        (void)CoreMessageBox(Text, ProductName, MB_OK | MB_ICONSTOP);
}

} // namespace

TExtDLLBlock MakeExtDLLBlock(const TCallerRecord& Record)
{
    TExtDLLBlock Block;
    std::memset(&Block, 0, sizeof Block);
    PutText(Block.SchTel0, Record.SchTel[0]);
    PutText(Block.SchTel1, Record.SchTel[1]);
    PutText(Block.Tel0, Record.Tel[0]);
    PutText(Block.Tel1, Record.Tel[1]);
    Block.TelIndex = Record.TelIndex;
    PutText(Block.Pos, Record.Pos);
    PutText(Block.Tdfkn, Record.Tdfkn);
    PutText(Block.Adrs1, Record.Adrs1);
    PutText(Block.Adrs2, Record.Adrs2);
    PutText(Block.JisCode, Record.JisCode);
    PutText(Block.CorpKana, Record.CorpKana);
    PutText(Block.CorpKanji, Record.CorpKanji);
    PutText(Block.NameKana, Record.NameKana);
    PutText(Block.NameKanji, Record.NameKanji);
    Block.PrivCorp = Record.PrivCorp;
    PutText(Block.Memo1, Record.Memo1);
    PutText(Block.Memo2, Record.Memo2);
    PutText(Block.Memo3, Record.Memo3);
    PutText(Block.Rank, Record.Rank);
    Block.Latitude = Record.Latitude;
    Block.Longitude = Record.Longitude;
    Block.RecvDateTime = Record.RecvDateTime;
    Block.BeforeRecvDateTime = Record.BeforeRecvDateTime;
    Block.Division = Record.Division;
    PutText(Block.SelItem1, Record.SelItem1);
    PutText(Block.SelItem2, Record.SelItem2);
    PutText(Block.SelItem3, Record.SelItem3);
    PutText(Block.EMail, Record.EMail);
    return Block;
}

bool ExtDllExists(const QString& Folder)
{
    State().Folder = Folder.isEmpty() ? QString() : IncludeTrailingDelimiter(Folder);
    return QFile::exists(LibraryFolder() + ExtDllFileName);
}

int LoadExtDll(const std::function<void(const QString& Text)>& ShowError)
{
    TExtDllState& S = State();
    ++S.UseCount;
    if (S.Func)
        return 0;
    if (!S.Library.Load(LibraryFolder() + ExtDllFileName)) {
        Report(ShowError, ExtDllFileName + QStringLiteral(" LoadLibrary Error  \r\nDLLのロードに失敗しました  "));
        return ExtDllRcLoadError;
    }
    S.Func = S.Library.SymbolAs<TExtendDLLFunc>("ExtendDLLFunc");
    if (!S.Func) {
        Report(ShowError, QStringLiteral("ExtendDLLFunc (") + ExtDllFileName +
                              QStringLiteral(") GetProcAddress Error  \r\n関数の割り当てに失敗しました  "));
        FreeExtDll();
        // An earlier failed load may still hold a use; the library without its export is of no use to it.
        S.Library.Free();
        return ExtDllRcBindError;
    }
    return 0;
}

void FreeExtDll()
{
    TExtDllState& S = State();
    if (S.UseCount > 0)
        --S.UseCount;
    if (S.UseCount == 0) {
        S.Func = nullptr;
        S.Library.Free();
    }
}

bool ExtDllLoaded()
{
    return State().Func != nullptr;
}

int CallExtDll(const TCallerRecord& Record)
{
    TExtDllState& S = State();
    if (!S.Func)
        return ExtDllRcNotLoaded;
    TExtDLLBlock Block = MakeExtDLLBlock(Record);
    // The library opens files in the folder itself, so it gets the path as the file system spells it.
    const QByteArray Folder = QFile::encodeName(SettingsPath);
    const int Result = S.Func(&Block, Folder.constData());
    if (Result != 1)
        LogCallError(Result);
    return Result;
}
