#include "calls/CallTel.h"

#include "calls/DialPorts.h"
#include "main/common/CommonForms.h"
#include "main/common/CommonText.h"
#include "main/common/FormParts.h"
#include "main/common/HelpContext.h"
#include "main/common/MsgBoxPos.h"
#include "main/common/ProductInfo.h"
#include "main/device/VxComm.h"
#include "main/settings/IPPBXIni.h"
#include "main/settings/Settings.h"
#include "main/settings/SettingsSave.h"
#include "platform/ini/IniFile.h"
#include "platform/ui/ClosedInput.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QString Section = QStringLiteral("CALL TELEPHONE");
const QString PortKey = QStringLiteral("AnalogPort");
constexpr int HelpContext = 52;

} // namespace

TCallsTelephone::TCallsTelephone(QWidget* Owner) : QDialog(Owner)
{
    setObjectName(QStringLiteral("CallsTelephone"));
    setWindowTitle(QStringLiteral("発信"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFont(EntryFormFont());
    const int H = EditRowHeight(this);

    gbxTel = NewNamed<QGroupBox>(this, "gbxTel", QStringLiteral("相手先電話番号"));
    gbxTel->setGeometry(8, 8, 264, H + 34);
    cbxTel = NewCombo(gbxTel, "cbxTel", true, 13, QRect(12, 22, 240, H + 2));
    CloseInputMethod(cbxTel);

    // The port and the extension share one place: only one of them is shown.
    const int Y = gbxTel->geometry().bottom() + 8;
    gbxPort = NewNamed<QGroupBox>(this, "gbxPort", QStringLiteral("アナログポート"));
    gbxPort->setGeometry(8, Y, 264, H + 34);
    cbxPort = NewCombo(gbxPort, "cbxPort", false, 0, QRect(12, 22, 120, H + 2));
    gbxExtention = NewNamed<QGroupBox>(this, "gbxExtention", QStringLiteral("発信内線番号"));
    gbxExtention->setGeometry(8, Y, 264, H + 34);
    edtextention = NewEdit(gbxExtention, "edtextention", 0, QRect(12, 22, 120, H), true);
    edtextention->setMaxLength(50);
    edtextention->setReadOnly(true);
    QPalette Grey = edtextention->palette();
    Grey.setColor(QPalette::Base, palette().color(QPalette::Button));
    edtextention->setPalette(Grey);

    const int B = gbxPort->geometry().bottom() + 12;
    btnDial = NewNamed<QPushButton>(this, "btnDial", QStringLiteral("発信(&D)"));
    btnDial->setGeometry(60, B, 100, 28);
    btnCancel = NewNamed<QPushButton>(this, "btnCancel", QStringLiteral("キャンセル"));
    btnCancel->setGeometry(168, B, 100, 28);
    for (QPushButton* Button : {btnDial, btnCancel})
        Button->setAutoDefault(false);
    setFixedSize(280, B + 36);

    connect(btnDial, &QPushButton::clicked, this, &TCallsTelephone::btnDialClick);
    connect(btnCancel, &QPushButton::clicked, this, &TCallsTelephone::btnCancelClick);
    for (QWidget* Control : std::initializer_list<QWidget*>{cbxTel, cbxTel->lineEdit(), cbxPort, edtextention})
        Control->installEventFilter(this);
    FormCreate();
}

void TCallsTelephone::FormCreate()
{
    SetHelpContext(this, HelpContext);
    FIPPBX = Settings.IPPBX;
    gbxPort->setVisible(!FIPPBX);
    gbxExtention->setVisible(FIPPBX);
    if (FIPPBX) {
        FExtension = LoadIPPBXSettings(IPPBXIniFileName()).From;
        edtextention->setText(FExtension);
        return;
    }
    if (!SettingsPath.isEmpty())
        FPortIndex = TMemIniFile(SettingsFileName()).ReadInteger(Section, PortKey, 0);
    if (VxCommDLL) {
        for (const TAdapterKind& Kind : VxCommDLL->Kinds()) {
            if (Kind.Kind == Settings.Adapter) {
                FPorts = DialPortNumbers(Kind.DialPorts);
                break;
            }
        }
    }
    for (const int Port : FPorts)
        cbxPort->addItem(DialPortCaption(Port));
    FPortIndex = DialPortIndex(FPortIndex, static_cast<int>(FPorts.size()));
    cbxPort->setCurrentIndex(FPorts.isEmpty() ? -1 : FPortIndex);
}

void TCallsTelephone::SetNumbers(const QStringList& Numbers)
{
    cbxTel->clear();
    cbxTel->addItems(DialNumbers(Numbers));
    cbxTel->setCurrentIndex(cbxTel->count() > 0 ? 0 : -1);
}

void TCallsTelephone::btnDialClick()
{
    if (FIPPBX && FExtension.isEmpty()) {
        (void)MessageBoxPos(this, NoExtensionText, ProductName, MB_OK | MB_ICONINFORMATION, 2);
        return;
    }
    const QString Number = TrimBlanks(cbxTel->currentText());
    if (MessageBoxPos(this, DialConfirmText(Number), ProductName, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON1) != IDYES)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    int Line = 1;
    if (FIPPBX) {
        FPortIndex = 0;
    } else {
        FPortIndex = std::max(cbxPort->currentIndex(), 0);
        if (!SettingsPath.isEmpty()) {
            (void)SaveSettingsFile(TSettingsSave::Kept,
                                   [this](TMemIniFile& Ini) { Ini.WriteInteger(Section, PortKey, FPortIndex); });
        }
        // The adapter numbers its lines by port, so a gap in its dial ports must not shift the line.
        if (FPortIndex < FPorts.size())
            Line = FPorts.at(FPortIndex);
    }
    btnCancel->setFocus();
    if (VxCommDLL)
        VxCommDLL->Dial(Line, DigitsOnly(cbxTel->currentText()));
    QApplication::restoreOverrideCursor();
}

void TCallsTelephone::btnCancelClick()
{
    done(2);
}

bool TCallsTelephone::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Event->type() == QEvent::KeyPress) {
        const int Key = static_cast<QKeyEvent*>(Event)->key();
        if (Key == Qt::Key_Return || Key == Qt::Key_Enter) {
            if (Watched == cbxTel || Watched == cbxTel->lineEdit())
                (FIPPBX ? static_cast<QWidget*>(btnDial) : cbxPort)->setFocus();
            else
                btnDial->setFocus();
            return true;
        }
    }
    return QDialog::eventFilter(Watched, Event);
}

void RunCallsTelephone(QWidget* Owner, const QStringList& Numbers)
{
    TCallsTelephone Dialog(Owner);
    CenterForm(&Dialog, Owner);
    Dialog.SetNumbers(Numbers);
    Dialog.exec();
}
