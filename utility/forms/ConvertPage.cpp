// The data-convert page of the utility's main window: the choice of an earlier version and the two
// folders, the checks before a conversion, and the run with its end message.

#include "main/common/CommonForms.h"
#include "main/common/ProductInfo.h"
#include "platform/msg/CoreMessage.h"
#include "platform/sys/Folders.h"
#include "platform/ui/ClosedInput.h"
#include "utility/convert/Convert.h"
#include "utility/convert/OlderData.h"
#include "utility/forms/UtilMainForm.h"
#include "utility/start/UtilFolders.h"
#include "utility/start/UtilityRunning.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

namespace Utility {

namespace {

bool IsEnter(int Key)
{
    return Key == Qt::Key_Return || Key == Qt::Key_Enter;
}

int Inform(const QString& Text, unsigned Flags = MB_OK | MB_ICONINFORMATION)
{
    return CoreMessageBox(Text, ProductName, Flags);
}

// The page's bar shows how far the conversion is.
class TBarProgress : public TConvertProgress
{
public:
    TBarProgress(QProgressBar* Bar, QWidget* Window) : FBar(Bar), FWindow(Window) {}
    void Start(int Total) override
    {
        FBar->setRange(0, Total);
        FBar->setValue(0);
        FWindow->repaint();
    }
    void Step() override { FBar->setValue(FBar->value() + 1); }

private:
    QProgressBar* FBar;
    QWidget* FWindow;
};

// DataPath points at the destination for the run and gets its old value back on every way out.
class TDataPathSwitch
{
public:
    explicit TDataPathSwitch(const QString& Folder) : FWas(DataPath) { DataPath = Folder; }
    ~TDataPathSwitch() { DataPath = FWas; }
    TDataPathSwitch(const TDataPathSwitch&) = delete;
    TDataPathSwitch& operator=(const TDataPathSwitch&) = delete;

private:
    QString FWas;
};

} // namespace

void TMainForm::WireDataConvertPage()
{
    connect(cbxSrc, &QComboBox::activated, this, &TMainForm::cbxSrcClick);
    connect(bbtnSrcBrowse, &QPushButton::clicked, this, &TMainForm::bbtnSrcBrowseClick);
    connect(bbtnDestBrowse, &QPushButton::clicked, this, &TMainForm::bbtnDestBrowseClick);
    connect(bbtnConvert, &QPushButton::clicked, this, &TMainForm::bbtnConvertClick);
    const QList<QRadioButton*> Options{rbCorpSet, rbNameSet, rbNameSetCorpSet};
    for (int Tag = 0; Tag < Options.size(); ++Tag) {
        connect(Options[Tag], &QRadioButton::clicked, this, [this, Tag] { rbOptionClick(Tag); });
        Options[Tag]->installEventFilter(this);
    }
    for (QWidget* Control :
         {static_cast<QWidget*>(cbxSrc), static_cast<QWidget*>(edtSrcDataPath), static_cast<QWidget*>(edtDestDataPath)})
        Control->installEventFilter(this);
    // The folders are typed in the Latin alphabet: no input method there.
    for (QWidget* Control :
         {static_cast<QWidget*>(cbxSrc), static_cast<QWidget*>(edtSrcDataPath), static_cast<QWidget*>(edtDestDataPath)})
        CloseInputMethod(Control);
    cbxSrc->setMaxVisibleItems(15);
    FCurrentSourceIndex = 0;
    FNameOverflowOption = -1;
    rbCorpSet->setChecked(true);
    rbOptionClick(0);
}

int TMainForm::ChosenVersion() const
{
    return cbxSrc->currentData().toInt();
}

void TMainForm::FocusAtEnd(QLineEdit* Edit)
{
    Edit->setCursorPosition(static_cast<int>(Edit->text().size()));
    Edit->setFocus();
}

void TMainForm::cbxSrcClick(int Index)
{
    if (Index != FCurrentSourceIndex && Index >= 0 && Index < OlderVersionCount) {
        OlderVersionEdits[static_cast<size_t>(FCurrentSourceIndex)] = edtSrcDataPath->text().trimmed();
        FCurrentSourceIndex = Index;
        edtSrcDataPath->setText(OlderVersionEdits[static_cast<size_t>(Index)]);
    }
    const bool Options = ChosenVersion() <= 6;
    for (QWidget* Control : {static_cast<QWidget*>(lblNameSet), pnlOption, static_cast<QWidget*>(rbCorpSet),
                             static_cast<QWidget*>(rbNameSet), static_cast<QWidget*>(rbNameSetCorpSet)})
        Control->setEnabled(Options);
}

bool TMainForm::cbxSrcKeyPress(int Key)
{
    if (!IsEnter(Key))
        return false;
    FocusAtEnd(edtSrcDataPath);
    return true;
}

bool TMainForm::edtSrcDataPathKeyPress(int Key)
{
    if (!IsEnter(Key))
        return false;
    const QString Text = edtSrcDataPath->text().trimmed();
    if (Text.isEmpty() || Text == NotFoundText)
        bbtnSrcBrowse->setFocus();
    else
        FocusAtEnd(edtDestDataPath);
    return true;
}

bool TMainForm::edtDestDataPathKeyPress(int Key)
{
    if (!IsEnter(Key))
        return false;
    const QList<QRadioButton*> Options{rbCorpSet, rbNameSet, rbNameSetCorpSet};
    if (edtDestDataPath->text().trimmed().isEmpty())
        bbtnDestBrowse->setFocus();
    else if (pnlOption->isEnabled()) {
        if (FNameOverflowOption >= 0)
            Options[FNameOverflowOption]->setFocus();
    } else
        bbtnConvert->setFocus();
    return true;
}

bool TMainForm::rbOptionKeyPress(int Key)
{
    // Any character key moves on; arrows still move between the buttons.
    if (Key >= Qt::Key_Left && Key <= Qt::Key_Down)
        return false;
    bbtnConvert->setFocus();
    return true;
}

bool TMainForm::DataConvertKeyPress(QObject* Watched, int Key)
{
    if (Watched == cbxSrc)
        return cbxSrcKeyPress(Key);
    if (Watched == edtSrcDataPath)
        return edtSrcDataPathKeyPress(Key);
    if (Watched == edtDestDataPath)
        return edtDestDataPathKeyPress(Key);
    if (Watched == rbCorpSet || Watched == rbNameSet || Watched == rbNameSetCorpSet)
        return rbOptionKeyPress(Key);
    return false;
}

void TMainForm::rbOptionClick(int Tag)
{
    const QList<QRadioButton*> Options{rbCorpSet, rbNameSet, rbNameSetCorpSet};
    if (FNameOverflowOption >= 0)
        Options[FNameOverflowOption]->setStyleSheet(QString());
    FNameOverflowOption = Tag;
    // Blue while it can be chosen; a disabled choice stays grey like its neighbours.
    Options[Tag]->setStyleSheet(QStringLiteral("QRadioButton:enabled { color: #0000FF; }"));
}

bool TMainForm::Browse(QLineEdit* Edit, const QString& Prompt)
{
    QString Folder = Edit->text().trimmed();
    if (!QFileInfo(Folder).isDir())
        Folder.clear();
    if (!BrowseForFolder(Folder, this, Prompt, true, true))
        return false;
    Edit->setText(IncludeTrailingDelimiter(Folder));
    FocusAtEnd(Edit);
    return true;
}

void TMainForm::bbtnSrcBrowseClick()
{
    (void)Browse(edtSrcDataPath, QStringLiteral("コンバート元となる、") + cbxSrc->currentText() +
                                     QStringLiteral("のデータ保存フォルダーを指定してください  "));
}

void TMainForm::bbtnDestBrowseClick()
{
    (void)Browse(edtDestDataPath, QStringLiteral("コンバート先のフォルダーを指定してください  "));
}

void TMainForm::bbtnConvertClick()
{
    const QString Name = cbxSrc->currentText();
    const int Version = ChosenVersion();
    QString Source = edtSrcDataPath->text().trimmed();
    QString Dest = edtDestDataPath->text().trimmed();
    if (Source.isEmpty()) {
        Inform(QStringLiteral("「") + Name + QStringLiteral("」のデータ保存フォルダーを指定してください  "));
        edtSrcDataPath->setFocus();
        return;
    }
    if (!QFileInfo(Source).isDir()) {
        Inform(QStringLiteral("指定されている「") + Name +
               QStringLiteral("」のデータ保存フォルダーが見つかりません  "));
        FocusAtEnd(edtSrcDataPath);
        return;
    }
    if (Dest.isEmpty()) {
        Inform(QStringLiteral("コンバート先のフォルダーを指定してください  "));
        edtDestDataPath->setFocus();
        return;
    }
    Source = IncludeTrailingDelimiter(Source);
    Dest = IncludeTrailingDelimiter(Dest);
    if (SameFolder(Source, Dest, false)) {
        Inform(
            QStringLiteral("コンバート元とコンバート先のフォルダーが同一です  \r\n違うフォルダーを指定してください  "));
        FocusAtEnd(edtDestDataPath);
        return;
    }
    // Only a version's own data folder can be in use by that version, and only the utility's data
    // folder by the main program: each however it is spelt, through a link or "/./" alike.
    const TOlderFolder& Own = OlderVersionFolders[static_cast<size_t>(cbxSrc->currentIndex())];
    if (Own.Found && IsSameFile(Source, Own.Folder) && IsOlderVersionRunning(Version))
        return;
    if (IsSameFile(Dest, DataPath) && IsMainProgramRunning())
        return;
    if (Inform(QStringLiteral("データのコンバートを開始します  \r\nよろしいですか？  "),
               MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return;
    if (!QFileInfo(Dest).isDir()) {
        if (Inform(QStringLiteral(
                       "指定されているコンバート先のフォルダーが見つかりません  \r\n作成してもよろしいですか？  "),
                   MB_YESNO | MB_ICONQUESTION) != IDYES) {
            FocusAtEnd(edtDestDataPath);
            return;
        }
        if (!CreateOwnerOnlyFolder(Dest) || !QFileInfo(Dest).isDir()) {
            Inform(QStringLiteral("コンバート先のフォルダーが作成できませんでした  "), MB_OK | MB_ICONERROR);
            FocusAtEnd(edtDestDataPath);
            return;
        }
    }

    bool Done = false;
    {
        THourglass Hourglass;
        TDataPathSwitch Switch(Dest);
        TConversionModule Module(Dest);
        ConvertCounts = {};
        TBarProgress Progress(pgbarConvert, this);
        try {
            // The option standing when a long name turns up decides where it goes.
            const TNameOverflowChoice Choice = [this] {
                if (rbCorpSet->isChecked())
                    return TNameOverflow::CorpSet;
                return rbNameSetCorpSet->isChecked() ? TNameOverflow::NameSetCorpSet : TNameOverflow::NameSet;
            };
            ConvertEarlierVersion(Version, Source, Progress, Choice);
            Done = true;
        } catch (const EConvertAborted&) {
        } catch (const Exception& Error) {
            Inform(Error.Message(), MB_OK | MB_ICONSTOP);
        }
    }
    if (!Done)
        return;
    Inform(ConvertEndMessage(Version));
    pgbarConvert->setValue(0);
    btnCancel->setFocus();
}

} // namespace Utility
