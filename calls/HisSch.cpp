#include "calls/HisSch.h"

#include "calls/SearchParts.h"
#include "main/common/CommonText.h"
#include "main/controls/NMDEdit.h"
#include "platform/sys/Folders.h"
#include "platform/ui/ClosedInput.h"
#include "platform/ui/WindowScript.h"

#include <QCheckBox>
#include <QDateEdit>
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

namespace {

const QDate EarliestDate(1980, 1, 1);

// Days since 1899-12-30, as the tables keep dates.
double DateToDays(const QDate& Date)
{
    return static_cast<double>(QDate(1899, 12, 30).daysTo(Date));
}

QDate DaysToDate(double Days)
{
    return QDate(1899, 12, 30).addDays(static_cast<qint64>(std::trunc(Days)));
}

} // namespace

THistorySearch::THistorySearch(QWidget* Owner) : QDialog(Owner)
{
    setObjectName(QStringLiteral("HistorySearch"));
    setWindowTitle(QStringLiteral("着信対応履歴　検索条件"));
    ScriptWindow(this);

    auto Make = [](auto* Widget, const char* Name) {
        Widget->setObjectName(QLatin1String(Name));
        return Widget;
    };
    chkDate = Make(new QCheckBox(QStringLiteral("日付"), this), "chkDate");
    dtpBeginDate = Make(new QDateEdit(this), "dtpBeginDate");
    dtpEndDate = Make(new QDateEdit(this), "dtpEndDate");
    edtTel = Make(new QLineEdit(this), "edtTel");
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

    // A number is typed in plain digits; the names go through the input method.
    edtTel->setMaxLength(13);
    CloseInputMethod(edtTel);
    SearchParts::LimitBytes(edtCorp, 80);
    SearchParts::LimitBytes(edtCorpKanji, 80);
    SearchParts::LimitBytes(edtName, 20);
    SearchParts::LimitBytes(edtNameKanji, 20);
    for (QDateEdit* Picker : {dtpBeginDate, dtpEndDate}) {
        Picker->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
        Picker->setCalendarPopup(true);
    }

    auto* Conditions = new QGroupBox(QStringLiteral("検索条件"), this);
    auto* Grid = new QGridLayout(Conditions);
    auto* Dates = new QHBoxLayout;
    Dates->addWidget(dtpBeginDate);
    Dates->addWidget(new QLabel(QStringLiteral("～"), Conditions));
    Dates->addWidget(dtpEndDate);
    Dates->addStretch();
    Grid->addWidget(chkDate, 0, 0);
    Grid->addLayout(Dates, 0, 1, 1, 3);
    Grid->addWidget(SearchParts::BuddyLabel(Conditions, QStringLiteral("電話番号"), edtTel), 1, 0);
    Grid->addWidget(edtTel, 1, 1);
    SearchParts::AddNameRows(Grid, 2, edtCorp, edtCorpKanji, edtName, edtNameKanji);
    SearchParts::LayOutDialog(this, Conditions, rbAnd, rbOr, btnSearch, btnClear, btnCancel);

    // Enter moves through the controls; the buttons answer it themselves.
    for (QWidget* Widget : std::initializer_list<QWidget*>{chkDate, dtpBeginDate, dtpEndDate, edtTel, edtCorp,
                                                           edtCorpKanji, edtName, edtNameKanji, rbAnd, rbOr})
        Widget->installEventFilter(this);

    connect(btnSearch, &QPushButton::clicked, this, &THistorySearch::btnSearchClick);
    connect(btnClear, &QPushButton::clicked, this, &THistorySearch::btnClearClick);
    connect(btnCancel, &QPushButton::clicked, this, &THistorySearch::btnCancelClick);
    connect(dtpBeginDate, &QDateEdit::dateChanged, this, &THistorySearch::dtpBeginDateChange);
    connect(chkDate, &QCheckBox::clicked, this, &THistorySearch::chkDateClick);
    connect(rbAnd, &QRadioButton::toggled, this, &THistorySearch::rbOptionClick);
    connect(rbOr, &QRadioButton::toggled, this, &THistorySearch::rbOptionClick);
    FormCreate();
}

void THistorySearch::FormCreate()
{
    const QDate Today = QDate::currentDate();
    dtpBeginDate->setDateRange(EarliestDate, Today);
    dtpEndDate->setDateRange(Today, Today);
    btnClearClick();
}

void THistorySearch::SetDatesEnabled(bool Enabled)
{
    for (QDateEdit* Picker : {dtpBeginDate, dtpEndDate}) {
        Picker->setEnabled(Enabled);
        QPalette Palette = Picker->palette();
        Palette.setColor(QPalette::Base, Enabled ? palette().color(QPalette::Base) : palette().color(QPalette::Button));
        Picker->setPalette(Palette);
    }
}

void THistorySearch::dtpBeginDateChange()
{
    // The end can never lie before the beginning; both end today at the latest.
    dtpEndDate->setDateRange(dtpBeginDate->date(), QDate::currentDate());
}

void THistorySearch::chkDateClick()
{
    SetDatesEnabled(chkDate->isChecked());
}

void THistorySearch::rbOptionClick()
{
    SearchParts::ShowChosenOption(rbAnd, rbOr);
}

void THistorySearch::btnClearClick()
{
    const QDate Today = QDate::currentDate();
    chkDate->setChecked(false);
    SetDatesEnabled(false);
    dtpBeginDate->setDate(Today);
    dtpEndDate->setDate(Today);
    for (QLineEdit* Edit : {edtTel, edtCorp, edtCorpKanji, edtName, edtNameKanji})
        Edit->clear();
    rbAnd->setChecked(true);
    rbOptionClick();
}

void THistorySearch::btnSearchClick()
{
    done(1);
}

void THistorySearch::btnCancelClick()
{
    done(2);
}

void THistorySearch::reject()
{
    done(2);
}

void THistorySearch::LoadConditions(const THistorySearchCondition& Condition)
{
    if (!Condition.HasConditions) {
        btnClearClick();
        return;
    }
    const QDate Today = QDate::currentDate();
    if (Condition.FromDate != 0 && Condition.ToDate != 0) {
        chkDate->setChecked(true);
        const QDate From = DaysToDate(Condition.FromDate);
        dtpBeginDate->setDate(From);
        dtpEndDate->setDate(Condition.ToDate < Condition.FromDate ? From : DaysToDate(Condition.ToDate));
    } else {
        chkDate->setChecked(false);
        dtpBeginDate->setDate(Today);
        dtpEndDate->setDate(Today);
    }
    SetDatesEnabled(chkDate->isChecked());
    edtTel->setText(Condition.Tel);
    edtCorp->setText(Condition.CorpKana);
    edtCorpKanji->setText(Condition.CorpKanji);
    edtName->setText(Condition.NameKana);
    edtNameKanji->setText(Condition.NameKanji);
    (Condition.OrMode ? rbOr : rbAnd)->setChecked(true);
    rbOptionClick();
}

void THistorySearch::StoreConditions(THistorySearchCondition& Condition) const
{
    const bool Blank = TrimBlanks(edtTel->text()).isEmpty() && TrimBlanks(edtCorp->text()).isEmpty() &&
                       TrimBlanks(edtCorpKanji->text()).isEmpty() && TrimBlanks(edtName->text()).isEmpty() &&
                       TrimBlanks(edtNameKanji->text()).isEmpty();
    if (!chkDate->isChecked() && Blank) {
        Condition.HasConditions = false;
        return;
    }
    Condition.HasConditions = true;
    if (chkDate->isChecked()) {
        Condition.FromDate = DateToDays(dtpBeginDate->date());
        Condition.ToDate = DateToDays(dtpEndDate->date());
    } else {
        Condition.FromDate = 0;
        Condition.ToDate = 0;
    }
    Condition.Tel = DigitsOnly(edtTel->text());
    Condition.CorpKana = TrimBlanks(edtCorp->text());
    Condition.CorpKanji = TrimBlanks(edtCorpKanji->text());
    Condition.NameKana = TrimBlanks(edtName->text());
    Condition.NameKanji = TrimBlanks(edtNameKanji->text());
    Condition.OrMode = !rbAnd->isChecked();
    Condition.CutToWidths();
}

bool THistorySearch::edtKanaInputMethod(QWidget* Edit, QInputMethodEvent* Input)
{
    return CommitAsHalfKana(Edit, Input);
}

bool THistorySearch::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Event->type() == QEvent::InputMethod && (Watched == edtCorp || Watched == edtName))
        return edtKanaInputMethod(static_cast<QWidget*>(Watched), static_cast<QInputMethodEvent*>(Event));
    if (Event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(Watched, Event);
    const auto* Key = static_cast<QKeyEvent*>(Event);
    if (Key->key() != Qt::Key_Return && Key->key() != Qt::Key_Enter)
        return QDialog::eventFilter(Watched, Event);
    if (Watched == chkDate) {
        if (chkDate->isChecked())
            dtpBeginDate->setFocus(Qt::TabFocusReason);
        else
            SearchParts::FocusAtEnd(edtTel);
    } else if (Watched == edtNameKanji) {
        (rbOr->isChecked() ? rbOr : rbAnd)->setFocus(Qt::TabFocusReason);
    } else if (Watched == rbAnd || Watched == rbOr) {
        btnSearch->setFocus(Qt::TabFocusReason);
    } else {
        focusNextChild();
        SearchParts::FocusAtEnd(focusWidget());
    }
    return true;
}
