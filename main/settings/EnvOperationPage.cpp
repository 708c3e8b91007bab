// The page "動作": what a call does, with the sound file's choice and test play.

#include "main/common/MsgBoxPos.h"
#include "main/common/ProductInfo.h"
#include "main/settings/Env.h"
#include "main/settings/EnvControls.h"
#include "main/settings/Settings.h"
#include "platform/sound/WavePlayer.h"
#include "platform/ui/FilePrompt.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

using namespace EnvControls;

void TEnvironment::CreateOperationPage()
{
    QWidget* Page = tabstOperation;
    auto* Layout = new QVBoxLayout(Page);

    gbxRecvAction = New<QGroupBox>(Page, "gbxRecvAction", QStringLiteral("着信時の動作"));
    auto* Recv = new QVBoxLayout(gbxRecvAction);
    chkHisListPopup = NewCheck(gbxRecvAction, "chkHisListPopup", QStringLiteral("着信したら着信履歴を表示する"));
    chkRecvViewPopup = NewCheck(gbxRecvAction, "chkRecvViewPopup", QStringLiteral("着信したら着信照会を表示する"));
    chkRingSound = NewCheck(gbxRecvAction, "chkRingSound", QStringLiteral("着信したら音を鳴らす"));
    edtWaveFile = NewEdit(gbxRecvAction, "edtWaveFile", 32767);
    bbtnBrowseWaveFile = New<QPushButton>(gbxRecvAction, "bbtnBrowseWaveFile", QStringLiteral("参照(&R)"));
    bbtnBrowseWaveFile->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    bbtnPlay = New<QPushButton>(gbxRecvAction, "bbtnPlay", QStringLiteral("再生(&P)"));
    bbtnPlay->setIcon(style()->standardIcon(QStyle::SP_MediaVolume));
    chkNotMoveFocus = NewCheck(gbxRecvAction, "chkNotMoveFocus",
                               QStringLiteral("着信してもアプリケーションにフォーカスを移動しない"));
    Recv->addWidget(chkHisListPopup);
    Recv->addWidget(chkRecvViewPopup);
    Recv->addWidget(chkRingSound);
    auto* WaveRow = new QHBoxLayout;
    WaveRow->addSpacing(20);
    WaveRow->addWidget(edtWaveFile, 1);
    WaveRow->addWidget(bbtnBrowseWaveFile);
    WaveRow->addWidget(bbtnPlay);
    Recv->addLayout(WaveRow);
    Recv->addWidget(chkNotMoveFocus);
    Layout->addWidget(gbxRecvAction);

    gbxStartup = New<QGroupBox>(Page, "gbxStartup", QStringLiteral("起動時の動作"));
    chkViewSplash =
        NewCheck(gbxStartup, "chkViewSplash", QStringLiteral("アプリケーション起動時にスプラッシュ画面を表示する"));
    (new QVBoxLayout(gbxStartup))->addWidget(chkViewSplash);
    Layout->addWidget(gbxStartup);

    gbxMessage = New<QGroupBox>(Page, "gbxMessage", QStringLiteral("メッセージの表示"));
    chkWindowsEnd = NewCheck(gbxMessage, "chkWindowsEnd", QStringLiteral("ログアウト時に確認ダイアログを表示する"));
    (new QVBoxLayout(gbxMessage))->addWidget(chkWindowsEnd);
    Layout->addWidget(gbxMessage);

    gbxDelete = New<QGroupBox>(Page, "gbxDelete", QStringLiteral("削除時の動作"));
    chkDeleteType = NewCheck(gbxDelete, "chkDeleteType", QStringLiteral("一覧削除時に削除対象指定画面を表示する"));
    (new QVBoxLayout(gbxDelete))->addWidget(chkDeleteType);
    Layout->addWidget(gbxDelete);
    Layout->addStretch();

    for (QPushButton* Button : {bbtnBrowseWaveFile, bbtnPlay})
        Button->setAutoDefault(false);
    connect(chkRingSound, &QCheckBox::clicked, this, &TEnvironment::chkRingSoundClick);
    connect(bbtnBrowseWaveFile, &QPushButton::clicked, this, &TEnvironment::bbtnBrowseWaveFileClick);
    connect(bbtnPlay, &QPushButton::clicked, this, &TEnvironment::bbtnPlayClick);
    Route(edtWaveFile, {.KeyPress = [this](QKeyEvent* Key) { return edtWaveFileKeyPress(Key); }});
}

void TEnvironment::chkRingSoundClick()
{
    SetEnabled({edtWaveFile, bbtnBrowseWaveFile, bbtnPlay}, chkRingSound->isChecked());
}

void TEnvironment::bbtnBrowseWaveFileClick()
{
    TFilePrompt Prompt;
    Prompt.Filters = {QStringLiteral("Waveファイル (*.wav)"), QStringLiteral("すべてのファイル (*)")};
    const QString Typed = edtWaveFile->text().trimmed();
    const QFileInfo Info(Typed);
    if (!Typed.isEmpty() && Info.dir().exists()) {
        Prompt.StartFolder = Info.absolutePath();
        if (Info.isFile())
            Prompt.SelectFile = Info.fileName();
    } else {
        Prompt.StartFolder = ProgramPath;
    }
    Prompt.Place = [this](QFileDialog& Dialog) { OpenDialogShow(Dialog); };
    if (const std::optional<QString> Chosen = RunFilePrompt(this, Prompt))
        edtWaveFile->setText(*Chosen);
    FocusEnd(edtWaveFile);
}

// Over the dialog's top-left corner, inside the work area.
void TEnvironment::OpenDialogShow(QFileDialog& Dialog)
{
    Dialog.adjustSize();
    const QRect Work = screen()->availableGeometry();
    QPoint At = frameGeometry().topLeft() + QPoint(15, 15);
    At.setX(std::max(Work.left(), std::min(At.x(), Work.right() - Dialog.width())));
    At.setY(std::max(Work.top(), std::min(At.y(), Work.bottom() - Dialog.height())));
    Dialog.move(At);
}

void TEnvironment::bbtnPlayClick()
{
    const QString FileName = edtWaveFile->text().trimmed();
    if (!QFileInfo(FileName).isFile()) {
        (void)MessageBoxPos(this, QStringLiteral("ファイルではありません  "), ProductName, MB_OK | MB_ICONINFORMATION,
                            2);
    } else {
        QFile File(FileName);
        if (!File.open(QIODevice::ReadOnly) || !PlayWaveAsync(File.readAll()))
            (void)MessageBoxPos(this, QStringLiteral("このファイルは再生できません  "), ProductName,
                                MB_OK | MB_ICONINFORMATION, 2);
    }
    FocusEnd(edtWaveFile);
}

bool TEnvironment::edtWaveFileKeyPress(QKeyEvent* Key)
{
    if (!IsEnterKey(Key))
        return false;
    FocusEnd(edtWaveFile->text().trimmed().isEmpty() ? static_cast<QWidget*>(bbtnBrowseWaveFile) : chkNotMoveFocus);
    return true;
}
