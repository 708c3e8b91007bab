#include "directory/search/MeiboSch.h"

#include "calls/SearchParts.h"
#include "main/common/CommonText.h"
#include "main/controls/NMDEdit.h"
#include "platform/ui/ClosedInput.h"
#include "platform/ui/WindowScript.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TMeiboSearch::TMeiboSearch(QWidget* Owner) : QDialog(Owner)
{
    setObjectName(QStringLiteral("MeiboSearch"));
    setWindowTitle(QStringLiteral("登録名簿　検索条件"));
    ScriptWindow(this);
    setProperty("HelpContext", 38);

    auto Make = [](auto* Widget, const char* Name) {
        Widget->setObjectName(QLatin1String(Name));
        return Widget;
    };
    edtTel = Make(new QLineEdit(this), "edtTel");
    edtAdrs = Make(new QLineEdit(this), "edtAdrs");
    edtCorp = Make(new QLineEdit(this), "edtCorp");
    edtCorpKanji = Make(new QLineEdit(this), "edtCorpKanji");
    edtName = Make(new QLineEdit(this), "edtName");
    edtNameKanji = Make(new QLineEdit(this), "edtNameKanji");
    rbAnd = Make(new QRadioButton(QStringLiteral("すべての条件が一致したデータを表示する"), this), "rbAnd");
    rbOr = Make(new QRadioButton(QStringLiteral("いずれかの条件が一致したデータを表示する"), this), "rbOr");
    rbAnd->setProperty("Tag", 0);
    rbOr->setProperty("Tag", 1);
    btnSearch = Make(new QPushButton(QStringLiteral("検索(&S)"), this), "btnSearch");
    btnClear = Make(new QPushButton(QStringLiteral("クリア(&R)"), this), "btnClear");
    btnCancel = Make(new QPushButton(QStringLiteral("キャンセル"), this), "btnCancel");

    // A number is typed in plain digits; the other texts go through the input method.
    edtTel->setMaxLength(TMeiboSearchCondition::TelWidth);
    CloseInputMethod(edtTel);
    SearchParts::LimitBytes(edtAdrs, TMeiboSearchCondition::AdrsWidth);
    SearchParts::LimitBytes(edtCorp, TMeiboSearchCondition::CorpKanaWidth);
    SearchParts::LimitBytes(edtCorpKanji, 80);
    SearchParts::LimitBytes(edtName, TMeiboSearchCondition::NameKanaWidth);
    SearchParts::LimitBytes(edtNameKanji, 20);

    auto* Conditions = new QGroupBox(QStringLiteral("検索条件"), this);
    auto* Grid = new QGridLayout(Conditions);
    Grid->addWidget(SearchParts::BuddyLabel(Conditions, QStringLiteral("電話番号"), edtTel), 0, 0);
    Grid->addWidget(edtTel, 0, 1);
    Grid->addWidget(SearchParts::BuddyLabel(Conditions, QStringLiteral("住所"), edtAdrs), 1, 0);
    Grid->addWidget(edtAdrs, 1, 1, 1, 3);
    SearchParts::AddNameRows(Grid, 2, edtCorp, edtCorpKanji, edtName, edtNameKanji);
    SearchParts::LayOutDialog(this, Conditions, rbAnd, rbOr, btnSearch, btnClear, btnCancel);
    setTabOrder(edtTel, edtAdrs);
    setTabOrder(edtAdrs, edtCorp);
    setTabOrder(edtCorp, edtCorpKanji);
    setTabOrder(edtCorpKanji, edtName);
    setTabOrder(edtName, edtNameKanji);

    // Enter moves through the controls; the buttons answer it themselves.
    for (QWidget* Widget :
         std::initializer_list<QWidget*>{edtTel, edtAdrs, edtCorp, edtCorpKanji, edtName, edtNameKanji, rbAnd, rbOr})
        Widget->installEventFilter(this);

    connect(btnSearch, &QPushButton::clicked, this, &TMeiboSearch::btnSearchClick);
    connect(btnClear, &QPushButton::clicked, this, &TMeiboSearch::btnClearClick);
    connect(btnCancel, &QPushButton::clicked, this, &TMeiboSearch::btnCancelClick);
    connect(rbAnd, &QRadioButton::toggled, this, &TMeiboSearch::rbOptionClick);
    connect(rbOr, &QRadioButton::toggled, this, &TMeiboSearch::rbOptionClick);
    FormCreate();
}

void TMeiboSearch::FormCreate()
{
    btnClearClick();
}

void TMeiboSearch::rbOptionClick()
{
    SearchParts::ShowChosenOption(rbAnd, rbOr);
}

void TMeiboSearch::btnClearClick()
{
    for (QLineEdit* Edit : {edtTel, edtAdrs, edtCorp, edtCorpKanji, edtName, edtNameKanji})
        Edit->clear();
    rbAnd->setChecked(true);
    rbOptionClick();
}

void TMeiboSearch::btnSearchClick()
{
    done(1);
}

void TMeiboSearch::btnCancelClick()
{
    done(2);
}

void TMeiboSearch::reject()
{
    done(2);
}

void TMeiboSearch::LoadConditions(const TMeiboSearchCondition& Condition)
{
    if (!Condition.HasConditions) {
        btnClearClick();
        return;
    }
    edtTel->setText(Condition.Tel);
    edtAdrs->setText(Condition.Adrs);
    edtCorp->setText(Condition.CorpKana);
    edtCorpKanji->setText(Condition.CorpKanji);
    edtName->setText(Condition.NameKana);
    edtNameKanji->setText(Condition.NameKanji);
    (Condition.OrMode ? rbOr : rbAnd)->setChecked(true);
    rbOptionClick();
}

void TMeiboSearch::StoreConditions(TMeiboSearchCondition& Condition) const
{
    bool Blank = true;
    for (const QLineEdit* Edit : {edtTel, edtAdrs, edtCorp, edtCorpKanji, edtName, edtNameKanji})
        Blank = Blank && TrimBlanks(Edit->text()).isEmpty();
    if (Blank) {
        Condition.HasConditions = false;
        return;
    }
    Condition.HasConditions = true;
    Condition.Tel = DigitsOnly(edtTel->text());
    Condition.Adrs = TrimBlanks(edtAdrs->text());
    Condition.CorpKana = TrimBlanks(edtCorp->text());
    Condition.CorpKanji = TrimBlanks(edtCorpKanji->text());
    Condition.NameKana = TrimBlanks(edtName->text());
    Condition.NameKanji = TrimBlanks(edtNameKanji->text());
    Condition.OrMode = !rbAnd->isChecked();
    Condition.CutToWidths();
}

bool TMeiboSearch::edtNameKeyPress(QWidget* Edit, QInputMethodEvent* Input)
{
    return CommitAsHalfKana(Edit, Input);
}

bool TMeiboSearch::NextFocusKeyPress(QObject* Watched)
{
    if (Watched == edtNameKanji) {
        (rbOr->isChecked() ? rbOr : rbAnd)->setFocus(Qt::TabFocusReason);
    } else if (Watched == rbAnd || Watched == rbOr) {
        btnSearch->setFocus(Qt::TabFocusReason);
    } else {
        focusNextChild();
        SearchParts::FocusAtEnd(focusWidget());
    }
    return true;
}

bool TMeiboSearch::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Event->type() == QEvent::InputMethod && (Watched == edtCorp || Watched == edtName))
        return edtNameKeyPress(static_cast<QWidget*>(Watched), static_cast<QInputMethodEvent*>(Event));
    if (Event->type() == QEvent::KeyPress) {
        const auto* Key = static_cast<QKeyEvent*>(Event);
        // Enter is never passed on to the control.
        if (Key->key() == Qt::Key_Return || Key->key() == Qt::Key_Enter)
            return NextFocusKeyPress(Watched);
    }
    return QDialog::eventFilter(Watched, Event);
}
