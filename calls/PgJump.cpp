#include "calls/PgJump.h"

#include "calls/HisSchCond.h"
#include "main/common/CommonText.h"
#include "platform/ui/ClosedInput.h"

#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

TUpDown::TUpDown(QWidget* Parent) : QWidget(Parent)
{
    btnUp = new QToolButton(this);
    btnDown = new QToolButton(this);
    btnUp->setArrowType(Qt::UpArrow);
    btnDown->setArrowType(Qt::DownArrow);
    for (QToolButton* Button : {btnUp, btnDown}) {
        Button->setFocusPolicy(Qt::NoFocus);
        Button->setAutoRepeat(true);
        Button->setFixedSize(16, 11);
    }
    auto* Layout = new QVBoxLayout(this);
    Layout->setContentsMargins(0, 0, 0, 0);
    Layout->setSpacing(0);
    Layout->addWidget(btnUp);
    Layout->addWidget(btnDown);
    connect(btnUp, &QToolButton::clicked, this, [this] { Step(1); });
    connect(btnDown, &QToolButton::clicked, this, [this] { Step(-1); });
}

void TUpDown::SetRange(int Min, int Max)
{
    FMin = Min;
    FMax = std::max(Min, Max);
    SetPosition(FPosition);
}

void TUpDown::SetPosition(int Value)
{
    FPosition = std::clamp(Value, FMin, FMax);
}

void TUpDown::Step(int Delta)
{
    const qint64 Wanted = static_cast<qint64>(FPosition) + Delta;
    if (Wanted < FMin || Wanted > FMax)
        return;
    FPosition = static_cast<int>(Wanted);
    emit Clicked(FPosition);
}

int TUpDown::KeyStep(int Key)
{
    switch (Key) {
    case Qt::Key_Up:
        return 1;
    case Qt::Key_Down:
        return -1;
    case Qt::Key_PageUp:
        return 10;
    case Qt::Key_PageDown:
        return -10;
    default:
        return 0;
    }
}

int TUpDown::Stepped(int Delta) const
{
    return static_cast<int>(std::clamp<qint64>(static_cast<qint64>(FPosition) + Delta, FMin, FMax));
}

TPageJump::TPageJump(QWidget* Owner) : QDialog(Owner)
{
    setObjectName(QStringLiteral("PageJump"));
    setWindowTitle(QStringLiteral("ページジャンプ"));
    auto Panel = [this](const char* Name) {
        auto* Label = new QLabel(this);
        Label->setObjectName(QLatin1String(Name));
        Label->setFrameShape(QFrame::Panel);
        Label->setFrameShadow(QFrame::Sunken);
        Label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        Label->setMinimumWidth(80);
        return Label;
    };
    pnlTotal = Panel("pnlTotal");
    pnlNow = Panel("pnlNow");
    edtJump = new QLineEdit(this);
    edtJump->setObjectName(QStringLiteral("edtJump"));
    CloseInputMethod(edtJump);
    edtJump->setAlignment(Qt::AlignRight);
    edtJump->setMinimumWidth(64);
    udJump = new TUpDown(this);
    udJump->setObjectName(QStringLiteral("udJump"));
    btnDecision = new QPushButton(QStringLiteral("決定(&S)"), this);
    btnDecision->setObjectName(QStringLiteral("btnDecision"));
    btnCancel = new QPushButton(QStringLiteral("キャンセル"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));

    auto* Group = new QGroupBox(QStringLiteral("表示するページを指定してください"), this);
    auto* Grid = new QGridLayout(Group);
    Grid->addWidget(new QLabel(QStringLiteral("総ページ数"), Group), 0, 0);
    Grid->addWidget(pnlTotal, 0, 1);
    Grid->addWidget(new QLabel(QStringLiteral("現在のページ"), Group), 1, 0);
    Grid->addWidget(pnlNow, 1, 1);
    auto* JumpLabel = new QLabel(QStringLiteral("ジャンプページ"), Group);
    JumpLabel->setBuddy(edtJump);
    Grid->addWidget(JumpLabel, 2, 0);
    auto* Jump = new QHBoxLayout;
    Jump->setSpacing(0);
    Jump->addWidget(edtJump);
    Jump->addWidget(udJump);
    Grid->addLayout(Jump, 2, 1);
    auto* Buttons = new QHBoxLayout;
    Buttons->addStretch();
    Buttons->addWidget(btnDecision);
    Buttons->addWidget(btnCancel);
    auto* Layout = new QVBoxLayout(this);
    Layout->addWidget(Group);
    Layout->addLayout(Buttons);
    btnDecision->setAutoDefault(true);
    btnCancel->setAutoDefault(true);

    edtJump->installEventFilter(this);
    connect(udJump, &TUpDown::Clicked, this, &TPageJump::udJumpClick);
    connect(btnDecision, &QPushButton::clicked, this, [this] {
        // An accelerator press leaves the focus in the edit: take what it holds first.
        edtJumpExit();
        done(1);
    });
    connect(btnCancel, &QPushButton::clicked, this, [this] { done(2); });
}

void TPageJump::reject()
{
    done(2);
}

void TPageJump::SetPages(int Total, int Current)
{
    pnlTotal->setText(QString::number(Total));
    pnlNow->setText(QString::number(Current));
    udJump->SetRange(1, Total);
    udJump->SetPosition(Current);
    edtJump->setText(QString::number(udJump->Position()));
    LastValidPage = udJump->Position();
}

void TPageJump::GetPage(int& Page) const
{
    Page = udJump->Position();
}

int TPageJump::Page() const
{
    return udJump->Position();
}

void TPageJump::edtJumpEnter()
{
    LastValidPage = udJump->Position();
}

void TPageJump::edtJumpExit()
{
    const QString Text = TrimBlanks(edtJump->text());
    bool Ok = false;
    const qint64 Number = Text.toLongLong(&Ok);
    if (Text.isEmpty() || Text != DigitsOnly(Text) || !Ok || Number < udJump->Min() || Number > udJump->Max()) {
        edtJump->setText(QString::number(LastValidPage));
        udJump->SetPosition(LastValidPage);
        return;
    }
    udJump->SetPosition(static_cast<int>(Number));
    LastValidPage = udJump->Position();
}

void TPageJump::udJumpClick(int Position)
{
    LastValidPage = Position;
    edtJump->setText(QString::number(Position));
    edtJump->selectAll();
}

bool TPageJump::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched != edtJump)
        return QDialog::eventFilter(Watched, Event);
    switch (Event->type()) {
    case QEvent::FocusIn:
        edtJumpEnter();
        break;
    case QEvent::FocusOut:
        edtJumpExit();
        break;
    case QEvent::KeyPress: {
        const auto* Key = static_cast<QKeyEvent*>(Event);
        const int Step = TUpDown::KeyStep(Key->key());
        switch (Key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter: {
            const int Before = udJump->Position();
            edtJumpExit();
            // A changed number stays in the edit for a look; a second Enter confirms it.
            if (udJump->Position() == Before)
                btnDecision->setFocus(Qt::TabFocusReason);
            return true;
        }
        default:
            if (Step == 0)
                return false;
        }
        udJump->SetPosition(udJump->Stepped(Step));
        udJumpClick(udJump->Position());
        return true;
    }
    default:
        break;
    }
    return QDialog::eventFilter(Watched, Event);
}
