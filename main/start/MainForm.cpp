#include "main/start/MainForm.h"

#include "main/common/CommonForms.h"
#include "main/common/MsgBoxPos.h"
#include "main/common/ProductInfo.h"
#include "main/device/VxComm.h"
#include "main/help/PDFHelp.h"
#include "main/settings/Settings.h"
#include "main/start/MainHooks.h"
#include "platform/ui/StatusNotifier.h"
#include "platform/ui/WindowScript.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QProcess>
#include <QSessionManager>
#include <QTimer>

// The menu window: its menus, tool bar and tray icon, the commands they run, the help and the close.
// What the start-up and shut-down ask of it is in MainFormHost.cpp.

TMainForm* MainForm = nullptr;

namespace {

const QString MenuVisibleCaption = QStringLiteral("メニューを表示する(&V)");
const QString MenuHiddenCaption = QStringLiteral("メニューを非表示にする(&V)");
const QString HisListCaption = QStringLiteral(" 着信履歴 ");
const QString UnseenCallCaption = QStringLiteral(" 着信有り ");

// The menu window's size at 96 pixels per inch.
constexpr int MenuWidth = 286;
constexpr int MenuHeight = 68;
constexpr int HelpContents = 999;
constexpr int MenuHelpContext = 3;
constexpr int ModalOk = 1;

QAction* NewAction(QObject* Parent, const char* Name, const QString& Caption, int Tag,
                   const QKeySequence& Shortcut = {})
{
    auto* Action = new QAction(Caption, Parent);
    Action->setObjectName(QLatin1String(Name));
    Action->setData(Tag);
    if (!Shortcut.isEmpty())
        Action->setShortcut(Shortcut);
    return Action;
}

} // namespace

TMainForm::TMainForm(QWidget* Parent)
    : QMainWindow(Parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      MessageTarget(
          [this](std::uint32_t Msg, TWParam WParam, TLParam LParam) { return HandleMessage(Msg, WParam, LParam); })
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(ProductName + QStringLiteral(" メニュー"));
    SetHelpContext(this, MenuHelpContext);
    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateTray();
    UpdateCommandStates();
    FitMenuWindow();
    if (auto* App = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        connect(App, &QGuiApplication::commitDataRequest, this, &TMainForm::CommitDataRequest);
    ScriptWindow(this);
}

TMainForm::~TMainForm()
{
    if (StartupRan)
        TMainStartup(*this).RunShutdown();
    else
        RemoveHelpHandler();
    if (MainForm == this)
        MainForm = nullptr;
}

void TMainForm::CreateActions()
{
    actlstMain = new QObject(this);
    actlstMain->setObjectName(QStringLiteral("actlstMain"));
    actViewTop = NewAction(actlstMain, "actViewTop", QStringLiteral("常に前面に表示する(&T)"), 0);
    actViewTop->setCheckable(true);
    actMenuVisible = NewAction(actlstMain, "actMenuVisible", MenuHiddenCaption, 0);
    connect(actViewTop, &QAction::triggered, this, &TMainForm::actViewTopExecute);
    connect(actMenuVisible, &QAction::triggered, this, &TMainForm::actMenuVisibleExecute);

    pmTray = new QMenu(this);
    pmTray->setObjectName(QStringLiteral("pmTray"));
    pmiReceiveHistory = NewAction(pmTray, "pmiReceiveHistory", QStringLiteral("着信対応履歴(&R)"), cmdHisList);
    pmiAdditionMeibo = NewAction(pmTray, "pmiAdditionMeibo", QStringLiteral("登録名簿(&M)"), cmdMeiboList);
    pmiFileInput = NewAction(pmTray, "pmiFileInput", QStringLiteral("テキストファイル取り込み(&I)"), cmdImportFile);
    pmiFileOutput = NewAction(pmTray, "pmiFileOutput", QStringLiteral("テキストファイル出力(&O)"), cmdExportFile);
    pmiGetHistory = NewAction(pmTray, "pmiGetHistory", QStringLiteral("着信履歴取り込み(&G)"), cmdGetHistory);
    pmiListPrint = NewAction(pmTray, "pmiListPrint", QStringLiteral("一覧表印刷(&L)"), cmdListPrint);
    pmiEnvironment = NewAction(pmTray, "pmiEnvironment", QStringLiteral("環境設定(&E)"), cmdEnvironment);
    pmiUtility = NewAction(pmTray, "pmiUtility", QStringLiteral("ユーティリティ(&U)"), cmdUtility);
    pmiExit = NewAction(pmTray, "pmiExit", QStringLiteral("終了(&X)"), cmdExit);
    pmiSearchforHelpOn = NewAction(pmTray, "pmiSearchforHelpOn", QStringLiteral("操作ガイド(&H)"), 0);
    pmiAbout = NewAction(pmTray, "pmiAbout", QStringLiteral("バージョン情報(&A)"), 1);
    pmiRegist = NewAction(pmTray, "pmiRegist", QStringLiteral("ユーザー登録(&R)"), 0);
    pmMenuVisible = NewAction(pmTray, "pmMenuVisible", MenuHiddenCaption, 0);
    pmViewTop = NewAction(pmTray, "pmViewTop", actViewTop->text(), 0);

    mmMain = new QMenuBar(this);
    mmMain->setObjectName(QStringLiteral("mmMain"));
    mmHisList = NewAction(mmMain, "mmHisList", QStringLiteral("着信対応履歴(&R)"), cmdHisList,
                          QKeySequence(Qt::CTRL | Qt::Key_R));
    mmMeiboList = NewAction(mmMain, "mmMeiboList", QStringLiteral("登録名簿(&M)"), cmdMeiboList,
                            QKeySequence(Qt::CTRL | Qt::Key_M));
    mmImportFile = NewAction(mmMain, "mmImportFile", QStringLiteral("テキストファイル取り込み(&I)"), cmdImportFile);
    mmExportFile = NewAction(mmMain, "mmExportFile", QStringLiteral("テキストファイル出力(&O)"), cmdExportFile);
    mmGetHistory = NewAction(mmMain, "mmGetHistory", QStringLiteral("着信履歴取り込み(&G)"), cmdGetHistory);
    mmListPrint = NewAction(mmMain, "mmListPrint", QStringLiteral("一覧表印刷(&L)"), cmdListPrint);
    mmEnvironment = NewAction(mmMain, "mmEnvironment", QStringLiteral("環境設定(&E)"), cmdEnvironment,
                              QKeySequence(Qt::CTRL | Qt::Key_E));
    mmUtility = NewAction(mmMain, "mmUtility", QStringLiteral("ユーティリティ(&U)"), cmdUtility,
                          QKeySequence(Qt::CTRL | Qt::Key_U));
    mmExit = NewAction(mmMain, "mmExit", QStringLiteral("終了(&X)"), cmdExit);
    mmiTopic = NewAction(mmMain, "mmiTopic", QStringLiteral("操作ガイド(&H)"), 0);
    mmiVersion = NewAction(mmMain, "mmiVersion", QStringLiteral("バージョン情報(&A)"), 1);
    mmiRegist = NewAction(mmMain, "mmiRegist", QStringLiteral("ユーザー登録(&R)"), 0);
    mmMenuVisible = NewAction(mmMain, "mmMenuVisible", MenuHiddenCaption, 0);
    mmViewTop = NewAction(mmMain, "mmViewTop", actViewTop->text(), 0);

    for (QAction* Item : {pmiReceiveHistory, pmiAdditionMeibo, pmiFileInput, pmiFileOutput, pmiGetHistory, pmiListPrint,
                          pmiEnvironment, pmiUtility, pmiExit, mmHisList, mmMeiboList, mmImportFile, mmExportFile,
                          mmGetHistory, mmListPrint, mmEnvironment, mmUtility})
        connect(Item, &QAction::triggered, this, [this, Item] {
            if (TrayCommandAllowed(Item))
                pmiTrayPopupClick(Item->data().toInt());
        });
    // The menu window's own exit closes the window, which asks first; the tray's ends at once.
    connect(mmExit, &QAction::triggered, this, &TMainForm::tbtnExitClick);
    for (QAction* Item : {pmiSearchforHelpOn, pmiAbout, mmiTopic, mmiVersion})
        connect(Item, &QAction::triggered, this, [this, Item] {
            if (TrayCommandAllowed(Item))
                pmiTrayPopupHelpClick(Item->data().toInt());
        });
    for (QAction* Item : {pmiRegist, mmiRegist})
        connect(Item, &QAction::triggered, this, &TMainForm::pmiRegistClick);
    for (QAction* Item : {pmViewTop, mmViewTop}) {
        Item->setCheckable(true);
        connect(Item, &QAction::triggered, actViewTop, &QAction::trigger);
    }
    for (QAction* Item : {pmMenuVisible, mmMenuVisible})
        connect(Item, &QAction::triggered, actMenuVisible, &QAction::trigger);
}

void TMainForm::CreateMenus()
{
    pmTray->addAction(pmiReceiveHistory);
    pmTray->addAction(pmiAdditionMeibo);
    pmTray->addSeparator();
    pmTray->addAction(pmiFileInput);
    pmTray->addAction(pmiFileOutput);
    pmTray->addAction(pmiGetHistory);
    pmTray->addAction(pmiListPrint);
    pmTray->addSeparator();
    pmTray->addAction(pmiEnvironment);
    pmTray->addAction(pmiUtility);
    pmTray->addSeparator();
    pmTray->addAction(pmMenuVisible);
    pmTray->addAction(pmViewTop);
    pmTray->addSeparator();
    pmTray->addAction(pmiSearchforHelpOn);
    pmTray->addAction(pmiAbout);
    pmTray->addAction(pmiRegist);
    pmTray->addSeparator();
    pmTray->addAction(pmiExit);

    QMenu* File = mmMain->addMenu(QStringLiteral("ファイル(&F)"));
    File->setObjectName(QStringLiteral("mmFile"));
    File->addAction(mmHisList);
    File->addAction(mmMeiboList);
    File->addSeparator();
    File->addAction(mmImportFile);
    File->addAction(mmExportFile);
    File->addAction(mmGetHistory);
    File->addAction(mmListPrint);
    File->addSeparator();
    File->addAction(mmExit);
    QMenu* Tool = mmMain->addMenu(QStringLiteral("ツール(&T)"));
    Tool->setObjectName(QStringLiteral("mmTool"));
    Tool->addAction(mmEnvironment);
    Tool->addAction(mmUtility);
    Tool->addSeparator();
    Tool->addAction(mmMenuVisible);
    Tool->addAction(mmViewTop);
    QMenu* Help = mmMain->addMenu(QStringLiteral("ヘルプ(&H)"));
    Help->setObjectName(QStringLiteral("mmHelp"));
    Help->addAction(mmiTopic);
    Help->addAction(mmiVersion);
    Help->addAction(mmiRegist);
    setMenuBar(mmMain);
}

void TMainForm::CreateToolBar()
{
    tbarTool = new QToolBar(this);
    tbarTool->setObjectName(QStringLiteral("tbarTool"));
    tbarTool->setMovable(false);
    tbarTool->setFloatable(false);
    tbarTool->setIconSize(QSize(24, 24));
    tbarTool->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    tbarTool->setContextMenuPolicy(Qt::PreventContextMenu);
    const auto NewButton = [this](const char* Name, const QString& Caption, int Image, int Tag) {
        auto* Button = new QToolButton(tbarTool);
        Button->setObjectName(QLatin1String(Name));
        Button->setText(Caption);
        Button->setIcon(ToolImage(Image));
        Button->setProperty("Tag", Tag);
        Button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        Button->setAutoRaise(true);
        Button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
        tbarTool->addWidget(Button);
        return Button;
    };
    tbtnHisList = NewButton("tbtnHisList", HisListCaption, 0, cmdHisList);
    tbtnMeiboList = NewButton("tbtnMeiboList", QStringLiteral(" 登録名簿 "), 1, cmdMeiboList);
    tbtnEnv = NewButton("tbtnEnv", QStringLiteral(" 環境設定 "), 2, cmdEnvironment);
    tbtnExit = NewButton("tbtnExit", QStringLiteral(" 終了 "), 3, cmdExit);
    for (QToolButton* Button : {tbtnHisList, tbtnMeiboList, tbtnEnv})
        connect(Button, &QToolButton::clicked, this,
                [this, Button] { pmiTrayPopupClick(Button->property("Tag").toInt()); });
    connect(tbtnExit, &QToolButton::clicked, this, &TMainForm::tbtnExitClick);
    addToolBar(Qt::TopToolBarArea, tbarTool);
}

void TMainForm::CreateTray()
{
    tiMain = new QSystemTrayIcon(this);
    tiMain->setObjectName(QStringLiteral("tiMain"));
    tiMain->setToolTip(ProductName);
    tiMain->setIcon(TrayIcon(TRAY_STAND));
    // A StatusNotifier host shows the menu it is given and nothing else, and sends its click as the item's
    // activation: there the menu is exported and the activation does what a double click does in an
    // XEmbed tray. An XEmbed tray gets no menu of Qt's own, which would open even while a modal window is.
    TrayMenuExported = StatusNotifierHostPresent();
    if (TrayMenuExported) {
        // The host draws the exported menu whenever it likes, so while a modal window is open its entries
        // are greyed; the group gives back to each entry the state of its own when the window closes.
        TrayCommands = new QActionGroup(pmTray);
        TrayCommands->setExclusionPolicy(QActionGroup::ExclusionPolicy::None);
        for (QAction* Item : pmTray->actions())
            if (!Item->isSeparator())
                TrayCommands->addAction(Item);
        connect(pmTray, &QMenu::aboutToShow, this, &TMainForm::UpdateTrayCommandUse);
        tiMain->setContextMenu(pmTray);
    }
    connect(tiMain, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason Reason) {
        switch (Reason) {
        case QSystemTrayIcon::Trigger:
            tiMainMouseDown(Qt::LeftButton);
            if (TrayMenuExported)
                tiMainDblClick();
            else
                tiMainClick();
            break;
        case QSystemTrayIcon::Context:
            tiMainMouseDown(Qt::RightButton);
            if (QMenu* Menu = TrayPopupMenu())
                Menu->popup(QCursor::pos());
            break;
        case QSystemTrayIcon::DoubleClick:
            tiMainDblClick();
            break;
        default:
            break;
        }
    });
}

// Commands whose windows are not part of the program yet stay disabled.
void TMainForm::UpdateCommandStates()
{
    const TMainHooks& Hooks = MainHooks();
    const auto Enable = [](std::initializer_list<QAction*> Items, bool Enabled) {
        for (QAction* Item : Items)
            Item->setEnabled(Enabled);
    };
    const bool HisList = bool(Hooks.ShowHistoryList);
    Enable({pmiReceiveHistory, mmHisList}, HisList);
    tbtnHisList->setEnabled(HisList);
    const bool Meibo = ::Settings.UseFbAdrs ? bool(Hooks.OpenFernbook) : bool(Hooks.ShowMeiboList);
    Enable({pmiAdditionMeibo, mmMeiboList}, Meibo);
    tbtnMeiboList->setEnabled(Meibo);
    Enable({pmiFileInput, mmImportFile}, bool(Hooks.ShowFileImport));
    Enable({pmiFileOutput, mmExportFile}, bool(Hooks.ShowFileExport));
    Enable({pmiGetHistory, mmGetHistory}, GetHistoryAvailable && Hooks.ShowGetReceiveHistory);
    Enable({pmiListPrint, mmListPrint}, bool(Hooks.ShowListPrint));
    Enable({pmiEnvironment, mmEnvironment}, bool(Hooks.ShowEnvironment));
    tbtnEnv->setEnabled(bool(Hooks.ShowEnvironment));
    Enable({pmiSearchforHelpOn, mmiTopic}, bool(Hooks.ShowManualPage));
    Enable({pmiAbout, mmiVersion}, bool(Hooks.ShowVersionInfo));
}

void TMainForm::pmiTrayPopupClick(int Tag)
{
    const TMainHooks& Hooks = MainHooks();
    switch (Tag) {
    case cmdHisList:
        if (UnseenCall) {
            SetTrayIcon(TRAY_STAND);
            if (actMenuVisible->data().toInt() == 0)
                ShowHisListButton(false);
            UnseenCall = false;
        }
        if (Hooks.ShowHistoryList)
            Hooks.ShowHistoryList();
        break;
    case cmdMeiboList: {
        TUIBusy Busy;
        if (::Settings.UseFbAdrs) {
            if (Hooks.OpenFernbook)
                Hooks.OpenFernbook(this);
        } else if (Hooks.ShowMeiboList) {
            Hooks.ShowMeiboList(this);
        }
        break;
    }
    case cmdImportFile:
    case cmdExportFile:
    case cmdGetHistory: {
        const auto& Show = Tag == cmdImportFile   ? Hooks.ShowFileImport
                           : Tag == cmdExportFile ? Hooks.ShowFileExport
                                                  : Hooks.ShowGetReceiveHistory;
        if (Show) {
            TUIBusy Busy;
            Show(this);
        }
        break;
    }
    case cmdListPrint:
        // The PDF printer is always installed, so there is always a printer to print the list on.
        if (Hooks.ShowListPrint) {
            TUIBusy Busy;
            Hooks.ShowListPrint(this);
        }
        break;
    case cmdEnvironment: {
        if (!Hooks.ShowEnvironment)
            break;
        UIIdle = false;
        if (Hooks.ShowEnvironment(this) == ModalOk) {
            if (::Settings.RingSound && !LoadRingStream(::Settings.WaveFile))
                ShowMessage(RingFileMessage, TMsgKind::Information);
            EnableGetHistory(VxCommDLL && VxCommDLL->SelectedKind().HistoryCount != 0);
        }
        if (ClosingForUpdate) {
            QCoreApplication::processEvents();
            close();
        } else {
            UIIdle = true;
        }
        break;
    }
    case cmdUtility: {
        // A utility that cannot be started gives no message.
        QApplication::setOverrideCursor(Qt::WaitCursor);
        QProcess::startDetached(ProgramPath + QStringLiteral("VxUtil16"), {});
        QApplication::restoreOverrideCursor();
        break;
    }
    case cmdExit:
        QCoreApplication::exit(0);
        break;
    default:
        break;
    }
}

void TMainForm::tbtnExitClick()
{
    close();
}

void TMainForm::pmiTrayPopupHelpClick(int Tag)
{
    if (Tag == 0) {
        ApplicationHelp(HelpContents);
    } else if (Tag == 1 && MainHooks().ShowVersionInfo) {
        TUIBusy Busy;
        MainHooks().ShowVersionInfo(this);
    }
}

void TMainForm::pmiRegistClick()
{
    OpenRegistrationPage();
}

void TMainForm::tiMainMouseDown(Qt::MouseButton Button)
{
    LastPressLeft = Button == Qt::LeftButton;
}

QMenu* TMainForm::TrayPopupMenu() const
{
    return UIIdle ? pmTray : nullptr;
}

void TMainForm::UpdateTrayCommandUse()
{
    if (TrayCommands)
        TrayCommands->setEnabled(UIIdle && QApplication::activeModalWidget() == nullptr);
}

// The exported menu is the host's to show, a modal window open or not: a command chosen from it while
// one is open does nothing, as the XEmbed tray offers no menu then.
bool TMainForm::TrayCommandAllowed(const QAction* Item) const
{
    return UIIdle || Item->parent() != pmTray;
}

void TMainForm::tiMainClick()
{
    BringForward();
}

void TMainForm::tiMainDblClick()
{
    if (!LastPressLeft || !UIIdle)
        return;
    BringForward();
    pmiTrayPopupClick(cmdHisList);
}

void TMainForm::BringForward()
{
    if (!isVisible())
        return;
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}

void TMainForm::SetTrayIcon(TTrayIconState State)
{
    FTrayIconState = State;
    tiMain->setIcon(TrayIcon(State));
}

void TMainForm::ShowHisListButton(bool Unseen)
{
    tbtnHisList->setIcon(ToolImage(Unseen ? 4 : 0));
    tbtnHisList->setText(Unseen ? UnseenCallCaption : HisListCaption);
}

void TMainForm::SyncOptionItems()
{
    for (QAction* Item : {pmViewTop, mmViewTop})
        Item->setChecked(actViewTop->isChecked());
    for (QAction* Item : {pmMenuVisible, mmMenuVisible}) {
        Item->setText(actMenuVisible->text());
        Item->setEnabled(actMenuVisible->isEnabled());
    }
}

void TMainForm::SetTopMost(bool TopMost)
{
    const bool Visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, TopMost);
    // Changing a window flag hides the window.
    if (Visible)
        show();
}

void TMainForm::actViewTopExecute()
{
    // The action's own check mark has already flipped when it was triggered.
    ::Settings.TopView = actViewTop->isChecked();
    SetTopMost(::Settings.TopView);
    SyncOptionItems();
}

void TMainForm::actMenuVisibleExecute()
{
    if (actMenuVisible->data().toInt() == 1) {
        show();
        actMenuVisible->setText(MenuHiddenCaption);
        actMenuVisible->setData(0);
        ::Settings.MenuVisible = true;
        ShowHisListButton(UnseenCall);
    } else {
        hide();
        actMenuVisible->setText(MenuVisibleCaption);
        actMenuVisible->setData(1);
        ::Settings.MenuVisible = false;
    }
    SyncOptionItems();
}

bool TMainForm::ApplicationHelp(int HelpContext)
{
    const TMainHooks& Hooks = MainHooks();
    if (!Hooks.ShowManualPage)
        return false;
    if (Hooks.ManualUnusable && Hooks.ManualUnusable()) {
        const QString Reason = Hooks.ManualErrorText ? Hooks.ManualErrorText() : QString();
        (void)MessageBoxPos(isVisible() ? this : nullptr, ManualUnusableMessage(Reason), ProductName,
                            MB_OK | MB_ICONWARNING);
        return false;
    }
    Hooks.ShowManualPage(HelpContext);
    return true;
}

bool TMainForm::eventFilter(QObject* Watched, QEvent* Event)
{
    // Once the modal window is up or gone, and its opener has marked the program busy or idle again.
    if ((Event->type() == QEvent::Show || Event->type() == QEvent::Hide) && TrayCommands && Watched->isWidgetType() &&
        static_cast<QWidget*>(Watched)->isWindow() && static_cast<QWidget*>(Watched)->isModal())
        QTimer::singleShot(0, this, &TMainForm::UpdateTrayCommandUse);
    // F1 anywhere in the program opens the manual at the page of the active window.
    if (Event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(Event)->key() == Qt::Key_F1 &&
        Watched->isWidgetType()) {
        const int Context = HelpContextOf(static_cast<QWidget*>(Watched)->window());
        if (Context != 0 && ApplicationHelp(Context))
            return true;
    }
    return QMainWindow::eventFilter(Watched, Event);
}

void TMainForm::keyPressEvent(QKeyEvent* Event)
{
    if (!FormKeyPress(Event))
        QMainWindow::keyPressEvent(Event);
}

bool TMainForm::FormKeyPress(const QKeyEvent* Key)
{
    // Esc closes the menu window, which asks whether to end the program.
    if (Key->key() != Qt::Key_Escape || !isEnabled())
        return false;
    close();
    return true;
}

bool TMainForm::FormCloseQuery()
{
    const unsigned Flags = MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2;
    QWidget* Over = isVisible() ? this : nullptr;
    switch (CloseQuestion(EndSession, ::Settings.WindowsEnd, ClosingForUpdate, ::Settings.CloseMsg)) {
    case TCloseQuestion::None:
        return true;
    case TCloseQuestion::SessionEnd:
        if (MessageBoxPos(Over, SessionEndQuestion, ProductName, Flags) == IDYES)
            return true;
        EndSession = false;
        return false;
    case TCloseQuestion::Close:
        return MessageBoxPos(Over, CloseProgramQuestion, ProductName, Flags) == IDYES;
    }
    return true;
}

void TMainForm::closeEvent(QCloseEvent* Event)
{
    if (!FormCloseQuery()) {
        Event->ignore();
        return;
    }
    Event->accept();
    FormClose();
    // The menu window is the program's main window: closing it ends the program.
    QCoreApplication::exit(0);
}

void TMainForm::FormClose()
{
    if (MainHooks().CloseManualDocument) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        MainHooks().CloseManualDocument();
        QApplication::restoreOverrideCursor();
    }
}

void TMainForm::CommitDataRequest(QSessionManager& Manager)
{
    // A session manager that lets nobody ask ends the session anyway: the program then ends with it.
    const bool MayAsk = Manager.allowsInteraction();
    if (!SessionEnding(MayAsk)) {
        Manager.cancel();
        return;
    }
    if (MayAsk)
        Manager.release();
}

bool TMainForm::SessionEnding(bool MayAsk)
{
    EndSession = true;
    if (MayAsk && !FormCloseQuery())
        return false;
    // Every open dialog and message box is ended with the program; what they return now is no answer.
    ProgramEnding = true;
    FormClose();
    QCoreApplication::exit(0);
    return true;
}

std::intptr_t TMainForm::HandleMessage(std::uint32_t Msg, std::uintptr_t WParam, std::intptr_t LParam)
{
    if (Msg == WM_AFTER_STARTUP) {
        TMainStartup(*this).RunAfterStartup();
        if (!ProgramEnding && MainHooks().CleanUpAfterLastEnd)
            MainHooks().CleanUpAfterLastEnd(this);
        return 0;
    }
    return AskStepHook(MainHooks().DeviceMessage, "DeviceMessage", std::intptr_t{0}, Msg, WParam, LParam);
}

void TMainForm::ApplyMenuView()
{
    actViewTop->setChecked(::Settings.TopView);
    SetTopMost(::Settings.TopView);
    // Without a notification area the menu window is the only way into the program: it stays shown.
    const bool TrayAvailable = QSystemTrayIcon::isSystemTrayAvailable();
    actMenuVisible->setEnabled(TrayAvailable);
    if (::Settings.MenuVisible || !TrayAvailable) {
        actMenuVisible->setText(MenuHiddenCaption);
        actMenuVisible->setData(0);
        show();
        ShowHisListButton(UnseenCall);
    } else {
        actMenuVisible->setText(MenuVisibleCaption);
        actMenuVisible->setData(1);
        hide();
    }
    SyncOptionItems();
}

// The menu window is as wide as designed and as high as its menu bar and tool bar need: the designed
// height leaves no room for the tool bar's captions in the fonts found here.
void TMainForm::FitMenuWindow()
{
    const int Height = mmMain->sizeHint().height() + tbarTool->sizeHint().height();
    setFixedSize(ScaleByDpi(MenuWidth, true), std::max(ScaleByDpi(MenuHeight, true), Height));
}
