#include "main/help/PDFHelp.h"

#include "main/common/MsgBoxPos.h"
#include "main/common/ProductInfo.h"
#include "platform/sys/Registry.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <csignal>

namespace {

const QString AppPathsKey =
    QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\");

const TPDFHelp::TViewer ViewerOrder[] = {
    TPDFHelp::TViewer::Okular,   TPDFHelp::TViewer::Evince, TPDFHelp::TViewer::Atril, TPDFHelp::TViewer::Zathura,
    TPDFHelp::TViewer::Qpdfview, TPDFHelp::TViewer::Xpdf,   TPDFHelp::TViewer::Mupdf};

// A program registered in the registry file's App Paths (value "Path", its folder), else on PATH.
QString FindProgram(const QString& Name)
{
    if (const auto Folder = ReadRegistryString(AppPathsKey + Name, QStringLiteral("Path"))) {
        const QString Program = QDir(Folder->trimmed()).filePath(Name);
        if (QFileInfo(Program).isExecutable())
            return Program;
    }
    return QStandardPaths::findExecutable(Name);
}

QString ExeOf(qint64 Pid)
{
    return QFileInfo(QStringLiteral("/proc/%1/exe").arg(Pid)).symLinkTarget();
}

} // namespace

QString TPDFHelp::ViewerProgramName(TViewer Viewer)
{
    switch (Viewer) {
    case TViewer::Okular:
        return QStringLiteral("okular");
    case TViewer::Evince:
        return QStringLiteral("evince");
    case TViewer::Atril:
        return QStringLiteral("atril");
    case TViewer::Zathura:
        return QStringLiteral("zathura");
    case TViewer::Qpdfview:
        return QStringLiteral("qpdfview");
    case TViewer::Xpdf:
        return QStringLiteral("xpdf");
    case TViewer::Mupdf:
        return QStringLiteral("mupdf");
    case TViewer::Desktop:
        return QStringLiteral("xdg-open");
    case TViewer::None:
        break;
    }
    return {};
}

QStringList TPDFHelp::ViewerArguments(TViewer Viewer, const QString& File, int PageIndex)
{
    const QString Page = QString::number(PageIndex + 1);
    switch (Viewer) {
    case TViewer::Okular:
        return {QStringLiteral("--unique"), QStringLiteral("-p"), Page, File};
    case TViewer::Evince:
    case TViewer::Atril:
        return {QStringLiteral("-i"), Page, File};
    case TViewer::Zathura:
        return {QStringLiteral("-P"), Page, File};
    case TViewer::Qpdfview:
        return {QStringLiteral("--unique"), File + QLatin1Char('#') + Page};
    case TViewer::Xpdf:
    case TViewer::Mupdf:
        return {File, Page};
    case TViewer::Desktop:
    case TViewer::None:
        break;
    }
    return {File};
}

void TPDFHelp::CheckReader()
{
    for (TViewer Candidate : ViewerOrder) {
        const QString Program = FindProgram(ViewerProgramName(Candidate));
        if (!Program.isEmpty()) {
            Viewer = Candidate;
            ReaderProgram = Program;
            break;
        }
    }
    if (Viewer == TViewer::None && !QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty())
        Viewer = TViewer::Desktop;
    if (Viewer == TViewer::None) {
        Status = 101;
        ErrorText = QStringLiteral("PDFファイルを表示するプログラムがインストールされていません  ");
        return;
    }
    Unusable = false;
    Status = 0;
    ErrorText.clear();
}

void TPDFHelp::SetFileName(const QString& Path)
{
    FileName = QFileInfo::exists(Path) ? Path : QString();
}

int TPDFHelp::PageIndexForContext(int Context) const
{
    const int Page = Context == 999 ? 0 : Context;
    return UsePageOffset && Page > 0 ? Page + PageOffset : Page;
}

void TPDFHelp::ShowPage(int Page)
{
    if (UsePageOffset && Page > 0)
        Page += PageOffset;
    if (FileName.isEmpty() || !QFileInfo::exists(FileName)) {
        Status = 201;
        ErrorText = QStringLiteral("『") + Title + QStringLiteral("』が見つかりません  ");
        (void)MessageBoxPos(QApplication::activeWindow(), ErrorText, ProductName, MB_ICONSTOP);
        return;
    }
    if (Viewer == TViewer::Desktop) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(FileName));
        return;
    }
    qint64 Pid = 0;
    if (QProcess::startDetached(ReaderProgram, ViewerArguments(Viewer, FileName, Page),
                                QFileInfo(ReaderProgram).absolutePath(), &Pid))
        StartedViewers.append(Pid);
}

bool TPDFHelp::IsReaderRunning() const
{
    const QString Wanted = QFileInfo(ReaderProgram).canonicalFilePath();
    for (qint64 Pid : StartedViewers)
        if (!Wanted.isEmpty() && ExeOf(Pid) == Wanted)
            return true;
    return false;
}

void TPDFHelp::CloseDocument()
{
    if (Unusable)
        return;
    const QString Wanted = QFileInfo(ReaderProgram).canonicalFilePath();
    // Only the viewers this program started, and only while their id still names that viewer.
    for (qint64 Pid : StartedViewers)
        if (!Wanted.isEmpty() && ExeOf(Pid) == Wanted)
            ::kill(static_cast<pid_t>(Pid), SIGTERM);
    StartedViewers.clear();
}

void SetUpManual(TPDFHelp& Help, const QString& ProgramPath)
{
    Help.CheckReader();
    Help.SetFileName(ProgramPath + QStringLiteral("VxRelvo16.pdf"));
    Help.SetTitle(QStringLiteral("Tolvane１６ 操作ガイド"));
    Help.SetPageOffset(3);
    Help.SetUsePageOffset(true);
}

QString ManualUnusableMessage(const QString& Reason)
{
    return Reason + QStringLiteral("\r\n\r\n") +
           QStringLiteral("表示できるようにしてから「ヘルプ」メニューの「操作ガイド」を開き  ") +
           QStringLiteral("\r\n") + QStringLiteral("「操作ガイドの使用について」をご確認ください  ");
}

bool ShowManualForContext(TPDFHelp& Help, int Context, QWidget* MenuWindow)
{
    if (Help.Unusable) {
        (void)MessageBoxPos(MenuWindow, ManualUnusableMessage(Help.ErrorText), ProductName, MB_ICONWARNING);
        return false;
    }
    Help.ShowPage(Context == 999 ? 0 : Context);
    return true;
}
