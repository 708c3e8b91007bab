#include "transfer/common/RangeSpc.h"

#include "calls/PgJump.h"
#include "main/common/CommonText.h"
#include "main/common/HelpContext.h"
#include "platform/ui/ClosedInput.h"
#include "platform/ui/WindowScript.h"

#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TRangeSpc::TRangeSpc(QWidget* Owner) : QDialog(Owner)
{
    setObjectName(QStringLiteral("RangeSpc"));
    setWindowTitle(QStringLiteral("範囲指定"));
    SetHelpContext(this, 63);
    pnlTotal = new QLabel(this);
    pnlTotal->setObjectName(QStringLiteral("pnlTotal"));
    pnlTotal->setFrameShape(QFrame::Panel);
    pnlTotal->setFrameShadow(QFrame::Sunken);
    pnlTotal->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    pnlTotal->setMinimumWidth(80);
    const auto Edit = [this](const char* Name) {
        auto* Box = new QLineEdit(this);
        Box->setObjectName(QLatin1String(Name));
        CloseInputMethod(Box);
        Box->setAlignment(Qt::AlignRight);
        Box->setMinimumWidth(64);
        Box->installEventFilter(this);
        return Box;
    };
    edtBegin = Edit("edtBegin");
    edtEnd = Edit("edtEnd");
    udBegin = new TUpDown(this);
    udBegin->setObjectName(QStringLiteral("udBegin"));
    udEnd = new TUpDown(this);
    udEnd->setObjectName(QStringLiteral("udEnd"));
    FBegin = {edtBegin, udBegin};
    FEnd = {edtEnd, udEnd};
    btnDecision = new QPushButton(QStringLiteral("決定(&S)"), this);
    btnDecision->setObjectName(QStringLiteral("btnDecision"));
    btnCancel = new QPushButton(QStringLiteral("キャンセル"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));

    auto* Group = new QGroupBox(QStringLiteral("範囲を指定してください"), this);
    auto* Grid = new QGridLayout(Group);
    Grid->addWidget(new QLabel(QStringLiteral("総件数"), Group), 0, 0);
    Grid->addWidget(pnlTotal, 0, 1);
    int Row = 1;
    for (auto [Caption, Box] : {std::pair{"開始位置", &FBegin}, std::pair{"終了位置", &FEnd}}) {
        auto* Label = new QLabel(QString::fromUtf8(Caption), Group);
        Label->setBuddy(Box->Edit);
        Grid->addWidget(Label, Row, 0);
        auto* Pair = new QHBoxLayout;
        Pair->setSpacing(0);
        Pair->addWidget(Box->Edit);
        Pair->addWidget(Box->UpDown);
        Grid->addLayout(Pair, Row++, 1);
        // A structured binding cannot be captured by every compiler we build with: capture a copy.
        auto* Target = Box;
        connect(Box->UpDown, &TUpDown::Clicked, this, [this, Target](int Value) { Changed(*Target, Value); });
    }
    auto* Buttons = new QHBoxLayout;
    Buttons->addStretch();
    Buttons->addWidget(btnDecision);
    Buttons->addWidget(btnCancel);
    auto* Layout = new QVBoxLayout(this);
    Layout->addWidget(Group);
    Layout->addLayout(Buttons);
    btnDecision->setAutoDefault(true);
    btnCancel->setAutoDefault(true);
    connect(btnDecision, &QPushButton::clicked, this, [this] {
        // An accelerator press leaves the focus in a box, and a scripted answer fills a box that
        // never had it: take what a box holds first.
        for (TBox* Box : {&FBegin, &FEnd})
            if (Box->Edit->hasFocus() || Box->Edit->text() != QString::number(Box->UpDown->Position()))
                BoxExit(*Box);
        done(1);
    });
    connect(btnCancel, &QPushButton::clicked, this, [this] { done(2); });
    ScriptWindow(this);
}

void TRangeSpc::reject()
{
    done(2);
}

void TRangeSpc::SetRange(int Start, int End, int Total)
{
    for (TBox* Box : {&FBegin, &FEnd})
        Box->UpDown->SetRange(1, Total);
    udBegin->SetPosition(Start);
    udEnd->SetPosition(End);
    Changed(FBegin, udBegin->Position());
    Changed(FEnd, udEnd->Position());
    pnlTotal->setText(QString::number(Total));
}

void TRangeSpc::GetRange(int& Start, int& End) const
{
    Start = udBegin->Position();
    End = udEnd->Position();
}

TRangeSpc::TBox& TRangeSpc::BoxOf(QObject* Watched)
{
    return Watched == edtBegin ? FBegin : FEnd;
}

void TRangeSpc::Changed(TBox& Box, int Value)
{
    Box.UpDown->SetPosition(Value);
    // A stepped or taken value is the box's value from now on: a refused text later puts it back.
    Box.Entered = Box.UpDown->Position();
    if (&Box == &FBegin) {
        if (udEnd->Position() < udBegin->Position()) {
            udEnd->SetPosition(udBegin->Position());
            edtEnd->setText(QString::number(udEnd->Position()));
            FEnd.Entered = udEnd->Position();
        }
    } else if (udEnd->Position() < udBegin->Position()) {
        udBegin->SetPosition(udEnd->Position());
        edtBegin->setText(QString::number(udBegin->Position()));
        FBegin.Entered = udBegin->Position();
    }
    Box.Edit->setText(QString::number(Box.UpDown->Position()));
}

bool TRangeSpc::BoxExit(TBox& Box)
{
    const QString Text = TrimBlanks(Box.Edit->text());
    bool Ok = false;
    const qint64 Number = Text.toLongLong(&Ok);
    if (Text.isEmpty() || Text != DigitsOnly(Text) || !Ok || Number < Box.UpDown->Min() || Number > Box.UpDown->Max()) {
        Box.Edit->setText(QString::number(Box.Entered));
        Box.UpDown->SetPosition(Box.Entered);
        return false;
    }
    Box.Edit->selectAll();
    const int Before = Box.Entered;
    Changed(Box, static_cast<int>(Number));
    return Box.UpDown->Position() != Before;
}

bool TRangeSpc::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched != edtBegin && Watched != edtEnd)
        return QDialog::eventFilter(Watched, Event);
    TBox& Box = BoxOf(Watched);
    switch (Event->type()) {
    case QEvent::FocusIn:
        Box.Entered = Box.UpDown->Position();
        break;
    case QEvent::FocusOut:
        BoxExit(Box);
        break;
    case QEvent::KeyPress: {
        const auto* Key = static_cast<QKeyEvent*>(Event);
        const int Step = TUpDown::KeyStep(Key->key());
        switch (Key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (!BoxExit(Box))
                (&Box == &FBegin ? static_cast<QWidget*>(edtEnd) : btnDecision)->setFocus(Qt::TabFocusReason);
            return true;
        default:
            if (Step == 0)
                return false;
        }
        Changed(Box, Box.UpDown->Stepped(Step));
        return true;
    }
    default:
        break;
    }
    return QDialog::eventFilter(Watched, Event);
}
