#include "main/settings/SetIPPBX.h"

#include "main/common/MsgBoxPos.h"
#include "main/common/ProductInfo.h"
#include "main/settings/EnvApply.h"
#include "platform/ui/ClosedInput.h"

#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel* NewLabel(QWidget* Parent, const char* Name, const QString& Text)
{
    auto* Label = new QLabel(Text, Parent);
    Label->setObjectName(QLatin1String(Name));
    return Label;
}

QLineEdit* NewEdit(QWidget* Parent, const char* Name, int MaxLength)
{
    auto* Edit = new QLineEdit(Parent);
    Edit->setObjectName(QLatin1String(Name));
    Edit->setMaxLength(MaxLength);
    Edit->setMinimumWidth(220);
    return Edit;
}

} // namespace

TSetIPPBXDetail::TSetIPPBXDetail(QWidget* Owner, bool ShowHints) : QDialog(Owner)
{
    setObjectName(QStringLiteral("SetIPPBXDetail"));
    setWindowTitle(QStringLiteral("詳細設定"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    auto* Layout = new QVBoxLayout(this);
    Layout->addWidget(
        NewLabel(this, "lblTitle1", QStringLiteral("ひかり回線対応機器を使用する際の詳細設定を行います")));
    Layout->addWidget(
        NewLabel(this, "lblTitle2", QStringLiteral("以下の項目を入力して「設定」をクリックしてください")));

    auto* Grid = new QGridLayout;
    Grid->setHorizontalSpacing(10);
    Grid->setVerticalSpacing(2);
    int Row = 0;
    const auto AddRow = [&](QLabel* Caption, QLineEdit* Edit, QLabel* Note, const QString& Hint) {
        Grid->addWidget(Caption, Row, 0, Qt::AlignRight);
        Grid->addWidget(Edit, Row, 1);
        Note->setStyleSheet(QStringLiteral("color: #505050;"));
        Grid->addWidget(Note, Row + 1, 1);
        Grid->setRowMinimumHeight(Row + 2, 6);
        Row += 3;
        if (ShowHints)
            for (QWidget* Each :
                 {static_cast<QWidget*>(Caption), static_cast<QWidget*>(Edit), static_cast<QWidget*>(Note)})
                Each->setToolTip(QString(Hint).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    };

    edtKind = NewEdit(this, "edtKind", 50);
    edtKind->setReadOnly(true);
    edtKind->setFocusPolicy(Qt::NoFocus);
    edtHost = NewEdit(this, "edtHost", 50);
    edtFrom = NewEdit(this, "edtFrom", 50);
    edtTelno = NewEdit(this, "edtTelno", 32767);
    edtUser = NewEdit(this, "edtUser", 31);
    edtPassword = NewEdit(this, "edtPassword", 31);
    edtPassword->setEchoMode(QLineEdit::Password);
    CloseInputMethod(edtPassword);
    CloseInputMethod(edtTelno);
    lblUser1 = NewLabel(this, "lblUser1", QStringLiteral("名前："));
    lblUser2 = NewLabel(this, "lblUser2", QStringLiteral("このパソコンを子機登録した時の名前を入力してください"));
    lblPassword1 = NewLabel(this, "lblPassword1", QStringLiteral("パスワード："));
    lblPassword2 =
        NewLabel(this, "lblPassword2", QStringLiteral("このパソコンを子機登録した時のパスワードを入力してください"));

    AddRow(NewLabel(this, "lblKind1", QStringLiteral("対応機器：")), edtKind,
           NewLabel(this, "lblKind2", QStringLiteral("選択されている対応機器名を表示しています")),
           QStringLiteral("対応機器として選択されている機器名を表示します"));
    AddRow(NewLabel(this, "lblHost1", QStringLiteral("IPアドレス：")), edtHost,
           NewLabel(this, "lblHost2", QStringLiteral("ご使用の機器のIPアドレスを入力してください")),
           QStringLiteral("使用している機器のIPアドレスを入力します"));
    AddRow(NewLabel(this, "lblFrom1", QStringLiteral("内線番号：")), edtFrom,
           NewLabel(this, "lblFrom2", QStringLiteral("使用するIP電話機の内線番号を入力してください")),
           QStringLiteral("使用するIP電話機の内線番号を入力します"));
    AddRow(NewLabel(this, "lblTelno1", QStringLiteral("電話番号：")), edtTelno,
           NewLabel(this, "lblTelno2",
                    QStringLiteral("IP電話番号を入力してください\nこの番号にかかってきた電話番号が取得されます")),
           QStringLiteral(
               "IP電話番号を入力します。\r\nここで設定した番号に電話かかってきた時に発信者の電話番号を取得します"));
    AddRow(lblUser1, edtUser, lblUser2,
           QStringLiteral("機器側にこのパソコンを子機として事前に登録しておく必要があります\r\n"
                          "ここでは子機登録した時の名前を入力します"));
    AddRow(lblPassword1, edtPassword, lblPassword2,
           QStringLiteral("機器側にこのパソコンを子機として事前に登録しておく必要があります\r\n"
                          "ここでは子機登録した時のパスワードを入力します"));
    Layout->addLayout(Grid);

    auto* Note1 = NewLabel(this, "lblNote1", QStringLiteral("※機器を使用する環境が事前に整備されている必要があります"));
    auto* Note2 =
        NewLabel(this, "lblNote2", QStringLiteral("環境の構築や設定に関しては機器の販売元にお問い合わせください"));
    Note1->setStyleSheet(QStringLiteral("color: red;"));
    Note2->setStyleSheet(QStringLiteral("color: red;"));
    Layout->addWidget(Note1);
    Layout->addWidget(Note2);

    btnSet = new QPushButton(QStringLiteral("設定(&S)"), this);
    btnSet->setObjectName(QStringLiteral("btnSet"));
    btnSet->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("キャンセル"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    auto* Buttons = new QHBoxLayout;
    Buttons->addStretch();
    Buttons->addWidget(btnSet);
    Buttons->addWidget(btnCancel);
    Layout->addLayout(Buttons);
    connect(btnSet, &QPushButton::clicked, this, &TSetIPPBXDetail::btnSetClick);
    connect(btnCancel, &QPushButton::clicked, this, &TSetIPPBXDetail::btnCancelClick);

    // FormCreate
    edtKind->setText(IPPBXAdapterName);
    const QString FileName = IPPBXIniFileName();
    FFileExisted = !FileName.isEmpty() && QFileInfo(FileName).isFile();
    if (FFileExisted)
        LoadIPPBXSettings();
    const bool WithUser = IPPBXKindHasUser(IPPBXAdapterKind);
    for (QWidget* Each :
         {static_cast<QWidget*>(lblUser1), static_cast<QWidget*>(lblUser2), static_cast<QWidget*>(edtUser),
          static_cast<QWidget*>(lblPassword1), static_cast<QWidget*>(lblPassword2), static_cast<QWidget*>(edtPassword)})
        Each->setVisible(WithUser);
    for (QLineEdit* Edit : {edtHost, edtFrom, edtTelno, edtUser, edtPassword})
        Edit->installEventFilter(this);
    edtHost->setFocus();
}

bool TSetIPPBXDetail::UserRowsShown() const
{
    return !edtUser->isHidden();
}

TIPPBXValues TSetIPPBXDetail::TypedValues() const
{
    return {edtFrom->text(), edtHost->text(), edtTelno->text(), edtUser->text(), edtPassword->text()};
}

void TSetIPPBXDetail::LoadIPPBXSettings()
{
    const TIPPBXValues Values = ::LoadIPPBXSettings(IPPBXIniFileName());
    edtFrom->setText(Values.From);
    edtHost->setText(Values.Host);
    edtTelno->setText(Values.Telno);
    edtUser->setText(Values.User);
    edtPassword->setText(Values.Password);
}

bool TSetIPPBXDetail::SaveIPPBXSettings()
{
    return ::SaveIPPBXSettings(IPPBXIniFileName(), NormalizeIPPBXValues(TypedValues()), UserRowsShown());
}

void TSetIPPBXDetail::btnSetClick()
{
    const TIPPBXValues Values = NormalizeIPPBXValues(TypedValues());
    if (const auto Problem = CheckIPPBXValues(Values, UserRowsShown())) {
        (void)MessageBoxPos(this, Problem->Text, ProductName, MB_OK | MB_ICONINFORMATION, 2);
        QLineEdit* const Edits[] = {edtHost, edtFrom, edtTelno, edtUser, edtPassword};
        Edits[int(Problem->Field)]->setFocus();
        return;
    }
    const QString Question = FFileExisted ? QStringLiteral("入力した内容で再設定します　\r\nよろしいですか？  ")
                                          : QStringLiteral("入力した内容で設定を行います　\r\nよろしいですか？  ");
    if (MessageBoxPos(this, Question, ProductName, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, 2) != IDYES)
        return;
    if (SaveIPPBXSettings()) {
        (void)MessageBoxPos(this, QStringLiteral("設定が完了しました  "), ProductName, MB_OK | MB_ICONINFORMATION, 2);
        IPPBXDetailChanged = true;
        done(1);
    } else {
        (void)MessageBoxPos(this, QStringLiteral("設定の保存に失敗しました  "), ProductName, MB_OK | MB_ICONINFORMATION,
                            2);
        done(2);
    }
}

void TSetIPPBXDetail::btnCancelClick()
{
    done(2);
}

bool TSetIPPBXDetail::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Event->type() == QEvent::KeyPress) {
        const int Key = static_cast<QKeyEvent*>(Event)->key();
        if (Key == Qt::Key_Return || Key == Qt::Key_Enter) {
            // Enter moves on rather than pressing the default button.
            focusNextChild();
            if (auto* Edit = qobject_cast<QLineEdit*>(focusWidget()); Edit && !Edit->isReadOnly())
                Edit->end(false);
            return true;
        }
    }
    return QDialog::eventFilter(Watched, Event);
}
