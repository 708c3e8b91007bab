#include "calls/HisSch.h"

#include "main/common/CommonText.h"
#include "main/common/FormParts.h"
#include "main/controls/NMDEdit.h"
#include "platform/sys/Folders.h"
#include "platform/text/Cp932.h"

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

// Keeps an edit within a number of CP932 bytes, as the record's fields count them.
void LimitBytes(QLineEdit* Edit, int Bytes)
{
    QObject::connect(Edit, &QLineEdit::textEdited, Edit, [Edit, Bytes](const QString& Text) {
        if (Cp932Width(Text) > Bytes) {
            const int Cursor = Edit->cursorPosition();
            Edit->setText(MbcsLeft(Text, Bytes));
            Edit->setCursorPosition(std::min(Cursor, static_cast<int>(Edit->text().size())));
        }
    });
}

void FocusAtEnd(QWidget* Widget)
{
    Widget->setFocus(Qt::TabFocusReason);
    if (auto* Edit = qobject_cast<QLineEdit*>(Widget)) {
        Edit->deselect();
        Edit->setCursorPosition(static_cast<int>(Edit->text().size()));
    }
}

} // namespace

THistorySearch::THistorySearch(QWidget* Owner) : QDialog(Owner)
{
    setObjectName(QStringLiteral("HistorySearch"));
    setWindowTitle(QStringLiteral("着信対応履歴　検索条件"));

    auto Make = [this](auto* Widget, const char* Name) {
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
    edtTel->setAttribute(Qt::WA_InputMethodEnabled, false);
    LimitBytes(edtCorp, 80);
    LimitBytes(edtCorpKanji, 80);
    LimitBytes(edtName, 20);
    LimitBytes(edtNameKanji, 20);
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
    auto Label = [Conditions](const QString& Text, QWidget* Buddy) {
        auto* L = new QLabel(Text, Conditions);
        L->setBuddy(Buddy);
        return L;
    };
    Grid->addWidget(Label(QStringLiteral("電話番号"), edtTel), 1, 0);
    Grid->addWidget(edtTel, 1, 1);
    Grid->addWidget(Label(QStringLiteral("会社名カナ"), edtCorp), 2, 0);
    Grid->addWidget(edtCorp, 2, 1);
    Grid->addWidget(Label(QStringLiteral("漢字"), edtCorpKanji), 2, 2);
    Grid->addWidget(edtCorpKanji, 2, 3);
    Grid->addWidget(Label(QStringLiteral("名前カナ"), edtName), 3, 0);
    Grid->addWidget(edtName, 3, 1);
    Grid->addWidget(Label(QStringLiteral("漢字"), edtNameKanji), 3, 2);
    Grid->addWidget(edtNameKanji, 3, 3);
    Grid->setColumnMinimumWidth(1, 160);
    Grid->setColumnMinimumWidth(3, 160);

    auto* Options = new QGroupBox(QStringLiteral("オプション"), this);
    auto* OptionLayout = new QVBoxLayout(Options);
    OptionLayout->addWidget(rbAnd);
    OptionLayout->addWidget(rbOr);

    auto* Buttons = new QHBoxLayout;
    Buttons->addStretch();
    Buttons->addWidget(btnSearch);
    Buttons->addWidget(btnClear);
    Buttons->addWidget(btnCancel);

    auto* Layout = new QVBoxLayout(this);
    Layout->addWidget(Conditions);
    Layout->addWidget(Options);
    Layout->addLayout(Buttons);

    // Enter moves through the controls; the buttons answer it themselves.
    for (QWidget* Widget : std::initializer_list<QWidget*>{chkDate, dtpBeginDate, dtpEndDate, edtTel, edtCorp,
                                                           edtCorpKanji, edtName, edtNameKanji, rbAnd, rbOr})
        Widget->installEventFilter(this);
    for (QPushButton* Button : {btnSearch, btnClear, btnCancel}) {
        Button->setAutoDefault(true);
    }

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
    SetCaptionColor(rbAnd, rbAnd->isChecked() ? QColor(0, 0, 255) : palette().color(QPalette::WindowText));
    SetCaptionColor(rbOr, rbOr->isChecked() ? QColor(0, 0, 255) : palette().color(QPalette::WindowText));
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
            FocusAtEnd(edtTel);
    } else if (Watched == edtNameKanji) {
        (rbOr->isChecked() ? rbOr : rbAnd)->setFocus(Qt::TabFocusReason);
    } else if (Watched == rbAnd || Watched == rbOr) {
        btnSearch->setFocus(Qt::TabFocusReason);
    } else {
        focusNextChild();
        FocusAtEnd(focusWidget());
    }
    return true;
}
