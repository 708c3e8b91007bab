// The pages "着信対応履歴", "画面・表示" and "自動バックアップ". Each holds a number edit with its
// up-down; the three edits share their rules.

#include "main/settings/Env.h"
#include "main/settings/EnvControls.h"
#include "main/settings/Settings.h"
#include "platform/ui/ClosedInput.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

using namespace EnvControls;

// ---------------------------------------------------------------------------------------------------
// Pages

void TEnvironment::CreateRecvHisPage()
{
    QWidget* Page = tabstRecvHis;
    auto* Layout = new QVBoxLayout(Page);

    gbxSearch = New<QGroupBox>(Page, "gbxSearch", QStringLiteral("照会方法"));
    auto* Search = new QVBoxLayout(gbxSearch);
    chkEarlierSearch = NewCheck(gbxSearch, "chkEarlierSearch", QStringLiteral("登録した名簿情報を先に検索する"));
    chkNewDataView = NewCheck(gbxSearch, "chkNewDataView", QStringLiteral("新しい着信情報を優先して表示する"));
    chkAutoAdd =
        NewCheck(gbxSearch, "chkAutoAdd", QStringLiteral("表示中の照会情報を自動登録してから新しい情報を表示する"));
    chkSameTelUpdate = NewCheck(gbxSearch, "chkSameTelUpdate", QStringLiteral("同じ電話番号のデータは更新する"));
    chkBeforeSelectItems =
        NewCheck(gbxSearch, "chkBeforeSelectItems", QStringLiteral("前回の着信時の選択項目内容を参照する"));
    chkBeforeRecvDateTime = NewCheck(gbxSearch, "chkBeforeRecvDateTime", QStringLiteral("前回の着信日時を参照する"));
    Search->addWidget(chkEarlierSearch);
    Search->addWidget(chkNewDataView);
    auto* AutoAddRow = new QHBoxLayout;
    AutoAddRow->addSpacing(20);
    AutoAddRow->addWidget(chkAutoAdd);
    Search->addLayout(AutoAddRow);
    auto* SameTelRow = new QHBoxLayout;
    SameTelRow->addSpacing(40);
    SameTelRow->addWidget(chkSameTelUpdate);
    Search->addLayout(SameTelRow);
    Search->addWidget(chkBeforeSelectItems);
    Search->addWidget(chkBeforeRecvDateTime);
    Layout->addWidget(gbxSearch);

    gbxAutoDel = New<QGroupBox>(Page, "gbxAutoDel", QStringLiteral("自動削除"));
    auto* AutoDel = new QVBoxLayout(gbxAutoDel);
    chkAutoDel = NewCheck(gbxAutoDel, "chkAutoDel", QStringLiteral("一定の期間が経過したデータを自動的に削除する"));
    lblAutoDelNote =
        RedLabel(gbxAutoDel, "lblAutoDelNote", QStringLiteral("※アプリケーションを起動した時のみ処理します"));
    lblAutoDel1 = NewLabel(gbxAutoDel, "lblAutoDel1", QString());
    edtDeleteDay = NewEdit(gbxAutoDel, "edtDeleteDay", 32767);
    CloseInputMethod(edtDeleteDay);
    edtDeleteDay->setFixedWidth(44);
    edtDeleteDay->setAlignment(Qt::AlignRight);
    udDeleteDay = New<TNumberUpDown>(gbxAutoDel, "udDeleteDay", 1, 14);
    lblAutoDel2 = NewLabel(gbxAutoDel, "lblAutoDel2", QStringLiteral("日以上前のデータを削除"));
    chkAutoDelConfirm = NewCheck(gbxAutoDel, "chkAutoDelConfirm", QStringLiteral("削除確認のダイアログを表示する"));
    AutoDel->addWidget(chkAutoDel);
    auto* DayRow = new QHBoxLayout;
    DayRow->setSpacing(2);
    DayRow->addSpacing(20);
    DayRow->addWidget(lblAutoDel1);
    DayRow->addWidget(edtDeleteDay);
    DayRow->addWidget(udDeleteDay);
    DayRow->addSpacing(4);
    DayRow->addWidget(lblAutoDel2);
    DayRow->addStretch();
    AutoDel->addLayout(DayRow);
    auto* ConfirmRow = new QHBoxLayout;
    ConfirmRow->addSpacing(20);
    ConfirmRow->addWidget(chkAutoDelConfirm);
    AutoDel->addLayout(ConfirmRow);
    AutoDel->addWidget(lblAutoDelNote);
    Layout->addWidget(gbxAutoDel);
    Layout->addStretch();

    connect(chkNewDataView, &QCheckBox::clicked, this, &TEnvironment::chkNewDataViewClick);
    connect(chkAutoAdd, &QCheckBox::clicked, this, &TEnvironment::chkAutoAddClick);
    connect(chkAutoDel, &QCheckBox::clicked, this, &TEnvironment::chkAutoDelClick);
    Route(edtDeleteDay, {.Enter = [this] { edtDeleteDayEnter(); },
                         .Exit = [this] { edtDeleteDayExit(); },
                         .KeyDown = [this](QKeyEvent* Key) { return edtNumKeyDown(edtDeleteDay, Key); },
                         .KeyPress = [this](QKeyEvent* Key) { return edtDeleteDayKeyPress(Key); }});
    udDeleteDay->OnChanging = [this](int NewValue) { return udDeleteDayChangingEx(NewValue); };
}

void TEnvironment::CreateDisplayViewPage()
{
    QWidget* Page = tabstDisplayView;
    auto* Layout = new QVBoxLayout(Page);

    gbxListMax = New<QGroupBox>(Page, "gbxListMax", QStringLiteral("一覧の表示件数"));
    auto* ListRow = new QHBoxLayout(gbxListMax);
    ListRow->setSpacing(2);
    lblListMax1 = NewLabel(gbxListMax, "lblListMax1", QStringLiteral("1ページに"));
    edtListMaxCount = NewEdit(gbxListMax, "edtListMaxCount", 4);
    CloseInputMethod(edtListMaxCount);
    edtListMaxCount->setProperty("Tag", 1);
    edtListMaxCount->setFixedWidth(56);
    edtListMaxCount->setAlignment(Qt::AlignRight);
    udListMaxCount = New<TNumberUpDown>(gbxListMax, "udListMaxCount", 1, 1000);
    lblListMax2 = NewLabel(gbxListMax, "lblListMax2", QStringLiteral("件のデータを表示する"));
    ListRow->addWidget(lblListMax1);
    ListRow->addSpacing(4);
    ListRow->addWidget(edtListMaxCount);
    ListRow->addWidget(udListMaxCount);
    ListRow->addSpacing(4);
    ListRow->addWidget(lblListMax2);
    ListRow->addStretch();
    Layout->addWidget(gbxListMax);

    gbxSelectItem = New<QGroupBox>(Page, "gbxSelectItem", QStringLiteral("選択項目名称"));
    auto* ItemRow = new QHBoxLayout(gbxSelectItem);
    edtSelectItem1 = NewEdit(gbxSelectItem, "edtSelectItem1", 10);
    edtSelectItem2 = NewEdit(gbxSelectItem, "edtSelectItem2", 10);
    edtSelectItem3 = NewEdit(gbxSelectItem, "edtSelectItem3", 10);
    const char* const Names[3] = {"lblSelectItem1", "lblSelectItem2", "lblSelectItem3"};
    const QString Captions[3] = {QStringLiteral("１"), QStringLiteral("２"), QStringLiteral("３")};
    QLineEdit* const Edits[3] = {edtSelectItem1, edtSelectItem2, edtSelectItem3};
    for (int I = 0; I < 3; ++I) {
        ItemRow->addWidget(NewLabel(gbxSelectItem, Names[I], Captions[I]));
        ItemRow->addWidget(Edits[I], 1);
        if (I < 2)
            ItemRow->addSpacing(8);
    }
    Layout->addWidget(gbxSelectItem);

    gbxViewTop = New<QGroupBox>(Page, "gbxViewTop", QStringLiteral("画面を前面に表示"));
    chkViewTop = NewCheck(gbxViewTop, "chkViewTop", QStringLiteral("メニューや各画面を常に前面に表示する"));
    (new QVBoxLayout(gbxViewTop))->addWidget(chkViewTop);
    Layout->addWidget(gbxViewTop);

    gbxMenu = New<QGroupBox>(Page, "gbxMenu", QStringLiteral("メニューの表示"));
    auto* Menu = new QVBoxLayout(gbxMenu);
    chkMenuVisible = NewCheck(gbxMenu, "chkMenuVisible", QStringLiteral("メニューをデスクトップに表示する"));
    chkMenuMsgView =
        NewCheck(gbxMenu, "chkMenuMsgView", QStringLiteral("メニューからの終了時に確認ダイアログを表示する"));
    Menu->addWidget(chkMenuVisible);
    auto* MsgRow = new QHBoxLayout;
    MsgRow->addSpacing(20);
    MsgRow->addWidget(chkMenuMsgView);
    Menu->addLayout(MsgRow);
    Layout->addWidget(gbxMenu);
    Layout->addStretch();

    connect(chkMenuVisible, &QCheckBox::clicked, this, &TEnvironment::chkMenuVisibleClick);
    Route(edtListMaxCount, {.Enter = [this] { edtListMaxCountEnter(); },
                            .Exit = [this] { edtListMaxCountExit(); },
                            .KeyDown = [this](QKeyEvent* Key) { return edtNumKeyDown(edtListMaxCount, Key); },
                            .KeyPress = [this](QKeyEvent* Key) { return edtListMaxCountKeyPress(Key); }});
    udListMaxCount->OnChanging = [this](int NewValue) { return udListMaxCountChangingEx(NewValue); };
}

void TEnvironment::CreateBUPage()
{
    QWidget* Page = tabstBU;
    auto* Layout = new QVBoxLayout(Page);

    gbxAutoBackUp = New<QGroupBox>(Page, "gbxAutoBackUp", QStringLiteral("自動バックアップ"));
    auto* Group = new QVBoxLayout(gbxAutoBackUp);
    chkAutoBU = NewCheck(gbxAutoBackUp, "chkAutoBU",
                         QStringLiteral("アプリケーションの起動時に自動でデータのバックアップをおこなう"));
    lblAutoBU1 = NewLabel(gbxAutoBackUp, "lblAutoBU1", QStringLiteral("過去"));
    edtAutoBU = NewEdit(gbxAutoBackUp, "edtAutoBU", 4);
    CloseInputMethod(edtAutoBU);
    edtAutoBU->setProperty("Tag", 1);
    edtAutoBU->setFixedWidth(44);
    edtAutoBU->setAlignment(Qt::AlignRight);
    udAutoBUCount = New<TNumberUpDown>(gbxAutoBackUp, "udAutoBUCount", 1, 9);
    lblAutoBU2 = NewLabel(gbxAutoBackUp, "lblAutoBU2", QStringLiteral("世代分のデータをバックアップ"));
    Group->addWidget(chkAutoBU);
    auto* CountRow = new QHBoxLayout;
    CountRow->setSpacing(2);
    CountRow->addSpacing(20);
    CountRow->addWidget(lblAutoBU1);
    CountRow->addSpacing(4);
    CountRow->addWidget(edtAutoBU);
    CountRow->addWidget(udAutoBUCount);
    CountRow->addSpacing(4);
    CountRow->addWidget(lblAutoBU2);
    CountRow->addStretch();
    Group->addLayout(CountRow);

    lblAtention1 = NewLabel(gbxAutoBackUp, "lblAtention1",
                            QStringLiteral("※現在設定中の世代数よりも少ない世代数が指定されています。"));
    lblAtention2 = NewLabel(gbxAutoBackUp, "lblAtention2", QStringLiteral("このまま設定をおこなうと"));
    lblGeneration = RedLabel(gbxAutoBackUp, "lblGeneration", QString());
    lblAtention3 = NewLabel(gbxAutoBackUp, "lblAtention3",
                            QStringLiteral("が既に作成されている場合、それらのデータは以後更新されなくなります。"));
    lblAtention3->setWordWrap(true);
    auto* Warning = new QGridLayout;
    Warning->setContentsMargins(20, 6, 0, 0);
    Warning->addWidget(lblAtention1, 0, 0, 1, 2);
    Warning->addWidget(lblAtention2, 1, 0, 1, 2);
    Warning->addWidget(lblGeneration, 2, 0, 1, 2);
    Warning->addWidget(lblAtention3, 3, 0, 1, 2);
    Group->addLayout(Warning);
    Layout->addWidget(gbxAutoBackUp);
    Layout->addStretch();

    connect(chkAutoBU, &QCheckBox::clicked, this, &TEnvironment::chkAutoBUClick);
    connect(edtAutoBU, &QLineEdit::textChanged, this, &TEnvironment::edtAutoBUChange);
    Route(edtAutoBU, {.Enter = [this] { edtAutoBUEnter(); },
                      .Exit = [this] { edtAutoBUExit(); },
                      .KeyDown = [this](QKeyEvent* Key) { return edtAutoBUKeyDown(Key); },
                      .KeyPress = [this](QKeyEvent* Key) { return edtAutoBUKeyPress(Key); }});
    udAutoBUCount->OnChanging = [this](int NewValue) { return udAutoBUCountChangingEx(NewValue); };
}

void TEnvironment::chkNewDataViewClick()
{
    chkAutoAdd->setEnabled(chkNewDataView->isChecked());
    chkSameTelUpdate->setEnabled(chkNewDataView->isChecked() && chkAutoAdd->isChecked());
}

void TEnvironment::chkAutoAddClick()
{
    chkSameTelUpdate->setEnabled(chkAutoAdd->isChecked());
}

void TEnvironment::chkAutoDelClick()
{
    SetEnabled({lblAutoDel1, edtDeleteDay, udDeleteDay, lblAutoDel2, chkAutoDelConfirm}, chkAutoDel->isChecked());
}

void TEnvironment::chkMenuVisibleClick()
{
    chkMenuMsgView->setEnabled(chkMenuVisible->isChecked());
}

void TEnvironment::chkAutoBUClick()
{
    const bool On = chkAutoBU->isChecked();
    SetEnabled({edtAutoBU, udAutoBUCount, lblAutoBU1, lblAutoBU2}, On);
    if (!lblAtention1->isHidden())
        SetEnabled({lblAtention1, lblAtention2, lblGeneration, lblAtention3}, On);
}

void TEnvironment::edtAutoBUChange()
{
    ShowGenerationWarning(GenerationWarning(edtAutoBU->text(), Settings.AutoBUCount));
}

void TEnvironment::ShowGenerationWarning(const TGenerationWarning& Warning)
{
    if (Warning.State == TGenerationWarning::EState::Unchanged)
        return;
    const bool Shown = Warning.State == TGenerationWarning::EState::Shown;
    lblGeneration->setText(Warning.Generation);
    for (QLabel* Label : {lblAtention1, lblAtention2, lblGeneration, lblAtention3}) {
        Label->setVisible(Shown);
        Label->setEnabled(chkAutoBU->isChecked());
    }
}

// ---------------------------------------------------------------------------------------------------
// Number edits

void TEnvironment::edtDeleteDayEnter()
{
    LastDeleteDay = qint16(udDeleteDay->Position());
}

void TEnvironment::edtDeleteDayExit()
{
    NumberEditExit(edtDeleteDay, udDeleteDay, LastDeleteDay);
}

bool TEnvironment::edtDeleteDayKeyPress(QKeyEvent* Key)
{
    return NumberEditKeyPress(Key, edtDeleteDay, udDeleteDay, LastDeleteDay, chkAutoDelConfirm);
}

bool TEnvironment::udDeleteDayChangingEx(int NewValue)
{
    return UpDownChanging(edtDeleteDay, LastDeleteDay, NewValue);
}

void TEnvironment::edtListMaxCountEnter()
{
    LastListMaxCount = qint16(udListMaxCount->Position());
}

void TEnvironment::edtListMaxCountExit()
{
    NumberEditExit(edtListMaxCount, udListMaxCount, LastListMaxCount);
}

bool TEnvironment::edtListMaxCountKeyPress(QKeyEvent* Key)
{
    return NumberEditKeyPress(Key, edtListMaxCount, udListMaxCount, LastListMaxCount, edtSelectItem1);
}

bool TEnvironment::udListMaxCountChangingEx(int NewValue)
{
    return UpDownChanging(edtListMaxCount, LastListMaxCount, NewValue);
}

// Both long-range edits: the edit's Tag picks its up-down, the page keys step by ten.
bool TEnvironment::edtNumKeyDown(QLineEdit* Sender, QKeyEvent* Key)
{
    return StepUpDown(Sender->property("Tag").toInt() == 1 ? udListMaxCount : udDeleteDay, Key->key(), 10);
}

void TEnvironment::edtAutoBUEnter()
{
    LastAutoBUCount = qint16(udAutoBUCount->Position());
}

void TEnvironment::edtAutoBUExit()
{
    NumberEditExit(edtAutoBU, udAutoBUCount, LastAutoBUCount);
}

bool TEnvironment::edtAutoBUKeyPress(QKeyEvent* Key)
{
    return NumberEditKeyPress(Key, edtAutoBU, udAutoBUCount, LastAutoBUCount, btnSet);
}

// Nine generations at most: the page keys step by one.
bool TEnvironment::edtAutoBUKeyDown(QKeyEvent* Key)
{
    return StepUpDown(udAutoBUCount, Key->key(), 1);
}

bool TEnvironment::udAutoBUCountChangingEx(int NewValue)
{
    UpDownChanging(edtAutoBU, LastAutoBUCount, NewValue);
    ShowGenerationWarning(GenerationWarning(QString::number(NewValue), Settings.AutoBUCount));
    return true;
}

void TEnvironment::NumberEditExit(QLineEdit* Edit, TNumberUpDown* UpDown, qint16& Last)
{
    const std::optional<int> Value = AcceptNumberText(Edit->text(), UpDown->Min(), UpDown->Max());
    if (Value) {
        UpDown->SetPosition(*Value);
        Last = qint16(*Value);
    } else {
        // The up-down keeps the last accepted value, so what is stored is what the edit shows.
        UpDown->SetPosition(Last);
        Edit->setText(QString::number(Last));
    }
}

// Enter takes the number; the focus moves on to Next only when it stood as it was.
bool TEnvironment::NumberEditKeyPress(QKeyEvent* Key, QLineEdit* Edit, TNumberUpDown* UpDown, qint16& Last,
                                      QWidget* Next)
{
    if (!IsEnterKey(Key))
        return false;
    const int Before = UpDown->Position();
    NumberEditExit(Edit, UpDown, Last);
    if (UpDown->Position() == Before)
        FocusEnd(Next);
    return true;
}

bool TEnvironment::UpDownChanging(QLineEdit* Edit, qint16& Last, int NewValue)
{
    Last = qint16(NewValue);
    Edit->setText(QString::number(NewValue));
    Edit->selectAll();
    return true;
}
