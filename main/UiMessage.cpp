#include "main/UiMessage.h"

#include "main/ProductInfo.h"

#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

namespace {

TMsgHook& Hook()
{
    static TMsgHook Instance;
    return Instance;
}

QMessageBox::Icon BoxIcon(TMsgIcon Icon)
{
    switch (Icon) {
    case TMsgIcon::Stop:
        return QMessageBox::Critical;
    case TMsgIcon::Warning:
        return QMessageBox::Warning;
    case TMsgIcon::Question:
        return QMessageBox::Question;
    case TMsgIcon::Information:
        break;
    }
    return QMessageBox::Information;
}

} // namespace

void SetProgramMessageHook(TMsgHook NewHook)
{
    Hook() = std::move(NewHook);
}

int ShowProgramMessage(const TMsgRequest& Request)
{
    if (Hook())
        return Hook()(Request);
    QMessageBox Box(BoxIcon(Request.Icon), ProductName, QString(Request.Text).replace(QStringLiteral("\r\n"), "\n"),
                    QMessageBox::NoButton, Request.Over);
    if (Request.YesNo) {
        QPushButton* Yes = Box.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
        QPushButton* No = Box.addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole);
        Box.setDefaultButton(Request.DefaultNo ? No : Yes);
        Box.setEscapeButton(No);
        Box.exec();
        return Box.clickedButton() == Yes ? MsgResultYes : MsgResultNo;
    }
    Box.addButton(QMessageBox::Ok);
    Box.exec();
    return MsgResultOk;
}
