// The dictionary dialog's searches, its city and town lists and the decide step.

#include "directory/dic/AdrsDicClass.h"
#include "directory/dic/KykbnDicClass.h"
#include "directory/dic/PosDicClass.h"
#include "directory/dicdialog/DicSch.h"
#include "directory/dicdialog/DicTowns.h"
#include "main/common/CommonText.h"
#include "main/common/FormParts.h"
#include "main/common/MsgBoxPos.h"
#include "main/common/ProductInfo.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTreeWidget>

namespace {

// Nothing to show: the opener frees the dialog unseen.
constexpr int NothingToShow = 9;

const QString InvalidCharacters = QStringLiteral("数字とハイフン以外は無効です。");
const QString HyphensOnly = QStringLiteral("ハイフンのみは無効です。");
const QString NoSubscriber =
    QStringLiteral("該当するデータは見つかりませんでした。 局番検索結果から住所を選択してください。");
const QString NoAddress = QStringLiteral("該当する住所は見つかりませんでした。");
const QString ChooseTown[3] = {QStringLiteral("局番検索結果から住所を選択してください。"),
                               QStringLiteral("郵便番号検索結果から住所を選択してください。"),
                               QStringLiteral("住所検索結果から住所を選択してください。")};

// The libraries' data lies in the "Dic" folder beside them.
QString DicFolder(const TDicProgram& Program)
{
    return Program.ProgramFolder() + QStringLiteral("Dic/");
}

class TWaitCursor
{
public:
    TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

int TDicSearch::StartSearch(int Kind, const QString& Text)
{
    TTab* Tab = nullptr;
    switch (Kind) {
    case 0:
    case 1:
    case 4:
    case 5:
        Tab = &FTel;
        break;
    case 2:
        Tab = &FPos;
        break;
    case 3:
        Tab = &FAdrs;
        break;
    default:
        return 0;
    }
    QString Value = Text;
    if (Tab != &FAdrs) {
        Value = DigitsOnly(Text, KeepDigits | KeepHyphen);
        if (DigitsOnly(Value).isEmpty())
            Value.clear();
    }
    pgctlDicType->setCurrentWidget(Tab->Sheet);
    pgctlDicTypeChange();
    Tab->Edit->setText(Value);
    if (Value.isEmpty())
        return 0;
    int Result = 0;
    // A failure the search leaves over must not reach the opener: it would free the dialog as if the
    // user had stopped. The search tab then shows nothing.
    if (!Guarded([&] { Result = RunSearch(*Tab); }))
        Result = NothingToShow;
    if (FDecided)
        return 1;
    return Tab == &FTel ? Result : 0;
}

int TDicSearch::RunSearch(TTab& Tab)
{
    if (&Tab == &FTel)
        return TelSearch();
    return &Tab == &FPos ? PosSearch() : AdrsSearch();
}

// The telephone number's checks, shared with the postal code: the prompt says what is wrong.
bool TDicSearch::CheckNumber(TTab& Tab, const QString& Prompt)
{
    const QString Trimmed = Tab.Edit->text().trimmed();
    if (Trimmed.isEmpty())
        SetPrompt(Tab, Prompt, false);
    else if (Trimmed != DigitsOnly(Trimmed, KeepDigits | KeepHyphen))
        SetPrompt(Tab, InvalidCharacters, true);
    else if (DigitsOnly(Trimmed).isEmpty())
        SetPrompt(Tab, HyphensOnly, true);
    else
        return true;
    Tab.Edit->setFocus();
    return false;
}

int TDicSearch::TelSearch()
{
    if (!CheckNumber(FTel, QStringLiteral("検索する電話番号を入力してください。")))
        return NothingToShow;
    const QString Text = edtTelSch->text().trimmed();
    TWaitCursor Wait;
    const TDicCallerAnswer Answer = FProgram.IdentifyCaller(FEarlierSearch, Text, FCallerRecord);
    int Result = Answer == TDicCallerAnswer::Found ? 0 : NothingToShow;
    if (Answer == TDicCallerAnswer::Found) {
        FResultKind = DicResultCaller;
        btnDecisionClick();
        return 0;
    }
    // Whatever kept the caller unknown (no number dictionary, a wrong set-up path), the area code
    // still tells where the number belongs.
    if (Answer == TDicCallerAnswer::Unknown) {
        try {
            if (!FKykbn)
                FKykbn = std::make_unique<TKykbnSearch>(FProgram.ProgramFolder(), DicFolder(FProgram));
            QString Hyphenated;
            Result = FKykbn->Search(DigitsOnly(Text), &Hyphenated);
            if (Result == 0) {
                edtTelSch->setText(Hyphenated.trimmed());
                FTel.ListedCity = -1;
                FillCityList(FTel, CityCaptions(*FKykbn));
                // Said after the towns are listed: the user must learn that no subscriber was found.
                SetPrompt(FTel, NoSubscriber, false);
                if (isVisible())
                    lvTelCity->setFocus();
            } else if (Result == 4) {
                SetPrompt(FTel, QStringLiteral("入力した局番に誤りがあります。"), true);
            } else {
                SetPrompt(FTel, QStringLiteral("該当する局番は見つかりませんでした。"), true);
            }
        } catch (const Exception& E) {
            ShowError(E.Message());
            Result = NothingToShow;
        }
    }
    if (Result != 0) {
        ClearLists(FTel);
        return NothingToShow;
    }
    return 0;
}

int TDicSearch::PosSearch()
{
    if (!CheckNumber(FPos, QStringLiteral("検索する郵便番号を入力してください。")))
        return NothingToShow;
    return AddressSearch(
        FPos,
        [this] {
            if (!FPosDic)
                FPosDic = std::make_unique<TPosSearch>(FProgram.ProgramFolder(), DicFolder(FProgram));
            QString Normalised;
            const int Rc = FPosDic->Search(DigitsOnly(edtPosSch->text().trimmed()), &Normalised);
            if (Rc == 0)
                edtPosSch->setText(Normalised);
            return Rc;
        },
        [this] { return CityCaptions(*FPosDic); }, QStringLiteral("入力した郵便番号に誤りがあります。"));
}

int TDicSearch::AdrsSearch()
{
    const QString Text = edtAdrsSch->text().trimmed();
    if (Text.isEmpty()) {
        SetPrompt(FAdrs, QStringLiteral("検索する住所を入力してください。"), false);
        edtAdrsSch->setFocus();
        return NothingToShow;
    }
    return AddressSearch(
        FAdrs,
        [this, &Text] {
            if (!FAdrsDic)
                FAdrsDic = std::make_unique<TAdrsSearch>(FProgram.ProgramFolder(), DicFolder(FProgram));
            return FAdrsDic->Search(Text);
        },
        [this] { return CityCaptions(*FAdrsDic); }, QStringLiteral("入力した住所に誤りがあります。"));
}

// The search of the postal or address tab; Search creates the wrapper on first use and answers its
// rc. A postal code or address given before the dialog shows is taken at once when it names exactly
// one town; one typed by the user is left for the user to decide.
int TDicSearch::AddressSearch(TTab& Tab, const std::function<int()>& Search,
                              const std::function<QStringList()>& Captions, const QString& BadInput)
{
    int Rc = 0;
    {
        TWaitCursor Wait;
        try {
            Rc = Search();
            if (Rc == 0) {
                SetPrompt(Tab, ChooseTown[Tab.Index], false);
                Tab.ListedCity = -1;
                FillCityList(Tab, Captions());
            } else {
                SetPrompt(Tab, Rc == 4 ? BadInput : NoAddress, true);
            }
        } catch (const Exception& E) {
            ShowError(E.Message());
            Rc = NothingToShow;
        }
    }
    if (Rc != 0)
        ClearLists(Tab);
    else if (isVisible())
        Tab.City->setFocus();
    else if (Tab.City->topLevelItemCount() == 1 && Tab.Town->topLevelItemCount() == 1)
        btnDecisionClick();
    return Rc;
}

void TDicSearch::FillCityList(TTab& Tab, const QStringList& Captions)
{
    ClearLists(Tab);
    for (const QString& Caption : Captions)
        Tab.City->addTopLevelItem(new QTreeWidgetItem(QStringList{Caption}));
    if (Tab.City->topLevelItemCount() > 0) {
        Tab.City->setCurrentItem(Tab.City->topLevelItem(0));
        Tab.City->topLevelItem(0)->setSelected(true);
    }
}

int TDicSearch::SelectedCity(const TTab& Tab) const
{
    const QList<QTreeWidgetItem*> Selected = Tab.City->selectedItems();
    return Selected.isEmpty() ? -1 : Tab.City->indexOfTopLevelItem(Selected.front());
}

void TDicSearch::CitySelected(TTab& Tab)
{
    const int Index = SelectedCity(Tab);
    if (Index >= 0 && Index != Tab.ListedCity)
        ListTowns(Tab);
}

bool TDicSearch::ShowsOffices(const TTab& Tab) const
{
    return Tab.ViewOhguchi && Tab.ViewOhguchi->isChecked();
}

void TDicSearch::ListTowns(TTab& Tab)
{
    const int City = SelectedCity(Tab);
    Tab.ListedCity = City;
    TWaitCursor Wait;
    QList<TDicTown> Towns;
    try {
        int Rc = 8;
        if (&Tab == &FTel && FKykbn) {
            Rc = FKykbn->ListTowns(City);
            Towns = ListedTowns(*FKykbn);
        } else if (&Tab == &FPos && FPosDic) {
            Rc = FPosDic->ListTowns(City, ShowsOffices(Tab));
            Towns = ListedTowns(*FPosDic, ShowsOffices(Tab));
        } else if (&Tab == &FAdrs && FAdrsDic) {
            Rc = FAdrsDic->ListTowns(City, ShowsOffices(Tab));
            Towns = ListedTowns(*FAdrsDic, ShowsOffices(Tab));
        }
        if (Rc == 0)
            SetPrompt(Tab, ChooseTown[Tab.Index], false);
        else
            Towns.clear();
    } catch (const Exception& E) {
        ShowError(E.Message());
        Towns.clear();
    }
    Tab.Town->clear();
    const bool Offices = Tab.Town->columnCount() == 4;
    for (const TDicTownRow& Row : BuildTownRows(Towns, Tab.KanaFilter)) {
        QStringList Texts{Row.Pos, Row.Initial, Row.Name};
        if (Offices)
            Texts << Row.Office;
        auto* Item = new QTreeWidgetItem(Texts);
        Item->setData(0, Qt::UserRole, Row.Index);
        Tab.Town->addTopLevelItem(Item);
    }
    if (Tab.Town->topLevelItemCount() > 0) {
        Tab.Town->setCurrentItem(Tab.Town->topLevelItem(0));
        Tab.Town->topLevelItem(0)->setSelected(true);
    } else {
        SetPrompt(Tab, NoAddress, true);
    }
}

void TDicSearch::btnDecisionClick()
{
    FResult = TDicSearchResult{};
    const auto SelectedTown = [](const TTab& Tab) {
        const QList<QTreeWidgetItem*> Selected = Tab.Town->selectedItems();
        return Selected.isEmpty() ? -1 : Selected.front()->data(0, Qt::UserRole).toInt();
    };
    const auto Listed = [](const TTab& Tab) {
        return Tab.City->topLevelItemCount() > 0 && Tab.Town->topLevelItemCount() > 0;
    };
    bool Built = false;
    switch (FResultKind) {
    case DicResultTel:
        if (Listed(FTel) && FKykbn) {
            FResult = DicResultOfKykbnHit(FKykbn->BuildHit(SelectedTown(FTel), true));
            Built = true;
        }
        break;
    case DicResultPos:
        if (Listed(FPos) && FPosDic) {
            FResult = DicResultOfAdrsHit(FPosDic->BuildHit(SelectedTown(FPos), true));
            Built = true;
        }
        break;
    case DicResultAdrs:
        if (Listed(FAdrs) && FAdrsDic) {
            FResult = DicResultOfAdrsHit(FAdrsDic->BuildHit(SelectedTown(FAdrs), true));
            Built = true;
        }
        break;
    case DicResultCaller:
        Built = true;
        break;
    default:
        break;
    }
    if (!Built)
        return;
    FDecided = true;
    accept();
}

void TDicSearch::SetPrompt(TTab& Tab, const QString& Text, bool Warning)
{
    Tab.Prompt->setText(Text);
    QPalette Palette = Tab.Prompt->palette();
    Palette.setColor(QPalette::WindowText,
                     Warning ? QColor(128, 0, 0) : QApplication::palette().color(QPalette::WindowText));
    Tab.Prompt->setPalette(Palette);
}

void TDicSearch::ClearLists(TTab& Tab)
{
    Tab.ListedCity = -1;
    Tab.Town->clear();
    const QSignalBlocker Quiet(Tab.City);
    Tab.City->clear();
}

void TDicSearch::ShowError(const QString& Text)
{
    (void)MessageBoxPos(this, Text, ProductName, MB_OK | MB_ICONSTOP);
}
