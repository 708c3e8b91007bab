#include "directory/Dashrule.h"

#include "directory/DicField.h"
#include "platform/dynlib/DynLib.h"
#include "platform/msg/CoreMessage.h"
#include "platform/text/Cp932.h"

#include <QDateTime>
#include <cstring>

namespace {

constexpr char LibraryName[] = "Dashrule.so";

struct TBinding
{
    TDynLib Library;
    int UseCount = 0;
    TGetHyphenProc GetHyphen = nullptr;
    QByteArray DicFolderBytes; // as the library takes it, made once a load: bulk work asks per row
};

TBinding& Binding()
{
    static TBinding Instance;
    return Instance;
}

TSystemTime UtcNow()
{
    const QDateTime Now = QDateTime::currentDateTimeUtc();
    const QDate Date = Now.date();
    const QTime Time = Now.time();
    return {static_cast<std::uint16_t>(Date.year()),          static_cast<std::uint16_t>(Date.month()),
            static_cast<std::uint16_t>(Date.dayOfWeek() % 7), static_cast<std::uint16_t>(Date.day()),
            static_cast<std::uint16_t>(Time.hour()),          static_cast<std::uint16_t>(Time.minute()),
            static_cast<std::uint16_t>(Time.second()),        static_cast<std::uint16_t>(Time.msec())};
}

// Calls the library on a text; the date is taken anew for every call.
int CallGetHyphen(const QString& Number, const QString& DicFolder, QString& Result)
{
    TBinding& B = Binding();
    char Buffer[HyphenBufferSize];
    std::memset(Buffer, 0, sizeof(Buffer));
    const TSystemTime Now = UtcNow();
    const QByteArray Folder = DicFolder.isEmpty() ? B.DicFolderBytes : PathBytes(DicFolder);
    const int Rc = B.GetHyphen(Cp932Encode(Number).constData(), Buffer, Folder.constData(), &Now);
    if (Rc == 0)
        Result = FixedFieldText(Buffer, HyphenBufferSize);
    return Rc;
}

} // namespace

int LoadHyphenLibrary(const QString& LibraryFolder, const QString& DicFolder)
{
    TBinding& B = Binding();
    if (B.UseCount++ > 0)
        return 0;
    if (!B.Library.Load(LibraryFolder + QLatin1String(LibraryName))) {
        (void)CoreMessageBox(QStringLiteral("Dashrule.so\r\nDLLのロードに失敗しました"),
                             QStringLiteral("Dashrule.so LoadLibrary Error"), MB_ICONSTOP);
        return HyphenRcLoadError;
    }
    B.GetHyphen = reinterpret_cast<TGetHyphenProc>(B.Library.Symbol("GetHyphen"));
    if (!B.GetHyphen) {
        (void)CoreMessageBox(QStringLiteral("GetHyphen\r\n関数の割り当てに失敗しました"),
                             QStringLiteral("Dashrule.so GetProcAddress Error"), MB_ICONSTOP);
        FreeHyphenLibrary();
        return HyphenRcBindError;
    }
    B.DicFolderBytes = PathBytes(DicFolder);
    return 0;
}

void FreeHyphenLibrary()
{
    TBinding& B = Binding();
    if (B.UseCount <= 0)
        return;
    if (--B.UseCount == 0 && B.Library.Loaded()) {
        B.GetHyphen = nullptr;
        B.Library.Free();
    }
}

bool HyphenLibraryLoaded()
{
    return Binding().GetHyphen != nullptr;
}

int HyphenateTel(QString& Number, const QString& DicFolder)
{
    if (!HyphenLibraryLoaded())
        return HyphenRcNotLoaded;
    QString Hyphenated;
    const int Rc = CallGetHyphen(Number, DicFolder, Hyphenated);
    if (Rc == 0)
        Number = Hyphenated;
    return Rc;
}

QString FormatTelHyphen(const QString& Number, const QString& DicFolder)
{
    QString Result = Number.trimmed();
    if (Result.isEmpty() || !HyphenLibraryLoaded())
        return Result;
    QString Hyphenated;
    if (CallGetHyphen(Result, DicFolder, Hyphenated) == 0)
        Result = Hyphenated;
    return Result;
}
