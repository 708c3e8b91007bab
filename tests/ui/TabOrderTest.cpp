// The order in which Tab walks a window's controls, as someone who works from the keyboard meets it.
#include "main/start/InputPW.h"
#include "tests/support/ScriptedBoxes.h"
#include "tests/support/UtilityWorld.h"
#include "utility/forms/UtilMainForm.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// The controls Tab reaches from First on, each by name, one press of Tab after another, until the walk
// comes back to First or took Steps presses.
QStringList TabWalk(QWidget& Window, QWidget* First, int Steps)
{
    Window.show();
    QApplication::setActiveWindow(&Window);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&Window));
    First->setFocus(Qt::TabFocusReason);
    QStringList Names{First->objectName()};
    for (int Press = 0; Press < Steps; ++Press) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* Now = QApplication::focusWidget();
        if (Now == nullptr || Now == First)
            break;
        Names << Now->objectName();
    }
    return Names;
}

} // namespace

TEST(TabOrderTest, ThePasswordDialogGoesFromTheEditToItsButtons)
{
    TInputPassword Dialog(nullptr, QString());
    EXPECT_EQ(TabWalk(Dialog, Dialog.medtPassword, 5),
              (QStringList{QStringLiteral("medtPassword"), QStringLiteral("btnOk"), QStringLiteral("btnCancel")}));
}

// The data-convert page, top to bottom: the version, the source folder and its browse button, the
// destination and its button, the chosen option (one stop for the three, offered for versions 1 to 6), the
// command.
TEST(TabOrderTest, TheDataConvertPageGoesTopToBottom)
{
    TUtilityWorld World;
    TScriptedBoxes Boxes("Yes,Yes");
    Utility::TMainForm Form;
    Form.pgctlUtility->setCurrentWidget(Form.tabstDataConvert);
    Form.cbxSrc->setCurrentIndex(Form.cbxSrc->findData(6));
    Form.cbxSrcClick(Form.cbxSrc->currentIndex());
    const QStringList Walk = TabWalk(Form, Form.cbxSrc, 20);
    const QStringList Expected{QStringLiteral("cbxSrc"),         QStringLiteral("edtSrcDataPath"),
                               QStringLiteral("bbtnSrcBrowse"),  QStringLiteral("edtDestDataPath"),
                               QStringLiteral("bbtnDestBrowse"), QStringLiteral("rbCorpSet"),
                               QStringLiteral("bbtnConvert")};
    // The walk goes on to the window's other controls (the page tabs, the closing button) after these.
    EXPECT_EQ(Walk.mid(0, Expected.size()), Expected) << Walk.join(u' ').toStdString();
}
